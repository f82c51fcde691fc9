// The 書庫 menu: the LHA commands, which talk to the LHA library directly, and the commands for
// every format, which go through TArchiveFile; the archive preview of the viewer. Extraction and
// creation run beside the window (a progress window with Cancel after half a second) and never
// leave a half-written file under a final name.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <algorithm>
#include <atomic>

#include "app/archive_staging.h"
#include "app/browser_selection.h"
#include "app/file_op_runner.h"
#include "app/main_window.h"
#include "app/menu_items.h"
#include "archive/bind/archive_file.h"
#include "archive/bind/commands.h"
#include "archive/bind/lha_binding.h"
#include "archive/bind/messages.h"
#include "browser/file_view.h"
#include "browser/folder_view.h"
#include "settings/ini_file.h"
#include "settings/input_history.h"
#include "textconv/cp932.h"
#include "uitext/qt_text.h"
#include "viewer/display.h"
#include "viewer/text_pane.h"

namespace sorabu::app {

namespace fs = std::filesystem;

namespace {

using uitext::U;
using textconv::Sjis;
std::string Quoted(const std::string& cp932) { return "\"" + cp932 + "\""; }
fs::path Native(const QString& path) { return fs::path(QFile::encodeName(path).toStdString()); }
QString FromNative(const fs::path& path) { return QFile::decodeName(path.string().c_str()); }

}  // namespace

QStringList TForm1::SelectedNames() const {
  QStringList names;
  for (int row : FileView1_->SelectedRows()) names << FileView1_->Row(row).name;
  return names;
}

void TForm1::BuildArchiveCommands() {
  static const MenuItemSpec kItems[] = {
      {"MlhaU", "MlhaU1", "LHA解凍(&X)", &TForm1::MlhaUClick},
      {"MlhaP", "MlhaP1", "LHA作成(&A)", &TForm1::MlhaPClick},
      {"Mlhalist", "Mlhalist1", "LHA一覧(&L)", &TForm1::MlhalistClick},
      {"Mlhacommand", "Mlhacommand1", "LHA一覧-拡張（&V）", &TForm1::MlhacommandClick},
      {"MlhaE", "MlhaE1", "LHA解凍-書庫のみ(&E)", &TForm1::MlhaEClick},
      {},
      {"Marcextract", "Marcextract1", "解凍(&U)", &TForm1::MarcextractClick},
      {"Marclist", "Marclist1", "一覧(&V)", &TForm1::MarclistClick},
      {"Marccreate", "Marccreate1", "作成(&M)", &TForm1::MarccreateClick},
      {"Marccreatepass", "Marccreatepass1", "パスワード付きZIPを作成(&W)...", &TForm1::MarccreatepassClick},
  };
  InsertTwins(*this, menus_.archive, TMenuEnd::Front, kItems);
  ToolButton(*this, ToolBar1_, "ToolButton42", QStyle::SP_ArrowDown, &TForm1::MlhaUClick);
  ToolButton(*this, ToolBar1_, "ToolButton43", QStyle::SP_ArrowUp, &TForm1::MlhaPClick);
  ToolButton(*this, ToolBar1_, "ToolButton44", QStyle::SP_FileDialogListView, &TForm1::MlhalistClick);
  AddShortcuts(*this, menus_.shortcuts, {{"Myc", "&；　LHA書庫内容表示切替", &TForm1::MycClick}});
  viewer_->SetArchiveListing([this](const QString& path) { return LhaPreview(path); });
}

void TForm1::EnableLhaCommands() {
  const bool on = state_.LhaVersion > 0;
  for (const char* name : {"MlhaU", "MlhaP", "Mlhalist", "Mlhacommand", "MlhaE", "MlhaU1", "MlhaP1", "Mlhalist1",
                           "Mlhacommand1", "MlhaE1"})
    if (QAction* a = Action(name)) a->setEnabled(on);
}

// ".LZH" is LHA's; any other extension but ".EXE" goes to the command for every format; an
// ".EXE" is LHA's when the library takes it for a self-extracting archive.
bool TForm1::RoutesToLha(const QString& path) const {
  const QString ext = QFileInfo(path).suffix().toUpper();
  if (ext == QLatin1String("LZH")) return true;
  if (ext != QLatin1String("EXE")) return false;
  return archive::LhaCheck(Quoted(uitext::ToCp932(path)), 0);
}

void TForm1::MlhaUClick() {
  const QString path = selection_->SelectedPath();
  if (path.isEmpty()) return;
  if (RoutesToLha(path)) LhaExtract(false);
  else MarcextractClick();
}

void TForm1::MlhalistClick() {
  const QString path = selection_->SelectedPath();
  if (path.isEmpty()) return;
  if (RoutesToLha(path)) LhaList("l");
  else MarclistClick();
}

void TForm1::MlhacommandClick() { LhaList("v"); }
void TForm1::MlhaEClick() { LhaExtract(true); }

void TForm1::MycClick() {
  ToggleOption(Option::Mlhashow);
  if (OptionValue(Option::Mlhashow)) LhaList("l");
}

bool TForm1::LhaPreview(const QString& path) {
  if (state_.LhaVersion <= 0 || !archive::LhaCheck(Quoted(uitext::ToCp932(path)), 0)) return false;
  return LhaList("l");
}

bool TForm1::LhaList(const char* word) {
  if (!PaneMayChange()) return false;
  const QString path = selection_->SelectedPath();
  if (path.isEmpty() || state_.LhaVersion <= 0) {
    viewer_->ShowSelectedFile();
    return false;
  }
  RichEdit1_->Clear();
  viewer_->ShowFileInfo();
  const std::string archivePath = Quoted(uitext::ToCp932(path));
  if (!archive::LhaCheck(archivePath, 4)) {
    viewer_->ShowSelectedFile();
    return false;
  }
  RichEdit1_->Clear();
  // The library cuts its report at the buffer's end: a larger one is offered until it fits, so a
  // listing of many thousand entries is shown whole.
  std::string output;
  int code = 0;
  for (std::size_t size = 1 << 20;; size *= 8) {
    code = archive::LhaCommand(this, std::string(word) + " " + archivePath, output, size);
    if (output.size() + 1 < size || size >= (std::size_t{1} << 28)) break;
  }
  if (code == 0) RichEdit1_->TakeBytes(std::move(output));
  viewer_->UpdateCaretStatus();
  return true;
}

// Runs the extraction beside the window (its questions reach the user through the file
// operation's dialogs, its progress window shows after half a second); extract gets the staging
// folder as the archive library takes it, the password the user gave (empty: none yet) and the
// progress to hand the library: it moves the progress window entry by entry and block by block,
// and Cancel stops the library within the entry it writes.
ExtractResult TForm1::ExtractBeside(const QString& title, const QString& archive, const QString& destination,
                                    const ExtractFn& extract) {
  std::atomic<bool> cancel{false};
  // Touched by the worker thread only.
  struct {
    unsigned long long total = 0, done = 0, files = 0;
    bool measured = false;
  } tally;
  const archive::ExtractProgress progress = [&](archive::TArchiverState state, const archive::TExtractingInfo& info) {
    if (state == archive::TArchiverState::asExtractEnd) {
      tally.done += info.file_size;
      ++tally.files;
    }
    fileops::TFileOpProgress p;
    p.bytesTotal = tally.total;
    p.bytesDone = tally.done + (state == archive::TArchiverState::asExtractInProcess ? info.write_size : 0);
    p.filesDone = tally.files;
    p.current = textconv::Cp932ToUtf8(info.source);
    fileOps_->Post(p);
    return !cancel.load();
  };
  ExtractRequest request;
  request.caption = uitext::ToCp932(title);
  request.archiveCp932 = uitext::ToCp932(archive);
  request.archive = Native(archive);
  request.destination = Native(destination);
  request.limits = extractLimits_;
  request.extract = [&](const fs::path& staging, const std::string& password) {
    if (!tally.measured) {
      tally.measured = true;
      try {
        tally.total = static_cast<unsigned long long>(std::max(0LL, archive::ListedOriginalTotal(request.archiveCp932)));
      } catch (const archive::EArchiverError&) {
      }
    }
    tally.done = tally.files = 0;
    return extract(uitext::ToCp932(FromNative(staging)) + "/", password, progress);
  };
  request.cancelled = [&cancel] { return cancel.load(); };
  ExtractResult result;
  RunFileOperation(title, [&] {
    result = ExtractArchive(fileOps_->Dialogs(), request);
    return result.outcome == ExtractOutcome::Done;
  }, [&cancel] { cancel = true; });
  return result;
}

void TForm1::LhaExtract(bool flat) {
  if (!PaneMayChange()) return;
  const QString path = selection_->SelectedPath();
  if (state_.LhaVersion <= 0 || path.isEmpty() || !archive::LhaCheck(Quoted(uitext::ToCp932(path)), 4)) return;
  dialogs::TDialogs::FileOperationSetup setup;
  setup.operation = 2;
  setup.countLabel = Sjis(flat ? "２個のファイル" : "１個のファイル");
  setup.sources = QFile::encodeName(path).toStdString() + "\n";
  setup.folder = QFile::encodeName(CurrentFolder()).toStdString();
  const auto answer = dialogs_.FileOperation(setup);
  state_.DialogResult.clear();
  if (!answer) return;
  const QString destination = QFile::decodeName(answer->c_str());
  std::string output;
  const ExtractResult result = ExtractBeside(U("LHA解凍"), path, destination, [&](const std::string& staging, const std::string&, const archive::ExtractProgress& progress) {
      return archive::LhaCommand(this, std::string(flat ? "e " : "x ") + Quoted(uitext::ToCp932(path)) + " " + Quoted(staging),
                                 output, 65536, progress);
  });
  if (result.outcome == ExtractOutcome::Cancelled || result.outcome == ExtractOutcome::Refused) return;
  if (result.outcome == ExtractOutcome::LibraryFailed) {
    dialogs_.Warning(Sjis("解凍できませんでした。"));
    viewer_->ShowSelectedFile();
    return;
  }
  if (!flat && OptionValue(Option::Mtodiropen1)) FolderView1_->SelectPath(QDir::cleanPath(destination));
  MrefreshClick();
  RichEdit1_->Clear();
  RichEdit1_->TakeBytes(std::move(output));
  viewer_->UpdateCaretStatus();
}

void TForm1::MlhaPClick() {
  if (!PaneMayChange()) return;
  if (state_.LhaVersion <= 0) return;
  const QStringList names = SelectedNames();
  if (names.isEmpty()) return;
  const QString proposal = QFileInfo(names.first()).completeBaseName() + QStringLiteral(".lzh");
  std::string answer = settings::AskWithHistory(dialogs_, iniPath_, "LHApack", Sjis("ＬＨＡファイルに圧縮"),
                                      Sjis("圧縮ファイル名を指定します。ex) sorabu.lzh"), "", uitext::ToCp932(proposal));
  if (answer.empty()) return;
  QString name = uitext::FromCp932(answer);
  if (QFileInfo(name).suffix().toLower() != QLatin1String("lzh")) name = QFileInfo(name).completeBaseName() + QStringLiteral(".lzh");
  const QString archivePath = QDir(CurrentFolder()).filePath(name);
  // The library adds to an archive in place: it works on a copy, renamed over the archive at the end.
  const fs::path target = Native(archivePath);
  const fs::path temporary = TemporaryBeside(target);
  std::error_code ec;
  if (fs::exists(target, ec)) fs::copy_file(target, temporary, ec);
  std::string command = "a " + Quoted(uitext::ToCp932(FromNative(temporary)));
  for (const QString& n : names) command += " " + Quoted(uitext::ToCp932(QDir(CurrentFolder()).filePath(n)));
  RichEdit1_->Clear();
  std::string output;
  std::atomic<bool> cancel{false};
  int code = -1;
  RunFileOperation(U("LHA作成"), [&] {
    code = archive::LhaCommand(this, command, output);
    return code == 0;
  }, [&cancel] { cancel = true; });
  if (code == 0 && !cancel) fs::rename(temporary, target, ec);
  else fs::remove(temporary, ec);
  if (cancel) return;
  MrefreshClick();
  RichEdit1_->Clear();
  viewer_->ClearTextPane();
  RichEdit1_->TakeBytes(std::move(output));
}

void TForm1::MarclistClick() {
  if (!PaneMayChange()) return;
  const QString path = selection_->SelectedPath();
  if (path.isEmpty()) return;
  try {
    std::string text = archive::GenericListText(uitext::ToCp932(path), this);
    if (text.empty()) return;
    RichEdit1_->Clear();
    RichEdit1_->TakeBytes(std::move(text));
    viewer_->UpdateCaretStatus();
  } catch (const archive::EArchiverError& e) {
    dialogs_.Error(e.what());
  }
}

void TForm1::MarcextractClick() {
  if (!PaneMayChange()) return;
  const QString path = selection_->SelectedPath();
  if (path.isEmpty() || !archive::ExtractableName(uitext::ToCp932(path))) return;
  dialogs::TDialogs::FileOperationSetup setup;
  setup.operation = 2;
  setup.countLabel = Sjis("1個のファイル");
  setup.sources = QFile::encodeName(path).toStdString() + "\n";
  setup.folder = QFile::encodeName(CurrentFolder()).toStdString();
  const auto answer = dialogs_.FileOperation(setup);
  if (!answer) return;
  state_.DialogResult = *answer;
  const QString destination = QFile::decodeName(answer->c_str());
  std::string text;
  const ExtractResult result = ExtractBeside(U("解凍"), path, destination, [&](const std::string& staging, const std::string& password, const archive::ExtractProgress& progress) {
    return archive::GenericExtract(uitext::ToCp932(path), staging, text, this, password, progress);
  });
  if (result.outcome == ExtractOutcome::Cancelled || result.outcome == ExtractOutcome::Refused) return;
  RichEdit1_->Clear();
  MrefreshClick();
  // The result's message (an empty line when it has none) and the library's report.
  if (result.code == -1 && text.empty()) text = archive::ErrorMessage(result.code) + "\r\n";
  RichEdit1_->TakeBytes(std::move(text));
  viewer_->UpdateCaretStatus();
}

void TForm1::MarccreateClick() { CreateArchive(false); }
void TForm1::MarccreatepassClick() { CreateArchive(true); }

void TForm1::CreateArchive(bool withPassword) {
  if (!PaneMayChange()) return;
  if (FileView1_->RowCount() == 0) return;
  const QStringList names = SelectedNames();
  const QString proposal = names.isEmpty() ? QString()
                                           : QFileInfo(names.first()).completeBaseName() +
                                                 (withPassword ? QStringLiteral(".zip") : QStringLiteral(".lzh"));
  const std::string answer = settings::AskWithHistory(dialogs_, iniPath_, "ARCpack", Sjis("書庫ファイルを作成"),
                                            Sjis("圧縮ファイル名 拡張子指定。ex)sorabu.zip"), "", uitext::ToCp932(proposal));
  if (answer.empty()) return;
  std::string password;
  if (withPassword) {
    const std::string caption = Sjis("パスワード付きZIPを作成");
    if (!uitext::FromCp932(answer).endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive)) {
      dialogs_.Error(Sjis("パスワードを付けられるのは ZIP 書庫だけです。"));
      return;
    }
    const auto first = dialogs_.Password(caption, Sjis("パスワード:"));
    if (!first || first->empty()) return;
    const auto again = dialogs_.Password(caption, Sjis("確認のため、もう一度入力してください:"));
    if (!again) return;
    if (*again != *first) {
      dialogs_.Error(Sjis("パスワードが一致しません。書庫は作成していません。"));
      return;
    }
    password = *first;
  }
  const QString archivePath = QDir(CurrentFolder()).filePath(uitext::FromCp932(answer));
  const fs::path target = Native(archivePath);
  const fs::path temporary = TemporaryBeside(target);
  RichEdit1_->Clear();
  std::vector<std::string> files;
  for (const QString& n : names) files.push_back(uitext::ToCp932(n));
  std::string text;
  std::atomic<bool> cancel{false};
  int code = -1;
  std::string error;
  RunFileOperation(U("書庫作成"), [&] {
    try {
      code = archive::GenericCreate(uitext::ToCp932(FromNative(temporary)), files, text, this, password);
    } catch (const archive::EArchiverError& e) {
      error = e.what();
    }
    return code == 0;
  }, [&cancel] { cancel = true; });
  std::error_code ec;
  if (!error.empty()) {
    fs::remove(temporary, ec);
    dialogs_.Error(error);
    return;
  }
  // An existing archive of that name is replaced only by a complete new one.
  if (code == 0 && !cancel) fs::rename(temporary, target, ec);
  else fs::remove(temporary, ec);
  if (cancel) return;
  MrefreshClick();
  viewer_->ClearTextPane();
  RichEdit1_->TakeBytes(std::move(text));
}

}  // namespace sorabu::app
