// The information commands' dialogs: the wide URL input and the version box.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

#include "ui/THelpWindow.h"
#include "ui/TInputDialog.h"
#include "ui/qt_dialogs.h"
#include "uitext/qt_text.h"

namespace sorabu::ui {

using uitext::FromCp932;
using uitext::ToCp932;

std::optional<std::string> TQtDialogs::UrlDialog(const std::string& caption, const std::string& prompt,
                                                 const std::vector<std::string>& history, const std::string& proposal) {
  TInputDialog dialog(parent_);
  dialog.setWindowTitle(FromCp932(caption));
  dialog.SetPrompts(FromCp932(prompt), QString());
  QStringList items;
  for (const auto& h : history) items << FromCp932(h);
  dialog.SetHistory(items);
  dialog.SetText(FromCp932(proposal));
  // Addresses are long: the dialog and its combo half as wide again.
  dialog.adjustSize();
  dialog.Combo()->setMinimumWidth(dialog.Combo()->sizeHint().width() * 3 / 2);
  dialog.resize(dialog.width() * 3 / 2, dialog.height());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return uitext::TypedToCp932(dialog.Text());
}

void TQtDialogs::About(const std::string& text) {
  QString shown = FromCp932(text);
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  QMessageBox::about(parent_, QApplication::applicationDisplayName(), shown);
}

namespace {

// The manual stands beside the program, or in the shared data folder of an installed one.
QString HelpFolder() {
  const QDir bin(QApplication::applicationDirPath());
  for (const QString& candidate : {bin.filePath(QStringLiteral("help")), bin.filePath(QStringLiteral("../share/sorabu/help"))})
    if (QFileInfo::exists(candidate + QStringLiteral("/index.html"))) return QDir::cleanPath(candidate);
  return bin.filePath(QStringLiteral("help"));
}

}  // namespace

void TQtDialogs::ShowHelp(const HelpRequest& request) {
  if (!help_) {
    help_ = new THelpWindow(HelpFolder(), parent_);
    if (!iniPath_.empty()) help_->KeepSizeIn(iniPath_);
  }
  if (!help_->HasManual()) {
    Warning(ToCp932(QStringLiteral("ヘルプファイルが見つかりません。\n%1").arg(HelpFolder())));
    return;
  }
  switch (request.kind) {
    case HelpRequest::Contents: help_->ShowContents(); break;
    case HelpRequest::Keyword: help_->ShowKeywordSearch(); break;
    case HelpRequest::Topic: help_->ShowTopic(request.topic); break;
    case HelpRequest::Page: help_->ShowPage(FromCp932(request.page)); break;
  }
  help_->show();
  help_->raise();
  help_->activateWindow();
}

void TQtDialogs::CloseHelp() {
  if (help_) help_->close();
}

}  // namespace sorabu::ui
