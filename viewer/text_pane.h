// The text pane (RichEdit1): shows code page 932 bytes, plain or as rich text.
//
// The pane keeps the bytes it was given beside the Unicode it shows, so the kanji code of the text
// is detected on the stored bytes, not on a round trip through Unicode. Lines are split by the
// pane at CR, LF and CR LF; a quick display adds one line at a time.
#pragma once

#include <QPlainTextEdit>
#include <string>
#include <string_view>

#include "viewer/rtf_reader.h"

namespace sorabu::viewer {

class TTextPane : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit TTextPane(QWidget* parent = nullptr);

  // Plain-text mode off means the next load of a text starting with "{\rtf" is shown formatted.
  void SetPlainTextMode(bool on) { plainTextMode_ = on; }
  bool PlainTextMode() const { return plainTextMode_; }

  void Clear();
  void AddLine(std::string_view bytes);
  // Replaces the content with the whole text, as plain text or, outside plain-text mode, as rich
  // text when it is RTF.
  void LoadBytes(std::string_view bytes);

  // The pane's text as bytes, lines joined by CR LF.
  std::string TextBytes() const;
  std::string FirstLineBytes() const;
  bool IsEmptyText() const;
  int LineCount() const;
  int CaretLine() const;    // 0-based
  int CaretColumn() const;  // 0-based, in characters
  void SetCaretToLine(int line);
  void SetCaretToStart();
  void SetCaretToEnd();

  // The file whose whole text the pane holds (set by the display after a complete load, cleared
  // by every new content); empty when the pane holds part of a file or something else.
  void SetWholeFile(const QString& path) { wholeFile_ = path; }
  const QString& WholeFile() const { return wholeFile_; }

  // Simple editing: editable panes take Tab into the text and keep an undo history of the user's
  // edits (a load is never undone); read-only panes pass Tab on to move the focus.
  void SetEditable(bool on);
  bool Editable() const { return !isReadOnly(); }
  // The line holding the caret stands twice (the copy above it) / is removed.
  void DuplicateCaretLine();
  void DeleteCaretLine();
  // The pane's text with its formatting, for saving as RTF.
  RtfDocument RichDocument() const;

  // Tab stops every tabWidth characters of "M" in the pane's font.
  void SetTabWidth(int tabWidth);

 signals:
  void KeyPressed();
  void MousePressed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void LoadRtf(std::string_view bytes);
  // Loads replace the text without an undo step.
  class TLoading;

  bool plainTextMode_ = true;
  QString wholeFile_;
  bool bytesValid_ = true;  // bytes_ mirrors the text until the user edits it
  std::string bytes_;
  bool hasLines_ = false;
  bool trailingBreak_ = false;  // the loaded text ended with a line break
};

// CP932 bytes to the pane's Unicode: lines end at CR, LF or CR LF.
QString DecodeForPane(std::string_view bytes);

}  // namespace sorabu::viewer
