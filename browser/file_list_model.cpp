#include "browser/file_list_model.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <sys/stat.h>

#include <QCollator>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QMimeDatabase>
#include <QUrl>
#include <algorithm>
#include <cstdint>
#include <ctime>
#include <memory>

#include "browser/file_name.h"
#include "browser/mask.h"
#include "browser/shell_namespace.h"

namespace sorabu::browser {

namespace {

const QCollator& NameCollator() {
  static const QCollator collator = [] {
    QCollator c{QLocale::system()};
    c.setCaseSensitivity(Qt::CaseInsensitive);
    return c;
  }();
  return collator;
}

QString DateText(time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  return QString::fromStdString(
      FormatListDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min));
}

int CompareRows(const TFileRow& a, const TFileRow& b) {
  if (a.folder != b.folder) return a.folder ? -1 : 1;
  const int r = a.key->compare(*b.key);
  return r != 0 ? r : QString::compare(a.name, b.name);
}

// One entry of a folder as a row, without its type text and sort key; false when the mask
// leaves it out.
bool ReadEntry(int fd, const char* n, bool link, bool dirEntry, const QString& prefix,
               const std::vector<std::string>& mask, TFileRow& row) {
  struct stat st {};
  // A link shows what it points to; a dangling one shows itself.
  const bool statted = fstatat(fd, n, &st, 0) == 0 || fstatat(fd, n, &st, AT_SYMLINK_NOFOLLOW) == 0;
  const bool folderItem = statted ? S_ISDIR(st.st_mode) : dirEntry;
  if (!folderItem && !MatchesMask(n, mask)) return false;
  const TShownName shown = ShownFileName(n);
  row.name = shown.text;
  row.unreachable = !shown.reachable;
  row.id = prefix + row.name;
  if (shown.reachable) row.path = row.id;  // one string, shared
  row.folder = folderItem;
  row.link = link;
  row.hasData = statted;
  if (statted) {
    row.size = static_cast<qint64>(st.st_size);
    row.mtime = static_cast<qint64>(st.st_mtime);
  }
  return true;
}

}  // namespace

TFileListModel::TFileListModel(QObject* parent) : QAbstractTableModel(parent) {}

QString TFileListModel::SizeText(const TFileRow& row) {
  if (!row.hasData || row.folder) return {};
  return QString::fromStdString(FormatListSize(static_cast<std::uint64_t>(row.size)));
}

QString TFileListModel::DateText(const TFileRow& row) {
  if (!row.hasData) return {};
  return sorabu::browser::DateText(static_cast<time_t>(row.mtime));
}

QString TFileListModel::TypeName(const QString& name, bool folder) {
  static QMimeDatabase db;
  if (folder) {
    static const QString kFolder = db.mimeTypeForName(QStringLiteral("inode/directory")).comment().left(80);
    return kFolder;
  }
  const int dot = name.lastIndexOf(QLatin1Char('.'));
  const QString ext = dot >= 0 ? name.mid(dot).toLower() : QString();
  auto it = typeCache_.constFind(ext);
  if (it != typeCache_.constEnd()) return *it;
  const QString comment = db.mimeTypeForFile(name, QMimeDatabase::MatchExtension).comment().left(80);
  typeCache_.insert(ext, comment);
  return comment;
}

bool TFileListModel::Fill(const QString& folder, const std::vector<std::string>& mask) {
  return Read(folder, mask, nullptr);
}

bool TFileListModel::Refill(const std::vector<std::string>& mask) { return Read(folder_, mask, &rows_); }

bool TFileListModel::Read(const QString& folder, const std::vector<std::string>& mask,
                          const std::vector<TFileRow>* before) {
  QHash<QString, std::size_t> known;
  if (before) {
    known.reserve(static_cast<qsizetype>(before->size()));
    for (std::size_t i = 0; i < before->size(); ++i) known.insert((*before)[i].id, i);
  }
  std::vector<TFileRow> rows;
  if (IsVirtual(folder)) {
    bool ok = false;
    const QVector<TShellItem> items = Children(folder, false, &ok);
    if (!ok) return false;
    for (const TShellItem& item : items) {
      TFileRow row;
      row.name = item.name;
      row.id = item.id;
      row.path = IsVirtual(item.id) ? QString() : item.id;
      row.folder = item.folder;
      rows.push_back(std::move(row));
    }
  } else {
    const QByteArray native = QFile::encodeName(folder);
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(native.constData()), closedir);
    if (!dir) return false;
    const int fd = dirfd(dir.get());
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    while (dirent* e = readdir(dir.get())) {
      const char* n = e->d_name;
      if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
      TFileRow row;
      if (!ReadEntry(fd, n, e->d_type == DT_LNK, e->d_type == DT_DIR, prefix, mask, row)) continue;
      if (!known.isEmpty()) {
        const auto it = known.constFind(row.id);
        if (it != known.constEnd()) {
          const TFileRow& old = (*before)[*it];
          if (old.folder == row.folder && old.link == row.link && old.hasData == row.hasData && old.size == row.size &&
              old.mtime == row.mtime) {
            rows.push_back(old);
            continue;
          }
        }
      }
      rows.push_back(std::move(row));
    }
  }
  for (TFileRow& row : rows) {
    if (row.key) continue;  // kept from before
    row.typeText = TypeName(row.name, row.folder);
    row.key = NameCollator().sortKey(row.name);
  }
  // Row numbers are sorted, not rows: a row is large, and each moves once.
  std::vector<std::uint32_t> order(rows.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::uint32_t>(i);
  std::stable_sort(order.begin(), order.end(), [&rows](std::uint32_t a, std::uint32_t b) { return CompareRows(rows[a], rows[b]) < 0; });
  std::vector<TFileRow> sorted;
  sorted.reserve(rows.size());
  for (const std::uint32_t i : order) sorted.push_back(std::move(rows[i]));
  std::vector<TFileRow>().swap(rows);
  beginResetModel();
  folder_ = folder;
  rows_ = std::move(sorted);
  endResetModel();
  return true;
}

bool TFileListModel::UpdateNames(const QStringList& names, const std::vector<std::string>& mask, bool defaultOrder) {
  if (folder_.isEmpty() || IsVirtual(folder_)) return false;
  const int fd = ::open(QFile::encodeName(folder_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const QString prefix = folder_.endsWith(QLatin1Char('/')) ? folder_ : folder_ + QLatin1Char('/');
  std::vector<TFileRow> rows = rows_;
  for (const QString& name : names) {
    const QString id = prefix + name;
    rows.erase(std::remove_if(rows.begin(), rows.end(), [&id](const TFileRow& r) { return r.id == id; }), rows.end());
    TFileRow row;
    const QByteArray native = QFile::encodeName(name);
    struct stat lst {};
    if (fstatat(fd, native.constData(), &lst, AT_SYMLINK_NOFOLLOW) != 0) continue;  // gone
    if (!ReadEntry(fd, native.constData(), S_ISLNK(lst.st_mode), S_ISDIR(lst.st_mode), prefix, mask, row)) continue;
    row.typeText = TypeName(row.name, row.folder);
    row.key = NameCollator().sortKey(row.name);
    const auto at = defaultOrder ? std::upper_bound(rows.begin(), rows.end(), row,
                                                     [](const TFileRow& a, const TFileRow& b) { return CompareRows(a, b) < 0; })
                                 : rows.end();
    rows.insert(at, std::move(row));
  }
  ::close(fd);
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
  return true;
}

void TFileListModel::SortRows(int column, int direction) {
  if (column < 0 || column > 3) return;
  // The size and date texts are made for the sort only; a row keeps its numbers.
  std::vector<QString> texts;
  if (column == 1 || column == 3) {
    texts.reserve(rows_.size());
    for (const TFileRow& r : rows_) texts.push_back(column == 1 ? SizeText(r) : DateText(r));
  }
  auto text = [&](const TFileRow& r) -> const QString& {
    return column == 2 ? r.typeText : texts[static_cast<std::size_t>(&r - rows_.data())];
  };
  emit layoutAboutToBeChanged();
  const QModelIndexList before = persistentIndexList();
  std::vector<int> order(rows_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
    const TFileRow& a = rows_[static_cast<std::size_t>(x)];
    const TFileRow& b = rows_[static_cast<std::size_t>(y)];
    int c = 0;
    if (column == 0) c = CompareRows(a, b);
    // Sizes and dates are fixed-width ASCII texts: their plain order is the numeric order.
    else if (column == 2) c = QString::localeAwareCompare(text(a), text(b));
    else c = QString::compare(text(a), text(b));
    return c * direction < 0;
  });
  std::vector<TFileRow> sorted;
  sorted.reserve(rows_.size());
  std::vector<int> newRowOf(rows_.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    newRowOf[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
    sorted.push_back(std::move(rows_[static_cast<std::size_t>(order[i])]));
  }
  rows_ = std::move(sorted);
  QModelIndexList after;
  for (const QModelIndex& i : before) after << index(newRowOf[static_cast<std::size_t>(i.row())], i.column());
  changePersistentIndexList(before, after);
  emit layoutChanged();
}

bool TFileListModel::Rename(int rowIndex, const QString& newName) {
  if (rowIndex < 0 || rowIndex >= Count()) return false;
  TFileRow& row = rows_[static_cast<std::size_t>(rowIndex)];
  if (row.path.isEmpty() || newName.isEmpty() || newName.contains(QLatin1Char('/')) || newName == QLatin1String(".") ||
      newName == QLatin1String(".."))
    return false;
  if (newName == row.name) return true;
  const QString target = QFileInfo(row.path).dir().filePath(newName);
  // rename() would silently replace an existing file: a name already taken is refused.
  // Only the item itself may already answer to the new name (a change of letter case on a file
  // system that ignores case).
  struct stat st {}, self {};
  if (lstat(QFile::encodeName(target).constData(), &st) == 0 &&
      (lstat(QFile::encodeName(row.path).constData(), &self) != 0 || st.st_ino != self.st_ino || st.st_dev != self.st_dev))
    return false;
  if (::rename(QFile::encodeName(row.path).constData(), QFile::encodeName(target).constData()) != 0) return false;
  const QString old = row.path;
  row.name = newName;
  row.path = row.id = target;
  row.key = NameCollator().sortKey(newName);
  if (!row.folder) row.typeText = TypeName(newName, false);
  emit dataChanged(index(rowIndex, 0), index(rowIndex, 3));
  emit Renamed(old, target, row.folder);
  return true;
}

int TFileListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Count(); }
int TFileListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 4; }

QIcon TFileListModel::RowIcon(const TFileRow& row) const {
  if (row.folder || IsVirtual(row.id)) return IconFor(row.id, row.folder);
  const int dot = row.name.lastIndexOf(QLatin1Char('.'));
  const QString ext = dot >= 0 ? row.name.mid(dot).toLower() : QString();
  auto it = iconCache_.constFind(ext);
  if (it != iconCache_.constEnd()) return *it;
  const QIcon icon = IconFor(row.path, false);
  iconCache_.insert(ext, icon);
  return icon;
}

QVariant TFileListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= Count()) return {};
  const TFileRow& row = Row(index.row());
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      switch (index.column()) {
        case 0: return row.name;
        case 1: return SizeText(row);
        case 2: return row.typeText;
        default: return DateText(row);
      }
    case Qt::DecorationRole:
      if (index.column() == 0) return RowIcon(row);
      return {};
    case Qt::TextAlignmentRole:
      if (index.column() == 1) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
      return {};
    case Qt::ToolTipRole:
      if (index.column() != 0) return {};
      return row.unreachable ? QVariant(UnreachableNameNote()) : QVariant(row.path);
    case Qt::ForegroundRole:
      if (row.unreachable) return QColor(Qt::gray);
      return {};
    default:
      return {};
  }
}

bool TFileListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || index.column() != 0) return false;
  return Rename(index.row(), value.toString());
}

QVariant TFileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::DisplayRole) {
    static const char* const kCaptions[] = {"名前", "ｻｲｽﾞ", "ﾌｧｲﾙの種類", "更新日時"};
    if (section >= 0 && section < 4) return QString::fromUtf8(kCaptions[section]);
  }
  if (role == Qt::TextAlignmentRole && section == 1) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

Qt::ItemFlags TFileListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  const TFileRow& row = Row(index.row());
  if (!row.path.isEmpty()) f |= Qt::ItemIsDragEnabled;
  if (index.column() == 0 && !row.path.isEmpty()) f |= Qt::ItemIsEditable;
  return f;
}

QStringList TFileListModel::mimeTypes() const { return {QStringLiteral("text/uri-list")}; }

QMimeData* TFileListModel::mimeData(const QModelIndexList& indexes) const {
  QList<QUrl> urls;
  QList<int> seen;
  for (const QModelIndex& i : indexes) {
    if (seen.contains(i.row())) continue;
    seen << i.row();
    if (!Row(i.row()).path.isEmpty()) urls << QUrl::fromLocalFile(Row(i.row()).path);
  }
  // A drag of more than 1024 files does not start.
  if (urls.isEmpty() || urls.size() > kMaxDragFiles) return nullptr;
  auto* mime = new QMimeData;
  mime->setUrls(urls);
  return mime;
}

}  // namespace sorabu::browser
