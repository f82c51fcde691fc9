// TFileView, the file list: the rows of one folder in one of four view styles (large icons, small
// icons, list, details), multi-select, column sort, in-place rename, delete to the trash.
//
// The four styles are two views on one model and one selection model: a QListView for the icon
// and list styles, a QTreeView for the details with its four columns. Switching styles keeps the
// rows, the selection and the focus. Every change of the selection is reported once through
// Changed; the main window decides (through its display gate) whether that shows a file.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "browser/file_list_model.h"
#include "browser/view_style.h"

class QItemSelectionModel;
class QListView;
class QStackedWidget;
class QTreeView;
class QAbstractItemView;

namespace sorabu::browser {

class TFolderView;

class TFileView : public QWidget {
  Q_OBJECT
 public:
  explicit TFileView(QWidget* parent = nullptr);

  // Replaces the folder and fills the list; false (list and folder unchanged) when the folder
  // cannot be read. A large folder shows its first entries at once and the rest when it has
  // loaded (Loaded); meanwhile the list can be used as it stands.
  bool SetFolder(const QString& folder);
  const QString& Folder() const { return model_->Folder(); }
  // Reads the current folder again; the selection and order are lost, the sort directions reset.
  bool Fill();
  // Reads the current folder again after another program changed it, keeping the selected and
  // focused items, the order and the scroll position. Changed is reported only when a selected
  // item went away.
  // With names (the entries that changed, as the folder's watch reports them) only those are
  // read again, which in a folder of 100,000 files is a small part of reading it all.
  bool Reload(const QStringList* names = nullptr);

  void SetMask(std::vector<std::string> mask) { mask_ = std::move(mask); }
  const std::vector<std::string>& Mask() const { return mask_; }

  void SetViewStyle(TViewStyle style);
  TViewStyle ViewStyle() const { return style_; }

  // The header click: negates the column's direction, then sorts by it.
  void ColumnClick(int column);
  // The sort dialog's answer: 0..3 ascending, 90..93 descending by name, size, type, date.
  void SortBy(int code);

  // Full path of the focused row when it is selected, else of the first selected row.
  QString SelectedPath() const;
  QString ItemPath(int row) const;
  // Full paths of all selected rows in list order.
  QStringList SelectedPaths() const;
  int RowCount() const { return model_->Count(); }
  // For a command that walks every row: a folder still loading is read to its end first.
  void WaitLoaded() { model_->WaitLoaded(); }
  int SelectedCount() const;
  // Selected row numbers in list order.
  QList<int> SelectedRows() const;
  // Shown names of the selected items the program cannot reach (names that are not valid UTF-8).
  QStringList SelectedUnreachableNames() const;
  int CurrentRow() const;
  // Focuses and selects one row (the others are deselected); false when out of range.
  bool SelectRow(int row);
  // Selects every row whose caption equals name without regard to case; returns the count.
  int SelectByName(const QString& name);
  const TFileRow& Row(int row) const { return model_->Row(row); }

  // Sends the selected items to the trash, refills and focuses the row at the former index of
  // the first selected one. False (nothing done) when an item has no file-system path.
  bool DeleteSelection();
  // Starts in-place editing of the focused row's name.
  void EditCurrent();
  bool RenameRow(int row, const QString& newName) { return model_->Rename(row, newName); }

  // Where files go when deleted and how a file is opened; tests replace both.
  void SetTrash(std::function<bool(const QString&)> trash) { trash_ = std::move(trash); }
  void SetOpener(std::function<void(const QString&)> open) { open_ = std::move(open); }
  bool FileExecute = true;
  void SetFolderView(TFolderView* tree) { tree_ = tree; }

  // Drags of the selected files to other programs (the drag-and-drop option).
  void SetDragOut(bool on);
  // The double-click: folders open in the linked tree, files with their program.
  void ExecuteRow(int row);

  QListView* ListView() const { return list_; }
  QTreeView* DetailView() const { return details_; }
  QAbstractItemView* CurrentView() const;
  TFileListModel* Model() const { return model_; }
  void SetColumnWidth(int column, int width);
  int ColumnWidth(int column) const;
  // The three column-width commands.
  void ColumnWidthsToHeaders();
  void FitColumnsToContents(bool nameOnly);

 signals:
  // A selection or focus change: selectionStateChanged when the selected set changed.
  void Changed(bool selectionStateChanged);
  void Renamed(const QString& oldPath, const QString& newPath, bool folder);
  // A large folder has loaded in full (SetFolder showed its first entries).
  void Loaded();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnSelectionChanged();
  void OnCurrentChanged();

  TFileListModel* model_;
  QItemSelectionModel* selection_;
  QStackedWidget* stack_;
  QListView* list_;
  QTreeView* details_;
  TFolderView* tree_ = nullptr;
  std::vector<std::string> mask_;
  TViewStyle style_ = TViewStyle::List;
  int directions_[4] = {1, 1, 1, 1};
  QString lastReported_;
  int sortColumn_ = -1;  // -1: the folder's default order
  int sortDirection_ = 1;
  bool reloading_ = false;
  bool dragOut_ = true;
  std::function<bool(const QString&)> trash_;
  std::function<void(const QString&)> open_;
};

}  // namespace sorabu::browser
