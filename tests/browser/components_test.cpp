// Smaller pieces of the browser: the combo's ancestry entries, the drive panel's layout and
// captions, view styles that keep the selection, and a folder renamed in the list followed by
// the tree.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include "browser/combo_view.h"
#include "browser/drive_panel.h"
#include "browser/file_view.h"
#include "browser/folder_view.h"
#include "browser/shell_namespace.h"

namespace sorabu::browser {
namespace {

TEST(ComboView, AncestryEntriesStayInNameOrderAndAreDroppedAtTheNextSync) {
  QTemporaryDir dir;
  for (const char* d : {"b/x", "a", "c"}) QDir().mkpath(dir.filePath(QString::fromLatin1(d)));
  TComboView combo;
  combo.Load();
  EXPECT_EQ(combo.EntryId(0), kDesktopId);
  EXPECT_EQ(combo.EntryLevel(0), 0);
  const int computer = combo.findData(kComputerId, Qt::UserRole);
  ASSERT_GT(computer, 0);
  EXPECT_EQ(combo.EntryLevel(computer + 1), 2) << "the drives follow My Computer";
  const int permanent = combo.count();

  const int deepest = combo.InsertAncestry(dir.filePath("b/x"), true);
  EXPECT_EQ(combo.EntryId(deepest), dir.filePath("b/x"));
  EXPECT_EQ(combo.EntryLevel(deepest), Ancestry(dir.filePath("b/x")).size());
  EXPECT_EQ(combo.EntryId(deepest - 1), dir.filePath("b"));
  // Siblings inserted later keep the name order around b.
  const int a = combo.InsertAncestry(dir.filePath("a"), true);
  const int c = combo.InsertAncestry(dir.filePath("c"), true);
  const int b = combo.findData(dir.filePath("b"), Qt::UserRole);
  EXPECT_LT(a, b);
  EXPECT_GT(c, combo.findData(dir.filePath("b/x"), Qt::UserRole)) << "after b's own entries";
  EXPECT_EQ(combo.InsertAncestry(dir.filePath("a"), true), a) << "an entry is not inserted twice";

  combo.Sync(kComputerId);
  EXPECT_EQ(combo.count(), permanent);
  EXPECT_EQ(combo.currentIndex(), computer);
  combo.Sync(QStringLiteral("not a path"));
  EXPECT_EQ(combo.currentIndex(), 0) << "not below the desktop: the first entry";
}

TEST(DrivePanel, ButtonsCaptionsAndLayout) {
  TDrivePanel panel;
  panel.SetDrives({QStringLiteral("/"), QStringLiteral("/mnt/Data")});
  ASSERT_NE(panel.Button(1), nullptr);
  EXPECT_EQ(panel.Button(1)->text(), QStringLiteral("Data"));
  EXPECT_GE(panel.Button(0)->width(), panel.BtnWidth);
  EXPECT_EQ(panel.Button(0)->height(), panel.BtnHeight);
  EXPECT_EQ(panel.Button(0)->x(), panel.LeftMargin);
  EXPECT_EQ(panel.Button(1)->x(), panel.Button(0)->geometry().right() + 1 + panel.BtnSpace);
  EXPECT_EQ(panel.Button(1)->y(), panel.TopMargin);
  QStringList changes;
  QObject::connect(&panel, &TDrivePanel::Changed, [&](const QString& d) { changes << d; });
  EXPECT_TRUE(panel.SelectDrive(QStringLiteral("/mnt/Data")));
  EXPECT_TRUE(panel.Button(1)->isChecked());
  EXPECT_FALSE(panel.SelectDrive(QStringLiteral("/absent")));
  panel.Button(0)->click();
  EXPECT_EQ(changes, (QStringList{"/mnt/Data", "/"}));
  EXPECT_TRUE(panel.Button(0)->isChecked() && !panel.Button(1)->isChecked()) << "one button down";

  panel.Bounds = TDrivePanel::BoundsStyle::bsVertical;
  panel.Case = TDrivePanel::TextCase::tcLowerCase;
  panel.ShowVolumeID = true;
  panel.SetDrives({QStringLiteral("/"), QStringLiteral("/mnt/Data")});
  EXPECT_EQ(panel.Button(1)->x(), panel.LeftMargin);
  EXPECT_EQ(panel.Button(1)->y(), panel.TopMargin + panel.BtnHeight + panel.BtnSpace);
  EXPECT_TRUE(panel.Button(1)->text().startsWith(QStringLiteral("data ")));
  EXPECT_TRUE(panel.Button(0)->text().startsWith(QStringLiteral("/ [")));
  EXPECT_TRUE(panel.Button(0)->isChecked()) << "the current drive stays pressed";
}

TEST(FileViewStyles, SwitchingKeepsRowsSelectionAndFocus) {
  QTemporaryDir dir;
  const std::string longName = "d" + std::string(80, 'x') + ".txt";
  for (const char* n : {"a", "b", "c", longName.c_str()}) {
    QFile f(dir.filePath(QString::fromLatin1(n)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  TFileView v;
  ASSERT_TRUE(v.SetFolder(dir.path()));
  v.SelectRow(2);
  struct Row {
    TViewStyle style;
    QAbstractItemView* view;
    QListView::ViewMode mode;
  } rows[] = {{TViewStyle::LargeIcons, v.ListView(), QListView::IconMode},
              {TViewStyle::SmallIcons, v.ListView(), QListView::ListMode},
              {TViewStyle::List, v.ListView(), QListView::ListMode},
              {TViewStyle::Details, v.DetailView(), QListView::ListMode}};
  for (const Row& r : rows) {
    v.SetViewStyle(r.style);
    SCOPED_TRACE(static_cast<int>(r.style));
    EXPECT_EQ(v.CurrentView(), r.view);
    if (r.style != TViewStyle::Details) EXPECT_EQ(v.ListView()->viewMode(), r.mode);
    EXPECT_EQ(v.SelectedPath(), dir.filePath("c"));
  }
  EXPECT_EQ(v.ListView()->iconSize(), QSize(16, 16));
  // Small icons run in rows, each name beside its icon in a cell of one width, as the desktop's
  // file managers lay them out: the names neither crowd nor cut each other.
  v.SetViewStyle(TViewStyle::SmallIcons);
  v.resize(700, 300);
  v.show();
  v.ListView()->doItemsLayout();
  const QRect a = v.ListView()->visualRect(v.ListView()->model()->index(0, 0, v.ListView()->rootIndex()));
  const QRect b = v.ListView()->visualRect(v.ListView()->model()->index(1, 0, v.ListView()->rootIndex()));
  EXPECT_EQ(v.ListView()->flow(), QListView::LeftToRight);
  EXPECT_EQ(a.top(), b.top());
  EXPECT_GE(b.left() - a.left(), 16 + 16 * QFontMetrics(v.ListView()->font()).averageCharWidth());
  const QRect last = v.ListView()->visualRect(v.ListView()->model()->index(3, 0, v.ListView()->rootIndex()));
  EXPECT_LE(last.width(), v.ListView()->gridSize().width()) << "a long name stays in its cell";
  v.SetViewStyle(TViewStyle::LargeIcons);
  EXPECT_EQ(v.ListView()->iconSize(), QSize(32, 32));
  // A stored number out of range is the list.
  for (long long n : {0LL, 5LL, -1LL, 1LL << 40}) EXPECT_EQ(ViewStyleOf(n), TViewStyle::List) << n;
  EXPECT_EQ(ViewStyleOf(4), TViewStyle::Details);
  v.ColumnWidthsToHeaders();
  EXPECT_GT(v.ColumnWidth(2), v.ColumnWidth(0)) << "ﾌｧｲﾙの種類 is the longest header";
}

// Paging through the small icons' rows: a page is the rows that fit, in the same column; the last
// page ends in the last row (on its last item when the row is short of the column), the first
// on the top row.
TEST(FileViewStyles, PagingThroughIconRowsMovesByTheRowsThatFit) {
  QTemporaryDir dir;
  for (int i = 0; i < 2003; ++i) {
    QFile f(dir.filePath(QStringLiteral("f%1.txt").arg(i, 4, 10, QLatin1Char('0'))));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  TFileView v;
  v.Model()->SetInlineEntries(100000);
  ASSERT_TRUE(v.SetFolder(dir.path()));
  {
    v.SetViewStyle(TViewStyle::SmallIcons);
    v.resize(700, 300);
    v.show();
    QListView* list = v.ListView();
    list->doItemsLayout();
    const QModelIndex root = list->rootIndex();
    auto rectOf = [&](int row) { return list->visualRect(list->model()->index(row, 0, root)); };
    for (int i = 0; i < 1000 && rectOf(2002).isEmpty(); ++i) QApplication::processEvents();  // the batches
    const int perRow = [&] {
      int n = 1;
      while (rectOf(n).top() == rectOf(0).top()) ++n;
      return n;
    }();
    const int cell = list->gridSize().height();
    const int page = std::max(1, (list->viewport()->height() - cell) / cell);
    ASSERT_NE(2003 % perRow, 0) << "the last row is short";
    ASSERT_TRUE(v.SelectRow(perRow - 1));  // the last column, which the short row lacks
    QTest::keyClick(list, Qt::Key_PageDown);
    EXPECT_EQ(v.CurrentRow(), perRow - 1 + page * perRow);
    for (int i = 0; i < 2003 && v.CurrentRow() != 2002; ++i) QTest::keyClick(list, Qt::Key_PageDown);
    EXPECT_EQ(v.CurrentRow(), 2002) << "the short last row ends on the last item";
    QTest::keyClick(list, Qt::Key_PageDown);
    EXPECT_EQ(v.CurrentRow(), 2002);
    for (int i = 0; i < 2003 && v.CurrentRow() >= perRow; ++i) QTest::keyClick(list, Qt::Key_PageUp);
    EXPECT_EQ(v.CurrentRow(), 2002 % perRow) << "back on the top row in the same column";
  }
}

TEST(FolderRename, AFolderRenamedInTheListIsFollowedByTheTree) {
  QTemporaryDir dir;
  QDir().mkpath(dir.filePath("old/inner"));
  QDir().mkpath(dir.filePath("zz"));
  TFolderView tree;
  TFileView list;
  tree.SetFileView(&list);
  QObject::connect(&list, &TFileView::Renamed, [&](const QString& from, const QString& to, bool folder) {
    if (folder) tree.FolderRenamed(from, to);
  });
  tree.Rebuild();
  ASSERT_TRUE(tree.SelectPath(dir.filePath("old/inner")));
  ASSERT_TRUE(tree.SelectPath(dir.path()));
  ASSERT_EQ(list.Row(0).name, QStringLiteral("old"));
  ASSERT_TRUE(list.RenameRow(0, QStringLiteral("new")));
  EXPECT_EQ(tree.FindNode(dir.filePath("old")), nullptr);
  ASSERT_NE(tree.FindNode(dir.filePath("new")), nullptr);
  EXPECT_EQ(tree.FindNode(dir.filePath("new"))->text(0), QStringLiteral("new"));
  // A folder that vanished sends the tree back to the folder selected before.
  QDir(dir.filePath("zz")).removeRecursively();
  tree.setCurrentItem(tree.FindNode(dir.filePath("zz")));
  EXPECT_EQ(tree.SelectedPath(), dir.path());
  EXPECT_EQ(list.Folder(), dir.path());
  EXPECT_TRUE(tree.SelectPath(dir.filePath("new/inner"))) << "the children follow the new name";
  EXPECT_EQ(list.Folder(), dir.filePath("new/inner"));
}

}  // namespace
}  // namespace sorabu::browser
