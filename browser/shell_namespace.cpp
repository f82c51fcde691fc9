#include "browser/shell_namespace.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <QApplication>
#include <QCollator>
#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QStyle>
#include <algorithm>
#include <memory>

#include "browser/file_name.h"

namespace sorabu::browser {

namespace {

// Volumes a user would not call a drive: kernel and container file systems, snaps, boot areas.
bool IsUserVolume(const QStorageInfo& v) {
  const QString root = v.rootPath();
  if (root == QLatin1String("/")) return true;
  const QByteArray fs = v.fileSystemType();
  static const char* const kSkipTypes[] = {"tmpfs", "devtmpfs", "squashfs", "overlay", "ramfs", "efivarfs",
                                           "autofs", "proc", "sysfs", "cgroup", "cgroup2", "devpts", "nsfs"};
  for (const char* t : kSkipTypes)
    if (fs == t) return false;
  for (const char* prefix : {"/proc", "/sys", "/dev", "/snap", "/boot", "/run", "/var/lib", "/tmp"})
    if (root == QLatin1String(prefix) || root.startsWith(QLatin1String(prefix) + QLatin1Char('/')))
      return root.startsWith(QLatin1String("/run/media/"));
  return v.isValid();
}

bool IsUnder(const QString& path, const QString& root) {
  if (root == QLatin1String("/")) return path.startsWith(QLatin1Char('/'));
  return path == root || path.startsWith(root + QLatin1Char('/'));
}

QString Join(const QString& folder, const QString& name) {
  return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

}  // namespace

bool IsVirtual(const QString& id) { return id.startsWith(QLatin1Char(':')); }

QString DisplayName(const QString& id) {
  if (id == kDesktopId) return QStringLiteral("デスクトップ");
  if (id == kComputerId) return QStringLiteral("マイコンピュータ");
  if (id == QLatin1String("/")) return QStringLiteral("/");
  const int slash = id.lastIndexOf(QLatin1Char('/'), id.endsWith(QLatin1Char('/')) ? -2 : -1);
  QString name = id.mid(slash + 1);
  if (name.endsWith(QLatin1Char('/'))) name.chop(1);
  return name;
}

namespace {
QStringList& DriveCache() {
  static QStringList cache;
  return cache;
}
}  // namespace

void RefreshDrives() { DriveCache().clear(); }

// Reading the mount table costs a file parse, and every path parse asks for the drives: the list
// is kept until the next full refresh.
QStringList Drives() {
  if (!DriveCache().isEmpty()) return DriveCache();
  QStringList drives{QStringLiteral("/")};
  for (const QStorageInfo& v : QStorageInfo::mountedVolumes())
    if (IsUserVolume(v) && !drives.contains(v.rootPath())) drives << v.rootPath();
  std::sort(drives.begin() + 1, drives.end());
  DriveCache() = drives;
  return drives;
}

QString DriveOf(const QString& path) {
  QString best = QStringLiteral("/");
  for (const QString& d : Drives())
    if (IsUnder(path, d) && d.size() > best.size()) best = d;
  return best;
}

QVector<TShellItem> Children(const QString& id, bool foldersOnly, bool* ok) {
  if (ok) *ok = true;
  QVector<TShellItem> out;
  if (id == kDesktopId) {
    out.push_back({kComputerId, DisplayName(kComputerId), true});
    const QString home = QDir::homePath();
    out.push_back({home, DisplayName(home), true});
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty() && desktop != home)
      for (const TShellItem& item : Children(desktop, foldersOnly)) out.push_back(item);
    return out;
  }
  if (id == kComputerId) {
    for (const QString& d : Drives()) out.push_back({d, DisplayName(d), true});
    return out;
  }
  if (IsVirtual(id) || id.isEmpty()) {
    if (ok) *ok = false;
    return out;
  }
  const QByteArray native = QFile::encodeName(id);
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(native.constData()), closedir);
  if (!dir) {
    if (ok) *ok = false;
    return out;
  }
  const int fd = dirfd(dir.get());
  while (dirent* e = readdir(dir.get())) {
    const char* n = e->d_name;
    if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
    bool folder = e->d_type == DT_DIR;
    const bool link = e->d_type == DT_LNK;
    if (e->d_type == DT_UNKNOWN || link) {
      struct stat st {};
      // A link to a folder is shown as a folder; it is never followed when counting.
      if (fstatat(fd, n, &st, 0) == 0) folder = S_ISDIR(st.st_mode);
    }
    if (foldersOnly && !folder) continue;
    const QString name = ShownFileName(n).text;
    out.push_back({Join(id, name), name, folder, link, n[0] == '.'});
  }
  return out;
}

QStringList Ancestry(const QString& id) {
  if (id == kComputerId) return {kComputerId};
  if (IsVirtual(id) || !id.startsWith(QLatin1Char('/'))) return {};
  QString path = QDir::cleanPath(id);
  const QString drive = DriveOf(path);
  QStringList chain{kComputerId, drive};
  if (path == drive) return chain;
  const QString rest = path.mid(drive == QLatin1String("/") ? 1 : drive.size() + 1);
  QString walk = drive;
  for (const QString& part : rest.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
    walk = Join(walk, part);
    chain << walk;
  }
  return chain;
}

QString ParentFolder(const QString& path) {
  const QString clean = QDir::cleanPath(path);
  const QString drive = DriveOf(clean);
  if (clean == drive) return drive;
  const int slash = clean.lastIndexOf(QLatin1Char('/'));
  if (slash <= 0) return QStringLiteral("/");
  const QString parent = clean.left(slash);
  return parent.size() < drive.size() ? drive : parent;
}

int CompareNames(const QString& a, const QString& b) {
  static const QCollator collator = [] {
    QCollator c{QLocale::system()};
    c.setNumericMode(false);
    c.setCaseSensitivity(Qt::CaseInsensitive);
    return c;
  }();
  const int r = collator.compare(a, b);
  return r != 0 ? r : QString::compare(a, b);
}

int CompareItems(const TShellItem& a, const TShellItem& b) {
  if (a.folder != b.folder) return a.folder ? -1 : 1;
  return CompareNames(a.name, b.name);
}

QIcon FolderIcon() {
  static const QIcon icon = QIcon::fromTheme(QStringLiteral("folder"), qApp ? qApp->style()->standardIcon(QStyle::SP_DirIcon) : QIcon());
  return icon;
}

QIcon IconFor(const QString& id, bool folder) {
  if (id == kDesktopId) return QIcon::fromTheme(QStringLiteral("user-desktop"), FolderIcon());
  if (id == kComputerId) return QIcon::fromTheme(QStringLiteral("computer"), qApp->style()->standardIcon(QStyle::SP_ComputerIcon));
  if (folder) return FolderIcon();
  static QMimeDatabase db;
  const QMimeType type = db.mimeTypeForFile(id, QMimeDatabase::MatchExtension);
  QIcon icon = QIcon::fromTheme(type.iconName());
  if (icon.isNull()) icon = QIcon::fromTheme(type.genericIconName());
  if (icon.isNull()) icon = qApp->style()->standardIcon(QStyle::SP_FileIcon);
  return icon;
}

}  // namespace sorabu::browser
