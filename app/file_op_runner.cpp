#include "app/file_op_runner.h"

#include <atomic>

#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include "app/file_op_progress.h"

namespace sorabu::app {

TFileOpRunner::TFileOpRunner(dialogs::TDialogs& dialogs, QWidget* window)
    : QObject(window), window_(window), threadDialogs_(this, dialogs, stopped_) {
  timer_ = new QTimer(this);
  timer_->setInterval(50);
  connect(timer_, &QTimer::timeout, this, &TFileOpRunner::Tick);
  // A question never opens under the progress window (which, without a window manager, nothing
  // would raise above it): the window hides while the user answers and comes back afterwards.
  threadDialogs_.SetAskingHook([this](bool asking) {
    questions_ += asking ? 1 : -1;
    if (dialog_) dialog_->setVisible(questions_ == 0);
  });
}

TFileOpRunner::~TFileOpRunner() {
  if (thread_ == nullptr) return;
  Cancel();
  thread_->wait();
}

void TFileOpRunner::Post(const fileops::TFileOpProgress& progress) {
  std::lock_guard lock(mutex_);
  latest_ = progress;
}

void TFileOpRunner::Cancel() {
  if (!running_) return;
  stopped_ = true;
  if (cancel_) cancel_();
}

void TFileOpRunner::Tick() {
  if (!running_) return;
  if (!dialog_ && clock_.elapsed() >= delay_) {
    dialog_ = new TFileOpProgressDialog(title_, window_);
    connect(dialog_, &TFileOpProgressDialog::Cancelled, this, &TFileOpRunner::Cancel);
    if (questions_ == 0) dialog_->show();
    emit ProgressShown();
  }
  if (dialog_) {
    fileops::TFileOpProgress p;
    {
      std::lock_guard lock(mutex_);
      p = latest_;
    }
    dialog_->Show(p);
  }
}

bool TFileOpRunner::Run(const QString& title, const std::function<bool()>& job, const std::function<void()>& cancel) {
  if (running_) return false;
  running_ = true;
  stopped_ = false;
  title_ = title;
  cancel_ = cancel;
  {
    std::lock_guard lock(mutex_);
    latest_ = {};
  }
  // Handed over through an atomic: QThread::wait orders it too, but Qt is not instrumented for
  // the thread sanitizer, which would see a race.
  std::atomic<bool> result = false;
  thread_ = QThread::create([&] { result = job(); });
  QEventLoop loop;
  connect(thread_, &QThread::finished, &loop, &QEventLoop::quit);
  clock_.start();
  timer_->start();
  thread_->start();
  loop.exec();
  thread_->wait();
  delete thread_;
  thread_ = nullptr;
  timer_->stop();
  if (dialog_) dialog_->deleteLater();
  dialog_ = nullptr;
  cancel_ = nullptr;
  running_ = false;
  return result.load();
}

}  // namespace sorabu::app
