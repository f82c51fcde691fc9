// Runs a file operation off the user-interface thread while the window keeps painting.
//
// The caller waits in Run (an event loop turns meanwhile); the operation's questions reach the
// user through Dialogs(), its progress through Post(). A progress window with Cancel appears when
// the operation lasts longer than half a second; it is hidden while a question or message waits
// for the user. After Cancel every further question is answered with Cancel.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>
#include <mutex>

#include "app/file_op_progress.h"
#include "app/ui_thread_dialogs.h"
#include "fileops/shfop.h"

class QThread;
class QTimer;
class QWidget;

namespace sorabu::app {

class TFileOpRunner : public QObject {
  Q_OBJECT
 public:
  TFileOpRunner(dialogs::TDialogs& dialogs, QWidget* window);
  ~TFileOpRunner() override;

  dialogs::TDialogs& Dialogs() { return threadDialogs_; }
  // Runs job on a worker thread and returns its result. cancel is called (on this thread) when
  // the user presses Cancel or Cancel() is called. Only one job runs at a time: a second Run
  // while one runs returns false at once.
  bool Run(const QString& title, const std::function<bool()>& job, const std::function<void()>& cancel);
  // From any thread: the latest state of the running job.
  void Post(const fileops::TFileOpProgress& progress);
  bool Running() const { return running_; }
  void Cancel();
  // The progress window while it is shown (for the window's tests and screenshots).
  TFileOpProgressDialog* ProgressDialog() const { return dialog_; }
  // How long a job runs before its progress window appears.
  void SetDelay(int milliseconds) { delay_ = milliseconds; }

 signals:
  void ProgressShown();

 private:
  void Tick();

  QWidget* window_;
  std::atomic<bool> stopped_{false};
  TUiThreadDialogs threadDialogs_;
  std::mutex mutex_;
  fileops::TFileOpProgress latest_;
  bool running_ = false;
  QThread* thread_ = nullptr;
  QTimer* timer_ = nullptr;
  QElapsedTimer clock_;
  QString title_;
  std::function<void()> cancel_;
  QPointer<TFileOpProgressDialog> dialog_;
  int delay_ = 500;
  int questions_ = 0;  // questions and messages open on the user's screen
};

}  // namespace sorabu::app
