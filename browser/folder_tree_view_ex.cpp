#include "browser/folder_tree_view_ex.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QStandardPaths>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "browser/shell_namespace.h"

namespace sorabu::browser {

namespace {
constexpr int kPathRole = Qt::UserRole;
constexpr int kLoadedRole = Qt::UserRole + 1;
constexpr int kFolderRole = Qt::UserRole + 2;
constexpr int kMaxRefreshNodes = 10240;
const QString kControlsId = QStringLiteral(":controls");
const QString kTrashId = QStringLiteral(":trash");

QString Home(const char* below) { return QDir::homePath() + QLatin1Char('/') + QLatin1String(below); }

int CountNodes(QTreeWidgetItem* node) {
  int n = 1;
  for (int i = 0; i < node->childCount(); ++i) n += CountNodes(node->child(i));
  return n;
}

void CollectOpen(QTreeWidgetItem* node, QStringList& out) {
  if (node->isExpanded() && !TFolderTreeViewEx::NodePath(node).isEmpty()) out << TFolderTreeViewEx::NodePath(node);
  for (int i = 0; i < node->childCount(); ++i) CollectOpen(node->child(i), out);
}
}  // namespace

QString RootFolderPath(TRootFolder root, const QString& manualName) {
  using SP = QStandardPaths;
  switch (root) {
    case TRootFolder::rfManual:
      return !manualName.isEmpty() && QFileInfo(manualName).isDir() ? QDir::cleanPath(manualName) : kComputerId;
    case TRootFolder::rfDrives: return kComputerId;
    case TRootFolder::rfDesktop: return SP::writableLocation(SP::DesktopLocation);
    case TRootFolder::rfFavorites: return QDir::homePath();
    case TRootFolder::rfPrograms:
    case TRootFolder::rfStartMenu: return SP::writableLocation(SP::ApplicationsLocation);
    case TRootFolder::rfRecent: return Home(".local/share/recently-used");
    case TRootFolder::rfSendTo: return SP::writableLocation(SP::AppConfigLocation) + QStringLiteral("/SendTo");
    case TRootFolder::rfStartup: return SP::writableLocation(SP::ConfigLocation) + QStringLiteral("/autostart");
    case TRootFolder::rfAppdata: return SP::writableLocation(SP::GenericConfigLocation);
    case TRootFolder::rfTemplates: {
      const QString t = SP::writableLocation(SP::TemplatesLocation);
      return t.isEmpty() ? Home("Templates") : t;
    }
    case TRootFolder::rf_Controls: return kControlsId;
    case TRootFolder::rf_Bitbucket: return kTrashId;
  }
  return {};
}

TFolderTreeViewEx::TFolderTreeViewEx(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setIndentation(12);
  setEditTriggers(QAbstractItemView::EditKeyPressed);
  setDragEnabled(true);
  setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  open_ = [](const QString& p) { QDesktopServices::openUrl(QUrl::fromLocalFile(p)); };
  trash_ = [](const QString& p) { return QFile::moveToTrash(p); };
  message_ = [](const QString&) {};
  connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* n) { FillChildren(n); });
  connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* n) {
    if (n) scrollToItem(n);
    emit Change(FolderName());
  });
  connect(this, &QTreeWidget::itemClicked, this, [this] { emit Click(FolderName()); });
  connect(this, &QTreeWidget::itemDoubleClicked, this, &TFolderTreeViewEx::OnDoubleClick);
  connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* n, int) {
    const QString path = NodePath(n);
    if (path.isEmpty() || n->text(0) == DisplayName(path)) return;
    if (!RenameNode(n, n->text(0))) {
      const bool blocked = blockSignals(true);
      n->setText(0, DisplayName(path));
      blockSignals(blocked);
    }
  });
  Rebuild();
}

QString TFolderTreeViewEx::NodePath(const QTreeWidgetItem* node) {
  if (!node) return {};
  const QString id = node->data(0, kPathRole).toString();
  return IsVirtual(id) ? QString() : id;
}

QString TFolderTreeViewEx::FolderName() const {
  if (QTreeWidgetItem* n = currentItem()) {
    const QString path = NodePath(n);
    lastName_ = path.isEmpty() ? n->text(0) : path;
  }
  return lastName_;
}

void TFolderTreeViewEx::SetRootFolder(TRootFolder root) {
  root_ = root;
  if (VirtualMode()) showRoot_ = true;
  Rebuild();
}
void TFolderTreeViewEx::SetRootFolderName(const QString& name) {
  rootName_ = name;
  Rebuild();
}
void TFolderTreeViewEx::SetFileMask(const QStringList& mask) {
  mask_ = mask;
  Rebuild();
}
void TFolderTreeViewEx::SetShowFile(bool on) {
  // Once files are shown they stay: a picker that lists programs is not turned into a folder tree.
  if (!on && showFile_) return;
  showFile_ = on;
  Rebuild();
}
void TFolderTreeViewEx::SetShowRootFolder(bool on) {
  if (!on && VirtualMode()) return;
  showRoot_ = on;
  Rebuild();
}
void TFolderTreeViewEx::SetShowIncludeHidden(bool on) {
  showHidden_ = on;
  Rebuild();
}
void TFolderTreeViewEx::SetInfoViewSort(bool on) {
  infoViewSort_ = on;
  Rebuild();
}
void TFolderTreeViewEx::SetShowExecutables(bool on) {
  executables_ = on;
  Rebuild();
}

bool TFolderTreeViewEx::Passes(const QString& path, bool folder) const {
  if (folder) return true;
  if (!showFile_) return false;
  if (mask_.isEmpty()) return true;
  const QString name = DisplayName(path);
  const int dot = name.lastIndexOf(QLatin1Char('.'));
  const QString ext = dot >= 0 ? name.mid(dot).toUpper() : QString();
  if (!ext.isEmpty())
    for (const QString& m : mask_)
      if (m.toUpper() == ext) return true;
  return executables_ && access(QFile::encodeName(path).constData(), X_OK) == 0;
}

// Folders with a subfolder, or with a file that would be listed, get the expand mark. One read of
// the folder, stopped at the first hit.
bool TFolderTreeViewEx::HasChildren(const QString& folder) const {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(QFile::encodeName(folder).constData()), closedir);
  if (!dir) return false;
  while (dirent* e = readdir(dir.get())) {
    const char* n = e->d_name;
    if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
    if (!showHidden_ && n[0] == '.') continue;
    struct stat st {};
    const bool isDir = e->d_type == DT_DIR ||
                       ((e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) && fstatat(dirfd(dir.get()), n, &st, 0) == 0 && S_ISDIR(st.st_mode));
    if (isDir || Passes(folder + QLatin1Char('/') + QFile::decodeName(n), false)) return true;
  }
  return false;
}

QTreeWidgetItem* TFolderTreeViewEx::AddNode(QTreeWidgetItem* parent, const QString& id, const QString& name, bool folder) {
  auto* node = new QTreeWidgetItem;
  node->setText(0, name);
  node->setData(0, kPathRole, id);
  node->setData(0, kFolderRole, folder);
  node->setData(0, kLoadedRole, !folder);
  node->setIcon(0, IconFor(id, folder));
  if (!IsVirtual(id) && !VirtualMode() && !Drives().contains(id)) node->setFlags(node->flags() | Qt::ItemIsEditable);
  const bool children = folder && (IsVirtual(id) ? id == kComputerId || id == kTrashId : HasChildren(id));
  node->setChildIndicatorPolicy(children ? QTreeWidgetItem::ShowIndicator : QTreeWidgetItem::DontShowIndicator);
  if (parent) parent->addChild(node);
  else addTopLevelItem(node);
  return node;
}

bool TFolderTreeViewEx::FillChildren(QTreeWidgetItem* node) {
  if (!node) return false;
  if (node->data(0, kLoadedRole).toBool()) return true;
  const QString id = node->data(0, kPathRole).toString();
  QVector<TShellItem> items;
  bool ok = true;
  if (id == kTrashId) {
    // Virtual: the trash's items by name, without paths.
    for (const TShellItem& item : Children(Home(".local/share/Trash/files"), false, &ok))
      items.push_back({kTrashId + QLatin1Char('/') + item.name, item.name, false});
    ok = true;
  } else if (id != kControlsId) {
    items = Children(id, !showFile_, &ok);
  }
  if (!ok) return false;
  items.erase(std::remove_if(items.begin(), items.end(), [this](const TShellItem& i) {
                return (!showHidden_ && i.hidden && !VirtualMode()) || (!VirtualMode() && !IsVirtual(i.id) && !Passes(i.id, i.folder));
              }),
              items.end());
  std::sort(items.begin(), items.end(), [this](const TShellItem& a, const TShellItem& b) {
    if (infoViewSort_ && showFile_ && a.folder != b.folder) return !a.folder;
    return CompareItems(a, b) < 0;
  });
  const bool blocked = blockSignals(true);
  node->setData(0, kLoadedRole, true);
  for (const TShellItem& item : items) AddNode(node, item.id, item.name, item.folder);
  if (items.isEmpty()) node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
  blockSignals(blocked);
  return true;
}

void TFolderTreeViewEx::Rebuild() {
  const bool blocked = blockSignals(true);
  clear();
  blockSignals(blocked);
  const QString rootId = RootFolderPath(root_, rootName_);
  // A root that cannot be resolved leaves the tree empty.
  if (rootId.isEmpty() || (!IsVirtual(rootId) && !QFileInfo(rootId).isDir())) return;
  if (showRoot_) {
    QTreeWidgetItem* root = AddNode(nullptr, rootId, rootId == kControlsId ? QStringLiteral("コントロール パネル")
                                                     : rootId == kTrashId  ? QStringLiteral("ごみ箱")
                                                                           : DisplayName(rootId), true);
    FillChildren(root);
    root->setExpanded(true);
  } else {
    auto* hidden = new QTreeWidgetItem;
    hidden->setData(0, kPathRole, rootId);
    hidden->setData(0, kFolderRole, true);
    FillChildren(hidden);
    const bool b = blockSignals(true);
    addTopLevelItems(hidden->takeChildren());
    blockSignals(b);
    delete hidden;
  }
  if (rootId == kComputerId && SelectedDir != TSelectedDir::sdNone) {
    const QString system = SelectedDir == TSelectedDir::sdSystem ? QStringLiteral("/usr") : QDir::currentPath();
    SelectPath(DriveOf(system));
    if (currentItem()) currentItem()->setExpanded(true);
  }
}

bool TFolderTreeViewEx::SelectPath(const QString& rawPath, bool scrollToTop) {
  if (VirtualMode() || rawPath.isEmpty() || topLevelItemCount() == 0) return false;
  const QString path = QDir::cleanPath(rawPath);
  const QString rootId = RootFolderPath(root_, rootName_);
  QStringList chain;
  if (rootId == kComputerId) {
    chain = Ancestry(path);
    if (!chain.isEmpty()) chain.removeFirst();
  } else {
    if (path != rootId && !path.startsWith(rootId + QLatin1Char('/'))) return false;
    QString walk = rootId;
    for (const QString& part : path.mid(rootId.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts)) chain << (walk += QLatin1Char('/') + part);
  }
  QTreeWidgetItem* node = nullptr;
  auto childWith = [](QTreeWidgetItem* parent, const QString& id) -> QTreeWidgetItem* {
    for (int i = 0; i < parent->childCount(); ++i)
      if (parent->child(i)->data(0, kPathRole).toString() == id) return parent->child(i);
    return nullptr;
  };
  int step = 0;
  if (showRoot_) {
    node = topLevelItem(0);
  } else {
    if (chain.isEmpty()) return false;
    for (int i = 0; i < topLevelItemCount() && !node; ++i)
      if (topLevelItem(i)->data(0, kPathRole).toString() == chain.front()) node = topLevelItem(i);
    step = 1;
  }
  for (; node && step < chain.size(); ++step) {
    if (!FillChildren(node)) return false;
    node->setExpanded(true);
    node = childWith(node, chain[step]);
  }
  if (!node) return false;
  setCurrentItem(node);
  scrollToItem(node, scrollToTop ? QAbstractItemView::PositionAtTop : QAbstractItemView::EnsureVisible);
  return true;
}

void TFolderTreeViewEx::Refresh() {
  if (VirtualMode()) {
    Rebuild();
    return;
  }
  int nodes = 0;
  for (int i = 0; i < topLevelItemCount(); ++i) nodes += CountNodes(topLevelItem(i));
  if (nodes > kMaxRefreshNodes) return;
  const QString top = NodePath(itemAt(0, 0));
  const QString selected = NodePath(currentItem());
  QStringList open;
  for (int i = 0; i < topLevelItemCount(); ++i) CollectOpen(topLevelItem(i), open);
  Rebuild();
  for (const QString& p : open)
    if (SelectPath(p) && currentItem()) currentItem()->setExpanded(true);
  if (!selected.isEmpty()) SelectPath(selected);
  if (!top.isEmpty() && SelectPath(top, true) && !selected.isEmpty()) {
    const int scroll = verticalScrollBar()->value();
    SelectPath(selected);
    verticalScrollBar()->setValue(scroll);
  }
}

bool TFolderTreeViewEx::RenameNode(QTreeWidgetItem* node, const QString& newName) {
  const QString path = NodePath(node);
  if (path.isEmpty() || VirtualMode() || !AutoUpDate) return false;
  if (Drives().contains(path)) return false;
  const QString target = QFileInfo(path).dir().filePath(newName);
  if (newName.isEmpty() || newName.contains(QLatin1Char('/')) || newName == QLatin1String("..") || QFileInfo::exists(target) ||
      std::rename(QFile::encodeName(path).constData(), QFile::encodeName(target).constData()) != 0)
    return false;
  const bool blocked = blockSignals(true);
  node->setData(0, kPathRole, target);
  node->setText(0, newName);
  blockSignals(blocked);
  Refresh();
  SelectPath(target);
  return true;
}

bool TFolderTreeViewEx::DropFiles(const QStringList& files, QTreeWidgetItem* target, bool copy) {
  if (files.size() != 1 || !target) return false;
  const QString dest = NodePath(target);
  if (dest.isEmpty()) {
    message_(QStringLiteral("This Folder is SpecialFolder \r   Can not Copy or Paste!"));
    return false;
  }
  const bool targetIsFolder = QFileInfo(dest).isDir();
  const QString folder = targetIsFolder ? dest : QFileInfo(dest).path();
  const QString to = QDir(folder).filePath(QFileInfo(files.front()).fileName());
  if (QFileInfo::exists(to)) return false;
  const bool ok = (copy || !targetIsFolder) ? QFile::copy(files.front(), to)
                                            : std::rename(QFile::encodeName(files.front()).constData(), QFile::encodeName(to).constData()) == 0;
  if (ok && targetIsFolder && AutoUpDate) Refresh();
  return ok;
}

void TFolderTreeViewEx::OnDoubleClick(QTreeWidgetItem* node) {
  emit DblClick(FolderName());
  if (ShellRun && showFile_ && node && !node->data(0, kFolderRole).toBool() && !NodePath(node).isEmpty()) open_(NodePath(node));
}

void TFolderTreeViewEx::contextMenuEvent(QContextMenuEvent* event) {
  QTreeWidgetItem* node = itemAt(event->pos());
  if (!ContextMenuOn || !node) return;
  setCurrentItem(node);
  const QString path = NodePath(node);
  QMenu menu(this);
  QAction* open = menu.addAction(QStringLiteral("開く(&O)"));
  QAction* rename = menu.addAction(QStringLiteral("名前の変更(&M)"));
  QAction* del = menu.addAction(QStringLiteral("削除(&D)"));
  QAction* copy = menu.addAction(QStringLiteral("パスのコピー(&C)"));
  for (QAction* a : {open, rename, del, copy}) a->setEnabled(!path.isEmpty());
  QAction* chosen = menu.exec(event->globalPos());
  if (chosen == open) open_(path);
  else if (chosen == rename) editItem(node);
  else if (chosen == copy) QApplication::clipboard()->setText(path);
  else if (chosen == del) {
    if (!trash_(path)) message_(QStringLiteral("InvokeCommand failed!"));
    else if (AutoUpDate) delete node;
  }
}

QStringList TFolderTreeViewEx::mimeTypes() const { return {QStringLiteral("text/uri-list")}; }

QMimeData* TFolderTreeViewEx::mimeData(const QList<QTreeWidgetItem*>& items) const {
  QList<QUrl> urls;
  for (const QTreeWidgetItem* i : items)
    if (!NodePath(i).isEmpty()) urls << QUrl::fromLocalFile(NodePath(i));
  auto* mime = new QMimeData;
  mime->setUrls(urls);
  return mime;
}

void TFolderTreeViewEx::dragEnterEvent(QDragEnterEvent* event) {
  if (DragAndDrop && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TFolderTreeViewEx::dragMoveEvent(QDragMoveEvent* event) {
  if (!DragAndDrop || !event->mimeData()->hasUrls()) return;
  if (QTreeWidgetItem* n = itemAt(event->position().toPoint())) setCurrentItem(n, 0, QItemSelectionModel::NoUpdate);
  event->acceptProposedAction();
}

void TFolderTreeViewEx::dropEvent(QDropEvent* event) {
  if (!DragAndDrop) return;
  QStringList files;
  for (const QUrl& u : event->mimeData()->urls())
    if (u.isLocalFile()) files << u.toLocalFile();
  const bool copy = event->modifiers().testFlag(Qt::ControlModifier);
  if (DropFiles(files, itemAt(event->position().toPoint()), copy)) event->acceptProposedAction();
}

}  // namespace sorabu::browser
