// The 書庫 menu from the window with the plug-ins beside the test program: LHA and ZIP archives
// made, listed, previewed and extracted in a temporary folder, with scripted answers.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QItemSelectionModel>
#include <QTest>
#include <fstream>

#include "app/archive_staging.h"
#include "app/browser_selection.h"
#include "app/ini_file.h"
#include "browser/file_list_model.h"
#include "browser/file_view.h"
#include "tests/app/window_fixture.h"
#include "textconv/cp932.h"
#include "textconv/ui_text.h"
#include "viewer/display.h"
#include "viewer/text_pane.h"

namespace sorabu::app {
namespace {

namespace fs = std::filesystem;

std::string C(const char* utf8) { return textconv::Utf8ToCp932(utf8); }

std::string ReadAll(const QString& path) {
  QFile f(path);
  f.open(QIODevice::ReadOnly);
  return f.readAll().toStdString();
}


// Nothing the window leaves behind: no working folders or temporary archives.
bool NoLeftovers(const QString& folder) {
  QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
  while (it.hasNext())
    if (it.next().contains(QStringLiteral(".sorabu-"))) return false;
  return true;
}

class ArchiveWindowTest : public MainWindowTest {
 protected:
  TForm1& StartIn() {
    MakeFile("a.txt", C("あいう\r\n"));
    MakeFile("b.txt", "bbb\r\n");
    TForm1& f = Start();
    f.GoToFolder(dir_.path());
    f.MrefreshClick();
    return f;
  }
};

TEST_F(ArchiveWindowTest, ItemsButtonsKeysAndTheLibraryVersion) {
  TForm1& f = StartIn();
  for (auto [name, caption] :
       {std::pair{"MlhaU", "LHA解凍(&X)"}, std::pair{"MlhaP", "LHA作成(&A)"}, std::pair{"Mlhalist", "LHA一覧(&L)"},
        std::pair{"Mlhacommand", "LHA一覧-拡張（&V）"}, std::pair{"MlhaE", "LHA解凍-書庫のみ(&E)"},
        std::pair{"Marcextract", "解凍(&U)"}, std::pair{"Marclist", "一覧(&V)"}, std::pair{"Marccreate", "作成(&M)"},
        std::pair{"MlhaU1", "LHA解凍(&X)"}, std::pair{"Marccreate1", "作成(&M)"},
        std::pair{"Myc", "&；　LHA書庫内容表示切替"}, std::pair{"ToolButton42", "書庫解凍(U)"},
        std::pair{"ToolButton43", "書庫作成(P)"}, std::pair{"ToolButton44", "書庫内一覧(I)"}}) {
    QAction* a = f.Action(name);
    ASSERT_NE(a, nullptr) << name;
    EXPECT_EQ(a->text(), QString::fromUtf8(caption)) << name;
  }
  // The plug-ins sit beside the test program: the LHA items are on.
  EXPECT_TRUE(f.Action("MlhaU")->isEnabled());
}

TEST_F(ArchiveWindowTest, LhaCreateListPreviewAndExtract) {
  TForm1& f = StartIn();
  SelectNames(f, {"a.txt", "b.txt"});
  dialogs_.Answer("backup");  // no extension: ".lzh" is added
  f.Action("ToolButton43")->trigger();
  const QString lzh = dir_.filePath("backup.lzh");
  ASSERT_TRUE(QFile::exists(lzh));
  EXPECT_EQ(TIniFile(IniPath()).ReadString("LHApack", "Items_0", ""), "#backup#");
  EXPECT_TRUE(NoLeftovers(dir_.path()));

  // The list by the I key's command: both names in the pane.
  ASSERT_GE(f.Selection().SelectByName(QStringLiteral("backup.lzh")), 0);
  f.MlhalistClick();
  const std::string listing = f.RichEdit1()->TextBytes();
  EXPECT_NE(listing.find("a.txt"), std::string::npos);
  EXPECT_NE(listing.find("b.txt"), std::string::npos);
  EXPECT_EQ(listing.find('\0'), std::string::npos) << "a listing, not the archive's bytes";

  // With the preview on, selecting the archive lists it instead of showing its bytes.
  f.MycClick();
  EXPECT_TRUE(f.Action("Mlhashow")->isChecked());
  f.Selection().SelectByName(QStringLiteral("a.txt"));
  f.Selection().SelectByName(QStringLiteral("backup.lzh"));
  f.Viewer().FileView1Change(false);
  EXPECT_NE(f.RichEdit1()->TextBytes().find("b.txt"), std::string::npos);
  EXPECT_EQ(f.RichEdit1()->TextBytes().find('\0'), std::string::npos);
  f.MycClick();

  // Extract into a sub-folder through the file-operation dialog.
  QDir(dir_.path()).mkdir(QStringLiteral("out"));
  f.Selection().SelectByName(QStringLiteral("backup.lzh"));
  dialogs_.Answer(QFile::encodeName(dir_.filePath("out")).toStdString());
  f.Action("ToolButton42")->trigger();
  EXPECT_EQ(ReadAll(dir_.filePath("out/a.txt")), C("あいう\r\n"));
  EXPECT_EQ(ReadAll(dir_.filePath("out/b.txt")), "bbb\r\n");
  EXPECT_TRUE(NoLeftovers(dir_.path()));
  EXPECT_FALSE(f.RichEdit1()->IsEmptyText()) << "the library's report is shown";

  // Cancel in the dialog: nothing happens.
  dialogs_.Cancel();
  f.MlhaEClick();
  EXPECT_TRUE(NoLeftovers(dir_.path()));
}

TEST_F(ArchiveWindowTest, ZipCreateListAndExtractAndTheRouteByExtension) {
  TForm1& f = StartIn();
  SelectNames(f, {"a.txt", "b.txt"});
  dialogs_.Answer("pack.zip");
  f.MarccreateClick();
  const QString zip = dir_.filePath("pack.zip");
  ASSERT_TRUE(QFile::exists(zip));
  EXPECT_NE(f.RichEdit1()->TextBytes().find("Result code = 0"), std::string::npos);
  EXPECT_TRUE(NoLeftovers(dir_.path()));

  // A ".zip" goes from the LHA items to the commands for every format.
  f.Selection().SelectByName(QStringLiteral("pack.zip"));
  f.MlhalistClick();
  EXPECT_NE(f.RichEdit1()->TextBytes().find("Listing of archive : "), std::string::npos);

  // Extraction over an existing file replaces it; the folder holds nothing else afterwards.
  QDir(dir_.path()).mkdir(QStringLiteral("z"));
  MakeFile("z/a.txt", "old");
  dialogs_.Answer(QFile::encodeName(dir_.filePath("z")).toStdString());
  f.MlhaUClick();
  EXPECT_EQ(ReadAll(dir_.filePath("z/a.txt")), C("あいう\r\n"));
  EXPECT_EQ(ReadAll(dir_.filePath("z/b.txt")), "bbb\r\n");
  EXPECT_EQ(QDir(dir_.filePath("z")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 2);

  // Creating under the name of an existing archive replaces it.
  SelectNames(f, {"b.txt"});
  dialogs_.Answer("pack.zip");
  f.MarccreateClick();
  f.Selection().SelectByName(QStringLiteral("pack.zip"));
  f.MarclistClick();
  EXPECT_EQ(f.RichEdit1()->TextBytes().find("a.txt"), std::string::npos);
}

// Names beyond Shift-JIS: a ZIP (names in UTF-8) named in Korean packs a Korean-named file and
// extracts it into a Korean folder whole; an LHA archive, whose headers hold Shift-JIS, refuses
// the file instead of storing it under a changed name.
TEST_F(ArchiveWindowTest, NamesBeyondShiftJisInZipAndLha) {
  TForm1& f = StartIn();
  MakeFile(QStringLiteral("데이터😀.txt"), "korean\r\n");
  f.MrefreshClick();
  SelectNames(f, {QStringLiteral("데이터😀.txt")});
  dialogs_.Answer(textconv::Utf8ToCp932Exact("압축.zip"));
  f.MarccreateClick();
  ASSERT_TRUE(QFile::exists(dir_.filePath(QStringLiteral("압축.zip")))) << f.RichEdit1()->TextBytes();
  QDir(dir_.path()).mkdir(QStringLiteral("폴더"));
  f.Selection().SelectByName(QStringLiteral("압축.zip"));
  dialogs_.Answer(QFile::encodeName(dir_.filePath(QStringLiteral("폴더"))).toStdString());
  f.MarcextractClick();
  EXPECT_EQ(ReadAll(dir_.filePath(QStringLiteral("폴더/데이터😀.txt"))), "korean\r\n");
  EXPECT_TRUE(NoLeftovers(dir_.path()));

  SelectNames(f, {QStringLiteral("데이터😀.txt")});
  dialogs_.Answer("k.lzh");
  f.MlhaPClick();
  EXPECT_FALSE(QFile::exists(dir_.filePath("k.lzh")));
  EXPECT_NE(f.RichEdit1()->TextBytes().find("Shift-JIS"), std::string::npos) << f.RichEdit1()->TextBytes();
  EXPECT_TRUE(NoLeftovers(dir_.path()));
}

TEST_F(ArchiveWindowTest, ACorruptArchiveChangesNothing) {
  TForm1& f = StartIn();
  MakeFile("bad.lzh", std::string("\x20\x00-lh5-garbage that is no archive", 34));
  MakeFile("bad.zip", "PK\x03\x04 truncated");
  f.MrefreshClick();
  QDir(dir_.path()).mkdir(QStringLiteral("out"));
  for (const char* name : {"bad.lzh", "bad.zip"}) {
    f.Selection().SelectByName(QString::fromLatin1(name));
    dialogs_.Answer(QFile::encodeName(dir_.filePath("out")).toStdString());
    f.MlhaUClick();
    f.MlhalistClick();
  }
  EXPECT_TRUE(QDir(dir_.filePath("out")).isEmpty());
  EXPECT_TRUE(NoLeftovers(dir_.path()));
}

TEST(ArchiveStaging, MovesIntoPlaceMergesFoldersAndNeverReplacesAFolderByAFile) {
  QTemporaryDir dir;
  const fs::path root(dir.path().toStdString());
  fs::create_directories(root / "dest/sub");
  std::ofstream(root / "dest/sub/keep.txt") << "keep";
  std::ofstream(root / "dest/old.txt") << "old";
  std::string error;
  auto staging = MakeStagingFolder(root / "dest", error);
  ASSERT_TRUE(staging);
  fs::create_directories(*staging / "sub");
  std::ofstream(*staging / "sub/new.txt") << "new";
  std::ofstream(*staging / "old.txt") << "replaced";
  ASSERT_TRUE(MergeStaging(*staging, root / "dest", error)) << error;
  EXPECT_FALSE(fs::exists(*staging));
  EXPECT_TRUE(fs::exists(root / "dest/sub/keep.txt"));
  EXPECT_TRUE(fs::exists(root / "dest/sub/new.txt"));
  std::ifstream in(root / "dest/old.txt");
  std::string text;
  in >> text;
  EXPECT_EQ(text, "replaced");

  staging = MakeStagingFolder(root / "dest", error);
  std::ofstream(*staging / "sub") << "a file where a folder is";
  EXPECT_FALSE(MergeStaging(*staging, root / "dest", error));
  EXPECT_TRUE(fs::is_directory(root / "dest/sub")) << "the folder stays";
  DropStaging(*staging);
  EXPECT_FALSE(fs::exists(*staging));

  EXPECT_EQ(TemporaryBeside(root / "a.tar.gz").filename().string().substr(31), ".tar.gz");
}

}  // namespace
}  // namespace sorabu::app
