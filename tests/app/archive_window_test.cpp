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
#include <map>

#include "app/archive_extract.h"
#include "app/archive_staging.h"
#include "app/browser_selection.h"
#include "app/staging_merge.h"
#include "browser/file_list_model.h"
#include "browser/file_view.h"
#include "settings/ini_file.h"
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
    return StartInFolder();
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
  EXPECT_EQ(settings::TIniFile(IniPath()).ReadString("LHApack", "Items_0", ""), "#backup#");
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

  // Extraction over an existing file replaces it when the user says so; the folder holds nothing
  // else afterwards.
  QDir(dir_.path()).mkdir(QStringLiteral("z"));
  MakeFile("z/a.txt", "old");
  dialogs_.Answer(QFile::encodeName(dir_.filePath("z")).toStdString());
  dialogs_.Answer("replace");
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

// A ZIP with a password made from the window opens only with it: a wrong one is asked again,
// Cancel then leaves the folder as it was, and the right one extracts everything.
TEST_F(ArchiveWindowTest, PasswordZipsAreMadeAndOpenedFromTheWindow) {
  TForm1& f = StartIn();
  EXPECT_EQ(f.Action("Marccreatepass")->text(), QStringLiteral("パスワード付きZIPを作成(&W)..."));
  SelectNames(f, {"a.txt", "b.txt"});
  for (const char* a : {"secret.zip", "one", "other"}) dialogs_.Answer(a);
  f.Action("Marccreatepass1")->trigger();
  EXPECT_FALSE(QFile::exists(dir_.filePath("secret.zip")));
  ASSERT_FALSE(dialogs_.Messages().empty());
  EXPECT_NE(dialogs_.Messages().back().text.find(C("一致しません")), std::string::npos);
  for (const char* a : {"secret.zip", "pass word", "pass word"}) dialogs_.Answer(a);
  f.Action("Marccreatepass")->trigger();
  ASSERT_TRUE(QFile::exists(dir_.filePath("secret.zip"))) << f.RichEdit1()->TextBytes();

  QDir(dir_.path()).mkdir(QStringLiteral("out"));
  const std::string out = QFile::encodeName(dir_.filePath("out")).toStdString();
  auto asked = [this] {
    std::size_t n = 0;
    for (const std::string& q : dialogs_.Questions()) n += q == C("解凍");
    return n;
  };
  f.Selection().SelectByName(QStringLiteral("secret.zip"));
  dialogs_.Answer(out);
  dialogs_.Answer("wrong");  // then Cancel
  f.MarcextractClick();
  EXPECT_EQ(asked(), 2u) << "asked, then asked again after the wrong one";
  EXPECT_TRUE(QDir(dir_.filePath("out")).isEmpty());
  EXPECT_TRUE(NoLeftovers(dir_.path()));

  for (const std::string& a : {out, std::string("wrong"), std::string("pass word")}) dialogs_.Answer(a);
  f.MarcextractClick();
  EXPECT_EQ(ReadAll(dir_.filePath("out/a.txt")), C("あいう\r\n"));
  EXPECT_EQ(ReadAll(dir_.filePath("out/b.txt")), "bbb\r\n");
  EXPECT_TRUE(NoLeftovers(dir_.path()));
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

// Every name, size and byte under a folder, hidden items included.
std::map<QString, std::string> Snapshot(const QString& folder) {
  std::map<QString, std::string> out;
  QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    out[QDir(folder).relativeFilePath(path)] = QFileInfo(path).isDir() ? std::string("<folder>") : ReadAll(path);
  }
  return out;
}

std::string Bytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Extraction through both routes of the 書庫 menu: the LHA library's own command and the
// command for every format.
class ExtractQuestionsTest : public ArchiveWindowTest {
 protected:
  struct Route {
    const char* archive;
    void (TForm1::*command)();
  };
  static constexpr Route kRoutes[] = {{"pair.lzh", &TForm1::MlhaUClick}, {"pair.zip", &TForm1::MarcextractClick}};

  // The window with pair.lzh and pair.zip, each holding a.txt and b.txt.
  TForm1& StartWithArchives() {
    TForm1& f = StartIn();
    SelectNames(f, {"a.txt", "b.txt"});
    dialogs_.Answer("pair.lzh");
    f.MlhaPClick();
    SelectNames(f, {"a.txt", "b.txt"});
    dialogs_.Answer("pair.zip");
    f.MarccreateClick();
    EXPECT_TRUE(QFile::exists(dir_.filePath("pair.lzh")));
    EXPECT_TRUE(QFile::exists(dir_.filePath("pair.zip")));
    return f;
  }
  // A fresh folder "d" holding the user's own a.txt and b.txt.
  QString UsersFolder() {
    QDir(dir_.filePath("d")).removeRecursively();
    QDir(dir_.path()).mkdir(QStringLiteral("d"));
    MakeFile("d/a.txt", "user's a");
    MakeFile("d/b.txt", "user's b");
    return dir_.filePath("d");
  }
  // Extracts route's archive into folder with the answers given after the folder's.
  void Extract(TForm1& f, const Route& route, const QString& folder, std::initializer_list<const char*> answers) {
    f.MrefreshClick();
    ASSERT_GE(f.Selection().SelectByName(QString::fromLatin1(route.archive)), 0);
    dialogs_.Answer(Bytes(folder));
    for (const char* a : answers) dialogs_.Answer(a);
    (f.*route.command)();
    EXPECT_EQ(dialogs_.PendingAnswers(), 0u) << route.archive;
  }
  std::size_t Collisions() const {
    std::size_t n = 0;
    for (const std::string& q : dialogs_.Questions()) n += q == "collision";
    return n;
  }
};

TEST_F(ExtractQuestionsTest, ATakenNameIsAskedAboutWithEachAnswerDoingWhatItSays) {
  TForm1& f = StartWithArchives();
  const std::string newA = C("あいう\r\n"), newB = "bbb\r\n";
  for (const Route& route : kRoutes) {
    SCOPED_TRACE(route.archive);
    const QString d = UsersFolder();
    std::size_t asked = Collisions();
    Extract(f, route, d, {"replace", "skip"});
    EXPECT_EQ(Collisions() - asked, 2u);
    EXPECT_EQ(ReadAll(d + "/a.txt"), newA);
    EXPECT_EQ(ReadAll(d + "/b.txt"), "user's b");
    EXPECT_EQ(Snapshot(d).size(), 2u);

    UsersFolder();
    Extract(f, route, d, {"rename", "skip"});
    EXPECT_EQ(ReadAll(d + "/a.txt"), "user's a");
    EXPECT_EQ(ReadAll(d + "/a (2).txt"), newA);
    EXPECT_EQ(Snapshot(d).size(), 3u);

    UsersFolder();
    asked = Collisions();
    Extract(f, route, d, {"replace all"});
    EXPECT_EQ(Collisions() - asked, 1u) << "以降すべて answers the second name too";
    EXPECT_EQ(ReadAll(d + "/a.txt"), newA);
    EXPECT_EQ(ReadAll(d + "/b.txt"), newB);

    UsersFolder();
    Extract(f, route, d, {"skip all"});
    EXPECT_EQ(ReadAll(d + "/a.txt"), "user's a");
    EXPECT_EQ(ReadAll(d + "/b.txt"), "user's b");

    UsersFolder();
    Extract(f, route, d, {"rename all"});
    EXPECT_EQ(ReadAll(d + "/a (2).txt"), newA);
    EXPECT_EQ(ReadAll(d + "/b (2).txt"), newB);
    EXPECT_EQ(Snapshot(d).size(), 4u);

    // Cancel, at the first question or after a first "replace", leaves the folder as it was.
    for (std::initializer_list<const char*> answers : {std::initializer_list<const char*>{},
                                                        std::initializer_list<const char*>{"replace"}}) {
      UsersFolder();
      const auto before = Snapshot(d);
      Extract(f, route, d, answers);
      EXPECT_EQ(Snapshot(d), before);
    }
    EXPECT_TRUE(NoLeftovers(dir_.path()));
  }
  EXPECT_TRUE(dialogs_.Messages().empty()) << dialogs_.Messages().front().text;
}

TEST_F(ExtractQuestionsTest, AMissingFolderIsMadeAndOneThatCannotBeIsExplained) {
  TForm1& f = StartWithArchives();
  MakeFile("blocker", "a file where a folder should be");
  for (const Route& route : kRoutes) {
    SCOPED_TRACE(route.archive);
    const QString deep = dir_.filePath(QString::fromLatin1(route.archive) + "-new/deeper/out");
    Extract(f, route, deep, {});
    EXPECT_EQ(ReadAll(deep + "/a.txt"), C("あいう\r\n"));
    EXPECT_EQ(ReadAll(deep + "/b.txt"), "bbb\r\n");

    const std::size_t messages = dialogs_.Messages().size();
    Extract(f, route, dir_.filePath("blocker/out"), {});
    ASSERT_EQ(dialogs_.Messages().size(), messages + 1);
    const auto& m = dialogs_.Messages().back();
    EXPECT_EQ(m.kind, dialogs::TScriptedDialogs::Message::Error);
    EXPECT_NE(m.text.find(C("を作成できません")), std::string::npos) << m.text;
    EXPECT_NE(m.text.find(C("フォルダーではありません")), std::string::npos) << "the reason, in Japanese";
    EXPECT_EQ(ReadAll(dir_.filePath("blocker")), "a file where a folder should be");
  }
  EXPECT_TRUE(NoLeftovers(dir_.path()));
}

TEST_F(ExtractQuestionsTest, AnArchiveThatWritesFarMoreThanItHoldsIsAskedAboutFirst) {
  TForm1& f = StartIn();
  MakeFile("zeros.bin", std::string(4 << 20, '\0'));
  f.MrefreshClick();
  SelectNames(f, {"zeros.bin"});
  dialogs_.Answer("zeros.lzh");
  f.MlhaPClick();
  SelectNames(f, {"zeros.bin"});
  dialogs_.Answer("zeros.zip");
  f.MarccreateClick();
  // The real limits (1 GiB and 1,000 times) let these pass; smaller ones of the same shape catch them.
  const Route routes[] = {{"zeros.lzh", &TForm1::MlhaUClick}, {"zeros.zip", &TForm1::MarcextractClick}};
  for (const Route& route : routes) {
    SCOPED_TRACE(route.archive);
    const QString out = dir_.filePath(QStringLiteral("out-") + QString::fromLatin1(route.archive));
    f.SetExtractLimits({});
    std::size_t asked = dialogs_.Questions().size();
    Extract(f, route, out, {});
    EXPECT_EQ(dialogs_.Questions().size() - asked, 1u) << "only the folder";
    EXPECT_EQ(QFileInfo(out + "/zeros.bin").size(), 4 << 20);
    QDir(out).removeRecursively();

    f.SetExtractLimits({1 << 20, 100});
    asked = dialogs_.Offered().size();
    Extract(f, route, out, {});  // no answer: Cancel
    ASSERT_EQ(dialogs_.Offered().size() - asked, 2u);
    const std::string question = dialogs_.Offered().back();
    const auto archiveSize = static_cast<unsigned long long>(QFileInfo(dir_.filePath(route.archive)).size());
    EXPECT_NE(question.find("4,194,304"), std::string::npos) << question;
    EXPECT_NE(question.find(GroupedNumber(archiveSize)), std::string::npos) << question;
    EXPECT_FALSE(QFileInfo::exists(out)) << "nothing made before the answer";

    Extract(f, route, out, {"yes"});
    EXPECT_EQ(QFileInfo(out + "/zeros.bin").size(), 4 << 20);
  }
  EXPECT_TRUE(NoLeftovers(dir_.path()));
}

TEST(ExtractLimits, MoreThanBothTheBytesAndTheRatio) {
  const ExtractLimits real;
  const unsigned long long GiB = 1ULL << 30;
  EXPECT_FALSE(WritesFarMore(GiB, 1, real)) << "1 GiB itself is not more";
  EXPECT_TRUE(WritesFarMore(GiB + 1, 1, real));
  EXPECT_TRUE(WritesFarMore(GiB + 1, (GiB + 1) / 1000 - 1, real));
  EXPECT_FALSE(WritesFarMore(1000 * (GiB / 100), GiB / 100, real)) << "exactly 1,000 times is not more";
  EXPECT_TRUE(WritesFarMore(1000 * (GiB / 100) + 1, GiB / 100, real));
  EXPECT_FALSE(WritesFarMore(100 * GiB, GiB, real)) << "large, but only 100 times";
  EXPECT_TRUE(WritesFarMore(~0ULL, 0, real)) << "no overflow at the top";
  EXPECT_EQ(GroupedNumber(0), "0");
  EXPECT_EQ(GroupedNumber(999), "999");
  EXPECT_EQ(GroupedNumber(1000), "1,000");
  EXPECT_EQ(GroupedNumber(1073741824), "1,073,741,824");
}

TEST_F(ExtractQuestionsTest, TheProgressWindowNeverCoversAQuestion) {
  TForm1& f = StartWithArchives();
  TProgressWatch watch(f, dialogs_);
  f.SetExtractLimits({0, 0});  // every archive asks about its size
  for (const Route& route : kRoutes) {
    SCOPED_TRACE(route.archive);
    const QString d = UsersFolder();
    watch.questions = watch.made = watch.covered = 0;
    Extract(f, route, d, {"yes", "replace", "skip"});
    EXPECT_EQ(watch.questions, 3);
    EXPECT_EQ(watch.made, 3) << "the progress window was due at every question";
    EXPECT_EQ(watch.covered, 0);
    EXPECT_GE(watch.showsAfter, 1) << "and it came back once the last one was answered";
    EXPECT_EQ(ReadAll(d + "/a.txt"), C("あいう\r\n"));
  }
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
  dialogs::TScriptedDialogs dialogs;
  dialogs.Answer("replace");
  std::vector<std::string> problems;
  ASSERT_EQ(MergeStaging(*staging, root / "dest", dialogs, problems), MergeOutcome::Done);
  EXPECT_EQ(dialogs.Questions().size(), 1u) << "the merged folder is not asked about, its taken file is";
  DropStaging(*staging);
  EXPECT_FALSE(fs::exists(*staging));
  EXPECT_TRUE(fs::exists(root / "dest/sub/keep.txt"));
  EXPECT_TRUE(fs::exists(root / "dest/sub/new.txt"));
  std::ifstream in(root / "dest/old.txt");
  std::string text;
  in >> text;
  EXPECT_EQ(text, "replaced");

  staging = MakeStagingFolder(root / "dest", error);
  std::ofstream(*staging / "sub") << "a file where a folder is";
  dialogs.Answer("replace");
  EXPECT_EQ(MergeStaging(*staging, root / "dest", dialogs, problems), MergeOutcome::Partly);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find(C("フォルダーをファイルで置き換えることはできません")), std::string::npos);
  EXPECT_TRUE(fs::is_directory(root / "dest/sub")) << "the folder stays";
  DropStaging(*staging);
  EXPECT_FALSE(fs::exists(*staging));

  EXPECT_EQ(TemporaryBeside(root / "a.tar.gz").filename().string().substr(31), ".tar.gz");
}

}  // namespace
}  // namespace sorabu::app
