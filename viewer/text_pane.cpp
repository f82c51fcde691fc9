#include "viewer/text_pane.h"

#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>
#include <QSignalBlocker>
#include <QTextFragment>

#include "textconv/cp932.h"
#include "viewer/file_info.h"
#include "viewer/rtf_reader.h"

namespace sorabu::viewer {

QString DecodeForPane(std::string_view bytes) {
  std::u16string u = textconv::DecodeCp932(bytes);
  // One pass turning CR LF and lone CR into the pane's paragraph breaks.
  std::size_t out = 0;
  for (std::size_t i = 0; i < u.size(); ++i) {
    char16_t c = u[i];
    if (c == u'\r') {
      if (i + 1 < u.size() && u[i + 1] == u'\n') ++i;
      c = u'\n';
    }
    u[out++] = c;
  }
  return QString::fromUtf16(u.data(), static_cast<qsizetype>(out));
}

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
  connect(document(), &QTextDocument::contentsChange, this, [this](int, int, int) {
    if (!signalsBlocked()) bytesValid_ = false;
  });
}

void TTextPane::Clear() {
  TLoading loading(*this);
  wholeFile_.clear();
  clear();
  bytes_.clear();
  bytesValid_ = true;
  hasLines_ = false;
  trailingBreak_ = false;
}

void TTextPane::AddLine(std::string_view line) {
  TLoading loading(*this);
  wholeFile_.clear();
  appendPlainText(DecodeForPane(line));
  if (hasLines_) bytes_ += "\r\n";
  bytes_.append(line);
  hasLines_ = true;
  bytesValid_ = true;
}

void TTextPane::LoadBytes(std::string_view bytes) {
  Clear();
  if (!plainTextMode_ && bytes.substr(0, 5) == "{\\rtf") {
    LoadRtf(bytes);
    return;
  }
  TLoading loading(*this);
  setPlainText(DecodeForPane(bytes));
  bytes_.assign(bytes);
  hasLines_ = !bytes.empty();
  trailingBreak_ = !bytes.empty() && (bytes.back() == '\r' || bytes.back() == '\n');
  bytesValid_ = true;
}

void TTextPane::LoadRtf(std::string_view bytes) {
  const RtfDocument doc = ReadRtf(bytes);
  TLoading loading(*this);
  QTextCursor cursor(document());
  const QTextCharFormat base = currentCharFormat();
  bool firstParagraph = true;
  for (const auto& paragraph : doc.paragraphs) {
    if (!firstParagraph) cursor.insertBlock();
    firstParagraph = false;
    for (const auto& run : paragraph) {
      QTextCharFormat f = base;
      if (run.bold) f.setFontWeight(QFont::Bold);
      if (run.italic) f.setFontItalic(true);
      if (run.underline) f.setFontUnderline(true);
      if (run.halfPoints > 0) f.setFontPointSize(run.halfPoints / 2.0);
      if (run.rgb) f.setForeground(QColor(static_cast<QRgb>(*run.rgb)));
      cursor.insertText(QString::fromUtf16(run.text.data(), static_cast<qsizetype>(run.text.size())), f);
    }
  }
  bytes_ = ToCp932(toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
  hasLines_ = !bytes_.empty();
  bytesValid_ = true;
  moveCursor(QTextCursor::Start);
}

std::string TTextPane::TextBytes() const {
  if (bytesValid_) return bytes_;
  QString text = toPlainText();
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return ToCp932(text);
}

std::string TTextPane::FirstLineBytes() const {
  if (bytesValid_) {
    std::size_t end = bytes_.find_first_of("\r\n");
    return bytes_.substr(0, end);
  }
  return ToCp932(document()->firstBlock().text());
}

bool TTextPane::IsEmptyText() const { return document()->isEmpty(); }

// A line break at the very end of the text starts no further line.
int TTextPane::LineCount() const {
  if (IsEmptyText()) return 0;
  const int blocks = document()->blockCount();
  return trailingBreak_ && blocks > 1 && document()->lastBlock().length() <= 1 ? blocks - 1 : blocks;
}

int TTextPane::CaretLine() const { return textCursor().blockNumber(); }

int TTextPane::CaretColumn() const { return textCursor().positionInBlock(); }

void TTextPane::SetCaretToLine(int line) {
  QTextBlock block = document()->findBlockByNumber(line < 0 ? 0 : line);
  if (!block.isValid()) block = document()->lastBlock();
  QTextCursor c(block);
  setTextCursor(c);
}

void TTextPane::SetCaretToStart() { moveCursor(QTextCursor::Start); }

void TTextPane::SetCaretToEnd() {
  QTextCursor c(document());
  c.movePosition(QTextCursor::End);
  // The last character, not the position after it; an empty pane stays at the start.
  if (c.position() > 0) c.movePosition(QTextCursor::PreviousCharacter);
  setTextCursor(c);
}

void TTextPane::SetEditable(bool on) {
  setReadOnly(!on);
  setTabChangesFocus(!on);
  setUndoRedoEnabled(on);
}

void TTextPane::DuplicateCaretLine() {
  QTextCursor c = textCursor();
  const QString line = c.block().text();
  c.movePosition(QTextCursor::StartOfBlock);
  c.insertText(line + QChar::ParagraphSeparator);
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
  for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next()) {
    std::vector<RtfRun> runs;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid()) continue;
      const QTextCharFormat f = fragment.charFormat();
      RtfRun run;
      const QString text = fragment.text();
      run.text.assign(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
      run.bold = f.fontWeight() >= QFont::Bold;
      run.italic = f.fontItalic();
      run.underline = f.fontUnderline();
      if (f.hasProperty(QTextFormat::FontPointSize)) run.halfPoints = static_cast<int>(std::lround(f.fontPointSize() * 2));
      if (f.hasProperty(QTextFormat::ForegroundBrush)) run.rgb = f.foreground().color().rgb() & 0xFFFFFF;
      if (!runs.empty()) {
        RtfRun& last = runs.back();
        if (last.bold == run.bold && last.italic == run.italic && last.underline == run.underline &&
            last.halfPoints == run.halfPoints && last.rgb == run.rgb) {
          last.text += run.text;
          continue;
        }
      }
      runs.push_back(std::move(run));
    }
    doc.paragraphs.push_back(std::move(runs));
  }
  // A break at the very end starts no paragraph.
  if (!doc.paragraphs.empty() && doc.paragraphs.back().empty()) doc.paragraphs.pop_back();
  return doc;
}

void TTextPane::SetTabWidth(int tabWidth) {
  if (tabWidth <= 0) return;
  const QFontMetricsF metrics(font());
  // The width of one "M" from a long run, so that rounding of a single glyph does not add up.
  double w = 0;
  for (int n = 512; n > 0 && w <= 0; n -= 2) w = metrics.horizontalAdvance(QString(n, QLatin1Char('M'))) / n;
  if (w <= 0) return;
  setTabStopDistance(tabWidth * w);
}

void TTextPane::keyPressEvent(QKeyEvent* event) {
  QPlainTextEdit::keyPressEvent(event);
  emit KeyPressed();
}

void TTextPane::mousePressEvent(QMouseEvent* event) {
  QPlainTextEdit::mousePressEvent(event);
  emit MousePressed();
}

}  // namespace sorabu::viewer
