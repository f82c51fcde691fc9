// The file menu's operations on the selected rows: copy, move, delete, rename, attributes,
// duplicate, new folder, split and join, and the disk tool. Long work runs through the file
// operation runner, so the window keeps painting and offers Cancel.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QStyle>
#include <QMenuBar>
#include <QToolBar>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "app/file_op_runner.h"
#include "app/main_window.h"
#include "app/menu_items.h"
#include "app/wait_cursor.h"
#include "browser/combo_view.h"
#include "browser/file_name.h"
#include "browser/file_view.h"
#include "browser/folder_counter.h"
#include "browser/folder_view.h"
#include "browser/shell_namespace.h"
#include "fileops/duplicate.h"
#include "fileops/file_io.h"
#include "fileops/shfop.h"
#include "fileops/split_merge.h"
#include "settings/ini_file.h"
#include "settings/input_history.h"
#include "textconv/cp932.h"
#include "uitext/qt_text.h"
#include "viewer/display.h"
#include "viewer/file_info.h"
#include "textconv/system_error.h"

namespace sorabu::app {

namespace {

using fileops::TfFlagsOption;
using fileops::TwFuncOption;

using uitext::U;
std::string C(const char* utf8) { return uitext::ToCp932(U(utf8)); }
std::string Bytes(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString Path(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

std::vector<std::string> BytesOf(const QStringList& paths) {
  std::vector<std::string> out;
  for (const QString& p : paths) out.push_back(Bytes(p));
  return out;
}

// A name that stays in its folder: no separator, not "." or "..".
bool PlainName(const QString& name) {
  return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".") && name != QLatin1String("..");
}

}  // namespace

void TForm1::BuildFileOperations() {
  fileOps_ = new TFileOpRunner(dialogs_, this);
  SHFOP1_ = std::make_unique<fileops::TSHFOP>(fileOps_->Dialogs());
  SHFOP1_->GetFileList = true;
  launcher_ = [](const QString& program, const QStringList& arguments, const QString& folder) {
    return QProcess::startDetached(program, arguments, folder);
  };

  static const MenuItemSpec kItems[] = {
      {"Mfilecopy", "Mfilecopy2", "ファイル　コピー(&C)", &TForm1::MfilecopyClick},
      {"Mfilemove", "Mfilemove2", "ファイル　移動(&M)", &TForm1::MfilemoveClick},
      {"Mfiledelete", "Mfiledelete2", "ファイル　削除(&D)", &TForm1::MfiledeleteClick},
      {"Mrename", "Mrename2", "ファイル　名前の変更(&R)", &TForm1::MrenameClick},
      {"Mpropaty", "Mpropaty2", "ファイル　属性の変更(&A)", &TForm1::MpropatyClick},
      {"Mfilefukusei", "Mfilefukusei2", "ファイル　別名複製", &TForm1::MfilefukuseiClick},
      {},
      {"Mfilediv", "Mfilediv2", "ファイル　分割(&S)", &TForm1::MfiledivClick},
      {"Mfileketugou", "Mfileketugou2", "ファイル　結合(&B)", &TForm1::MfileketugouClick},
      {},
      {"Mmkdir", "Mmkdir2", "ディレクトリ作成(&K)", &TForm1::MmkdirClick},
      {},
      {"Mformat", "Mformat2", "ディスク　フォーマット(&F)", &TForm1::MformatClick},
      {"Mdiskcopy1", "Mdiskcopy12", "ディスク　コピー(&N)", &TForm1::Mdiskcopy1Click},
  };
  // After 実行, before the separator that precedes 終了.
  const std::array<QAction*, 2> before = BeforeExit(menus_.file);
  for (const bool popup : {false, true}) (popup ? menus_.file.popup : menus_.file.main)->insertSeparator(before[popup]);
  InsertTwins(*this, menus_.file, before, kItems);

  ToolButton(*this, ToolBar1_, "ToolButton4", QStyle::SP_FileDialogNewFolder, &TForm1::MfilecopyClick);
  ToolButton(*this, ToolBar1_, "ToolButton5", QStyle::SP_FileDialogBack, &TForm1::MfilemoveClick);
  ToolButton(*this, ToolBar1_, "ToolButton3", QStyle::SP_TrashIcon, &TForm1::MfiledeleteClick);
  ToolButton(*this, ToolBar1_, "ToolButton6", QStyle::SP_FileLinkIcon, &TForm1::MrenameClick);
  ToolButton(*this, ToolBar1_, "ToolButton40", QStyle::SP_FileDialogInfoView, &TForm1::MpropatyClick);

  AddShortcuts(*this, menus_.shortcuts, {{"MyC", "&C ファイルのコピー", &TForm1::MfilecopyClick},
                {"MyM", "&M ファイルの移動", &TForm1::MfilemoveClick},
                {"MyD", "&D ファイルの削除", &TForm1::MfiledeleteClick},
                {"Myd", "SHIFT+DEL ファイルの完全削除", &TForm1::MydClick},
                {"MyR", "&R ファイル名の変更", &TForm1::MrenameClick},
                {"MyA", "&A ファイルの属性変更", &TForm1::MpropatyClick},
                {"MyK", "&K ディレクトリ作成", &TForm1::MmkdirClick}});
}

bool TForm1::Busy() const { return FileCommandRunning() || (fileOps_ != nullptr && fileOps_->Running()); }

// Runs job off the user-interface thread with the progress window; the window rests meanwhile.
bool TForm1::RunFileOperation(const QString& title, const std::function<bool()>& job,
                              const std::function<void()>& cancel) {
  // The window keeps painting meanwhile, but nothing may change the folders under the operation.
  const std::vector<QWidget*> frozen{static_cast<QWidget*>(FileView1_), static_cast<QWidget*>(FolderView1_),
                                     static_cast<QWidget*>(ComboView1_), static_cast<QWidget*>(menuBar()),
                                     static_cast<QWidget*>(ToolBar1_), static_cast<QWidget*>(ToolBar2_)};
  for (QWidget* w : frozen) w->setEnabled(false);
  const bool ok = fileOps_->Run(title, job, cancel);
  for (QWidget* w : frozen) w->setEnabled(true);
  FileView1_->setFocus();
  // A moved or deleted file is no longer shown, whatever the operation's own refresh does.
  if (!closeWhenDone_) ReloadList();
  if (closeWhenDone_) QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
  return ok;
}

bool TForm1::ExecuteSHFOP(fileops::TSHFOP& op) {
  op.OnProgress = [this](const fileops::TFileOpProgress& p) { fileOps_->Post(p); };
  const bool ok = RunFileOperation(uitext::FromCp932(op.ProgressTitle), [&op] { return op.Execute(); },
                                   [&op] { op.Cancel(); });
  op.OnProgress = nullptr;
  return ok;
}

void TForm1::CancelFileOperation() {
  if (fileOps_) fileOps_->Cancel();
}

bool TForm1::FileOperationRunning() const { return fileOps_ != nullptr && fileOps_->Running(); }

// False, with a message, when a selected item has a name the program cannot reach.
bool TForm1::SelectionReachable() {
  const QStringList odd = FileView1_->SelectedUnreachableNames();
  if (odd.isEmpty()) return true;
  dialogs_.Warning(uitext::ToCp932(odd.join(QLatin1Char('\n')) + QStringLiteral("\n\n") + browser::UnreachableNameNote()));
  return false;
}

void TForm1::CopyOrMove(bool move) {
  if (Busy() || FileView1_->SelectedCount() == 0 || !SelectionReachable()) return;
  const QStringList files = FileView1_->SelectedPaths();
  const QString first = files.front();
  const int count = FileView1_->SelectedCount();
  const QString folder = FileView1_->Folder();
  fileops::TSHFOP& op = *SHFOP1_;
  op.OperationF = move ? TwFuncOption::wMOVE : TwFuncOption::wCOPY;
  op.ProgressTitle = C(move ? "ファイルの移動" : "ファイル　コピー");
  if (!move) op.Options.Include(TfFlagsOption::ALLOWUNDO);
  op.FromFFList = BytesOf(files);

  dialogs::TDialogs::FileOperationSetup setup;
  setup.operation = move ? 1 : 0;
  setup.countLabel = uitext::ToCp932(QString::number(count) + U("個のファイル"));
  for (const QString& f : files) setup.sources += Bytes(f) + "\n";
  setup.folder = Bytes(folder);
  std::vector<std::string> history = settings::LoadHistory(settings::TIniFile(iniPath_), "File", "ToFileCount");
  setup.history = history;
  const auto answer = dialogs_.FileOperation(setup);
  if (!answer) {
    op.FromFFList.clear();
    return;
  }
  {
    settings::TIniFile ini(iniPath_);
    settings::StoreHistory(ini, "File", history, *answer, "ToFileCount", 10);
    ini.UpdateFile();
  }
  bool ok = false;
  if (*answer != setup.folder) {
    op.ToFolder = *answer;
    TWaitCursor wait(move);
    ok = ExecuteSHFOP(op);
  }
  op.FromFFList.clear();
  op.ToFolder.clear();

  QString show = first;
  const QString destination = Path(*answer);
  if (ok && OptionValue(Option::Mtodiropen1)) {
    FolderView1_->SelectPath(QDir::cleanPath(destination));
    show = QDir(destination).filePath(QFileInfo(first).fileName());
  }
  if (!ok) dialogs_.Warning(C(move ? "移動できませんでした。" : "コピーできませんでした。"));
  else if (OptionValue(Option::Mdialogdisp1))
    dialogs_.Information(uitext::ToCp932(QString::number(count) + U(move ? "個のファイルを移動しました。" : "個のファイルをコピーしました。")));
  MrefreshClick();
  viewer_->SelectAndShow(show);
}

void TForm1::MfilecopyClick() { CopyOrMove(false); }
void TForm1::MfilemoveClick() { CopyOrMove(true); }

void TForm1::MfiledeleteClick() {
  if (Busy() || FileView1_->SelectedCount() == 0 || !SelectionReachable()) return;
  const QStringList files = FileView1_->SelectedPaths();
  for (const QString& f : files)
    if (f.isEmpty() || browser::IsVirtual(f)) {
      QApplication::beep();
      return;
    }
  const int count = FileView1_->SelectedCount();
  const int rowsBefore = FileView1_->RowCount();
  const int former = FileView1_->CurrentRow();
  fileops::TSHFOP op(fileOps_->Dialogs());
  op.OperationF = TwFuncOption::wDELETE;
  op.ProgressTitle = C("ファイルの削除");
  op.Options = {TfFlagsOption::ALLOWUNDO};
  op.FromFFList = BytesOf(files);
  {
    TWaitCursor wait;
    ExecuteSHFOP(op);
  }
  MrefreshClick();
  if (FileView1_->RowCount() > 0 && former >= 0) FileView1_->SelectRow(std::min(former, FileView1_->RowCount() - 1));
  if (FileView1_->RowCount() != rowsBefore && OptionValue(Option::Mdialogdisp1))
    dialogs_.Information(uitext::ToCp932(QString::number(count) + U("個のファイルを削除しました。")));
}

void TForm1::MydClick() {
  if (Busy() || FileView1_->SelectedCount() == 0 || !SelectionReachable()) return;
  const int count = FileView1_->SelectedCount();
  fileops::TSHFOP& op = *SHFOP1_;
  op.OperationF = TwFuncOption::wDELETE;
  op.ProgressTitle = C("ファイルの削除");
  op.Options.Exclude(TfFlagsOption::ALLOWUNDO);
  op.FromFFList = BytesOf(FileView1_->SelectedPaths());
  const bool ok = ExecuteSHFOP(op);
  if (ok && OptionValue(Option::Mdialogdisp1))
    dialogs_.Information(uitext::ToCp932(QString::number(count) + U("個のファイルを削除しました。")));
  op.FromFFList.clear();
  MrefreshClick();
}

void TForm1::MrenameClick() {
  if (Busy() || FileView1_->SelectedCount() == 0) return;
  const QString path = FileView1_->SelectedPath();
  if (path.isEmpty() || browser::IsVirtual(path)) return;
  const QFileInfo info(path);
  // Dialogs speak code page 932; the name goes there and back unchanged, whatever it holds.
  const std::string name = uitext::ToCp932(info.fileName());
  const auto answer = dialogs_.InputBox(C("ファイル名の変更"), name + C(" ->　新しい名前は？"), name);
  if (!answer || *answer == name) return;
  const QString newName = uitext::FromCp932(*answer);
  // The new name stays in the folder and never replaces a file that has it already.
  if (PlainName(newName)) {
    const QString target = info.dir().filePath(newName);
    fileops::io::RenameNoReplace(Bytes(path), Bytes(target));
  }
  MrefreshClick();
  viewer_->SelectAndShow(info.dir().filePath(newName));
}

void TForm1::MpropatyClick() {
  if (Busy() || FileView1_->SelectedCount() == 0) return;
  const QString path = FileView1_->SelectedPath();
  if (path.isEmpty() || browser::IsVirtual(path)) return;
  const QByteArray native = QFile::encodeName(path);
  struct stat st {};
  dialogs::TDialogs::AttributeSetup setup;
  setup.path = native.toStdString();
  setup.readable = lstat(native.constData(), &st) == 0;
  if (!setup.readable) dialogs_.Warning(C("属性情報取得に失敗しました。"));
  // Linux keeps two of the four: read-only is the missing write permission, hidden is a leading
  // dot. Checking hidden would rename the file, so that box only shows; archive and system have
  // no counterpart here.
  setup.readOnly = setup.readable && !(st.st_mode & S_IWUSR);
  setup.hidden = QFileInfo(path).fileName().startsWith(QLatin1Char('.'));
  setup.archiveEnabled = setup.systemEnabled = setup.hiddenEnabled = false;
  const auto answer = dialogs_.Attributes(setup);
  if (!answer) return;
  if (setup.readable && answer->readOnly != setup.readOnly) {
    // Read-only takes every write permission away; writable gives it back to the owner.
    const mode_t mode = answer->readOnly ? (st.st_mode & 07777 & ~(S_IWUSR | S_IWGRP | S_IWOTH))
                                         : ((st.st_mode & 07777) | S_IWUSR);
    if (S_ISLNK(st.st_mode) || chmod(native.constData(), mode) != 0) dialogs_.Warning(C("属性変更に失敗しました。"));
  }
  viewer_->ShowSelectedFile();
  viewer_->SelectAndShow(path);
}

void TForm1::MfilefukuseiClick() {
  if (Busy() || FileView1_->SelectedCount() == 0) return;
  const QString path = FileView1_->SelectedPath();
  const QFileInfo info(path);
  if (path.isEmpty() || browser::IsVirtual(path) || !info.isFile()) return;
  const std::string name = uitext::ToCp932(info.fileName());
  const auto answer = dialogs_.InputBox(C("ファイルの別名複製"), name + C(" -> 複製ファイル名？"), name);
  if (!answer || *answer == name) return;
  const QString newName = uitext::FromCp932(*answer);
  if (!PlainName(newName)) return;
  const QString target = info.dir().filePath(newName);
  bool replace = false;
  if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) {
    if (!dialogs_.Confirm(C("ファイルの別名複製"), *answer + C(" は既に存在します。置き換えますか？"))) return;
    replace = true;
  }
  std::string error;
  if (!fileops::DuplicateWithCrLf(Bytes(path), Bytes(target), replace, error))
    dialogs_.Error(uitext::ToCp932(target) + " : " + error);
  MrefreshClick();
  viewer_->SelectAndShow(target);
}

void TForm1::MmkdirClick() {
  if (Busy()) return;
  const QString folder = FileView1_->Folder();
  if (folder.isEmpty() || browser::IsVirtual(folder)) return;
  const auto answer =
      dialogs_.InputBox(C("ディレクトリの作成"), uitext::ToCp932(folder) + C(" の下に作成するディレトクリ名"), "");
  if (!answer || answer->empty()) return;
  {
    TWaitCursor wait;
    const QString target = QDir(folder).filePath(uitext::FromCp932(*answer));
    if (mkdir(QFile::encodeName(target).constData(), 0777) != 0) {
      const int err = errno;
      dialogs_.Error(uitext::ToCp932(target) + " : " + textconv::SystemErrorText(err));
    }
  }
  FolderView1_->SelectPath(folder);
  MrefreshClick();
}

QString TForm1::DiskTool() const { return QStandardPaths::findExecutable(QStringLiteral("gnome-disks")); }

void TForm1::MformatClick() {
  if (Busy()) return;
  // The proposal: the first removable volume (mounted below /media), else none.
  QString proposal;
  for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
    const QString root = v.rootPath();
    if (root.startsWith(QLatin1String("/media/")) || root.startsWith(QLatin1String("/run/media/"))) {
      proposal = root;
      break;
    }
  }
  const auto answer = dialogs_.InputBox(C("ディスクフォーマット"),
                                        uitext::ToCp932(U("フォーマットするドライブ (ex.") + proposal + U(")")),
                                        uitext::ToCp932(proposal));
  if (!answer || answer->empty()) return;
  const QString wanted = uitext::FromCp932(*answer);
  QString device;
  for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
    const QString root = v.rootPath();
    const QString last = QFileInfo(root).fileName();
    if (root == wanted || last.startsWith(wanted, Qt::CaseInsensitive) ||
        v.displayName().startsWith(wanted, Qt::CaseInsensitive)) {
      device = QString::fromLocal8Bit(v.device());
      break;
    }
  }
  const QString tool = DiskTool();
  if (tool.isEmpty()) {
    dialogs_.Warning(C("ディスクの管理ツール (gnome-disks) が見つかりません。フォーマットするにはディスクの管理ツールをインストールしてください。"));
    return;
  }
  if (device.isEmpty() || !device.startsWith(QLatin1String("/dev/"))) {
    dialogs_.Warning(uitext::ToCp932(wanted + U(" のドライブが見つかりません。")));
    return;
  }
  // The tool asks its own questions before anything is formatted.
  if (!launcher_(tool, {QStringLiteral("--block-device"), device, QStringLiteral("--format-device")}, {}))
    dialogs_.Warning(C("ディスクの管理ツールを起動できませんでした。"));
}

void TForm1::Mdiskcopy1Click() {
  if (Busy()) return;
  const QString tool = DiskTool();
  if (tool.isEmpty()) {
    dialogs_.Warning(C("ディスクの管理ツール (gnome-disks) が見つかりません。ディスクをコピーするにはディスクの管理ツールをインストールしてください。"));
    return;
  }
  if (!launcher_(tool, {}, {})) dialogs_.Warning(C("ディスクの管理ツールを起動できませんでした。"));
}

void TForm1::MfiledivClick() {
  if (Busy() || FileView1_->SelectedCount() == 0) return;
  const QString path = FileView1_->SelectedPath();
  if (path.isEmpty() || browser::IsVirtual(path) || !QFileInfo(path).isFile()) return;
  const std::string source = Bytes(path);
  fileops::TFileRecord record;
  const bool known = fileops::TSHFOP::FileData(source, record);
  dialogs::TDialogs::SplitSetup setup;
  setup.fileName = source;
  setup.fileSize = known ? record.size : 0;
  setup.sizeText = known ? viewer::FormatNumber15(record.size) + " byte" : std::string();
  setup.history = settings::LoadHistory(settings::TIniFile(iniPath_), "DIV");
  setup.partNames = [source](unsigned long long count) {
    std::vector<std::string> names;
    for (unsigned long long i = 1; i <= count; ++i) names.push_back(fileops::PartName(source, i).substr(source.rfind('/') + 1));
    const std::string batch = fileops::WithExtension(source, ".bat");
    names.push_back(batch.substr(batch.rfind('/') + 1));
    return names;
  };
  const auto answer = dialogs_.SplitSize(setup);
  if (!answer) return;
  {
    settings::TIniFile ini(iniPath_);
    settings::StoreHistory(ini, "DIV", setup.history, *answer, "DriveCount", 10);
    ini.UpdateFile();
  }
  if (answer->empty() || answer->find_first_not_of("0123456789") != std::string::npos) return;
  errno = 0;
  const unsigned long long size = std::strtoull(answer->c_str(), nullptr, 10);
  if (size == 0 || errno == ERANGE) return;
  const unsigned long long parts = fileops::PartCount(setup.fileSize, size);
  if (parts > fileops::kMaxParts) {
    dialogs_.Warning(uitext::ToCp932(QString::number(parts) + U("個のﾌｧｲﾙに分割できません。")));
    return;
  }
  // Parts and batch files of an earlier split would be overwritten: only with the user's yes.
  for (unsigned long long i = 1; i <= parts; ++i) {
    const std::string part = fileops::PartName(source, i);
    if (QFileInfo::exists(Path(part))) {
      if (!dialogs_.Confirm(C("ﾌｧｲﾙの分割"), uitext::ToCp932(Path(part)) + C(" などの分割ファイルは既にあります。上書きしますか？")))
        return;
      break;
    }
  }
  fileops::TFileJobOutcome outcome;
  std::atomic<bool> stop{false};
  const QString operation = path + U(" を分割中");
  {
    TWaitCursor wait;
    RunFileOperation(
        U("ファイルの分割"),
        [&] {
          outcome = fileops::SplitFile(source, size, [&](unsigned long long part, unsigned long long total) {
            fileops::TFileOpProgress p;
            p.bytesTotal = setup.fileSize;
            p.bytesDone = std::min(setup.fileSize, (part - 1) * size);
            p.filesDone = part;
            p.filesTotal = total;
            p.current = Bytes(operation);
            fileOps_->Post(p);
            return !stop.load();
          });
          return outcome.result == fileops::TFileJobResult::Done;
        },
        [&] { stop = true; });
  }
  if (outcome.result == fileops::TFileJobResult::Cancelled) return;
  if (outcome.result == fileops::TFileJobResult::Failed)
    dialogs_.Error(uitext::ToCp932(Path(outcome.failedPath)) + " : " + textconv::Utf8ToCp932(outcome.error));
  MrefreshClick();
  viewer_->SelectAndShow(path);
}

void TForm1::MfileketugouClick() {
  if (Busy() || FileView1_->SelectedCount() == 0) return;
  const QString folder = FileView1_->Folder();
  if (folder.isEmpty() || browser::IsVirtual(folder)) return;
  dialogs::TDialogs::MergeSetup setup;
  setup.folder = Bytes(folder);
  for (int row : FileView1_->SelectedRows()) setup.names.push_back(Bytes(FileView1_->Row(row).name));
  const auto answer = dialogs_.Merge(setup);
  if (!answer || answer->output.empty() || answer->names.empty()) return;
  if (!PlainName(Path(answer->output))) {
    dialogs_.Warning(C("ファイルを結合できませんでした。"));
    return;
  }
  fileops::TFileJobOutcome outcome;
  std::atomic<bool> stop{false};
  RunFileOperation(
      U("ファイル結合"),
      [&] {
        outcome = fileops::MergeFiles(setup.folder, answer->names, answer->output,
                                      [&](unsigned long long done, unsigned long long total) {
                                        fileops::TFileOpProgress p;
                                        p.bytesDone = done;
                                        p.bytesTotal = total;
                                        p.current = answer->output;
                                        fileOps_->Post(p);
                                        return !stop.load();
                                      });
        return outcome.result == fileops::TFileJobResult::Done;
      },
      [&] { stop = true; });
  if (outcome.result == fileops::TFileJobResult::Done) {
    if (OptionValue(Option::Mdialogdisp1)) dialogs_.Information(C("ファイルを結合しました。"));
  } else if (outcome.result == fileops::TFileJobResult::Failed) {
    std::string why = C("ファイルを結合できませんでした。");
    if (!outcome.failedPath.empty()) why += "\n" + uitext::ToCp932(Path(outcome.failedPath)) + " : " + textconv::Utf8ToCp932(outcome.error);
    dialogs_.Warning(why);
  }
  MrefreshClick();
  viewer_->SelectAndShow(QDir(folder).filePath(Path(answer->output)));
}

}  // namespace sorabu::app
