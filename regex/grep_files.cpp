#include "regex/grep_files.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cerrno>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "regex/errors.h"

namespace sorabu::regex {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kAhead = 256;
constexpr std::uint64_t kPieceBytes = 8u << 20;
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

// One file, or one piece of a large one.
struct WorkItem {
  std::size_t file = 0;
  bool piece = false;  // the file is searched in pieces, of which this is one
  bool last = true;    // the file's last item
  TTxtPiece range;
};

// The work for the files: a file of at least kPieceBytes is cut into one piece per thread at line
// ends when the list is short (a long one keeps every thread busy by itself), when it reads as
// Shift-JIS as it stands and when no match runs on past a line end.
std::vector<WorkItem> PlanWork(const TGrep& grep, const std::vector<std::string>& paths, unsigned threads) {
  std::vector<WorkItem> items;
  items.reserve(paths.size());
  const bool may_cut = paths.size() < 2 * static_cast<std::size_t>(threads) && grep.SearchesLineByLine();
  for (std::size_t f = 0; f < paths.size(); ++f) {
    struct stat st {};
    std::vector<std::uint64_t> cuts;
    if (may_cut && ::stat(paths[f].c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        static_cast<std::uint64_t>(st.st_size) >= kPieceBytes && TTxtFile::ReadsAsShiftJis(paths[f], 4 << 20)) {
      const auto size = static_cast<std::uint64_t>(st.st_size);
      const int fd = ::open(paths[f].c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
      char window[1 << 16];
      for (unsigned k = 1; fd >= 0 && k < threads; ++k) {
        const std::uint64_t at = size / threads * k;
        const ssize_t got = ::pread(fd, window, sizeof window, static_cast<off_t>(at));
        if (got <= 0) break;
        const void* lf = std::memchr(window, '\n', static_cast<std::size_t>(got));
        if (lf == nullptr) continue;
        const std::uint64_t cut = at + static_cast<std::uint64_t>(static_cast<const char*>(lf) - window) + 1;
        if (cut < size && (cuts.empty() || cut > cuts.back())) cuts.push_back(cut);
      }
      if (fd >= 0) ::close(fd);
    }
    if (cuts.empty()) {
      items.push_back({f, false, true, {}});
      continue;
    }
    std::uint64_t from = 0;
    for (const std::uint64_t cut : cuts) {
      items.push_back({f, true, false, {from, cut}});
      from = cut;
    }
    items.push_back({f, true, true, {from, static_cast<std::uint64_t>(st.st_size)}});
  }
  return items;
}

class TParallelGrep {
 public:
  TParallelGrep(TGrep& grep, const std::vector<std::string>& paths, std::vector<WorkItem> items, unsigned threads)
      : grep_(grep), paths_(paths), items_(std::move(items)), slots_(std::min(kAhead, items_.size())) {
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
    bool begun = false, dropped = false;
    long long lines_before = 0;  // in the file's pieces handed over so far
    for (std::size_t head = 0; head < items_.size(); ++head) {
      const WorkItem& item = items_[head];
      Slot& slot = slots_[head % slots_.size()];
      std::vector<RE_LineInfo_t> lines;
      bool done = false;
      while (!done) {
        {
          std::lock_guard lock(mutex_);
          lines.swap(slot.lines);
          done = slot.done;
        }
        if (lines.empty() && !done) {
          std::this_thread::sleep_for(kPoll);
        } else if (!dropped) {
          if (!begun && (!lines.empty() || (done && item.last && !slot.binary && !slot.unreadable))) {
            begun = true;
            sink.begin(item.file);
          }
          for (RE_LineInfo_t& line : lines) {
            line.LineNo += static_cast<int>(lines_before);
            sink.match(line);
          }
        }
        lines.clear();
        if (grep_.ProcessMessages) grep_.ProcessMessages();
        if (grep_.Cancel) throw EGrepCancel();
      }
      if (slot.failure) std::rethrow_exception(slot.failure);
      const bool unreadable = slot.unreadable && !dropped, binary = slot.binary && !dropped;
      const std::string reason = std::move(slot.reason);
      lines_before += slot.line_ends;
      {
        std::lock_guard lock(mutex_);
        slot = Slot{};
        head_ = head + 1;
      }
      work_ready_.notify_all();
      // A piece that fails ends its file: the pieces after it are not handed over.
      const bool ends_file = item.last || unreadable || binary;
      if (binary) sink.binary(item.file);
      if (unreadable) {
        if (!begun) sink.begin(item.file);
        if (!sink.unreadable(item.file, reason)) return;
      }
      if (item.last) {
        begun = dropped = false;
        lines_before = 0;
      } else if (ends_file) {
        dropped = true;
      }
    }
  }

 private:
  struct Slot {
    std::vector<RE_LineInfo_t> lines;
    bool done = false;
    bool unreadable = false;
    bool binary = false;
    long long line_ends = 0;  // of a piece
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
        work_ready_.wait(lock, [&] { return stopping_ || next_ >= items_.size() || next_ < head_ + slots_.size(); });
        if (stopping_ || next_ >= items_.size()) return;
        index = next_++;
      }
      const WorkItem& item = items_[index];
      const std::string& path = paths_[item.file];
      last_flush = Clock::now();
      bool unreadable = false, binary = false;
      long long line_ends = 0;
      std::string reason;
      std::exception_ptr failure;
      try {
        if (item.piece) {
          line_ends = static_cast<long long>(twin->GrepPiece(path, item.range));
        } else {
          twin->GrepFile(path);
        }
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
        slot.line_ends = line_ends;
        slot.reason = std::move(reason);
        slot.failure = failure;
      }
    }
  }

  TGrep& grep_;
  const std::vector<std::string>& paths_;
  const std::vector<WorkItem> items_;
  std::vector<std::thread> workers_;
  std::atomic<bool> stopping_flag_{false};  // stopping_, read by the searches without the lock

  std::mutex mutex_;  // guards what follows
  std::condition_variable work_ready_;
  std::vector<Slot> slots_;  // item i in slots_[i % size]
  std::size_t head_ = 0;     // the item being handed over
  std::size_t next_ = 0;     // the next item to search
  bool stopping_ = false;
};

}  // namespace

void GrepFiles(TGrep& grep, const std::vector<std::string>& paths, unsigned threads,
               const GrepFileSink& sink) {
  if (threads == 0) threads = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
  std::vector<WorkItem> items;
  if (threads > 1 && !paths.empty()) items = PlanWork(grep, paths, threads);
  if (items.size() <= 1) {
    GrepOneByOne(grep, paths, sink);
    return;
  }
  const auto workers = static_cast<unsigned>(std::min<std::size_t>(threads, items.size()));
  TParallelGrep search(grep, paths, std::move(items), workers);
  search.HandOver(sink);
}

}  // namespace sorabu::regex
