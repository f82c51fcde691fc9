// Sequences of ordinary input that the monkey test (tests/monkey, scripts/monkey) found to break
// the window, each cut down to the few steps that matter. Some of them show only under the
// address sanitizer (a use after free reads memory that is still mapped); scripts/monkey builds
// with it.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QTest>

#include "app/browser_selection.h"
#include "browser/file_view.h"
#include "tests/app/window_fixture.h"
#include "textconv/unicode_text.h"
#include "viewer/display.h"
#include "viewer/text_pane.h"

namespace sorabu::app {
namespace {

class RandomInputTest : public MainWindowTest {
 protected:
  TForm1& StartIn() {
    TForm1& f = Start();
    f.GoToFolder(dir_.path());
    f.MrefreshClick();
    return f;
  }
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
  TForm1& f = StartIn();
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

}  // namespace
}  // namespace sorabu::app
