// TComboView, the drive/folder combo above the tree: permanent entries (the desktop, its children,
// the drives under "マイコンピュータ") and temporary ones, the ancestry of the current folder,
// replaced at every sync. Entries are drawn indented by their level in the open list.
#pragma once

#include <QComboBox>

namespace sorabu::browser {

class TFolderView;

class TComboView : public QComboBox {
  Q_OBJECT
 public:
  explicit TComboView(QWidget* parent = nullptr);

  // Two-way link with the tree; linkBack false when the tree itself calls.
  void SetFolderView(TFolderView* tree, bool linkBack = true);
  TFolderView* FolderView() const { return tree_; }

  // Rebuilds the permanent entries and selects the first.
  void Load();
  // Drops the temporary entries and selects the entry of id, inserting its ancestry; entry 0
  // when id is not below the desktop.
  void Sync(const QString& id);
  // Inserts the chain's entries where missing; returns the row of the deepest one.
  int InsertAncestry(const QString& id, bool temporary);

  QString EntryId(int row) const;
  int EntryLevel(int row) const;
  bool EntryTemporary(int row) const;

 signals:
  // The user picked an entry (ComboView1Change).
  void Picked(const QString& id);

 private:
  int InsertEntry(int row, const QString& id, int level, bool temporary);

  TFolderView* tree_ = nullptr;
};

}  // namespace sorabu::browser
