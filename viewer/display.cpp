#include "viewer/display.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "dialogs/dialogs.h"
#include "settings/ini_file.h"
#include "settings/setting_keys.h"
#include "textcmd/text_line_reader.h"
#include "textconv/cp932.h"
#include "textconv/kanji_code.h"
#include "textconv/system_error.h"
#include "textconv/unicode_text.h"
#include "uitext/qt_text.h"
#include "viewer/file_info.h"
#include "viewer/file_selection.h"
#include "viewer/japanese_codes.h"
#include "textconv/large_pages.h"
#include "viewer/status_panels.h"
#include "viewer/text_pane.h"

namespace sorabu::viewer {

namespace {

using textconv::Sjis;

// The hourglass for the length of a step, restored on every way out.
class TBusyCursor {
 public:
  TBusyCursor() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
      QApplication::setOverrideCursor(Qt::WaitCursor);
  }
  ~TBusyCursor() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) QApplication::restoreOverrideCursor();
  }
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;
};

bool FileExists(const QString& path) { return !path.isEmpty() && QFileInfo::exists(path) && !QFileInfo(path).isDir(); }

}  // namespace

TViewer::TViewer(settings::TWindowState& state, TViewerParts parts, dialogs::TDialogs& dialogs, QObject* parent)
    : QObject(parent), state_(state), parts_(parts), dialogs_(dialogs) {}

QString TViewer::SelectedPath() const { return selection_ ? selection_->SelectedPath() : QString(); }

QString TViewer::InfoText() const { return info_; }

void TViewer::SetInfo(const QString& text, InfoColour colour) {
  info_ = text;
  colour_ = colour;
  if (!parts_.infoLine) return;
  parts_.infoLine->setText(text);
  const char* css = colour == InfoColour::Black ? "color: black;" : colour == InfoColour::Blue ? "color: blue;" : "color: red;";
  parts_.infoLine->setStyleSheet(QString::fromLatin1(css));
}

void TViewer::AppendTags() {
  kanjiCode_ = -1;
  if (!parts_.pane->IsEmptyText()) {
    const TTextPane& pane = *parts_.pane;
    if (pane.SourceForm() == textconv::TextForm::Utf16LE || pane.SourceForm() == textconv::TextForm::Utf16BE) {
      kanjiCode_ = textconv::Utf16;
    } else if (pane.SourceForm() == textconv::TextForm::EucJp || pane.SourceForm() == textconv::TextForm::Jis) {
      // The pane holds the text as UTF-8; the line names the file's code.
      kanjiCode_ = readKanjiCode_;
    } else if (pane.TextForm() == textconv::TextForm::Utf8) {
      kanjiCode_ = textconv::Utf8;
    } else {
      const std::string_view shown = pane.ShownBytes();
      kanjiCode_ = textconv::DetectKanjiCode(shown.empty() ? std::string_view(pane.TextBytes()) : shown);
    }
  }
  SetInfo(info_ + uitext::FromCp932(InfoLineTags(parts_.pane->FirstLineBytes(), SelectedPath(), kanjiCode_)), colour_);
}

void TViewer::ShowLines(std::vector<std::string>&& lines, bool complete) {
  TTextPane& pane = *parts_.pane;
  std::string joined;
  for (const std::string& l : lines) joined.append(l).append("\r\n");
  const textconv::TextForm form = textconv::DetectTextForm(joined, complete);
  textconv::TextForm source = form;
  if (form == textconv::TextForm::Cp932) {
    readKanjiCode_ = textconv::DetectKanjiCode(joined);
    source = ReadFormOf(readKanjiCode_);
  }
  if (source == textconv::TextForm::EucJp || source == textconv::TextForm::Jis) {
    pane.AddLines(LinesToUtf8(lines, source));
    pane.SetTextForm(textconv::TextForm::Utf8, source);
    return;
  }
  pane.AddLines(lines);
  pane.SetTextForm(form);
}

void TViewer::FileView1Change(bool selectionStateChanged) {
  if (!MayReplacePane()) return;
  parts_.pane->Clear();
  shownPath_.clear();
  SetInfo(info_, InfoColour::Black);
  if (state_.DisplayGateOpen()) {
    const QString path = SelectedPath();
    const QString ext = QFileInfo(path).suffix().toUpper();
    const bool archive = lhaShow_ && (ext == QLatin1String("LZH") || ext == QLatin1String("EXE")) &&
                         SpecialFileKind(path).isEmpty();
    if (!(archive && archiveListing_ && archiveListing_(path))) ShowSelectedFile();
  }
  if (selectionStateChanged && parts_.mainStatus && selection_)
    parts_.mainStatus->SetPanelText(3, QStringLiteral(" %1 個選択 ").arg(selection_->SelectedCount()));
}

bool TViewer::ShowSpecialFile(const QString& path) {
  const QString kind = SpecialFileKind(path);
  if (kind.isEmpty()) return false;
  parts_.pane->Clear();
  SetInfo(FileInfoLineText(path) + kind, InfoColour::Black);
  if (selection_) selection_->UpdateCounts();
  return true;
}

void TViewer::ShowSelectedFile() {
  if (!state_.InstantDisplay || !MayReplacePane()) return;
  kanjiCode_ = -1;
  SetInfo({}, InfoColour::Black);
  const QString path = SelectedPath();
  if (!FileExists(path)) {
    if (const QString odd = selection_ ? selection_->SelectedUnreachableInfo() : QString(); !odd.isEmpty()) {
      parts_.pane->Clear();
      SetInfo(odd, InfoColour::Red);
    }
    return;
  }
  if (ShowSpecialFile(path)) return;
  const QString pieces = FileInfoLineText(path);
  TTextPane& pane = *parts_.pane;
  pane.Clear();
  shownPath_ = path;
  pane.SetPlainTextMode(!rtf_);
  SetInfo(pieces, InfoColour::Black);
  TBusyCursor busy;
  if (state_.DisplayLineLimit == 0) {
    LoadWholeFile();
    if (selection_) selection_->UpdateCounts();
    return;
  }
  if (state_.DisplayLineLimit > 0 && ShowUtf16Start(path)) {
    // Shown already.
  } else if (state_.DisplayLineLimit > 0) {
    textcmd::TTextLineReader reader(lfLines_ ? textcmd::LineModel::StreamingLf : textcmd::LineModel::Streaming,
                                    16 * 1024);
    if (!reader.Open(path.toStdString())) {
      dialogs_.Error(reader.Error());
    } else {
      std::string line;
      std::vector<std::string> lines;
      std::size_t shown = 0;
      bool complete = false;
      for (int n = 0; n < state_.DisplayLineLimit && shown < kQuickDisplayByteCap; ++n) {
        // One extra byte tells whether the line goes on past the cap.
        const auto result = reader.ReadLine(line, kQuickDisplayByteCap - shown + 1);
        if (result == textcmd::TTextLineReader::Result::Error) {
          dialogs_.Error(reader.Error());
          break;
        }
        if (result == textcmd::TTextLineReader::Result::End) {
          complete = true;
          break;
        }
        if (n == 0 && lfLines_) pane.SetLineEnd(reader.FirstBlockLineEnd());
        const bool cut = reader.LineCut() || line.size() > kQuickDisplayByteCap - shown;
        if (cut) {
          // Cut at a character boundary so the last character shown is whole.
          std::size_t end = 0;
          const std::size_t room = kQuickDisplayByteCap - shown;
          while (end < line.size()) {
            const std::size_t len = textconv::CharLength(line, end);
            if (end + len > room) break;
            end += len;
          }
          line.resize(end);
        }
        shown += line.size() + 2;
        lines.push_back(line);
        if (cut) break;
      }
      ShowLines(std::move(lines), complete);
      // Every line was shown: the pane holds the whole file.
      if (complete) pane.SetWholeFile(path);
    }
  }
  pane.SetCaretToStart();
  UpdateCaretStatus();
  AppendTags();
  if (selection_) selection_->UpdateCounts();
}

bool TViewer::ReadWhole(const QString& path, std::string& bytes, std::string& error) const {
  const QByteArray native = QFile::encodeName(path);
  // Never waits: a name that became a FIFO after it was looked at opens at once and is refused.
  int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    error = textconv::LastSystemErrorText();
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kPaneLoadCeiling) {
    error = st.st_size > kPaneLoadCeiling ? Sjis("ファイルが大きすぎて表示できません。")
            : S_ISREG(st.st_mode)         ? textconv::LastSystemErrorText()
                                          : Sjis("通常のファイルではないため表示できません。");
    ::close(fd);
    return false;
  }
  bytes.clear();
  bytes.reserve(static_cast<std::size_t>(st.st_size));
  textconv::PreferLargePages(bytes.data(), bytes.capacity());
  char buffer[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = textconv::LastSystemErrorText();
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    if (bytes.size() + static_cast<std::size_t>(n) > static_cast<std::size_t>(kPaneLoadCeiling)) {
      error = Sjis("ファイルが大きすぎて表示できません。");
      ::close(fd);
      return false;
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return true;
}

void TViewer::StreamLoad(const QString& path) {
  if (!FileExists(SelectedPath()) || !FileExists(path) || !MayReplacePane() || ShowSpecialFile(path)) return;
  std::string bytes, error;
  if (!ReadWhole(path, bytes, error)) {
    dialogs_.Error(error);
    return;
  }
  TakeWhole(std::move(bytes));
  parts_.pane->SetWholeFile(path);
}

void TViewer::TakeWhole(std::string&& bytes) {
  // The first megabyte tells UTF-8 from the Japanese codes; a UTF-16 text is shown as UTF-8.
  constexpr std::size_t kLook = 1 << 20;
  const textconv::TextForm form =
      textconv::DetectTextForm(std::string_view(bytes).substr(0, kLook), bytes.size() <= kLook);
  TTextPane& pane = *parts_.pane;
  textconv::TextForm source = form;
  if (form == textconv::TextForm::Cp932) {
    readKanjiCode_ = textconv::DetectKanjiCode(std::string_view(bytes).substr(0, kLook));
    source = ReadFormOf(readKanjiCode_);
  }
  if (form == textconv::TextForm::Utf16LE || form == textconv::TextForm::Utf16BE) {
    std::string utf8 = textconv::Utf16ToUtf8(bytes, form == textconv::TextForm::Utf16LE);
    std::string().swap(bytes);
    pane.TakeBytes(std::move(utf8));
  } else if (source == textconv::TextForm::EucJp || source == textconv::TextForm::Jis) {
    // EUC and JIS text is shown as the characters it holds; the file keeps its bytes.
    std::string utf8 = JapaneseToUtf8(bytes, source);
    std::string().swap(bytes);
    pane.TakeBytes(std::move(utf8));
  } else {
    source = form;
    pane.TakeBytes(std::move(bytes));
  }
  if (pane.PlainTextMode() || pane.ShowsBytes())
    pane.SetTextForm(source == textconv::TextForm::Cp932 ? source : textconv::TextForm::Utf8, source);
  if (lfLines_) pane.SetLineEnd(textcmd::FirstLineEnd(pane.ShownBytes()));
}

bool TViewer::ShowUtf16Start(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return false;
  // Two bytes tell; only a UTF-16 text is read further here.
  const QByteArray mark = file.read(2);
  const textconv::TextForm form = textconv::DetectTextForm(std::string_view(mark.constData(), static_cast<std::size_t>(mark.size())));
  if (form != textconv::TextForm::Utf16LE && form != textconv::TextForm::Utf16BE) return false;
  const QByteArray head = mark + file.read(static_cast<qint64>(kQuickDisplayByteCap) - 2);
  const std::string_view bytes(head.constData(), static_cast<std::size_t>(head.size()));
  // The first lines of the text as UTF-8; an odd byte cut by the cap is dropped.
  const std::string text = textconv::Utf16ToUtf8(bytes.substr(0, bytes.size() & ~std::size_t{1}),
                                                 form == textconv::TextForm::Utf16LE);
  TTextPane& pane = *parts_.pane;
  std::vector<std::string> lines;
  std::size_t at = 0;
  bool reachedEnd = false;
  while (static_cast<int>(lines.size()) < state_.DisplayLineLimit) {
    std::size_t end = text.find_first_of("\r\n", at);
    if (end == std::string::npos) end = text.size();
    lines.emplace_back(text, at, end - at);
    if (end == text.size()) {
      reachedEnd = true;
      break;
    }
    at = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    if (at == text.size()) {
      reachedEnd = true;
      break;
    }
  }
  pane.AddLines(lines);
  pane.SetTextForm(textconv::TextForm::Utf8, form);
  if (lfLines_) pane.SetLineEnd(textcmd::FirstLineEnd(text));
  if (head.size() == file.size() && reachedEnd) pane.SetWholeFile(path);
  return true;
}

void TViewer::LoadWholeFile() {
  const QString path = SelectedPath();
  if (!FileExists(path) || !MayReplacePane() || ShowSpecialFile(path)) return;
  kanjiCode_ = -1;
  SetInfo({}, colour_);
  const settings::TIniFile ini(iniPath_);
  const long long threshold = settings::Read(ini, settings::kStreamReadBytes);
  const bool stream = settings::Read(ini, settings::kStreamReadOn);
  const long long limit = settings::Read(ini, settings::kReadLimitBytes);
  const QString pieces = FileInfoLineText(path);
  TTextPane& pane = *parts_.pane;
  pane.SetPlainTextMode(!rtf_);
  pane.Clear();
  shownPath_ = path;
  SetInfo(pieces, InfoColour::Blue);
  TBusyCursor busy;
  const long long size = QFileInfo(path).size();  // whole 64-bit size

  enum class Route { None, Plain, Stream } route = Route::None;
  if (stream) {
    if (limit <= 0) route = size <= threshold ? Route::Plain : Route::Stream;
    else if (size > limit) route = Route::None;
    else route = size <= threshold ? Route::Plain : Route::Stream;
  } else {
    if (limit > 0) route = size > limit ? Route::None : Route::Plain;
    else route = state_.InstantDisplay ? Route::Plain : Route::None;
  }

  if (route == Route::Plain) {
    std::string bytes, error;
    pane.setUpdatesEnabled(false);
    if (ReadWhole(path, bytes, error)) {
      TakeWhole(std::move(bytes));
      pane.SetWholeFile(path);
    } else {
      pane.Clear();
    }
    pane.setUpdatesEnabled(true);
  } else if (route == Route::Stream) {
    pane.setUpdatesEnabled(false);
    StreamLoad(path);
    pane.setUpdatesEnabled(true);
  }
  pane.SetCaretToStart();
  UpdateCaretStatus();
  AppendTags();
  if (selection_) selection_->UpdateCounts();
}

void TViewer::ShowFileInfo() {
  SetInfo({}, colour_);
  const QString path = SelectedPath();
  if (FileExists(path)) SetInfo(FileInfoLineText(path), colour_);
}

void TViewer::SelectAndShow(const QString& path) {
  state_.DisplayEnabled = false;
  if (selection_) selection_->SelectByName(QFileInfo(path).fileName());
  state_.DisplayEnabled = true;
  ShowSelectedFile();
  SetInfo(info_, InfoColour::Black);
  state_.DisplayEnabled = true;
  if (qobject_cast<QApplication*>(QCoreApplication::instance()))
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

void TViewer::DropStalePane() {
  if (shownPath_.isEmpty()) return;
  if (QFileInfo::exists(shownPath_) && shownPath_ == SelectedPath()) return;
  if (ClearTextPane()) shownPath_.clear();
}

bool TViewer::ClearTextPane() {
  if (!MayReplacePane()) return false;
  shownPath_.clear();
  parts_.pane->Clear();
  kanjiCode_ = -1;
  SetInfo({}, colour_);
  return true;
}

void TViewer::UpdateCaretStatus() {
  if (!parts_.textStatus) return;
  const TTextPane& pane = *parts_.pane;
  parts_.textStatus->SetPanelText(
      0, QStringLiteral(" %1行 %2列 ").arg(pane.CaretLine() + 1).arg(pane.CaretColumn() + 1));
  parts_.textStatus->SetPanelText(1, QStringLiteral(" %1 行 ").arg(pane.LineCount()));
}

void TViewer::MarkChanged() {
  if (!edited_) editedPath_ = SelectedPath();
  edited_ = true;
  SetInfo(info_, InfoColour::Red);
}

void TViewer::MarkEdited() {
  if (parts_.pane->document()->isModified()) MarkChanged();
}

void TViewer::MvClick(bool mdisp, const std::function<void()>& showPane) {
  if (mdisp) {
    if (showPane) showPane();
    parts_.pane->setFocus();
    return;
  }
  state_.InstantDisplay = true;
  const QString path = SelectedPath();
  const QString ext = QFileInfo(path).suffix().toUpper();
  const bool archive = lhaShow_ && (ext == QLatin1String("LZH") || ext == QLatin1String("EXE"));
  if (!(archive && archiveListing_ && archiveListing_(path))) ShowSelectedFile();
  state_.InstantDisplay = false;
}

void TViewer::Mtextrepaint1Click() {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()))
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
  state_.DisplayEnabled = true;
  state_.InstantDisplay = true;
  state_.ShiftDown = false;
  state_.AltDown = false;
  ShowSelectedFile();
}

void TViewer::MjumpClick() {
  auto answer = dialogs_.InputBox(Sjis("指定行へジャンプ"), Sjis("行番号を入力して下さい"), "");
  if (!answer) return;
  long long line = settings::ParseInteger(*answer).value_or(0);
  const int count = parts_.pane->LineCount();
  if (line > count) line = count;
  parts_.pane->SetCaretToLine(line - 1 < 0 ? 0 : static_cast<int>(line - 1));
  parts_.pane->EnsureCaretVisible();
  UpdateCaretStatus();
}

void TViewer::Mlinetop1Click() {
  parts_.pane->SetCaretToStart();
  parts_.pane->EnsureCaretVisible();
  parts_.pane->setFocus();
  UpdateCaretStatus();
}

void TViewer::Mlinebottom1Click() {
  parts_.pane->SetCaretToEnd();
  parts_.pane->EnsureCaretVisible();
  parts_.pane->setFocus();
  UpdateCaretStatus();
}

}  // namespace sorabu::viewer
