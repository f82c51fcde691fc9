#include "browser/folder_rows.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <QFile>
#include <QLocale>
#include <QMimeDatabase>
#include <algorithm>
#include <cstdint>

#include "browser/file_name.h"
#include "browser/mask.h"

namespace sorabu::browser {

TRowLabels::TRowLabels() : collator_(QLocale::system()) { collator_.setCaseSensitivity(Qt::CaseInsensitive); }

QString TRowLabels::TypeName(const QString& name, bool folder) {
  static const QMimeDatabase db;  // safe to use from several threads
  if (folder) {
    static const QString kFolder = db.mimeTypeForName(QStringLiteral("inode/directory")).comment().left(80);
    return kFolder;
  }
  const int dot = name.lastIndexOf(QLatin1Char('.'));
  const QString ext = dot >= 0 ? name.mid(dot).toLower() : QString();
  auto it = types_.constFind(ext);
  if (it != types_.constEnd()) return *it;
  const QString comment = db.mimeTypeForFile(name, QMimeDatabase::MatchExtension).comment().left(80);
  types_.insert(ext, comment);
  return comment;
}

void TRowLabels::Label(TFileRow& row) {
  row.typeText = TypeName(row.name, row.folder);
  row.key = Key(row.name);
}

int CompareRows(const TFileRow& a, const TFileRow& b) {
  if (a.folder != b.folder) return a.folder ? -1 : 1;
  const int r = a.key->compare(*b.key);
  return r != 0 ? r : QString::compare(a.name, b.name);
}

void SortDefault(std::vector<TFileRow>& rows) {
  // Row numbers are sorted, not rows: a row is large, and each moves once.
  std::vector<std::uint32_t> order(rows.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::uint32_t>(i);
  std::stable_sort(order.begin(), order.end(),
                   [&rows](std::uint32_t a, std::uint32_t b) { return CompareRows(rows[a], rows[b]) < 0; });
  std::vector<TFileRow> sorted;
  sorted.reserve(rows.size());
  for (const std::uint32_t i : order) sorted.push_back(std::move(rows[i]));
  rows.swap(sorted);
}

bool ReadEntry(int fd, const char* n, bool link, bool dirEntry, const QString& prefix,
               const std::vector<std::string>& mask, TFileRow& row) {
  struct stat st {};
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

TFolderScan::TFolderScan(const QString& folder, std::vector<std::string> mask, const std::vector<TFileRow>* before)
    : dir_(opendir(QFile::encodeName(folder).constData()), closedir),
      prefix_(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/')),
      mask_(std::move(mask)) {
  if (!dir_ || !before || before->empty()) return;
  before_ = *before;
  known_.reserve(static_cast<qsizetype>(before_.size()));
  for (std::size_t i = 0; i < before_.size(); ++i) known_.insert(before_[i].id, i);
}

bool TFolderScan::Read(std::size_t limit, std::vector<TFileRow>& out, TRowLabels& labels, const std::atomic<bool>* stop) {
  if (!dir_) return true;
  const int fd = dirfd(dir_.get());
  for (std::size_t entries = 0; entries < limit; ++entries) {
    if (stop && stop->load(std::memory_order_relaxed)) return false;
    const dirent* e = readdir(dir_.get());
    if (!e) return true;
    const char* n = e->d_name;
    if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
    TFileRow row;
    if (!ReadEntry(fd, n, e->d_type == DT_LNK, e->d_type == DT_DIR, prefix_, mask_, row)) continue;
    if (!known_.isEmpty()) {
      const auto it = known_.constFind(row.id);
      if (it != known_.constEnd()) {
        const TFileRow& old = before_[*it];
        if (old.folder == row.folder && old.link == row.link && old.hasData == row.hasData && old.size == row.size &&
            old.mtime == row.mtime) {
          out.push_back(old);
          continue;
        }
      }
    }
    labels.Label(row);
    out.push_back(std::move(row));
  }
  return false;
}

}  // namespace sorabu::browser
