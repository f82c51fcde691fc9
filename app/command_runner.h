// Runs a file-rewriting command off the user-interface thread.
//
// The command's questions and messages are carried to the user-interface thread (the window
// waits in its event loop, so it keeps painting); its progress arrives as a percentage of the
// file written, throttled to changes; Cancel makes the command stop at its next write and put the
// file back as it was, and answers any further question with Cancel. One command runs at a time.
#pragma once

#include <QObject>
#include <QThread>

#include <atomic>
#include <functional>
#include <string>

#include "app/ui_thread_dialogs.h"
#include "textcmd/command_table.h"

namespace sorabu::app {

// What the window lends to one command; every callback runs on the user-interface thread.
struct TCommandSetup {
  bool backup = true;
  bool lfLines = true;
  int caretColumn = 0;
  int selectionLength = 0;
  std::function<void()> refresh;
  std::function<void(const std::string& path)> selectAndShow;
  std::function<std::string(const std::string& path)> infoLine;
};

class TCommandRunner : public QObject {
  Q_OBJECT
 public:
  TCommandRunner(dialogs::TDialogs& dialogs, QObject* parent = nullptr);
  // Expects no command to run any more (the window waits for it first); otherwise blocks until
  // the cancelled command has ended.
  ~TCommandRunner() override;

  // False when a command is running already.
  bool Start(const textcmd::TCommand& command, const std::string& path, TCommandSetup setup);
  bool Running() const { return thread_ != nullptr; }
  void Cancel() { cancel_ = true; }
  // Processes events until the running command has ended; cancels it first when asked. Must not
  // be called while the command waits for a question this thread is showing.
  void Wait(bool cancel);

 signals:
  void Progress(int percent);
  // outcome: textcmd::Outcome as int.
  void Finished(const QString& handler, int outcome);

 private:
  std::atomic<bool> cancel_{false};
  std::atomic<int> percent_{-1};
  TUiThreadDialogs dialogs_;
  QThread* thread_ = nullptr;
};

}  // namespace sorabu::app
