// The customisation dialogs on screen.
#include "ui/TAppSetDialog.h"
#include "ui/TFolderSetDialog.h"
#include "ui/TToolButtonDialog.h"
#include "ui/qt_dialogs.h"

namespace sorabu::ui {

// Both list dialogs keep what the user did however they are closed: there is no Cancel.
std::optional<std::vector<dialogs::AppEntry>> TQtDialogs::ApplicationList(const ApplicationSetup& setup) {
  TAppSetDialog dialog(setup, parent_);
  dialog.warn = [this](const std::string& text) { Warning(text); };
  dialog.exec();
  return dialog.Entries();
}

std::optional<std::vector<std::string>> TQtDialogs::FolderList(const std::vector<std::string>& folders) {
  TFolderSetDialog dialog(folders, parent_);
  dialog.exec();
  return dialog.Folders();
}

std::optional<dialogs::TDialogs::ToolButtonAnswer> TQtDialogs::ToolButtons(const ToolButtonSetup& setup) {
  TToolButtonDialog dialog(setup, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Answer();
}

}  // namespace sorabu::ui
