// The rows of the file list: one per item of the current folder that passes the mask, four
// columns (name, size, type, date).
//
// A plain table model over a vector. The first entries of a folder are read at once and shown;
// a larger folder's rest is read on a worker, and lands as one insert and one reordering that
// keep the focus, the selection and the scroll, so a folder of a million entries never freezes the
// window. Changes reported while it loads are applied when it has loaded. The type names come from
// the MIME database once per extension, and the name order uses collation keys computed once per
// row. Sizes are whole 64-bit figures; the size and date texts are made only for the rows on screen.
#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browser/folder_rows.h"

namespace sorabu::browser {

constexpr int kMaxDragFiles = 1024;


class TFileListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit TFileListModel(QObject* parent = nullptr);
  ~TFileListModel() override;

  // Reads the folder (a path or a virtual id); false, with the rows left as they were, when the
  // folder cannot be read. Rows come out in the default order (folders first, then names).
  // A folder of more than InlineEntries() entries shows those at once and loads the rest.
  bool Fill(const QString& folder, const std::vector<std::string>& mask);
  // Reads the same folder again: items whose kind, size and date are unchanged keep the texts and
  // keys computed before, so a large folder is read again in a fraction of a first fill.
  bool Refill(const std::vector<std::string>& mask);
  // Reads only the named entries of the folder again (made, removed, renamed or written since):
  // each is removed, and put back where it belongs when it is still there. With defaultOrder the
  // rows keep the folder's default order; otherwise new rows go last and the caller sorts.
  // While the folder loads the names wait (false) and come with Loaded.
  bool UpdateNames(const QStringList& names, const std::vector<std::string>& mask, bool defaultOrder);
  bool Loading() const { return load_ != nullptr; }
  // Ends a load at once, for a command that needs every row (the window waits for the read).
  void WaitLoaded();
  std::size_t InlineEntries() const { return inlineEntries_; }
  void SetInlineEntries(std::size_t n) { inlineEntries_ = n > 0 ? n : 1; }
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
  // The whole folder is in; changed holds the names reported changed while it loaded.
  void Loaded(const QStringList& changed);

 private:
  struct TLoadJob;
  struct TLoadedRest;
  bool Read(const QString& folder, const std::vector<std::string>& mask, const std::vector<TFileRow>* before);
  void StartLoading(std::unique_ptr<TFolderScan> scan);
  void StopLoading();
  void FinishLoading(std::uint64_t generation);
  // Puts the rows in order (order[i] is the present row that goes to row i).
  void Reorder(const std::vector<std::uint32_t>& order);
  QIcon RowIcon(const TFileRow& row) const;

  QString folder_;
  std::vector<TFileRow> rows_;
  TRowLabels labels_;
  mutable QHash<QString, QIcon> iconCache_;
  std::size_t inlineEntries_ = 4096;
  std::unique_ptr<TLoadJob> load_;
  std::uint64_t generation_ = 0;
  std::optional<std::pair<int, int>> sortedWhileLoading_;  // column and direction
  std::vector<std::uint32_t> loadOrigin_;  // each row's place when the load began
  QStringList changedWhileLoading_;
};

}  // namespace sorabu::browser
