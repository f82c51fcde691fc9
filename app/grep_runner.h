// Runs a Grep on a worker thread and hands its pane lines to the window in batches.
//
// The worker owns its TGrep; the window only reads the lines found so far (every few tens of
// milliseconds, so the first result is painted at once and the window never waits) and asks the
// worker to stop. A stop is seen where the reader checks for it: after every block it reads and
// before every line it reports.
#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "regex/grep_command.h"

class QTimer;

namespace sorabu::app {

class TGrepRunner : public QObject {
  Q_OBJECT
 public:
  struct Job {
    std::string pattern;  // CP932
    std::vector<std::string> paths;
    regex::GrepPaneOptions options;
    bool fuzzy = true;
    // A file that cannot be read is skipped and reported at the end, instead of ending the run.
    bool skipUnreadable = true;
    // When set, paths are found by walking this folder's tree on the worker: files whose names
    // pass `wanted`, those whose names `fits` refuses (a name the results cannot carry) and
    // binary files being skipped and reported with the unreadable ones.
    std::string treeRoot;
    std::function<bool(const std::string& name)> wanted;
    std::function<bool(const std::string& path)> fits;
  };
  struct Skipped {
    std::string path, reason;
  };

  explicit TGrepRunner(QObject* parent = nullptr);
  ~TGrepRunner() override;

  // Starts the job; false while another runs.
  bool Start(Job job);
  bool Running() const { return running_; }
  // Asks the worker to stop; the outcome arrives through Finished.
  void Stop() { stop_ = true; }
  // Stops and waits for the worker (the window is closing).
  void StopAndWait();
  // The pause between two hand-overs of lines (the first lines go at once).
  void SetInterval(int milliseconds);
  // The files the last job searched (those its tree walk found), once it has finished.
  std::vector<std::string> SearchedPaths();

 signals:
  // The pane is to be emptied (the pattern compiled); then lines to add, in order.
  void Cleared();
  void Lines(const std::vector<std::string>& lines);
  void Finished(const regex::GrepCommandResult& result, const std::vector<Skipped>& skipped);

 private:
  void Drain();
  void Done();
  void Walk(Job& job);

  std::thread worker_;
  std::atomic<bool> stop_{false};
  bool running_ = false;
  QTimer* timer_ = nullptr;

  std::mutex mutex_;  // guards what follows
  bool cleared_ = false;
  std::vector<std::string> pending_;
  regex::GrepCommandResult result_;
  std::vector<Skipped> skipped_;
  std::vector<std::string> searched_;
};

}  // namespace sorabu::app
