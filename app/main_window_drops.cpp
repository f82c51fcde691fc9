// Files that arrive by drag and drop: dropped on the window from another program (copied into the
// current folder) or dragged from the list onto a folder of the tree (copied there); files cut or
// copied to the desktop's clipboard and pasted, in this program or a file manager; and the list's
// own context menu.
//
// Copies go through the file operation: a name that is taken is replaced only when the user
// says so, so nothing the user had is lost by a careless drop.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include "app/browser_selection.h"
#include "app/file_clipboard.h"
#include "app/file_op_runner.h"
#include "app/main_window.h"
#include "browser/file_view.h"
#include "browser/folder_counter.h"
#include "browser/folder_view.h"
#include "browser/shell_namespace.h"
#include "fileops/shfop.h"
#include "uitext/qt_text.h"
#include "viewer/display.h"

namespace sorabu::app {

namespace {

using uitext::U;

}  // namespace

int TForm1::CopyFilesInto(const QStringList& files, const QString& folder) { return TransferFilesInto(files, folder, false); }

int TForm1::TransferFilesInto(const QStringList& files, const QString& folder, bool move) {
  // While a command rewrites a file or an operation runs, the folders stay as they are.
  if (Busy() || files.isEmpty()) return 0;
  fileops::TSHFOP op(FileOps()->Dialogs());
  op.OperationF = move ? fileops::TwFuncOption::wMOVE : fileops::TwFuncOption::wCOPY;
  op.ProgressTitle = uitext::ToCp932(move ? U("ファイル　移動") : U("ファイル　コピー"));
  op.Options = {fileops::TfFlagsOption::ALLOWUNDO};
  for (const QString& f : files) op.FromFFList.push_back(QFile::encodeName(f).toStdString());
  op.ToFolder = QFile::encodeName(folder).toStdString();
  return ExecuteSHFOP(op) ? static_cast<int>(files.size()) : 0;
}

void TForm1::dropEvent(QDropEvent* event) {
  if (!OptionValue(Option::Mdragdrop1) || !event->mimeData()->hasUrls()) return;
  QStringList files;
  for (const QUrl& u : event->mimeData()->urls())
    if (u.isLocalFile()) files << QDir::cleanPath(u.toLocalFile());
  event->acceptProposedAction();
  FormDragDrop(files);
}

void TForm1::FormDragDrop(const QStringList& files) {
  const QString folder = FileView1_->Folder();
  if (files.isEmpty() || browser::IsVirtual(folder)) return;
  // Files of the folder shown dropped back onto it: nothing to do.
  if (QFileInfo(files.front()).absolutePath() == QDir::cleanPath(folder)) return;
  const int copied = CopyFilesInto(files, folder);
  if (copied != files.size()) dialogs_.Warning(uitext::ToCp932(U("コピーできませんでした。")));
  else if (OptionValue(Option::Mdialogdisp1))
    dialogs_.Information(uitext::ToCp932(QString::number(copied) + U("個のファイルをコピーしました。")));
  MrefreshClick();
}

void TForm1::FolderView1DragDrop(const QStringList& files, const QString& folder) {
  if (files.isEmpty() || folder.isEmpty() || folder == FileView1_->Folder()) return;
  if (CopyFilesInto(files, folder) != files.size()) dialogs_.Warning(uitext::ToCp932(U("コピーできませんでした。")));
  MrefreshClick();
}

void TForm1::FileView1CopyFiles(bool cut) {
  const QStringList paths = FileView1_->SelectedPaths();
  if (paths.isEmpty() || browser::IsVirtual(FileView1_->Folder())) return;
  QApplication::clipboard()->setMimeData(FilesMimeData(paths, cut));
}

void TForm1::FileView1PasteFiles() {
  const QString folder = FileView1_->Folder();
  const std::optional<TClipboardFiles> files = FilesFromMimeData(QApplication::clipboard()->mimeData());
  if (!files || folder.isEmpty() || browser::IsVirtual(folder) || Busy()) return;
  // Files cut from this very folder are where they are to go.
  if (files->cut && QFileInfo(files->paths.front()).absolutePath() == QDir::cleanPath(folder)) return;
  const int done = TransferFilesInto(files->paths, folder, files->cut);
  // Moved files are gone from where the clipboard says they are.
  if (files->cut && done == files->paths.size()) QApplication::clipboard()->clear();
  if (done != files->paths.size())
    dialogs_.Warning(uitext::ToCp932(files->cut ? U("移動できませんでした。") : U("コピーできませんでした。")));
  MrefreshClick();
}

// Links and programs by name, at most 100; a real folder in it is not an entry.
QFileInfoList TForm1::SendToEntries() const {
  constexpr int kMostEntries = 100;
  const QDir folder(QFileInfo(QString::fromStdString(iniPath_)).absoluteDir().filePath(QStringLiteral("SendTo")));
  QFileInfoList entries;
  for (const QFileInfo& info :
       folder.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
    if (info.isDir() && !info.isSymLink()) continue;
    entries << info;
    if (entries.size() == kMostEntries) break;
  }
  return entries;
}

// Copies the files into the folder an entry leads to, or starts the program an entry is with the
// files as its arguments.
void TForm1::SendTo(const QFileInfo& entry, const QStringList& files) {
  if (files.isEmpty()) return;
  if (entry.isDir()) {
    const QString target = entry.canonicalFilePath();
    if (TransferFilesInto(files, target, false) != files.size())
      dialogs_.Warning(uitext::ToCp932(U("コピーできませんでした。")));
    MrefreshClick();
    return;
  }
  const QString folder = FileView1_->Folder();
  const bool started = entry.suffix() == QLatin1String("desktop")
                           ? launcher_(QStringLiteral("gio"), QStringList{QStringLiteral("launch"), entry.absoluteFilePath()} + files, folder)
                           : entry.isExecutable() && launcher_(entry.absoluteFilePath(), files, folder);
  if (!started) dialogs_.Warning(uitext::ToCp932(entry.fileName() + U(" を起動できませんでした。")));
}

void TForm1::FileView1ContextMenu(const QPoint& globalPos) {
  if (FileView1_->SelectedCount() == 0) {
    PopupMenu1_->popup(globalPos);
    return;
  }
  QMenu menu(this);
  QAction* open = menu.addAction(U("開く(&O)"));
  QAction* exec = menu.addAction(U("ファイルを実行(&S)"));
  menu.addSeparator();
  QAction* cut = menu.addAction(U("切り取り(&T)"));
  QAction* copyFiles = menu.addAction(U("コピー(&C)"));
  QAction* paste = menu.addAction(U("貼り付け(&P)"));
  paste->setEnabled(FilesFromMimeData(QApplication::clipboard()->mimeData()).has_value());
  menu.addSeparator();
  QMenu* sendTo = menu.addMenu(U("送る(&N)"));
  const QFileInfoList entries = SendToEntries();
  for (const QFileInfo& entry : entries) {
    const QString name = entry.suffix() == QLatin1String("desktop") ? entry.completeBaseName() : entry.fileName();
    const QStringList files = FileView1_->SelectedPaths();
    connect(sendTo->addAction(name), &QAction::triggered, this, [this, entry, files] { SendTo(entry, files); });
  }
  sendTo->setEnabled(!entries.isEmpty());
  QAction* copyTo = menu.addAction(U("コピー(&Y)..."));
  QAction* moveTo = menu.addAction(U("移動(&V)..."));
  QAction* rename = menu.addAction(U("名前の変更(&M)"));
  QAction* remove = menu.addAction(U("削除(&D)"));
  QAction* attributes = menu.addAction(U("属性の変更(&A)..."));
  menu.addSeparator();
  QAction* copy = menu.addAction(U("パスのコピー(&H)"));
  QAction* info = menu.addAction(U("プロパティ(&R)"));
  QAction* chosen = menu.exec(globalPos);
  if (chosen == open) FileView1_->ExecuteRow(FileView1_->CurrentRow());
  else if (chosen == exec) MfileexeClick();
  else if (chosen == rename) FileView1_->EditCurrent();
  else if (chosen == remove) MfiledeleteClick();
  else if (chosen == cut) FileView1CopyFiles(true);
  else if (chosen == copyFiles) FileView1CopyFiles(false);
  else if (chosen == paste) FileView1PasteFiles();
  else if (chosen == copyTo) MfilecopyClick();
  else if (chosen == moveTo) MfilemoveClick();
  else if (chosen == attributes) MpropatyClick();
  else if (chosen == copy) McopypathClick();
  else if (chosen == info) Mfileinfo1Click();
}

}  // namespace sorabu::app
