// TFolderView, the folder tree of the main window: the desktop as the only root, children read
// when a node is first expanded, linked to the file list (which it fills) and to the combo (which
// it keeps in step).
//
// A node's children are read once, when it is first expanded or walked through by SelectPath;
// every folder node starts with an expand mark that the first read removes when it finds no
// subfolder, so no folder is read just to decide whether to draw the mark. When the list cannot
// read the folder the tree was moved to (no permission, a folder that vanished, a volume pulled
// out), the tree goes back to the node selected before.
#pragma once

#include <QTreeWidget>

namespace sorabu::browser {

class TComboView;
class TFileView;

class TFolderView : public QTreeWidget {
  Q_OBJECT
 public:
  explicit TFolderView(QWidget* parent = nullptr);

  // Two-way links; nullptr unlinks both sides.
  void SetFileView(TFileView* list);
  void SetComboView(TComboView* combo);
  TFileView* FileView() const { return list_; }
  TComboView* ComboView() const { return combo_; }

  // Clears the tree and adds the desktop with its children, selected and expanded.
  void Rebuild();
  // Selects the node of a path or virtual id, reading the levels on the way; false (selection
  // unchanged) when some level is missing.
  bool SelectPath(const QString& id);
  // The selected node's id (a path, or a virtual token); empty when nothing is selected.
  QString SelectedPath() const;
  QTreeWidgetItem* PreviousNode() const { return previous_; }
  // Reads a node's children (once); false when its folder cannot be read.
  bool FillChildren(QTreeWidgetItem* node);
  // Reads a node's folder again after another program changed it: new folders are added in
  // their place, vanished ones removed (the tree leaves a removed folder for its parent). False
  // when nothing changed or the node was never read.
  bool SyncChildren(QTreeWidgetItem* node);
  // The folders whose children are on screen: open nodes and the current one.
  QStringList OpenFolders() const;
  // Renames the node's folder on disk; false (text put back) on failure.
  bool RenameNode(QTreeWidgetItem* node, const QString& newName);
  // A folder renamed elsewhere (the list): the node below the path follows.
  void FolderRenamed(const QString& oldPath, const QString& newPath);
  QTreeWidgetItem* FindNode(const QString& id) const;

  static QString NodeId(const QTreeWidgetItem* node);
  // '*' opens every folder below node, each real folder once (a link back to a parent is not
  // followed round), and stops after this many: below a drive it would read the whole disk.
  static constexpr int kExpandAllFolders = 100;
  void ExpandBelow(QTreeWidgetItem* node);

 signals:
  // The selection moved to a folder the list could show (FolderView1Change).
  void FolderChanged(const QString& id);
  // Files of the linked list dropped onto a folder node (FolderView1DragDrop).
  void FilesDropped(const QStringList& files, const QString& folder);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void OnCurrentChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
  QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const QString& id, const QString& name);
  void OnItemChanged(QTreeWidgetItem* item, int column);

  TFileView* list_ = nullptr;
  TComboView* combo_ = nullptr;
  QTreeWidgetItem* previous_ = nullptr;
  bool busy_ = false;
  bool goingBack_ = false;
};

}  // namespace sorabu::browser
