// The dialog interface for a command running on a worker thread: every question and message is
// carried to the user-interface thread and waited for there, so a command's code asks exactly
// as it does on the user-interface thread, in the command-line tool and in the tests.
#pragma once

#include <QObject>
#include <QThread>

#include <atomic>
#include <functional>
#include <type_traits>

#include "dialogs/dialogs.h"

namespace sorabu::app {

// Runs f on the thread of `owner` and returns its result; directly when already there. The
// calling thread waits, so f may refer to the caller's locals. Without an owner nothing runs and
// the result is empty (a question answered with Cancel).
template <typename F>
auto OnThreadOf(QObject* owner, F&& f) -> decltype(f()) {
  using R = decltype(f());
  if (owner == nullptr) {
    if constexpr (std::is_void_v<R>) return;
    else return R{};
  }
  if (QThread::currentThread() == owner->thread()) return f();
  if constexpr (std::is_void_v<R>) {
    QMetaObject::invokeMethod(owner, std::forward<F>(f), Qt::BlockingQueuedConnection);
  } else {
    R result{};
    QMetaObject::invokeMethod(owner, [&] { result = f(); }, Qt::BlockingQueuedConnection);
    return result;
  }
}

class TUiThreadDialogs final : public dialogs::TDialogs {
 public:
  // owner: an object living on the user-interface thread; inner: the window's dialogs. Once
  // stopped is set, every question is answered with Cancel without being shown.
  TUiThreadDialogs(QObject* owner, dialogs::TDialogs& inner, const std::atomic<bool>& stopped)
      : owner_(owner), inner_(inner), stopped_(stopped) {}
  // Runs on the user-interface thread with true just before a question or message is shown and
  // with false once it is answered: the operation's progress window steps aside meanwhile.
  void SetAskingHook(std::function<void(bool asking)> hook) { asking_ = std::move(hook); }

  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& value) override;
  std::optional<std::string> Password(const std::string& caption, const std::string& prompt) override;
  std::optional<std::string> InputWithHistory(const std::string& caption, const std::string& prompt1,
                                              const std::string& prompt2, const std::vector<std::string>& history,
                                              const std::string& proposal) override;
  void Warning(const std::string& text) override;
  void Information(const std::string& text) override;
  void Error(const std::string& text) override;
  std::optional<dialogs::FontSpec> ChooseFont(const dialogs::FontSpec& current) override;
  void ChooseCharSet(int current, const std::function<void(int)>& onChange) override;
  std::optional<dialogs::LoadRuleAnswer> LoadRules(const dialogs::LoadRuleSetup& setup) override;
  std::optional<std::string> ChooseDrive(const std::vector<std::string>& drives, const std::string& current) override;
  std::optional<int> ChooseSort() override;
  std::optional<std::string> PickFolderOrProgram(const PickSetup& setup) override;
  std::optional<std::string> SaveFileName(const std::string& title, const std::string& folder,
                                          const std::string& name) override;
  std::optional<ColumnAnswer> Columns(const ColumnSetup& setup) override;
  bool Confirm(const std::string& caption, const std::string& text) override;
  SaveChoice SaveChanges(const std::string& caption, const std::string& text) override;
  std::optional<FindAnswer> FindText(const FindSetup& setup) override;
  std::optional<RegExpAnswer> RegExpDialog(const RegExpSetup& setup) override;
  std::optional<ListAnswer> ListDialog(const ListSetup& setup) override;
  std::optional<GrepAnswer> GrepDialog(const GrepSetup& setup) override;
  void ShowReplace(const ReplaceSetup& setup, const ReplaceHandlers& handlers) override;
  void CloseReplace() override;
  CollisionAnswer Collision(const CollisionSetup& setup) override;
  void ErrorList(const std::string& caption, const std::string& text, const std::vector<std::string>& lines) override;
  std::optional<std::string> FileOperation(const FileOperationSetup& setup) override;
  std::optional<AttributeAnswer> Attributes(const AttributeSetup& setup) override;
  std::optional<std::string> SplitSize(const SplitSetup& setup) override;
  std::optional<MergeAnswer> Merge(const MergeSetup& setup) override;
  bool PrinterSetup(QPrinter& printer, bool printing) override;
  void PrintPreview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) override;
  std::optional<PrintMarginAnswer> PrintMargins(const PrintMarginSetup& setup) override;
  void DriveInfo(const DriveInfoSetup& setup) override;
  std::optional<DirCommandAnswer> DirCommand(const DirCommandSetup& setup) override;
  void Properties(const PropertiesSetup& setup) override;

 private:
  // The owner while questions may still be shown; null once stopped.
  QObject* Asking() const { return stopped_.load() ? nullptr : owner_; }
  // f (a modal question or message) on the owner's thread, the hook around it.
  template <typename F>
  auto Ask(QObject* owner, F&& f) -> decltype(f()) {
    return OnThreadOf(owner, [&]() -> decltype(f()) {
      struct Around {
        const std::function<void(bool)>& hook;
        explicit Around(const std::function<void(bool)>& h) : hook(h) {
          if (hook) hook(true);
        }
        ~Around() {
          if (hook) hook(false);
        }
      } around(asking_);
      return f();
    });
  }

  QObject* owner_;
  dialogs::TDialogs& inner_;
  const std::atomic<bool>& stopped_;
  std::function<void(bool)> asking_;
};

}  // namespace sorabu::app
