#include "ui/qt_dialogs.h"

#include <cstdlib>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QSpinBox>
#include <QMessageBox>

#include "ui/TCharSetDialog.h"
#include "ui/TEditorSetDialog.h"
#include "ui/TForm10.h"
#include "ui/TForm15.h"
#include "ui/TForm30.h"
#include <QLineEdit>
#include "ui/TInputDialog.h"
#include "ui/TLoadRuleDialog.h"
#include "uitext/qt_text.h"

namespace sorabu::ui {

using uitext::FromCp932;
using uitext::ToCp932;

namespace {
QString Title() { return QApplication::applicationDisplayName(); }
// Messages break lines with CR alone, as the program writes them; the box wants LF.
QString MessageText(const std::string& text) {
  return FromCp932(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}
}  // namespace

std::optional<std::string> TQtDialogs::InputBox(const std::string& caption, const std::string& prompt,
                                                const std::string& value) {
  bool ok = false;
  const QString text = QInputDialog::getText(parent_, FromCp932(caption), FromCp932(prompt), QLineEdit::Normal,
                                             FromCp932(value), &ok);
  if (!ok) return std::nullopt;
  // A proposal left as it was goes back as it came, whatever it holds (a name with 〜 stays 〜).
  return text == FromCp932(value) ? value : uitext::TypedToCp932(text);
}

std::optional<std::string> TQtDialogs::Password(const std::string& caption, const std::string& prompt) {
  bool ok = false;
  const QString text =
      QInputDialog::getText(parent_, FromCp932(caption), FromCp932(prompt), QLineEdit::Password, QString(), &ok);
  if (!ok) return std::nullopt;
  return uitext::TypedToCp932(text);
}

std::optional<std::string> TQtDialogs::InputWithHistory(const std::string& caption, const std::string& prompt1,
                                                        const std::string& prompt2,
                                                        const std::vector<std::string>& history,
                                                        const std::string& proposal) {
  TInputDialog dialog(parent_);
  dialog.setWindowTitle(FromCp932(caption));
  dialog.SetPrompts(FromCp932(prompt1), FromCp932(prompt2));
  QStringList items;
  for (const auto& h : history) items << FromCp932(h);
  dialog.SetHistory(items);
  dialog.SetText(FromCp932(proposal));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Text() == FromCp932(proposal) ? proposal : uitext::TypedToCp932(dialog.Text());
}

void TQtDialogs::Warning(const std::string& text) { QMessageBox::warning(parent_, Title(), MessageText(text)); }

void TQtDialogs::Information(const std::string& text) {
  QMessageBox::information(parent_, Title(), MessageText(text));
}

void TQtDialogs::Error(const std::string& text) { QMessageBox::critical(parent_, Title(), MessageText(text)); }

std::optional<dialogs::FontSpec> TQtDialogs::ChooseFont(const dialogs::FontSpec& current) {
  QFont initial(FromCp932(current.name));
  if (current.sizePoints > 0) initial.setPointSize(current.sizePoints);
  initial.setBold(current.style & 1);
  initial.setItalic(current.style & 2);
  initial.setUnderline(current.style & 4);
  initial.setStrikeOut(current.style & 8);
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, initial, parent_);
  if (!ok) return std::nullopt;
  dialogs::FontSpec spec = current;
  spec.name = uitext::TypedToCp932(chosen.family());
  spec.sizePoints = chosen.pointSize();
  spec.style = (chosen.bold() ? 1 : 0) | (chosen.italic() ? 2 : 0) | (chosen.underline() ? 4 : 0) |
               (chosen.strikeOut() ? 8 : 0);
  return spec;
}

void TQtDialogs::ChooseCharSet(int current, const std::function<void(int)>& onChange) {
  TCharSetDialog dialog(current, onChange, parent_);
  dialog.exec();
}

std::optional<dialogs::LoadRuleAnswer> TQtDialogs::LoadRules(const dialogs::LoadRuleSetup& setup) {
  TLoadRuleDialog dialog(setup, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Answer();
}

std::optional<std::string> TQtDialogs::ChooseDrive(const std::vector<std::string>& drives, const std::string& current) {
  QStringList list;
  for (const std::string& d : drives) list << FromCp932(d);
  TForm10 dialog(list, FromCp932(current), parent_);
  if (dialog.exec() != QDialog::Accepted || dialog.Answer().isEmpty()) return std::nullopt;
  return ToCp932(dialog.Answer());
}

std::optional<int> TQtDialogs::ChooseSort() {
  TForm15 dialog(parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Answer();
}

std::optional<std::string> TQtDialogs::PickFolderOrProgram(const PickSetup& setup) {
  TEditorSetDialog dialog(setup, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return ToCp932(dialog.Edit1()->text());
}

std::optional<std::string> TQtDialogs::SaveFileName(const std::string& title, const std::string& folder,
                                                    const std::string& name) {
  QFileDialog dialog(parent_, FromCp932(title), FromCp932(folder));
  dialog.setObjectName(QStringLiteral("SaveDialog1"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters({QStringLiteral("テキスト(*.txt)"), QStringLiteral("ﾘｯﾁテキスト(*.rtf)"), QStringLiteral("すべて(*)")});
  dialog.setDefaultSuffix(QStringLiteral("txt"));
  dialog.selectFile(FromCp932(name));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return ToCp932(dialog.selectedFiles().front());
}

std::optional<dialogs::TDialogs::ColumnAnswer> TQtDialogs::Columns(const ColumnSetup& setup) {
  TForm30 dialog(parent_);
  dialog.Setup(FromCp932(setup.caption), FromCp932(setup.label1), FromCp932(setup.label2), setup.second,
               std::atoll(setup.first.c_str()), std::atoll(setup.count.c_str()));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  ColumnAnswer answer{dialog.SpinEdit1()->text().toStdString(), {}};
  if (setup.second) answer.count = dialog.SpinEdit2()->text().toStdString();
  return answer;
}

}  // namespace sorabu::ui
