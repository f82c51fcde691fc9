// Sequences of ordinary input that the monkey test (tests/monkey, scripts/monkey) found to break
// the window, each cut down to the few steps that matter. Some of them show only under the
// address sanitizer (a use after free reads memory that is still mapped); scripts/monkey builds
// with it.
#include <gtest/gtest.h>

#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include <QAbstractItemView>
#include <QDir>
#include <QTreeWidgetItemIterator>
#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextDocument>
#include <QTest>

#include "app/browser_selection.h"
#include "browser/file_view.h"
#include "browser/folder_view.h"
#include "tests/app/window_fixture.h"
#include "textconv/cp932.h"
#include "textconv/unicode_text.h"
#include "viewer/display.h"
#include "viewer/text_pane.h"

namespace sorabu::app {
namespace {

class RandomInputTest : public MainWindowTest {
 protected:
  static void ClickRow(TForm1& f, const QString& name) {
    QAbstractItemView* view = f.FileView1()->CurrentView();
    for (int r = 0; r < f.FileView1()->RowCount(); ++r)
      if (f.FileView1()->Row(r).name == name) {
        const QModelIndex index = f.FileView1()->Model()->index(r, 0);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->visualRect(index).center());
        QApplication::processEvents();
        return;
      }
    ADD_FAILURE() << "no row " << name.toStdString();
  }
};

// The pane went back to Shift-JIS while its view still read the UTF-8 text it had just let go.
TEST_F(RandomInputTest, LeavingAUtf8TextForAnotherFileReadsNothingFreed) {
  std::string utf8;
  for (int i = 0; i < 40; ++i) utf8 += "吾輩は猫である。名前はまだ無い。\n";
  MakeFile(QStringLiteral("u.txt"), utf8);
  MakeFile(QStringLiteral("v.txt"), "second\r\n");
  TForm1& f = StartInFolder();
  ClickRow(f, QStringLiteral("u.txt"));
  f.Viewer().LoadWholeFile();  // V
  ASSERT_EQ(f.RichEdit1()->TextForm(), textconv::TextForm::Utf8);
  // The caret in the middle of the text, where the step back looks at the bytes.
  f.RichEdit1()->setFocus();
  for (int i = 0; i < 5; ++i) QTest::keyClick(f.RichEdit1(), Qt::Key_Down);
  QTest::keyClick(f.RichEdit1(), Qt::Key_End);
  ClickRow(f, QStringLiteral("v.txt"));
  EXPECT_EQ(f.RichEdit1()->TextForm(), textconv::TextForm::Cp932);
  EXPECT_EQ(f.RichEdit1()->FirstLineBytes(), "second");
}

double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The editor lays a line out whole: for a line of megabytes that held the window's thread for
// many seconds (the copy of the line, and taking the text into the editor at all). Such a text
// stays in the byte view, which paints long lines up to its cap, and the edit is refused with a
// message; a text whose lines are all shorter is still edited.
TEST_F(RandomInputTest, ALineOfMegabytesIsNotTakenIntoTheEditor) {
  std::string huge;
  while (huge.size() < (3u << 20)) huge += "\x8c\x61\x94\x79\x82\xcd\x94\x4c\x82\xc5\x82\xa0\x82\xe9";  // 吾輩は猫である
  MakeFile(QStringLiteral("huge.txt"), huge);
  MakeFile(QStringLiteral("edge.txt"), std::string(viewer::TTextPane::kEditableLineBytes, 'a') + "\r\nb\r\n");
  TForm1& f = StartInFolder();
  ClickRow(f, QStringLiteral("huge.txt"));
  f.Viewer().LoadWholeFile();  // V
  f.Action("ToolButton7")->trigger();  // 簡易編集
  // The window thread's own processor time per turn: what a loaded machine adds is waiting, not work.
  QElapsedTimer all;
  all.start();
  double start = ThreadCpuMs();
  f.Action("Mupperlinecopy1")->trigger();
  double longest = ThreadCpuMs() - start;
  while (all.elapsed() < 1000) {
    start = ThreadCpuMs();
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    longest = std::max(longest, ThreadCpuMs() - start);
  }
  EXPECT_LT(longest, 1000) << "the window's thread worked for " << longest << " ms in one turn";
  EXPECT_TRUE(f.RichEdit1()->ShowsBytes());
  EXPECT_FALSE(f.RichEdit1()->PreparingEdit());
  EXPECT_EQ(f.RichEdit1()->FirstLineBytes().size(), huge.size());
  ASSERT_EQ(dialogs_.Messages().size(), 1u);
  EXPECT_EQ(dialogs_.Messages()[0].text, textconv::Utf8ToCp932("64KBを超える行があるため、このテキストは簡易編集できません。"));

  ClickRow(f, QStringLiteral("edge.txt"));
  f.Viewer().LoadWholeFile();
  f.Action("Mupperlinecopy1")->trigger();
  EXPECT_FALSE(f.RichEdit1()->ShowsBytes());
  EXPECT_EQ(f.RichEdit1()->document()->blockCount(), 4);
  EXPECT_EQ(dialogs_.Messages().size(), 1u);
  f.Viewer().DiscardEdits();
}

// '*' in the tree opened the folders below for ever when one of them held a link back to its
// parent (Qt's own walk went on into what each opening read); below a drive it read the whole disk.
TEST_F(RandomInputTest, StarInTheTreeOpensEachFolderBelowOnceAndNotWithoutEnd) {
  QDir top(dir_.path());
  ASSERT_TRUE(top.mkpath(QStringLiteral("a/b/c")));
  ASSERT_EQ(::symlink("..", QFile::encodeName(top.filePath(QStringLiteral("a/up"))).constData()), 0);
  for (int i = 0; i < 150; ++i) ASSERT_TRUE(top.mkpath(QStringLiteral("many/f%1").arg(i, 3, 10, QLatin1Char('0'))));
  TForm1& f = StartInFolder();
  browser::TFolderView* tree = f.FolderView1();
  QTreeWidgetItem* node = tree->FindNode(dir_.path());
  ASSERT_NE(node, nullptr);
  tree->setCurrentItem(node);
  tree->setFocus();
  QElapsedTimer clock;
  clock.start();
  QTest::keyClick(tree, Qt::Key_Asterisk);
  EXPECT_LT(clock.elapsed(), 10000);
  ASSERT_NE(tree->FindNode(top.filePath(QStringLiteral("a/b/c"))), nullptr) << "read down to the last level";
  for (const char* open : {"a", "a/b", "many"}) {
    QTreeWidgetItem* n = tree->FindNode(top.filePath(QString::fromLatin1(open)));
    ASSERT_NE(n, nullptr) << open;
    EXPECT_TRUE(n->isExpanded()) << open;
  }
  QTreeWidgetItem* up = tree->FindNode(top.filePath(QStringLiteral("a/up")));
  ASSERT_NE(up, nullptr);
  EXPECT_FALSE(up->isExpanded()) << "the link back is not opened round again";
  int expanded = 0;
  for (QTreeWidgetItemIterator it(node); *it; ++it) expanded += (*it)->isExpanded() ? 1 : 0;
  EXPECT_LE(expanded, browser::TFolderView::kExpandAllFolders);
  EXPECT_GE(expanded, 6);
}

// Saving the names of the list into a named pipe waited for a reader, and the window stood still.
TEST_F(RandomInputTest, NamesAreNeverSavedIntoANamedPipe) {
  MakeFile(QStringLiteral("a.txt"), "a\r\n");
  const QByteArray pipe = QFile::encodeName(dir_.filePath(QStringLiteral("pipe")));
  ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0);
  // A reader keeps the test from waiting too, should the window open the pipe after all.
  const int reader = ::open(pipe.constData(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  TForm1& f = StartInFolder();
  dialogs_.Answer(pipe.toStdString());
  f.Action("Msavename")->trigger();
  char buffer[256];
  EXPECT_LE(::read(reader, buffer, sizeof buffer), 0) << "names were written into the pipe";
  ::close(reader);
  ASSERT_FALSE(dialogs_.Messages().empty());
  EXPECT_NE(dialogs_.Messages().back().text.find(textconv::Utf8ToCp932("名前付きパイプ")), std::string::npos);
  struct stat st {};
  ASSERT_EQ(::lstat(pipe.constData(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

}  // namespace
}  // namespace sorabu::app
