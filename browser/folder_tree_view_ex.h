// TFolderTreeViewEx, the self-contained folder picker used inside dialogs: rooted at one of several
// special folders, it can list files as well (filtered by extension), keeps itself up to date
// after its own rename, delete and drop, and reports the picked item's path through its events.
//
// Special folders map to their freedesktop equivalents (the desktop, templates and autostart
// folders, the menu entries, the trash); control panel and trash are its "virtual" roots: no
// paths are reported there and the root node is always shown. Children are read when a node is
// first expanded, like the main tree's.
#pragma once

#include <QStringList>
#include <QTreeWidget>
#include <functional>

namespace sorabu::browser {

enum class TRootFolder {
  rfManual, rfDrives, rfDesktop, rfFavorites, rfPrograms, rfRecent, rfSendTo, rfStartMenu, rfStartup,
  rfAppdata, rfTemplates, rf_Controls, rf_Bitbucket
};
enum class TSelectedDir { sdNone, sdSystem, sdCurrent };

// The folder a root value stands for ("" when it has none on this system).
QString RootFolderPath(TRootFolder root, const QString& manualName);

class TFolderTreeViewEx : public QTreeWidget {
  Q_OBJECT
 public:
  explicit TFolderTreeViewEx(QWidget* parent = nullptr);

  // Setting any of these rebuilds the tree.
  void SetRootFolder(TRootFolder root);
  void SetRootFolderName(const QString& name);
  void SetFileMask(const QStringList& mask);
  void SetShowFile(bool on);
  void SetShowRootFolder(bool on);
  void SetShowIncludeHidden(bool on);
  void SetInfoViewSort(bool on);
  // Files with execute permission pass the mask too: this system's programs have no ".exe".
  void SetShowExecutables(bool on);
  TRootFolder RootFolder() const { return root_; }
  const QStringList& FileMask() const { return mask_; }
  bool ShowFile() const { return showFile_; }
  bool ShowRootFolder() const { return showRoot_; }
  bool VirtualMode() const { return root_ == TRootFolder::rf_Controls || root_ == TRootFolder::rf_Bitbucket; }

  bool AutoUpDate = true;
  bool ContextMenuOn = true;
  bool DragAndDrop = true;
  bool ShellRun = false;
  TSelectedDir SelectedDir = TSelectedDir::sdNone;
  QString About = QStringLiteral("(about)");

  void Rebuild();
  // Reads a node's children once; false when its folder cannot be read.
  bool FillChildren(QTreeWidgetItem* node);
  // Selects the node of path, opening the levels on the way; false when a level is missing.
  bool SelectPath(const QString& path, bool scrollToTop = false);
  // Reads the tree again, keeping the open folders, the selection and the top item (at most
  // 10240 nodes; larger trees are left as they are).
  void Refresh();
  // The picked node's path (its caption when it has none); the last one when nothing is selected.
  QString FolderName() const;
  static QString NodePath(const QTreeWidgetItem* node);
  // Renames the node's item; true on success (the tree is read again).
  bool RenameNode(QTreeWidgetItem* node, const QString& newName);
  // A file dropped onto a node: copied (copy true, or the target is not a folder) or moved into the
  // node's folder; false for more than one file or a node without a path.
  bool DropFiles(const QStringList& files, QTreeWidgetItem* target, bool copy);
  // How an item is opened and deleted; tests replace both.
  void SetOpener(std::function<void(const QString&)> open) { open_ = std::move(open); }
  void SetTrash(std::function<bool(const QString&)> trash) { trash_ = std::move(trash); }
  void SetMessage(std::function<void(const QString&)> message) { message_ = std::move(message); }

 signals:
  void Change(const QString& folderName);
  void Click(const QString& folderName);
  void DblClick(const QString& folderName);

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
  QStringList mimeTypes() const override;

 private:
  QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const QString& path, const QString& name, bool folder);
  bool Passes(const QString& path, bool folder) const;
  bool HasChildren(const QString& folder) const;
  void OnDoubleClick(QTreeWidgetItem* node);

  TRootFolder root_ = TRootFolder::rfDrives;
  QString rootName_;
  QStringList mask_;
  bool showFile_ = false;
  bool showRoot_ = true;
  bool showHidden_ = true;
  bool infoViewSort_ = false;
  bool executables_ = false;
  mutable QString lastName_;
  std::function<void(const QString&)> open_;
  std::function<bool(const QString&)> trash_;
  std::function<void(const QString&)> message_;
};

}  // namespace sorabu::browser
