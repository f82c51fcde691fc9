// The pane's search, replace and Grep from the window, with scripted answers, on files in a
// temporary folder.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <unistd.h>

#include "app/browser_selection.h"
#include "app/main_window.h"
#include "browser/file_view.h"
#include "dialogs/scripted_dialogs.h"
#include "settings/ini_file.h"
#include "textconv/cp932.h"
#include "textconv/jis_euc_sjis.h"
#include "viewer/byte_view.h"
#include "viewer/display.h"
#include "viewer/text_pane.h"

namespace sorabu::app {
namespace {

std::string C(const char* utf8) { return textconv::Utf8ToCp932(utf8); }

// Grep searches every listed file (the scripted fallback would take the selection) and any
// paths a test adds.
class TGrepDialogs : public dialogs::TScriptedDialogs {
 public:
  std::vector<std::string> extra;
  std::optional<bool> subFolders;  // the answer's tick, when a test sets it
  std::optional<GrepAnswer> GrepDialog(const GrepSetup& setup) override {
    offeredAll = setup.all;
    offeredSubFolders = setup.subFolders;
    auto answer = TScriptedDialogs::GrepDialog(setup);
    if (!answer) return answer;
    if (subFolders) answer->subFolders = *subFolders;
    answer->paths = setup.all;
    answer->paths.insert(answer->paths.end(), extra.begin(), extra.end());
    return answer;
  }
  std::vector<std::string> offeredAll;
  bool offeredSubFolders = false;
};

class SearchWindowTest : public ::testing::Test {
 protected:
  TForm1& StartOn(const QString& name) {
    form_ = std::make_unique<TForm1>(dialogs_, dir_.filePath("sorabu.ini").toStdString());
    form_->FormCreate();
    form_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    form_->GoToFolder(dir_.path());
    form_->MrefreshClick();
    if (!name.isEmpty()) {
      EXPECT_GE(form_->Selection().SelectByName(name), 0);
      form_->Viewer().LoadWholeFile();
    }
    return *form_;
  }
  QString MakeFile(const QString& name, const std::string& bytes) {
    const QString path = dir_.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
  }
  std::vector<std::string> Messages(dialogs::TScriptedDialogs::Message::Kind kind) const {
    std::vector<std::string> out;
    for (const auto& m : dialogs_.Messages())
      if (m.kind == kind) out.push_back(m.text);
    return out;
  }
  std::vector<std::string> PaneLines() {
    std::vector<std::string> lines;
    viewer::TTextPane* pane = form_->RichEdit1();
    for (int i = 0; i < pane->LineCount(); ++i) lines.push_back(pane->LineBytes(i));
    return lines;
  }
  bool RunGrep(const std::string& pattern) {
    QSignalSpy done(form_.get(), &TForm1::GrepDone);
    dialogs_.Answer(pattern);
    form_->MgrepClick();
    return form_->GrepRunning() ? done.wait(20000) : !done.isEmpty();
  }
  using Kind = dialogs::TScriptedDialogs::Message::Kind;

  QTemporaryDir dir_;
  TGrepDialogs dialogs_;
  std::unique_ptr<TForm1> form_;
};

TEST_F(SearchWindowTest, ItemsKeysAndButtonsOfTheSearchMenu) {
  TForm1& f = StartOn({});
  const std::pair<const char*, const char*> items[] = {
      {"Mfind1", "テキストの検索(&F).."}, {"Mfinddown1", "下へ検索(&N)"}, {"Mfindup1", "上へ検索(&T)"},
      {"Mreplace1", "置換(&R)"},          {"Mgrep", "Grepの実行(&G)"},  {"Mgrep2", "Grepの中止(&Q)"},
      {"Mfind2", "テキストの検索(&F).."}, {"Mfinddown2", "下へ検索(&N)"}, {"Mfindup2", "上へ検索(&T)"},
      {"Mreplace2", "置換(&R)"},          {"Mgrep1", "Grepの実行(&G)"}, {"Mgrep3", "Grepの中止(&Q)"},
      {"Mf", "&F テキストの検索"},        {"ToolButton33", "検索(F)"},   {"ToolButton53", "置換"}};
  for (auto [name, caption] : items) {
    QAction* a = f.Action(name);
    ASSERT_NE(a, nullptr) << name;
    EXPECT_EQ(a->text(), QString::fromUtf8(caption)) << name;
  }
  EXPECT_EQ(f.Action("Mfind1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
  EXPECT_EQ(f.Action("Mfinddown1")->shortcut(), QKeySequence(Qt::Key_F3));
  EXPECT_EQ(f.Action("Mfindup1")->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F3));
  EXPECT_EQ(f.Action("Mreplace1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
  EXPECT_EQ(f.Action("ToolButton33")->statusTip(), QStringLiteral("検索します。"));
  f.MkensakuClick();
  EXPECT_FALSE(f.Action("Mgrep2")->isEnabled()) << "nothing to stop";
}

TEST_F(SearchWindowTest, FindDownUpAndTheHistory) {
  MakeFile("a.txt", C("ル、求め\r\n求める\r\nabc ABC\r\n"));
  TForm1& f = StartOn("a.txt");
  viewer::TTextPane* pane = f.RichEdit1();
  // The first 求 is only bytes inside ル、: the match starts at the next line.
  dialogs_.Answer(C("求"));
  f.Action("Mfind1")->trigger();
  EXPECT_EQ(pane->SelectionBytes(), (std::pair<std::size_t, std::size_t>{4, 2}));
  f.Action("Mfinddown1")->trigger();
  EXPECT_EQ(pane->CaretLine(), 1);
  EXPECT_EQ(pane->SelectedBytes(), C("求"));
  f.Action("Mfinddown1")->trigger();
  ASSERT_FALSE(Messages(Kind::Information).empty());
  EXPECT_EQ(Messages(Kind::Information).back(), C("求 見つかりませんでした"));
  f.Action("Mfindup1")->trigger();
  EXPECT_EQ(pane->SelectionBytes().first, 4u);

  // Case is folded unless asked; the history keeps the newest first and swaps a known one up.
  dialogs_.Answer("abc");
  f.Mfind1Click();
  dialogs_.Answer("ABC");
  pane->SetCaretToStart();
  f.Mfind1Click();
  EXPECT_EQ(pane->CaretLine(), 2);
  dialogs_.Answer(C("求"));
  f.Mfind1Click();
  const settings::TIniFile ini(dir_.filePath("sorabu.ini").toStdString());
  EXPECT_EQ(ini.ReadString("FindDialogEx", "Items_0", ""), "#" + C("求") + "#");
  EXPECT_EQ(ini.ReadString("FindDialogEx", "Items_1", ""), "#abc#") << "the known text changed places with the top";
  EXPECT_EQ(ini.ReadString("FindDialogEx", "Items_2", ""), "#ABC#");
  EXPECT_EQ(ini.ReadString("FindDialogEx", "Text", ""), C("求"));
}

TEST_F(SearchWindowTest, AnEmptyTextStoresNothingAndTheNextStepAsksAgain) {
  MakeFile("a.txt", "abc\r\n");
  TForm1& f = StartOn("a.txt");
  dialogs_.Answer("");
  f.Mfind1Click();
  EXPECT_EQ(settings::TIniFile(dir_.filePath("sorabu.ini").toStdString()).ReadString("FindDialogEx", "Count", "none"), "none");
  const std::size_t offered = dialogs_.Offered().size();
  dialogs_.Answer("c");
  f.Mfinddown1Click();
  EXPECT_GT(dialogs_.Offered().size(), offered) << "the dialog opened again";
  EXPECT_EQ(f.RichEdit1()->SelectedBytes(), "c");
}

TEST_F(SearchWindowTest, ReplaceOneAndAllAndUndoInTheEditState) {
  MakeFile("r.txt", C("犬と猫と犬\r\n犬\r\n"));
  TForm1& f = StartOn("r.txt");
  viewer::TTextPane* pane = f.RichEdit1();
  f.Mreplace1Click();
  EXPECT_TRUE(f.ReplaceDialog1Find(C("犬")));
  EXPECT_EQ(pane->SelectionBytes().first, 0u);
  EXPECT_EQ(f.Viewer().Colour(), viewer::TViewer::InfoColour::Red);
  f.ReplaceDialog1Replace(C("犬"), C("狼"));
  EXPECT_EQ(pane->TextBytes(), C("狼と猫と犬\r\n犬\r\n"));
  EXPECT_EQ(pane->SelectionBytes().first, 8u) << "the next one is selected";
  f.ReplaceDialog1ReplaceAll(C("犬"), C("犬犬"));
  EXPECT_EQ(pane->TextBytes(), C("狼と猫と犬犬\r\n犬犬\r\n"));
  EXPECT_EQ(Messages(Kind::Information).back(), C("2 個置換！"));
  EXPECT_FALSE(f.ReplaceDialog1Find(C("鳥")));
  EXPECT_EQ(Messages(Kind::Information).back(), C("見つかりませんでした！"));

  // In the edit state the whole replacement is one step back.
  f.MediterRichClick();
  f.ReplaceDialog1ReplaceAll(C("犬"), "");
  EXPECT_EQ(pane->TextBytes(), C("狼と猫と\r\n\r\n"));
  f.MundoClick();
  EXPECT_EQ(pane->TextBytes(), C("狼と猫と犬犬\r\n犬犬\r\n"));
}

TEST_F(SearchWindowTest, GrepListsTheMatchingLinesAndJumpsToThem) {
  MakeFile("one.txt", C("ない\r\nカガミ\r\nかがみ\r\n"));
  MakeFile("two.txt", C("ｶｶﾞﾐ\nなし"));
  const QString three = MakeFile("three.bin", std::string("x\0y\r\n", 5));
  TForm1& f = StartOn("one.txt");
  ASSERT_TRUE(RunGrep(C("かがみ")));
  EXPECT_EQ(dialogs_.offeredAll.size(), 3u);
  const std::string one = QFile::encodeName(dir_.filePath("one.txt")).toStdString();
  const std::string two = QFile::encodeName(dir_.filePath("two.txt")).toStdString();
  const std::vector<std::string> lines = PaneLines();
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], C("Grepの実行　検索正規表現 = かがみ"));
  EXPECT_EQ(lines[1], "");
  // The fuzzy dictionary is on by default: katakana and half-width forms match too.
  const std::vector<std::string> found(lines.begin() + 2, lines.end());
  EXPECT_NE(std::find(found.begin(), found.end(), one + "(2) :" + C("カガミ")), found.end());
  EXPECT_NE(std::find(found.begin(), found.end(), one + "(3) :" + C("かがみ")), found.end());
  EXPECT_NE(std::find(found.begin(), found.end(), two + "(1) :" + C("ｶｶﾞﾐ")), found.end());
  EXPECT_NE(std::find(found.begin(), found.end(), C("// 検索ファイル [ ") + one + " ]"), found.end());
  EXPECT_TRUE(f.FileView1()->isEnabled()) << "the list is back after the run";
  // The history keeps the pattern.
  EXPECT_EQ(settings::TIniFile(dir_.filePath("sorabu.ini").toStdString()).ReadString("Grep", "Items_0", ""), "#" + C("かがみ") + "#");

  // A double click or Enter on a result opens its file at its line.
  int resultLine = -1;
  for (int i = 0; i < static_cast<int>(lines.size()); ++i)
    if (lines[static_cast<std::size_t>(i)] == one + "(3) :" + C("かがみ")) resultLine = i;
  ASSERT_GE(resultLine, 0);
  f.RichEdit1()->SetCaretToLine(resultLine);
  QTest::keyClick(f.RichEdit1()->ByteView(), Qt::Key_Return);
  EXPECT_EQ(f.Selection().SelectedPath(), dir_.filePath("one.txt"));
  EXPECT_EQ(f.RichEdit1()->CaretLine(), 2);
  EXPECT_EQ(f.RichEdit1()->WholeFile(), dir_.filePath("one.txt"));
  // Elsewhere a double click is a double click.
  EXPECT_FALSE(f.GrepJump(0));
  (void)three;
}

TEST_F(SearchWindowTest, AFaultyPatternLeavesThePaneAndAnUnreadableFileIsSkipped) {
  MakeFile("a.txt", "abc\r\n");
  TForm1& f = StartOn("a.txt");
  ASSERT_TRUE(RunGrep("(ab"));
  ASSERT_FALSE(Messages(Kind::Error).empty());
  EXPECT_EQ(f.RichEdit1()->FirstLineBytes(), "abc") << "the pane keeps its text";

  dialogs_.extra = {QFile::encodeName(dir_.filePath("gone.txt")).toStdString()};
  MakeFile("b.txt", "abc again\r\n");
  f.MrefreshClick();
  ASSERT_TRUE(RunGrep("abc"));
  const std::vector<std::string> lines = PaneLines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.find(") :abc") != std::string::npos; }), 2);
  bool listed = false;
  for (const auto& m : dialogs_.Messages())
    if (m.text.find(C(" 個のファイルを読めませんでした。")) != std::string::npos) listed = true;
  EXPECT_TRUE(listed) << "the file that could not be read is reported after the run";
}

// サブフォルダーも検索: the whole tree under the folder, walked beside the window, with each file
// read in its own code; binary files and hidden folders are left out and the first said so; a
// result in a subfolder opens there; the tick is remembered.
TEST_F(SearchWindowTest, GrepThroughTheFolderTreeInEveryCode) {
  QDir(dir_.path()).mkpath("tree/sub/.hidden");
  MakeFile("tree/top.txt", C("上の階の鏡\r\n"));
  MakeFile("tree/sub/euc.txt", textconv::ShiftJisToEuc(C("ＥＵＣの文書です。\n下の階の鏡\n")));
  MakeFile("tree/sub/.hidden/h.txt", C("隠れた鏡\r\n"));
  MakeFile("tree/data.bin", std::string("\0\0", 2) + C("鏡"));
  TForm1& f = StartOn({});
  ASSERT_TRUE(f.GoToFolder(dir_.filePath("tree")));
  dialogs_.subFolders = true;
  ASSERT_TRUE(RunGrep(C("鏡")));
  const std::string top = QFile::encodeName(dir_.filePath("tree/top.txt")).toStdString();
  const std::string euc = QFile::encodeName(dir_.filePath("tree/sub/euc.txt")).toStdString();
  const std::vector<std::string> lines = PaneLines();
  const std::vector<std::string> found(lines.begin() + 2, lines.end());
  EXPECT_EQ(found, (std::vector<std::string>{C("// 検索ファイル [ ") + top + " ]", top + "(1) :" + C("上の階の鏡"),
                                             C("// 検索ファイル [ ") + euc + " ]", euc + "(2) :" + C("下の階の鏡")}));
  bool said = false;
  for (const auto& m : dialogs_.Messages())
    if (m.text.find(C(" 個のファイルを検索しませんでした。")) != std::string::npos) said = true;
  EXPECT_TRUE(said) << "the binary file is said to be left out";
  f.RichEdit1()->SetCaretToLine(5);
  QTest::keyClick(f.RichEdit1()->ByteView(), Qt::Key_Return);
  EXPECT_EQ(f.Selection().SelectedPath(), dir_.filePath("tree/sub/euc.txt"));
  EXPECT_EQ(f.RichEdit1()->CaretLine(), 1);
  dialogs_.subFolders.reset();
  ASSERT_TRUE(f.GoToFolder(dir_.filePath("tree")));
  ASSERT_TRUE(RunGrep(C("鏡")));
  EXPECT_TRUE(dialogs_.offeredSubFolders) << "the tick is offered again";
}

TEST_F(SearchWindowTest, StopAndCloseDuringALongGrep) {
  // A sparse file of two gigabytes reads as blanks: no match, and long enough to stop.
  const QString big = dir_.filePath("big.txt");
  {
    const int fd = ::open(QFile::encodeName(big).constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 2LL << 30), 0);
    ::close(fd);
  }
  MakeFile("a.txt", "zzz\r\n");
  TForm1& f = StartOn("a.txt");
  QSignalSpy done(&f, &TForm1::GrepDone);
  dialogs_.Answer("zzz");
  f.MgrepClick();
  ASSERT_TRUE(f.GrepRunning());
  EXPECT_FALSE(f.FileView1()->isEnabled()) << "the list rests while the results come in";
  f.MkensakuClick();
  EXPECT_TRUE(f.Action("Mgrep2")->isEnabled());
  EXPECT_FALSE(f.Action("Mgrep")->isEnabled());
  QTest::qWait(50);
  f.Action("Mgrep2")->trigger();
  f.Mgrep2Click();  // a second stop does no harm
  ASSERT_TRUE(done.wait(5000));
  EXPECT_EQ(PaneLines().back(), C("[Grepを中止]"));
  EXPECT_EQ(Messages(Kind::Warning).back(), C("Grepを中止しました。"));
  EXPECT_TRUE(f.FileView1()->isEnabled());

  // Closing the window stops the search and still writes the settings.
  dialogs_.Answer("zzz");
  f.MgrepClick();
  ASSERT_TRUE(f.GrepRunning());
  f.close();
  EXPECT_FALSE(f.GrepRunning());
  EXPECT_TRUE(QFile::exists(dir_.filePath("sorabu.ini")));
  form_.reset();
}

}  // namespace
}  // namespace sorabu::app
