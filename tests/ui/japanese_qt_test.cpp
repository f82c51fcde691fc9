// Qt's own dialogs and menus speak Japanese beside the program's, whatever the locale.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDate>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "browser/file_list_model.h"
#include "uitext/japanese_locale.h"

namespace sorabu::uitext {
namespace {

bool HasJapanese(const QString& s) {
  for (QChar c : s)
    if (c.unicode() >= 0x3000) return true;
  return false;
}

QStringList ButtonTexts(const QWidget& w) {
  QStringList out;
  for (const QAbstractButton* b : w.findChildren<QAbstractButton*>())
    if (!b->text().isEmpty()) out << b->text();
  return out;
}

TEST(JapaneseQt, StandardButtonsAndDialogsReadJapanese) {
  QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  EXPECT_TRUE(HasJapanese(box.button(QDialogButtonBox::Cancel)->text())) << box.button(QDialogButtonBox::Cancel)->text().toStdString();

  QFileDialog files;
  files.setOption(QFileDialog::DontUseNativeDialog);
  const auto* lookIn = files.findChild<QLabel*>(QStringLiteral("lookInLabel"));
  ASSERT_NE(lookIn, nullptr);
  EXPECT_TRUE(HasJapanese(lookIn->text())) << lookIn->text().toStdString();
  for (const QString& t : ButtonTexts(files)) EXPECT_TRUE(HasJapanese(t)) << t.toStdString();

  QPrinter printer;
  QPrintDialog print(&printer);
  bool japaneseButton = false;
  for (const QString& t : ButtonTexts(print)) japaneseButton = japaneseButton || HasJapanese(t);
  EXPECT_TRUE(japaneseButton) << ButtonTexts(print).join(QStringLiteral(" | ")).toStdString();
}

TEST(JapaneseQt, TheLineEditsMenuAndTheDayNames) {
  QLineEdit edit;
  std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
  ASSERT_FALSE(menu->actions().isEmpty());
  for (const QAction* a : menu->actions())
    if (!a->isSeparator()) EXPECT_TRUE(HasJapanese(a->text())) << a->text().toStdString();
  // 2026-12-08 was a Tuesday.
  EXPECT_EQ(JapaneseWeekday(QDate(2026, 12, 8).dayOfWeek()), QStringLiteral("火"));
  EXPECT_EQ(JapaneseWeekday(QDate(2026, 12, 13).dayOfWeek(), QLocale::LongFormat), QStringLiteral("日曜日"));
}

// The details view's type column takes the shared MIME database's Japanese comments.
TEST(JapaneseQt, TypeNamesOfTheDetailsView) {
  QTemporaryDir dir;
  for (const char* name : {"a.txt", "b.html", "c.zip", "d.png"}) {
    QFile f(dir.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  QDir().mkdir(dir.filePath(QStringLiteral("folder")));
  browser::TFileListModel model;
  ASSERT_TRUE(model.Fill(dir.path(), {}));
  ASSERT_EQ(model.rowCount(), 5);
  for (int r = 0; r < model.rowCount(); ++r)
    EXPECT_TRUE(HasJapanese(model.Row(r).typeText)) << model.Row(r).name.toStdString() << ": " << model.Row(r).typeText.toStdString();
}

}  // namespace
}  // namespace sorabu::uitext
