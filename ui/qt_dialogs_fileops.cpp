// The file operations' questions on screen.
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>

#include "ui/TCollisionDialog.h"
#include "ui/TForm17.h"
#include "ui/TForm2.h"
#include "ui/TForm20.h"
#include "ui/TForm5.h"
#include "ui/qt_dialogs.h"
#include "uitext/qt_text.h"

namespace sorabu::ui {

using uitext::FromCp932;
using uitext::TypedToCp932;

namespace {
// Lines shown in the message itself; the rest is behind "Show Details".
constexpr std::size_t kVisibleLines = 10;
}  // namespace

bool TQtDialogs::Confirm(const std::string& caption, const std::string& text) {
  QApplication::beep();
  QMessageBox box(QMessageBox::Warning, FromCp932(caption), FromCp932(text), QMessageBox::Ok | QMessageBox::Cancel,
                  parent_);
  box.setDefaultButton(QMessageBox::Ok);
  return box.exec() == QMessageBox::Ok;
}

dialogs::TDialogs::SaveChoice TQtDialogs::SaveChanges(const std::string& caption, const std::string& text) {
  QMessageBox box(QMessageBox::Question, FromCp932(caption), FromCp932(text), QMessageBox::NoButton, parent_);
  QPushButton* save = box.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
  QPushButton* discard = box.addButton(QStringLiteral("保存しない"), QMessageBox::DestructiveRole);
  QPushButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
  box.setDefaultButton(save);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == save) return SaveChoice::Save;
  if (box.clickedButton() == discard) return SaveChoice::Discard;
  return SaveChoice::Cancel;
}

dialogs::TDialogs::CollisionAnswer TQtDialogs::Collision(const CollisionSetup& setup) {
  TCollisionDialog dialog(setup, parent_);
  dialog.exec();
  return dialog.Answer();
}

void TQtDialogs::ErrorList(const std::string& caption, const std::string& text, const std::vector<std::string>& lines) {
  QMessageBox box(QMessageBox::Warning, FromCp932(caption), FromCp932(text), QMessageBox::Ok, parent_);
  QStringList all;
  for (const std::string& line : lines) all << FromCp932(line);
  QStringList first = all.mid(0, static_cast<qsizetype>(kVisibleLines));
  if (all.size() > first.size()) first << QStringLiteral("...");
  box.setInformativeText(first.join(QLatin1Char('\n')));
  if (!all.isEmpty()) box.setDetailedText(all.join(QLatin1Char('\n')));
  box.exec();
}

std::optional<std::string> TQtDialogs::FileOperation(const FileOperationSetup& setup) {
  TForm2 dialog(setup, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return QFile::encodeName(dialog.Destination()).toStdString();
}

std::optional<dialogs::TDialogs::AttributeAnswer> TQtDialogs::Attributes(const AttributeSetup& setup) {
  TForm5 dialog(setup, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Answer();
}

std::optional<std::string> TQtDialogs::SplitSize(const SplitSetup& setup) {
  TForm17 dialog(setup, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return TypedToCp932(dialog.SizeText());
}

std::optional<dialogs::TDialogs::MergeAnswer> TQtDialogs::Merge(const MergeSetup& setup) {
  TForm20 dialog(setup, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Answer();
}

}  // namespace sorabu::ui
