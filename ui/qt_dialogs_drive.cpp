// The information commands' dialogs on screen.
#include "ui/TDirCommandDialog.h"
#include "ui/TDriveInfoDialog.h"
#include "ui/TPropertiesDialog.h"
#include "ui/qt_dialogs.h"

namespace sorabu::ui {

void TQtDialogs::DriveInfo(const DriveInfoSetup& setup) {
  TDriveInfoDialog dialog(setup, parent_);
  dialog.exec();
}

std::optional<dialogs::TDialogs::DirCommandAnswer> TQtDialogs::DirCommand(const DirCommandSetup& setup) {
  TDirCommandDialog dialog(setup, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Answer();
}

void TQtDialogs::Properties(const PropertiesSetup& setup) {
  TPropertiesDialog dialog(setup, parent_);
  dialog.exec();
}

}  // namespace sorabu::ui
