// A folder's entries as the file list's rows, read with plain POSIX calls: one readdir pass, one
// stat per entry, the type name and the collation key of each name, and the folder's default order
// (folders first, then names as the user's language sorts them, case ignored).
//
// A scan can be read in parts: the list reads the first entries at once and hands the open scan
// to a worker for the rest, so nothing here is shared between threads. Each thread labels rows
// with its own TRowLabels, since a collator is not to be shared.
#pragma once

#include <dirent.h>

#include <QCollator>
#include <QCollatorSortKey>
#include <QHash>
#include <QString>
#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sorabu::browser {

struct TFileRow {
  QString name;
  QString path;  // empty for virtual items
  QString id;
  bool folder = false;
  bool link = false;
  bool hasData = false;
  bool unreachable = false;  // the name on disk is not valid UTF-8: shown escaped, path empty
  qint64 size = 0;
  qint64 mtime = 0;  // seconds, for telling an unchanged item when the folder is read again
  QString typeText;  // shared by the rows of one extension
  std::optional<QCollatorSortKey> key;
};

// The type column's text and the sort key of a row.
class TRowLabels {
 public:
  TRowLabels();
  void Label(TFileRow& row);
  QString TypeName(const QString& name, bool folder);
  QCollatorSortKey Key(const QString& name) const { return collator_.sortKey(name); }

 private:
  QCollator collator_;
  QHash<QString, QString> types_;
};

// Folders first, then the keys; names that collate alike in their code order.
int CompareRows(const TFileRow& a, const TFileRow& b);
// The default order, stable; each row moves once.
void SortDefault(std::vector<TFileRow>& rows);

// One entry of the folder open as fd, read into row (without its labels); false when the mask
// leaves it out. A link shows what it points to; a dangling one shows itself.
bool ReadEntry(int fd, const char* name, bool link, bool dirEntry, const QString& prefix,
               const std::vector<std::string>& mask, TFileRow& row);

class TFolderScan {
 public:
  // Opens the folder; Open() is false when it cannot be read. With before (the rows of an earlier
  // read of the same folder), an entry whose kind, size and date are unchanged keeps its row.
  TFolderScan(const QString& folder, std::vector<std::string> mask, const std::vector<TFileRow>* before);
  bool Open() const { return dir_ != nullptr; }
  // Appends labelled rows for up to limit more entries; true when the folder has no more.
  // A set stop ends the read early (the result is then incomplete, and false).
  bool Read(std::size_t limit, std::vector<TFileRow>& out, TRowLabels& labels, const std::atomic<bool>* stop = nullptr);

 private:
  std::unique_ptr<DIR, int (*)(DIR*)> dir_;
  QString prefix_;
  std::vector<std::string> mask_;
  std::vector<TFileRow> before_;
  QHash<QString, std::size_t> known_;
};

}  // namespace sorabu::browser
