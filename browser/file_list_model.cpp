#include "browser/file_list_model.h"

#include <fcntl.h>
#include <unistd.h>
#include <sys/stat.h>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <cstdint>
#include <ctime>
#include <memory>
#include <thread>
#include <utility>

#include "browser/file_name.h"
#include "browser/mask.h"
#include "browser/shell_namespace.h"

namespace sorabu::browser {

namespace {

QString DateText(time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  return QString::fromStdString(
      FormatListDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min));
}

}  // namespace

struct TFileListModel::TLoadedRest {
  std::vector<TFileRow> rows;  // the whole folder in the default order
  std::vector<int> shownAt;    // where each row shown when the load began is in rows
};

// The worker that reads the rest of a large folder. It owns the open scan and copies of the rows
// shown so far (the copies share their strings), and hands back the whole in order; it touches
// nothing of the model's.
struct TFileListModel::TLoadJob {
  std::atomic<bool> stop{false};
  std::thread thread;
  std::optional<TLoadedRest> result;  // written by the worker, read after it is joined
};

TFileListModel::TFileListModel(QObject* parent) : QAbstractTableModel(parent) {}

QString TFileListModel::SizeText(const TFileRow& row) {
  if (!row.hasData || row.folder) return {};
  return QString::fromStdString(FormatListSize(static_cast<std::uint64_t>(row.size)));
}

QString TFileListModel::DateText(const TFileRow& row) {
  if (!row.hasData) return {};
  return sorabu::browser::DateText(static_cast<time_t>(row.mtime));
}

TFileListModel::~TFileListModel() { StopLoading(); }

bool TFileListModel::Fill(const QString& folder, const std::vector<std::string>& mask) {
  return Read(folder, mask, nullptr);
}

bool TFileListModel::Refill(const std::vector<std::string>& mask) { return Read(folder_, mask, &rows_); }

bool TFileListModel::Read(const QString& folder, const std::vector<std::string>& mask,
                          const std::vector<TFileRow>* before) {
  std::vector<TFileRow> rows;
  std::unique_ptr<TFolderScan> rest;
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
      labels_.Label(row);
      rows.push_back(std::move(row));
    }
  } else {
    auto scan = std::make_unique<TFolderScan>(folder, mask, before);
    if (!scan->Open()) return false;
    if (!scan->Read(inlineEntries_, rows, labels_)) rest = std::move(scan);
  }
  StopLoading();
  SortDefault(rows);
  beginResetModel();
  folder_ = folder;
  rows_ = std::move(rows);
  endResetModel();
  if (rest) StartLoading(std::move(rest));
  return true;
}

void TFileListModel::StartLoading(std::unique_ptr<TFolderScan> scan) {
  auto job = std::make_unique<TLoadJob>();
  TLoadJob* raw = job.get();
  const std::uint64_t generation = generation_;
  job->thread = std::thread([this, raw, generation, scan = std::move(scan), shown = rows_]() mutable {
    TRowLabels labels;
    std::vector<TFileRow> read;
    if (!scan->Read(SIZE_MAX, read, labels, &raw->stop)) return;
    scan.reset();  // the folder is closed before the list changes
    const std::size_t n = shown.size();
    auto row = [&](std::uint32_t i) -> const TFileRow& { return i < n ? shown[i] : read[i - n]; };
    std::vector<std::uint32_t> order(n + read.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::uint32_t>(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return CompareRows(row(a), row(b)) < 0; });
    if (raw->stop.load()) return;
    // The whole is put together here, so the window only swaps it in: moving a million rows
    // into their order takes longer than the window may pause.
    TLoadedRest rest;
    rest.rows.reserve(order.size());
    rest.shownAt.resize(n);
    for (std::size_t i = 0; i < order.size(); ++i) {
      const std::uint32_t k = order[i];
      if (k < n) {
        rest.shownAt[k] = static_cast<int>(i);
        rest.rows.push_back(shown[k]);
      } else {
        rest.rows.push_back(std::move(read[k - n]));
      }
    }
    std::vector<TFileRow>().swap(read);
    if (raw->stop.load()) return;
    raw->result = std::move(rest);
    QMetaObject::invokeMethod(this, [this, generation] { FinishLoading(generation); }, Qt::QueuedConnection);
  });
  load_ = std::move(job);
  loadOrigin_.resize(rows_.size());
  for (std::size_t i = 0; i < loadOrigin_.size(); ++i) loadOrigin_[i] = static_cast<std::uint32_t>(i);
}

void TFileListModel::WaitLoaded() {
  if (load_) FinishLoading(generation_);
}

void TFileListModel::StopLoading() {
  ++generation_;  // a result already on its way is dropped
  if (!load_) return;
  load_->stop = true;
  load_->thread.join();
  load_.reset();
  sortedWhileLoading_.reset();
  changedWhileLoading_.clear();
  loadOrigin_.clear();
}

void TFileListModel::FinishLoading(std::uint64_t generation) {
  if (generation != generation_ || !load_) return;
  load_->thread.join();
  std::optional<TLoadedRest> result = std::move(load_->result);
  load_.reset();
  if (!result) {  // the worker was stopped: keep what is shown
    sortedWhileLoading_.reset();
    loadOrigin_.clear();
    emit Loaded(std::exchange(changedWhileLoading_, {}));
    return;
  }
  TLoadedRest& rest = *result;
  // The rows shown so far stay first through the insert; the reordering then puts every row in
  // its place and moves the focus and the selection with their rows. Rows renamed meanwhile come
  // back under their old names and are read again with the other changes.
  const int shown = Count();
  const int total = static_cast<int>(rest.rows.size());
  if (total > shown) beginInsertRows({}, shown, total - 1);
  rows_.swap(rest.rows);
  if (total > shown) endInsertRows();
  emit layoutAboutToBeChanged();
  const QModelIndexList before = persistentIndexList();
  QModelIndexList after;
  after.reserve(before.size());
  for (const QModelIndex& i : before) {
    const std::size_t r = static_cast<std::size_t>(i.row());
    after << (r < loadOrigin_.size() ? index(rest.shownAt[loadOrigin_[r]], i.column()) : QModelIndex());
  }
  changePersistentIndexList(before, after);
  emit layoutChanged();
  loadOrigin_.clear();
  // A sort chosen while the folder loaded holds for the whole.
  if (sortedWhileLoading_) SortRows(sortedWhileLoading_->first, sortedWhileLoading_->second);
  sortedWhileLoading_.reset();
  const QStringList changed = std::exchange(changedWhileLoading_, {});
  emit Loaded(changed);
}

bool TFileListModel::UpdateNames(const QStringList& names, const std::vector<std::string>& mask, bool defaultOrder) {
  if (folder_.isEmpty() || IsVirtual(folder_)) return false;
  if (Loading()) {
    changedWhileLoading_ << names;
    return false;
  }
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
    labels_.Label(row);
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
  std::vector<std::uint32_t> order(rows_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::uint32_t>(i);
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t x, std::uint32_t y) {
    const TFileRow& a = rows_[x];
    const TFileRow& b = rows_[y];
    int c = 0;
    if (column == 0) c = CompareRows(a, b);
    // Sizes and dates are fixed-width ASCII texts: their plain order is the numeric order.
    else if (column == 2) c = QString::localeAwareCompare(text(a), text(b));
    else c = QString::compare(text(a), text(b));
    return c * direction < 0;
  });
  if (Loading()) sortedWhileLoading_.emplace(column, direction);
  Reorder(order);
}

void TFileListModel::Reorder(const std::vector<std::uint32_t>& order) {
  emit layoutAboutToBeChanged();
  const QModelIndexList before = persistentIndexList();
  std::vector<TFileRow> sorted;
  sorted.reserve(rows_.size());
  std::vector<int> newRowOf(rows_.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    newRowOf[order[i]] = static_cast<int>(i);
    sorted.push_back(std::move(rows_[order[i]]));
  }
  rows_ = std::move(sorted);
  if (Loading()) {
    std::vector<std::uint32_t> origin(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) origin[i] = loadOrigin_[order[i]];
    loadOrigin_.swap(origin);
  }
  QModelIndexList after;
  after.reserve(before.size());
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
  row.key = labels_.Key(newName);
  if (!row.folder) row.typeText = labels_.TypeName(newName, false);
  if (Loading()) changedWhileLoading_ << QFileInfo(old).fileName() << newName;
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
