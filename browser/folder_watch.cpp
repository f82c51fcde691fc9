#include "browser/folder_watch.h"

#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSocketNotifier>

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>

#include "browser/shell_namespace.h"

namespace sorabu::browser {

TFolderWatch::TFolderWatch(QObject* parent) : QObject(parent), watcher_(new QFileSystemWatcher(this)) {
  quiet_.setSingleShot(true);
  quiet_.setInterval(kQuietMs);
  burst_.setSingleShot(true);
  burst_.setInterval(kMaxDelayMs);
  connect(&quiet_, &QTimer::timeout, this, &TFolderWatch::Report);
  connect(&burst_, &QTimer::timeout, this, &TFolderWatch::Report);
  connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this](const QString& p) { Note(p, true); });
  connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this](const QString& p) { Note(p, false); });
  inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (inotify_ >= 0) {
    notifier_ = new QSocketNotifier(inotify_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TFolderWatch::ReadNames);
  }
}

TFolderWatch::~TFolderWatch() {
  if (inotify_ >= 0) ::close(inotify_);
}

void TFolderWatch::ReadNames() {
  alignas(inotify_event) char buffer[16384];
  for (;;) {
    const ssize_t n = ::read(inotify_, buffer, sizeof buffer);
    if (n <= 0) break;
    for (ssize_t at = 0; at < n;) {
      const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
      if (e->mask & IN_Q_OVERFLOW) namesLost_ = true;
      if (e->wd != namedWd_) continue;
      if (e->len > 0) names_.insert(QFile::decodeName(e->name));
      else namesLost_ = true;  // the folder itself moved or went away
      Note(named_, true);
    }
  }
}

void TFolderWatch::Watch(const QStringList& folders, const QStringList& files, const QString& named) {
  if (inotify_ >= 0 && named != named_) {
    if (namedWd_ >= 0) inotify_rm_watch(inotify_, namedWd_);
    namedWd_ = -1;
    named_ = named;
    names_.clear();
    if (!named.isEmpty() && !IsVirtual(named))
      namedWd_ = inotify_add_watch(inotify_, QFile::encodeName(named).constData(),
                                   IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE | IN_ATTRIB |
                                       IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR);
  }
  QStringList wantedFolders, wantedFiles;
  for (const QString& f : folders)
    if (!f.isEmpty() && !IsVirtual(f) && QFileInfo(f).isDir() && !wantedFolders.contains(f)) wantedFolders << f;
  for (const QString& f : files)
    if (!f.isEmpty() && QFileInfo(f).isFile() && !wantedFiles.contains(f)) wantedFiles << f;
  const QStringList oldFolders = watcher_->directories(), oldFiles = watcher_->files();
  QStringList drop;
  for (const QString& f : oldFolders)
    if (!wantedFolders.contains(f)) drop << f;
  for (const QString& f : oldFiles)
    if (!wantedFiles.contains(f)) drop << f;
  if (!drop.isEmpty()) watcher_->removePaths(drop);
  QStringList add;
  for (const QString& f : wantedFolders)
    if (!oldFolders.contains(f)) add << f;
  for (const QString& f : wantedFiles)
    if (!oldFiles.contains(f)) add << f;
  if (!add.isEmpty()) watcher_->addPaths(add);
}

QStringList TFolderWatch::Folders() const { return watcher_->directories(); }

void TFolderWatch::Note(const QString& path, bool folder) {
  (folder ? folders_ : files_).insert(path);
  // An editor that saves by rename replaces the watched file: watch the new one of that name.
  if (!folder && !watcher_->files().contains(path) && QFileInfo(path).isFile()) watcher_->addPath(path);
  quiet_.start();
  if (!burst_.isActive()) burst_.start();
}

void TFolderWatch::Report() {
  quiet_.stop();
  burst_.stop();
  if (folders_.isEmpty() && files_.isEmpty()) return;
  const QStringList folders(folders_.begin(), folders_.end()), files(files_.begin(), files_.end());
  const QStringList names(names_.begin(), names_.end());
  // Without the system's own watch of the named folder its names are not known.
  const bool lost = namesLost_ || namedWd_ < 0;
  folders_.clear();
  files_.clear();
  names_.clear();
  namesLost_ = false;
  emit Changed(folders, files, names, lost);
}

}  // namespace sorabu::browser
