// The 検索 menu's pane commands: finding text in the pane, replacing it, and Grep.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <algorithm>

#include "app/browser_selection.h"
#include "app/grep_runner.h"
#include "app/main_window.h"
#include "app/menu_items.h"
#include "browser/file_view.h"
#include "browser/folder_view.h"
#include "browser/mask.h"
#include "settings/ini_file.h"
#include "settings/ini_search_memory.h"
#include "settings/setting_keys.h"
#include "textcmd/plain_search.h"
#include "textcmd/search_commands_dialogs.h"
#include "textconv/cp932.h"
#include "textconv/ui_text.h"
#include "uitext/qt_text.h"
#include "viewer/display.h"
#include "viewer/text_pane.h"

namespace sorabu::app {

namespace {

using textconv::Sjis;

constexpr std::size_t kFindHistoryWritten = 21;
constexpr std::size_t kGrepHistoryWritten = 10;

// What stays usable while a Grep fills the pane: stopping it, reading and copying, leaving.
bool UsableDuringGrep(const QString& name) {
  static const QStringList kNames = {"Mgrep2", "Mgrep3", "Mexit1", "Mexit2", "Mquit", "Mquit3", "Mclosemenu",
                                     "Mcopy1", "Mcopy2", "Mselectall", "Mselectall1", "Mfind1", "Mfind2",
                                     "Mfinddown1", "Mfinddown2", "Mfindup1", "Mfindup2", "ToolButton33",
                                     "ToolButton14", "ToolButton25", "ToolButton26", "Mlinetop1", "Mlinetop2",
                                     "Mlinebottom1", "Mlinebottom2", "Mjump", "Mjump1", "Mjump2"};
  return kNames.contains(name);
}

// Plain text in the pane's bytes on character starts: code page 932, or UTF-8 (the texts asked
// for are code page 932 and are converted first).
std::size_t FindInPane(const viewer::TTextPane& pane, std::string_view text, std::string_view find, std::size_t from) {
  if (pane.TextForm() != textconv::TextForm::Utf8) return textcmd::FindText(text, find, from);
  if (find.empty()) return std::string::npos;
  for (std::size_t at = text.find(find, from); at != std::string::npos; at = text.find(find, at + 1))
    if ((static_cast<unsigned char>(text[at]) & 0xC0) != 0x80) return at;
  return std::string::npos;
}

std::string InPaneForm(const viewer::TTextPane& pane, const std::string& cp932) {
  return pane.TextForm() == textconv::TextForm::Utf8 ? textconv::Cp932ExactToUtf8(cp932) : cp932;
}

// The selection as the dialogs take texts.
std::string SelectionCp932(const viewer::TTextPane& pane) {
  const std::string bytes = pane.SelectedBytes();
  // Characters Shift-JIS lacks stay marked, so the text found is the text selected.
  return pane.TextForm() == textconv::TextForm::Utf8 ? textconv::Utf8ToCp932Exact(bytes) : bytes;
}

}  // namespace

void TForm1::BuildSearchCommands() {
  static const MenuItemSpec kItems[] = {
      {"Mfind1", "Mfind2", "テキストの検索(&F)..", &TForm1::Mfind1Click, &TForm1::Mfind1Click},
      // The pop-up's item runs the find step in the direction last used.
      {"Mfinddown1", "Mfinddown2", "下へ検索(&N)", &TForm1::Mfinddown1Click, &TForm1::FindDialog1Find},
      {"Mfindup1", "Mfindup2", "上へ検索(&T)", &TForm1::Mfindup1Click, &TForm1::Mfindup1Click},
      {},
      {"Mreplace1", "Mreplace2", "置換(&R)", &TForm1::Mreplace1Click, &TForm1::Mreplace1Click},
      {},
      {"Mgrep", "Mgrep1", "Grepの実行(&G)", &TForm1::MgrepClick, &TForm1::MgrepClick},
      {"Mgrep2", "Mgrep3", "Grepの中止(&Q)", &TForm1::Mgrep2Click, &TForm1::Mgrep2Click},
  };
  InsertTwins(*this, menus_.search, TMenuEnd::Front, kItems);
  for (QMenu* m : {menus_.search.main, menus_.search.popup}) connect(m, &QMenu::aboutToShow, this, &TForm1::MkensakuClick);
  for (auto [name, key] : {std::pair{"Mfind1", QKeySequence(Qt::CTRL | Qt::Key_F)},
                           std::pair{"Mfinddown1", QKeySequence(Qt::Key_F3)},
                           std::pair{"Mfindup1", QKeySequence(Qt::SHIFT | Qt::Key_F3)},
                           std::pair{"Mreplace1", QKeySequence(Qt::CTRL | Qt::Key_R)}}) {
    QAction* a = Action(name);
    a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
    addAction(a);
  }

  ToolButton(*this, ToolBar2_, "ToolButton33", QStyle::SP_FileDialogContentsView, &TForm1::Mfind1Click);
  ToolButton(*this, ToolBar2_, "ToolButton53", QStyle::SP_BrowserReload, &TForm1::Mreplace1Click);
  AddShortcuts(*this, menus_.shortcuts, {{"Mf", "&F テキストの検索", &TForm1::MfClick}});

  grep_ = new TGrepRunner(this);
  connect(grep_, &TGrepRunner::Cleared, this, [this] { viewer_->ClearTextPane(); });
  connect(grep_, &TGrepRunner::Lines, this, [this](const std::vector<std::string>& lines) {
    RichEdit1_->AddLines(lines);
    viewer_->UpdateCaretStatus();
  });
  connect(grep_, &TGrepRunner::Finished, this, &TForm1::GrepFinished);
  RichEdit1_->SetLineActivated([this](int line) { return GrepJump(line); });
}

void TForm1::MkensakuClick() {
  const bool running = GrepRunning();
  for (const char* name : {"Mgrep", "Mgrep1"})
    if (QAction* a = Action(name)) a->setEnabled(!running && FileView1_->RowCount() > 0);
  for (const char* name : {"Mgrep2", "Mgrep3"})
    if (QAction* a = Action(name)) a->setEnabled(running);
}

// --- Finding in the pane.

void TForm1::Mfind1Click() {
  const settings::TIniFile current(iniPath_);
  settings::TIniSearchMemory memory(iniPath_);
  dialogs::TDialogs::FindSetup setup;
  setup.history = textcmd::LoadEntries(memory, settings::kFindText.section, "Count", "Items_");
  setup.text = RichEdit1_->HasSelection() ? SelectionCp932(*RichEdit1_) : settings::Read(current, settings::kFindText);
  setup.wholeWord = settings::Read(current, settings::kFindWholeWord);
  setup.matchCase = settings::Read(current, settings::kFindMatchCase);
  setup.down = settings::Read(current, settings::kFindDown) != 0;
  const auto answer = dialogs_.FindText(setup);
  if (answer && !answer->text.empty()) {
    // A known text changes places with the top entry; a new one goes on top.
    auto& history = setup.history;
    const auto known = std::find(history.begin(), history.end(), answer->text);
    if (known == history.end()) history.insert(history.begin(), answer->text);
    else std::iter_swap(history.begin(), known);
    textcmd::StoreEntries(memory, settings::kFindText.section, "Count", "Items_", history, kFindHistoryWritten);
    using settings::kFindText, settings::kFindWholeWord, settings::kFindMatchCase, settings::kFindDown;
    memory.Write(kFindText.section, kFindText.key, answer->text);
    memory.Write(kFindWholeWord.section, kFindWholeWord.key, answer->wholeWord ? "1" : "0");
    memory.Write(kFindMatchCase.section, kFindMatchCase.key, answer->matchCase ? "1" : "0");
    memory.Write(kFindDown.section, kFindDown.key, answer->down ? "1" : "0");
    memory.Flush();
    search_.findText = answer->text;
    search_.findWholeWord = answer->wholeWord;
    search_.findMatchCase = answer->matchCase;
    search_.findDown = answer->down;
    FindDialog1Find();
  }
  RichEdit1_->setFocus();
}

void TForm1::Mfinddown1Click() {
  search_.findDown = true;
  FindDialog1Find();
}

void TForm1::Mfindup1Click() {
  search_.findDown = false;
  FindDialog1Find();
}

void TForm1::MfClick() {
  if (!RichEdit1_->IsEmptyText()) Mfind1Click();
}

void TForm1::FindDialog1Find() {
  if (RichEdit1_->IsEmptyText()) return;
  if (search_.findText.empty()) {
    Mfind1Click();
    return;
  }
  const std::string copy = RichEdit1_->ShownBytes().empty() ? RichEdit1_->TextBytes() : std::string();
  const std::string_view text = copy.empty() ? RichEdit1_->ShownBytes() : std::string_view(copy);
  const auto [start, length] = RichEdit1_->SelectionBytes();
  const bool utf8 = RichEdit1_->TextForm() == textconv::TextForm::Utf8;
  const auto found = textcmd::PlainSearch(text, InPaneForm(*RichEdit1_, search_.findText), {start, length},
                                          {search_.findDown, search_.findMatchCase, search_.findWholeWord, utf8});
  if (!found) {
    dialogs_.Information(search_.findText + Sjis(" 見つかりませんでした"));
    return;
  }
  ShowFound(found->start, found->length);
  RichEdit1_->setFocus();
}

void TForm1::ShowFound(std::size_t start, std::size_t length) {
  RichEdit1_->SelectBytes(start, length);
  // Half the way from the top line to the match: it stands in the upper part of the pane.
  RichEdit1_->ScrollLines((RichEdit1_->CaretLine() - RichEdit1_->FirstVisibleLine()) / 2);
  viewer_->UpdateCaretStatus();
}

// --- Replacing in the pane.

void TForm1::Mreplace1Click() {
  dialogs::TDialogs::ReplaceSetup setup;
  setup.find = RichEdit1_->HasSelection() ? SelectionCp932(*RichEdit1_) : search_.replaceFind;
  setup.replacement = search_.replaceWith;
  RichEdit1_->SetCaretToStart();
  search_.replaceFound = false;
  dialogs::TDialogs::ReplaceHandlers handlers;
  handlers.findNext = [this](const std::string& find) { ReplaceDialog1Find(find); };
  handlers.replace = [this](const std::string& find, const std::string& with) { ReplaceDialog1Replace(find, with); };
  handlers.replaceAll = [this](const std::string& find, const std::string& with) { ReplaceDialog1ReplaceAll(find, with); };
  dialogs_.ShowReplace(setup, handlers);
}

bool TForm1::ReplaceDialog1Find(const std::string& find) {
  search_.replaceFind = find;
  const std::string text = RichEdit1_->TextBytes();
  // From the caret on, then from the start: after a replacement the next occurrence follows it,
  // even when the replacement holds the text looked for.
  const std::size_t caret = RichEdit1_->SelectionBytes().first + RichEdit1_->SelectionBytes().second;
  const std::string looked = InPaneForm(*RichEdit1_, find);
  std::size_t at = FindInPane(*RichEdit1_, text, looked, std::min(caret, text.size()));
  if (at == std::string::npos) at = FindInPane(*RichEdit1_, text, looked, 0);
  if (at == std::string::npos) {
    dialogs_.Information(Sjis("見つかりませんでした！"));
    search_.replaceFound = false;
    return false;
  }
  raise();
  activateWindow();
  ShowFound(at, looked.size());
  search_.replaceFound = true;
  viewer_->MarkChanged();
  return true;
}

void TForm1::ReplaceInPane(std::vector<std::pair<std::size_t, std::size_t>> ranges, const std::string& with) {
  // In the edit state the replacement is a step to undo, so it is made in the editor.
  auto replace = [this, ranges = std::move(ranges), with] {
    RichEdit1_->ReplaceRanges(ranges, with);
    viewer_->MarkChanged();
    viewer_->UpdateCaretStatus();
  };
  if (RichEdit1_->Editable()) RichEdit1_->RunEdit(replace);
  else replace();
}

void TForm1::ReplaceDialog1Replace(const std::string& find, const std::string& with) {
  search_.replaceWith = with;
  if (!search_.replaceFound && !ReplaceDialog1Find(find)) return;
  const auto selection = RichEdit1_->SelectionBytes();
  if (selection.second == 0) return;
  ReplaceInPane({selection}, InPaneForm(*RichEdit1_, with));
  search_.replaceFound = false;
  if (!RichEdit1_->PreparingEdit()) ReplaceDialog1Find(find);
}

void TForm1::ReplaceDialog1ReplaceAll(const std::string& find, const std::string& with) {
  search_.replaceWith = with;
  search_.replaceFind = find;
  const std::string text = RichEdit1_->TextBytes();
  const std::string looked = InPaneForm(*RichEdit1_, find);
  std::vector<std::pair<std::size_t, std::size_t>> ranges;
  for (std::size_t at = FindInPane(*RichEdit1_, text, looked, 0); at != std::string::npos;
       at = FindInPane(*RichEdit1_, text, looked, at + looked.size()))
    ranges.emplace_back(at, looked.size());
  if (ranges.empty()) {
    dialogs_.Information(Sjis("見つかりませんでした！"));
    search_.replaceFound = false;
    return;
  }
  const std::size_t count = ranges.size();
  ReplaceInPane(std::move(ranges), InPaneForm(*RichEdit1_, with));
  search_.replaceFound = false;
  dialogs_.Information(std::to_string(count) + Sjis(" 個置換！"));
}

// --- Grep.

bool TForm1::GrepRunning() const { return grep_ != nullptr && grep_->Running(); }

void TForm1::MgrepClick() {
  FileView1_->WaitLoaded();
  if (GrepRunning() || FileView1_->RowCount() == 0 || !PaneMayChange()) return;
  QString folder = FileView1_->Folder();
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  dialogs::TDialogs::GrepSetup setup;
  settings::TIniSearchMemory memory(iniPath_);
  setup.history = textcmd::LoadEntries(memory, "Grep", "DriveCount", "Items_");
  setup.folder = QFile::encodeName(folder).toStdString();
  setup.subFolders = memory.Read("Grep", "SubFolders").value_or("0") == "1";
  const QList<int> selected = FileView1_->SelectedRows();
  for (int row = 0; row < FileView1_->RowCount(); ++row) {
    const browser::TFileRow& r = FileView1_->Row(row);
    // The list was read moments ago; a file gone since is skipped by the search and listed.
    if (r.folder || r.path.isEmpty()) continue;
    const QString& path = r.path;
    const std::string native = QFile::encodeName(path).toStdString();
    setup.all.push_back(native);
    if (selected.contains(row)) setup.selected.push_back(native);
  }
  const auto answer = dialogs_.GrepDialog(setup);
  if (!answer) return;
  textcmd::RememberNew(setup.history, answer->pattern);
  textcmd::StoreEntries(memory, "Grep", "DriveCount", "Items_", setup.history, kGrepHistoryWritten);
  memory.Write("Grep", "SubFolders", answer->subFolders ? "1" : "0");
  memory.Flush();
  state_.DialogResult = answer->pattern;
  if (answer->pattern.empty()) return;

  TGrepRunner::Job job;
  job.pattern = answer->pattern;
  job.paths = answer->paths;
  job.fuzzy = answer->fuzzy;
  job.options.show_file_names = answer->fileNames;
  job.options.show_line_numbers = answer->lineNumbers;
  job.options.threads = 0;
  job.options.path_text = [](const std::string& path) { return uitext::ToCp932Text(QFile::decodeName(path.c_str())); };
  if (answer->subFolders) {
    // The tree is walked beside the window; what it finds is checked there as below.
    job.paths.clear();
    job.treeRoot = QFile::encodeName(FileView1_->Folder()).toStdString();
    job.wanted = [mask = FileView1_->Mask()](const std::string& name) { return browser::MatchesMask(name, mask); };
    job.fits = [](const std::string& path) {
      bool fits = true;
      uitext::ToCp932Text(QFile::decodeName(path.c_str()), &fits);
      return fits;
    };
    search_.grepPaths.clear();
    RestForGrep(true);
    grep_->Start(std::move(job));
    return;
  }
  // Results are Shift-JIS text that names each file; a name it cannot carry would come out changed
  // and lead a jump to another file, so such files are left out, and said so.
  QStringList misfits;
  std::erase_if(job.paths, [&](const std::string& path) {
    bool fits = true;
    uitext::ToCp932Text(QFile::decodeName(path.c_str()), &fits);
    if (!fits) misfits << QFile::decodeName(path.c_str());
    return !fits;
  });
  if (!misfits.isEmpty()) {
    std::vector<std::string> lines;
    for (const QString& m : misfits) lines.push_back(uitext::ToCp932(m));
    dialogs_.ErrorList(Sjis("Grepの実行"),
                       std::to_string(misfits.size()) +
                           Sjis(" 個のファイルは名前に Shift-JIS で表せない文字があるため、検索しません。"),
                       lines);
    if (job.paths.empty()) return;
  }
  search_.grepPaths.clear();
  for (const std::string& path : job.paths) search_.grepPaths.emplace_back(job.options.path_text(path), path);
  RestForGrep(true);
  grep_->Start(std::move(job));
}

void TForm1::Mgrep2Click() {
  if (GrepRunning()) grep_->Stop();
}

void TForm1::RestForGrep(bool resting) {
  // Nothing may change the pane or the list while the results come in; the stop stays at hand.
  if (resting) {
    search_.restedActions.clear();
    for (QAction* a : findChildren<QAction*>()) {
      const QString name = a->objectName();
      if (name.isEmpty() || !a->isEnabled() || UsableDuringGrep(name) || a->menu() != nullptr) continue;
      a->setEnabled(false);
      search_.restedActions.push_back(a);
    }
    for (const char* name : {"Mgrep2", "Mgrep3"})
      if (QAction* a = Action(name)) a->setEnabled(true);
    for (QWidget* w : BrowserWidgets()) w->setEnabled(false);
    search_.grepWasEditable = RichEdit1_->Editable();
    RichEdit1_->SetEditable(false);
  } else {
    for (QAction* a : search_.restedActions)
      if (a) a->setEnabled(true);
    search_.restedActions.clear();
    for (QWidget* w : BrowserWidgets()) w->setEnabled(true);
    RichEdit1_->SetEditable(search_.grepWasEditable);
    ShowEditState();
  }
}

void TForm1::GrepFinished(const regex::GrepCommandResult& result, const std::vector<TGrepRunner::Skipped>& skipped) {
  RestForGrep(false);
  viewer_->UpdateCaretStatus();
  switch (result.outcome) {
    case regex::GrepOutcome::kDone:
      break;
    case regex::GrepOutcome::kCancelled:
      dialogs_.Warning(result.message);
      break;
    case regex::GrepOutcome::kFileError:
    case regex::GrepOutcome::kPatternError:
      dialogs_.Error(result.message);
      break;
  }
  // A result line names its file as shown; a jump finds the file by that name.
  search_.grepPaths.clear();
  for (const std::string& path : grep_->SearchedPaths())
    search_.grepPaths.emplace_back(uitext::ToCp932Text(QFile::decodeName(path.c_str())), path);
  if (!skipped.empty()) {
    std::vector<std::string> lines;
    bool onlyUnreadable = true;
    for (const auto& s : skipped) {
      lines.push_back(uitext::ToCp932(QFile::decodeName(s.path.c_str())) + " : " + s.reason);
      onlyUnreadable = onlyUnreadable && s.reason.find(Sjis("検索しません")) == std::string::npos;
    }
    dialogs_.ErrorList(Sjis("Grepの実行"),
                       std::to_string(skipped.size()) +
                           Sjis(onlyUnreadable ? " 個のファイルを読めませんでした。" : " 個のファイルを検索しませんでした。"),
                       lines);
  }
  emit GrepDone();
  if (closeWhenDone_) QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

bool TForm1::GrepJump(int line) {
  if (GrepRunning() || search_.grepPaths.empty()) return false;
  if (RichEdit1_->FirstLineBytes().rfind(Sjis("Grepの実行　検索正規表現 = "), 0) != 0) return false;
  const std::string text = RichEdit1_->LineBytes(line);
  for (const auto& [shown, path] : search_.grepPaths) {
    if (text.compare(0, shown.size() + 1, shown + "(") != 0) continue;
    std::size_t at = shown.size() + 1;
    long long number = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && number < INT32_MAX) number = number * 10 + (text[at++] - '0');
    if (text.compare(at, 3, ") :") != 0 || number <= 0) continue;
    const QString file = QFile::decodeName(path.c_str());
    const QString folder = QFileInfo(file).absolutePath();
    if (QDir::cleanPath(folder) != QDir::cleanPath(FileView1_->Folder())) GoToFolder(folder);
    viewer_->SelectAndShow(file);
    viewer_->LoadWholeFile();
    RichEdit1_->SetCaretToLine(static_cast<int>(number - 1));
    RichEdit1_->EnsureCaretVisible();
    RichEdit1_->setFocus();
    viewer_->UpdateCaretStatus();
    return true;
  }
  return false;
}

}  // namespace sorabu::app
