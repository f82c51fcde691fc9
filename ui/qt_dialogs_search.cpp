// The search commands' questions on screen.
#include "ui/TForm25.h"
#include "ui/TForm31.h"
#include "ui/TForm32.h"
#include "ui/TForm9.h"
#include "ui/TReplaceDialog.h"
#include "ui/qt_dialogs.h"

namespace sorabu::ui {

TQtDialogs::~TQtDialogs() {
  // Without a window to own it the replace dialog would outlive its handlers.
  delete replace_;
}

std::optional<dialogs::TDialogs::FindAnswer> TQtDialogs::FindText(const FindSetup& setup) {
  TForm32 dialog(setup, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Answer();
}

std::optional<dialogs::TDialogs::RegExpAnswer> TQtDialogs::RegExpDialog(const RegExpSetup& setup) {
  TForm25 dialog(setup, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Answer();
}

std::optional<dialogs::TDialogs::ListAnswer> TQtDialogs::ListDialog(const ListSetup& setup) {
  TForm31 dialog(setup, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Answer();
}

std::optional<dialogs::TDialogs::GrepAnswer> TQtDialogs::GrepDialog(const GrepSetup& setup) {
  TForm9 dialog(setup, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Answer();
}

void TQtDialogs::ShowReplace(const ReplaceSetup& setup, const ReplaceHandlers& handlers) {
  if (!replace_) {
    replace_ = new TReplaceDialog(parent_);
    replace_->setAttribute(Qt::WA_DeleteOnClose);
  }
  replace_->Reset(setup, handlers);
  replace_->show();
  replace_->raise();
  replace_->activateWindow();
}

void TQtDialogs::CloseReplace() {
  if (replace_) replace_->close();
}

}  // namespace sorabu::ui
