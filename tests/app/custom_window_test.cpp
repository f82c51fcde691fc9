// The application menu, the registered folders, the tool bars and the 設定 menu, driven through the
// window with scripted answers; programs are "started" through the launcher seam only.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>

#include "app/browser_selection.h"
#include "browser/file_view.h"
#include "browser/folder_view.h"
#include "custom/command_line.h"
#include "custom/entry_lists.h"
#include "custom/tool_buttons.h"
#include "settings/ini_file.h"
#include "tests/app/window_fixture.h"
#include "textconv/cp932.h"
#include "ui/icon_theme.h"

namespace sorabu::app {
namespace {

using custom::SplitCommandLine;
using Words = std::vector<std::string>;
std::string C(const char* utf8) { return textconv::Utf8ToCp932(utf8); }

TEST(CommandLine, WordsQuotesAndBlanks) {
  EXPECT_EQ(SplitCommandLine(""), Words{});
  EXPECT_EQ(SplitCommandLine("   "), Words{});
  EXPECT_EQ(SplitCommandLine("gedit  -s\tfile"), (Words{"gedit", "-s", "file"}));
  EXPECT_EQ(SplitCommandLine("\"/opt/my app/run\" \"a b\" c"), (Words{"/opt/my app/run", "a b", "c"}));
  EXPECT_EQ(SplitCommandLine("x \"\" y"), (Words{"x", "", "y"}));
  EXPECT_EQ(SplitCommandLine("say \"he said \"\"hi\"\"\""), (Words{"say", "he said \"hi\""}));
  EXPECT_EQ(SplitCommandLine("pre\"fix suf\"fix"), (Words{"prefix suffix"}));
  // A Shift-JIS name whose trail byte is 0x5C ("表") stays one word.
  EXPECT_EQ(SplitCommandLine(C("/tmp/表 \"予 定\"")), (Words{C("/tmp/表"), C("予 定")}));
}

TEST(EntryLists, StepsKeepTheListAndChooseTheNextRow) {
  custom::TOrderedList<std::string> list({"a", "b", "c"});
  EXPECT_EQ(list.Up(0), 0);
  EXPECT_EQ(list.Down(2), 2);
  EXPECT_EQ(list.Down(-1), -1);
  EXPECT_EQ(list.Items(), (Words{"a", "b", "c"}));
  EXPECT_EQ(list.Down(0), 1);
  EXPECT_EQ(list.Up(2), 1);
  EXPECT_EQ(list.Items(), (Words{"b", "c", "a"}));
  EXPECT_EQ(list.Remove(1), 0);
  EXPECT_EQ(list.Remove(0), 0);
  EXPECT_EQ(list.Remove(0), -1);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Remove(0), 0) << "nothing to remove";

  custom::TFolderList folders({"/a", "", "/b"});
  EXPECT_EQ(folders.AddFolder("/a"), -1);
  EXPECT_EQ(folders.AddFolder("/A"), 3) << "the comparison is case-sensitive";
  EXPECT_EQ(folders.AddFolder(""), -1);
  EXPECT_EQ(folders.Stored(), (Words{"/a", "/b", "/A"}));
}

class CustomWindowTest : public MainWindowTest {
 protected:
  // An executable file in the temporary folder: found, never run (the launcher is replaced).
  QString MakeProgram(const QString& name) {
    const QString path = MakeFile(name, "#!/bin/sh\n");
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
    return path;
  }
  void Record(TForm1& f) {
    f.SetLauncher([this](const QString& program, const QStringList& arguments, const QString&) {
      launched_.push_back(QStringList{program} + arguments);
      return true;
    });
  }
  static QStringList Names(QToolBar* bar) {
    QStringList names;
    for (QAction* a : bar->actions()) names << a->objectName();
    return names;
  }
  std::vector<QStringList> launched_;
};

TEST_F(CustomWindowTest, ApplicationItemsRunTheirStoredCommandLines) {
  const QString prog = MakeProgram(QStringLiteral("my tool"));
  std::string ini = "[Mexe]\nCount=3\n";
  ini += "File0=\"" + prog.toStdString() + "\" -x \"two words\"\nName0=" + C("道具") + "\n";
  ini += "File1=" + dir_.filePath("gone").toStdString() + " arg\nName1=gone\n";
  ini += "File2=\"" + prog.toStdString() + "\"\nName2=plain\n";
  WriteIni(ini);
  TForm1& f = Start();
  Record(f);
  QMenu* run = f.findChild<QMenu*>(QStringLiteral("Mexedo"));
  QMenu* prun = f.findChild<QMenu*>(QStringLiteral("Mexedo2"));
  ASSERT_EQ(run->actions().size(), 3);
  ASSERT_EQ(prun->actions().size(), 3);
  EXPECT_EQ(run->title(), QStringLiteral("実行(&G)"));
  EXPECT_EQ(run->actions()[0]->text(), QStringLiteral("&1 道具"));
  EXPECT_EQ(run->actions()[2]->text(), QStringLiteral("&3 plain"));
  EXPECT_EQ(prun->actions()[0]->statusTip(), QStringLiteral("道具"));

  prun->actions()[0]->trigger();
  ASSERT_EQ(launched_.size(), 1u);
  EXPECT_EQ(launched_[0], (QStringList{prog, QStringLiteral("-x"), QStringLiteral("two words")}));

  run->actions()[1]->trigger();
  EXPECT_EQ(launched_.size(), 1u) << "a missing program is not started";
  ASSERT_EQ(dialogs_.Messages().size(), 1u);
  EXPECT_NE(dialogs_.Messages()[0].text.find(dir_.filePath("gone").toStdString()), std::string::npos);
  EXPECT_EQ(settings::TIniFile(IniPath()).ReadInteger("Mexe", "Count", 0), 3) << "and its entry is kept";

  run->actions()[2]->trigger();
  ASSERT_EQ(launched_.size(), 2u);
  EXPECT_EQ(launched_[1], QStringList{prog});
}

TEST_F(CustomWindowTest, TheApplicationDialogStoresWhatItReturns) {
  const QString prog = MakeProgram(QStringLiteral("p"));
  WriteIni("[Mexe]\nCount=2\nFile0=" + dir_.filePath("gone").toStdString() + "\nName0=old\nFile1=" +
           prog.toStdString() + "\nName1=kept\n");
  TForm1& f = Start();
  Record(f);
  // Offered: only the entry whose program exists. Answered: it, a new one with quotes, a refused one.
  const std::string quoted = "\"" + prog.toStdString() + "\" \"a  b\" " + C("ｶﾅ") + "\t" + C("新しい 名前");
  dialogs_.Answer(prog.toStdString() + "\tkept\r\n" + quoted + "\r\nnosuchprogram-xyz\tbad\r\n");
  f.MexesetClick();
  EXPECT_EQ(dialogs_.Offered().back(), prog.toStdString() + "\tkept\r\n");
  ASSERT_EQ(dialogs_.Messages().size(), 1u);
  EXPECT_EQ(dialogs_.Messages()[0].text, "nosuchprogram-xyz" + C(" は設定できませんでした。"));

  const settings::TIniFile ini(IniPath());
  EXPECT_EQ(ini.ReadInteger("Mexe", "Count", 0), 2);
  EXPECT_EQ(ini.ReadString("Mexe", "File1", ""), quoted.substr(0, quoted.find('\t')));
  EXPECT_EQ(ini.ReadString("Mexe", "Name1", ""), C("新しい 名前"));
  EXPECT_FALSE(ini.ValueExists("Mexe", "File2"));
  QMenu* run = f.findChild<QMenu*>(QStringLiteral("Mexedo"));
  ASSERT_EQ(run->actions().size(), 2);
  EXPECT_EQ(run->actions()[1]->text(), QStringLiteral("&2 新しい 名前"));
  run->actions()[1]->trigger();
  ASSERT_EQ(launched_.size(), 1u);
  EXPECT_EQ(launched_[0], (QStringList{prog, QStringLiteral("a  b"), QStringLiteral("ｶﾅ")}));

  dialogs_.Cancel();
  f.MexesetClick();
  EXPECT_EQ(settings::TIniFile(IniPath()).ReadInteger("Mexe", "Count", 0), 2) << "Cancel of the plain form stores nothing";
}

TEST_F(CustomWindowTest, HundredsOfApplicationsLoad) {
  std::vector<dialogs::AppEntry> entries;
  for (int i = 0; i < 800; ++i)
    entries.push_back({"\"/opt/a b/" + std::to_string(i) + "\" \"x y\"", C("名前 ") + std::to_string(i)});
  {
    settings::TIniFile ini(IniPath());
    custom::WriteApplications(ini, entries);
    ASSERT_TRUE(ini.UpdateFile());
  }
  EXPECT_EQ(custom::ReadApplications(settings::TIniFile(IniPath())), entries);
  TForm1& f = Start();
  QMenu* run = f.findChild<QMenu*>(QStringLiteral("Mexedo"));
  ASSERT_EQ(run->actions().size(), 800);
  EXPECT_EQ(run->actions()[799]->text(), QStringLiteral("&800 名前 799"));
  EXPECT_EQ(run->actions()[799]->data().toInt(), 800);
}

TEST_F(CustomWindowTest, RegisteredFoldersJumpAndAMissingOneIsSaid) {
  QDir(dir_.path()).mkdir(QStringLiteral("sub"));
  MakeFile(QStringLiteral("sub/a.txt"), "a\r\n");
  const std::string sub = dir_.filePath("sub").toStdString();
  const std::string gone = dir_.filePath("gone").toStdString();
  WriteIni("[PopupMenu2]\nCount=3\nFolder0=" + sub + "\nFolder1=\nFolder2=" + gone + "\n");
  TForm1& f = Start();
  const QList<QAction*> items = f.PopupMenu2()->actions();
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[0]->data().toInt(), 1);
  EXPECT_EQ(items[1]->data().toInt(), 3);
  EXPECT_EQ(items[1]->text(), QStringLiteral("&3 ") + QString::fromStdString(gone));

  items[0]->trigger();
  EXPECT_EQ(f.FileView1()->Folder(), QString::fromStdString(sub));
  EXPECT_TRUE(f.State().DisplayEnabled);

  items[1]->trigger();
  EXPECT_EQ(f.FileView1()->Folder(), QString::fromStdString(sub)) << "a missing folder leaves the browser";
  ASSERT_EQ(dialogs_.Messages().size(), 1u);
  EXPECT_NE(dialogs_.Messages()[0].text.find(gone), std::string::npos);
  EXPECT_EQ(settings::TIniFile(IniPath()).ReadString("PopupMenu2", "Folder2", ""), gone);

  f.FileView1()->setFocus();
  EXPECT_TRUE(f.FileView1KeyPress(QStringLiteral("g")));
  EXPECT_TRUE(f.PopupMenu2()->isVisible());
  f.PopupMenu2()->close();
  f.Action("ToolButton11")->trigger();
  EXPECT_TRUE(f.PopupMenu2()->isVisible());
  f.PopupMenu2()->close();
}

TEST_F(CustomWindowTest, TheFolderDialogStoresEachFolderOnceAndNoEmptyOnes) {
  WriteIni("[PopupMenu2]\nCount=3\nFolder0=/a\nFolder1=\nFolder2=/b\n");
  TForm1& f = Start();
  dialogs_.Answer("/b\r\n/a\r\n/b\r\n/c d\r\n");
  f.MfoldersetClick();
  EXPECT_EQ(dialogs_.Offered().back(), "/a\r\n\r\n/b\r\n") << "empty entries are offered too";
  EXPECT_EQ(custom::ReadFolders(settings::TIniFile(IniPath())), (Words{"/b", "/a", "/c d"}));
  ASSERT_EQ(f.PopupMenu2()->actions().size(), 3);
  EXPECT_EQ(f.PopupMenu2()->actions()[2]->text(), QStringLiteral("&3 /c d"));
}

TEST_F(CustomWindowTest, ToolBarsHoldEveryButtonInOrderWithHints) {
  TForm1& f = Start();
  QStringList main, view{QStringLiteral("SBeditview")};
  for (const auto& b : custom::MainToolButtons()) main << QString::fromLatin1(b.name);
  for (const auto& b : custom::ViewToolButtons()) view << QString::fromLatin1(b.name);
  EXPECT_EQ(Names(f.ToolBar1()), main);
  EXPECT_EQ(Names(f.ToolBar2()), view);
  EXPECT_EQ(main.size(), 31);
  EXPECT_EQ(view.size(), 24);
  for (QToolBar* bar : {f.ToolBar1(), f.ToolBar2()})
    for (QAction* a : bar->actions())
      if (!qobject_cast<QWidgetAction*>(a)) EXPECT_FALSE(a->icon().isNull()) << a->objectName().toStdString();
  QAction* folders = f.Action("ToolButton11");
  EXPECT_EQ(folders->toolTip(), QStringLiteral("登録フォルダー(G)"));
  EXPECT_EQ(folders->statusTip(), QStringLiteral("登録フォルダーを表示します。"));
  EXPECT_EQ(f.Action("ToolButton14")->statusTip(), QStringLiteral("選択したﾃｷﾄｽをコピーします。"));
  EXPECT_EQ(f.Action("ToolButton48")->toolTip(), QStringLiteral("URL"));
  // Buttons whose command lives elsewhere wait for it.
  EXPECT_EQ(f.Action("ToolButton8")->isEnabled(), f.metaObject()->indexOfSlot("ToolButton8Click()") >= 0);
  EXPECT_EQ(f.Action("ToolButton48")->isEnabled(), f.metaObject()->indexOfSlot("MurlClick()") >= 0);
  auto* code = qobject_cast<QToolButton*>(f.ToolBar2()->widgetForAction(f.Action("ToolButton52")));
  ASSERT_NE(code, nullptr);
  EXPECT_EQ(code->popupMode(), QToolButton::MenuButtonPopup);
}

// With no desktop around it (a bare X server) the bars still draw from one full icon theme, each
// button a picture of its own, rather than the style's few generic ones.
TEST_F(CustomWindowTest, EveryToolButtonHasAPictureOfItsOwn) {
  const QString theme = ui::UseIconTheme();
  ASSERT_FALSE(theme.isEmpty()) << "no icon theme installed (scripts/deps installs Breeze)";
  TForm1& f = Start();
  QStringList seen;
  for (auto buttons : {custom::MainToolButtons(), custom::ViewToolButtons()}) {
    for (const custom::TToolButtonInfo& b : buttons) {
      if (b.caption == nullptr) continue;
      const QString name = QString::fromLatin1(b.theme);
      EXPECT_FALSE(seen.contains(name)) << b.name << " shares " << b.theme;
      seen << name;
      EXPECT_TRUE(QIcon::hasThemeIcon(name)) << b.name << ": " << b.theme << " not in " << theme.toStdString();
      EXPECT_EQ(f.Action(b.name)->icon().name(), name) << b.name;
    }
  }
}

TEST_F(CustomWindowTest, HiddenButtonsStayHiddenAfterARestart) {
  TForm1& f = Start();
  // Rows: 23 "終了" on the main tab, 12 "URL" on the view tab.
  std::string main(24, '1'), view(17, '1');
  main[23] = '0';
  view[12] = '0';
  dialogs_.Answer(main + "|" + view);
  f.MtoolbarsetClick();
  EXPECT_EQ(f.State().DialogResult, "true");
  EXPECT_EQ(dialogs_.Offered().back(), std::string(24, '1') + "|" + std::string(17, '1'));
  EXPECT_FALSE(f.Action("ToolButton2")->isVisible());
  EXPECT_FALSE(f.Action("ToolButton48")->isVisible());
  EXPECT_TRUE(f.Action("ToolButton51")->isVisible());
  {
    const settings::TIniFile ini(IniPath());
    EXPECT_FALSE(ini.ReadBool("ToolBar1", "ToolButton2", true));
    EXPECT_FALSE(ini.ReadBool("ToolBar2", "ToolButton48", true));
    EXPECT_TRUE(ini.ValueExists("ToolBar1", "ToolButton36"));
    EXPECT_FALSE(ini.ValueExists("ToolBar1", "ToolButton31")) << "dividers are not written";
  }
  f.close();

  TForm1& again = Start();
  EXPECT_FALSE(again.Action("ToolButton2")->isVisible());
  EXPECT_FALSE(again.Action("ToolButton48")->isVisible());
  EXPECT_TRUE(again.Action("ToolButton36")->isVisible());
  dialogs_.Cancel();
  again.MtoolbarsetClick();
  EXPECT_EQ(again.State().DialogResult, "");
  EXPECT_EQ(dialogs_.Offered().back().substr(23, 1), "0") << "the dialog opens with the stored states";
}

TEST_F(CustomWindowTest, SettingsMenuInItsOrder) {
  TForm1& f = Start();
  for (const char* menuName : {"Moption1", "Moption2"}) {
    QMenu* m = f.findChild<QMenu*>(QString::fromLatin1(menuName));
    ASSERT_NE(m, nullptr);
    QStringList after;
    bool separated = false;
    for (QAction* a : m->actions()) {
      if (a->isSeparator()) separated = true;
      else if (separated) after << a->text();
    }
    EXPECT_EQ(after, (QStringList{QStringLiteral("ツールボタンの設定(&E)"), QStringLiteral("エディタの設定(&S)"),
                                  QStringLiteral("テキストの文字種類(&C)"), QStringLiteral("登録フォルダーの設定(&K)"),
                                  QStringLiteral("Stream読み込みの設定(&M)"), QStringLiteral("読み込み制限の設定(&Y)"),
                                  QStringLiteral("TAB位置設定"), QStringLiteral("INIファイル削除･初期化"),
                                  QStringLiteral("起動時フォルダー指定"), QStringLiteral("表示行数の設定")}))
        << menuName;
    EXPECT_EQ(m->actions().indexOf(f.OptionAction(Option::Mdragdrop1, m->objectName() == "Moption2")), 11);
  }
  QMenu* apps = f.findChild<QMenu*>(QStringLiteral("Mexe"));
  QStringList texts;
  for (QAction* a : apps->actions()) texts << a->text();
  EXPECT_EQ(texts, (QStringList{QStringLiteral("実行(&G)"), QStringLiteral("設定(&O).."), QString(),
                                QStringLiteral("登録フォルダーを表示(&K)")}));
}

TEST_F(CustomWindowTest, ResetRebuildsTheBrowser) {
  TForm1& f = Start();
  ASSERT_TRUE(f.GoToFolder(dir_.path()));
  f.Minifileclear1Click();
  EXPECT_EQ(f.FileView1()->Folder(), QApplication::applicationDirPath());
  EXPECT_EQ(f.FolderView1()->SelectedPath(), f.FileView1()->Folder()) << "tree and list agree after the rebuild";
  EXPECT_FALSE(QFile::exists(QString::fromStdString(IniPath())));
}

}  // namespace
}  // namespace sorabu::app
