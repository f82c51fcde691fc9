#include "app/grep_runner.h"

#include <QTimer>

#include "regex/grep_tree.h"
#include "textconv/cp932.h"

namespace sorabu::app {

TGrepRunner::TGrepRunner(QObject* parent) : QObject(parent) {
  timer_ = new QTimer(this);
  timer_->setInterval(40);
  connect(timer_, &QTimer::timeout, this, &TGrepRunner::Drain);
}

TGrepRunner::~TGrepRunner() { StopAndWait(); }

void TGrepRunner::SetInterval(int milliseconds) { timer_->setInterval(milliseconds); }

std::vector<std::string> TGrepRunner::SearchedPaths() {
  std::lock_guard lock(mutex_);
  return searched_;
}

// On the worker: the job's files from its tree, what is left out reported with the unreadable;
// the binary files among them are set aside by the search.
void TGrepRunner::Walk(Job& job) {
  job.options.on_binary = [this](const std::string& path) {
    std::lock_guard lock(mutex_);
    skipped_.push_back({path, textconv::Utf8ToCp932("バイナリファイルのため検索しません。")});
  };
  const regex::GrepTree tree = regex::CollectGrepTree(job.treeRoot, job.wanted, [this] { return stop_.load(); });
  std::lock_guard lock(mutex_);
  for (const auto& [folder, reason] : tree.unreadable) skipped_.push_back({folder, reason});
  job.paths.clear();
  for (const std::string& path : tree.files) {
    if (job.fits && !job.fits(path)) {
      skipped_.push_back({path, textconv::Utf8ToCp932("名前に Shift-JIS で表せない文字があるため検索しません。")});
      continue;
    }
    job.paths.push_back(path);
  }
}

bool TGrepRunner::Start(Job job) {
  if (running_) return false;
  if (worker_.joinable()) worker_.join();
  running_ = true;
  stop_ = false;
  {
    std::lock_guard lock(mutex_);
    cleared_ = false;
    pending_.clear();
    skipped_.clear();
    searched_.clear();
    result_ = {};
  }
  timer_->start();
  worker_ = std::thread([this, job = std::move(job)]() mutable {
    regex::TGrep grep;
    grep.SetUseFuzzyCharDic(job.fuzzy);
    // Called by the reader where it may stop: the request becomes the grep's own flag here, on the
    // worker, so nothing else touches it.
    grep.ProcessMessages = [this, &grep] {
      if (stop_) grep.Cancel = true;
    };
    if (job.skipUnreadable) {
      job.options.on_unreadable = [this](const std::string& path, const std::string& reason) {
        std::lock_guard lock(mutex_);
        skipped_.push_back({path, reason});
      };
    }
    regex::GrepPane pane;
    pane.clear = [this] {
      std::lock_guard lock(mutex_);
      cleared_ = true;
    };
    bool first = true;
    pane.add_line = [this, &first](const std::string& line) {
      std::lock_guard lock(mutex_);
      pending_.push_back(line);
      // The first results go at once, not at the next tick.
      if (first) {
        first = false;
        QMetaObject::invokeMethod(this, &TGrepRunner::Drain, Qt::QueuedConnection);
      }
    };
    if (!job.treeRoot.empty()) Walk(job);
    {
      std::lock_guard lock(mutex_);
      searched_ = job.paths;
    }
    const regex::GrepCommandResult result = RunGrepCommand(grep, job.pattern, job.paths, job.options, pane);
    {
      std::lock_guard lock(mutex_);
      result_ = result;
    }
    QMetaObject::invokeMethod(this, &TGrepRunner::Done, Qt::QueuedConnection);
  });
  return true;
}

void TGrepRunner::Drain() {
  std::vector<std::string> lines;
  bool cleared = false;
  {
    std::lock_guard lock(mutex_);
    lines.swap(pending_);
    cleared = cleared_;
    cleared_ = false;
  }
  if (cleared) emit Cleared();
  if (!lines.empty()) emit Lines(lines);
}

void TGrepRunner::Done() {
  if (!running_) return;
  if (worker_.joinable()) worker_.join();
  timer_->stop();
  Drain();
  running_ = false;
  regex::GrepCommandResult result;
  std::vector<Skipped> skipped;
  {
    std::lock_guard lock(mutex_);
    result = result_;
    skipped = skipped_;
  }
  emit Finished(result, skipped);
}

void TGrepRunner::StopAndWait() {
  stop_ = true;
  if (worker_.joinable()) worker_.join();
  timer_->stop();
  running_ = false;
}

}  // namespace sorabu::app
