// The application, registered-folder and tool button dialogs, driven through their widgets
// without exec().
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include "custom/entry_lists.h"
#include "textconv/cp932.h"
#include "ui/TAppSetDialog.h"
#include "ui/TFolderSetDialog.h"
#include "ui/TToolButtonDialog.h"

namespace sorabu::ui {
namespace {

std::string C(const char* utf8) { return textconv::Utf8ToCp932(utf8); }

QStringList Rows(const QListWidget* list) {
  QStringList rows;
  for (int i = 0; i < list->count(); ++i) rows << list->item(i)->text();
  return rows;
}

TEST(AppSetDialog, AddUpdateMoveAndDelete) {
  dialogs::TDialogs::ApplicationSetup setup;
  setup.entries = {{"/bin/a", C("あ")}, {"/bin/b", "b"}};
  setup.usable = [](const std::string& line) { return custom::ProgramOf(line).rfind("/bin/", 0) == 0; };
  TAppSetDialog d(setup);
  std::vector<std::string> warnings;
  d.warn = [&](const std::string& text) { warnings.push_back(text); };
  EXPECT_EQ(d.windowTitle(), QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝの設定"));
  EXPECT_EQ(Rows(d.ListBox1()), (QStringList{QStringLiteral("あ"), QStringLiteral("b")}));
  EXPECT_FALSE(d.AddButton()->isEnabled());
  EXPECT_FALSE(d.UpdateButton()->isEnabled());

  d.Edit1()->setText(QStringLiteral("/usr/x"));
  EXPECT_TRUE(d.AddButton()->isEnabled());
  d.AddButton()->click();
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0], "/usr/x" + C(" は設定できませんでした。"));
  EXPECT_EQ(d.ListBox1()->count(), 2);

  d.Edit1()->setText(QStringLiteral("\"/bin/c d\" -v"));
  d.Edit2()->setText(QStringLiteral("シー"));
  d.AddButton()->click();
  EXPECT_EQ(d.ListBox1()->currentRow(), 2);
  EXPECT_EQ(d.Entries().back(), (dialogs::AppEntry{"\"/bin/c d\" -v", C("シー")}));

  d.ListBox1()->setCurrentRow(0);
  EXPECT_EQ(d.Edit1()->text(), QStringLiteral("/bin/a"));
  EXPECT_EQ(d.Edit2()->text(), QStringLiteral("あ"));
  EXPECT_TRUE(d.UpdateButton()->isEnabled()) << "the first entry can be updated too";
  EXPECT_FALSE(d.UpButton()->isEnabled());
  d.Edit2()->setText(QStringLiteral("新"));
  d.UpdateButton()->click();
  EXPECT_EQ(d.ListBox1()->item(0)->text(), QStringLiteral("新"));

  d.DownButton()->click();
  EXPECT_EQ(d.ListBox1()->currentRow(), 1);
  EXPECT_EQ(Rows(d.ListBox1()), (QStringList{QStringLiteral("b"), QStringLiteral("新"), QStringLiteral("シー")}));
  d.ListBox1()->setCurrentRow(2);
  EXPECT_FALSE(d.DownButton()->isEnabled());
  d.UpButton()->click();
  EXPECT_EQ(Rows(d.ListBox1()), (QStringList{QStringLiteral("b"), QStringLiteral("シー"), QStringLiteral("新")}));

  d.DeleteButton()->click();
  EXPECT_EQ(d.ListBox1()->currentRow(), 0);
  EXPECT_TRUE(d.Edit1()->text().isEmpty());
  EXPECT_EQ(d.Entries().size(), 2u);
  EXPECT_EQ(d.Entries()[1].commandLine, "/bin/a");
}

TEST(FolderSetDialog, EachFolderOnceAndDeleteClears) {
  TFolderSetDialog d({"/a", "", "/b"});
  EXPECT_EQ(d.windowTitle(), QStringLiteral("登録ﾌｫﾙﾀﾞｰの設定"));
  EXPECT_EQ(d.ListBox1()->count(), 3);
  EXPECT_FALSE(d.AddButton()->isEnabled());
  EXPECT_FALSE(d.DeleteButton()->isEnabled());
  d.Edit1()->setText(QStringLiteral("/a"));
  d.AddButton()->click();
  EXPECT_EQ(d.ListBox1()->count(), 3) << "a folder already listed is not added again";
  d.Edit1()->setText(QStringLiteral("/フォルダー 1"));
  d.AddButton()->click();
  EXPECT_EQ(d.ListBox1()->count(), 4);
  EXPECT_EQ(d.Folders().back(), C("/フォルダー 1"));
  d.ListBox1()->setCurrentRow(2);
  EXPECT_EQ(d.Edit1()->text(), QStringLiteral("/b"));
  d.UpButton()->click();
  EXPECT_EQ(d.Folders(), (std::vector<std::string>{"/a", "/b", "", C("/フォルダー 1")}));
  d.DeleteButton()->click();
  EXPECT_TRUE(d.Edit1()->text().isEmpty());
  EXPECT_EQ(d.Folders(), (std::vector<std::string>{"/a", "", C("/フォルダー 1")}));
  EXPECT_EQ(d.ListBox1()->currentRow(), 0);
}

TEST(ToolButtonDialog, TabsRowsAndShowAll) {
  dialogs::TDialogs::ToolButtonSetup setup;
  setup.main = {{C("印刷"), true}, {C("終了"), false}};
  setup.view = {{"URL", false}};
  TToolButtonDialog d(setup);
  EXPECT_EQ(d.windowTitle(), QStringLiteral("ツールボタンの設定"));
  EXPECT_EQ(d.Label()->text(), QStringLiteral("表示するツールボタンを選択して下さい。"));
  EXPECT_EQ(d.Tabs()->currentIndex(), 0);
  EXPECT_EQ(d.Tabs()->tabText(0), QStringLiteral("メイン"));
  EXPECT_EQ(d.Tabs()->tabText(1), QStringLiteral("ビュー"));
  EXPECT_EQ(d.MainList()->item(1)->text(), QStringLiteral("終了"));
  EXPECT_EQ(d.Answer().main, (std::vector<bool>{true, false}));
  d.MainList()->item(0)->setCheckState(Qt::Unchecked);
  EXPECT_EQ(d.Answer().main, (std::vector<bool>{false, false}));
  d.ShowAllButton()->click();
  EXPECT_EQ(d.Answer().main, (std::vector<bool>{true, true}));
  EXPECT_EQ(d.Answer().view, (std::vector<bool>{true}));
}

}  // namespace
}  // namespace sorabu::ui
