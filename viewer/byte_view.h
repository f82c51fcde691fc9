// The read-only face of the text pane: paints code page 932 bytes straight from memory.
//
// Only the lines on screen are decoded and laid out, so a file of any size shows at once. The
// vertical scroll bar counts lines of text; with word wrap a line takes as many rows as it needs,
// worked out only when it is painted. One line lays out at most kLayoutCap bytes: the rest of a
// longer line is not painted (a mark shows where it was cut) but can still be selected and copied.
#pragma once

#include <QAbstractScrollArea>
#include <QTextLayout>
#include <functional>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "textconv/unicode_text.h"
#include "viewer/line_index.h"

namespace sorabu::viewer {

class TByteView : public QAbstractScrollArea {
  Q_OBJECT
 public:
  static constexpr std::size_t kLayoutCap = 64 * 1024;

  explicit TByteView(QWidget* parent = nullptr);

  // The text shown; it must stay alive and unchanged until the next call. appended tells that
  // the new text is the old one with more added (the caret and scroll position stay).
  void SetText(std::string_view text, bool appended = false);
  std::string_view Text() const { return text_; }
  const TLineIndex& Index() const { return index_; }

  // How the bytes are read: code page 932 (the default) or UTF-8.
  void SetTextForm(textconv::TextForm form);
  textconv::TextForm TextForm() const { return form_; }
  // Character boundaries in the form's terms.
  std::size_t PreviousStart(std::size_t lineStart, std::size_t pos) const;
  std::size_t NextStart(std::size_t pos) const;
  std::size_t DecodeChar(std::string_view bytes, std::size_t i, std::u16string& out) const;

  void SetWordWrap(bool on);
  bool WordWrap() const { return wrap_; }
  void SetTabStopDistance(double pixels);

  // Caret and selection as byte offsets; the selection runs between anchor and caret.
  std::size_t Caret() const { return caret_; }
  std::size_t Anchor() const { return anchor_; }
  bool HasSelection() const { return caret_ != anchor_; }
  std::size_t SelectionStart() const { return std::min(caret_, anchor_); }
  std::size_t SelectionEnd() const { return std::max(caret_, anchor_); }
  std::string_view SelectedBytes() const { return text_.substr(SelectionStart(), SelectionEnd() - SelectionStart()); }
  // Moves the caret (snapped to a character boundary); keepAnchor extends the selection.
  void SetCaret(std::size_t offset, bool keepAnchor = false);
  void Select(std::size_t start, std::size_t length);
  void SelectAll();
  void CopySelection() const;
  // Scrolls so that the caret's line is on screen.
  void EnsureCaretVisible();

  std::size_t CaretLine() const { return index_.LineOf(caret_); }
  // The caret's column in characters as the editor counts them (UTF-16 units).
  std::size_t CaretColumn() const;
  std::size_t TopLine() const;

  // The key handling, for keys sent to the pane around the view; whether the view passed a key on.
  void HandleKey(QKeyEvent* event);
  bool PassedOn(const QKeyEvent* event) const { return event == passedOn_; }
  // A double click or Enter on a line: the callback says whether it used it.
  void SetLineActivated(std::function<bool(std::size_t line)> activated) { lineActivated_ = std::move(activated); }

 signals:
  void CaretMoved();
  // Keys the view does not use (typing while the pane is editable, for instance).
  void UnusedKey(QKeyEvent* event);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  // One line laid out: its text as shown and where each UTF-16 unit came from.
  struct Laid {
    QTextLayout layout;
    std::vector<std::uint32_t> unitByte;  // byte offset in the line of each unit, plus the end
    std::size_t bytes = 0;                 // bytes laid out (less than the line's when cut)
    bool cut = false;
    qreal height = 0;
  };
  Laid& Layout(std::size_t line);
  int UnitOf(const Laid& laid, std::size_t byteInLine) const;
  std::size_t ByteAt(QPoint viewportPos);
  qreal RowHeight() const;
  int VisibleRows() const;
  void UpdateScrollBars();
  void InvalidateLayouts();
  void MoveVertically(int rows, bool keepAnchor);
  void ScrollRows(int rows);
  qreal CaretX();

  std::string_view text_;
  TLineIndex index_;
  bool wrap_ = false;
  textconv::TextForm form_ = textconv::TextForm::Cp932;
  double tabStop_ = 0;
  std::size_t caret_ = 0;
  std::size_t anchor_ = 0;
  qreal wantedX_ = -1;  // the column kept by up and down
  qreal widest_ = 0;
  bool dragging_ = false;
  const QKeyEvent* passedOn_ = nullptr;
  int topRow_ = 0;  // rows of the top line above the view (word wrap, a line taller than the view)
  int wheelRest_ = 0;
  std::function<bool(std::size_t)> lineActivated_;
  std::unordered_map<std::size_t, std::unique_ptr<Laid>> laid_;
};

}  // namespace sorabu::viewer
