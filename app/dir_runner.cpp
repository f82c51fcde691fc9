#include "app/dir_runner.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include "uitext/qt_text.h"

namespace sorabu::app {

TDirRunner::TDirRunner(QObject* parent) : QObject(parent) {}

TDirRunner::~TDirRunner() {
  if (process_ && process_->state() != QProcess::NotRunning) {
    process_->disconnect(this);
    process_->kill();
    process_->waitForFinished(3000);
  }
}

QString TDirRunner::Program() const {
  return program_.isEmpty() ? QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("sorabu-cli"))
                            : program_;
}

bool TDirRunner::Running() const { return process_ && process_->state() != QProcess::NotRunning; }

bool TDirRunner::Start(const std::string& argumentText, const QString& folder, std::string& why) {
  if (Running()) {
    why = uitext::ToCp932(QStringLiteral("dirコマンドを実行中です。"));
    return false;
  }
  delete process_;
  process_ = new QProcess(this);
  process_->setWorkingDirectory(folder);
  connect(process_, &QProcess::finished, this, [this] {
    emit Finished(process_->readAllStandardOutput(), process_->readAllStandardError());
  });
  process_->start(Program(), {QStringLiteral("dir"), QStringLiteral("--line"), uitext::FromCp932(argumentText)});
  // Starting a program beside this one takes milliseconds; the wait is over long before anyone notices.
  if (!process_->waitForStarted(5000)) {
    why = uitext::ToCp932(Program() + (process_->error() == QProcess::FailedToStart
                                                ? uitext::U(": プログラムを起動できません。")
                                                : uitext::U(": プログラムが応答しません。")));
    process_->disconnect(this);
    process_->deleteLater();
    process_ = nullptr;
    return false;
  }
  return true;
}

}  // namespace sorabu::app
