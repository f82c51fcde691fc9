// Names the file system holds beyond code page 932 (Korean, simplified Chinese, emoji, and bytes
// that are not UTF-8 at all) through the window: listed, shown, copied, renamed, and refused where
// they would have to become Shift-JIS text.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSignalSpy>

#include "app/browser_selection.h"
#include "browser/file_name.h"
#include "tests/app/window_fixture.h"
#include "textconv/cp932.h"
#include "textconv/ui_text.h"
#include "viewer/display.h"
#include "viewer/text_pane.h"

namespace sorabu::app {
namespace {

std::string C(const char* utf8) { return textconv::Utf8ToCp932(utf8); }
std::string Exact(const QString& s) {
  return textconv::EncodeCp932Exact(std::u16string_view(reinterpret_cast<const char16_t*>(s.utf16()),
                                                        static_cast<std::size_t>(s.size())));
}
std::string Native(const QString& p) { return QFile::encodeName(p).toStdString(); }

std::string ReadAll(const QString& path) {
  QFile f(path);
  f.open(QIODevice::ReadOnly);
  return f.readAll().toStdString();
}

const QString kKorean = QStringLiteral("한국어😀.txt");
const QString kChinese = QStringLiteral("中文简体.txt");

class UnicodeNamesWindowTest : public MainWindowTest {
 protected:
  TForm1& StartOn(const QString& name) {
    TForm1& f = Start();
    f.GoToFolder(dir_.path());
    f.MrefreshClick();
    if (!name.isEmpty()) EXPECT_GE(f.Selection().SelectByName(name), 1);
    return f;
  }
  // A file whose name on disk is not UTF-8.
  void MakeOddName(const char* raw) {
    const std::string path = Native(dir_.path()) + "/" + raw;
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "odd\r\n", 5), 5);
    ::close(fd);
  }
  int RowOf(TForm1& f, const QString& name) {
    for (int r = 0; r < f.FileView1()->RowCount(); ++r)
      if (f.FileView1()->Row(r).name == name) return r;
    return -1;
  }
  std::vector<std::string> Texts(dialogs::TScriptedDialogs::Message::Kind kind) const {
    std::vector<std::string> out;
    for (const auto& m : dialogs_.Messages())
      if (m.kind == kind) out.push_back(m.text);
    return out;
  }
  using Kind = dialogs::TScriptedDialogs::Message::Kind;
};

TEST_F(UnicodeNamesWindowTest, ListedAndShownExactlyAsTheFileSystemHoldsThem) {
  MakeFile(kKorean, "こんにちは UTF-8\n");
  MakeFile(kChinese, C("シフトJIS\r\n"));
  TForm1& f = StartOn(kKorean);
  ASSERT_GE(RowOf(f, kKorean), 0);
  ASSERT_GE(RowOf(f, kChinese), 0);
  EXPECT_EQ(f.Selection().SelectedPath(), dir_.filePath(kKorean));
  // The information line names the file whole and tags its text.
  const QString info = f.LFilestring()->text();
  EXPECT_TRUE(info.startsWith(kKorean + QStringLiteral("   "))) << info.toStdString();
  EXPECT_TRUE(info.endsWith(QStringLiteral("UTF-8"))) << info.toStdString();
  EXPECT_EQ(f.RichEdit1()->LineBytes(0), "こんにちは UTF-8");

  f.Selection().SelectByName(kChinese);
  EXPECT_TRUE(f.LFilestring()->text().startsWith(kChinese));
  EXPECT_EQ(f.RichEdit1()->LineBytes(0), C("シフトJIS"));
}

TEST_F(UnicodeNamesWindowTest, CopiedAndRenamedWithTheNameUnchanged) {
  MakeFile(kKorean, "data");
  QTemporaryDir target;
  TForm1& f = StartOn(kKorean);
  dialogs_.Answer(Native(target.path()));
  f.MfilecopyClick();
  EXPECT_EQ(ReadAll(QDir(target.path()).filePath(kKorean)), "data");

  // The rename question shows the name whole; an answer beyond CP932 is taken as typed.
  f.Selection().SelectByName(kKorean);
  dialogs_.Answer(Exact(QStringLiteral("새 이름🎉.txt")));
  f.MrenameClick();
  EXPECT_EQ(dialogs_.Offered().back(), Exact(kKorean));
  EXPECT_EQ(ReadAll(dir_.filePath(QStringLiteral("새 이름🎉.txt"))), "data");
  EXPECT_FALSE(QFileInfo::exists(dir_.filePath(kKorean)));

  // A Japanese name typed in the dialog (Shift-JIS) is the name given to the file.
  f.Selection().SelectByName(QStringLiteral("새 이름🎉.txt"));
  dialogs_.Answer(C("日本語〜の名前.txt"));
  f.MrenameClick();
  EXPECT_EQ(ReadAll(dir_.filePath(QStringLiteral("日本語～の名前.txt"))), "data");

  // And a duplicate and a new folder likewise.
  f.Selection().SelectByName(QStringLiteral("日本語～の名前.txt"));
  dialogs_.Answer(Exact(QStringLiteral("複製〜😀.txt")));
  f.MfilefukuseiClick();
  EXPECT_EQ(ReadAll(dir_.filePath(QStringLiteral("複製〜😀.txt"))), "data\r\n");
  dialogs_.Answer(Exact(QStringLiteral("폴더")));
  f.MmkdirClick();
  EXPECT_TRUE(QFileInfo(dir_.filePath(QStringLiteral("폴더"))).isDir());
  EXPECT_TRUE(Texts(Kind::Error).empty());
}

// A pattern with characters Shift-JIS lacks finds them in UTF-8 text, and a selected Korean word
// goes into the dialog as it stands.
TEST_F(UnicodeNamesWindowTest, KoreanTextIsFoundInUtf8Files) {
  MakeFile(kKorean, "첫 줄\n둘째 한국어 줄\n");
  TForm1& f = StartOn(kKorean);
  f.Viewer().LoadWholeFile();
  viewer::TTextPane* pane = f.RichEdit1();
  pane->SetCaretToStart();
  dialogs_.Answer(Exact(QStringLiteral("한국어")));
  f.Mfind1Click();
  EXPECT_EQ(pane->SelectedBytes(), "한국어");
  EXPECT_EQ(pane->CaretLine(), 1);
  f.Mfind1Click();  // the dialog proposes the selection, whole
  EXPECT_EQ(dialogs_.Offered().back().rfind(Exact(QStringLiteral("한국어")) + "|", 0), 0u);
}

// The hex dump opens with the information line as Shift-JIS text: for a name it cannot hold the
// command says so and leaves the file as it is; the other commands run as usual.
TEST_F(UnicodeNamesWindowTest, TheHexDumpRefusesANameItsHeaderCannotHold) {
  MakeFile(kKorean, "abc\r\n");
  TForm1& f = StartOn(kKorean);
  f.RunFileCommand("Mdump1Click");
  EXPECT_FALSE(f.FileCommandRunning());
  ASSERT_EQ(Texts(Kind::Warning).size(), 1u);
  EXPECT_NE(Texts(Kind::Warning)[0].find(Exact(kKorean)), std::string::npos);
  EXPECT_EQ(ReadAll(dir_.filePath(kKorean)), "abc\r\n");

  QSignalSpy done(&f, &TForm1::FileCommandDone);
  f.RunFileCommand("Mtrim1Click");
  if (f.FileCommandRunning() && done.isEmpty()) EXPECT_TRUE(done.wait(20000));
  EXPECT_EQ(Texts(Kind::Warning).size(), 1u);
  EXPECT_TRUE(Texts(Kind::Error).empty());
}

// Grep results are Shift-JIS text naming each file: a file whose name they cannot hold is left out
// and named in a message, the others are searched as usual.
TEST_F(UnicodeNamesWindowTest, GrepLeavesOutNamesItsResultsCannotHold) {
  MakeFile(QStringLiteral("日本.txt"), "abc\r\n");
  MakeFile(kKorean, "abc\n");
  TForm1& f = StartOn({});
  QSignalSpy done(&f, &TForm1::GrepDone);
  dialogs_.Answer("abc");
  f.MgrepClick();
  if (f.GrepRunning() && done.isEmpty()) ASSERT_TRUE(done.wait(20000));
  ASSERT_EQ(Texts(Kind::Warning).size(), 1u);
  EXPECT_NE(Texts(Kind::Warning)[0].find(Exact(dir_.filePath(kKorean))), std::string::npos);
  std::string pane;
  for (int i = 0; i < f.RichEdit1()->LineCount(); ++i) pane += f.RichEdit1()->LineBytes(i) + "\n";
  EXPECT_NE(pane.find(C("日本.txt(1) :abc")), std::string::npos) << pane;
  EXPECT_EQ(pane.find('?'), std::string::npos) << pane;
}

// The settings file is Shift-JIS text; the folder shown last comes back whole all the same.
TEST_F(UnicodeNamesWindowTest, TheLastFolderComesBackFromTheSettings) {
  const QString folder = dir_.filePath(QStringLiteral("한국어〜😀"));
  ASSERT_TRUE(QDir().mkpath(folder));
  TForm1& f = Start();
  f.GoToFolder(folder);
  f.SaveSettings();
  form_.reset();
  TForm1& again = Start();
  EXPECT_EQ(again.FileView1()->Folder(), folder);
}

TEST_F(UnicodeNamesWindowTest, NameListsRefuseNamesShiftJisCannotHold) {
  MakeFile(QStringLiteral("日本.txt"), "x");
  TForm1& f = StartOn(QStringLiteral("日本.txt"));
  f.MnameonlyClick();
  EXPECT_EQ(f.RichEdit1()->LineBytes(0), C("日本.txt"));
  EXPECT_TRUE(Texts(Kind::Warning).empty());

  MakeFile(kKorean, "x");
  f.MrefreshClick();
  f.RichEdit1()->Clear();
  f.MnameonlyClick();
  ASSERT_EQ(Texts(Kind::Warning).size(), 1u);
  EXPECT_NE(Texts(Kind::Warning)[0].find(Exact(kKorean)), std::string::npos);
  EXPECT_TRUE(f.RichEdit1()->IsEmptyText());  // nothing written with a changed name
}

TEST_F(UnicodeNamesWindowTest, NamesThatAreNotUtf8AreShownEscapedAndNeverTouched) {
  MakeOddName("bad\xFF\xFEname.txt");
  MakeFile(QStringLiteral("ok.txt"), "ok");
  TForm1& f = StartOn({});
  const QString shown = QStringLiteral("bad\\xFF\\xFEname.txt");
  const int row = RowOf(f, shown);
  ASSERT_GE(row, 0);
  EXPECT_TRUE(f.FileView1()->Row(row).unreachable);
  EXPECT_TRUE(f.FileView1()->Row(row).path.isEmpty());
  EXPECT_GE(f.Selection().SelectByName(shown), 1);
  EXPECT_TRUE(f.LFilestring()->text().startsWith(shown));
  EXPECT_TRUE(f.LFilestring()->text().contains(browser::UnreachableNameNote()));
  // Rename and delete leave it as it is.
  dialogs_.Answer("renamed.txt");
  f.MrenameClick();
  EXPECT_FALSE(QFileInfo::exists(dir_.filePath(QStringLiteral("renamed.txt"))));
  EXPECT_FALSE(f.FileView1()->Model()->setData(f.FileView1()->Model()->index(row, 0), QStringLiteral("x.txt"), Qt::EditRole));
  f.MfiledeleteClick();
  ASSERT_EQ(Texts(Kind::Warning).size(), 1u);
  EXPECT_NE(Texts(Kind::Warning)[0].find(Exact(shown)), std::string::npos);
  const std::string raw = Native(dir_.path()) + "/bad\xFF\xFEname.txt";
  EXPECT_EQ(::access(raw.c_str(), F_OK), 0);
}

}  // namespace
}  // namespace sorabu::app
