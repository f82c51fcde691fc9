#include "viewer/printing.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

#include "textconv/cp932.h"
#include "viewer/rtf_reader.h"

namespace sorabu::viewer {

int Nearest(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
  // Whatever rounding mode the process runs in, halves go to the even neighbour.
  const double down = std::floor(value);
  const double diff = value - down;
  double result = down;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(down, 2.0) != 0.0)) result = down + 1.0;
  return static_cast<int>(result);
}

PrinterMetrics MetricsOf(const QPrinter& printer) {
  PrinterMetrics m;
  m.dpiX = printer.logicalDpiX();
  m.dpiY = printer.logicalDpiY();
  const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
  const QRectF page = printer.pageRect(QPrinter::DevicePixel);
  m.physW = qRound(paper.width());
  m.physH = qRound(paper.height());
  m.offX = qRound(page.left() - paper.left());
  m.offY = qRound(page.top() - paper.top());
  m.width = qRound(page.width());
  m.height = qRound(page.height());
  return m;
}

PageRect PageRectFromMargins(const PrintMargins& margins, const PrinterMetrics& p) {
  auto px = [](int mm, int dpi) { return mm / kPrintMmPerInch * dpi; };
  PageRect r;
  r.left = Nearest(px(margins.left, p.dpiX) - p.offX);
  if (r.left < 0) r.left = 0;
  r.top = Nearest(px(margins.top, p.dpiY) - p.offY);
  if (r.top < 0) r.top = 0;
  r.right = Nearest(p.width - (px(margins.right, p.dpiX) - p.RightStrip()));
  if (r.right < 0) r.right = p.width;
  r.bottom = Nearest(p.height - (px(margins.bottom, p.dpiY) - p.BottomStrip()));
  if (r.bottom < 0) r.bottom = p.height;
  return r;
}

int MarginValue(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return 0;
  // Far beyond any sheet; kept small enough that the pixel arithmetic cannot overflow.
  return static_cast<int>(std::clamp<long long>(value, -1000000, 1000000));
}

MarginRanges RangesOf(const PrinterMetrics& p) {
  auto mm = [](int pixels, int dpi) { return dpi > 0 ? Nearest(static_cast<double>(pixels) / dpi * kPrintMmPerInch) : 0; };
  MarginRanges r;
  r.left = {mm(p.offX, p.dpiX), mm(p.offX + p.width, p.dpiX)};
  r.top = {mm(p.offY, p.dpiY), mm(p.offY + p.height, p.dpiY)};
  r.right = {mm(p.RightStrip(), p.dpiX), mm(p.width, p.dpiX)};
  r.bottom = {mm(p.BottomStrip(), p.dpiY), mm(p.height, p.dpiY)};
  return r;
}

int FitMargin(int value, const MarginRange& range) {
  return value < range.minimum || value > range.maximum ? range.minimum : value;
}

PrintMargins FitMargins(const PrintMargins& m, const MarginRanges& r) {
  return {FitMargin(m.top, r.top), FitMargin(m.left, r.left), FitMargin(m.bottom, r.bottom),
          FitMargin(m.right, r.right)};
}

PageRect ToTwips(const PageRect& rect, const PrinterMetrics& p) {
  auto twips = [](int pixels, int dpi) {
    return dpi > 0 ? static_cast<int>(static_cast<long long>(pixels) * 1440 / dpi) : 0;
  };
  return {twips(rect.left, p.dpiX), twips(rect.top, p.dpiY), twips(rect.right, p.dpiX), twips(rect.bottom, p.dpiY)};
}

QRect PrintArea(const PageRect& rect, const PrinterMetrics& p) {
  const QRect page(0, 0, std::max(p.width, 1), std::max(p.height, 1));
  if (rect.IsNull()) return page;
  const PageRect t = ToTwips(rect, p);
  auto back = [](int twips, int dpi) { return Nearest(static_cast<double>(twips) * dpi / 1440.0); };
  const int left = back(t.left, p.dpiX), top = back(t.top, p.dpiY);
  const int right = back(t.right, p.dpiX), bottom = back(t.bottom, p.dpiY);
  if (right <= left || bottom <= top) return page;
  const QRect area = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).intersected(page);
  return area.isEmpty() ? page : area;
}

std::string PaperName(int code) {
  static const char* const kNames[] = {
      "ﾚﾀｰ", "ﾚﾀｰS", "ﾀﾌﾞﾛｲﾄ", "Ledger", "Legal", "ｽﾃｰﾄﾒﾝﾄ", "ｴｸﾞｾﾞｸﾃｨﾌﾞ", "A3", "A4", "A4S", "A5", "B4", "B5",
      "ﾌｫﾘｵ", "ｸﾜﾄﾛ", "10x14 ｲﾝﾁ", "11x17 ｲﾝﾁ", "ﾉｰﾄ", "#9", "#10", "#11", "#12", "#14", "C", "D", "E",
      "Envelope DL 110 x 220mm", "Envelope C5 162 x 229 mm", "Envelope C3  324 x 458 mm",
      "Envelope C4  229 x 324 mm", "Envelope C6  114 x 162 mm", "Envelope C65 114 x 229 mm",
      "Envelope B4  250 x 353 mm", "Envelope B5  176 x 250 mm", "Envelope B6  176 x 125 mm",
      "Envelope 110 x 230 mm", "Envelope Monarch 3.875 x 7.5 in", "6 3/4 Envelope 3 5/8 x 6 1/2 in",
      "US Std Fanfold 14 7/8 x 11 in", "German Std Fanfold 8 1/2 x 12 in", "German Legal Fanfold 8 1/2 x 13 in"};
  if (code == 118) return "dmPaper_Fanfold_Lgl_German";
  if (code < 1 || code > static_cast<int>(std::size(kNames))) return {};
  return textconv::Utf8ToCp932(kNames[code - 1]);
}

int PaperCode(const QPrinter& printer) {
  if (!printer.isValid()) return 0;
  return printer.pageLayout().pageSize().windowsId();
}

std::string PaperLabel(int code, const PrinterMetrics& p, int screenDpi) {
  int divX = p.dpiX, divY = p.dpiY;
  if (divY <= 0) divX = divY = screenDpi;
  else if (divX <= 0) divX = divY;
  auto mm = [](int pixels, int dpi) { return dpi > 0 ? Nearest(pixels * kPrintMmPerInch / dpi) : 0; };
  return PaperName(code) + " " + std::to_string(mm(p.physW, divX)) + "x" + std::to_string(mm(p.physH, divY));
}

QStringList PrintLines(std::string_view bytes, bool rtf) {
  QStringList lines;
  if (rtf) {
    for (const auto& paragraph : ReadRtf(bytes).paragraphs) {
      std::u16string text;
      for (const RtfRun& run : paragraph) text += run.text;
      QString line;
      for (char16_t c : text) {
        if (c == kRtfLineBreak) {
          lines << line;
          line.clear();
        } else {
          line += QChar(c);
        }
      }
      lines << line;
    }
    return lines;
  }
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", start);
    const std::u16string text = textconv::DecodeCp932(bytes.substr(start, end == std::string_view::npos ? end : end - start));
    lines << QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    if (end == std::string_view::npos) break;
    start = end + 1;
    if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
  }
  return lines;
}

int PrintText(QPagedPaintDevice& device, const PrintJob& job, const PrintObserver& observer) {
  QPainter painter;
  if (!painter.begin(&device)) return 0;
  QFont font = job.font;
  if (font.pointSizeF() <= 0 && font.pixelSize() > 0) font.setPointSizeF(font.pixelSize() * 72.0 / 96.0);
  const QFontMetricsF metrics(font, &device);
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  if (job.tabWidth > 0) option.setTabStopDistance(job.tabWidth * metrics.horizontalAdvance(QLatin1Char('M')));
  const QRectF area = job.area;
  painter.setClipRect(area);

  int page = 1;
  qreal y = 0;  // from the area's top on the current page
  for (const QString& text : job.lines) {
    QTextLayout layout(text, font, &device);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal inLayout = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(area.width());
      line.setPosition(QPointF(0, inLayout));
      inLayout += line.height();
    }
    layout.endLayout();
    for (int i = 0; i < layout.lineCount(); ++i) {
      const QTextLine line = layout.lineAt(i);
      // A new page while text remains; a line taller than the page still goes on one of its own.
      if (y > 0 && y + line.height() > area.height()) {
        if (observer.pageDone) observer.pageDone(page);
        device.newPage();
        ++page;
        y = 0;
      }
      const QPointF at(area.left(), area.top() + y - line.y());
      line.draw(&painter, at);
      if (observer.linePlaced) {
        observer.linePlaced(page, QRectF(area.left() + line.x(), area.top() + y, line.naturalTextWidth(), line.height()));
      }
      y += line.height();
    }
  }
  painter.end();
  if (observer.pageDone) observer.pageDone(page);
  return page;
}

}  // namespace sorabu::viewer
