// Page rectangle, margin ranges, paper label and the layout of text into pages.
#include "viewer/printing.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QPrinter>
#include <QTemporaryDir>

#include <climits>
#include <map>

#include "textconv/cp932.h"

namespace sorabu::viewer {
namespace {

// 600 dpi across, 300 down; strips of 100 pixels left, 40 right, 30 top, 60 bottom.
PrinterMetrics Uneven() { return {600, 300, 100, 30, 4960, 1754, 4960 - 140, 1754 - 90}; }

TEST(PrintMarginTest, FormulaRoundsHalvesToEvenPerAxisAndClampsAtZero) {
  EXPECT_EQ(Nearest(2.5), 2);
  EXPECT_EQ(Nearest(3.5), 4);
  EXPECT_EQ(Nearest(-2.5), -2);
  EXPECT_EQ(Nearest(1e30), INT_MAX);
  const PrinterMetrics p = Uneven();
  // Left 10 mm at 600 dpi: 236.22 − 100 → 136; top at 300 dpi: 118.11 − 30 → 88; right
  // 4820 − (236.22 − 40) → 4624; bottom 1664 − (118.11 − 60) → 1606.
  EXPECT_EQ(PageRectFromMargins({10, 10, 10, 10}, p), (PageRect{136, 88, 4624, 1606}));
  // 25.39999, not 25.4: 9999 mm at 2400 dpi is 944787.77 pixels (25.4 gives .40).
  EXPECT_EQ(PageRectFromMargins({0, 9999, 0, 0}, {2400, 1, 0, 0, 0, 0, 0, 0}).left, 944788);
  // Inside the strips: left and top 0, right and bottom past the printable area by the strips.
  EXPECT_EQ(PageRectFromMargins({}, p), (PageRect{0, 0, p.width + 40, p.height + 60}));
  const PageRect huge = PageRectFromMargins({0, 0, 9999, 9999}, p);  // below 0: the printable size
  EXPECT_EQ(huge.right, p.width);
  EXPECT_EQ(huge.bottom, p.height);

  EXPECT_EQ(MarginValue(" 7 "), 7);
  EXPECT_EQ(MarginValue("-3"), -3);
  for (const char* bad : {"", "abc", "12mm", "1.5", "99999999999999999999"}) EXPECT_EQ(MarginValue(bad), 0) << bad;
}

TEST(PrintMarginTest, RangesUseTheirAxisAndOutOfRangeFallsToTheMinimum) {
  const MarginRanges r = RangesOf(Uneven());
  EXPECT_EQ(r.left, (MarginRange{4, 208}));    // 100/600 in = 4.23 mm; 4920/600 in = 208.28
  EXPECT_EQ(r.top, (MarginRange{3, 143}));     // 30/300 in = 2.54; 1694/300 in = 143.42
  EXPECT_EQ(r.right, (MarginRange{2, 204}));   // 40/600 in = 1.69; 4820/600 in = 204.05
  EXPECT_EQ(r.bottom, (MarginRange{5, 141}));  // 60/300 in = 5.08; 1664/300 in = 140.89
  EXPECT_EQ(RangesOf({}).left, (MarginRange{0, 0}));  // no resolution: no division by zero
  const PrintMargins fitted = FitMargins({143, 209, 4, 204}, r);
  EXPECT_EQ(fitted.top, 143);
  EXPECT_EQ(fitted.left, 4);
  EXPECT_EQ(fitted.bottom, 5);
  EXPECT_EQ(fitted.right, 204);
}

TEST(PrintAreaTest, GoesThroughTwipsAndStaysOnThePrintablePage) {
  const PrinterMetrics p = Uneven();
  // 136 px at 600 dpi = 326.4 twips → 326; 88 at 300 → 422; 4624 → 11097; 1606 → 7708.
  EXPECT_EQ(ToTwips({136, 88, 4624, 1606}, p), (PageRect{326, 422, 11097, 7708}));
  // Back to the nearest pixel: 326 twips = 135.83 px → 136.
  EXPECT_EQ(PrintArea({136, 88, 4624, 1606}, p), QRect(QPoint(136, 88), QPoint(4623, 1605)));
  const QRect page(0, 0, p.width, p.height);
  EXPECT_EQ(PrintArea({}, p), page);
  EXPECT_EQ(PrintArea({0, 0, p.width + 40, p.height + 60}, p), page);
  EXPECT_EQ(PrintArea({3000, 0, 2000, 100}, p), page);  // crossed edges
}

TEST(PaperTest, NamesByCodeAndLabelFallsBackToTheScreenResolution) {
  EXPECT_EQ(PaperName(1), "\xDA\xC0\xB0");  // "ﾚﾀｰ" in CP932
  EXPECT_EQ(PaperName(29), "Envelope C3  324 x 458 mm");
  EXPECT_EQ(PaperName(41), "German Legal Fanfold 8 1/2 x 13 in");
  EXPECT_EQ(PaperName(118), "dmPaper_Fanfold_Lgl_German");
  for (int code : {0, 42, 117}) EXPECT_EQ(PaperName(code), "") << code;
  const PrinterMetrics a4{600, 600, 0, 0, 4960, 7016, 0, 0};  // 209.97 × 297.01 mm
  EXPECT_EQ(PaperLabel(9, a4, 96), "A4 210x297");
  EXPECT_EQ(PaperLabel(9, {600, 0, 0, 0, 4960, 7016, 0, 0}, 96), "A4 1312x1856");  // both by the screen
  EXPECT_EQ(PaperLabel(0, {0, 300, 0, 0, 4960, 7016, 0, 0}, 96), " 420x594");      // the width by dpiY
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  for (const auto& [size, code] : {std::pair{QPageSize::A4, 9}, {QPageSize::JisB5, 13}, {QPageSize::Letter, 1}}) {
    printer.setPageSize(QPageSize(size));
    EXPECT_EQ(PaperCode(printer), code);
  }
}

TEST(PrintLinesTest, SplitsAtEveryLineEndAndDecodesCp932) {
  EXPECT_EQ(PrintLines(textconv::Utf8ToCp932("あ\r\nい\rう\nえ\r\n\r\nお\r\n")),
            (QStringList{"あ", "い", "う", "え", "", "お"}));
  EXPECT_TRUE(PrintLines("").isEmpty());
  EXPECT_EQ(PrintLines("{\\rtf1 ab\\par cd\\line ef}", true), (QStringList{"ab", "cd", "ef"}));
}

class PrintTextTest : public ::testing::Test {
 protected:
  PrintTextTest() {
    printer_.setOutputFormat(QPrinter::PdfFormat);
    printer_.setResolution(300);
    printer_.setOutputFileName(dir_.filePath(QStringLiteral("out.pdf")));
    font_.setPointSize(10);
  }
  // Lines placed, by page.
  std::map<int, std::vector<QRectF>> Print(const QStringList& lines, const QRect& area, int* pages) {
    std::map<int, std::vector<QRectF>> boxes;
    std::vector<int> done;
    PrintObserver observer{[&](int page) { done.push_back(page); },
                           [&](int page, const QRectF& box) { boxes[page].push_back(box); }};
    *pages = PrintText(printer_, {lines, font_, 8, area}, observer);
    for (int p = 1; p <= *pages; ++p) EXPECT_EQ(done.at(static_cast<std::size_t>(p - 1)), p);
    return boxes;
  }

  QTemporaryDir dir_;
  QPrinter printer_{QPrinter::HighResolution};
  QFont font_ = QFontDatabase::systemFont(QFontDatabase::FixedFont);
};

TEST_F(PrintTextTest, FillsEachPageFromTheAreasTopThenStartsTheNext) {
  const QRect area(177, 295, 1400, 1800);
  QStringList lines;
  for (int n = 1; n <= 250; ++n) lines << QStringLiteral("行 %1\tタブ").arg(n);
  int pages = 0;
  const auto boxes = Print(lines, area, &pages);
  const int perPage = static_cast<int>(area.height() / boxes.at(1).front().height());
  ASSERT_GT(perPage, 10);
  EXPECT_EQ(pages, (250 + perPage - 1) / perPage);
  for (const auto& [page, placed] : boxes) {
    EXPECT_EQ(static_cast<int>(placed.size()), page < pages ? perPage : 250 - perPage * (pages - 1));
    EXPECT_DOUBLE_EQ(placed.front().top(), area.top()) << page;
    for (const QRectF& b : placed) {
      EXPECT_EQ(b.left(), area.left());
      EXPECT_LE(b.bottom(), area.bottom() + 1.0);
    }
  }
}

TEST_F(PrintTextTest, WrapsWideLinesAndAlwaysMovesOn) {
  const QRect area(0, 0, 400, 1000);
  int pages = 0;
  const auto wide = Print({QString(3000, QLatin1Char('x'))}, area, &pages);
  ASSERT_GT(wide.at(1).size(), 5u);
  for (const QRectF& b : wide.at(1)) EXPECT_LE(b.right(), area.right() + 1.0);
  Print({}, area, &pages);
  EXPECT_EQ(pages, 1);  // an empty text is one empty page
  Print({"a", "b", "c"}, QRect(0, 0, 400, 3), &pages);
  EXPECT_EQ(pages, 3);  // lines taller than the area: one a page, never an endless run
}

}  // namespace
}  // namespace sorabu::viewer
