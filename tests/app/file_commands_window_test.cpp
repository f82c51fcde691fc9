// The file-rewriting commands from the window: every command's items in the main and the pop-up
// menu, every item and tool button connected to its handler, each command run from its item
// giving the library's result, the code conversion menu fitting the pane, the keys, and Cancel.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QLabel>
#include <QSet>
#include <QSignalSpy>
#include <QToolBar>
#include <QWidgetAction>

#include <map>
#include <set>

#include "app/browser_selection.h"
#include "app/command_menus.h"
#include "fileops/trash.h"
#include "tests/app/window_fixture.h"
#include "textcmd/command_table.h"
#include "textcmd/search_commands.h"
#include "textconv/cp932.h"
#include "viewer/status_panels.h"
#include "textconv/jis_euc_sjis.h"
#include "browser/file_view.h"
#include "viewer/text_pane.h"

namespace sorabu::app {
namespace {

// receivers() is protected; reading it is the only way to tell an item wired to nothing.
struct ActionPeek : QAction {
  using QObject::receivers;
};
int Receivers(QAction* a) { return static_cast<ActionPeek*>(a)->receivers(SIGNAL(triggered(bool))); }

// Every item of a menu and its submenus.
void CollectItems(QMenu* menu, std::vector<QAction*>& out) {
  for (QAction* a : menu->actions()) {
    if (a->isSeparator()) continue;
    if (a->menu() != nullptr) {
      CollectItems(a->menu(), out);
    } else {
      out.push_back(a);
    }
  }
}

// The top-level main menu an item sits in.
QString TopMenuOf(QAction* action, QMenuBar* bar) {
  for (QAction* top : bar->actions()) {
    if (top->menu() == nullptr) continue;
    std::vector<QAction*> items;
    CollectItems(top->menu(), items);
    if (std::find(items.begin(), items.end(), action) != items.end()) return top->menu()->objectName();
  }
  return {};
}

// Answers for the commands that ask (UTF-8), in the order they ask.
const std::map<std::string, std::vector<std::string>>& Answers() {
  static const std::map<std::string, std::vector<std::string>> answers = {
      {"Mrenban1Click", {"X000", "7"}},
      {"MinsertCR1Click", {"3"}},
      {"MinsertChr1Click", {"|", "3"}},
      {"MinsertChar1Click", {"|", "3"}},
      {"Mcolumncopy1Click", {"2", "3"}},
      {"Mcolumndelete1Click", {"2", "3"}},
      {"MopacdeleteClick", {"2"}},
      {"MlineCSVaClick", {"2"}}, {"MlineCSVbClick", {"2"}}, {"MlineCSVcClick", {"2"}}, {"MlineCSVdClick", {"2"}},
      {"MlineCSVeClick", {"2"}}, {"MlineCSVfClick", {"2"}}, {"MlineCSVgClick", {";", "2"}},
      {"MlineCSVhClick", {"2C", "2"}},
      {"MlineextractClick", {"b"}}, {"MlineextractRegClick", {"b+"}}, {"MlinedeleteClick", {"b"}},
      {"MlinedeleteRegClick", {"^a"}}, {"MlinedeleteListClick", {"a\nz", "plain"}},
      {"MreplaceRegClick", {"b", "B"}}, {"MreplaceAllClick", {"b", "B"}}, {"MworddeleteClick", {"bc"}},
      {"MworddeleteListClick", {"bc\nd", "plain"}},
  };
  return answers;
}

// A text every command has something to do on: blanks, TABs, tags, kana, a repeated line.
std::string Sample() {
  return textconv::Utf8ToCp932(
      "  abc\tdef　ghi <b>tag</b>&amp;\r\nabc\tdef　ghi <b>tag</b>&amp;\r\nｶﾀｶﾅ ﾃﾞｽ かな\r\n"
      "\\section{TeX} text \\\\\r\nzz\r\n\r\nbcd 123\r\n");
}

class FileCommandsWindowTest : public MainWindowTest {
 protected:
  // Selects and shows a file made after the window started (the list is refreshed first).
  void Open(TForm1& f, const QString& path) {
    f.MrefreshClick();
    f.OpenCommandLineFile({path});
    ASSERT_EQ(f.Selection().SelectedPath(), path);
  }

  // Runs the item on the file through the window and returns the file's bytes afterwards.
  std::string RunThroughWindow(TForm1& f, QAction* item, const QString& path) {
    Open(f, path);
    QSignalSpy done(&f, &TForm1::FileCommandDone);
    item->trigger();
    if (f.FileCommandRunning() && done.isEmpty()) EXPECT_TRUE(done.wait(20000)) << item->objectName().toStdString();
    QFile in(path);
    in.open(QIODevice::ReadOnly);
    return in.readAll().toStdString();
  }
};

TEST_F(FileCommandsWindowTest, EveryCommandHasItsItemsInTheMainAndThePopupMenu) {
  TForm1& f = Start();
  const std::map<std::string, QString> tops = {{"Medit1", {}}, {"Msakujo", {}}, {"Mkensaku", {}}, {"Mhenkan1", {}}};
  for (const textcmd::TCommand& c : textcmd::CommandTable()) {
    SCOPED_TRACE(c.handler);
    QAction* main = f.Action(MainItemName(c.handler).c_str());
    QAction* popup = f.Action(PopupItemName(c.handler).c_str());
    ASSERT_NE(main, nullptr);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(main->text(), QString::fromStdString(c.caption));
    EXPECT_EQ(popup->text(), QString::fromStdString(PopupCaption(c.handler, c.caption)));
    EXPECT_FALSE(popup->text().startsWith(QStringLiteral("* ")));
    EXPECT_FALSE(main->statusTip().isEmpty());
    EXPECT_GT(Receivers(main), 0);
    EXPECT_GT(Receivers(popup), 0);
    const QString top = TopMenuOf(main, f.menuBar());
    EXPECT_TRUE(tops.count(top.toStdString())) << top.toStdString();
    // A command in a submenu stands under the submenu the table names.
    if (!c.menu.empty()) {
      bool found = false;
      for (QMenu* m : f.findChildren<QMenu*>()) {
        if (m->title() == QString::fromStdString(c.menu) && m->actions().contains(main)) found = true;
      }
      EXPECT_TRUE(found) << c.menu;
    }
    const std::vector<QAction*> popupItems = [&] {
      std::vector<QAction*> items;
      CollectItems(f.PopupMenu1(), items);
      return items;
    }();
    EXPECT_NE(std::find(popupItems.begin(), popupItems.end(), popup), popupItems.end());
  }
  EXPECT_EQ(TopMenuOf(f.Action("Mtojis1"), f.menuBar()), QStringLiteral("Mhenkan1"));
  EXPECT_EQ(TopMenuOf(f.Action("Mcolumndelete1"), f.menuBar()), QStringLiteral("Msakujo"));
  EXPECT_EQ(TopMenuOf(f.Action("MtextotextD"), f.menuBar()), QStringLiteral("Msakujo"));
  EXPECT_EQ(f.Action("MtextotextD")->text(), QStringLiteral("* TeXタグ削除(&T)"));
  EXPECT_EQ(f.Action("Mhkanatozkana1Pop")->text(), QStringLiteral("半角ｶﾅ->全角カナ(&K)"));
  EXPECT_EQ(f.findChild<QMenu*>(QStringLiteral("Mcodehenkan1"))->title(), QStringLiteral("文字コード変換(&J)"));
}

// Every item of the menus and every tool button runs something; the few that wait for another
// part of the program are named here with the reason, so no gap stays silent.
TEST(CommandCaptions, PlainCaptionIsRunningText) {
  EXPECT_EQ(PlainCaption("* 空行を削除(&N)"), "空行を削除");
  EXPECT_EQ(PlainCaption("テキストの検索(&F).."), "テキストの検索..");
  EXPECT_EQ(PlainCaption("&F テキストの検索"), "F テキストの検索");
  EXPECT_EQ(PlainCaption("R&&D (&X) 版"), "R&D  版");
  EXPECT_EQ(PlainCaption("末尾の&"), "末尾の");
  EXPECT_EQ(PlainCaption("(&"), "(");
}

// Hints in the status bar and tool tips are running text: no mnemonic, no command mark.
TEST_F(FileCommandsWindowTest, NoHintShowsAMnemonicOrTheCommandMark) {
  TForm1& f = Start();
  QSet<const QAction*> buttons;
  for (const QToolBar* bar : {f.ToolBar1(), f.ToolBar2()})
    for (const QAction* a : bar->actions()) buttons.insert(a);
  for (const QAction* a : f.findChildren<QAction*>()) {
    // A menu item's tool tip is never shown; a tool button's is.
    for (const QString& hint : {a->statusTip(), buttons.contains(a) ? a->toolTip() : QString()}) {
      EXPECT_FALSE(hint.startsWith(QStringLiteral("* "))) << a->objectName().toStdString() << ": " << hint.toStdString();
      EXPECT_FALSE(hint.contains(QRegularExpression(QStringLiteral("\\(&.\\)"))))
          << a->objectName().toStdString() << ": " << hint.toStdString();
    }
  }
}

TEST_F(FileCommandsWindowTest, EveryMenuItemAndToolButtonIsConnected) {
  TForm1& f = Start();
  const std::set<QString> waiting = {
      QStringLiteral("Mclosemenu"),  // closes the menu, which is what choosing any item does
  };
  std::vector<QAction*> items;
  for (QAction* top : f.menuBar()->actions()) {
    if (top->menu() != nullptr) CollectItems(top->menu(), items);
    else items.push_back(top);
  }
  CollectItems(f.PopupMenu1(), items);
  CollectItems(f.PopupMenu3(), items);
  for (QToolBar* bar : {f.ToolBar1(), f.ToolBar2()}) {
    for (QAction* a : bar->actions()) {
      if (!a->isSeparator() && qobject_cast<QWidgetAction*>(a) == nullptr) items.push_back(a);
    }
  }
  ASSERT_GT(items.size(), 250u);
  for (QAction* a : items) {
    if (waiting.count(a->objectName())) continue;
    EXPECT_FALSE(a->objectName().isEmpty()) << a->text().toStdString();
    EXPECT_GT(Receivers(a), 0) << a->objectName().toStdString() << " " << a->text().toStdString();
  }
  for (const char* name : {"ToolButton51", "ToolButton52", "MyT", "MyB", "Mtojis1P3"}) {
    EXPECT_NE(f.Action(name), nullptr) << name;
  }
  EXPECT_EQ(f.Action("ToolButton52")->menu(), f.PopupMenu3());
  EXPECT_EQ(f.Action("Mtojis1P3")->text(), QStringLiteral("自動変換(&A)"));
}

// The menus every group of commands fills are the ones the window shows: each menu of the bar has
// its twin under the pop-up with the same title, and the twins hold the same items in the same
// order (the main menu's extras named here).
TEST_F(FileCommandsWindowTest, EachMenuAndItsPopupTwinHoldTheSameItems) {
  TForm1& f = Start();
  const TMenus& m = f.Menus();
  const std::pair<const TMenuTwins*, const char*> twins[] = {
      {&m.file, "ファイル(&F)"}, {&m.edit, "編集(&E)"}, {&m.del, "削除(&K)"},      {&m.search, "検索(&S)"},
      {&m.view, "表示(&D)"},     {&m.convert, "変換(&C)"}, {&m.archive, "書庫(&L)"}, {&m.info, "情報(&I)"},
      {&m.apps, "アプリケーション(&A)"}, {&m.options, "設定(&O)"}};
  const std::set<QString> mainOnly = {QStringLiteral("Mfileviewcolum")};
  for (const auto& [t, title] : twins) {
    SCOPED_TRACE(title);
    ASSERT_NE(t->main, nullptr);
    ASSERT_NE(t->popup, nullptr);
    EXPECT_EQ(t->main->title(), QString::fromUtf8(title));
    EXPECT_EQ(t->popup->title(), QString::fromUtf8(title));
    EXPECT_TRUE(f.menuBar()->actions().contains(t->main->menuAction()));
    EXPECT_TRUE(f.PopupMenu1()->actions().contains(t->popup->menuAction()));
    auto shape = [&](QMenu* menu) {
      QStringList kinds;
      for (QAction* a : menu->actions()) {
        if (mainOnly.count(a->objectName())) continue;
        kinds << (a->isSeparator() ? QStringLiteral("-") : a->menu() ? QStringLiteral("menu") : QStringLiteral("item"));
      }
      return kinds;
    };
    // Doubled separators are allowed: the menus collapse them.
    EXPECT_TRUE(t->main->separatorsCollapsible());
    const QStringList main = shape(t->main);
    EXPECT_GT(main.count(QStringLiteral("item")), 1);
    EXPECT_EQ(main, shape(t->popup));
  }
  ASSERT_NE(m.help, nullptr);
  EXPECT_TRUE(f.menuBar()->actions().contains(m.help->menuAction()));
  ASSERT_NE(m.shortcuts, nullptr);
  EXPECT_EQ(m.shortcuts->title(), QStringLiteral("ショートカットキー(&X)"));
  for (const char* name : {"Mv", "MyC", "MyE", "Mf", "Myc", "Mh", "MyT", "Myb"})
    EXPECT_TRUE(m.shortcuts->actions().contains(f.Action(name))) << name;
}

TEST_F(FileCommandsWindowTest, EachCommandFromItsItemGivesTheLibrarysResult) {
  TForm1& f = Start();
  textcmd::SetSearchEnvironment({});  // histories would otherwise differ between the two runs
  for (const textcmd::TCommand& c : textcmd::CommandTable()) {
    SCOPED_TRACE(c.handler);
    const auto it = Answers().find(c.handler);
    const std::vector<std::string> answers = it == Answers().end() ? std::vector<std::string>{} : it->second;
    // The library, on a copy in a folder of its own.
    QDir(dir_.path()).mkpath(QStringLiteral("lib"));
    const QString libPath = MakeFile(QStringLiteral("lib/t.txt"), Sample());
    dialogs::TScriptedDialogs scripted;
    for (const auto& a : answers) scripted.Answer(textconv::Utf8ToCp932(a));
    textcmd::TCommandContext context(scripted);
    context.trash = fileops::MoveToTrash;  // an earlier working copy goes where the window's goes
    textcmd::RunCommand(c.handler, QFile::encodeName(libPath).toStdString(), context);
    QFile lib(libPath);
    lib.open(QIODevice::ReadOnly);
    const std::string expected = lib.readAll().toStdString();
    lib.close();
    // The window, from the pop-up item (the main item's twin runs the same handler).
    for (const auto& a : answers) dialogs_.Answer(textconv::Utf8ToCp932(a));
    const QString path = MakeFile(QStringLiteral("t.txt"), Sample());
    QFile::remove(dir_.filePath(QStringLiteral("t.org")));
    std::string got = RunThroughWindow(f, f.Action(PopupItemName(c.handler).c_str()), path);
    // The hex dump starts with the information line, which names the file's folder and time.
    auto body = [](const std::string& s) { return s.substr(std::min(s.find("\r\n"), s.size())); };
    if (c.handler.rfind("Mdump1", 0) == 0) {
      EXPECT_EQ(body(got), body(expected));
    } else {
      EXPECT_EQ(got, expected);
    }
    EXPECT_EQ(dialogs_.PendingAnswers(), 0u);
    QFile::remove(libPath);
  }
}

TEST_F(FileCommandsWindowTest, TheCodeConversionMenuOffersWhatFitsThePane) {
  TForm1& f = Start();
  const std::string sjis = textconv::Utf8ToCp932("日本語のテキスト\r\n");
  const struct {
    const char* name;
    std::string bytes;
    std::set<std::string> enabled;
  } rows[] = {
      {"ascii.txt", "plain ascii\r\n", {"Mtojis1", "Mjistosjis", "Meuctosjis", "Msjistojis1", "Meuctojis1",
                                        "Msjistoeuc1", "Mjistoeuc1", "Mbase641", "Mmailheader1"}},
      {"jis.txt", textconv::ShiftJisToJis(sjis), {"Mtojis1", "Mjistosjis", "Mjistoeuc1", "Mbase641", "Mmailheader1"}},
      {"sjis.txt", sjis, {"Mtojis1", "Msjistojis1", "Msjistoeuc1", "Mbase641", "Mmailheader1"}},
      {"binary.bin", std::string("\0\1\2\3", 4), {}},
  };
  const char* switched[] = {"Mtojis1", "Mjistosjis", "Meuctosjis", "Msjistojis1", "Meuctojis1",
                            "Msjistoeuc1", "Mjistoeuc1", "Mbase641", "Mmailheader1"};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Open(f, MakeFile(QString::fromLatin1(row.name), row.bytes));
    f.Mcodehenkan1Click();
    f.Mcodehenkan2Click();
    EXPECT_EQ(f.RichEdit1()->TextBytes().empty(), row.bytes.empty());
    for (const char* name : switched) {
      EXPECT_EQ(f.Action(name)->isEnabled(), row.enabled.count(name) == 1) << name;
      EXPECT_EQ(f.Action((std::string(name) + "Pop").c_str())->isEnabled(), row.enabled.count(name) == 1) << name;
    }
    EXPECT_TRUE(f.Action("Mbase64D1")->isEnabled());
    EXPECT_TRUE(f.Action("MBinHexD1")->isEnabled());
  }
}

TEST_F(FileCommandsWindowTest, KeysOfTheFileList) {
  TForm1& f = Start();
  const std::string sjis = textconv::Utf8ToCp932("漢字のテキスト\r\n");
  const QString path = MakeFile(QStringLiteral("k.txt"), textconv::ShiftJisToJis(sjis));
  Open(f, path);
  QSignalSpy done(&f, &TForm1::FileCommandDone);
  f.FileView1KeyPress(QStringLiteral("t"));
  ASSERT_TRUE(done.wait(20000));
  EXPECT_EQ(f.RichEdit1()->TextBytes(), textconv::Utf8ToCp932("漢字のテキスト"));
  f.FileView1KeyPress(QStringLiteral("ｺ"));  // B in kana input mode: the hex dump
  ASSERT_TRUE(done.wait(20000));
  EXPECT_NE(f.RichEdit1()->TextBytes().find("00000000 : 00 01 02 03"), std::string::npos);

  std::string lines;
  for (int i = 0; i < 200; ++i) lines += "line " + std::to_string(i) + "\r\n";
  Open(f, MakeFile(QStringLiteral("long.txt"), lines));
  EXPECT_LT(f.RichEdit1()->LineCount(), 100);
  f.FileView1KeyPress(QStringLiteral("v"));
  EXPECT_GE(f.RichEdit1()->LineCount(), 200);
}

TEST_F(FileCommandsWindowTest, CancelLeavesTheFileAndTheFolderAsTheyWere) {
  TForm1& f = Start();
  std::string text;
  for (int i = 0; i < 300000; ++i) text += "line " + std::to_string((i * 7919LL) % 100003) + "\r\n";
  const QString path = MakeFile(QStringLiteral("big.txt"), text);
  MakeFile(QStringLiteral("big.org"), "an earlier generation");
  const QStringList before = QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
  Open(f, path);
  f.Action("MLineSortU1")->trigger();
  ASSERT_TRUE(f.FileCommandRunning());
  EXPECT_FALSE(f.Action("MLineSortD1")->isEnabled()) << "one command at a time";
  // The status bar names the running command as running text, not as its menu caption.
  QStringList labels;
  for (const QLabel* l : f.StatusBar1()->findChildren<QLabel*>())
    if (l->isVisible() && !l->text().isEmpty()) labels << l->text();
  for (const textcmd::TCommand& c : textcmd::CommandTable())
    if (c.handler == std::string("MLineSortU1Click"))
      EXPECT_TRUE(labels.contains(QString::fromStdString(PlainCaption(c.caption)))) << labels.join(QStringLiteral("|")).toStdString();
  for (const QString& l : labels) EXPECT_FALSE(l.startsWith(QStringLiteral("* ")) || l.contains(QStringLiteral("(&"))) << l.toStdString();
  f.CancelFileCommand(true);
  EXPECT_FALSE(f.FileCommandRunning());
  QFile in(path);
  in.open(QIODevice::ReadOnly);
  EXPECT_TRUE(in.readAll().toStdString() == text);
  QFile org(dir_.filePath(QStringLiteral("big.org")));
  org.open(QIODevice::ReadOnly);
  EXPECT_EQ(org.readAll(), QByteArray("an earlier generation"));
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), before);
  EXPECT_TRUE(f.Action("MLineSortD1")->isEnabled());
}

TEST_F(FileCommandsWindowTest, ClosingDuringACommandWaitsForTheFileToBePutBack) {
  TForm1& f = Start();
  std::string text;
  for (int i = 0; i < 300000; ++i) text += "row " + std::to_string((i * 104729LL) % 99991) + "\r\n";
  const QString path = MakeFile(QStringLiteral("close.txt"), text);
  Open(f, path);
  QSignalSpy done(&f, &TForm1::FileCommandDone);
  f.Action("MLineSortU1")->trigger();
  ASSERT_TRUE(f.FileCommandRunning());
  EXPECT_FALSE(f.FileView1()->isEnabled()) << "the browser rests while a command runs";
  EXPECT_FALSE(f.close()) << "the close waits for the command";
  EXPECT_TRUE(f.isVisible());
  ASSERT_TRUE(done.wait(20000));
  QTRY_VERIFY_WITH_TIMEOUT(!f.isVisible(), 5000);
  QFile in(path);
  in.open(QIODevice::ReadOnly);
  EXPECT_TRUE(in.readAll().toStdString() == text) << "cancelled by the close";
  EXPECT_TRUE(QFile::exists(dir_.filePath(QStringLiteral("sorabu.ini")))) << "settings written at the real close";
}

}  // namespace
}  // namespace sorabu::app
