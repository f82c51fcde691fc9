// The namespace the browser shows: a virtual root "デスクトップ" whose children are "マイコンピュータ"
// (one drive per mounted volume a user would call a drive), the home folder and the items of the
// desktop folder. Everything below a drive is the file system.
//
// An identifier is an absolute path for file-system items and a token starting with ":" for the
// two virtual nodes, so identifiers compare and copy as plain strings. A path is parsed through
// the drive that holds it (the longest mount point that is a prefix), which gives every folder
// one canonical place in the tree, as the drive letters do on the platform the program came from.
#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>
#include <QVector>

namespace sorabu::browser {

inline const QString kDesktopId = QStringLiteral(":desktop");
inline const QString kComputerId = QStringLiteral(":computer");

struct TShellItem {
  QString id;    // absolute path, or a virtual token
  QString name;  // display name within its parent
  bool folder = false;
  bool link = false;
  bool hidden = false;
};

bool IsVirtual(const QString& id);
QString DisplayName(const QString& id);

// Mount points of the volumes shown as drives, "/" first, then in path order.
QStringList Drives();
// Reads the mount table again at the next call of Drives (a volume was added or pulled out).
void RefreshDrives();
// The drive holding path ("/" when none matches).
QString DriveOf(const QString& path);

// The children of a node: for a path, its entries without "." and ".." (folders only with
// foldersOnly; hidden ones included). ok is false when the folder cannot be read.
QVector<TShellItem> Children(const QString& id, bool foldersOnly, bool* ok = nullptr);

// The ids from the desktop's child down to id: [":computer", drive, ..., id]. For the home
// folder itself and the desktop folder's own items the shorter route through the desktop is not
// taken: the drive route is the one every path has. Empty for ids that are not absolute paths.
QStringList Ancestry(const QString& id);

// The parent folder for Backspace and "上へ": the drive root stays the drive root.
QString ParentFolder(const QString& path);

// Folders before files, then names in the collation of the user's locale.
int CompareItems(const TShellItem& a, const TShellItem& b);
int CompareNames(const QString& a, const QString& b);

// Icons from the icon theme, falling back to the style's standard icons.
QIcon FolderIcon();
QIcon IconFor(const QString& id, bool folder);

}  // namespace sorabu::browser
