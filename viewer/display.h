// The display pipeline: what the text pane and the information line show for the selected file.
//
// A selection shows the first DisplayLineLimit lines at once (the quick display); the whole file is
// loaded on request under two size rules read afresh from the settings file at every load: the
// stream threshold and the read limit. The information line is black after a quick display, blue
// after a whole-file load and red once the pane was edited.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>

#include "settings/window_state.h"

class QLabel;

namespace sorabu::dialogs {
class TDialogs;
}

namespace sorabu::viewer {

class TTextPane;
class TStatusPanels;
class TFileSelection;

struct TViewerParts {
  TTextPane* pane = nullptr;        // RichEdit1
  QLabel* infoLine = nullptr;       // LFilestring
  TStatusPanels* textStatus = nullptr;  // SBarR
  TStatusPanels* mainStatus = nullptr;  // StatusBar1
};

// The quick display reads no more than this many bytes, so that a file without CR (one endless
// line) still shows at once.
constexpr std::size_t kQuickDisplayByteCap = 256 * 1024;
// Whole-file loads above this size are refused: the pane would need several times its size.
constexpr long long kPaneLoadCeiling = 1LL << 30;

class TViewer : public QObject {
  Q_OBJECT
 public:
  TViewer(settings::TWindowState& state, TViewerParts parts, dialogs::TDialogs& dialogs, QObject* parent = nullptr);

  void SetSelection(TFileSelection* selection) { selection_ = selection; }
  void SetSettingsPath(std::string path) { iniPath_ = std::move(path); }
  // Options read by the pipeline.
  void SetRtfOption(bool on) { rtf_ = on; }
  void SetLhaShowOption(bool on) { lhaShow_ = on; }
  // Mlfline: an LF alone ends a line for the quick display, and the pane saves with the file's
  // own line end; off, lines end at CR or CR LF and a save writes CR LF.
  void SetLfLines(bool on) { lfLines_ = on; }
  // Shows an LHA archive's listing instead of its text; false when it cannot.
  void SetArchiveListing(std::function<bool(const QString&)> show) { archiveListing_ = std::move(show); }
  // Runs when a whole file's line colours change (so the window can follow); optional.

  // FileView1Change: the trigger for every change notification of the file list.
  void FileView1Change(bool selectionStateChanged);
  void ShowSelectedFile();
  void LoadWholeFile();
  void StreamLoad(const QString& path);
  void ShowFileInfo();
  void SelectAndShow(const QString& path);
  // Empties the pane and the information line; false (the pane kept) when its unsaved edits
  // must stay.
  bool ClearTextPane();
  // Asked before anything replaces the pane while it holds unsaved edits; false keeps the pane.
  void SetReplaceGuard(std::function<bool()> guard) { replaceGuard_ = std::move(guard); }
  bool MayReplacePane() { return !replaceGuard_ || replaceGuard_(); }
  // Unsaved edits (the red information line) and the file the pane showed when they began.
  bool Edited() const { return edited_; }
  const QString& EditedPath() const { return editedPath_; }
  void DiscardEdits() { edited_ = false; }
  // After the list changed under the pane: a pane that shows a file that is gone, or no longer the
  // selected one, is cleared with the information line.
  void DropStalePane();
  void UpdateCaretStatus();

  void MvClick(bool mdisp, const std::function<void()>& showPane);
  void Mtextrepaint1Click();
  void MtextnewviewClick() { LoadWholeFile(); }
  void MjumpClick();
  void Mlinetop1Click();
  void Mlinebottom1Click();

  // The pane was edited: the information line turns red (on a key down with the modified flag).
  void MarkEdited();
  // An editing command changed the pane / the pane was saved over its file: red / black.
  void MarkChanged();
  void MarkSaved() {
    edited_ = false;
    SetInfo(info_, InfoColour::Black);
  }

  enum class InfoColour { Black, Blue, Red };
  InfoColour Colour() const { return colour_; }
  QString InfoText() const;
  // The kanji code found by the last display; -1 when the pane was empty.
  int LastKanjiCode() const { return kanjiCode_; }

 private:
  QString SelectedPath() const;
  void SetInfo(const QString& text, InfoColour colour);
  void AppendTags();
  // The first lines of a file into the pane, EUC and JIS text as the characters it holds.
  void ShowLines(std::vector<std::string>&& lines, bool complete);
  bool ReadWhole(const QString& path, std::string& bytes, std::string& error) const;
  // Loads a whole text into the pane in the form it has (UTF-16 shown as UTF-8).
  void TakeWhole(std::string&& bytes);
  // The first lines of a UTF-16 file; false when the file is not UTF-16.
  bool ShowUtf16Start(const QString& path);
  // For a FIFO, socket or device: clears the pane, says what it is, and returns true.
  bool ShowSpecialFile(const QString& path);

  settings::TWindowState& state_;
  TViewerParts parts_;
  dialogs::TDialogs& dialogs_;
  TFileSelection* selection_ = nullptr;
  std::string iniPath_;
  bool rtf_ = false;
  bool lhaShow_ = false;
  bool lfLines_ = true;
  bool edited_ = false;
  QString editedPath_;
  QString shownPath_;  // the file the pane shows; empty for listings and an empty pane
  std::function<bool()> replaceGuard_;
  std::function<bool(const QString&)> archiveListing_;
  QString info_;
  InfoColour colour_ = InfoColour::Black;
  int kanjiCode_ = -1;
  int readKanjiCode_ = -1;  // the code of the EUC or JIS text the pane shows as UTF-8
};

}  // namespace sorabu::viewer
