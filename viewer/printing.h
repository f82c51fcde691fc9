// Printing the text pane: the page rectangle from paper margins, the margin ranges a printer
// allows, the paper label, and the layout of text lines into that rectangle page after page.
//
// Printing works on the pane's bytes and font, not on its widget, so it prints what the pane
// holds whatever widget shows it. Measurements are device pixels of the printer; margins are
// whole millimetres.
#pragma once

#include <QFont>
#include <QRect>
#include <QStringList>

#include <functional>
#include <string>
#include <string_view>

class QPagedPaintDevice;
class QPrinter;

namespace sorabu::viewer {

// Millimetres per inch, as every conversion of this module counts them.
inline constexpr double kPrintMmPerInch = 25.39999;

// The nearest integer, halves to the even neighbour; limited to the range of int.
int Nearest(double value);

struct PrinterMetrics {
  int dpiX = 0, dpiY = 0;      // pixels per inch
  int offX = 0, offY = 0;      // unprintable strip at the left and at the top
  int physW = 0, physH = 0;    // the whole sheet
  int width = 0, height = 0;   // the printable area
  int RightStrip() const { return physW - width - offX; }
  int BottomStrip() const { return physH - height - offY; }
};
// The measurements of the printer's current paper, orientation and resolution.
PrinterMetrics MetricsOf(const QPrinter& printer);

struct PrintMargins {
  int top = 0, left = 0, bottom = 0, right = 0;
};

// Edges in printer pixels from the printable area's origin; all zero means the whole printable
// page.
struct PageRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool IsNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  bool operator==(const PageRect&) const = default;
};

PageRect PageRectFromMargins(const PrintMargins& margins, const PrinterMetrics& printer);

// A margin as the settings file or a field holds it: a decimal number with optional blanks;
// anything else counts as 0.
int MarginValue(std::string_view text);

struct MarginRange {
  int minimum = 0, maximum = 0;
  bool operator==(const MarginRange&) const = default;
};
struct MarginRanges {
  MarginRange top, left, bottom, right;
};
// The millimetres each margin may take on this printer.
MarginRanges RangesOf(const PrinterMetrics& printer);
// A value outside the range falls back to the minimum.
int FitMargin(int value, const MarginRange& range);
PrintMargins FitMargins(const PrintMargins& margins, const MarginRanges& ranges);

// The rectangle in twips: × 1440 ÷ the resolution, integer division, horizontal edges by dpiX,
// vertical ones by dpiY.
PageRect ToTwips(const PageRect& rect, const PrinterMetrics& printer);
// Where the text goes, in device pixels from the printable origin: the rectangle through twips
// and back (to the nearest pixel), the whole printable page for an all-zero rectangle, kept inside
// the printable page; the whole printable page when nothing of it would remain.
QRect PrintArea(const PageRect& rect, const PrinterMetrics& printer);

// The paper name of a paper size code (CP932); empty for an unknown code.
std::string PaperName(int code);
// The paper size code of the printer's paper; 0 when the printer's settings cannot be read.
int PaperCode(const QPrinter& printer);
// The dialog's paper label (CP932): the name, a blank, width "x" height in millimetres.
// screenDpi stands in for a resolution the printer does not report.
std::string PaperLabel(int code, const PrinterMetrics& printer, int screenDpi);

// The lines of the pane's text: CP932 bytes split at CR LF, CR and LF. With rtf, the bytes are
// RTF and the lines are the text of its paragraphs.
QStringList PrintLines(std::string_view bytes, bool rtf = false);

struct PrintJob {
  QStringList lines;
  QFont font;
  int tabWidth = 8;  // characters of "M"
  QRect area;        // from PrintArea
};
struct PrintObserver {
  // After each page is painted, with its number (from 1); the place to let the window breathe.
  std::function<void(int page)> pageDone;
  // Every line as it is placed: page and the line's box in device pixels.
  std::function<void(int page, const QRectF& box)> linePlaced;
};
// Paints the lines page after page into the area; a line too wide is wrapped. Returns the
// number of pages, 0 when the device cannot be painted on.
int PrintText(QPagedPaintDevice& device, const PrintJob& job, const PrintObserver& observer = {});

}  // namespace sorabu::viewer
