#include "viewer/text_pane.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPlainTextDocumentLayout>
#include <QProgressBar>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>

#include "textconv/cp932.h"
#include "uitext/qt_text.h"
#include "viewer/byte_view.h"
#include "viewer/document_builder.h"
#include "viewer/rich_document.h"
#include "viewer/line_index.h"
#include "viewer/rtf_reader.h"

namespace sorabu::viewer {

static_assert(TTextPane::kEditableLineBytes == TByteView::kLayoutCap, "the editor takes the lines the byte view paints whole");

namespace {

bool IsEditingKey(const QKeyEvent* event) {
  if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Undo) ||
      event->matches(QKeySequence::Redo))
    return true;
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Tab:
      return true;
    default:
      break;
  }
  const QString text = event->text();
  return !text.isEmpty() && text.at(0).isPrint() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

}  // namespace

// A load is no edit: the undo history is switched off while it runs, which also empties it.
class TTextPane::TLoading {
 public:
  explicit TLoading(TTextPane& pane) : pane_(pane), undo_(pane.isUndoRedoEnabled()), block_(pane.document()) {
    pane_.setUndoRedoEnabled(false);
  }
  ~TLoading() {
    pane_.document()->setModified(false);
    pane_.setUndoRedoEnabled(undo_);
  }

 private:
  TTextPane& pane_;
  bool undo_;
  QSignalBlocker block_;
};

TTextPane::TTextPane(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setUndoRedoEnabled(false);
  setTabChangesFocus(true);
  AdoptDocument(document());
  view_ = new TByteView(this);
  view_->setObjectName(QStringLiteral("ByteView"));
  connect(view_, &TByteView::CaretMoved, this, &QPlainTextEdit::cursorPositionChanged);
  connect(view_, &TByteView::UnusedKey, this, &TTextPane::OnUnusedKey);
  view_->SetLineActivated([this](std::size_t line) {
    return lineActivated_ && line <= static_cast<std::size_t>(INT32_MAX) && lineActivated_(static_cast<int>(line));
  });
  progress_ = new QProgressBar(this);
  progress_->setRange(0, 100);
  progress_->setFormat(QStringLiteral("編集の準備をしています %p%"));
  progress_->hide();
  progressTimer_ = new QTimer(this);
  progressTimer_->setInterval(100);
  builder_ = new TDocumentBuilder(this);
  connect(builder_, &TDocumentBuilder::Ready, this, &TTextPane::DocumentBuilt);
  connect(progressTimer_, &QTimer::timeout, this, [this] { progress_->setValue(builder_->Percent()); });
  ShowBytes();
}

TTextPane::~TTextPane() { StopBuilding(); }

void TTextPane::AdoptDocument(QTextDocument* doc) {
  if (doc == nullptr || doc != document()) setDocument(doc);
  QObject::disconnect(documentChanges_);
  documentChanges_ = connect(document(), &QTextDocument::contentsChange, this, [this](int, int, int) {
    if (!signalsBlocked() && !byteMode_) bytesValid_ = false;
  });
  setUndoRedoEnabled(editable_);
  if (tabDistance_ > 0) setTabStopDistance(tabDistance_);
}

void TTextPane::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  view_->setGeometry(rect());
  const int h = progress_->sizeHint().height();
  progress_->setGeometry(0, height() - h, width(), h);
}

void TTextPane::ShowBytes() {
  byteMode_ = true;
  view_->setGeometry(rect());
  view_->show();
  view_->raise();
  const bool focused = hasFocus();
  setFocusProxy(view_);
  if (focused) view_->setFocus();
}

void TTextPane::Clear() {
  StopBuilding();
  wholeFile_.clear();
  lineEnd_ = "\r\n";
  if (ownDocument_) {
    // Back to a document of the editor's own (it made a new one and deleted its old one when it
    // took the big one); the big one goes.
    QTextDocument* old = ownDocument_;
    ownDocument_ = nullptr;
    AdoptDocument(nullptr);
    old->deleteLater();
  }
  {
    TLoading loading(*this);
    clear();
  }
  std::string().swap(bytes_);  // a large text's memory goes before the next is read
  // The view reads the pane's bytes: it lets go of the old ones before it changes its form,
  // which steps through them.
  view_->SetText(bytes_);
  form_ = sourceForm_ = textconv::TextForm::Cp932;
  view_->SetTextForm(form_);
  bytesValid_ = true;
  hasLines_ = false;
  trailingBreak_ = false;
  ShowBytes();
}

void TTextPane::SetTextForm(textconv::TextForm form, textconv::TextForm source) {
  form_ = form == textconv::TextForm::Utf8 ? form : textconv::TextForm::Cp932;
  sourceForm_ = source;
  view_->SetTextForm(form_);
}

QString TTextPane::DecodeText(std::string_view bytes) const { return DecodeForPane(bytes, form_); }

std::string TTextPane::EncodeText(const QString& text) const {
  if (form_ == textconv::TextForm::Utf8) return text.toUtf8().toStdString();
  return uitext::ToCp932Text(text);
}

void TTextPane::AddLine(std::string_view line) {
  wholeFile_.clear();
  if (!byteMode_) Clear();
  if (hasLines_) bytes_ += "\r\n";
  bytes_.append(line);
  hasLines_ = true;
  bytesValid_ = true;
  view_->SetText(bytes_, true);
}

void TTextPane::TakeBytes(std::string&& bytes) {
  Clear();
  if (!plainTextMode_ && bytes.rfind("{\\rtf", 0) == 0) {
    LoadRtf(bytes);
    return;
  }
  bytes_ = std::move(bytes);
  hasLines_ = !bytes_.empty();
  trailingBreak_ = !bytes_.empty() && (bytes_.back() == '\r' || bytes_.back() == '\n');
  bytesValid_ = true;
  view_->SetText(bytes_);
}

void TTextPane::LoadRtf(std::string_view bytes) {
  const RtfDocument doc = ReadRtf(bytes);
  LeaveByteMode(0, 0);
  TLoading loading(*this);
  QTextCursor cursor(document());
  InsertRichText(cursor, doc, currentCharFormat());
  bytes_ = uitext::ToCp932Text(toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
  hasLines_ = !bytes_.empty();
  bytesValid_ = true;
  moveCursor(QTextCursor::Start);
}

// The editor's document takes over from the byte view, with the caret where it was.
void TTextPane::LeaveByteMode(int caret, int anchor) {
  const bool focused = view_->hasFocus();
  byteMode_ = false;
  setFocusProxy(nullptr);
  view_->hide();
  QTextCursor c(document());
  const int end = document()->characterCount() - 1;
  c.setPosition(std::clamp(anchor, 0, end));
  c.setPosition(std::clamp(caret, 0, end), QTextCursor::KeepAnchor);
  setTextCursor(c);
  if (focused) setFocus();
  ensureCursorVisible();
}

void TTextPane::BuildDocumentNow() {
  const int caret = EditorLength(std::string_view(bytes_).substr(0, view_->Caret()), form_);
  const int anchor = EditorLength(std::string_view(bytes_).substr(0, view_->Anchor()), form_);
  {
    TLoading loading(*this);
    setPlainText(DecodeText(bytes_));
  }
  LeaveByteMode(caret, anchor);
}

void TTextPane::StartBuilding() {
  building_ = true;
  progress_->setValue(0);
  progress_->show();
  progress_->raise();
  progressTimer_->start();
  builder_->Start(bytes_, form_);
}

void TTextPane::StopBuilding() {
  if (builder_) builder_->Stop();
  building_ = false;
  pendingEdits_.clear();
  if (progressTimer_) progressTimer_->stop();
  if (progress_) progress_->hide();
}

void TTextPane::DocumentBuilt() {
  std::unique_ptr<QTextDocument> doc = builder_->Take();
  if (!doc || !byteMode_) return;
  building_ = false;
  progressTimer_->stop();
  progress_->hide();
  const int caret = EditorLength(std::string_view(bytes_).substr(0, view_->Caret()), form_);
  const int anchor = EditorLength(std::string_view(bytes_).substr(0, view_->Anchor()), form_);
  doc->setDefaultFont(font());
  doc->setDocumentLayout(new QPlainTextDocumentLayout(doc.get()));
  ownDocument_ = doc.release();
  ownDocument_->setParent(this);
  ownDocument_->setModified(false);
  {
    const QSignalBlocker block(this);
    AdoptDocument(ownDocument_);
  }
  LeaveByteMode(caret, anchor);
  auto edits = std::move(pendingEdits_);
  pendingEdits_.clear();
  for (auto& edit : edits) edit();
}

void TTextPane::RunEdit(std::function<void()> edit) {
  if (!byteMode_) {
    edit();
    return;
  }
  if (!building_ && pendingEdits_.empty() && LongestLine() > kEditableLineBytes) {
    emit EditRefused();
    return;
  }
  if (bytes_.size() <= kInstantEditBytes) {
    BuildDocumentNow();
    edit();
    return;
  }
  pendingEdits_.push_back(std::move(edit));
  if (!building_) StartBuilding();
}

std::size_t TTextPane::LongestLine() const {
  const TLineIndex& index = view_->Index();
  std::size_t longest = 0;
  for (std::size_t line = 0; line < index.Lines(); ++line)
    longest = std::max(longest, index.End(line) - index.Start(line));
  return longest;
}

void TTextPane::OnUnusedKey(QKeyEvent* event) {
  if (!editable_ || !IsEditingKey(event)) return;
  event->accept();
  const auto type = event->type();
  const int key = event->key();
  const auto modifiers = event->modifiers();
  const QString text = event->text();
  RunEdit([this, type, key, modifiers, text] {
    QKeyEvent replay(type, key, modifiers, text);
    QPlainTextEdit::keyPressEvent(&replay);
    emit KeyPressed();
  });
}

std::string TTextPane::TextBytes() const {
  if (byteMode_ || bytesValid_) return bytes_;
  QString text = toPlainText();
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return EncodeText(text);
}

std::string_view TTextPane::ShownBytes() const { return byteMode_ || bytesValid_ ? std::string_view(bytes_) : std::string_view(); }

std::string TTextPane::FirstLineBytes() const {
  if (byteMode_ || bytesValid_) {
    std::size_t end = bytes_.find_first_of("\r\n");
    return bytes_.substr(0, end);
  }
  return EncodeText(document()->firstBlock().text());
}

std::string TTextPane::LineBytes(int line) const {
  if (line < 0) return {};
  if (byteMode_) {
    const TLineIndex& index = view_->Index();
    const auto n = static_cast<std::size_t>(line);
    if (n >= index.Lines()) return {};
    return bytes_.substr(index.Start(n), index.End(n) - index.Start(n));
  }
  return EncodeText(document()->findBlockByNumber(line).text());
}

bool TTextPane::IsEmptyText() const { return byteMode_ ? bytes_.empty() : document()->isEmpty(); }

// A line break at the very end of the text starts no further line.
int TTextPane::LineCount() const {
  if (byteMode_) {
    // Lines added one by one are all lines, even an empty last one.
    const std::size_t lines = !hasLines_ ? 0 : trailingBreak_ ? view_->Index().TextLines() : view_->Index().Lines();
    return static_cast<int>(std::min<std::size_t>(lines, INT32_MAX));
  }
  if (IsEmptyText()) return 0;
  const int blocks = document()->blockCount();
  return trailingBreak_ && blocks > 1 && document()->lastBlock().length() <= 1 ? blocks - 1 : blocks;
}

int TTextPane::CaretLine() const {
  if (byteMode_) return static_cast<int>(std::min<std::size_t>(view_->CaretLine(), INT32_MAX));
  return textCursor().blockNumber();
}

int TTextPane::CaretColumn() const {
  if (byteMode_) return static_cast<int>(std::min<std::size_t>(view_->CaretColumn(), INT32_MAX));
  return textCursor().positionInBlock();
}

void TTextPane::SetCaretToLine(int line) {
  if (byteMode_) {
    const std::size_t lines = view_->Index().Lines();
    const std::size_t n = line < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(line), lines - 1);
    view_->SetCaret(view_->Index().Start(n));
    return;
  }
  QTextBlock block = document()->findBlockByNumber(line < 0 ? 0 : line);
  if (!block.isValid()) block = document()->lastBlock();
  QTextCursor c(block);
  setTextCursor(c);
}

void TTextPane::SetCaretToStart() {
  if (byteMode_) view_->SetCaret(0);
  else moveCursor(QTextCursor::Start);
}

void TTextPane::SetCaretToEnd() {
  if (byteMode_) {
    // The last character, not the position after it (the end of the last line of text when the
    // text ends with a break).
    const TLineIndex& index = view_->Index();
    const std::size_t end = bytes_.size();
    const std::size_t line = index.LineOf(end);
    const std::size_t start = index.Start(line);
    view_->SetCaret(end > start ? view_->PreviousStart(start, end) : line > 0 ? index.End(line - 1) : 0);
    return;
  }
  QTextCursor c(document());
  c.movePosition(QTextCursor::End);
  // The last character, not the position after it; an empty pane stays at the start.
  if (c.position() > 0) c.movePosition(QTextCursor::PreviousCharacter);
  setTextCursor(c);
}

void TTextPane::EnsureCaretVisible() {
  if (byteMode_) view_->EnsureCaretVisible();
  else ensureCursorVisible();
}

bool TTextPane::HasSelection() const { return byteMode_ ? view_->HasSelection() : textCursor().hasSelection(); }

std::string TTextPane::SelectedBytes() const {
  if (byteMode_) return std::string(view_->SelectedBytes());
  return EncodeText(textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n'));
}

int TTextPane::SelectionLength() const {
  if (byteMode_) return EditorLength(view_->SelectedBytes(), form_);
  return static_cast<int>(textCursor().selectedText().size());
}

void TTextPane::SelectBytes(std::size_t start, std::size_t length) {
  if (byteMode_) {
    view_->Select(start, length);
    view_->EnsureCaretVisible();
    return;
  }
  const std::string text = TextBytes();
  start = std::min(start, text.size());
  length = std::min(length, text.size() - start);
  QTextCursor c(document());
  c.setPosition(EditorLength(std::string_view(text).substr(0, start), form_));
  c.setPosition(EditorLength(std::string_view(text).substr(0, start + length), form_), QTextCursor::KeepAnchor);
  setTextCursor(c);
  ensureCursorVisible();
}

std::pair<std::size_t, std::size_t> TTextPane::SelectionBytes() const {
  if (byteMode_) return {view_->SelectionStart(), view_->SelectionEnd() - view_->SelectionStart()};
  const QTextCursor c = textCursor();
  QString text = toPlainText();
  auto bytesBefore = [this, &text](int position) {
    return EncodeText(text.left(position).replace(QLatin1Char('\n'), QStringLiteral("\r\n"))).size();
  };
  const std::size_t start = bytesBefore(c.selectionStart());
  return {start, bytesBefore(c.selectionEnd()) - start};
}

int TTextPane::FirstVisibleLine() const {
  if (byteMode_) return static_cast<int>(std::min<std::size_t>(view_->TopLine(), INT32_MAX));
  return firstVisibleBlock().blockNumber();
}

void TTextPane::ScrollLines(int lines) {
  QScrollBar* bar = byteMode_ ? view_->verticalScrollBar() : verticalScrollBar();
  bar->setValue(bar->value() + lines);
}

void TTextPane::ReplaceRanges(const std::vector<std::pair<std::size_t, std::size_t>>& ranges,
                              std::string_view replacement) {
  if (ranges.empty()) return;
  if (byteMode_) {
    std::string out;
    out.reserve(bytes_.size() + ranges.size() * replacement.size());
    std::size_t at = 0;
    for (const auto& [start, length] : ranges) {
      out.append(bytes_, at, start - at).append(replacement);
      at = start + length;
    }
    const std::size_t caret = out.size();
    out.append(bytes_, at, std::string::npos);
    const QString whole = wholeFile_;
    TakeBytes(std::move(out));
    wholeFile_ = whole;  // still all of that file, changed
    view_->SetCaret(caret);
    view_->EnsureCaretVisible();
    return;
  }
  // Editor positions of the ranges, found in one pass over the bytes.
  const std::string text = TextBytes();
  std::vector<std::pair<int, int>> positions;
  int position = 0;
  std::size_t at = 0;
  for (const auto& [start, length] : ranges) {
    position += EditorLength(std::string_view(text).substr(at, start - at), form_);
    const int chars = EditorLength(std::string_view(text).substr(start, length), form_);
    positions.emplace_back(position, chars);
    position += chars;
    at = start + length;
  }
  const QString with = DecodeText(replacement);
  QTextCursor c(document());
  c.beginEditBlock();
  for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
    c.setPosition(it->first);
    c.setPosition(it->first + it->second, QTextCursor::KeepAnchor);
    c.insertText(with);
  }
  c.endEditBlock();
  c.setPosition(positions.back().first + static_cast<int>(with.size()));
  setTextCursor(c);
  ensureCursorVisible();
}

void TTextPane::AddLines(const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  wholeFile_.clear();
  if (!byteMode_) Clear();
  for (const std::string& line : lines) {
    if (hasLines_) bytes_ += "\r\n";
    bytes_.append(line);
    hasLines_ = true;
  }
  bytesValid_ = true;
  view_->SetText(bytes_, true);
}

void TTextPane::CopySelection() {
  if (byteMode_) view_->CopySelection();
  else copy();
}

void TTextPane::SelectEverything() {
  if (byteMode_) view_->SelectAll();
  else selectAll();
}

void TTextPane::SetEditable(bool on) {
  editable_ = on;
  setReadOnly(!on);
  setTabChangesFocus(!on);
  setUndoRedoEnabled(on);
}

void TTextPane::DuplicateCaretLine() {
  QTextCursor c = textCursor();
  const QString line = c.block().text();
  c.movePosition(QTextCursor::StartOfBlock);
  // Inside an edit block the cursor does not lay out its line to find its x at once: for a line
  // of megabytes that took seconds; the layout then waits until the line is painted.
  c.beginEditBlock();
  c.insertText(line + QChar::ParagraphSeparator);
  c.endEditBlock();
}

void TTextPane::DeleteCaretLine() {
  QTextCursor c = textCursor();
  c.movePosition(QTextCursor::StartOfBlock);
  if (!c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor)) {
    // The last line: its text, and the break before it when there is one.
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    if (c.block().previous().isValid()) {
      c.clearSelection();
      c.movePosition(QTextCursor::EndOfBlock);
      c.movePosition(QTextCursor::PreviousBlock, QTextCursor::KeepAnchor);
      c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    }
  }
  c.removeSelectedText();
}

RtfDocument TTextPane::RichDocument() const {
  RtfDocument doc;
  if (byteMode_) {
    const TLineIndex& index = view_->Index();
    for (std::size_t line = 0; line < index.TextLines(); ++line) {
      RtfRun run;
      const QString decoded = DecodeText(std::string_view(bytes_).substr(index.Start(line), index.End(line) - index.Start(line)));
      run.text.assign(reinterpret_cast<const char16_t*>(decoded.utf16()), static_cast<std::size_t>(decoded.size()));
      std::vector<RtfRun> runs;
      if (!run.text.empty()) runs.push_back(std::move(run));
      doc.paragraphs.push_back(std::move(runs));
    }
    return doc;
  }
  return RichTextOf(*document());
}

void TTextPane::SetTabWidth(int tabWidth) {
  if (tabWidth <= 0) return;
  const QFontMetricsF metrics(font());
  // The width of one "M" from a long run, so that rounding of a single glyph does not add up.
  double w = 0;
  for (int n = 512; n > 0 && w <= 0; n -= 2) w = metrics.horizontalAdvance(QString(n, QLatin1Char('M'))) / n;
  if (w <= 0) return;
  tabDistance_ = tabWidth * w;
  setTabStopDistance(tabDistance_);
  view_->SetTabStopDistance(tabDistance_);
}

void TTextPane::SetWordWrap(bool on) {
  setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
  view_->SetWordWrap(on);
}

void TTextPane::keyPressEvent(QKeyEvent* event) {
  // Keys the byte view passed on belong to the window; keys sent to the pane itself go to the view.
  if (byteMode_) {
    if (view_->PassedOn(event)) event->ignore();
    else view_->HandleKey(event);
  } else {
    QPlainTextEdit::keyPressEvent(event);
  }
  emit KeyPressed();
}

void TTextPane::mousePressEvent(QMouseEvent* event) {
  QPlainTextEdit::mousePressEvent(event);
  emit MousePressed();
}

}  // namespace sorabu::viewer
