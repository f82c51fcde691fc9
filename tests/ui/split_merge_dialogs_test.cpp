// The split and merge dialogs, driven through their widgets without exec().
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "ui/TForm17.h"
#include "ui/TForm20.h"

namespace sorabu::ui {
namespace {

QStringList Items(const QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

class SplitDialogTest : public ::testing::Test {
 protected:
  // A split of fileSize bytes; part names are "p<count>.<n>" so the list shows which count was asked.
  void Open(unsigned long long fileSize, std::vector<std::string> history = {}) {
    dialogs::TDialogs::SplitSetup setup;
    setup.fileName = "/data/big.iso";
    setup.sizeText = "      3,000,000 byte";
    setup.fileSize = fileSize;
    setup.history = std::move(history);
    setup.partNames = [this](unsigned long long count) {
      asked_.push_back(count);
      std::vector<std::string> names;
      for (unsigned long long i = 1; i <= count; ++i) names.push_back("p" + std::to_string(count) + "." + std::to_string(i));
      names.push_back("big.bat");
      return names;
    };
    dialog_ = std::make_unique<TForm17>(setup);
    dialog_->warn = [this](const QString& text) { warnings_ << text; };
    dialog_->show();
    dialog_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
  }
  void Type(const QString& text) { dialog_->ComboBox1()->setEditText(text); }
  void Enter() { QTest::keyClick(dialog_->ComboBox1()->lineEdit(), Qt::Key_Return); }

  std::unique_ptr<TForm17> dialog_;
  QStringList warnings_;
  std::vector<unsigned long long> asked_;
};

TEST_F(SplitDialogTest, StartsOnFloppySizeAndPreviewsOnShow) {
  Open(3'000'000, {"2000000", "500"});
  EXPECT_EQ(dialog_->RadioGroup1()->checkedId(), 0);
  EXPECT_EQ(dialog_->SizeText(), QStringLiteral("1457664"));
  QStringList combo;
  for (int i = 0; i < dialog_->ComboBox1()->count(); ++i) combo << dialog_->ComboBox1()->itemText(i);
  EXPECT_EQ(combo, (QStringList{"1457664", "1250304", "730112", "649216", "2000000", "500"}));
  // 3,000,000 / 1,457,664 = 2, plus the last short part.
  EXPECT_EQ(dialog_->CountLabel()->text(), QStringLiteral("3 個に分割"));
  EXPECT_EQ(Items(dialog_->ListBox1()), (QStringList{"p3.1", "p3.2", "p3.3", "big.bat"}));
}

TEST_F(SplitDialogTest, PartCountRule) {
  // An exact multiple ends with an empty part; a text that is no size counts as 1.
  EXPECT_EQ(TForm17::PartCount(2 * 1457664ULL, "1457664"), 3u);
  EXPECT_EQ(TForm17::PartCount(10, "1457664"), 1u);
  EXPECT_EQ(TForm17::PartCount(0, "1457664"), 1u);
  for (const char* bad : {"", "0", "abc", "12a", " 100", "-5", "+5", "99999999999999999999"})
    EXPECT_EQ(TForm17::PartCount(500, QString::fromLatin1(bad)), 501u) << bad;
}

TEST_F(SplitDialogTest, RadioItemsSetTheSizeAndRefreshThePreview) {
  Open(3'000'000);
  const struct {
    int id;
    const char* size;
    const char* count;
  } kCases[] = {{2, "730112", "5 個に分割"}, {3, "649216", "5 個に分割"}, {4, "1000000", "4 個に分割"},
                {1, "1250304", "3 個に分割"}, {0, "1457664", "3 個に分割"}};
  for (const auto& c : kCases) {
    QTest::mouseClick(dialog_->RadioGroup1()->button(c.id), Qt::LeftButton);
    EXPECT_EQ(dialog_->SizeText(), QString::fromLatin1(c.size)) << c.id;
    EXPECT_EQ(dialog_->CountLabel()->text(), QString::fromUtf8(c.count)) << c.id;
    EXPECT_EQ(dialog_->ListBox1()->count(), dialog_->CountLabel()->text().section(' ', 0, 0).toInt() + 1) << c.id;
  }
  EXPECT_TRUE(warnings_.isEmpty());
}

TEST_F(SplitDialogTest, EnterRefusesMoreThanAThousandParts) {
  Open(3'000'000);
  // 3,000,000 / 3,003 = 999, so 1000 parts: the most a split may make.
  Type("3003");
  Enter();
  EXPECT_TRUE(warnings_.isEmpty());
  EXPECT_EQ(dialog_->CountLabel()->text(), QStringLiteral("1000 個に分割"));
  EXPECT_EQ(dialog_->ListBox1()->count(), 1001);
  EXPECT_EQ(dialog_->focusWidget(), dialog_->OkButton());
  EXPECT_TRUE(dialog_->isVisible()) << "Enter in the combo is not OK";

  Type("3000");
  Enter();
  EXPECT_EQ(warnings_, QStringList{QStringLiteral("1001個のﾌｧｲﾙに分割できません。")});
  EXPECT_EQ(dialog_->ListBox1()->count(), 0);
  EXPECT_EQ(dialog_->focusWidget(), dialog_->ComboBox1());
  EXPECT_TRUE(dialog_->isVisible());
  EXPECT_EQ(asked_.back(), 1000u) << "no names are asked for beyond the limit";
}

TEST_F(SplitDialogTest, OkRefusesWhatCannotBeSplit) {
  Open(3'000'000);
  const struct {
    const char* text;
    const char* warning;
  } kCases[] = {{"1000", "3001個のﾌｧｲﾙに分割できません。"},
                {"0", "分割するサイズを指定して下さい。"},
                {"", "分割するサイズを指定して下さい。"},
                {"12k", "分割するサイズを指定して下さい。"}};
  for (const auto& c : kCases) {
    warnings_.clear();
    Type(QString::fromLatin1(c.text));
    QTest::mouseClick(dialog_->OkButton(), Qt::LeftButton);
    EXPECT_EQ(warnings_, QStringList{QString::fromUtf8(c.warning)}) << c.text;
    EXPECT_TRUE(dialog_->isVisible()) << c.text;
    EXPECT_EQ(dialog_->ListBox1()->count(), 0) << c.text;
  }
  // A size that gives few enough parts closes the dialog with that size.
  Type("1457664");
  QTest::mouseClick(dialog_->OkButton(), Qt::LeftButton);
  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_EQ(dialog_->result(), QDialog::Accepted);
  EXPECT_EQ(dialog_->SizeText(), QStringLiteral("1457664"));
}

TEST_F(SplitDialogTest, PreviewOfAHugeCountListsNothing) {
  // The last radio item on a large file: the count is shown, but no thousands of repeating names.
  Open(5'000'000'000ULL);
  EXPECT_EQ(dialog_->CountLabel()->text(), QStringLiteral("3431 個に分割"));
  EXPECT_EQ(dialog_->ListBox1()->count(), 0);
  EXPECT_TRUE(asked_.empty());
}

class MergeDialogTest : public ::testing::Test {
 protected:
  MergeDialogTest() : dialog_(dialogs::TDialogs::MergeSetup{"/data/parts", {"a.001", "b.002", "c.003"}}) {}
  void Select(int row) { dialog_.ListBox1()->setCurrentRow(row); }
  TForm20 dialog_;
};

TEST_F(MergeDialogTest, OutputNameEnablesOkAndNamesTheBatchFile) {
  EXPECT_EQ(dialog_.FolderLabel()->text(), QStringLiteral("/data/parts"));
  EXPECT_EQ(dialog_.CountLabel()->text(), QStringLiteral("3個のファイル"));
  EXPECT_FALSE(dialog_.OkButton()->isEnabled());
  const struct {
    const char* name;
    const char* batch;
  } kCases[] = {{"whole.iso", "whole.bat"}, {"whole", "whole.bat"}, {"x.tar.gz", "x.tar.bat"}, {"a.001", "a.bat"}};
  for (const auto& c : kCases) {
    dialog_.Edit1()->clear();
    QTest::keyClicks(dialog_.Edit1(), QString::fromLatin1(c.name));
    EXPECT_TRUE(dialog_.OkButton()->isEnabled()) << c.name;
    EXPECT_EQ(dialog_.InfoLabel()->text(),
              QStringLiteral("結合情報は ") + QString::fromLatin1(c.batch) + QStringLiteral(" に記録されます。"));
  }
  dialog_.Edit1()->clear();
  EXPECT_FALSE(dialog_.OkButton()->isEnabled());
  EXPECT_EQ(TForm20::BatchName(QStringLiteral("dir.d/name")), QStringLiteral("dir.d/name.bat")) << "a dot in a folder is no extension";
}

TEST_F(MergeDialogTest, UpDownAndDeleteRearrangeTheOrder) {
  Select(1);
  dialog_.UpButton()->click();
  EXPECT_EQ(Items(dialog_.ListBox1()), (QStringList{"b.002", "a.001", "c.003"}));
  EXPECT_EQ(dialog_.ListBox1()->currentRow(), 0);
  EXPECT_TRUE(dialog_.ListBox1()->item(0)->isSelected());
  dialog_.UpButton()->click();  // at the top: nothing moves
  EXPECT_EQ(Items(dialog_.ListBox1()), (QStringList{"b.002", "a.001", "c.003"}));
  dialog_.DownButton()->click();
  dialog_.DownButton()->click();
  EXPECT_EQ(Items(dialog_.ListBox1()), (QStringList{"a.001", "c.003", "b.002"}));
  EXPECT_EQ(dialog_.ListBox1()->currentRow(), 2);
  dialog_.DownButton()->click();  // at the bottom: nothing moves
  EXPECT_EQ(Items(dialog_.ListBox1()), (QStringList{"a.001", "c.003", "b.002"}));

  Select(0);
  dialog_.DeleteButton()->click();
  EXPECT_EQ(Items(dialog_.ListBox1()), (QStringList{"c.003", "b.002"}));
  EXPECT_EQ(dialog_.CountLabel()->text(), QStringLiteral("2個のﾌｧｲﾙ"));

  QTest::keyClicks(dialog_.Edit1(), QStringLiteral("all.bin"));
  const auto answer = dialog_.Answer();
  EXPECT_EQ(answer.output, "all.bin");
  EXPECT_EQ(answer.names, (std::vector<std::string>{"c.003", "b.002"}));
}

TEST(MergeDialog, NamesKeepTheirBytes) {
  // A name that is not valid UTF-8 comes back exactly as the file system holds it.
  const std::string odd = "\x83\x65\x83\x58\x83\x67.001";  // "テスト" in CP932
  TForm20 dialog(dialogs::TDialogs::MergeSetup{"/data", {odd, "z.002"}});
  dialog.ListBox1()->setCurrentRow(1);
  dialog.UpButton()->click();
  EXPECT_EQ(dialog.Answer().names, (std::vector<std::string>{"z.002", odd}));
}

}  // namespace
}  // namespace sorabu::ui
