// The rows of the file list: one per item of the current folder that passes the mask, four
// columns (name, size, type, date).
//
// A plain table model over a vector, filled in one reset: a folder of 100,000 entries costs one
// readdir pass and one stat per entry, the type names come from the MIME database once per
// extension, and the name order uses collation keys computed once per row, so sorting does not
// call the collator for every comparison. Sizes are whole 64-bit figures; the size and date texts
// are made only for the rows on screen.
#pragma once

#include <QAbstractTableModel>
#include <QCollatorSortKey>
#include <QHash>
#include <QIcon>
#include <optional>
#include <string>
#include <vector>

namespace sorabu::browser {

constexpr int kMaxDragFiles = 1024;

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

class TFileListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit TFileListModel(QObject* parent = nullptr);

  // Reads the folder (a path or a virtual id); false, with the rows left as they were, when the
  // folder cannot be read. Rows come out in the default order (folders first, then names).
  bool Fill(const QString& folder, const std::vector<std::string>& mask);
  // Reads the same folder again: items whose kind, size and date are unchanged keep the texts and
  // keys computed before, so a large folder is read again in a fraction of a first fill.
  bool Refill(const std::vector<std::string>& mask);
  // Reads only the named entries of the folder again (made, removed, renamed or written since):
  // each is removed, and put back where it belongs when it is still there. With defaultOrder the
  // rows keep the folder's default order; otherwise new rows go last and the caller sorts.
  bool UpdateNames(const QStringList& names, const std::vector<std::string>& mask, bool defaultOrder);
  const QString& Folder() const { return folder_; }
  const TFileRow& Row(int row) const { return rows_[static_cast<std::size_t>(row)]; }
  int Count() const { return static_cast<int>(rows_.size()); }
  // The size and date columns' texts, made when shown (a row keeps only the numbers).
  static QString SizeText(const TFileRow& row);
  static QString DateText(const TFileRow& row);

  // Sort: column 0 by the item comparison, 1 to 3 by their texts; direction +1 or -1.
  void SortRows(int column, int direction);
  // Renames the row's item on disk; false (row unchanged) for an empty name, a name with "/",
  // an existing target or a failed rename.
  bool Rename(int row, const QString& newName);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  Qt::DropActions supportedDragActions() const override { return Qt::CopyAction | Qt::MoveAction | Qt::LinkAction; }

 signals:
  void Renamed(const QString& oldPath, const QString& newPath, bool folder);

 private:
  bool Read(const QString& folder, const std::vector<std::string>& mask, const std::vector<TFileRow>* before);
  QString TypeName(const QString& name, bool folder);
  QIcon RowIcon(const TFileRow& row) const;

  QString folder_;
  std::vector<TFileRow> rows_;
  QHash<QString, QString> typeCache_;
  mutable QHash<QString, QIcon> iconCache_;
};

}  // namespace sorabu::browser
