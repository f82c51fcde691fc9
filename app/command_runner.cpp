#include "app/command_runner.h"

#include <QEventLoop>

#include <exception>
#include <memory>

#include "fileops/trash.h"
#include "textconv/cp932.h"

namespace sorabu::app {

TCommandRunner::TCommandRunner(dialogs::TDialogs& dialogs, QObject* parent)
    : QObject(parent), dialogs_(this, dialogs, cancel_) {}

TCommandRunner::~TCommandRunner() {
  if (thread_ == nullptr) return;
  cancel_ = true;
  thread_->wait();
}

bool TCommandRunner::Start(const textcmd::TCommand& command, const std::string& path, TCommandSetup setup) {
  if (thread_ != nullptr) return false;
  cancel_ = false;
  percent_ = -1;
  const QString handler = QString::fromStdString(command.handler);
  auto outcome = std::make_shared<std::atomic<int>>(static_cast<int>(textcmd::Outcome::Failed));
  thread_ = QThread::create([this, &command, path, setup = std::move(setup), outcome] {
    textcmd::TCommandContext context(dialogs_);
    context.backup = setup.backup;
    context.lfLines = setup.lfLines;
    context.caretColumn = setup.caretColumn;
    context.selectionLength = setup.selectionLength;
    context.trash = fileops::MoveToTrash;
    if (setup.refresh) context.refresh = [this, &setup] { OnThreadOf(this, setup.refresh); };
    if (setup.selectAndShow) {
      context.selectAndShow = [this, &setup](const std::string& p) { OnThreadOf(this, [&] { setup.selectAndShow(p); }); };
    }
    if (setup.infoLine) {
      context.infoLine = [this, &setup](const std::string& p) { return OnThreadOf(this, [&] { return setup.infoLine(p); }); };
    }
    context.progress = [this](unsigned long long written, unsigned long long total) {
      if (total > 0) {
        const int percent = static_cast<int>(std::min<unsigned long long>(99, written * 100 / total));
        if (percent_.exchange(percent) != percent) {
          QMetaObject::invokeMethod(this, [this, percent] { emit Progress(percent); }, Qt::QueuedConnection);
        }
      }
      return !cancel_.load();
    };
    // The frame has put the file back by the time anything arrives here; what is left is to say so.
    try {
      *outcome = static_cast<int>(command.run(path, context));
    } catch (const std::bad_alloc&) {
      context.dialogs.Error(textconv::Utf8ToCp932("メモリが足りないため処理できませんでした。ファイルは元のままです。"));
    } catch (const std::exception& e) {
      context.dialogs.Error(textconv::Utf8ToCp932("処理できませんでした: ") + e.what());
    } catch (...) {
      context.dialogs.Error(textconv::Utf8ToCp932("処理できませんでした。"));
    }
  });
  connect(thread_, &QThread::finished, this, [this, handler, outcome] {
    thread_->deleteLater();
    thread_ = nullptr;
    emit Finished(handler, outcome->load());
  });
  thread_->start();
  return true;
}

void TCommandRunner::Wait(bool cancel) {
  if (thread_ == nullptr) return;
  if (cancel) cancel_ = true;
  QEventLoop loop;
  connect(this, &TCommandRunner::Finished, &loop, &QEventLoop::quit);
  if (thread_ != nullptr) loop.exec();
}

}  // namespace sorabu::app
