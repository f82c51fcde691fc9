// Page rectangle, margin ranges, paper label and the layout of text into pages, printed to PDF.
#include "viewer/printing.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <climits>
#include <map>

#include "textconv/cp932.h"

namespace sorabu::viewer {

// Counts the page objects of a PDF file written by the printer.
int PdfPageCount(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return -1;
  const QString text = QString::fromLatin1(f.readAll());
  return static_cast<int>(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

namespace {

// 600 dpi across, 300 down; a 100-pixel strip at the left, 40 at the right, 30 at the top and
// 60 at the bottom of a 4960 × 1754 pixel sheet.
PrinterMetrics Uneven() {
  PrinterMetrics p;
  p.dpiX = 600;
  p.dpiY = 300;
  p.offX = 100;
  p.offY = 30;
  p.physW = 4960;
  p.physH = 1754;
  p.width = 4960 - 100 - 40;
  p.height = 1754 - 30 - 60;
  return p;
}

TEST(PrintMarginTest, RoundsHalvesToEvenAndFollowsEachAxissResolution) {
  EXPECT_EQ(Nearest(2.5), 2);
  EXPECT_EQ(Nearest(3.5), 4);
  EXPECT_EQ(Nearest(-2.5), -2);
  EXPECT_EQ(Nearest(-3.5), -4);
  EXPECT_EQ(Nearest(135.5000001), 136);
  EXPECT_EQ(Nearest(1e30), INT_MAX);

  const PrinterMetrics p = Uneven();
  // 10 mm at 600 dpi is 236.22 pixels; less the 100-pixel strip, 136.
  EXPECT_EQ(PageRectFromMargins({0, 10, 0, 0}, p).left, 136);
  // 10 mm down at 300 dpi is 118.11; less 30, 88 (not 206, which 600 dpi would give).
  EXPECT_EQ(PageRectFromMargins({10, 0, 0, 0}, p).top, 88);
  // Right: W − (10 mm − 40) = 4820 − 196.22 → 4624; bottom: H − (10 mm at 300 − 60) = 1664 − 58.11 → 1606.
  const PageRect r = PageRectFromMargins({10, 10, 10, 10}, p);
  EXPECT_EQ(r, (PageRect{136, 88, 4624, 1606}));
  // The divisor is 25.39999, not 25.4: 9999 mm at 2400 dpi is 944787.77 pixels (25.4 gives .40).
  PrinterMetrics fine = p;
  fine.dpiX = 2400;
  fine.offX = 0;
  EXPECT_EQ(PageRectFromMargins({0, 9999, 0, 0}, fine).left, 944788);

  // Margins inside the unprintable strips: left and top clamp to 0; the right and bottom edges
  // reach past the printable area by the strips (the text is kept inside it by PrintArea).
  EXPECT_EQ(PageRectFromMargins({}, p), (PageRect{0, 0, p.width + 40, p.height + 60}));
  // An edge that would fall below 0 becomes the printable size.
  const PageRect huge = PageRectFromMargins({9999, 0, 9999, 9999}, p);
  EXPECT_EQ(huge.right, p.width);
  EXPECT_EQ(huge.bottom, p.height);
}

TEST(PrintMarginTest, StoredTextsThatAreNotNumbersCountAsZero) {
  EXPECT_EQ(MarginValue("12"), 12);
  EXPECT_EQ(MarginValue(" 7 "), 7);
  EXPECT_EQ(MarginValue("-3"), -3);
  for (const char* bad : {"", "abc", "12mm", "1.5", "0x10"}) EXPECT_EQ(MarginValue(bad), 0) << bad;
  EXPECT_EQ(MarginValue("99999999999999999999"), 0);  // not representable: not a number
  EXPECT_EQ(MarginValue("5000000"), 1000000);
}

TEST(PrintMarginTest, RangesUseTheirAxisAndOutOfRangeFallsToTheMinimum) {
  const MarginRanges r = RangesOf(Uneven());
  // left: 100/600 in → 4.23 mm; (100 + 4820)/600 in → 208.28 mm.
  EXPECT_EQ(r.left, (MarginRange{4, 208}));
  // top: 30/300 in → 2.54; (30 + 1664)/300 in → 143.42.
  EXPECT_EQ(r.top, (MarginRange{3, 143}));
  // right: 40/600 in → 1.69; 4820/600 in → 204.05.
  EXPECT_EQ(r.right, (MarginRange{2, 204}));
  // bottom: 60/300 in → 5.08; 1664/300 in → 140.89.
  EXPECT_EQ(r.bottom, (MarginRange{5, 141}));

  EXPECT_EQ(FitMargin(10, r.left), 10);
  EXPECT_EQ(FitMargin(4, r.left), 4);
  EXPECT_EQ(FitMargin(208, r.left), 208);
  EXPECT_EQ(FitMargin(209, r.left), 4);
  EXPECT_EQ(FitMargin(0, r.bottom), 5);
  const PrintMargins fitted = FitMargins({0, 300, 20, 1}, r);
  EXPECT_EQ(fitted.top, 3);
  EXPECT_EQ(fitted.left, 4);
  EXPECT_EQ(fitted.bottom, 20);
  EXPECT_EQ(fitted.right, 2);

  PrinterMetrics none;
  EXPECT_EQ(RangesOf(none).left, (MarginRange{0, 0}));  // no resolution: no division by zero
}

TEST(PrintAreaTest, GoesThroughTwipsAndStaysOnThePrintablePage) {
  const PrinterMetrics p = Uneven();
  // 136 px at 600 dpi → 326 twips (326.4 truncated); 4624 → 11097; 88 at 300 → 422; 1606 → 7708.
  EXPECT_EQ(ToTwips({136, 88, 4624, 1606}, p), (PageRect{326, 422, 11097, 7708}));
  // And back to the nearest pixel: 326 twips = 135.83 px → 136.
  EXPECT_EQ(PrintArea({136, 88, 4624, 1606}, p), QRect(QPoint(136, 88), QPoint(4623, 1605)));
  EXPECT_EQ(PrintArea({}, p), QRect(0, 0, p.width, p.height));
  // Edges past the printable area are held to it; crossed edges give the whole page.
  EXPECT_EQ(PrintArea({0, 0, p.width + 40, p.height + 60}, p), QRect(0, 0, p.width, p.height));
  EXPECT_EQ(PrintArea({3000, 0, 2000, 100}, p), QRect(0, 0, p.width, p.height));
}

TEST(PaperTest, NamesByCodeAndLabelFallsBackToTheScreenResolution) {
  EXPECT_EQ(PaperName(9), "A4");
  EXPECT_EQ(PaperName(1), "\xDA\xC0\xB0");  // half-width katakana, CP932
  EXPECT_EQ(PaperName(16), textconv::Utf8ToCp932("10x14 ｲﾝﾁ"));
  EXPECT_EQ(PaperName(29), "Envelope C3  324 x 458 mm");
  EXPECT_EQ(PaperName(41), "German Legal Fanfold 8 1/2 x 13 in");
  EXPECT_EQ(PaperName(118), "dmPaper_Fanfold_Lgl_German");
  for (int code : {0, -1, 42, 117, 119}) EXPECT_EQ(PaperName(code), "") << code;

  PrinterMetrics a4;
  a4.dpiX = a4.dpiY = 600;
  a4.physW = 4960;  // 209.97 mm
  a4.physH = 7016;  // 297.01 mm
  EXPECT_EQ(PaperLabel(9, a4, 96), "A4 210x297");
  PrinterMetrics noY = a4;
  noY.dpiY = 0;  // both divide by the screen's 96: 1312.3 and 1856.3 mm
  EXPECT_EQ(PaperLabel(9, noY, 96), "A4 1312x1856");
  PrinterMetrics noX = a4;
  noX.dpiX = 0;
  noX.dpiY = 300;  // the width by 300 too: 419.94 mm
  EXPECT_EQ(PaperLabel(0, noX, 96), " 420x594");

  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageSize(QPageSize(QPageSize::A4));
  EXPECT_EQ(PaperCode(printer), 9);
  printer.setPageSize(QPageSize(QPageSize::JisB5));
  EXPECT_EQ(PaperCode(printer), 13);
  printer.setPageSize(QPageSize(QPageSize::Letter));
  EXPECT_EQ(PaperCode(printer), 1);
}

TEST(PrintLinesTest, SplitsAtEveryLineEndAndDecodesCp932) {
  const QStringList lines = PrintLines(textconv::Utf8ToCp932("あ\r\nい\rう\nえ\r\n\r\nお"));
  EXPECT_EQ(lines, (QStringList{QStringLiteral("あ"), QStringLiteral("い"), QStringLiteral("う"),
                                QStringLiteral("え"), QString(), QStringLiteral("お")}));
  EXPECT_EQ(PrintLines("a\r\n"), QStringList{QStringLiteral("a")});
  EXPECT_TRUE(PrintLines("").isEmpty());
  // Bytes that are not CP932 still give lines (one character each where a table gap is).
  EXPECT_EQ(PrintLines("\x81\n\xff").size(), 2);
  // RTF: the text of the paragraphs, a line break inside one starting a new line.
  EXPECT_EQ(PrintLines("{\\rtf1 ab\\par cd\\line ef}", true),
            (QStringList{QStringLiteral("ab"), QStringLiteral("cd"), QStringLiteral("ef")}));
}

class PrintTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    printer_.setOutputFormat(QPrinter::PdfFormat);
    printer_.setResolution(300);
    printer_.setPageSize(QPageSize(QPageSize::A5));
    printer_.setPageMargins(QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);
    printer_.setOutputFileName(dir_.filePath(QStringLiteral("out.pdf")));
    font_ = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font_.setPointSize(10);
  }
  struct Result {
    int pages = 0;
    std::map<int, std::vector<QRectF>> boxes;  // by page
    std::vector<int> pagesDone;
  };
  Result Print(const QStringList& lines, const QRect& area) {
    Result result;
    PrintObserver observer;
    observer.pageDone = [&](int page) { result.pagesDone.push_back(page); };
    observer.linePlaced = [&](int page, const QRectF& box) { result.boxes[page].push_back(box); };
    result.pages = PrintText(printer_, {lines, font_, 8, area}, observer);
    return result;
  }

  QTemporaryDir dir_;
  QPrinter printer_{QPrinter::HighResolution};
  QFont font_;
};

TEST_F(PrintTextTest, FillsEachPageThenStartsTheNextAndWritesThatManyPages) {
  const PrinterMetrics m = MetricsOf(printer_);
  ASSERT_EQ(m.dpiX, 300);
  // Left 20 mm, top 30 mm, right and bottom 10 mm from the sheet's edges.
  const QRect area = PrintArea(PageRectFromMargins({30, 20, 10, 10}, m), m);
  EXPECT_EQ(area.left(), Nearest(20 / kPrintMmPerInch * 300 - m.offX));
  QStringList lines;
  for (int n = 1; n <= 250; ++n) lines << QStringLiteral("行 %1\tタブの後").arg(n);
  const Result r = Print(lines, area);

  ASSERT_FALSE(r.boxes.empty());
  const qreal h = r.boxes.at(1).front().height();
  const int perPage = static_cast<int>(area.height() / h);
  ASSERT_GT(perPage, 10);
  EXPECT_EQ(r.pages, (250 + perPage - 1) / perPage);
  EXPECT_GE(r.pages, 3);
  for (const auto& [page, boxes] : r.boxes) {
    EXPECT_EQ(static_cast<int>(boxes.size()), page < r.pages ? perPage : 250 - perPage * (r.pages - 1));
    EXPECT_DOUBLE_EQ(boxes.front().top(), area.top()) << page;  // each page starts at the top margin
    for (const QRectF& b : boxes) {
      EXPECT_EQ(b.left(), area.left());
      EXPECT_LE(b.bottom(), area.bottom() + 1.0);
    }
  }
  std::vector<int> expected;
  for (int p = 1; p <= r.pages; ++p) expected.push_back(p);
  EXPECT_EQ(r.pagesDone, expected);
  EXPECT_EQ(PdfPageCount(printer_.outputFileName()), r.pages);
}

TEST_F(PrintTextTest, WrapsALineWiderThanTheAreaAndPrintsEmptyTextOnOnePage) {
  const PrinterMetrics m = MetricsOf(printer_);
  const QRect area = PrintArea({}, m);
  const Result wide = Print({QString(3000, QLatin1Char('x'))}, area);
  ASSERT_GT(wide.boxes.at(1).size(), 5u);
  for (const QRectF& b : wide.boxes.at(1)) EXPECT_LE(b.right(), area.right() + 1.0);

  printer_.setOutputFileName(dir_.filePath(QStringLiteral("empty.pdf")));
  const Result empty = Print({}, area);
  EXPECT_EQ(empty.pages, 1);
  EXPECT_EQ(PdfPageCount(printer_.outputFileName()), 1);
}

TEST_F(PrintTextTest, ALineTallerThanTheAreaStillMovesOn) {
  const Result r = Print({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, QRect(0, 0, 400, 3));
  EXPECT_EQ(r.pages, 3);  // one line per page, never an endless run of empty pages
}

}  // namespace
}  // namespace sorabu::viewer
