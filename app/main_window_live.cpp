// The views follow the file system: the list, the tree and the information line change within a
// moment when another program (or one of our own commands) adds, removes, renames or rewrites
// something on screen, and the menu bar's date follows the clock. Nothing the user looks at is
// lost on the way: the selection, the focus, the scroll position and the pane stay, except that a
// file that went away is no longer shown.
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTimer>

#include "app/browser_selection.h"
#include "app/main_window.h"
#include "browser/file_view.h"
#include "browser/folder_counter.h"
#include "browser/folder_view.h"
#include "browser/folder_watch.h"
#include "viewer/display.h"

namespace sorabu::app {

void TForm1::StartLiveViews() {
  watch_ = new browser::TFolderWatch(this);
  connect(watch_, &browser::TFolderWatch::Changed, this, &TForm1::FolderChangedOutside);
  connect(FileView1_, &browser::TFileView::Changed, this, [this] { WatchShownFolders(); });
  connect(FolderView1_, &QTreeWidget::itemExpanded, this, [this] { WatchShownFolders(); });
  connect(FolderView1_, &QTreeWidget::itemCollapsed, this, [this] { WatchShownFolders(); });
  connect(FolderView1_, &QTreeWidget::currentItemChanged, this, [this] { WatchShownFolders(); });
  // The date of the menu bar: checked twice a minute, so midnight and a resume from suspend show.
  auto* clock = new QTimer(this);
  clock->setInterval(30 * 1000);
  connect(clock, &QTimer::timeout, this, [this] {
    if (QDate::currentDate() != shownDate_) FormShow();
  });
  clock->start();
}

void TForm1::WatchShownFolders() {
  if (watch_ == nullptr) return;
  QStringList folders = FolderView1_->OpenFolders();
  folders << FileView1_->Folder();
  watch_->Watch(folders, {selection_->SelectedPath()}, FileView1_->Folder());
}

void TForm1::FolderChangedOutside(const QStringList& folders, const QStringList& files, const QStringList& names,
                                  bool namesLost) {
  // While an operation or a command runs the browser rests; it catches up when they end.
  if (Busy() || edit_.holdingPane) {
    QTimer::singleShot(browser::TFolderWatch::kMaxDelayMs, this, [this, folders, files] {
      FolderChangedOutside(folders, files, {}, true);
    });
    return;
  }
  const QString listed = QDir::cleanPath(FileView1_->Folder());
  bool listChanged = false;
  for (const QString& folder : folders) {
    if (QDir::cleanPath(folder) == listed) listChanged = true;
    if (QTreeWidgetItem* node = FolderView1_->FindNode(QDir::cleanPath(folder))) FolderView1_->SyncChildren(node);
  }
  const QString shown = selection_->SelectedPath();
  bool shownRewritten = false;
  QStringList changed = names;
  for (const QString& file : files) {
    if (QFileInfo(file).absolutePath() == listed) {
      listChanged = true;
      changed << QFileInfo(file).fileName();
    }
    if (file == shown) shownRewritten = true;
  }
  if (listChanged) ReloadList(namesLost ? nullptr : &changed);
  // A rewritten file keeps the pane as the user left it; its size and date are shown afresh.
  if (shownRewritten && QFileInfo(shown).isFile() && !viewer_->Edited()) viewer_->ShowFileInfo();
  WatchShownFolders();
}

void TForm1::ReloadList(const QStringList* names) {
  if (FileView1_->Folder().isEmpty()) return;
  if (!FileView1_->Reload(names)) return;
  counter_->Invalidate();
  selection_->UpdateCounts();
  // The file the pane shows went away, or is no longer listed: the pane shows nothing then.
  viewer_->DropStalePane();
}

}  // namespace sorabu::app
