#include "viewer/byte_view.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTextBoundaryFinder>
#include <algorithm>

#include "textconv/cp932.h"

namespace sorabu::viewer {

namespace {

constexpr qreal kMargin = 4;
constexpr std::size_t kMaxCachedLines = 2048;

// Control bytes would lay out as nothing (or end the line): they show as their control pictures.
char16_t Shown(char16_t u) {
  if (u < 0x20 && u != u'\t') return static_cast<char16_t>(0x2400 + u);
  if (u == 0x7F) return 0x2421;
  return u;
}

QString FromUtf16(const std::u16string& s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

TByteView::TByteView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  viewport()->setCursor(Qt::IBeamCursor);
  verticalScrollBar()->setSingleStep(1);
  UpdateScrollBars();
}

void TByteView::SetText(std::string_view text, bool appended) {
  const bool sameStart = appended && text.size() >= text_.size();
  text_ = text;
  InvalidateLayouts();
  if (sameStart) {
    index_.Extend(text_);
  } else {
    index_.Build(text_);
    caret_ = anchor_ = 0;
    wantedX_ = -1;
    widest_ = 0;
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
  }
  caret_ = std::min(caret_, text_.size());
  anchor_ = std::min(anchor_, text_.size());
  UpdateScrollBars();
  viewport()->update();
}

void TByteView::SetTextForm(textconv::TextForm form) {
  if (form_ == form) return;
  form_ = form;
  InvalidateLayouts();
  widest_ = 0;
  caret_ = PreviousStart(index_.Start(index_.LineOf(caret_)), std::min(caret_ + 1, index_.End(index_.LineOf(caret_))));
  anchor_ = caret_;
  viewport()->update();
}

std::size_t TByteView::PreviousStart(std::size_t lineStart, std::size_t pos) const {
  return form_ == textconv::TextForm::Utf8 ? textconv::PreviousUtf8Start(text_, lineStart, pos)
                                           : PreviousCharStart(text_, lineStart, pos);
}

std::size_t TByteView::NextStart(std::size_t pos) const {
  if (pos >= text_.size()) return text_.size();
  return form_ == textconv::TextForm::Utf8 ? pos + textconv::Utf8CharLength(text_, pos) : NextCharStart(text_, pos);
}

std::size_t TByteView::DecodeChar(std::string_view bytes, std::size_t i, std::u16string& out) const {
  return form_ == textconv::TextForm::Utf8 ? textconv::DecodeUtf8Char(bytes, i, out)
                                           : textconv::DecodeCp932Char(bytes, i, out);
}

void TByteView::SetWordWrap(bool on) {
  if (wrap_ == on) return;
  wrap_ = on;
  widest_ = 0;
  horizontalScrollBar()->setValue(0);
  InvalidateLayouts();
  UpdateScrollBars();
  viewport()->update();
}

void TByteView::SetTabStopDistance(double pixels) {
  tabStop_ = pixels;
  InvalidateLayouts();
  viewport()->update();
}

void TByteView::InvalidateLayouts() { laid_.clear(); }

qreal TByteView::RowHeight() const { return std::max(1, fontMetrics().lineSpacing()); }

int TByteView::VisibleRows() const { return std::max(1, static_cast<int>(viewport()->height() / RowHeight())); }

std::size_t TByteView::TopLine() const { return static_cast<std::size_t>(std::max(0, verticalScrollBar()->value())); }

void TByteView::UpdateScrollBars() {
  QScrollBar* v = verticalScrollBar();
  const int lines = static_cast<int>(std::min<std::size_t>(index_.Lines(), INT32_MAX));
  const int rows = VisibleRows();
  v->setPageStep(rows);
  v->setRange(0, wrap_ ? std::max(0, lines - 1) : std::max(0, lines - rows));
  QScrollBar* h = horizontalScrollBar();
  const int width = viewport()->width();
  h->setPageStep(std::max(1, width));
  h->setSingleStep(std::max(1, fontMetrics().averageCharWidth()));
  h->setRange(0, wrap_ ? 0 : std::max(0, static_cast<int>(widest_ + 2 * kMargin) - width));
}

TByteView::Laid& TByteView::Layout(std::size_t line) {
  if (auto it = laid_.find(line); it != laid_.end()) return *it->second;
  if (laid_.size() >= kMaxCachedLines) laid_.clear();
  auto laid = std::make_unique<Laid>();
  const std::size_t start = index_.Start(line);
  const std::string_view bytes = text_.substr(start, index_.End(line) - start);
  std::u16string units;
  units.reserve(std::min(bytes.size(), kLayoutCap) + 2);
  laid->unitByte.reserve(units.capacity() + 1);
  std::size_t i = 0;
  while (i < bytes.size() && i < kLayoutCap) {
    const std::size_t before = units.size();
    const std::size_t used = DecodeChar(bytes, i, units);
    for (std::size_t u = before; u < units.size(); ++u) {
      units[u] = Shown(units[u]);
      laid->unitByte.push_back(static_cast<std::uint32_t>(i));
    }
    i += used;
  }
  laid->bytes = i;
  laid->cut = i < bytes.size();
  if (laid->cut) {
    units += u" …";
    laid->unitByte.push_back(static_cast<std::uint32_t>(i));
    laid->unitByte.push_back(static_cast<std::uint32_t>(i));
  }
  laid->unitByte.push_back(static_cast<std::uint32_t>(i));

  QTextLayout& layout = laid->layout;
  layout.setText(FromUtf16(units));
  layout.setFont(font());
  QTextOption option;
  option.setWrapMode(wrap_ ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
  if (tabStop_ > 0) option.setTabStopDistance(tabStop_);
  layout.setTextOption(option);
  layout.setCacheEnabled(true);
  const qreal width = std::max<qreal>(1, viewport()->width() - 2 * kMargin);
  qreal y = 0;
  layout.beginLayout();
  for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
    if (wrap_) row.setLineWidth(width);
    row.setPosition(QPointF(0, y));
    y += RowHeight();
  }
  layout.endLayout();
  laid->height = std::max(y, RowHeight());
  if (!wrap_) {
    const qreal w = layout.maximumWidth();
    if (w > widest_) {
      widest_ = w;
      UpdateScrollBars();
    }
  }
  return *laid_.emplace(line, std::move(laid)).first->second;
}

int TByteView::UnitOf(const Laid& laid, std::size_t byteInLine) const {
  const auto& ub = laid.unitByte;
  auto it = std::lower_bound(ub.begin(), ub.end() - 1, static_cast<std::uint32_t>(std::min<std::size_t>(byteInLine, laid.bytes)));
  return static_cast<int>(it - ub.begin());
}

void TByteView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.setPen(palette().color(QPalette::Text));
  const qreal height = viewport()->height();
  const qreal x = kMargin - (wrap_ ? 0 : horizontalScrollBar()->value());
  const std::size_t selStart = SelectionStart(), selEnd = SelectionEnd();
  const std::size_t caretLine = CaretLine();
  qreal y = -topRow_ * RowHeight();
  for (std::size_t line = TopLine(); line < index_.Lines() && y < height; ++line) {
    Laid& laid = Layout(line);
    const std::size_t start = index_.Start(line), end = index_.End(line);
    QList<QTextLayout::FormatRange> selections;
    if (selStart != selEnd && selStart <= end && selEnd > start) {
      QTextLayout::FormatRange range;
      range.start = UnitOf(laid, selStart > start ? selStart - start : 0);
      const int last = selEnd > end ? static_cast<int>(laid.unitByte.size()) - 1 : UnitOf(laid, selEnd - start);
      range.length = last - range.start;
      range.format.setBackground(palette().brush(QPalette::Highlight));
      range.format.setForeground(palette().brush(QPalette::HighlightedText));
      if (range.length > 0) selections.push_back(range);
      if (selEnd > end) {
        // The selected line break shows as a little selected space after the line.
        const qreal w = fontMetrics().averageCharWidth();
        const QTextLine lastRow = laid.layout.lineAt(laid.layout.lineCount() - 1);
        painter.fillRect(QRectF(x + lastRow.naturalTextWidth(), y + lastRow.y(), w, lastRow.height()),
                         palette().brush(QPalette::Highlight));
      }
    }
    laid.layout.draw(&painter, QPointF(x, y), selections);
    if (line == caretLine && hasFocus()) laid.layout.drawCursor(&painter, QPointF(x, y), UnitOf(laid, caret_ - start), 1);
    y += laid.height;
  }
}

void TByteView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  if (wrap_) InvalidateLayouts();
  UpdateScrollBars();
}

void TByteView::scrollContentsBy(int, int dy) {
  if (dy != 0) topRow_ = 0;  // the scroll bar moved by lines: the new top line shows from its first row
  viewport()->update();
}

void TByteView::ScrollRows(int rows) {
  QScrollBar* v = verticalScrollBar();
  for (; rows > 0; --rows) {
    if (topRow_ + 1 < Layout(TopLine()).layout.lineCount()) ++topRow_;
    else if (TopLine() + 1 < index_.Lines()) v->setValue(v->value() + 1);
  }
  for (; rows < 0; ++rows) {
    if (topRow_ > 0) {
      --topRow_;
    } else if (TopLine() > 0) {
      v->setValue(v->value() - 1);
      topRow_ = std::max(0, Layout(TopLine()).layout.lineCount() - 1);
    }
  }
  viewport()->update();
}

void TByteView::wheelEvent(QWheelEvent* event) {
  // With word wrap a line may be taller than the view: the wheel moves by rows, not by lines.
  if (!wrap_) {
    QAbstractScrollArea::wheelEvent(event);
    return;
  }
  wheelRest_ += event->angleDelta().y();
  const int steps = wheelRest_ / 40;  // three rows per notch
  wheelRest_ -= steps * 40;
  ScrollRows(-steps);
  event->accept();
}

void TByteView::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    widest_ = 0;
    InvalidateLayouts();
    UpdateScrollBars();
    viewport()->update();
  }
}

void TByteView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  viewport()->update();
}

void TByteView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  viewport()->update();
}

void TByteView::SetCaret(std::size_t offset, bool keepAnchor) {
  offset = std::min(offset, text_.size());
  // Snap back onto the start of the character holding offset.
  const std::size_t line = index_.LineOf(offset);
  const std::size_t lineEnd = index_.End(line);
  if (offset > lineEnd) offset = lineEnd;
  else if (offset < lineEnd) offset = PreviousStart(index_.Start(line), offset + 1);
  caret_ = offset;
  if (!keepAnchor) anchor_ = offset;
  viewport()->update();
  emit CaretMoved();
}

void TByteView::Select(std::size_t start, std::size_t length) {
  start = std::min(start, text_.size());
  SetCaret(start);
  SetCaret(std::min(text_.size(), start + length), true);
}

void TByteView::SelectAll() {
  anchor_ = 0;
  caret_ = text_.size();
  viewport()->update();
  emit CaretMoved();
}

void TByteView::CopySelection() const {
  if (!HasSelection()) return;
  std::u16string u;
  const std::string_view bytes = SelectedBytes();
  for (std::size_t i = 0; i < bytes.size();) i += DecodeChar(bytes, i, u);
  QString text = FromUtf16(u);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
  QApplication::clipboard()->setText(text);
}

std::size_t TByteView::CaretColumn() const {
  const std::size_t start = index_.Start(CaretLine());
  std::u16string units;
  std::size_t column = 0;
  for (std::size_t i = start; i < caret_;) {
    units.clear();
    i += DecodeChar(text_, i, units);
    column += units.size();
  }
  return column;
}

qreal TByteView::CaretX() {
  const std::size_t line = CaretLine();
  Laid& laid = Layout(line);
  const int unit = UnitOf(laid, caret_ - index_.Start(line));
  const QTextLine row = laid.layout.lineForTextPosition(unit);
  return row.isValid() ? row.cursorToX(unit) : 0;
}

void TByteView::EnsureCaretVisible() {
  const std::size_t line = CaretLine();
  QScrollBar* v = verticalScrollBar();
  if (line < TopLine() || (line == TopLine() && topRow_ > 0 && !wrap_)) {
    v->setValue(static_cast<int>(line));
  } else {
    // Bottom of the caret's line within the viewport, else the top that puts it there.
    const qreal height = viewport()->height();
    qreal used = 0;
    std::size_t top = line + 1;
    while (top > TopLine() && used + Layout(top - 1).height <= height) used += Layout(--top).height;
    top = std::min(top, line);
    if (top > TopLine()) v->setValue(static_cast<int>(std::min<std::size_t>(top, INT32_MAX)));
  }
  if (wrap_ && line == TopLine()) {
    // Within a line taller than the view: the rows around the caret.
    Laid& laid = Layout(line);
    const int row = laid.layout.lineForTextPosition(UnitOf(laid, caret_ - index_.Start(line))).lineNumber();
    const int rows = VisibleRows();
    if (row < topRow_) topRow_ = row;
    else if (row >= topRow_ + rows) topRow_ = row - rows + 1;
  }
  if (!wrap_) {
    QScrollBar* h = horizontalScrollBar();
    const qreal x = CaretX();
    const qreal width = viewport()->width() - 2 * kMargin;
    if (x < h->value()) h->setValue(static_cast<int>(std::max<qreal>(0, x - width / 4)));
    else if (x > h->value() + width) h->setValue(static_cast<int>(x - width * 3 / 4));
  }
  viewport()->update();
}

void TByteView::MoveVertically(int rows, bool keepAnchor) {
  std::size_t line = CaretLine();
  Laid* laid = &Layout(line);
  int unit = UnitOf(*laid, caret_ - index_.Start(line));
  int row = laid->layout.lineForTextPosition(unit).lineNumber();
  if (wantedX_ < 0) wantedX_ = CaretX();
  for (int step = 0; step < std::abs(rows); ++step) {
    if (rows < 0) {
      if (row > 0) --row;
      else if (line > 0) {
        laid = &Layout(--line);
        row = laid->layout.lineCount() - 1;
      } else break;
    } else {
      if (row + 1 < laid->layout.lineCount()) ++row;
      else if (line + 1 < index_.Lines()) {
        laid = &Layout(++line);
        row = 0;
      } else break;
    }
  }
  const QTextLine target = laid->layout.lineAt(std::max(0, row));
  unit = target.isValid() ? target.xToCursor(wantedX_) : 0;
  const qreal kept = wantedX_;
  SetCaret(index_.Start(line) + laid->unitByte[static_cast<std::size_t>(unit)], keepAnchor);
  wantedX_ = kept;
}

void TByteView::keyPressEvent(QKeyEvent* event) { HandleKey(event); }

void TByteView::HandleKey(QKeyEvent* event) {
  passedOn_ = nullptr;
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  if (event->matches(QKeySequence::Copy) || (ctrl && event->key() == Qt::Key_Insert)) {
    CopySelection();
    return;
  }
  if (event->matches(QKeySequence::SelectAll)) {
    SelectAll();
    return;
  }
  const std::size_t line = CaretLine();
  const std::size_t start = index_.Start(line);
  std::size_t to = caret_;
  bool vertical = false;
  switch (event->key()) {
    case Qt::Key_Left:
      to = caret_ > start ? PreviousStart(start, caret_) : line > 0 ? index_.End(line - 1) : 0;
      break;
    case Qt::Key_Right:
      to = caret_ < index_.End(line) ? NextStart(caret_) : line + 1 < index_.Lines() ? index_.Start(line + 1) : caret_;
      break;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
      const int page = std::max(1, VisibleRows() - 1);
      const int rows = event->key() == Qt::Key_Up ? -1 : event->key() == Qt::Key_Down ? 1 : event->key() == Qt::Key_PageUp ? -page : page;
      if (ctrl && std::abs(rows) == 1) {
        verticalScrollBar()->setValue(verticalScrollBar()->value() + rows);
        return;
      }
      if (std::abs(rows) > 1) verticalScrollBar()->setValue(verticalScrollBar()->value() + rows);
      MoveVertically(rows, shift);
      vertical = true;
      break;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (lineActivated_ && lineActivated_(line)) return;
      event->ignore();
      emit UnusedKey(event);
      if (!event->isAccepted()) passedOn_ = event;
      return;
    case Qt::Key_Home:
      to = ctrl ? 0 : start;
      break;
    case Qt::Key_End:
      to = ctrl ? text_.size() : index_.End(line);
      break;
    default:
      event->ignore();
      emit UnusedKey(event);
      if (!event->isAccepted()) passedOn_ = event;
      return;
  }
  if (!vertical) {
    wantedX_ = -1;
    SetCaret(to, shift);
  }
  EnsureCaretVisible();
}

std::size_t TByteView::ByteAt(QPoint pos) {
  const qreal x = pos.x() - kMargin + (wrap_ ? 0 : horizontalScrollBar()->value());
  qreal y = -topRow_ * RowHeight();
  std::size_t line = TopLine();
  if (pos.y() < 0) return index_.Start(line);
  for (; line < index_.Lines(); ++line) {
    Laid& laid = Layout(line);
    if (pos.y() < y + laid.height) {
      const qreal inLine = pos.y() - y;
      QTextLine row = laid.layout.lineAt(std::clamp(static_cast<int>(inLine / RowHeight()), 0, laid.layout.lineCount() - 1));
      const int unit = row.isValid() ? row.xToCursor(x) : 0;
      return index_.Start(line) + laid.unitByte[static_cast<std::size_t>(unit)];
    }
    y += laid.height;
    if (y > viewport()->height()) break;
  }
  return line >= index_.Lines() ? text_.size() : index_.End(line);
}

void TByteView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  setFocus(Qt::MouseFocusReason);
  wantedX_ = -1;
  SetCaret(ByteAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
  dragging_ = true;
}

void TByteView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_ || !(event->buttons() & Qt::LeftButton)) {
    dragging_ = false;
    return;
  }
  const QPoint p = event->position().toPoint();
  QScrollBar* v = verticalScrollBar();
  if (p.y() < 0) v->setValue(v->value() - 1);
  else if (p.y() > viewport()->height()) v->setValue(v->value() + 1);
  SetCaret(ByteAt(p), true);
}

void TByteView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const std::size_t at = ByteAt(event->position().toPoint());
  const std::size_t line = index_.LineOf(at);
  if (lineActivated_ && lineActivated_(line)) return;
  Laid& laid = Layout(line);
  const QString text = laid.layout.text();
  const int unit = UnitOf(laid, at - index_.Start(line));
  QTextBoundaryFinder words(QTextBoundaryFinder::Word, text);
  words.setPosition(unit);
  const int from = words.isAtBoundary() && (words.boundaryReasons() & QTextBoundaryFinder::StartOfItem) ? unit : words.toPreviousBoundary();
  words.setPosition(unit);
  const int to = words.toNextBoundary();
  if (from < 0 || to < 0) return;
  const std::size_t start = index_.Start(line);
  SetCaret(start + laid.unitByte[static_cast<std::size_t>(from)]);
  SetCaret(start + laid.unitByte[static_cast<std::size_t>(std::min<int>(to, static_cast<int>(laid.unitByte.size()) - 1))], true);
}

void TByteView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copy = menu.addAction(QStringLiteral("コピー(&C)"), this, &TByteView::CopySelection);
  copy->setEnabled(HasSelection());
  menu.addAction(QStringLiteral("すべて選択(&A)"), this, &TByteView::SelectAll);
  menu.exec(event->globalPos());
}

}  // namespace sorabu::viewer
