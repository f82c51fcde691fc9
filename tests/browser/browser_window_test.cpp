// The browser in the main window under the offscreen platform: navigation by tree, combo, keys
// and tool buttons; the display gate with Shift held; mask, sort and drive commands through
// scripted dialogs; rename and delete; the dialogs built without being shown.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QUrl>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "app/browser_selection.h"
#include "app/file_clipboard.h"
#include "app/main_window.h"
#include "browser/combo_view.h"
#include "browser/drive_panel.h"
#include "browser/file_view.h"
#include "browser/folder_counter.h"
#include "browser/folder_view.h"
#include "browser/shell_namespace.h"
#include "dialogs/scripted_dialogs.h"
#include "ui/TForm10.h"
#include "ui/TForm15.h"
#include "uitext/qt_text.h"
#include "viewer/display.h"
#include "viewer/status_panels.h"
#include "viewer/text_pane.h"

namespace sorabu::app {
namespace {

class BrowserWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 1; i <= 3; ++i) Make(QStringLiteral("f%1.txt").arg(i), QStringLiteral("text %1\r\n").arg(i).toStdString());
    QDir().mkpath(dir_.filePath("sub/inner"));
    Make(QStringLiteral("sub/s.txt"), "in sub\r\n");
  }
  void Make(const QString& name, const std::string& bytes) {
    QFile f(dir_.filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
  TForm1& Start() {
    form_ = std::make_unique<TForm1>(dialogs_, ini_.filePath("sorabu.ini").toStdString());
    form_->FormCreate();
    form_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    // Deletes in these tests never reach the user's trash.
    form_->FileView1()->SetTrash([this](const QString& p) {
      trashed_ << p;
      return QFile::remove(p);
    });
    EXPECT_TRUE(form_->GoToFolder(dir_.path()));
    return *form_;
  }
  QWidget* ListWidget() { return form_->FileView1()->CurrentView(); }
  // A character as the keyboard gives it, also one QTest cannot type (half-width kana).
  void Type(const QString& text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(ListWidget(), &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(ListWidget(), &release);
  }
  std::string Pane() { return form_->RichEdit1()->TextBytes(); }
  void WaitForCounts() {
    form_->Counter().WaitForDone();
    QApplication::processEvents();
  }

  QTemporaryDir dir_;
  QTemporaryDir ini_;
  dialogs::TScriptedDialogs dialogs_;
  std::unique_ptr<TForm1> form_;
  QStringList trashed_;
};

TEST_F(BrowserWindowTest, ArrowKeysShowEachFileAndNavigationShowsNone) {
  TForm1& f = Start();
  EXPECT_EQ(f.FileView1()->CurrentRow(), 0) << "going to a folder selects the first row";
  EXPECT_EQ(Pane(), "") << "the navigation itself does not load a file";
  EXPECT_TRUE(f.State().DisplayEnabled);
  QTest::keyClick(ListWidget(), Qt::Key_Down);
  EXPECT_EQ(f.Selection().SelectedPath(), dir_.filePath("f1.txt"));
  EXPECT_EQ(Pane(), "text 1");
  QTest::keyClick(ListWidget(), Qt::Key_Down);
  EXPECT_EQ(Pane(), "text 2");
  WaitForCounts();
  EXPECT_EQ(f.StatusBar1()->PanelText(0), dir_.path());
  EXPECT_EQ(f.StatusBar1()->PanelText(1).trimmed(), QStringLiteral("4 個")) << "the files of the tree below";
  EXPECT_EQ(f.StatusBar1()->PanelText(3), QStringLiteral(" 1 個選択 "));
  f.GoToFolder(dir_.filePath("sub"));
  EXPECT_EQ(f.StatusBar1()->PanelText(1).trimmed(), QString()) << "no figures of the folder before";
  WaitForCounts();
  EXPECT_EQ(f.StatusBar1()->PanelText(1).trimmed(), QStringLiteral("1 個"));
}

TEST_F(BrowserWindowTest, ShiftHeldKeepsThePaneUntilTheKeyIsUp) {
  TForm1& f = Start();
  QTest::keyClick(ListWidget(), Qt::Key_Down);
  ASSERT_EQ(Pane(), "text 1");
  QTest::keyPress(ListWidget(), Qt::Key_Shift, Qt::ShiftModifier);
  QTest::keyPress(ListWidget(), Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(f.FileView1()->SelectedCount(), 2);
  EXPECT_EQ(Pane(), "") << "the gate is shut while Shift is held";
  QTest::keyRelease(ListWidget(), Qt::Key_Down, Qt::ShiftModifier);
  QTest::keyRelease(ListWidget(), Qt::Key_Shift, Qt::NoModifier);
  EXPECT_FALSE(f.State().ShiftDown);
  EXPECT_TRUE(f.State().DisplayGateOpen());
  QTest::keyClick(ListWidget(), Qt::Key_Down);
  EXPECT_EQ(Pane(), "text 3");
}

TEST_F(BrowserWindowTest, EnterBackspaceAndTheUpButton) {
  TForm1& f = Start();
  ASSERT_EQ(f.FileView1()->Row(0).name, QStringLiteral("sub"));
  QTest::keyClick(ListWidget(), Qt::Key_Return);
  EXPECT_EQ(f.CurrentFolder(), dir_.filePath("sub"));
  EXPECT_EQ(f.FolderView1()->SelectedPath(), dir_.filePath("sub"));
  EXPECT_EQ(f.ComboView1()->currentText(), QStringLiteral("sub"));
  QTest::keyClick(ListWidget(), Qt::Key_Down);
  ASSERT_EQ(f.Selection().SelectedPath(), dir_.filePath("sub/s.txt"));
  QTest::keyClick(ListWidget(), Qt::Key_Return);
  EXPECT_EQ(f.CurrentFolder(), dir_.filePath("sub")) << "Enter on a file does not move";
  QTest::keyClick(ListWidget(), Qt::Key_Backspace);
  EXPECT_EQ(f.CurrentFolder(), dir_.path());
  f.Action("Mye")->trigger();
  EXPECT_EQ(f.CurrentFolder(), dir_.filePath("sub"));
  f.Action("ToolButton55")->trigger();
  EXPECT_EQ(f.CurrentFolder(), dir_.path());
  EXPECT_EQ(QDir::currentPath(), dir_.path()) << "the folder becomes the current directory";
  f.Action("Myy")->trigger();
  EXPECT_EQ(f.CurrentFolder(), browser::DriveOf(dir_.path()));
}

TEST_F(BrowserWindowTest, TreeAndComboMoveTheList) {
  TForm1& f = Start();
  f.FolderView1()->SelectPath(dir_.filePath("sub"));
  EXPECT_EQ(f.CurrentFolder(), dir_.filePath("sub"));
  const int desktop = f.ComboView1()->findData(browser::kComputerId, Qt::UserRole);
  ASSERT_GE(desktop, 0);
  f.ComboView1()->setCurrentIndex(desktop);
  emit f.ComboView1()->activated(desktop);
  EXPECT_EQ(f.CurrentFolder(), browser::kComputerId);
  WaitForCounts();
  EXPECT_EQ(f.StatusBar1()->PanelText(1).trimmed(), QStringLiteral("0 個")) << "My Computer counts nothing";
  EXPECT_EQ(f.StatusBar1()->PanelText(2).trimmed(), QStringLiteral("0 byte"));
}

TEST_F(BrowserWindowTest, CharacterKeysAndTheirKanaTwins) {
  TForm1& f = Start();
  // W: the mask; ﾃ is the same key in kana mode.
  dialogs_.Answer("txt");
  Type(QStringLiteral("ﾃ"));
  EXPECT_EQ(f.FileView1()->RowCount(), 4) << "the folder and three text files";
  EXPECT_TRUE(f.Action("ToolButton12")->isChecked());
  dialogs_.Answer("*");
  Type(QStringLiteral("w"));
  EXPECT_FALSE(f.Action("ToolButton12")->isChecked());
  // S: the sort dialog; 90 + 0 is name descending.
  dialogs_.Answer("90");
  Type(QStringLiteral("s"));
  EXPECT_EQ(f.FileView1()->Row(0).name, QStringLiteral("f3.txt"));
  dialogs_.Cancel();
  Type(QStringLiteral("ﾄ"));
  EXPECT_EQ(f.FileView1()->Row(0).name, QStringLiteral("f3.txt")) << "Cancel keeps the order";
  // L: the folder dialog.
  dialogs_.Answer(dir_.filePath("sub").toStdString());
  Type(QStringLiteral("L"));
  EXPECT_EQ(f.CurrentFolder(), dir_.filePath("sub"));
  dialogs_.Answer(dir_.filePath("absent").toStdString());
  Type(QStringLiteral("l"));
  EXPECT_EQ(f.CurrentFolder(), dir_.filePath("sub")) << "a folder that cannot be opened keeps the current one";
  // O: the drive dialog; a typed character names a drive.
  dialogs_.Answer("/");
  Type(QStringLiteral("ﾗ"));
  EXPECT_EQ(f.CurrentFolder(), QStringLiteral("/"));
  // Numeric pad 4 and 3: the view styles, with their tool buttons.
  QTest::keyClick(ListWidget(), Qt::Key_4, Qt::KeypadModifier);
  EXPECT_EQ(f.FileViewStyle(), browser::TViewStyle::Details);
  EXPECT_TRUE(f.Action("ToolButton28")->isChecked());
  f.Action("ToolButton13")->trigger();
  EXPECT_EQ(f.FileView1()->ViewStyle(), browser::TViewStyle::LargeIcons);
  EXPECT_TRUE(f.Action("Mbigicon")->isChecked());
  // A letter without a command goes on to the list.
  EXPECT_FALSE(f.FileView1KeyPress(QStringLiteral("y")));
}

TEST_F(BrowserWindowTest, RefreshFindsNewFilesAndDeleteUsesTheTrash) {
  TForm1& f = Start();
  Make(QStringLiteral("f0.txt"), "new\r\n");
  Type(QStringLiteral("n"));
  EXPECT_EQ(f.FileView1()->RowCount(), 5);
  EXPECT_EQ(f.CurrentFolder(), dir_.path());
  f.FileView1()->SelectByName(QStringLiteral("f1.txt"));
  const QString trash = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Trash/files/");
  ASSERT_TRUE(trash.startsWith(QDir::tempPath()) || trash.startsWith(qEnvironmentVariable("TMPDIR")));
  dialogs_.Answer("ok");
  QTest::keyClick(ListWidget(), Qt::Key_Delete);
  EXPECT_FALSE(QFile::exists(dir_.filePath("f1.txt")));
  EXPECT_TRUE(QFile::exists(trash + QStringLiteral("f1.txt")));
  EXPECT_EQ(f.Selection().SelectedPath(), dir_.filePath("f2.txt")) << "the former index";
  dialogs_.Answer("ok");
  QTest::keyClick(ListWidget(), Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_FALSE(QFile::exists(dir_.filePath("f2.txt")));
  EXPECT_FALSE(QFile::exists(trash + QStringLiteral("f2.txt"))) << "the permanent delete is not a trash delete";
}

TEST_F(BrowserWindowTest, FolderThatVanishedBeforeRefresh) {
  TForm1& f = Start();
  f.GoToFolder(dir_.filePath("sub/inner"));
  ASSERT_EQ(f.CurrentFolder(), dir_.filePath("sub/inner"));
  QDir(dir_.filePath("sub")).removeRecursively();
  f.MrefreshClick();
  EXPECT_FALSE(f.CurrentFolder().startsWith(dir_.filePath("sub")));
  EXPECT_EQ(f.FolderView1()->SelectedPath(), f.CurrentFolder());
  EXPECT_TRUE(f.State().DisplayEnabled);
}

TEST_F(BrowserWindowTest, NamesIntoThePaneAndCopyPath) {
  TForm1& f = Start();
  f.MnameonlyClick();
  EXPECT_EQ(Pane(), "sub\r\nf1.txt\r\nf2.txt\r\nf3.txt");
  f.MfullpathClick();
  EXPECT_EQ(Pane().substr(0, static_cast<std::size_t>(dir_.path().size()) + 4), dir_.filePath("sub").toStdString());
}

TEST_F(BrowserWindowTest, SaveNamesAndTheTree) {
  TForm1& f = Start();
  QTemporaryDir out;
  auto read = [](const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll().toStdString();
  };
  dialogs_.Answer(out.filePath("names.txt").toStdString());
  f.MsavenameClick();
  EXPECT_EQ(read(out.filePath("names.txt")), "sub\r\nf1.txt\r\nf2.txt\r\nf3.txt\r\n");
  EXPECT_EQ(dialogs_.Offered().back(), dir_.path().toStdString() + "/" + QFileInfo(dir_.path()).fileName().toStdString() + ".txt");
  EXPECT_EQ(dialogs_.Messages().back().text, uitext::ToCp932(out.filePath("names.txt") + QStringLiteral(" に保存しました。")));
  dialogs_.Answer(out.filePath("paths.txt").toStdString());
  f.MsavepathClick();
  EXPECT_EQ(read(out.filePath("paths.txt")).substr(0, static_cast<std::size_t>(dir_.path().size()) + 6),
            dir_.filePath("sub").toStdString() + "\r\n");
  dialogs_.Cancel();
  f.MsavepathClick();
  dialogs_.Answer(out.filePath("tree.txt").toStdString());
  f.MsavetreeClick();
  const std::string tree = read(out.filePath("tree.txt"));
  EXPECT_EQ(tree.substr(0, 14), uitext::ToCp932(QStringLiteral("デスクトップ")) + "\r\n");
  EXPECT_NE(tree.find("\n\t" + uitext::ToCp932(QStringLiteral("マイコンピュータ")) + "\r\n"), std::string::npos);
  const std::string shown = std::string(static_cast<std::size_t>(browser::Ancestry(dir_.path()).size()), '\t') +
                           QFileInfo(dir_.path()).fileName().toStdString() + "\r\n";
  EXPECT_NE(tree.find("\n" + shown), std::string::npos) << "the folders on the way, indented by level";
  EXPECT_EQ(f.CurrentFolder(), dir_.path()) << "rebuilt where it was";
}

TEST_F(BrowserWindowTest, DropsCopyWithoutReplacing) {
  TForm1& f = Start();
  QTemporaryDir outside;
  QFile a(outside.filePath("new.txt"));
  ASSERT_TRUE(a.open(QIODevice::WriteOnly));
  a.close();
  QFile b(outside.filePath("f1.txt"));
  ASSERT_TRUE(b.open(QIODevice::WriteOnly));
  b.write("other");
  b.close();
  f.SetOption(Option::Mdragdrop1, true);
  auto drop = [&](const QStringList& files) { f.FormDragDrop(files); };
  drop({outside.filePath("new.txt")});
  EXPECT_TRUE(QFile::exists(dir_.filePath("new.txt")));
  ASSERT_FALSE(dialogs_.Messages().empty());
  EXPECT_EQ(dialogs_.Messages().back().text, uitext::ToCp932(QStringLiteral("1個のファイルをコピーしました。")));
  drop({outside.filePath("f1.txt")});
  EXPECT_EQ(dialogs_.Messages().back().text, uitext::ToCp932(QStringLiteral("コピーできませんでした。")));
  QFile kept(dir_.filePath("f1.txt"));
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), QByteArray("text 1\r\n")) << "a taken name is never replaced";
  const std::size_t before = dialogs_.Messages().size();
  drop({dir_.filePath("f2.txt")});
  EXPECT_EQ(dialogs_.Messages().size(), before) << "files of the folder shown: nothing happens";

  // The list's files dragged onto a folder of the tree.
  f.FolderView1DragDrop({dir_.filePath("f2.txt"), dir_.filePath("f3.txt")}, dir_.filePath("sub"));
  EXPECT_TRUE(QFile::exists(dir_.filePath("sub/f2.txt")));
  EXPECT_TRUE(QFile::exists(dir_.filePath("f2.txt")));
  EXPECT_EQ(f.CopyFilesInto({dir_.filePath("sub")}, dir_.filePath("sub/inner")), 0) << "not into itself";

}

// Files on the clipboard as GNOME's and KDE's file managers write and read them.
TEST(FileClipboard, TheFileManagersFormats) {
  std::unique_ptr<QMimeData> copied(FilesMimeData({QStringLiteral("/tmp/a b.txt"), QStringLiteral("/tmp/日本")}, false));
  EXPECT_EQ(copied->data(QStringLiteral("x-special/gnome-copied-files")),
            QByteArray("copy\nfile:///tmp/a%20b.txt\nfile:///tmp/%E6%97%A5%E6%9C%AC"));
  EXPECT_EQ(copied->urls().size(), 2);
  EXPECT_FALSE(copied->hasFormat(QStringLiteral("application/x-kde-cutselection")));
  std::unique_ptr<QMimeData> cut(FilesMimeData({QStringLiteral("/tmp/x")}, true));
  EXPECT_TRUE(cut->data(QStringLiteral("x-special/gnome-copied-files")).startsWith("cut\n"));
  EXPECT_EQ(cut->data(QStringLiteral("application/x-kde-cutselection")), QByteArray("1"));
  const auto back = FilesFromMimeData(cut.get());
  ASSERT_TRUE(back.has_value());
  EXPECT_TRUE(back->cut);
  EXPECT_EQ(back->paths, QStringList{QStringLiteral("/tmp/x")});

  // As Nautilus puts them (no trailing newline, or one), and as Dolphin does (URLs and a cut mark).
  QMimeData nautilus;
  nautilus.setData(QStringLiteral("x-special/gnome-copied-files"), "cut\nfile:///home/u/%E6%97%A5.txt\n");
  const auto fromNautilus = FilesFromMimeData(&nautilus);
  ASSERT_TRUE(fromNautilus.has_value());
  EXPECT_TRUE(fromNautilus->cut);
  EXPECT_EQ(fromNautilus->paths, QStringList{QStringLiteral("/home/u/日.txt")});
  QMimeData dolphin;
  dolphin.setUrls({QUrl::fromLocalFile(QStringLiteral("/srv/a")), QUrl(QStringLiteral("https://example.org/b"))});
  const auto fromDolphin = FilesFromMimeData(&dolphin);
  ASSERT_TRUE(fromDolphin.has_value());
  EXPECT_FALSE(fromDolphin->cut);
  EXPECT_EQ(fromDolphin->paths, QStringList{QStringLiteral("/srv/a")}) << "only local files";
  QMimeData text;
  text.setText(QStringLiteral("/tmp/a"));
  EXPECT_FALSE(FilesFromMimeData(&text).has_value()) << "plain text is no file";
  EXPECT_FALSE(FilesFromMimeData(nullptr).has_value());
}

// Ctrl+C and Ctrl+X in the list, Ctrl+V in another folder: copied or moved through the file
// operation, and a taken name is asked about, never replaced unasked.
TEST_F(BrowserWindowTest, CutCopyAndPasteThroughTheDesktopClipboard) {
  TForm1& f = Start();
  ASSERT_GT(f.Selection().SelectByName(QStringLiteral("f1.txt")), 0);
  ListWidget()->setFocus();
  QTest::keyClick(ListWidget(), Qt::Key_C, Qt::ControlModifier);
  const auto copied = FilesFromMimeData(QApplication::clipboard()->mimeData());
  ASSERT_TRUE(copied.has_value());
  EXPECT_EQ(copied->paths, QStringList{dir_.filePath("f1.txt")});
  EXPECT_FALSE(copied->cut);

  ASSERT_TRUE(f.GoToFolder(dir_.filePath("sub")));
  ListWidget()->setFocus();
  QTest::keyClick(ListWidget(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_TRUE(QFile::exists(dir_.filePath("sub/f1.txt")));
  EXPECT_TRUE(QFile::exists(dir_.filePath("f1.txt"))) << "a copy leaves the original";
  // Again into the same folder: the name is taken and the question is answered no.
  dialogs_.Cancel();
  QTest::keyClick(ListWidget(), Qt::Key_V, Qt::ControlModifier);
  QFile kept(dir_.filePath("sub/f1.txt"));
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), QByteArray("text 1\r\n"));

  // Cut: the paste moves the file and empties the clipboard.
  ASSERT_TRUE(f.GoToFolder(dir_.path()));
  ASSERT_GT(f.Selection().SelectByName(QStringLiteral("f2.txt")), 0);
  ListWidget()->setFocus();
  QTest::keyClick(ListWidget(), Qt::Key_X, Qt::ControlModifier);
  EXPECT_TRUE(QFile::exists(dir_.filePath("f2.txt"))) << "cutting moves nothing yet";
  ASSERT_TRUE(f.GoToFolder(dir_.filePath("sub/inner")));
  ListWidget()->setFocus();
  QTest::keyClick(ListWidget(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_TRUE(QFile::exists(dir_.filePath("sub/inner/f2.txt")));
  EXPECT_FALSE(QFile::exists(dir_.filePath("f2.txt")));
  EXPECT_FALSE(FilesFromMimeData(QApplication::clipboard()->mimeData()).has_value());

  // Files a file manager copied.
  QTemporaryDir outside;
  QFile made(outside.filePath("from-nautilus.txt"));
  ASSERT_TRUE(made.open(QIODevice::WriteOnly));
  made.close();
  auto* data = new QMimeData;
  data->setData(QStringLiteral("x-special/gnome-copied-files"),
                "copy\n" + QUrl::fromLocalFile(outside.filePath("from-nautilus.txt")).toEncoded());
  QApplication::clipboard()->setMimeData(data);
  QTest::keyClick(ListWidget(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_TRUE(QFile::exists(dir_.filePath("sub/inner/from-nautilus.txt")));
  EXPECT_TRUE(QFile::exists(outside.filePath("from-nautilus.txt")));
}

// The send-to folder beside the settings file: a link to a folder copies there, a program is
// started with the files; a real folder in it is no entry.
TEST_F(BrowserWindowTest, SendToCopiesIntoALinkedFolderOrStartsAProgram) {
  const QDir sendTo(ini_.filePath(QStringLiteral("SendTo")));
  ASSERT_TRUE(QDir().mkpath(sendTo.path()));
  QTemporaryDir target;
  ASSERT_TRUE(QFile::link(target.path(), sendTo.filePath(QStringLiteral("バックアップ"))));
  ASSERT_TRUE(QDir().mkpath(sendTo.filePath(QStringLiteral("a real folder"))));
  QFile tool(sendTo.filePath(QStringLiteral("tool.sh")));
  ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
  tool.write("#!/bin/sh\n");
  tool.close();
  tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  TForm1& f = Start();
  QStringList started;
  f.SetLauncher([&](const QString& program, const QStringList& arguments, const QString&) {
    started << program << arguments;
    return true;
  });
  const QFileInfoList entries = f.SendToEntries();
  QStringList names;
  for (const QFileInfo& e : entries) names << e.fileName();
  EXPECT_EQ(names, (QStringList{QStringLiteral("tool.sh"), QStringLiteral("バックアップ")}));

  f.SendTo(entries.at(1), {dir_.filePath("f1.txt"), dir_.filePath("f2.txt")});
  EXPECT_TRUE(QFile::exists(target.filePath(QStringLiteral("f1.txt"))));
  EXPECT_TRUE(QFile::exists(target.filePath(QStringLiteral("f2.txt"))));
  EXPECT_TRUE(QFile::exists(dir_.filePath("f1.txt")));
  f.SendTo(entries.at(0), {dir_.filePath("f3.txt")});
  EXPECT_EQ(started, (QStringList{sendTo.filePath(QStringLiteral("tool.sh")), dir_.filePath("f3.txt")}));
  EXPECT_TRUE(dialogs_.Messages().empty());
}

TEST(BrowserDialogs, DriveAndSortDialogsWithoutExec) {
  ui::TForm10 drive(QStringList{"/", "/mnt/usb"}, QStringLiteral("/mnt/usb"));
  EXPECT_EQ(drive.windowTitle(), QStringLiteral("ドライブの指定"));
  EXPECT_EQ(drive.Edit1()->text(), QStringLiteral("/"));
  EXPECT_EQ(drive.DrivePanel1()->CurrentDrive(), QStringLiteral("/mnt/usb"));
  ASSERT_NE(drive.DrivePanel1()->Button(0), nullptr);
  EXPECT_EQ(drive.DrivePanel1()->Button(2), nullptr);
  drive.DrivePanel1()->Button(0)->click();
  EXPECT_EQ(drive.Answer(), QStringLiteral("/"));
  EXPECT_EQ(drive.result(), QDialog::Accepted);

  ui::TForm15 sort;
  EXPECT_EQ(sort.windowTitle(), QStringLiteral("ファイルのソート"));
  EXPECT_EQ(sort.Answer(), 0);
  sort.RadioGroup1()->button(3)->click();
  sort.CheckBox1()->setChecked(true);
  EXPECT_EQ(sort.Answer(), 93);
}

}  // namespace
}  // namespace sorabu::app
