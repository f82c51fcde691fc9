// Files on the desktop's clipboard, in the forms the Linux file managers read and write: a list
// of file URLs (text/uri-list), GNOME's x-special/gnome-copied-files ("copy" or "cut", then the
// URLs) and KDE's cut mark, with the paths as plain text beside them.
#pragma once

#include <QStringList>
#include <optional>

class QMimeData;

namespace sorabu::app {

struct TClipboardFiles {
  QStringList paths;  // absolute local paths
  bool cut = false;   // moved, not copied, when pasted
};

QMimeData* FilesMimeData(const QStringList& paths, bool cut);
// The files a clipboard holds; nothing when it holds no local file.
std::optional<TClipboardFiles> FilesFromMimeData(const QMimeData* data);

}  // namespace sorabu::app
