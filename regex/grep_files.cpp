#include "regex/grep_files.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "regex/errors.h"

namespace sorabu::regex {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kAhead = 256;
constexpr std::size_t kBatchLines = 256;
constexpr auto kBatchTime = std::chrono::milliseconds(10);
// The hand-over looks for results this often instead of being woken for each: with thousands of
// small files a wake per file costs more than the search.
constexpr auto kPoll = std::chrono::milliseconds(1);

void GrepOneByOne(TGrep& grep, const std::vector<std::string>& paths, const GrepFileSink& sink) {
  std::size_t index = 0;
  bool begun = false;
  const auto begin = [&] {
    if (begun) return;
    begun = true;
    sink.begin(index);
  };
  // The handler refers to this frame, so it must not outlive this call, however the call ends.
  struct Handler {
    Handler(TGrep& g, TGrepOnMatch handler) : grep(g) { grep.OnMatch = std::move(handler); }
    ~Handler() { grep.OnMatch = nullptr; }
    TGrep& grep;
  } handler(grep, [&](TGrep&, const RE_LineInfo_t& info) {
    begin();
    sink.match(info);
  });
  for (; index < paths.size(); ++index) {
    begun = false;
    try {
      grep.GrepFile(paths[index]);
    } catch (const EBinaryFile&) {
      sink.binary(index);
      continue;
    } catch (const EFileNotFound& e) {
      begin();
      if (!sink.unreadable(index, e.what())) break;
      continue;
    }
    begin();
  }
}

class TParallelGrep {
 public:
  TParallelGrep(TGrep& grep, const std::vector<std::string>& paths, unsigned threads)
      : grep_(grep), paths_(paths), slots_(std::min(kAhead, paths.size())) {
    for (unsigned t = 0; t < threads; ++t) workers_.emplace_back([this] { Work(); });
  }
  ~TParallelGrep() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    stopping_flag_ = true;
    work_ready_.notify_all();
    for (std::thread& t : workers_) t.join();
  }
  TParallelGrep(const TParallelGrep&) = delete;
  TParallelGrep& operator=(const TParallelGrep&) = delete;

  void HandOver(const GrepFileSink& sink) {
    grep_.Cancel = false;
    for (std::size_t head = 0; head < paths_.size(); ++head) {
      Slot& slot = slots_[head % slots_.size()];
      std::vector<RE_LineInfo_t> lines;
      bool done = false, begun = false;
      while (!done) {
        {
          std::lock_guard lock(mutex_);
          lines.swap(slot.lines);
          done = slot.done;
        }
        if (lines.empty() && !done) {
          std::this_thread::sleep_for(kPoll);
        } else {
          if (!begun && (!lines.empty() || (done && !slot.binary))) {
            begun = true;
            sink.begin(head);
          }
          for (const RE_LineInfo_t& line : lines) sink.match(line);
          lines.clear();
        }
        if (grep_.ProcessMessages) grep_.ProcessMessages();
        if (grep_.Cancel) throw EGrepCancel();
      }
      if (slot.failure) std::rethrow_exception(slot.failure);
      const bool unreadable = slot.unreadable, binary = slot.binary;
      const std::string reason = std::move(slot.reason);
      {
        std::lock_guard lock(mutex_);
        slot = Slot{};
        head_ = head + 1;
      }
      work_ready_.notify_all();
      if (binary) sink.binary(head);
      if (unreadable && !sink.unreadable(head, reason)) return;
    }
  }

 private:
  struct Slot {
    std::vector<RE_LineInfo_t> lines;
    bool done = false;
    bool unreadable = false;
    bool binary = false;
    std::string reason;
    std::exception_ptr failure;
  };

  void Work() {
    const std::unique_ptr<TGrep> twin = grep_.Twin();
    std::vector<RE_LineInfo_t> batch;
    Clock::time_point last_flush;
    std::size_t index = 0;
    const auto flush = [&] {
      if (batch.empty()) return;
      {
        std::lock_guard lock(mutex_);
        std::vector<RE_LineInfo_t>& lines = slots_[index % slots_.size()].lines;
        if (lines.empty()) {
          lines.swap(batch);
        } else {
          lines.insert(lines.end(), std::make_move_iterator(batch.begin()), std::make_move_iterator(batch.end()));
        }
      }
      batch.clear();
      last_flush = Clock::now();
    };
    twin->OnMatch = [&](TGrep&, const RE_LineInfo_t& info) {
      batch.push_back(info);
      if (batch.size() >= kBatchLines) flush();
    };
    twin->ProcessMessages = [&] {
      if (stopping_flag_.load(std::memory_order_relaxed)) twin->Cancel = true;
      if (!batch.empty() && Clock::now() - last_flush >= kBatchTime) flush();
    };
    for (;;) {
      {
        std::unique_lock lock(mutex_);
        work_ready_.wait(lock, [&] { return stopping_ || next_ >= paths_.size() || next_ < head_ + slots_.size(); });
        if (stopping_ || next_ >= paths_.size()) return;
        index = next_++;
      }
      last_flush = Clock::now();
      bool unreadable = false, binary = false;
      std::string reason;
      std::exception_ptr failure;
      try {
        twin->GrepFile(paths_[index]);
      } catch (const EGrepCancel&) {
        return;
      } catch (const EBinaryFile&) {
        binary = true;
      } catch (const EFileNotFound& e) {
        unreadable = true;
        reason = e.what();
      } catch (...) {
        failure = std::current_exception();
      }
      flush();
      {
        std::lock_guard lock(mutex_);
        Slot& slot = slots_[index % slots_.size()];
        slot.done = true;
        slot.unreadable = unreadable;
        slot.binary = binary;
        slot.reason = std::move(reason);
        slot.failure = failure;
      }
    }
  }

  TGrep& grep_;
  const std::vector<std::string>& paths_;
  std::vector<std::thread> workers_;
  std::atomic<bool> stopping_flag_{false};  // stopping_, read by the searches without the lock

  std::mutex mutex_;  // guards what follows
  std::condition_variable work_ready_;
  std::vector<Slot> slots_;  // file i in slots_[i % size]
  std::size_t head_ = 0;     // the file being handed over
  std::size_t next_ = 0;     // the next file to search
  bool stopping_ = false;
};

}  // namespace

void GrepFiles(TGrep& grep, const std::vector<std::string>& paths, unsigned threads,
               const GrepFileSink& sink) {
  if (threads == 0) threads = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
  threads = static_cast<unsigned>(std::min<std::size_t>(threads, paths.size()));
  if (threads <= 1) {
    GrepOneByOne(grep, paths, sink);
    return;
  }
  TParallelGrep search(grep, paths, threads);
  search.HandOver(sink);
}

}  // namespace sorabu::regex
