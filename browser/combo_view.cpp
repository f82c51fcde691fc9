#include "browser/combo_view.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyledItemDelegate>

#include "browser/folder_view.h"
#include "browser/shell_namespace.h"

namespace sorabu::browser {

namespace {
constexpr int kIdRole = Qt::UserRole;
constexpr int kLevelRole = Qt::UserRole + 1;
constexpr int kTemporaryRole = Qt::UserRole + 2;

// The open list shows each entry indented by ten pixels per level.
class TIndentDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem indented = option;
    indented.rect.adjust(index.data(kLevelRole).toInt() * 10, 0, 0, 0);
    QStyledItemDelegate::paint(painter, indented, index);
  }
};
}  // namespace

TComboView::TComboView(QWidget* parent) : QComboBox(parent) {
  setMaxVisibleItems(8);
  resize(200, height());
  view()->setItemDelegate(new TIndentDelegate(view()));
  connect(this, &QComboBox::activated, this, [this](int row) {
    const QString id = EntryId(row);
    if (tree_) tree_->SelectPath(id);
    emit Picked(id);
  });
}

void TComboView::SetFolderView(TFolderView* tree, bool linkBack) {
  tree_ = tree;
  if (linkBack && tree) tree->SetComboView(this);
}

QString TComboView::EntryId(int row) const { return itemData(row, kIdRole).toString(); }
int TComboView::EntryLevel(int row) const { return itemData(row, kLevelRole).toInt(); }
bool TComboView::EntryTemporary(int row) const { return itemData(row, kTemporaryRole).toBool(); }

int TComboView::InsertEntry(int row, const QString& id, int level, bool temporary) {
  insertItem(row, IconFor(id, true), DisplayName(id));
  setItemData(row, id, kIdRole);
  setItemData(row, level, kLevelRole);
  setItemData(row, temporary, kTemporaryRole);
  return row;
}

void TComboView::Load() {
  const bool blocked = blockSignals(true);
  clear();
  InsertEntry(0, kDesktopId, 0, false);
  // The desktop's children keep the desktop's order; the drives go below "マイコンピュータ".
  for (const TShellItem& item : Children(kDesktopId, true)) {
    InsertEntry(count(), item.id, 1, false);
    if (item.id == kComputerId)
      for (const QString& drive : Drives()) InsertEntry(count(), drive, 2, false);
  }
  setCurrentIndex(0);
  blockSignals(blocked);
}

int TComboView::InsertAncestry(const QString& id, bool temporary) {
  int pos = 0;
  const QStringList chain = Ancestry(id);
  for (int i = 0; i < chain.size(); ++i) {
    const int level = i + 1;
    const QString& step = chain[i];
    int found = -1;
    int insertAt = pos + 1;
    for (int j = pos + 1; j < count() && EntryLevel(j) >= level; ++j) {
      if (EntryLevel(j) != level) continue;
      if (EntryId(j) == step) {
        found = j;
        break;
      }
      // Entries of one level stay in name order: the new one goes after every smaller sibling
      // and its subtree.
      if (CompareNames(itemText(j), DisplayName(step)) < 0) {
        int k = j + 1;
        while (k < count() && EntryLevel(k) > level) ++k;
        insertAt = k;
      }
    }
    // The virtual "マイコンピュータ" keeps its place among the desktop's children.
    if (found < 0 && step == kComputerId) found = findData(kComputerId, kIdRole);
    pos = found >= 0 ? found : InsertEntry(insertAt, step, level, temporary);
  }
  return pos;
}

void TComboView::Sync(const QString& id) {
  const bool blocked = blockSignals(true);
  for (int row = count() - 1; row >= 0; --row)
    if (EntryTemporary(row)) removeItem(row);
  int row = findData(id, kIdRole);
  if (row < 0) row = Ancestry(id).isEmpty() ? 0 : InsertAncestry(id, true);
  setCurrentIndex(row);
  blockSignals(blocked);
}

}  // namespace sorabu::browser
