// The status-bar counts of a folder: the files of the folder and of every folder below it, and
// the sum of their sizes.
//
// A folder with a large tree below it would freeze the window, so the count runs on a worker
// thread and reports when complete; starting another count (the folder changed) cancels the
// running one, whose result is then dropped. The walk is breadth-first over directory entries
// without following links to folders, so a link loop cannot make it run forever; every entry that
// is not a folder counts as a file, with its own size (a link's, not its target's).
#pragma once

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <atomic>
#include <cstdint>
#include <memory>

namespace sorabu::browser {

struct TFolderCounts {
  std::uint64_t files = 0;
  std::uint64_t bytes = 0;
};

// The walk itself; stops early (returning what it found so far) when cancel becomes true.
// A path that is not an existing folder gives 0 and 0.
TFolderCounts CountFolderTree(const QString& folder, const std::atomic<bool>* cancel = nullptr);

class TFolderCounter : public QObject {
  Q_OBJECT
 public:
  explicit TFolderCounter(QObject* parent = nullptr);
  ~TFolderCounter() override;

  // Starts a count of folder unless one for the same folder is running or done; a count of another
  // folder is cancelled.
  void Start(const QString& folder);
  // Forgets the finished figures, so that the next Start counts again (the folder changed).
  void Invalidate() { doneFolder_.clear(); }
  // Waits for the running count (tests and benchmarks).
  void WaitForDone() { pool_.waitForDone(); }
  bool Running() const { return !runningFolder_.isEmpty(); }
  // A count of folder is running or done.
  bool Knows(const QString& folder) const { return folder == runningFolder_ || folder == doneFolder_; }

 signals:
  void Counted(const QString& folder, quint64 files, quint64 bytes);

 private:
  void Finish(unsigned generation, const QString& folder, TFolderCounts counts);

  QThreadPool pool_;
  std::shared_ptr<std::atomic<bool>> cancel_;
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
  unsigned generation_ = 0;
  QString runningFolder_;
  QString doneFolder_;
  TFolderCounts done_;
};

}  // namespace sorabu::browser
