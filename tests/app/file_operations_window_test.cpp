// The file menu's operations from the window: items, tool buttons and keys, with scripted answers,
// on files in a temporary folder; the trash is a temporary folder too.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <utility>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QThread>
#include <QAbstractItemView>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "app/browser_selection.h"
#include "app/file_op_runner.h"
#include "browser/file_list_model.h"
#include "browser/file_view.h"
#include "browser/folder_view.h"
#include "fileops/shfop.h"
#include "settings/ini_file.h"
#include "tests/app/window_fixture.h"
#include "textconv/cp932.h"

namespace sorabu::app {
namespace {

const std::string kTrashHome = [] {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/sorabu-trash-XXXXXX";
  const std::string home = mkdtemp(pattern.data()) ? pattern : std::string("/nonexistent");
  setenv("XDG_DATA_HOME", home.c_str(), 1);
  std::atexit([] { QDir(QString::fromLocal8Bit(std::getenv("XDG_DATA_HOME"))).removeRecursively(); });
  return home;
}();

std::string C(const char* utf8) { return textconv::Utf8ToCp932(utf8); }
std::string Bytes(const QString& p) { return QFile::encodeName(p).toStdString(); }

std::string ReadAll(const QString& path) {
  QFile f(path);
  f.open(QIODevice::ReadOnly);
  return f.readAll().toStdString();
}


class FileOperationsWindowTest : public MainWindowTest {
 protected:
  // The window on the test folder with name selected.
  TForm1& StartOn(const QString& name) {
    TForm1& f = Start();
    f.GoToFolder(dir_.path());
    f.MrefreshClick();
    if (!name.isEmpty()) EXPECT_GE(f.Selection().SelectByName(name), 0);
    return f;
  }
  std::vector<std::string> Texts(dialogs::TScriptedDialogs::Message::Kind kind) const {
    std::vector<std::string> out;
    for (const auto& m : dialogs_.Messages())
      if (m.kind == kind) out.push_back(m.text);
    return out;
  }
  using Kind = dialogs::TScriptedDialogs::Message;
};

TEST_F(FileOperationsWindowTest, NamedItemsButtonsAndShortcutsExist) {
  TForm1& f = Start();
  for (const char* name : {"Mfilecopy", "Mfilemove", "Mfiledelete", "Mrename", "Mpropaty", "Mfilefukusei", "Mfilediv",
                           "Mfileketugou", "Mmkdir", "Mformat", "Mdiskcopy1", "Mfilecopy2", "Mfilemove2", "Mfiledelete2",
                           "Mrename2", "Mpropaty2", "Mfilefukusei2", "Mfilediv2", "Mfileketugou2", "Mmkdir2", "Mformat2",
                           "Mdiskcopy12", "ToolButton4", "ToolButton5", "ToolButton3", "ToolButton6", "ToolButton40",
                           "Myd", "MyC", "MyM", "MyD", "MyR", "MyA", "MyK"})
    EXPECT_NE(f.Action(name), nullptr) << name;
  EXPECT_EQ(f.Action("Mfilecopy")->text(), QStringLiteral("ファイル　コピー(&C)"));
  EXPECT_EQ(f.Action("ToolButton40")->statusTip(), QStringLiteral("属性を変更する。"));
  EXPECT_EQ(f.Action("Myd")->text(), QStringLiteral("SHIFT+DEL ファイルの完全削除"));
  EXPECT_TRUE(f.SHFOP1().GetFileList);
}

TEST_F(FileOperationsWindowTest, CopyAsksForTheDestinationAndKeepsItsHistory) {
  MakeFile(QStringLiteral("a.txt"), "alpha");
  QTemporaryDir target;
  TForm1& f = StartOn(QStringLiteral("a.txt"));
  dialogs_.Answer(Bytes(target.path()));
  f.Action("ToolButton4")->trigger();
  EXPECT_EQ(ReadAll(QDir(target.path()).filePath("a.txt")), "alpha");
  EXPECT_EQ(Texts(Kind::Information), std::vector<std::string>{C("1個のファイルをコピーしました。")});
  settings::TIniFile ini(IniPath());
  EXPECT_EQ(ini.ReadInteger("File", "ToFileCount", 0), 1);
  EXPECT_EQ(ini.ReadString("File", "Items_0", ""), "#" + Bytes(target.path()) + "#");

  // The same again: the name is taken; Skip keeps the copy that is there.
  MakeFile(QStringLiteral("a.txt"), "changed");
  f.MrefreshClick();
  f.Selection().SelectByName(QStringLiteral("a.txt"));
  dialogs_.Answer(Bytes(target.path()));
  dialogs_.Answer("skip");
  f.FileView1KeyPress(QStringLiteral("c"));
  EXPECT_EQ(ReadAll(QDir(target.path()).filePath("a.txt")), "alpha");
  EXPECT_EQ(dialogs_.Offered().back(), "a.txt");  // the collision question named the file

  // Into the folder that is current: nothing happens and the copy is reported as failed.
  f.Selection().SelectByName(QStringLiteral("a.txt"));
  dialogs_.Answer(Bytes(dir_.path()));
  f.MfilecopyClick();
  EXPECT_EQ(Texts(Kind::Warning), std::vector<std::string>{C("コピーできませんでした。")});
  // Cancel in the dialog: no message at all.
  const auto before = dialogs_.Messages().size();
  f.MfilecopyClick();
  EXPECT_EQ(dialogs_.Messages().size(), before);
}

TEST_F(FileOperationsWindowTest, MoveShowsTheDestinationWhenAsked) {
  MakeFile(QStringLiteral("m.txt"), "move me");
  QTemporaryDir target;
  TForm1& f = StartOn(QStringLiteral("m.txt"));
  f.SetOption(Option::Mtodiropen1, true);
  f.SetOption(Option::Mdialogdisp1, false);
  dialogs_.Answer(Bytes(target.path()));
  f.FileView1KeyPress(QStringLiteral("ﾓ"));  // M in kana input mode
  EXPECT_FALSE(QFileInfo::exists(dir_.filePath("m.txt")));
  EXPECT_EQ(ReadAll(QDir(target.path()).filePath("m.txt")), "move me");
  EXPECT_TRUE(dialogs_.Messages().empty());
  EXPECT_EQ(f.FolderView1()->SelectedPath(), QDir::cleanPath(target.path()));
  EXPECT_EQ(f.Selection().SelectedPath(), QDir(target.path()).filePath("m.txt"));
}

TEST_F(FileOperationsWindowTest, DeleteGoesToTheTrashAfterAYesAndShiftDeleteRemoves) {
  MakeFile(QStringLiteral("d.txt"), "trash me");
  MakeFile(QStringLiteral("p.txt"), "remove me");
  TForm1& f = StartOn(QStringLiteral("d.txt"));
  f.MfiledeleteClick();  // no answer: the confirmation says no
  EXPECT_TRUE(QFileInfo::exists(dir_.filePath("d.txt")));
  EXPECT_TRUE(dialogs_.Messages().empty());

  dialogs_.Answer("ok");
  QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
  EXPECT_TRUE(f.FileView1KeyDown(&del));
  EXPECT_FALSE(QFileInfo::exists(dir_.filePath("d.txt")));
  EXPECT_EQ(ReadAll(QString::fromStdString(kTrashHome + "/Trash/files/d.txt")), "trash me");
  EXPECT_EQ(Texts(Kind::Information), std::vector<std::string>{C("1個のファイルを削除しました。")});

  f.Selection().SelectByName(QStringLiteral("p.txt"));
  dialogs_.Answer("ok");
  QKeyEvent shiftDel(QEvent::KeyPress, Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_TRUE(f.FileView1KeyDown(&shiftDel));
  EXPECT_FALSE(QFileInfo::exists(dir_.filePath("p.txt")));
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(kTrashHome + "/Trash/files/p.txt")));
  EXPECT_EQ(dialogs_.Offered().back(), C("「p.txt」を完全に削除しますか？"));
}

// The delete confirmation and the name-collision question of a running operation are never
// hidden under its progress window; the progress comes back once they are answered.
TEST_F(FileOperationsWindowTest, TheProgressWindowNeverCoversAQuestion) {
  MakeFile(QStringLiteral("c.txt"), "new");
  MakeFile(QStringLiteral("g.txt"), "delete me");
  QTemporaryDir target;
  {
    QFile t(QDir(target.path()).filePath("c.txt"));
    t.open(QIODevice::WriteOnly);
    t.write("old");
  }
  TForm1& f = StartOn(QStringLiteral("c.txt"));
  TProgressWatch watch(f, dialogs_);
  dialogs_.Answer(Bytes(target.path()));
  dialogs_.Answer("replace");
  f.MfilecopyClick();
  EXPECT_EQ(ReadAll(QDir(target.path()).filePath("c.txt")), "new");
  EXPECT_EQ(watch.questions, 1);
  EXPECT_EQ(watch.made, 1) << "the progress window was due while the question was open";
  EXPECT_EQ(watch.covered, 0);
  EXPECT_GE(watch.showsAfter, 1);

  watch.questions = watch.made = watch.covered = 0;
  f.Selection().SelectByName(QStringLiteral("g.txt"));
  dialogs_.Answer("ok");
  f.MydClick();
  EXPECT_FALSE(QFileInfo::exists(dir_.filePath("g.txt")));
  EXPECT_EQ(watch.questions, 1);
  EXPECT_EQ(watch.made, 1);
  EXPECT_EQ(watch.covered, 0);
  EXPECT_GE(watch.showsAfter, 1);
}

TEST_F(FileOperationsWindowTest, RenameNeverReplacesAndDuplicateEndsLinesInCrLf) {
  MakeFile(QStringLiteral("r.txt"), "r");
  MakeFile(QStringLiteral("taken.txt"), "keep");
  MakeFile(QStringLiteral("lines.txt"), "a\rb\nc\r\nd");
  TForm1& f = StartOn(QStringLiteral("r.txt"));
  dialogs_.Answer("taken.txt");
  f.FileView1KeyPress(QStringLiteral("r"));
  EXPECT_EQ(ReadAll(dir_.filePath("taken.txt")), "keep");
  EXPECT_EQ(ReadAll(dir_.filePath("r.txt")), "r");
  EXPECT_EQ(dialogs_.Offered().back(), "r.txt");

  f.Selection().SelectByName(QStringLiteral("r.txt"));
  dialogs_.Answer("new.txt");
  f.Action("ToolButton6")->trigger();
  EXPECT_EQ(ReadAll(dir_.filePath("new.txt")), "r");
  EXPECT_EQ(f.Selection().SelectedPath(), dir_.filePath("new.txt"));

  f.Selection().SelectByName(QStringLiteral("lines.txt"));
  dialogs_.Answer("copy.txt");
  f.MfilefukuseiClick();
  EXPECT_EQ(ReadAll(dir_.filePath("copy.txt")), "a\r\nb\r\nc\r\nd\r\n");
  EXPECT_EQ(ReadAll(dir_.filePath("lines.txt")), "a\rb\nc\r\nd");
  // A taken name is replaced only after a yes.
  f.Selection().SelectByName(QStringLiteral("lines.txt"));
  dialogs_.Answer("taken.txt");
  f.MfilefukuseiClick();
  EXPECT_EQ(ReadAll(dir_.filePath("taken.txt")), "keep");
}

TEST_F(FileOperationsWindowTest, AttributesAndNewFolder) {
  const QString path = MakeFile(QStringLiteral("attr.txt"), "x");
  TForm1& f = StartOn(QStringLiteral("attr.txt"));
  dialogs_.Answer("R");
  f.FileView1KeyPress(QStringLiteral("a"));
  struct stat st {};
  ASSERT_EQ(stat(QFile::encodeName(path).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0222, 0u);
  dialogs_.Answer("");
  f.MpropatyClick();
  ASSERT_EQ(stat(QFile::encodeName(path).constData(), &st), 0);
  EXPECT_NE(st.st_mode & S_IWUSR, 0u);
  EXPECT_EQ(dialogs_.Offered(), (std::vector<std::string>{"", "R"}));

  dialogs_.Answer("newdir");
  f.FileView1KeyPress(QStringLiteral("k"));
  EXPECT_TRUE(QFileInfo(dir_.filePath("newdir")).isDir());
  EXPECT_EQ(dialogs_.Questions().back(), C("ディレクトリの作成"));
}

TEST_F(FileOperationsWindowTest, SplitAndJoinFromTheMenu) {
  std::string content;
  for (int i = 0; i < 2500; ++i) content += static_cast<char>('a' + i % 26);
  MakeFile(QStringLiteral("s.txt"), content);
  TForm1& f = StartOn(QStringLiteral("s.txt"));
  dialogs_.Answer("1000");
  f.Action("Mfilediv")->trigger();
  EXPECT_EQ(ReadAll(dir_.filePath("s.001")).size(), 1000u);
  EXPECT_EQ(ReadAll(dir_.filePath("s.003")).size(), 500u);
  EXPECT_EQ(ReadAll(dir_.filePath("s.bat")), "COPY /B s.001 s.txt\r\nCOPY /B s.txt+s.002 s.txt\r\nCOPY /B s.txt+s.003 s.txt\r\n");
  EXPECT_EQ(settings::TIniFile(IniPath()).ReadString("DIV", "Items_0", ""), "#1000#");

  SelectNames(f, {QStringLiteral("s.001"), QStringLiteral("s.002"), QStringLiteral("s.003")});
  dialogs_.Answer("joined.txt");
  f.Action("Mfileketugou")->trigger();
  EXPECT_EQ(ReadAll(dir_.filePath("joined.txt")), content);
  EXPECT_EQ(Texts(Kind::Information), std::vector<std::string>{C("ファイルを結合しました。")});
}

TEST_F(FileOperationsWindowTest, DiskToolIsStartedOnlyWhenInstalled) {
  TForm1& f = Start();
  std::vector<QStringList> started;
  f.SetLauncher([&](const QString& program, const QStringList& args, const QString&) {
    started.push_back(QStringList{program} + args);
    return true;
  });
  const QByteArray path = qgetenv("PATH");
  QTemporaryDir bin;
  qputenv("PATH", bin.path().toLocal8Bit());
  f.Mdiskcopy1Click();
  dialogs_.Answer("/");
  f.MformatClick();
  EXPECT_TRUE(started.empty());
  EXPECT_EQ(Texts(Kind::Warning).size(), 2u);

  const QString tool = QDir(bin.path()).filePath("gnome-disks");
  QFile script(tool);
  script.open(QIODevice::WriteOnly);
  script.write("#!/bin/sh\nexit 0\n");
  script.close();
  script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
  f.Mdiskcopy1Click();
  qputenv("PATH", path);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0], QStringList{tool});
}

// X on a program in the list starts it through the window's launcher, like every other program
// the window starts, so that tests and the monkey see it instead of running it.
TEST_F(FileOperationsWindowTest, ARunProgramIsStartedThroughTheLauncher) {
  const QString marker = dir_.filePath("ran");
  const QString program = MakeFile("tool.sh", ("#!/bin/sh\ntouch '" + marker.toStdString() + "'\n"));
  QFile(program).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  TForm1& f = Start();
  f.GoToFolder(dir_.path());
  f.MrefreshClick();
  std::vector<QStringList> started;
  f.SetLauncher([&](const QString& path, const QStringList& args, const QString& folder) {
    started.push_back(QStringList{path, folder} + args);
    return true;
  });
  SelectNames(f, {QStringLiteral("tool.sh")});
  f.Action("Mfileexe")->trigger();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0], (QStringList{program, dir_.path()}));
  QTest::qWait(200);
  EXPECT_FALSE(QFile::exists(marker)) << "the program itself was run";
}

// Dialogs that press Cancel in the progress window while the operation asks its question.
class CancellingDialogs : public dialogs::TScriptedDialogs {
 public:
  std::function<void()> onCollision;
  CollisionAnswer Collision(const CollisionSetup& setup) override {
    if (onCollision) onCollision();
    return TScriptedDialogs::Collision(setup);
  }
};

TEST(FileOperationsRunnerTest, CancelAndCloseDuringAnOperationLoseNothing) {
  QTemporaryDir dir, target;
  CancellingDialogs dialogs;
  auto form = std::make_unique<TForm1>(dialogs, dir.filePath("sorabu.ini").toStdString());
  form->FormCreate();
  form->show();
  for (const char* n : {"1.txt", "2.txt", "3.txt"}) {
    QFile(dir.filePath(n)).open(QIODevice::WriteOnly);
    QFile t(QDir(target.path()).filePath(n));
    t.open(QIODevice::WriteOnly);
    t.write("old");
  }
  form->GoToFolder(dir.path());
  form->MrefreshClick();
  SelectNames(*form, {QStringLiteral("1.txt"), QStringLiteral("2.txt"), QStringLiteral("3.txt")});
  dialogs.onCollision = [&] {
    EXPECT_TRUE(form->FileOperationRunning());
    EXPECT_FALSE(form->FileView1()->isEnabled());
    form->close();  // cancels; the window closes once the operation has stopped
  };
  dialogs.Answer(Bytes(target.path()));
  dialogs.Answer("replace");
  form->MfilecopyClick();
  QApplication::processEvents();
  EXPECT_FALSE(form->isVisible());
  // The first file was replaced before Cancel; the others were never touched.
  for (const char* n : {"2.txt", "3.txt"}) EXPECT_EQ(ReadAll(QDir(target.path()).filePath(n)), "old") << n;
  EXPECT_EQ(QDir(target.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
  EXPECT_EQ(dialogs.Messages().back().text, C("コピーできませんでした。"));
}

TEST(FileOperationsRunnerTest, ProgressWindowAppearsForLongWork) {
  QWidget window;
  dialogs::TScriptedDialogs dialogs;
  TFileOpRunner runner(dialogs, &window);
  runner.SetDelay(0);
  QString title;
  QObject::connect(&runner, &TFileOpRunner::ProgressShown, [&] {
    title = runner.ProgressDialog()->windowTitle();
    runner.ProgressDialog()->CancelButton()->click();
  });
  std::atomic<bool> cancelled{false};
  const bool result = runner.Run(QStringLiteral("ファイル　コピー"), [&] {
    fileops::TFileOpProgress p;
    p.bytesTotal = 100;
    p.filesTotal = 1;
    while (!cancelled) {
      runner.Post(p);
      QThread::msleep(5);
    }
    return true;
  }, [&] { cancelled = true; });
  EXPECT_TRUE(result);
  EXPECT_EQ(title, QStringLiteral("ファイル　コピー"));
  EXPECT_FALSE(runner.Running());
  // A question after Cancel is answered with Cancel, without reaching the user.
  EXPECT_FALSE(runner.Dialogs().Confirm("x", "y"));
  EXPECT_TRUE(dialogs.Questions().empty());
}

TEST(FileOperationsRunnerTest, AQuestionHidesTheShownProgressUntilItIsAnswered) {
  QWidget window;
  TWatchedDialogs dialogs;
  TFileOpRunner runner(dialogs, &window);
  runner.SetDelay(0);
  std::atomic<bool> shown{false};
  QObject::connect(&runner, &TFileOpRunner::ProgressShown, [&] { shown = true; });
  const auto visible = [&] {
    bool v = false;
    QMetaObject::invokeMethod(&runner, [&] { v = runner.ProgressDialog() && runner.ProgressDialog()->isVisible(); },
                              Qt::BlockingQueuedConnection);
    return v;
  };
  bool before = false, during = true, after = false, answered = false;
  dialogs.onQuestion = [&] { during = runner.ProgressDialog()->isVisible(); };
  dialogs.Answer("ok");
  runner.Run(QStringLiteral("t"), [&] {
    while (!shown) QThread::msleep(5);
    before = visible();
    answered = runner.Dialogs().Confirm("caption", "text");
    after = visible();
    return true;
  }, [] {});
  EXPECT_TRUE(answered);
  EXPECT_TRUE(before);
  EXPECT_FALSE(during);
  EXPECT_TRUE(after);
}

}  // namespace
}  // namespace sorabu::app

namespace sorabu::app {
namespace {

// Answers as scripted, after running what the user does while the question is on screen.
class TBusyUserDialogs : public dialogs::TScriptedDialogs {
 public:
  std::function<void()> meanwhile;
  bool Confirm(const std::string& caption, const std::string& text) override {
    if (meanwhile) std::exchange(meanwhile, nullptr)();
    return TScriptedDialogs::Confirm(caption, text);
  }
};

// A delete waits for its confirmation while the user goes to another folder (with L and a
// folder name): what is deleted is what was selected when the delete was asked for, never the
// first item of the folder shown by then.
TEST(FileOperationsOrderTest, ADeleteRemovesWhatWasSelectedWhenItWasAsked) {
  QTemporaryDir home, work, other;
  for (const auto& [dir, name] : {std::pair{&work, "x.txt"}, std::pair{&other, "keep.txt"}}) {
    QFile file(QDir(dir->path()).filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("bytes");
  }
  ASSERT_TRUE(QDir(other.path()).mkdir(QStringLiteral("bin")));
  for (const bool shift : {true, false}) {
    TBusyUserDialogs dialogs;
    TForm1 f(dialogs, QDir(home.path()).filePath("sorabu.ini").toStdString());
    f.FormCreate();
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    f.SetOption(Option::Mdialogdisp1, false);
    ASSERT_TRUE(f.GoToFolder(work.path()));
    ASSERT_GE(f.Selection().SelectByName(QStringLiteral("x.txt")), 0);
    dialogs.meanwhile = [&] {
      dialogs.Answer(Bytes(other.path()));
      f.FileView1KeyPress(QStringLiteral("L"));
    };
    dialogs.Answer("ok");
    if (shift) f.MydClick(); else f.MfiledeleteClick();
    EXPECT_TRUE(QFileInfo::exists(QDir(other.path()).filePath("bin"))) << shift;
    EXPECT_TRUE(QFileInfo::exists(QDir(other.path()).filePath("keep.txt"))) << shift;
    if (shift) EXPECT_FALSE(QFileInfo::exists(QDir(work.path()).filePath("x.txt")));
    QFile again(QDir(work.path()).filePath("x.txt"));
    if (!again.exists() && again.open(QIODevice::WriteOnly)) again.write("bytes");
  }
}

}  // namespace
}  // namespace sorabu::app

namespace sorabu::app {
namespace {

// While a command or a file operation works the list and the tree rest: a key sent to them then
// (a letter command, Delete) does nothing.
TEST(FileOperationsOrderTest, KeysToTheRestingListAndTreeDoNothing) {
  QTemporaryDir home, work;
  dialogs::TScriptedDialogs dialogs;
  TForm1 f(dialogs, QDir(home.path()).filePath("sorabu.ini").toStdString());
  f.FormCreate();
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  ASSERT_TRUE(f.GoToFolder(work.path()));
  for (QWidget* w : {static_cast<QWidget*>(f.FileView1()->CurrentView()), static_cast<QWidget*>(f.FolderView1())}) {
    w->setFocus();
    f.FileView1()->setEnabled(false);
    f.FolderView1()->setEnabled(false);
    QTest::keyClick(w, Qt::Key_L);
    QTest::keyClick(w, Qt::Key_Delete, Qt::ShiftModifier);
    f.FileView1()->setEnabled(true);
    f.FolderView1()->setEnabled(true);
    EXPECT_TRUE(dialogs.Questions().empty()) << w->objectName().toStdString();
  }
}

}  // namespace
}  // namespace sorabu::app
