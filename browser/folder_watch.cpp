#include "browser/folder_watch.h"

#include <QFileInfo>
#include <QFileSystemWatcher>

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
}

void TFolderWatch::Watch(const QStringList& folders, const QStringList& files) {
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
  folders_.clear();
  files_.clear();
  emit Changed(folders, files);
}

}  // namespace sorabu::browser
