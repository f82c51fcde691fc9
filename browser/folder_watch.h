// Following the file system: the folders on screen (the list's folder, the tree's open nodes)
// and the file in the pane are watched (inotify underneath), and their changes are reported in
// batches. A burst (a copy of thousands of files into the shown folder) is one report when it
// pauses, and one at least every MaxDelay while it goes on, so the list is rebuilt a few times a
// second at most, never once per file.
#pragma once

#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

class QFileSystemWatcher;

namespace sorabu::browser {

class TFolderWatch : public QObject {
  Q_OBJECT
 public:
  explicit TFolderWatch(QObject* parent = nullptr);

  // Replaces what is watched; names that cannot be watched (gone, virtual) are left out.
  void Watch(const QStringList& folders, const QStringList& files);
  QStringList Folders() const;

  static constexpr int kQuietMs = 120;
  static constexpr int kMaxDelayMs = 600;

 signals:
  // Folders whose entries changed, and watched files that were written, since the last report.
  void Changed(const QStringList& folders, const QStringList& files);

 private:
  void Note(const QString& path, bool folder);
  void Report();

  QFileSystemWatcher* watcher_;
  QSet<QString> folders_, files_;
  QTimer quiet_, burst_;
};

}  // namespace sorabu::browser
