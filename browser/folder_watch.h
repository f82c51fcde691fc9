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
class QSocketNotifier;

namespace sorabu::browser {

class TFolderWatch : public QObject {
  Q_OBJECT
 public:
  explicit TFolderWatch(QObject* parent = nullptr);

  // Replaces what is watched; names that cannot be watched (gone, virtual) are left out. Of the
  // folder named (the list's), the names of the entries that changed are reported too.
  void Watch(const QStringList& folders, const QStringList& files, const QString& named = {});
  ~TFolderWatch() override;
  QStringList Folders() const;

  static constexpr int kQuietMs = 120;
  static constexpr int kMaxDelayMs = 600;

 signals:
  // Folders whose entries changed, and watched files that were written, since the last report;
  // names: the entries of the named folder that changed, complete unless namesLost (too many
  // changes came at once for the system to name them all).
  void Changed(const QStringList& folders, const QStringList& files, const QStringList& names, bool namesLost);

 private:
  void Note(const QString& path, bool folder);
  void ReadNames();
  void Report();

  QFileSystemWatcher* watcher_;
  QSet<QString> folders_, files_, names_;
  bool namesLost_ = false;
  int inotify_ = -1, namedWd_ = -1;
  QString named_;
  QSocketNotifier* notifier_ = nullptr;
  QTimer quiet_, burst_;
};

}  // namespace sorabu::browser
