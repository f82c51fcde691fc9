// The browser components on a temporary folder tree: the list's fill, mask, sort, selection,
// rename and delete; the tree's lazy fill and its way back from folders that cannot be read; the
// combo's temporary entries; the counts.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <algorithm>
#include <memory>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include "browser/combo_view.h"
#include "browser/file_list_model.h"
#include "browser/file_view.h"
#include "browser/folder_counter.h"
#include "browser/folder_view.h"
#include "browser/mask.h"
#include "browser/shell_namespace.h"
#include "tests/support/qt_print.h"

namespace sorabu::browser {
namespace {

class BrowserTest : public ::testing::Test {
 protected:
  QString Make(const QString& name, qint64 size = 0) {
    const QString path = dir_.filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    if (size > 0) f.resize(size);
    return path;
  }
  QString MakeDir(const QString& name) {
    QDir().mkpath(dir_.filePath(name));
    return dir_.filePath(name);
  }
  QStringList Names(const TFileView& v) const {
    QStringList out;
    for (int r = 0; r < v.RowCount(); ++r) out << v.Row(r).name;
    return out;
  }
  QTemporaryDir dir_;
};

// The size and date columns sort by the texts they show, made for the sort: a folder (no size)
// before every file, sizes by their figures, dates by the minute, ties kept in their order.
TEST_F(BrowserTest, SizeAndDateColumnsSortByWhatTheyShow) {
  const struct {
    const char* name;
    qint64 size;
    time_t mtime;
  } files[] = {{"a.txt", 300, 1'700'000'000}, {"b.txt", 20, 1'600'000'000}, {"c.txt", 1000, 1'700'000'030},
               {"d.txt", 20, 1'650'000'000}};
  for (const auto& f : files) {
    const QByteArray path = QFile::encodeName(Make(QString::fromLatin1(f.name), f.size));
    const struct timespec times[2] = {{f.mtime, 0}, {f.mtime, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.constData(), times, 0), 0);
  }
  MakeDir("zdir");
  TFileListModel model;
  ASSERT_TRUE(model.Fill(dir_.path(), {}));
  const auto names = [&] {
    QStringList out;
    for (int r = 0; r < model.Count(); ++r) out << model.Row(r).name;
    return out;
  };
  model.SortRows(1, +1);
  EXPECT_EQ(names(), (QStringList{"zdir", "b.txt", "d.txt", "a.txt", "c.txt"}));
  model.SortRows(1, -1);
  EXPECT_EQ(names(), (QStringList{"c.txt", "a.txt", "b.txt", "d.txt", "zdir"}));
  model.SortRows(3, +1);
  // a.txt and c.txt share their minute and keep the order they had.
  EXPECT_EQ(names().mid(0, 2), (QStringList{"b.txt", "d.txt"}));
  EXPECT_EQ(names().mid(2, 2), (QStringList{"c.txt", "a.txt"}));
  EXPECT_EQ(model.index(0, 3).data().toString(), TFileListModel::DateText(model.Row(0)));
}

TEST_F(BrowserTest, ListFillsFoldersFirstWithTheFourColumns) {
  Make("b.txt", 1234);
  Make("A.txt", 5);
  MakeDir("zdir");
  // Sparse: a size beyond 32 bits costs no disk.
  Make("big.bin", 5368709120LL);
  TFileView v;
  ASSERT_TRUE(v.SetFolder(dir_.path()));
  EXPECT_EQ(Names(v), (QStringList{"zdir", "A.txt", "b.txt", "big.bin"}));
  const auto* model = v.Model();
  EXPECT_EQ(model->index(2, 1).data().toString(), QStringLiteral("           1,234"));
  EXPECT_EQ(model->index(3, 1).data().toString(), QStringLiteral("   5,368,709,120"));
  EXPECT_EQ(v.Row(3).size, 5368709120LL);
  EXPECT_TRUE(model->index(0, 1).data().toString().isEmpty()) << "folders show no size";
  EXPECT_EQ(model->index(1, 3).data().toString().size(), 14);
  EXPECT_FALSE(v.Row(1).typeText.isEmpty());
  EXPECT_EQ(model->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("名前"));
  EXPECT_EQ(model->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("ｻｲｽﾞ"));
  EXPECT_EQ(model->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("ﾌｧｲﾙの種類"));
  EXPECT_EQ(model->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("更新日時"));
}

TEST_F(BrowserTest, DragOfMoreThan1024FilesDoesNotStart) {
  for (int i = 0; i < 1030; ++i) {
    QFile f(dir_.filePath(QStringLiteral("f%1").arg(i)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  TFileView v;
  ASSERT_TRUE(v.SetFolder(dir_.path()));
  QModelIndexList rows;
  for (int i = 0; i < 1024; ++i) rows << v.Model()->index(i, 0) << v.Model()->index(i, 1);
  std::unique_ptr<QMimeData> ok(v.Model()->mimeData(rows));
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->urls().size(), 1024);
  rows << v.Model()->index(1024, 0);
  EXPECT_EQ(v.Model()->mimeData(rows), nullptr);
}

TEST_F(BrowserTest, ShiftDragsOntoTheTreeEvenWithDragOutOff) {
  TFileView v;
  v.SetDragOut(false);
  QTest::mousePress(v.ListView()->viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 5));
  EXPECT_TRUE(v.ListView()->dragEnabled());
  QTest::mouseRelease(v.ListView()->viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 5));
  QTest::mousePress(v.ListView()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  EXPECT_FALSE(v.ListView()->dragEnabled()) << "without Shift only the option drags files out";
  QTest::mouseRelease(v.ListView()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  v.SetDragOut(true);
  QTest::mousePress(v.ListView()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  EXPECT_TRUE(v.ListView()->dragEnabled());
}

TEST_F(BrowserTest, MaskKeepsFoldersAndMatchingExtensions) {
  Make("a.txt");
  Make("b.TXT");
  Make("c.bmp");
  Make("d.doc");
  MakeDir("sub.dir");
  TFileView v;
  v.SetMask(ParseMaskAnswer("txt;.bmp"));
  ASSERT_TRUE(v.SetFolder(dir_.path()));
  EXPECT_EQ(Names(v), (QStringList{"sub.dir", "a.txt", "b.TXT", "c.bmp"}));
  v.SetMask(ParseMaskAnswer("*"));
  v.Fill();
  EXPECT_EQ(v.RowCount(), 5);
}

TEST_F(BrowserTest, ColumnClickFirstDescendsThenAscends) {
  Make("small", 1);
  Make("large", 3000);
  Make("middle", 20);
  TFileView v;
  ASSERT_TRUE(v.SetFolder(dir_.path()));
  v.ColumnClick(1);
  EXPECT_EQ(Names(v), (QStringList{"large", "middle", "small"}));
  v.ColumnClick(1);
  EXPECT_EQ(Names(v), (QStringList{"small", "middle", "large"}));
  v.ColumnClick(0);
  EXPECT_EQ(Names(v), (QStringList{"small", "middle", "large"})) << "name descending";
  v.Fill();
  v.ColumnClick(1);
  EXPECT_EQ(v.Row(0).name, QStringLiteral("large")) << "a fill resets the directions";
  // The sort dialog's numbers.
  v.SortBy(0);
  EXPECT_EQ(Names(v), (QStringList{"large", "middle", "small"}));
  v.SortBy(91);
  EXPECT_EQ(Names(v), (QStringList{"large", "middle", "small"}));
  v.SortBy(1);
  EXPECT_EQ(Names(v), (QStringList{"small", "middle", "large"}));
  v.SortBy(95);  // out of range: order kept
  EXPECT_EQ(Names(v), (QStringList{"small", "middle", "large"}));
}

TEST_F(BrowserTest, SelectionApiAndChangeReports) {
  Make("one.txt");
  Make("two.txt");
  Make("TWO.TXT");
  TFileView v;
  ASSERT_TRUE(v.SetFolder(dir_.path()));
  int reports = 0;
  QObject::connect(&v, &TFileView::Changed, [&](bool) { ++reports; });
  EXPECT_EQ(v.SelectedPath(), QString());
  EXPECT_TRUE(v.SelectRow(1));
  EXPECT_EQ(reports, 1) << "one move, one report";
  EXPECT_EQ(v.SelectedPath(), v.ItemPath(1));
  EXPECT_FALSE(v.SelectRow(99));
  EXPECT_FALSE(v.SelectRow(-1));
  EXPECT_EQ(v.SelectByName(QStringLiteral("two.txt")), 2) << "both letter cases";
  EXPECT_EQ(v.SelectedPaths().size(), 2);
  EXPECT_EQ(v.SelectByName(QStringLiteral("absent")), 0);
  EXPECT_EQ(v.SelectedPath(), QString());
}

TEST_F(BrowserTest, RenameRefusesEmptyTakenAndSlashedNames) {
  Make("a.txt");
  Make("b.txt");
  TFileView v;
  ASSERT_TRUE(v.SetFolder(dir_.path()));
  struct Row {
    const char* to;
    bool ok;
  } rows[] = {{"", false}, {"b.txt", false}, {"x/y", false}, {"..", false}, {"c.txt", true}, {"c.txt", true}};
  for (const Row& r : rows) EXPECT_EQ(v.RenameRow(0, QString::fromUtf8(r.to)), r.ok) << r.to;
  EXPECT_TRUE(QFile::exists(dir_.filePath("c.txt")));
  EXPECT_TRUE(QFile::exists(dir_.filePath("b.txt"))) << "the taken name is untouched";
  EXPECT_EQ(v.Row(0).name, QStringLiteral("c.txt"));
  // Through the model's edit role, as the in-place editor sets it.
  EXPECT_FALSE(v.Model()->setData(v.Model()->index(0, 0), QString(), Qt::EditRole));
  EXPECT_EQ(v.Row(0).name, QStringLiteral("c.txt"));
}

TEST_F(BrowserTest, DeleteGoesToTheTrashAndRefocusesTheFormerIndex) {
  for (const char* n : {"a", "b", "c", "d"}) Make(QString::fromLatin1(n));
  TFileView v;
  QStringList trashed;
  v.SetTrash([&](const QString& p) {
    trashed << p;
    return QFile::remove(p);
  });
  ASSERT_TRUE(v.SetFolder(dir_.path()));
  v.SelectRow(1);
  ASSERT_TRUE(v.DeleteSelection());
  EXPECT_EQ(trashed, QStringList{dir_.filePath("b")});
  EXPECT_EQ(v.RowCount(), 3);
  EXPECT_EQ(v.CurrentRow(), 1);
  EXPECT_EQ(v.SelectedPath(), dir_.filePath("c"));
  v.SelectRow(2);
  v.DeleteSelection();
  EXPECT_EQ(v.SelectedPath(), dir_.filePath("c")) << "the last row deleted: the new last row";
}

TEST_F(BrowserTest, OddNamesAndFoldersThatCannotBeRead) {
  Make(QStringLiteral("line\nbreak.txt"));
  // A name that is not UTF-8 is listed without harm.
  const QByteArray raw = QFile::encodeName(dir_.path()) + "/bad\xff\xfe.txt";
  FILE* f = fopen(raw.constData(), "w");
  ASSERT_NE(f, nullptr);
  fclose(f);
  ASSERT_EQ(symlink(".", QFile::encodeName(dir_.filePath("loop")).constData()), 0);
  ASSERT_EQ(symlink("nowhere", QFile::encodeName(dir_.filePath("dangling")).constData()), 0);
  TFileView v;
  ASSERT_TRUE(v.SetFolder(dir_.path()));
  EXPECT_EQ(v.RowCount(), 4);
  EXPECT_TRUE(v.Row(0).folder) << "a link to a folder is shown as a folder";
  const QStringList before{v.Row(0).name, v.Row(1).name};
  EXPECT_FALSE(v.SetFolder(dir_.filePath("absent")));
  EXPECT_EQ(v.Folder(), dir_.path()) << "the list stays as it was";
  EXPECT_EQ(v.RowCount(), 4);
  EXPECT_FALSE(v.SetFolder(dir_.filePath("line\nbreak.txt"))) << "a file is not a folder";
  // QTemporaryDir cannot remove a name it cannot decode.
  unlink(raw.constData());
}

TEST_F(BrowserTest, VirtualFoldersListDrivesAndTheDesktop) {
  TFileView v;
  ASSERT_TRUE(v.SetFolder(kComputerId));
  ASSERT_GE(v.RowCount(), 1);
  EXPECT_TRUE(Drives().contains(QStringLiteral("/")));
  for (const QString& bad : {QStringLiteral("/proc"), QStringLiteral("/sys")}) EXPECT_FALSE(Drives().contains(bad));
  ASSERT_TRUE(v.SetFolder(kDesktopId));
  QStringList names;
  for (int r = 0; r < v.RowCount(); ++r) names << v.Row(r).name;
  EXPECT_TRUE(names.contains(QStringLiteral("マイコンピュータ")));
  EXPECT_TRUE(names.contains(DisplayName(QDir::homePath())));
  EXPECT_FALSE(v.SetFolder(QStringLiteral(":nothing")));
}

TEST_F(BrowserTest, NamespacePaths) {
  EXPECT_EQ(Ancestry(QStringLiteral("/")), (QStringList{kComputerId, "/"}));
  const QStringList chain = Ancestry(dir_.filePath("x/y"));
  EXPECT_EQ(chain.front(), kComputerId);
  EXPECT_EQ(chain.back(), dir_.filePath("x/y"));
  EXPECT_TRUE(Ancestry(QStringLiteral("relative")).isEmpty());
  EXPECT_EQ(ParentFolder(QStringLiteral("/")), QStringLiteral("/")) << "a drive root stays";
  EXPECT_EQ(ParentFolder(dir_.filePath("x")), dir_.path());
  EXPECT_EQ(ParentFolder(dir_.filePath("x") + "/"), dir_.path());
  EXPECT_EQ(DisplayName(dir_.filePath("名前")), QStringLiteral("名前"));
  EXPECT_EQ(DisplayName(kDesktopId), QStringLiteral("デスクトップ"));
}

TEST_F(BrowserTest, TreeFillsLazilyAndGoesBackFromAFolderThatVanished) {
  MakeDir("a/deep");
  MakeDir("b");
  TFolderView tree;
  TFileView list;
  TComboView combo;
  tree.SetFileView(&list);
  combo.SetFolderView(&tree);
  combo.Load();
  tree.Rebuild();
  EXPECT_EQ(tree.SelectedPath(), kDesktopId);
  ASSERT_TRUE(tree.SelectPath(dir_.filePath("a")));
  EXPECT_EQ(list.Folder(), dir_.filePath("a"));
  QTreeWidgetItem* a = tree.currentItem();
  EXPECT_EQ(a->childCount(), 0) << "a folder is read when it is opened";
  a->setExpanded(true);
  ASSERT_EQ(a->childCount(), 1);
  QTreeWidgetItem* deep = a->child(0);
  EXPECT_EQ(deep->childCount(), 0) << "its child is not read before it is opened";
  // The combo holds the ancestry as temporary entries.
  EXPECT_EQ(combo.EntryId(combo.currentIndex()), dir_.filePath("a"));
  EXPECT_TRUE(combo.EntryTemporary(combo.currentIndex()));
  const int level = combo.EntryLevel(combo.currentIndex());
  EXPECT_EQ(level, Ancestry(dir_.filePath("a")).size());

  QDir(dir_.filePath("b")).removeRecursively();
  EXPECT_FALSE(tree.SelectPath(dir_.filePath("b")) && tree.SelectedPath() == dir_.filePath("b"));
  EXPECT_EQ(tree.SelectedPath(), dir_.filePath("a")) << "back to the previous node";
  EXPECT_EQ(list.Folder(), dir_.filePath("a"));
  EXPECT_FALSE(tree.SelectPath(dir_.filePath("never/there")));
  EXPECT_EQ(tree.SelectedPath(), dir_.filePath("a"));

  // A folder that disappears under an unread node.
  QDir(dir_.filePath("a/deep")).removeRecursively();
  tree.setCurrentItem(deep);
  EXPECT_EQ(tree.SelectedPath(), dir_.filePath("a"));

  combo.Sync(dir_.filePath("a"));
  tree.SelectPath(QDir::homePath());
  combo.Sync(kDesktopId);
  for (int r = 0; r < combo.count(); ++r) EXPECT_FALSE(combo.EntryTemporary(r)) << "a sync drops the old ancestry";
}

TEST_F(BrowserTest, TreeRenameKeepsTheTextOnFailure) {
  MakeDir("old");
  MakeDir("taken");
  TFolderView tree;
  tree.Rebuild();
  ASSERT_TRUE(tree.SelectPath(dir_.filePath("old")));
  QTreeWidgetItem* node = tree.currentItem();
  EXPECT_FALSE(tree.RenameNode(node, QStringLiteral("taken")));
  EXPECT_FALSE(tree.RenameNode(node, QString()));
  node->setText(0, QStringLiteral("taken"));  // as the in-place editor does
  EXPECT_EQ(node->text(0), QStringLiteral("old"));
  node->setText(0, QStringLiteral("new"));
  EXPECT_TRUE(QFileInfo(dir_.filePath("new")).isDir());
  EXPECT_EQ(TFolderView::NodeId(node), dir_.filePath("new"));
}

TEST_F(BrowserTest, CountsWalkTheTreeWithoutFollowingLinks) {
  Make("a", 10);
  Make("sub/b", 20);
  Make("sub/deeper/c", 5000000000LL);
  ASSERT_EQ(symlink("..", QFile::encodeName(dir_.filePath("sub/up")).constData()), 0);
  ASSERT_EQ(symlink("a", QFile::encodeName(dir_.filePath("alink")).constData()), 0);
  const TFolderCounts counts = CountFolderTree(dir_.path());
  EXPECT_EQ(counts.files, 4u) << "three files and a file link; the folder link is skipped";
  EXPECT_EQ(counts.bytes, 10u + 20u + 5000000000u + 1u);
  EXPECT_EQ(CountFolderTree(dir_.filePath("absent")).files, 0u);
  EXPECT_EQ(CountFolderTree(dir_.filePath("a")).files, 0u) << "a file is not a folder";
  std::atomic<bool> cancel{true};
  EXPECT_EQ(CountFolderTree(dir_.path(), &cancel).files, 0u);

  TFolderCounter counter;
  QList<quint64> seen;
  QObject::connect(&counter, &TFolderCounter::Counted, [&](const QString&, quint64 files, quint64) { seen << files; });
  counter.Start(dir_.filePath("sub"));
  counter.Start(dir_.path());  // the first count is dropped
  counter.WaitForDone();
  QTRY_COMPARE(seen.size(), 1);
  EXPECT_EQ(seen.front(), 4u);
  counter.Start(dir_.path());
  EXPECT_EQ(seen.size(), 2) << "a finished count answers at once";
}


// Fixed faults.

// The in-place editor of a folder node commits when the current node changes, from inside the
// view's own handling of that change: the rename must not free the node the view is moving to.
TEST_F(BrowserTest, TreeRenameCommittedByMovingToAChildKeepsThatChild) {
  MakeDir("old/inner/deepest");
  TFolderView tree;
  TFileView list;
  tree.SetFileView(&list);
  tree.Rebuild();
  ASSERT_TRUE(tree.SelectPath(dir_.filePath("old/inner")));
  ASSERT_TRUE(tree.SelectPath(dir_.filePath("old")));
  QTreeWidgetItem* old = tree.currentItem();
  old->setExpanded(true);
  QTreeWidgetItem* inner = old->child(0);
  inner->setExpanded(true);
  ASSERT_EQ(inner->childCount(), 1);
  tree.resize(400, 300);
  tree.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));

  const auto openEditor = [&](QTreeWidgetItem* node, const QString& name) {
    // The editor closed before is freed first, so the one found is the new one.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    tree.editItem(node);
    auto* editor = tree.viewport()->findChild<QLineEdit*>();
    if (!editor) return false;
    editor->setText(name);
    return true;
  };
  // Moved by a click on the child.
  ASSERT_TRUE(openEditor(old, QStringLiteral("new")));
  QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(inner).center());
  EXPECT_TRUE(QFileInfo(dir_.filePath("new/inner")).isDir());
  EXPECT_EQ(tree.SelectedPath(), dir_.filePath("new/inner"));
  EXPECT_EQ(list.Folder(), dir_.filePath("new/inner"));
  ASSERT_EQ(tree.currentItem(), inner) << "the child the user went to is still there";
  EXPECT_EQ(TFolderView::NodeId(inner->child(0)), dir_.filePath("new/inner/deepest"));

  // Moved without a click, as a selection made elsewhere (the combo) moves it.
  ASSERT_TRUE(openEditor(inner, QStringLiteral("renamed")));
  QTreeWidgetItem* deepest = inner->child(0);
  tree.setCurrentItem(deepest);
  EXPECT_TRUE(QFileInfo(dir_.filePath("new/renamed/deepest")).isDir());
  ASSERT_EQ(tree.currentItem(), deepest);
  EXPECT_EQ(tree.SelectedPath(), dir_.filePath("new/renamed/deepest"));
  EXPECT_EQ(list.Folder(), dir_.filePath("new/renamed/deepest"));
  EXPECT_EQ(tree.FindNode(dir_.filePath("new/renamed/deepest")), deepest);
}

// A large folder: the first entries show at once and the rest is read on a worker. Small counts
// stand in for the thousands the list reads at once in use.
class LargeFolderLoad : public BrowserTest {
 protected:
  void SetUp() override {
    for (int i = 0; i < 600; ++i) Make(QStringLiteral("f%1.txt").arg(i, 3, 10, QLatin1Char('0')));
    for (const char* d : {"Dz", "da", "dm"}) MakeDir(QString::fromLatin1(d));
  }
  // The same folder read in one go, as the reference order.
  QStringList WholeOrder() {
    TFileView whole;
    EXPECT_TRUE(whole.SetFolder(dir_.path()));
    EXPECT_FALSE(whole.Model()->Loading());
    return Names(whole);
  }
  static void StartSmall(TFileView& v) { v.Model()->SetInlineEntries(40); }
  static bool WaitLoaded(TFileView& v) {
    QSignalSpy loaded(&v, &TFileView::Loaded);
    return !v.Model()->Loading() || loaded.wait(10000);
  }
};

TEST_F(LargeFolderLoad, FirstEntriesAtOnceThenTheWholeInTheDefaultOrderKeepingTheFocus) {
  const QStringList whole = WholeOrder();
  ASSERT_EQ(whole.size(), 603);
  TFileView v;
  StartSmall(v);
  ASSERT_TRUE(v.SetFolder(dir_.path()));
  ASSERT_TRUE(v.Model()->Loading());
  ASSERT_GT(v.RowCount(), 0);
  ASSERT_LE(v.RowCount(), 40);
  QStringList first = Names(v);
  QStringList sorted = first;
  std::sort(sorted.begin(), sorted.end(), [&](const QString& a, const QString& b) { return whole.indexOf(a) < whole.indexOf(b); });
  EXPECT_EQ(first, sorted) << "the first entries are in order among themselves";
  ASSERT_TRUE(v.SelectRow(v.RowCount() - 1));
  const QString focused = v.SelectedPath();
  ASSERT_TRUE(WaitLoaded(v));
  EXPECT_EQ(Names(v), whole);
  EXPECT_EQ(v.SelectedPath(), focused) << "the focused item stays focused where it lands";
  EXPECT_EQ(v.SelectedCount(), 1);
  EXPECT_EQ(v.Row(v.CurrentRow()).path, focused);
}

TEST_F(LargeFolderLoad, ChangesRenamesAndSortsMadeWhileItLoadsHoldForTheWhole) {
  TFileView v;
  StartSmall(v);
  ASSERT_TRUE(v.SetFolder(dir_.path()));
  ASSERT_TRUE(v.Model()->Loading());
  // Another program adds and removes files; the watch reports them before the load is done.
  Make(QStringLiteral("new.txt"));
  ASSERT_TRUE(QFile::remove(dir_.filePath("f599.txt")));
  const QStringList changed{QStringLiteral("new.txt"), QStringLiteral("f599.txt")};
  EXPECT_FALSE(v.Reload(&changed)) << "nothing changes under a load";
  // A shown file renamed in place.
  int row = 0;
  while (row < v.RowCount() && v.Row(row).folder) ++row;
  ASSERT_LT(row, v.RowCount());
  const QString old = v.Row(row).name;
  ASSERT_TRUE(v.RenameRow(row, QStringLiteral("renamed.txt")));
  ASSERT_TRUE(v.SelectRow(row + 1));
  const QString focused = v.SelectedPath();
  v.SortBy(90);  // names descending
  ASSERT_TRUE(WaitLoaded(v));
  EXPECT_EQ(v.SelectedPath(), focused) << "the focus moved with its row through both orders";
  const QStringList names = Names(v);
  EXPECT_EQ(names.count(QStringLiteral("new.txt")), 1);
  EXPECT_EQ(names.count(QStringLiteral("renamed.txt")), 1);
  EXPECT_FALSE(names.contains(QStringLiteral("f599.txt")));
  EXPECT_FALSE(names.contains(old));
  EXPECT_EQ(names.size(), 603);
  QStringList descending = WholeOrder();
  std::reverse(descending.begin(), descending.end());
  EXPECT_EQ(names, descending) << "the sort chosen while it loaded is the order of the whole";
}

TEST_F(LargeFolderLoad, AnotherFolderOrTheEndOfTheListDropsTheLoadAndACommandCanWaitForIt) {
  QTemporaryDir small;
  QFile(small.filePath("only.txt")).open(QIODevice::WriteOnly);
  {
    TFileView v;
    StartSmall(v);
    QSignalSpy loaded(&v, &TFileView::Loaded);
    ASSERT_TRUE(v.SetFolder(dir_.path()));
    ASSERT_TRUE(v.Model()->Loading());
    ASSERT_TRUE(v.SetFolder(small.path()));
    EXPECT_FALSE(v.Model()->Loading());
    QTest::qWait(50);
    EXPECT_EQ(Names(v), QStringList{QStringLiteral("only.txt")}) << "the first folder's rest never lands";
    EXPECT_EQ(loaded.count(), 0);
    // A folder that cannot be read leaves the list and its load as they were.
    ASSERT_TRUE(v.SetFolder(dir_.path()));
    EXPECT_FALSE(v.SetFolder(dir_.filePath("missing")));
    EXPECT_TRUE(v.Model()->Loading());
    v.WaitLoaded();
    EXPECT_FALSE(v.Model()->Loading());
    EXPECT_EQ(v.RowCount(), 603) << "a command that walks every row gets them all";
    // A file named at start-up may lie beyond the first entries.
    ASSERT_TRUE(v.SetFolder(dir_.path()));
    QString later;
    for (int i = 0; i < 600 && later.isEmpty(); ++i) {
      const QString n = QStringLiteral("f%1.txt").arg(i, 3, 10, QLatin1Char('0'));
      if (!Names(v).contains(n)) later = n;
    }
    ASSERT_FALSE(later.isEmpty());
    EXPECT_EQ(v.SelectByName(later.toUpper()), 1);
    EXPECT_EQ(v.SelectedPath(), dir_.filePath(later));
    ASSERT_TRUE(v.SetFolder(dir_.path()));
  }  // the list goes away while it loads
  SUCCEED();
}

}  // namespace
}  // namespace sorabu::browser
