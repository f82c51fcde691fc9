// A day of ordinary work in the window, in the order of events that used to betray the user: a
// dialog opened with Ctrl and then a click, a FIFO arrowed onto, a folder changed by another
// program, an edit and then a move.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "app/browser_selection.h"
#include "browser/file_view.h"
#include "tests/app/window_fixture.h"
#include "textconv/cp932.h"
#include "viewer/display.h"
#include "viewer/text_pane.h"

namespace sorabu::app {
namespace {

std::string C(const char* utf8) { return textconv::Utf8ToCp932(utf8); }

class DailyUseTest : public MainWindowTest {
 protected:
  static int RowOf(TForm1& f, const QString& name) {
    for (int r = 0; r < f.FileView1()->RowCount(); ++r)
      if (f.FileView1()->Row(r).name == name) return r;
    return -1;
  }
  // A real click on the row, as the user gives it.
  static void ClickRow(TForm1& f, const QString& name, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QAbstractItemView* view = f.FileView1()->CurrentView();
    const int row = RowOf(f, name);
    ASSERT_GE(row, 0) << name.toStdString();
    const QModelIndex index = f.FileView1()->Model()->index(row, 0);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, mods, view->visualRect(index).center());
    QApplication::processEvents();
  }
  static QString Info(TForm1& f) { return f.LFilestring()->text(); }
};

TEST_F(DailyUseTest, AfterCtrlFOrCtrlRAClickShowsTheClickedFile) {
  MakeFile(QStringLiteral("a.txt"), "first\r\n");
  MakeFile(QStringLiteral("b.txt"), "second\r\n");
  MakeFile(QStringLiteral("c.txt"), "third\r\n");
  TForm1& f = StartInFolder();
  ClickRow(f, QStringLiteral("a.txt"));
  ASSERT_EQ(f.RichEdit1()->FirstLineBytes(), "first");
  const struct {
    Qt::Key key;
    QString next;
    std::string shown;
  } steps[] = {{Qt::Key_F, QStringLiteral("b.txt"), "second"}, {Qt::Key_R, QStringLiteral("c.txt"), "third"}};
  for (const auto& step : steps) {
    QWidget* list = f.FileView1()->CurrentView();
    list->setFocus();
    // Ctrl goes down on the list; the dialog the shortcut opens (answered Cancel here) takes the
    // release of Ctrl, so the list never sees it.
    QTest::keyPress(list, Qt::Key_Control, Qt::ControlModifier);
    QTest::keyPress(list, step.key, Qt::ControlModifier);
    QApplication::processEvents();
    ClickRow(f, step.next);
    EXPECT_EQ(f.RichEdit1()->FirstLineBytes(), step.shown) << "after Ctrl+" << QTest::toString(step.key);
    EXPECT_TRUE(Info(f).startsWith(step.next)) << Info(f).toStdString();
  }
  // A Ctrl+click still only adds to the selection, as it always did.
  ClickRow(f, QStringLiteral("a.txt"), Qt::ControlModifier);
  EXPECT_EQ(f.RichEdit1()->FirstLineBytes(), "");
}

// Nothing that is not a regular file is ever opened: the window would wait for a writer.
TEST_F(DailyUseTest, FifosSocketsAndDevicesAreNamedNotOpened) {
  ASSERT_EQ(::mkfifo(QFile::encodeName(dir_.filePath(QStringLiteral("fifo.pipe"))).constData(), 0600), 0);
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(sock, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const QByteArray sockPath = QFile::encodeName(dir_.filePath(QStringLiteral("s.sock")));
  ASSERT_LT(static_cast<std::size_t>(sockPath.size()), sizeof addr.sun_path);
  std::memcpy(addr.sun_path, sockPath.constData(), static_cast<std::size_t>(sockPath.size()));
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(dir_.filePath(QStringLiteral("zero.dev"))).constData()), 0);
  MakeFile(QStringLiteral("plain.txt"), "text\r\n");
  // A FIFO named like an archive must not be opened for its listing either.
  ASSERT_EQ(::mkfifo(QFile::encodeName(dir_.filePath(QStringLiteral("x.lzh"))).constData(), 0600), 0);
  TForm1& f = StartInFolder();
  f.SetOption(Option::Mlhashow, true);
  const struct {
    const char* name;
    const char* kind;
  } cases[] = {{"fifo.pipe", "名前付きパイプ"}, {"s.sock", "ソケット"}, {"zero.dev", "デバイス"}, {"x.lzh", "名前付きパイプ"}};
  for (const auto& c : cases) {
    ClickRow(f, QString::fromUtf8(c.name));
    EXPECT_TRUE(Info(f).contains(QString::fromUtf8(c.kind))) << c.name << ": " << Info(f).toStdString();
    EXPECT_TRUE(f.RichEdit1()->IsEmptyText()) << c.name;
    f.Viewer().LoadWholeFile();  // V
    EXPECT_TRUE(f.RichEdit1()->IsEmptyText()) << c.name;
    EXPECT_TRUE(Info(f).contains(QString::fromUtf8(c.kind))) << c.name;
    QSignalSpy done(&f, &TForm1::FileCommandDone);
    f.RunFileCommand("MlinenoaddLeft1Click");
    if (f.FileCommandRunning() && done.isEmpty()) EXPECT_TRUE(done.wait(10000)) << c.name;
  }
  ClickRow(f, QStringLiteral("plain.txt"));
  EXPECT_EQ(f.RichEdit1()->FirstLineBytes(), "text");
  struct stat st {};
  ASSERT_EQ(::lstat(QFile::encodeName(dir_.filePath(QStringLiteral("fifo.pipe"))).constData(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the FIFO is left as it was";
  ::close(sock);
}

// Unsaved edits: every way of replacing the pane asks first, and キャンセル keeps everything.
class UnsavedEditsTest : public DailyUseTest {
 protected:
  TForm1& StartEdited() {
    MakeFile(QStringLiteral("a.txt"), "alpha\r\n");
    MakeFile(QStringLiteral("b.txt"), "beta\r\n");
    QDir(dir_.path()).mkdir(QStringLiteral("sub"));
    MakeFile(QStringLiteral("sub/c.txt"), "gamma\r\n");
    TForm1& f = StartInFolder();
    ClickRow(f, QStringLiteral("a.txt"));
    f.Action("ToolButton7")->trigger();  // 簡易編集
    viewer::TTextPane* pane = f.RichEdit1();
    pane->setFocus();
    pane->SetCaretToStart();
    QTest::keyClicks(pane, QStringLiteral("x"));
    EXPECT_TRUE(f.Viewer().Edited());
    EXPECT_EQ(pane->FirstLineBytes(), "xalpha");
    return f;
  }
  int Asked() const {
    int n = 0;
    for (const std::string& q : dialogs_.Offered())
      if (q == C("変更を保存しますか?")) ++n;
    return n;
  }
  void ExpectKept(TForm1& f, const char* what) {
    QApplication::processEvents();
    EXPECT_EQ(f.RichEdit1()->FirstLineBytes(), "xalpha") << what;
    EXPECT_TRUE(f.Viewer().Edited()) << what;
    EXPECT_EQ(f.Selection().SelectedPath(), dir_.filePath(QStringLiteral("a.txt"))) << what;
    EXPECT_EQ(ReadFile("a.txt"), "alpha\r\n") << what;
  }
  std::string ReadFile(const char* name) {
    QFile in(dir_.filePath(QString::fromUtf8(name)));
    in.open(QIODevice::ReadOnly);
    return in.readAll().toStdString();
  }
};

TEST_F(UnsavedEditsTest, CancelKeepsTheEditsWhateverWouldHaveReplacedThem) {
  TForm1& f = StartEdited();
  int asked = 0;
  ClickRow(f, QStringLiteral("b.txt"));
  EXPECT_EQ(Asked(), ++asked);
  ExpectKept(f, "another file clicked");

  f.Viewer().LoadWholeFile();
  EXPECT_EQ(Asked(), ++asked);
  ExpectKept(f, "V");

  f.GoToFolder(dir_.filePath(QStringLiteral("sub")));
  EXPECT_EQ(Asked(), ++asked);
  ExpectKept(f, "another folder");
  EXPECT_EQ(f.FileView1()->Folder(), dir_.path());

  f.RunFileCommand("MlinenoaddLeft1Click");
  EXPECT_EQ(Asked(), ++asked);
  ExpectKept(f, "a file command");
  EXPECT_FALSE(f.FileCommandRunning());

  f.MgrepClick();
  EXPECT_EQ(Asked(), ++asked);
  ExpectKept(f, "Grep");

  f.MrefreshClick();
  EXPECT_EQ(Asked(), ++asked);
  ExpectKept(f, "N");

  // Esc in the list ends the program: it too asks, and Cancel keeps the window open.
  QWidget* list = f.FileView1()->CurrentView();
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Escape);
  EXPECT_EQ(Asked(), ++asked);
  EXPECT_TRUE(f.isVisible());
  ExpectKept(f, "Esc");

  // 保存しない lets the change go on and asks no more.
  dialogs_.Answer("discard");
  ClickRow(f, QStringLiteral("b.txt"));
  EXPECT_EQ(Asked(), ++asked);
  EXPECT_EQ(f.RichEdit1()->FirstLineBytes(), "beta");
  EXPECT_FALSE(f.Viewer().Edited());
  EXPECT_EQ(ReadFile("a.txt"), "alpha\r\n");
  ClickRow(f, QStringLiteral("a.txt"));
  EXPECT_EQ(Asked(), asked);
}

TEST_F(UnsavedEditsTest, SaveWritesTheEditedFileThenMovesOn) {
  TForm1& f = StartEdited();
  dialogs_.Answer("save");
  ClickRow(f, QStringLiteral("b.txt"));
  EXPECT_EQ(Asked(), 1);
  EXPECT_EQ(ReadFile("a.txt"), "xalpha\r\n");
  EXPECT_EQ(f.RichEdit1()->FirstLineBytes(), "beta");
  EXPECT_FALSE(f.Viewer().Edited());

  // Closing with edits: 保存 saves, and the window closes.
  ClickRow(f, QStringLiteral("a.txt"));
  f.RichEdit1()->setFocus();
  f.RichEdit1()->SetCaretToStart();
  QTest::keyClicks(f.RichEdit1(), QStringLiteral("y"));
  dialogs_.Answer("save");
  EXPECT_TRUE(f.close());
  EXPECT_EQ(ReadFile("a.txt"), "yxalpha\r\n");
}

TEST_F(UnsavedEditsTest, MovingThroughAnUneditedFolderAsksNothing) {
  MakeFile(QStringLiteral("a.txt"), "alpha\r\n");
  MakeFile(QStringLiteral("b.txt"), "beta\r\n");
  TForm1& f = StartInFolder();
  ClickRow(f, QStringLiteral("a.txt"));
  ClickRow(f, QStringLiteral("b.txt"));
  f.Viewer().LoadWholeFile();
  EXPECT_EQ(Asked(), 0);
  EXPECT_EQ(f.RichEdit1()->FirstLineBytes(), "beta");
}

// Another program changes the folder while the user looks at it.
TEST_F(DailyUseTest, TheViewsFollowWhatOtherProgramsDo) {
  MakeFile(QStringLiteral("a.txt"), "alpha\r\n");
  MakeFile(QStringLiteral("b.txt"), "beta\r\n");
  TForm1& f = StartInFolder();
  ClickRow(f, QStringLiteral("b.txt"));
  ASSERT_EQ(f.RichEdit1()->FirstLineBytes(), "beta");

  // A file and a folder made outside appear; the selection and the pane stay.
  MakeFile(QStringLiteral("new.txt"), "new\r\n");
  ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("made")));
  EXPECT_TRUE(QTest::qWaitFor([&] { return RowOf(f, QStringLiteral("new.txt")) >= 0 && RowOf(f, QStringLiteral("made")) >= 0; }, 3000));
  EXPECT_EQ(f.Selection().SelectedPath(), dir_.filePath(QStringLiteral("b.txt")));
  EXPECT_EQ(f.RichEdit1()->FirstLineBytes(), "beta");
  EXPECT_TRUE(Info(f).startsWith(QStringLiteral("b.txt")));

  // The new folder can be entered at once, and shows what is made in it.
  f.Selection().SelectByName(QStringLiteral("made"));
  QWidget* list = f.FileView1()->CurrentView();
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(QDir::cleanPath(f.FileView1()->Folder()), QDir::cleanPath(dir_.filePath(QStringLiteral("made"))));
  MakeFile(QStringLiteral("made/inner.txt"), "inner\r\n");
  EXPECT_TRUE(QTest::qWaitFor([&] { return RowOf(f, QStringLiteral("inner.txt")) >= 0; }, 3000));
  f.GoToFolder(dir_.path());

  // The shown file removed outside: the pane and the information line no longer name it.
  ClickRow(f, QStringLiteral("a.txt"));
  ASSERT_EQ(f.RichEdit1()->FirstLineBytes(), "alpha");
  ASSERT_TRUE(QFile::remove(dir_.filePath(QStringLiteral("a.txt"))));
  EXPECT_TRUE(QTest::qWaitFor([&] { return RowOf(f, QStringLiteral("a.txt")) < 0; }, 3000));
  EXPECT_TRUE(f.RichEdit1()->IsEmptyText());
  EXPECT_FALSE(Info(f).contains(QStringLiteral("a.txt"))) << Info(f).toStdString();
}

TEST_F(DailyUseTest, ThePaneIsNeverLeftOnAFileThatIsGone) {
  MakeFile(QStringLiteral("a.txt"), "alpha\r\n");
  MakeFile(QStringLiteral("m.txt"), "move me\r\n");
  MakeFile(QStringLiteral("k.dat"), "kept\r\n");
  QDir(dir_.path()).mkdir(QStringLiteral("sub"));
  TForm1& f = StartInFolder();
  f.SetOption(Option::Mdialogdisp1, false);

  // Shift+Delete of the shown file.
  ClickRow(f, QStringLiteral("a.txt"));
  ASSERT_EQ(f.RichEdit1()->FirstLineBytes(), "alpha");
  dialogs_.Answer("ok");
  f.MydClick();
  ASSERT_FALSE(QFileInfo::exists(dir_.filePath(QStringLiteral("a.txt"))));
  EXPECT_NE(f.RichEdit1()->FirstLineBytes(), "alpha");
  EXPECT_FALSE(Info(f).startsWith(QStringLiteral("a.txt"))) << Info(f).toStdString();

  // A move of the shown file elsewhere.
  ClickRow(f, QStringLiteral("m.txt"));
  dialogs_.Answer(QFile::encodeName(dir_.filePath(QStringLiteral("sub"))).toStdString());
  f.MfilemoveClick();
  ASSERT_FALSE(QFileInfo::exists(dir_.filePath(QStringLiteral("m.txt"))));
  EXPECT_NE(f.RichEdit1()->FirstLineBytes(), "move me");
  EXPECT_FALSE(Info(f).startsWith(QStringLiteral("m.txt"))) << Info(f).toStdString();

  // A mask that hides the shown file.
  ClickRow(f, QStringLiteral("k.dat"));
  ASSERT_EQ(f.RichEdit1()->FirstLineBytes(), "kept");
  dialogs_.Answer("txt");
  f.MextClick();
  EXPECT_LT(RowOf(f, QStringLiteral("k.dat")), 0);
  EXPECT_TRUE(f.RichEdit1()->IsEmptyText());
  EXPECT_FALSE(Info(f).contains(QStringLiteral("k.dat"))) << Info(f).toStdString();
}

// A command that keeps its working copy: the ".org" is listed as soon as the command is done.
TEST_F(DailyUseTest, AKeptWorkingCopyIsListedAtOnce) {
  MakeFile(QStringLiteral("w.txt"), "a\r\nb\r\n");
  TForm1& f = StartInFolder();
  f.SetOption(Option::Mbackup1, true);
  ClickRow(f, QStringLiteral("w.txt"));
  QSignalSpy done(&f, &TForm1::FileCommandDone);
  f.RunFileCommand("MlinenoaddLeft1Click");
  if (done.isEmpty()) ASSERT_TRUE(done.wait(10000));
  EXPECT_GE(RowOf(f, QStringLiteral("w.org")), 0);
  EXPECT_EQ(f.RichEdit1()->FirstLineBytes(), "1 a");
}

}  // namespace
}  // namespace sorabu::app
