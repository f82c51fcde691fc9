// The dialog interface answered by real dialogs on screen.
#pragma once

#include <QPointer>
#include <string>
#include <utility>
#include <QWidget>

#include "dialogs/dialogs.h"
#include "ui/TReplaceDialog.h"

namespace sorabu::ui {

class THelpWindow;

class TQtDialogs : public dialogs::TDialogs {
 public:
  ~TQtDialogs() override;
  void SetParent(QWidget* parent) { parent_ = parent; }
  // The settings file of the windows that remember their size (the help window).
  void SetSettingsPath(std::string iniPath) { iniPath_ = std::move(iniPath); }

  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& value) override;
  std::optional<std::string> Password(const std::string& caption, const std::string& prompt) override;
  std::optional<std::string> InputWithHistory(const std::string& caption, const std::string& prompt1,
                                              const std::string& prompt2,
                                              const std::vector<std::string>& history,
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
  // qt_dialogs_fileops.cpp
  bool Confirm(const std::string& caption, const std::string& text) override;
  SaveChoice SaveChanges(const std::string& caption, const std::string& text) override;
  CollisionAnswer Collision(const CollisionSetup& setup) override;
  void ErrorList(const std::string& caption, const std::string& text, const std::vector<std::string>& lines) override;
  std::optional<std::string> FileOperation(const FileOperationSetup& setup) override;
  std::optional<AttributeAnswer> Attributes(const AttributeSetup& setup) override;
  std::optional<std::string> SplitSize(const SplitSetup& setup) override;
  std::optional<MergeAnswer> Merge(const MergeSetup& setup) override;
  // qt_dialogs_print.cpp
  bool PrinterSetup(QPrinter& printer, bool printing) override;
  void PrintPreview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) override;
  std::optional<PrintMarginAnswer> PrintMargins(const PrintMarginSetup& setup) override;
  // qt_dialogs_search.cpp
  std::optional<FindAnswer> FindText(const FindSetup& setup) override;
  std::optional<RegExpAnswer> RegExpDialog(const RegExpSetup& setup) override;
  std::optional<ListAnswer> ListDialog(const ListSetup& setup) override;
  std::optional<GrepAnswer> GrepDialog(const GrepSetup& setup) override;
  void ShowReplace(const ReplaceSetup& setup, const ReplaceHandlers& handlers) override;
  void CloseReplace() override;
  // qt_dialogs_info.cpp
  std::optional<std::string> UrlDialog(const std::string& caption, const std::string& prompt,
                                       const std::vector<std::string>& history, const std::string& proposal) override;
  void About(const std::string& text) override;
  void ShowHelp(const HelpRequest& request) override;
  void CloseHelp() override;
  // qt_dialogs_custom.cpp
  std::optional<std::vector<dialogs::AppEntry>> ApplicationList(const ApplicationSetup& setup) override;
  std::optional<std::vector<std::string>> FolderList(const std::vector<std::string>& folders) override;
  std::optional<ToolButtonAnswer> ToolButtons(const ToolButtonSetup& setup) override;
  void DriveInfo(const DriveInfoSetup& setup) override;
  std::optional<DirCommandAnswer> DirCommand(const DirCommandSetup& setup) override;
  void Properties(const PropertiesSetup& setup) override;
  // The open replace dialog, or null.
  TReplaceDialog* ReplaceDialog() const { return replace_; }

 private:
  QPointer<QWidget> parent_;
  QPointer<TReplaceDialog> replace_;
  QPointer<THelpWindow> help_;
  std::string iniPath_;
};

}  // namespace sorabu::ui
