// Answers every question of the window at random, as a hurried user would: Cancel often, the
// offered value often, else a value drawn from texts that matter to the program (names in the
// folder, numbers at their limits, patterns valid and broken, Japanese text, odd bytes). Paths
// in answers always lie in the run folder, so nothing the window does on an answer reaches
// outside it. Qt-free; the window's event loop is turned through a hook.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "dialogs/dialogs.h"

namespace sorabu::monkey {

class TEventLog;

class TRandomDialogs : public dialogs::TDialogs {
 public:
  // work: the folder the window works over; run: the folder every answered path lies in.
  TRandomDialogs(std::uint64_t seed, TEventLog& log, std::string work, std::string run);

  // Turns the event loop for that many milliseconds while a question is open, as a modal
  // dialog's own loop would; the driver sends nothing meanwhile.
  std::function<void(int milliseconds)> spin;
  // A message that carries a sanitizer's report (from a child process the window ran).
  std::function<void(const std::string& text)> onSanitizerText;
  // A message that tells of a read-only file system: a write was tried outside the run folder.
  std::function<void(const std::string& text)> onWriteOutside;
  // Set once the run ends: unsaved edits are let go so that the window can close.
  bool closing = false;

  bool Asking() const { return asking_ > 0; }
  std::uint64_t Questions() const { return questions_; }
  std::uint64_t Messages() const { return messages_; }
  // The replace dialog's buttons while it is open (the driver presses them).
  bool ReplaceOpen() const { return replaceOpen_; }
  const ReplaceHandlers& Replace() const { return replace_; }

  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& value) override;
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
  CollisionAnswer Collision(const CollisionSetup& setup) override;
  void ErrorList(const std::string& caption, const std::string& text, const std::vector<std::string>& lines) override;
  std::optional<std::string> FileOperation(const FileOperationSetup& setup) override;
  std::optional<AttributeAnswer> Attributes(const AttributeSetup& setup) override;
  std::optional<std::string> SplitSize(const SplitSetup& setup) override;
  std::optional<MergeAnswer> Merge(const MergeSetup& setup) override;
  bool PrinterSetup(QPrinter& printer, bool printing) override;
  void PrintPreview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) override;
  std::optional<PrintMarginAnswer> PrintMargins(const PrintMarginSetup& setup) override;
  std::optional<FindAnswer> FindText(const FindSetup& setup) override;
  std::optional<RegExpAnswer> RegExpDialog(const RegExpSetup& setup) override;
  std::optional<ListAnswer> ListDialog(const ListSetup& setup) override;
  std::optional<GrepAnswer> GrepDialog(const GrepSetup& setup) override;
  void ShowReplace(const ReplaceSetup& setup, const ReplaceHandlers& handlers) override;
  void CloseReplace() override;
  std::optional<std::string> UrlDialog(const std::string& caption, const std::string& prompt,
                                       const std::vector<std::string>& history, const std::string& proposal) override;
  void About(const std::string& text) override;
  void ShowHelp(const HelpRequest& request) override;
  void CloseHelp() override;
  std::optional<std::vector<dialogs::AppEntry>> ApplicationList(const ApplicationSetup& setup) override;
  std::optional<std::vector<std::string>> FolderList(const std::vector<std::string>& folders) override;
  std::optional<ToolButtonAnswer> ToolButtons(const ToolButtonSetup& setup) override;
  void DriveInfo(const DriveInfoSetup& setup) override;
  std::optional<DirCommandAnswer> DirCommand(const DirCommandSetup& setup) override;
  void Properties(const PropertiesSetup& setup) override;

 private:
  // Around every question: the log line, the count and perhaps a turn of the event loop.
  class TAsk;
  bool Chance(double p);
  std::size_t Pick(std::size_t n);
  bool Cancelled() { return Chance(0.3); }
  // A text a user might type into a field: a name, a number, a pattern, Japanese, odd bytes.
  std::string Text();
  std::string Number();
  std::string Pattern();
  // A name in the folder on screen, or a new one.
  std::string Name();
  // An absolute path in the work folder: a folder, a file, or a new name.
  std::string PathInWork(bool folder);
  // The value when it is safe to give back (no path outside the run folder), else a text.
  std::string Keep(const std::string& value);
  bool Safe(const std::string& text) const;
  void Message(const char* kind, const std::string& text);

  std::recursive_mutex mutex_;  // questions of worker threads reach the window's thread first; this is a second guard
  std::mt19937 rng_;
  TEventLog& log_;
  std::string work_, run_;
  int asking_ = 0;
  std::uint64_t questions_ = 0, messages_ = 0;
  bool replaceOpen_ = false;
  ReplaceHandlers replace_;
};

}  // namespace sorabu::monkey
