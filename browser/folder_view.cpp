#include "browser/folder_view.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QDragEnterEvent>
#include <QListView>
#include <QMimeData>
#include <QTreeView>
#include <QDir>
#include <QSet>
#include <functional>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>
#include <cstdio>
#include <deque>

#include "browser/combo_view.h"
#include "browser/file_view.h"
#include "browser/shell_namespace.h"

namespace sorabu::browser {

namespace {
constexpr int kIdRole = Qt::UserRole;
constexpr int kLoadedRole = Qt::UserRole + 1;

class TBusy {
 public:
  explicit TBusy(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~TBusy() { flag_ = old_; }

 private:
  bool& flag_;
  bool old_;
};
}  // namespace

TFolderView::TFolderView(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  // A deep path still fits the narrow left pane.
  setIndentation(12);
  setColumnCount(1);
  setSortingEnabled(false);
  setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DropOnly);
  viewport()->setAcceptDrops(true);
  connect(this, &QTreeWidget::currentItemChanged, this, &TFolderView::OnCurrentChanged);
  connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { FillChildren(item); });
  connect(this, &QTreeWidget::itemChanged, this, &TFolderView::OnItemChanged);
}

void TFolderView::SetFileView(TFileView* list) {
  if (list_ && list_ != list) list_->SetFolderView(nullptr);
  list_ = list;
  if (list_) list_->SetFolderView(this);
}

void TFolderView::SetComboView(TComboView* combo) {
  if (combo_ && combo_ != combo) combo_->SetFolderView(nullptr, false);
  combo_ = combo;
  if (combo_) combo_->SetFolderView(this, false);
}

QString TFolderView::NodeId(const QTreeWidgetItem* node) { return node ? node->data(0, kIdRole).toString() : QString(); }

QTreeWidgetItem* TFolderView::AddNode(QTreeWidgetItem* parent, const QString& id, const QString& name) {
  auto* node = new QTreeWidgetItem;
  node->setText(0, name);
  node->setData(0, kIdRole, id);
  node->setData(0, kLoadedRole, false);
  node->setIcon(0, IconFor(id, true));
  // The root of a drive and virtual nodes keep their names.
  if (!IsVirtual(id) && id != QLatin1String("/") && !Drives().contains(id)) node->setFlags(node->flags() | Qt::ItemIsEditable);
  node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
  if (parent) parent->addChild(node);
  else addTopLevelItem(node);
  return node;
}

bool TFolderView::FillChildren(QTreeWidgetItem* node) {
  if (!node || NodeId(node).isEmpty()) return false;
  if (node->data(0, kLoadedRole).toBool()) return true;
  bool ok = false;
  QVector<TShellItem> items = Children(NodeId(node), true, &ok);
  if (!ok) {
    node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
    return false;
  }
  std::sort(items.begin(), items.end(), [](const TShellItem& a, const TShellItem& b) { return CompareItems(a, b) < 0; });
  TBusy busy(busy_);
  const bool blocked = blockSignals(true);
  node->setData(0, kLoadedRole, true);
  for (const TShellItem& item : items) AddNode(node, item.id, item.name);
  if (items.isEmpty()) node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
  blockSignals(blocked);
  return true;
}

bool TFolderView::SyncChildren(QTreeWidgetItem* node) {
  if (!node || NodeId(node).isEmpty() || !node->data(0, kLoadedRole).toBool()) return false;
  bool ok = false;
  QVector<TShellItem> items = Children(NodeId(node), true, &ok);
  if (!ok) return false;
  std::sort(items.begin(), items.end(), [](const TShellItem& a, const TShellItem& b) { return CompareItems(a, b) < 0; });
  QSet<QString> ids;
  for (const TShellItem& item : items) ids.insert(item.id);
  bool changed = false;
  for (int i = node->childCount() - 1; i >= 0; --i) {
    QTreeWidgetItem* child = node->child(i);
    if (ids.contains(NodeId(child))) continue;
    // The folder on screen went away: the tree and the list move to its parent.
    for (QTreeWidgetItem* c = currentItem(); c; c = c->parent())
      if (c == child) {
        setCurrentItem(node);
        break;
      }
    if (previous_ == child) previous_ = nullptr;
    delete node->takeChild(i);
    changed = true;
  }
  TBusy busy(busy_);
  const bool blocked = blockSignals(true);
  for (int i = 0; i < items.size(); ++i) {
    if (i < node->childCount() && NodeId(node->child(i)) == items[i].id) continue;
    QTreeWidgetItem* added = AddNode(node, items[i].id, items[i].name);
    node->removeChild(added);
    node->insertChild(i, added);
    changed = true;
  }
  node->setChildIndicatorPolicy(node->childCount() > 0 ? QTreeWidgetItem::ShowIndicator
                                                       : QTreeWidgetItem::DontShowIndicator);
  blockSignals(blocked);
  return changed;
}

QStringList TFolderView::OpenFolders() const {
  QStringList out;
  std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* n) {
    if (!n->data(0, kLoadedRole).toBool()) return;
    const QString id = NodeId(n);
    if (!IsVirtual(id) && (n->isExpanded() || n == currentItem())) out << id;
    for (int i = 0; i < n->childCount(); ++i)
      if (n->child(i)->isExpanded()) walk(n->child(i));
  };
  for (int i = 0; i < topLevelItemCount(); ++i) walk(topLevelItem(i));
  return out;
}

void TFolderView::Rebuild() {
  TBusy busy(busy_);
  clear();
  previous_ = nullptr;
  QTreeWidgetItem* root = AddNode(nullptr, kDesktopId, DisplayName(kDesktopId));
  FillChildren(root);
  root->setExpanded(true);
  setCurrentItem(root);
}

QTreeWidgetItem* TFolderView::FindNode(const QString& id) const {
  QTreeWidgetItem* node = topLevelItemCount() > 0 ? topLevelItem(0) : nullptr;
  if (!node) return nullptr;
  if (id == kDesktopId) return node;
  for (const QString& step : Ancestry(id)) {
    QTreeWidgetItem* next = nullptr;
    for (int i = 0; i < node->childCount() && !next; ++i)
      if (NodeId(node->child(i)) == step) next = node->child(i);
    if (!next) return nullptr;
    node = next;
  }
  return node;
}

bool TFolderView::SelectPath(const QString& rawId) {
  if (topLevelItemCount() == 0) return false;
  const QString id = IsVirtual(rawId) ? rawId : QDir::cleanPath(rawId);
  QTreeWidgetItem* node = topLevelItem(0);
  if (id != kDesktopId) {
    const QStringList chain = Ancestry(id);
    if (chain.isEmpty()) return false;
    for (const QString& step : chain) {
      if (!FillChildren(node)) return false;
      QTreeWidgetItem* next = nullptr;
      for (int i = 0; i < node->childCount() && !next; ++i)
        if (NodeId(node->child(i)) == step) next = node->child(i);
      // A folder made since the node was read (by another program) is read in now.
      if (!next && SyncChildren(node))
        for (int i = 0; i < node->childCount() && !next; ++i)
          if (NodeId(node->child(i)) == step) next = node->child(i);
      if (!next) return false;
      node = next;
    }
  }
  QTreeWidgetItem* p = node->parent();
  while (p) {
    p->setExpanded(true);
    p = p->parent();
  }
  setCurrentItem(node);
  scrollToItem(node);
  return currentItem() == node;
}

QString TFolderView::SelectedPath() const { return NodeId(currentItem()); }

void TFolderView::OnCurrentChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
  if (busy_ || !current) return;
  if (!goingBack_) previous_ = previous;
  const QString id = NodeId(current);
  if (list_ && !list_->SetFolder(id)) {
    // The folder cannot be read: back to where the user was, without another attempt if that
    // one cannot be read either.
    if (previous_ && previous_ != current && !goingBack_) {
      goingBack_ = true;
      setCurrentItem(previous_);
      goingBack_ = false;
    }
    return;
  }
  if (combo_) combo_->Sync(id);
  emit FolderChanged(id);
}

bool TFolderView::RenameNode(QTreeWidgetItem* node, const QString& newName) {
  const QString id = NodeId(node);
  if (!node || !node->parent() || IsVirtual(id) || Drives().contains(id)) return false;
  const QString target = QFileInfo(id).dir().filePath(newName);
  const bool valid = !newName.isEmpty() && !newName.contains(QLatin1Char('/')) && newName != QLatin1String(".") &&
                     newName != QLatin1String("..") && !QFileInfo::exists(target);
  if (!valid || std::rename(QFile::encodeName(id).constData(), QFile::encodeName(target).constData()) != 0) return false;
  FolderRenamed(id, target);
  return true;
}

// The nodes below keep their places and only their ids change: the in-place editor commits a
// rename from inside the view's handling of a move to another node, often one of these, and that
// node must still be there when the move goes on.
void TFolderView::FolderRenamed(const QString& oldPath, const QString& newPath) {
  QTreeWidgetItem* node = FindNode(oldPath);
  if (!node) return;
  const QString below = oldPath + QLatin1Char('/');
  const QString current = SelectedPath();
  const bool wasCurrent = current == oldPath || current.startsWith(below);
  {
    TBusy busy(busy_);
    const bool blocked = blockSignals(true);
    node->setText(0, DisplayName(newPath));
    std::deque<QTreeWidgetItem*> pending{node};
    while (!pending.empty()) {
      QTreeWidgetItem* next = pending.front();
      pending.pop_front();
      next->setData(0, kIdRole, QString(newPath + NodeId(next).mid(oldPath.size())));
      for (int i = 0; i < next->childCount(); ++i) pending.push_back(next->child(i));
    }
    blockSignals(blocked);
  }
  if (!wasCurrent) return;
  const QString id = SelectedPath();
  if (list_) list_->SetFolder(id);
  if (combo_) combo_->Sync(id);
  emit FolderChanged(id);
}

void TFolderView::OnItemChanged(QTreeWidgetItem* item, int column) {
  if (busy_ || column != 0) return;
  const QString id = NodeId(item);
  const QString oldName = DisplayName(id);
  if (item->text(0) == oldName) return;
  const QString typed = item->text(0);
  if (!RenameNode(item, typed)) {
    const bool blocked = blockSignals(true);
    item->setText(0, oldName);
    blockSignals(blocked);
    QApplication::beep();
  }
}

namespace {
// The tree takes drops from its own list only.
bool FromList(const QDropEvent* event, const TFileView* list) {
  const QObject* source = event->source();
  return list && source && (source == list->ListView() || source == list->DetailView()) && event->mimeData()->hasUrls();
}
}  // namespace

void TFolderView::dragEnterEvent(QDragEnterEvent* event) {
  if (FromList(event, list_)) event->acceptProposedAction();
  else event->ignore();
}

void TFolderView::dragMoveEvent(QDragMoveEvent* event) {
  if (FromList(event, list_) && itemAt(event->position().toPoint())) event->acceptProposedAction();
  else event->ignore();
}

void TFolderView::dropEvent(QDropEvent* event) {
  if (!FromList(event, list_)) return;
  const QString target = NodeId(itemAt(event->position().toPoint()));
  if (target.isEmpty() || IsVirtual(target) || target == list_->Folder()) return;
  QStringList files;
  for (const QUrl& u : event->mimeData()->urls())
    if (u.isLocalFile()) files << u.toLocalFile();
  event->setDropAction(Qt::CopyAction);
  event->accept();
  emit FilesDropped(files, target);
}

// Qt's own '*' follows every folder it opens into the children that opening read, so a link to
// a parent folder made it endless and the window stood still.
void TFolderView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Asterisk && currentItem() != nullptr) {
    ExpandBelow(currentItem());
    event->accept();
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

void TFolderView::ExpandBelow(QTreeWidgetItem* node) {
  QSet<QString> seen;
  std::deque<QTreeWidgetItem*> pending{node};
  int opened = 0;
  while (!pending.empty() && opened < kExpandAllFolders) {
    QTreeWidgetItem* next = pending.front();
    pending.pop_front();
    const QString id = NodeId(next);
    const QString real = IsVirtual(id) ? id : QFileInfo(id).canonicalFilePath();
    if (real.isEmpty() || seen.contains(real)) continue;
    seen.insert(real);
    next->setExpanded(true);
    ++opened;
    for (int i = 0; i < next->childCount(); ++i) pending.push_back(next->child(i));
  }
}

// The program's own menu for a node below the desktop: rename and copy its path.
void TFolderView::contextMenuEvent(QContextMenuEvent* event) {
  QTreeWidgetItem* node = itemAt(event->pos());
  if (!node || !node->parent()) {
    event->ignore();  // the window's own menu then
    return;
  }
  const QString id = NodeId(node);
  QMenu menu(this);
  QAction* rename = menu.addAction(QStringLiteral("名前の変更(&M)"));
  QAction* copy = menu.addAction(QStringLiteral("パスのコピー(&C)"));
  rename->setEnabled(node->flags().testFlag(Qt::ItemIsEditable));
  copy->setEnabled(!IsVirtual(id));
  QAction* chosen = menu.exec(event->globalPos());
  if (chosen == rename) editItem(node);
  else if (chosen == copy) QApplication::clipboard()->setText(id);
}

}  // namespace sorabu::browser
