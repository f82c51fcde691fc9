// The destination, attribute and name-collision dialogs, driven through their widgets without exec().
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "browser/folder_view.h"
#include "ui/TCollisionDialog.h"
#include "ui/TForm2.h"
#include "ui/TForm5.h"

namespace sorabu::ui {
namespace {

using Choice = dialogs::TDialogs::CollisionChoice;

class DestinationDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(QDir().mkpath(dir_.filePath("into/deeper")));
    setup_.operation = 1;
    setup_.countLabel = "2\x8c\xc2\x82\xcc\x83\x74\x83\x40\x83\x43\x83\x8b";  // "2個のファイル" in CP932
    setup_.sources = "/src/a.txt\n/src/b.txt";
    setup_.folder = dir_.path().toStdString();
    setup_.history = {"/backup", "/mnt/usb/save"};
  }
  QTemporaryDir dir_;
  dialogs::TDialogs::FileOperationSetup setup_;
};

TEST_F(DestinationDialogTest, ShowsTheSetupWithTheCurrentFolderPicked) {
  TForm2 dialog(setup_);
  EXPECT_EQ(dialog.ComboBox1()->currentText(), dir_.path());
  EXPECT_EQ(dialog.FolderLabel()->text(), dir_.path());
  EXPECT_EQ(dialog.FolderView1()->SelectedPath(), dir_.path());
  ASSERT_EQ(dialog.ComboBox1()->count(), 2);
  EXPECT_EQ(dialog.ComboBox1()->itemText(1), QStringLiteral("/mnt/usb/save"));
  EXPECT_EQ(dialog.RadioGroup1()->checkedId(), 1);
  for (QAbstractButton* b : dialog.RadioGroup1()->buttons()) EXPECT_FALSE(b->isEnabled()) << "the group only informs";
  EXPECT_EQ(dialog.CountLabel()->text(), QStringLiteral("2個のファイル"));
  EXPECT_EQ(dialog.Memo1()->toPlainText(), QStringLiteral("/src/a.txt\n/src/b.txt"));
}

TEST_F(DestinationDialogTest, PickingAFolderFillsTheCombo) {
  TForm2 dialog(setup_);
  const QString deeper = dir_.filePath("into/deeper");
  ASSERT_TRUE(dialog.FolderView1()->SelectPath(deeper));
  EXPECT_EQ(dialog.Destination(), deeper);
  EXPECT_EQ(dialog.FolderLabel()->text(), deeper);
  // A typed destination stands until the next pick; the desktop node has no path to take.
  dialog.ComboBox1()->setEditText(QStringLiteral("/typed"));
  dialog.FolderView1()->setCurrentItem(dialog.FolderView1()->topLevelItem(0));
  EXPECT_EQ(dialog.Destination(), QStringLiteral("/typed"));
  EXPECT_EQ(dialog.FolderLabel()->text(), deeper);
  ASSERT_TRUE(dialog.FolderView1()->SelectPath(dir_.filePath("into")));
  EXPECT_EQ(dialog.Destination(), dir_.filePath("into"));
}

TEST(AttributeDialog, PresetsAndDisabledBoxes) {
  dialogs::TDialogs::AttributeSetup setup;
  setup.path = "/data/.profile";
  setup.readOnly = true;
  setup.hidden = true;
  setup.systemEnabled = false;
  setup.archiveEnabled = false;
  TForm5 dialog(setup);
  EXPECT_EQ(dialog.PathLabel()->text(), QStringLiteral("/data/.profile"));
  const QCheckBox* boxes[] = {dialog.CheckBox1(), dialog.CheckBox2(), dialog.CheckBox3(), dialog.CheckBox4()};
  const bool checked[] = {true, false, false, true};
  const bool enabled[] = {true, false, false, true};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(boxes[i]->isChecked(), checked[i]) << i;
    EXPECT_EQ(boxes[i]->isEnabled(), enabled[i]) << i;
  }
  QTest::mouseClick(dialog.CheckBox1(), Qt::LeftButton);
  const auto answer = dialog.Answer();
  EXPECT_FALSE(answer.readOnly);
  EXPECT_FALSE(answer.archive);
  EXPECT_FALSE(answer.system);
  EXPECT_TRUE(answer.hidden);

  setup.readable = false;
  setup.systemEnabled = setup.archiveEnabled = true;
  TForm5 unreadable(setup);
  for (const QCheckBox* b : {unreadable.CheckBox1(), unreadable.CheckBox2(), unreadable.CheckBox3(), unreadable.CheckBox4()})
    EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
}

dialogs::TDialogs::CollisionSetup Collision(int remaining) {
  dialogs::TDialogs::CollisionSetup setup;
  setup.name = "report.txt";
  setup.folder = "/data/out";
  setup.sourceSize = 1234567;
  setup.targetSize = 999;
  setup.sourceTime = QDateTime(QDate(2024, 5, 1), QTime(13, 45)).toSecsSinceEpoch();
  setup.targetTime = QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59)).toSecsSinceEpoch();
  setup.remaining = remaining;
  return setup;
}

TEST(CollisionDialog, ButtonsGiveTheirAnswers) {
  const struct {
    QPushButton* (TCollisionDialog::*button)() const;
    Choice choice;
  } kCases[] = {{&TCollisionDialog::ReplaceButton, Choice::Replace},
                {&TCollisionDialog::SkipButton, Choice::Skip},
                {&TCollisionDialog::RenameButton, Choice::Rename},
                {&TCollisionDialog::CancelButton, Choice::Cancel}};
  for (const auto& c : kCases) {
    for (bool all : {false, true}) {
      TCollisionDialog dialog(Collision(2));
      dialog.show();
      dialog.ApplyToAll()->setChecked(all);
      QTest::mouseClick((dialog.*c.button)(), Qt::LeftButton);
      EXPECT_FALSE(dialog.isVisible());
      const auto answer = dialog.Answer();
      EXPECT_EQ(answer.choice, c.choice);
      EXPECT_EQ(answer.applyToAll, all && c.choice != Choice::Cancel);
    }
  }
  TCollisionDialog closed(Collision(2));
  closed.ApplyToAll()->setChecked(true);
  closed.reject();  // Escape or the window's close button
  EXPECT_EQ(closed.Answer().choice, Choice::Cancel);
}

TEST(CollisionDialog, ApplyToAllOnlyWithItemsToCome) {
  TCollisionDialog last(Collision(0));
  EXPECT_TRUE(last.ApplyToAll()->isHidden());
  last.ApplyToAll()->setChecked(true);  // even if set somehow, it is not offered
  last.ReplaceButton()->click();
  EXPECT_FALSE(last.Answer().applyToAll);
  TCollisionDialog more(Collision(1));
  EXPECT_FALSE(more.ApplyToAll()->isHidden());
}

TEST(CollisionDialog, ShowsBothItems) {
  TCollisionDialog dialog(Collision(0));
  EXPECT_TRUE(dialog.Message()->text().contains(QStringLiteral("report.txt")));
  EXPECT_TRUE(dialog.Message()->text().contains(QStringLiteral("/data/out")));
  EXPECT_TRUE(dialog.Existing()->text().contains(QStringLiteral("999 byte")));
  EXPECT_TRUE(dialog.Existing()->text().contains(QStringLiteral("1999/12/31 23:59")));
  EXPECT_TRUE(dialog.Incoming()->text().contains(QStringLiteral("1,234,567 byte")));
  EXPECT_TRUE(dialog.Incoming()->text().contains(QStringLiteral("2024/05/01 13:45")));
  EXPECT_EQ(TCollisionDialog::SizeText(0), QStringLiteral("0 byte"));
  EXPECT_EQ(TCollisionDialog::SizeText(100000), QStringLiteral("100,000 byte"));

  auto setup = Collision(0);
  setup.targetIsFolder = true;
  TCollisionDialog folder(setup);
  EXPECT_TRUE(folder.Existing()->text().contains(QStringLiteral("フォルダー")));
  EXPECT_FALSE(folder.Existing()->text().contains(QStringLiteral("byte")));
  EXPECT_TRUE(folder.Incoming()->text().contains(QStringLiteral("byte")));
}

}  // namespace
}  // namespace sorabu::ui
