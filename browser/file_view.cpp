#include "browser/file_view.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFontMetrics>
#include <QHeaderView>
#include <QListView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSet>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "browser/folder_view.h"

namespace sorabu::browser {

namespace {

void SetupView(QAbstractItemView* v) {
  v->setSelectionMode(QAbstractItemView::ExtendedSelection);
  v->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  v->setDragEnabled(true);
  v->setDragDropMode(QAbstractItemView::DragOnly);
  v->setDefaultDropAction(Qt::CopyAction);
}

// In the small-icon rows an item is no wider than its cell, so a long name is elided in its own
// cell instead of running over the next one.
class TCellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void SetCellWidth(int width) { cellWidth_ = width; }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (cellWidth_ > 0) size.setWidth(std::min(size.width(), cellWidth_));
    return size;
  }

 private:
  int cellWidth_ = 0;
};

// The small icons lie on a grid in rows. Qt finds a page's target by stepping a pixel at a time
// and asking for the items under each step, which in a folder of tens of thousands of entries
// can hold the window for seconds; on a grid the target is a point a number of rows away.
class TFileListView : public QListView {
 public:
  using QListView::QListView;

 protected:
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override {
    const QModelIndex current = currentIndex();
    const QSize cell = gridSize();
    const bool page = action == MovePageDown || action == MovePageUp;
    if (!page || viewMode() != ListMode || flow() != LeftToRight || !cell.isValid() || !current.isValid())
      return QListView::moveCursor(action, modifiers);
    const QRect at = rectForIndex(current);
    const int last = model()->rowCount(rootIndex()) - 1;
    if (at.isEmpty() || last < 0) return QListView::moveCursor(action, modifiers);
    const int rows = std::max(1, (viewport()->height() - cell.height()) / cell.height());
    // The rows are laid out in batches: below the rows laid out so far there is nothing yet.
    const int bottom = contentsSize().height() - 1;
    int y = at.center().y() + (action == MovePageDown ? rows : -rows) * cell.height();
    if (action == MovePageDown && y > bottom) y = at.center().y() + ((bottom - at.center().y()) / cell.height()) * cell.height();
    y = std::max(y, at.center().y() - (at.top() / cell.height()) * cell.height());
    const QPoint target = QPoint(at.center().x(), y) - QPoint(horizontalOffset(), verticalOffset());
    const QModelIndex found = indexAt(target);
    if (found.isValid()) return found;
    // Past the end of the short last row: its last item.
    for (int row = last; row >= 0; --row) {
      const QModelIndex i = model()->index(row, modelColumn(), rootIndex());
      if (!rectForIndex(i).isEmpty()) return i;
      if (last - row > 4096) break;
    }
    return current;
  }
};

}  // namespace

TFileView::TFileView(QWidget* parent)
    : QWidget(parent),
      model_(new TFileListModel(this)),
      selection_(new QItemSelectionModel(model_, this)),
      stack_(new QStackedWidget(this)),
      list_(new TFileListView(stack_)),
      details_(new QTreeView(stack_)) {
  resize(200, 200);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(stack_);
  for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(list_), static_cast<QAbstractItemView*>(details_)}) {
    v->setModel(model_);
    v->setSelectionModel(selection_);
    SetupView(v);
    v->viewport()->installEventFilter(this);
    connect(v, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& i) { ExecuteRow(i.row()); });
  }
  list_->setObjectName(QStringLiteral("FileView1List"));
  list_->setItemDelegate(new TCellDelegate(list_));
  details_->setObjectName(QStringLiteral("FileView1Details"));
  list_->setLayoutMode(QListView::Batched);
  list_->setBatchSize(2000);
  details_->setRootIsDecorated(false);
  details_->setItemsExpandable(false);
  details_->setUniformRowHeights(true);
  details_->setAllColumnsShowFocus(true);
  details_->header()->setSectionsClickable(true);
  details_->header()->setSortIndicatorShown(false);
  details_->header()->setStretchLastSection(false);
  for (int c = 0; c < 4; ++c) details_->header()->resizeSection(c, 120);
  connect(details_->header(), &QHeaderView::sectionClicked, this, &TFileView::ColumnClick);
  stack_->addWidget(list_);
  stack_->addWidget(details_);
  connect(selection_, &QItemSelectionModel::selectionChanged, this, &TFileView::OnSelectionChanged);
  connect(selection_, &QItemSelectionModel::currentChanged, this, &TFileView::OnCurrentChanged);
  connect(model_, &TFileListModel::Renamed, this, &TFileView::Renamed);
  connect(model_, &TFileListModel::Loaded, this, [this](const QStringList& changed) {
    if (!changed.isEmpty()) Reload(&changed);
    emit Loaded();
  });
  trash_ = [](const QString& path) { return QFile::moveToTrash(path); };
  open_ = [](const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
  SetViewStyle(TViewStyle::List);
}

QAbstractItemView* TFileView::CurrentView() const {
  return style_ == TViewStyle::Details ? static_cast<QAbstractItemView*>(details_) : static_cast<QAbstractItemView*>(list_);
}

bool TFileView::SetFolder(const QString& folder) {
  if (!model_->Fill(folder, mask_)) return false;
  std::fill(std::begin(directions_), std::end(directions_), 1);
  sortColumn_ = -1;
  lastReported_.clear();
  return true;
}

bool TFileView::Reload(const QStringList* names) {
  if (model_->Folder().isEmpty()) return false;
  QSet<QString> selected;
  for (int row : SelectedRows()) selected.insert(model_->Row(row).id);
  const int current = CurrentRow();
  const QString currentId = current >= 0 ? model_->Row(current).id : QString();
  const QString before = SelectedPath();
  QAbstractItemView* views[] = {list_, details_};
  int scroll[2][2];
  for (int i = 0; i < 2; ++i) {
    scroll[i][0] = views[i]->horizontalScrollBar()->value();
    scroll[i][1] = views[i]->verticalScrollBar()->value();
  }
  reloading_ = true;
  constexpr int kFewNames = 256;
  // While the folder loads, changed names wait for the end of the load, however many.
  const bool few = names != nullptr && (names->size() <= kFewNames || model_->Loading());
  const bool filled = few ? model_->UpdateNames(*names, mask_, sortColumn_ < 0) : model_->Refill(mask_);
  if (filled) {
    if (sortColumn_ >= 0) model_->SortRows(sortColumn_, sortDirection_);
    QItemSelection chosen;
    int newCurrent = -1;
    for (int r = 0; r < model_->Count(); ++r) {
      const QString& id = model_->Row(r).id;
      if (selected.contains(id)) chosen.select(model_->index(r, 0), model_->index(r, 3));
      if (id == currentId) newCurrent = r;
    }
    if (newCurrent >= 0) selection_->setCurrentIndex(model_->index(newCurrent, 0), QItemSelectionModel::NoUpdate);
    selection_->select(chosen, QItemSelectionModel::ClearAndSelect);
    for (int i = 0; i < 2; ++i) {
      views[i]->doItemsLayout();
      views[i]->horizontalScrollBar()->setValue(scroll[i][0]);
      views[i]->verticalScrollBar()->setValue(scroll[i][1]);
    }
  }
  reloading_ = false;
  // Only a selected item that went away changes what the window shows.
  if (filled && SelectedPath() != before) {
    lastReported_ = SelectedPath();
    emit Changed(true);
  }
  return filled;
}

bool TFileView::Fill() { return SetFolder(model_->Folder()); }

void TFileView::SetViewStyle(TViewStyle style) {
  const bool hadFocus = CurrentView()->hasFocus();
  style_ = style;
  if (style == TViewStyle::Details) {
    stack_->setCurrentWidget(details_);
  } else {
    const bool large = style == TViewStyle::LargeIcons;
    // Small icons run in rows with each name beside its icon, in cells wide enough for about
    // twenty characters (a longer name is elided), so names neither crowd nor overlap.
    const bool small = style == TViewStyle::SmallIcons;
    const QFontMetrics fm(list_->font());
    list_->setViewMode(large ? QListView::IconMode : QListView::ListMode);
    list_->setIconSize(large ? QSize(32, 32) : QSize(16, 16));
    list_->setFlow(style == TViewStyle::List ? QListView::TopToBottom : QListView::LeftToRight);
    list_->setWrapping(true);
    list_->setResizeMode(QListView::Adjust);
    list_->setMovement(QListView::Static);
    list_->setWordWrap(large);
    list_->setTextElideMode(Qt::ElideRight);
    const QSize cell = small ? QSize(16 + 8 + 20 * fm.averageCharWidth(), std::max(16, fm.height()) + 6) : QSize();
    list_->setGridSize(large ? QSize(96, 64) : cell);
    static_cast<TCellDelegate*>(list_->itemDelegate())->SetCellWidth(small ? cell.width() - 6 : 0);
    stack_->setCurrentWidget(list_);
  }
  setFocusProxy(CurrentView());
  if (hadFocus) CurrentView()->setFocus();
  if (selection_->currentIndex().isValid()) CurrentView()->scrollTo(selection_->currentIndex());
}

void TFileView::ColumnClick(int column) {
  if (column < 0 || column > 3) return;
  directions_[column] = -directions_[column];
  sortColumn_ = column;
  sortDirection_ = directions_[column];
  model_->SortRows(column, directions_[column]);
}

void TFileView::SortBy(int code) {
  const bool descending = code >= 90;
  const int column = descending ? code - 90 : code;
  if (column < 0 || column > 3) return;
  sortColumn_ = column;
  sortDirection_ = descending ? -1 : 1;
  model_->SortRows(column, sortDirection_);
}

QString TFileView::ItemPath(int row) const {
  if (row < 0 || row >= model_->Count()) return {};
  return model_->Row(row).path;
}

// A row counts as selected by its name cell: the list styles select that cell alone, the details
// style the whole row.
QList<int> TFileView::SelectedRows() const {
  QList<int> rows;
  for (const QModelIndex& i : selection_->selectedIndexes())
    if (i.column() == 0) rows << i.row();
  std::sort(rows.begin(), rows.end());
  return rows;
}

QString TFileView::SelectedPath() const {
  const QModelIndex current = selection_->currentIndex();
  if (current.isValid() && selection_->isSelected(model_->index(current.row(), 0))) return ItemPath(current.row());
  const QList<int> rows = SelectedRows();
  return rows.isEmpty() ? QString() : ItemPath(rows.front());
}

QStringList TFileView::SelectedUnreachableNames() const {
  QStringList out;
  for (int r : SelectedRows())
    if (model_->Row(r).unreachable) out << model_->Row(r).name;
  return out;
}

QStringList TFileView::SelectedPaths() const {
  QStringList out;
  for (int r : SelectedRows()) out << ItemPath(r);
  return out;
}

int TFileView::SelectedCount() const { return static_cast<int>(SelectedRows().size()); }

int TFileView::CurrentRow() const {
  const QModelIndex current = selection_->currentIndex();
  return current.isValid() ? current.row() : -1;
}

bool TFileView::SelectRow(int row) {
  if (row < 0 || row >= model_->Count()) return false;
  const QModelIndex index = model_->index(row, 0);
  selection_->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  CurrentView()->scrollTo(index);
  return true;
}

int TFileView::SelectByName(const QString& name) {
  WaitLoaded();  // the name may be among the entries still to come
  QItemSelection chosen;
  int first = -1;
  for (int r = 0; r < model_->Count(); ++r)
    if (model_->Row(r).name.compare(name, Qt::CaseInsensitive) == 0) {
      chosen.select(model_->index(r, 0), model_->index(r, 3));
      if (first < 0) first = r;
    }
  if (first < 0) {
    selection_->clearSelection();
    return 0;
  }
  selection_->setCurrentIndex(model_->index(first, 0), QItemSelectionModel::NoUpdate);
  selection_->select(chosen, QItemSelectionModel::ClearAndSelect);
  CurrentView()->scrollTo(model_->index(first, 0));
  return SelectedCount();
}

void TFileView::OnSelectionChanged() {
  if (reloading_) return;
  lastReported_ = SelectedPath();
  emit Changed(true);
}

// A focus move that does not change the selection still changes the selected path when the
// focused row is selected (Ctrl+click); report it only then, so one arrow key is one report.
void TFileView::OnCurrentChanged() {
  if (reloading_) return;
  const QString path = SelectedPath();
  if (path == lastReported_) return;
  lastReported_ = path;
  emit Changed(false);
}

bool TFileView::DeleteSelection() {
  const QStringList paths = SelectedPaths();
  if (paths.isEmpty()) return false;
  for (const QString& p : paths)
    if (p.isEmpty()) {
      QApplication::beep();
      return false;
    }
  const int former = SelectedRows().front();
  bool all = true;
  for (const QString& p : paths) all = trash_(p) && all;
  Fill();
  if (model_->Count() > 0) SelectRow(std::min(former, model_->Count() - 1));
  return all;
}

void TFileView::EditCurrent() {
  const QModelIndex current = selection_->currentIndex();
  if (current.isValid()) CurrentView()->edit(model_->index(current.row(), 0));
}

void TFileView::ExecuteRow(int row) {
  if (row < 0 || row >= model_->Count()) return;
  const TFileRow& item = model_->Row(row);
  if (item.folder && tree_) {
    tree_->SelectPath(item.id);
    return;
  }
  if (FileExecute && !item.path.isEmpty()) open_(item.path);
}

void TFileView::SetDragOut(bool on) {
  dragOut_ = on;
  list_->setDragEnabled(on);
  details_->setDragEnabled(on);
}

// A drag with Shift held is the list's own drag onto a folder of the tree, whatever the
// drag-and-drop option says; without Shift only the option lets files be dragged out.
bool TFileView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress &&
      (watched == list_->viewport() || watched == details_->viewport())) {
    const bool shift = static_cast<QMouseEvent*>(event)->modifiers() & Qt::ShiftModifier;
    list_->setDragEnabled(dragOut_ || shift);
    details_->setDragEnabled(dragOut_ || shift);
  }
  return QWidget::eventFilter(watched, event);
}

void TFileView::SetColumnWidth(int column, int width) {
  if (column >= 0 && column < 4 && width > 0) details_->header()->resizeSection(column, width);
}

int TFileView::ColumnWidth(int column) const { return details_->header()->sectionSize(column); }

void TFileView::ColumnWidthsToHeaders() {
  const QFontMetrics fm(details_->header()->font());
  for (int c = 0; c < 4; ++c)
    details_->header()->resizeSection(c, fm.horizontalAdvance(model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()) + 16);
}

void TFileView::FitColumnsToContents(bool nameOnly) {
  if (nameOnly) {
    details_->resizeColumnToContents(0);
    return;
  }
  for (int c = 1; c < 4; ++c) details_->resizeColumnToContents(c);
}

}  // namespace sorabu::browser
