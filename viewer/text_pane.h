// The text pane (RichEdit1): shows code page 932 bytes, plain or as rich text.
//
// Plain text is shown by a byte view painting straight from the bytes the pane was given, so that
// a file of any size shows at once and the kanji code is detected on the stored bytes, not on a
// round trip through Unicode. Lines end at CR, LF or CR LF; a quick display adds one line at a
// time. Rich text, and plain text once the user edits it, live in the editor's document: the
// first edit of a large text builds that document on a worker thread while a progress bar runs,
// and the edit is made when it is ready.
#pragma once

#include <QPlainTextEdit>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "textconv/unicode_text.h"
#include "viewer/pane_text.h"
#include "viewer/rtf_reader.h"

class QProgressBar;
class QTimer;

namespace sorabu::viewer {

class TByteView;
class TDocumentBuilder;

class TTextPane : public QPlainTextEdit {
  Q_OBJECT
 public:
  // Texts up to this size become an editable document at once; larger ones on a worker thread.
  static constexpr std::size_t kInstantEditBytes = 1 << 20;
  // Longer lines stay in the byte view, which paints them up to its cap: the editor lays a line
  // out whole, and a line of megabytes held the window's thread for many seconds.
  static constexpr std::size_t kEditableLineBytes = 64 * 1024;  // TByteView::kLayoutCap

  explicit TTextPane(QWidget* parent = nullptr);
  ~TTextPane() override;

  // Plain-text mode off means the next load of a text starting with "{\rtf" is shown formatted.
  void SetPlainTextMode(bool on) { plainTextMode_ = on; }
  bool PlainTextMode() const { return plainTextMode_; }

  void Clear();
  // How the bytes are read: code page 932 unless the text was found to be UTF-8. Cleared to code
  // page 932 by Clear. source: the form the file has on disk (UTF-16 text is shown as UTF-8 and
  // written back as UTF-16).
  void SetTextForm(textconv::TextForm form, textconv::TextForm source);
  void SetTextForm(textconv::TextForm form) { SetTextForm(form, form); }
  textconv::TextForm TextForm() const { return form_; }
  textconv::TextForm SourceForm() const { return sourceForm_; }
  // The pane's bytes as the editor's text and back, in the pane's form.
  QString DecodeText(std::string_view bytes) const;
  std::string EncodeText(const QString& text) const;
  void AddLine(std::string_view bytes);
  // Replaces the content with the whole text, as plain text or, outside plain-text mode, as rich
  // text when it is RTF.
  void LoadBytes(std::string_view bytes) { TakeBytes(std::string(bytes)); }
  // The same without a copy of a large text.
  void TakeBytes(std::string&& bytes);

  // The pane's text as bytes, lines joined by CR LF.
  std::string TextBytes() const;
  // The same without a copy, while the pane shows unedited bytes; empty otherwise.
  std::string_view ShownBytes() const;
  bool ShowsBytes() const { return byteMode_; }
  std::string FirstLineBytes() const;
  std::string LineBytes(int line) const;
  bool IsEmptyText() const;
  int LineCount() const;
  int CaretLine() const;    // 0-based
  int CaretColumn() const;  // 0-based, in characters
  void SetCaretToLine(int line);
  void SetCaretToStart();
  void SetCaretToEnd();
  void EnsureCaretVisible();

  bool HasSelection() const;
  std::string SelectedBytes() const;
  int SelectionLength() const;  // in characters
  // Selects length bytes of TextBytes() from start (snapped to characters) and shows them.
  void SelectBytes(std::size_t start, std::size_t length);
  void CopySelection();
  void SelectEverything();
  // The selection as bytes of TextBytes(): start and length.
  std::pair<std::size_t, std::size_t> SelectionBytes() const;
  int FirstVisibleLine() const;
  void ScrollLines(int lines);
  // Every range (start, length in bytes of TextBytes(), ascending, not overlapping) becomes
  // replacement; the caret goes after the last. In the editor this is one step to undo.
  void ReplaceRanges(const std::vector<std::pair<std::size_t, std::size_t>>& ranges, std::string_view replacement);
  // Lines added at the end in one go (a quick display or a Grep adding its results).
  void AddLines(const std::vector<std::string>& lines);
  // Called with the line double-clicked or entered in the byte view; true when it was used (the
  // word under the mouse is not selected then).
  void SetLineActivated(std::function<bool(int line)> activated) { lineActivated_ = std::move(activated); }

  // The file whose whole text the pane holds (set by the display after a complete load, cleared
  // by every new content); empty when the pane holds part of a file or something else.
  void SetWholeFile(const QString& path) { wholeFile_ = path; }
  // What ends each line when the pane's text is saved: the line end of the file it shows (CR LF
  // for a new text).
  void SetLineEnd(std::string end) { lineEnd_ = end.empty() ? std::string("\r\n") : std::move(end); }
  const std::string& LineEnd() const { return lineEnd_; }
  const QString& WholeFile() const { return wholeFile_; }

  // Simple editing: editable panes take Tab into the text and keep an undo history of the user's
  // edits (a load is never undone); read-only panes pass Tab on to move the focus.
  void SetEditable(bool on);
  bool Editable() const { return editable_; }
  // Runs edit on the editor's document, building the document first when the pane shows bytes
  // (at once, or when the worker is done; a new content before that drops the edit).
  void RunEdit(std::function<void()> edit);
  bool PreparingEdit() const { return building_; }
  // The line holding the caret stands twice (the copy above it) / is removed.
  void DuplicateCaretLine();
  void DeleteCaretLine();
  // The pane's text with its formatting, for saving as RTF.
  RtfDocument RichDocument() const;

  // Tab stops every tabWidth characters of "M" in the pane's font.
  void SetTabWidth(int tabWidth);
  void SetWordWrap(bool on);
  bool WordWrap() const { return lineWrapMode() != QPlainTextEdit::NoWrap; }

  TByteView* ByteView() const { return view_; }

  // The longest line of the shown bytes, line end not counted.
  std::size_t LongestLine() const;

 signals:
  void KeyPressed();
  // An edit was refused because a line is longer than kEditableLineBytes.
  void EditRefused();
  void MousePressed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void LoadRtf(std::string_view bytes);
  void ShowBytes();
  void LeaveByteMode(int caret, int anchor);
  void BuildDocumentNow();
  void StartBuilding();
  void DocumentBuilt();
  void StopBuilding();
  void AdoptDocument(QTextDocument* document);
  void OnUnusedKey(QKeyEvent* event);
  // Loads replace the text without an undo step.
  class TLoading;

  TByteView* view_ = nullptr;
  bool byteMode_ = true;
  bool editable_ = false;
  bool plainTextMode_ = true;
  textconv::TextForm form_ = textconv::TextForm::Cp932;
  textconv::TextForm sourceForm_ = textconv::TextForm::Cp932;
  QString wholeFile_;
  bool bytesValid_ = true;  // bytes_ mirrors the text until the user edits it
  std::string bytes_;
  std::string lineEnd_ = "\r\n";
  bool hasLines_ = false;
  bool trailingBreak_ = false;  // the loaded text ended with a line break
  double tabDistance_ = 0;

  // The document built for editing a large text, and the edits waiting for it.
  bool building_ = false;
  std::vector<std::function<void()>> pendingEdits_;
  TDocumentBuilder* builder_ = nullptr;
  QMetaObject::Connection documentChanges_;
  QTextDocument* ownDocument_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QTimer* progressTimer_ = nullptr;
  std::function<bool(int)> lineActivated_;
};

}  // namespace sorabu::viewer
