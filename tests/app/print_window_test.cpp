// Printing from the window: its items and buttons, margins from the settings file, the margins
// dialog's answers and the printer dialog's Cancel, all printed to PDF in a temporary folder.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QFontMetricsF>
#include <QMenu>
#include <QPageLayout>
#include <QPrinter>
#include <QRegularExpression>
#include <QTimer>
#include <QToolBar>

#include "app/browser_selection.h"
#include "settings/ini_file.h"
#include "tests/support/preview_pages.h"
#include "textconv/cp932.h"
#include "viewer/printing.h"
#include "viewer/text_pane.h"
#include "window_fixture.h"

namespace sorabu::app {
namespace {

int PdfPages(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return -1;
  return static_cast<int>(QString::fromLatin1(f.readAll()).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

QStringList Names(const QList<QAction*>& actions) {
  QStringList names;
  for (QAction* a : actions) names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
  return names;
}

class PrintWindowTest : public MainWindowTest {
 protected:
  // An A5 sheet at 300 dpi into a PDF file; margins of the page layout make unprintable strips.
  QPrinter& PdfPrinter(TForm1& f, double stripMm = 0) {
    QPrinter& p = f.Printer();
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setResolution(300);
    p.setPageSize(QPageSize(QPageSize::A5));
    p.setPageMargins(QMarginsF(stripMm, stripMm, stripMm, stripMm), QPageLayout::Millimeter);
    p.setOutputFileName(Pdf());
    return p;
  }
  QString Pdf() const { return dir_.filePath(QStringLiteral("out.pdf")); }
  // Opens a file of `count` lines and shows all of them in the pane.
  void OpenLines(TForm1& f, int count) {
    std::string text;
    for (int n = 1; n <= count; ++n) text += "line " + std::to_string(n) + "\r\n";
    const QString path = MakeFile(QStringLiteral("t.txt"), text);
    f.MrefreshClick();
    f.OpenCommandLineFile({path});
    ASSERT_EQ(f.Selection().SelectedPath(), path);
    f.RichEdit1()->LoadBytes(text);
  }
  // The window with a PDF printer and a text of `lines` lines in the pane.
  TForm1& StartWithLines(int lines) {
    TForm1& f = Start();
    PdfPrinter(f);
    OpenLines(f, lines);
    return f;
  }
  std::string IniText() {
    QFile in(QString::fromStdString(IniPath()));
    in.open(QIODevice::ReadOnly);
    return in.readAll().toStdString();
  }
};

TEST_F(PrintWindowTest, ItemsSitBeforeExitAndButtonsLeadTheToolBar) {
  TForm1& f = Start();
  for (const auto& [menu, names] :
       {std::pair{"Mfile1", QStringList{"Mprint", "Mprintpreview", "Mprintset", "Mprinter1", "-", "Mexit1"}},
        std::pair{"Mfile2", QStringList{"Mprint1", "Mprintpreview1", "Mprintset1", "Mprinter2", "-", "Mexit2"}}}) {
    const QStringList all = Names(f.findChild<QMenu*>(QString::fromLatin1(menu))->actions());
    ASSERT_GE(all.size(), 8) << menu;
    EXPECT_EQ(all.mid(all.size() - 7), QStringList{"-"} + names) << all.join(' ').toStdString();
  }
  EXPECT_EQ(f.Action("Mprint")->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
  EXPECT_EQ(f.Action("Mprinter1")->text(), QStringLiteral("プリンタ設定(&T)..."));
  EXPECT_EQ(f.Action("Mprintpreview")->text(), QStringLiteral("印刷プレビュー(&V)"));
  EXPECT_EQ(Names(f.ToolBar1()->actions()).mid(0, 3), (QStringList{"ToolButton36", "ToolButton35", "ToolButton31"}));
  EXPECT_EQ(f.Action("ToolButton36")->toolTip(), QStringLiteral("印刷"));
  EXPECT_EQ(f.Action("ToolButton36")->statusTip(), QStringLiteral("印刷します。"));
  EXPECT_EQ(f.Action("ToolButton35")->toolTip(), QStringLiteral("印刷設定"));
  EXPECT_EQ(f.Action("ToolButton35")->statusTip(), QStringLiteral("印刷設定をします。"));
}

TEST_F(PrintWindowTest, PrintsTheWholePaneInsideTheStoredMargins) {
  WriteIni("[Print]\r\nYohaku_T=30\r\nYohaku_L=20\r\nYohaku_B=10\r\nYohaku_R=10\r\n");
  TForm1& f = Start();
  QPrinter& printer = PdfPrinter(f);
  // A5 as the printer holds it, 420 × 595 points: 1750 × 2479 pixels at 300 dpi, all printable.
  // 20 mm = 236.22, 30 mm = 354.33, 1750 − 118.11 = 1631.89, 2479 − 118.11 = 2360.89.
  f.LoadPrintMargins();
  EXPECT_EQ(f.PrintPageRect(), (viewer::PageRect{236, 354, 1632, 2361}));

  const qreal lineHeight = QFontMetricsF(f.RichEdit1()->font(), &printer).height();
  const int perPage = static_cast<int>((2361 - 354) / lineHeight);
  ASSERT_GT(perPage, 20);
  OpenLines(f, perPage * 4 + 1);
  dialogs_.Answer("ok");
  f.Action("ToolButton36")->trigger();
  EXPECT_EQ(dialogs_.Questions().back(), "print");
  EXPECT_EQ(PdfPages(Pdf()), 5);  // without the margins the same lines would take 4 pages
  EXPECT_EQ(printer.docName(), QStringLiteral("t.txt"));
  EXPECT_TRUE(dialogs_.Messages().empty());

  // A margin that is not a number counts as 0; all zero is the whole printable page.
  WriteIni("[Print]\r\nYohaku_T=x\r\nYohaku_L=\r\n");
  f.LoadPrintMargins();
  EXPECT_EQ(f.PrintPageRect(), (viewer::PageRect{0, 0, 1750, 2479}));
}

TEST_F(PrintWindowTest, CancelledPrinterDialogPrintsNothing) {
  WriteIni("[Print]\r\nYohaku_L=20\r\n");
  TForm1& f = StartWithLines(3);
  f.Action("Mprint1")->trigger();    // no answer: Cancel
  f.Action("Mprinter2")->trigger();  // setting up only, cancelled too
  EXPECT_EQ(dialogs_.Questions(), (std::vector<std::string>{"print", "printer setup"}));
  EXPECT_FALSE(QFile::exists(Pdf()));
  EXPECT_TRUE(f.PrintPageRect().IsNull());  // the margins were not even read

  f.Action("Mprintpreview")->trigger();  // the preview closed without printing
  EXPECT_FALSE(QFile::exists(Pdf()));
  dialogs_.Answer("print");
  f.Action("Mprintpreview1")->trigger();
  EXPECT_EQ(PdfPages(Pdf()), 1);
  EXPECT_EQ(f.PrintPageRect().left, 236);
}

TEST_F(PrintWindowTest, MarginsDialogOffersStoredValuesInRangeAndStoresItsAnswer) {
  // 5 mm strips, held as 14 points: 58 pixels at 300 dpi, so every minimum is 5 mm.
  WriteIni("[Print]\r\nYohaku_T=12\r\nYohaku_L=9999\r\nYohaku_B=abc\r\n");
  TForm1& f = Start();
  PdfPrinter(f, 5);
  const std::string before = IniText();
  f.Action("ToolButton35")->trigger();  // cancelled
  ASSERT_EQ(dialogs_.Offered().size(), 1u);
  // top 12 kept; bottom (not a number: 0) and left (above its maximum) fall to the minimum; the
  // missing right too. The paper: A5, 148 × 210 mm.
  EXPECT_EQ(dialogs_.Offered().back(), "12 5 5 5|A5 148x210");
  EXPECT_EQ(IniText(), before);
  // Opening applies the fields to the page rectangle: 12 mm is 141.73 − 58 pixels from the top.
  EXPECT_EQ(f.PrintPageRect().top, 84);

  dialogs_.Answer("20 3 10 7");  // bottom 3 is below its minimum
  f.Action("Mprintset1")->trigger();
  const settings::TIniFile ini(IniPath());
  EXPECT_EQ(ini.ReadString("Print", "Yohaku_T", ""), "20");
  EXPECT_EQ(ini.ReadString("Print", "Yohaku_B", ""), "5");
  EXPECT_EQ(ini.ReadString("Print", "Yohaku_L", ""), "10");
  EXPECT_EQ(ini.ReadString("Print", "Yohaku_R", ""), "7");
  // LoadPrintMargins ran after OK: 10 mm = 118.11 − 58 from the left.
  EXPECT_EQ(f.PrintPageRect().left, 60);
}

// Fixed faults.

// Found by the monkey (seed 77031, event 240,658): the preview drew every page of a long text
// without letting the window's events through, which held the window for seconds.
TEST_F(PrintWindowTest, ThePreviewLetsTheWindowPaintBetweenPages) {
  TForm1& f = StartWithLines(400);
  bool ran = false;
  QTimer::singleShot(0, &f, [&ran] { ran = true; });
  dialogs_.Answer("ok");
  f.Action("Mprintpreview")->trigger();
  EXPECT_EQ(dialogs_.Questions().back(), "print preview");
  EXPECT_TRUE(ran) << "the window's events waited for the whole preview";
  EXPECT_GT(PdfPages(Pdf()), 1);
}

// Found by the monkey (seeds 58117 and 7341): the end of a print, where Qt writes the PDF and its
// fonts in one step, held the window's thread for over two seconds. The pages are painted on a
// thread of their own now (scripts/tsan runs this test), the window's events go on meanwhile and
// the user's input waits for the end.
TEST_F(PrintWindowTest, PrintingRunsBesideTheWindowsThread) {
  TForm1& f = StartWithLines(400);
  bool ran = false;
  QTimer::singleShot(0, &f, [&ran] { ran = true; });
  dialogs_.Answer("ok");
  f.Action("Mprint")->trigger();
  EXPECT_EQ(dialogs_.Questions().back(), "print");
  EXPECT_TRUE(ran) << "the window's events waited for the whole print";
  EXPECT_GT(PdfPages(Pdf()), 1);
  EXPECT_TRUE(dialogs_.Messages().empty());
  // Done: a second print runs too.
  dialogs_.Answer("ok");
  f.Action("Mprint")->trigger();
  EXPECT_GT(PdfPages(Pdf()), 1);
}

// The preview widget frees the pages it shows when it records them again (turning the paper, a new
// page size) and shows the old ones until the new ones are in: an event let through meanwhile could
// paint freed pictures. Pictures are quick to record, so the preview records them in one go; only
// its print button paints a printer, and that runs beside the window's thread as printing does.
TEST_F(PrintWindowTest, ThePreviewRecordsItsPagesInOneGoAndPrintsBesideTheWindow) {
  TForm1& f = StartWithLines(400);
  int fired = 0;
  int pages = 0;
  int firedWhileRecording = -1;
  dialogs_.previewer = [&](QPrinter& printer, const std::function<void(QPrinter&)>& paint) {
    QTimer::singleShot(0, &f, [&fired] { ++fired; });
    pages = PreviewPages(printer, paint, /*turn=*/true, /*print=*/false);
    firedWhileRecording = fired;
  };
  dialogs_.Answer("ok");
  f.Action("Mprintpreview")->trigger();
  EXPECT_GT(pages, 1);
  EXPECT_EQ(firedWhileRecording, 0) << "events ran while the preview's pages were recorded";
  EXPECT_FALSE(QFile::exists(Pdf()));

  dialogs_.previewer = [&](QPrinter& printer, const std::function<void(QPrinter&)>& paint) {
    pages = PreviewPages(printer, paint, /*turn=*/false, /*print=*/true);
  };
  dialogs_.Answer("ok");
  f.Action("Mprintpreview1")->trigger();
  EXPECT_GT(fired, 0) << "the window's events waited for the print from the preview";
  EXPECT_EQ(PdfPages(Pdf()), pages);
  EXPECT_TRUE(dialogs_.Messages().empty());
}

}  // namespace
}  // namespace sorabu::app
