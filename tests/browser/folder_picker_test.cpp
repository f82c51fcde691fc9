// The folder picker tree and the two dialogs built on it, on a temporary folder tree.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/main_window.h"
#include "browser/folder_tree_view_ex.h"
#include "dialogs/scripted_dialogs.h"
#include "settings/ini_file.h"
#include "ui/TEditorSetDialog.h"
#include "uitext/qt_text.h"

namespace sorabu::browser {
namespace {

class FolderPickerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* d : {"only-text", "with-exe", "with-exe/deeper", "empty"}) QDir().mkpath(dir_.filePath(d));
    Touch("only-text/a.txt");
    Touch("with-exe/tool.EXE");
    Touch("with-exe/b.txt");
    Touch("top.exe");
    Touch("script");
    chmod(QFile::encodeName(dir_.filePath("script")).constData(), 0755);
  }
  void Touch(const char* name) {
    QFile f(dir_.filePath(QString::fromUtf8(name)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  QTreeWidgetItem* Child(QTreeWidgetItem* parent, const QString& name) {
    for (int i = 0; i < parent->childCount(); ++i)
      if (parent->child(i)->text(0) == name) return parent->child(i);
    return nullptr;
  }
  QStringList Names(QTreeWidgetItem* parent) {
    QStringList out;
    for (int i = 0; i < parent->childCount(); ++i) out << parent->child(i)->text(0);
    return out;
  }
  QTemporaryDir dir_;
};

TEST_F(FolderPickerTest, MaskDecidesFilesAndExpandMarks) {
  TFolderTreeViewEx tree;
  tree.SetRootFolderName(dir_.path());
  tree.SetRootFolder(TRootFolder::rfManual);
  tree.SetFileMask({QStringLiteral(".exe")});
  tree.SetShowFile(true);
  ASSERT_EQ(tree.topLevelItemCount(), 1);
  QTreeWidgetItem* root = tree.topLevelItem(0);
  EXPECT_EQ(Names(root), (QStringList{"empty", "only-text", "with-exe", "top.exe"}));
  EXPECT_EQ(Child(root, "only-text")->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator)
      << "a folder of .txt files only has no expand mark";
  EXPECT_EQ(Child(root, "empty")->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
  EXPECT_EQ(Child(root, "with-exe")->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
  tree.SetInfoViewSort(true);
  EXPECT_EQ(Names(tree.topLevelItem(0)).front(), QStringLiteral("top.exe")) << "files above folders";
  tree.SetShowExecutables(true);
  EXPECT_TRUE(Names(tree.topLevelItem(0)).contains(QStringLiteral("script")));
  tree.SetShowFile(false);
  EXPECT_TRUE(tree.ShowFile()) << "files stay once shown";
}

TEST_F(FolderPickerTest, FoldersOnlySelectPathAndRefresh) {
  TFolderTreeViewEx tree;
  tree.SetRootFolderName(dir_.path());
  tree.SetRootFolder(TRootFolder::rfManual);
  EXPECT_EQ(Names(tree.topLevelItem(0)), (QStringList{"empty", "only-text", "with-exe"}));
  QStringList changes;
  QObject::connect(&tree, &TFolderTreeViewEx::Change, [&](const QString& n) { changes << n; });
  ASSERT_TRUE(tree.SelectPath(dir_.filePath("with-exe/deeper")));
  EXPECT_EQ(tree.FolderName(), dir_.filePath("with-exe/deeper"));
  EXPECT_EQ(changes.back(), dir_.filePath("with-exe/deeper"));
  EXPECT_FALSE(tree.SelectPath(dir_.filePath("with-exe/absent")));
  EXPECT_FALSE(tree.SelectPath(QStringLiteral("/elsewhere")));
  QDir().mkpath(dir_.filePath("with-exe/new"));
  tree.Refresh();
  EXPECT_EQ(tree.FolderName(), dir_.filePath("with-exe/deeper")) << "the selection survives a refresh";
  EXPECT_TRUE(tree.SelectPath(dir_.filePath("with-exe/new")));
  // An unknown manual root falls back to the drives; a virtual root never reports paths.
  tree.SetRootFolderName(dir_.filePath("absent"));
  EXPECT_EQ(tree.topLevelItem(0)->text(0), QStringLiteral("マイコンピュータ"));
  EXPECT_TRUE(tree.SelectPath(dir_.filePath("only-text")));
  tree.SetRootFolder(TRootFolder::rf_Controls);
  tree.SetShowRootFolder(false);
  EXPECT_TRUE(tree.ShowRootFolder());
  EXPECT_FALSE(tree.SelectPath(dir_.path()));
  tree.setCurrentItem(tree.topLevelItem(0));
  EXPECT_EQ(tree.FolderName(), QStringLiteral("コントロール パネル"));
}

TEST_F(FolderPickerTest, RenameDropAndDoubleClickRun) {
  TFolderTreeViewEx tree;
  QStringList opened, messages;
  tree.SetOpener([&](const QString& p) { opened << p; });
  tree.SetMessage([&](const QString& m) { messages << m; });
  tree.SetRootFolderName(dir_.path());
  tree.SetRootFolder(TRootFolder::rfManual);
  tree.SetFileMask({QStringLiteral(".exe")});
  tree.SetShowFile(true);
  QTreeWidgetItem* root = tree.topLevelItem(0);
  EXPECT_FALSE(tree.RenameNode(Child(root, "empty"), QStringLiteral("only-text"))) << "a taken name";
  EXPECT_TRUE(tree.RenameNode(Child(tree.topLevelItem(0), "empty"), QStringLiteral("renamed")));
  EXPECT_TRUE(QFileInfo(dir_.filePath("renamed")).isDir());
  EXPECT_EQ(tree.FolderName(), dir_.filePath("renamed"));

  EXPECT_FALSE(tree.DropFiles({dir_.filePath("top.exe"), dir_.filePath("script")}, Child(tree.topLevelItem(0), "renamed"), true))
      << "two files at once are refused";
  EXPECT_TRUE(tree.DropFiles({dir_.filePath("only-text/a.txt")}, Child(tree.topLevelItem(0), "renamed"), true));
  EXPECT_TRUE(QFile::exists(dir_.filePath("renamed/a.txt")));
  EXPECT_TRUE(QFile::exists(dir_.filePath("only-text/a.txt"))) << "copied";
  EXPECT_TRUE(tree.DropFiles({dir_.filePath("only-text/a.txt")}, Child(tree.topLevelItem(0), "with-exe"), false));
  EXPECT_FALSE(QFile::exists(dir_.filePath("only-text/a.txt"))) << "moved";

  tree.ShellRun = true;
  QTreeWidgetItem* exe = Child(tree.topLevelItem(0), "top.exe");
  emit tree.itemDoubleClicked(exe, 0);
  EXPECT_EQ(opened, QStringList{dir_.filePath("top.exe")});
  emit tree.itemDoubleClicked(Child(tree.topLevelItem(0), "renamed"), 0);
  EXPECT_EQ(opened.size(), 1) << "folders are not run";

  tree.SetRootFolder(TRootFolder::rf_Bitbucket);
  EXPECT_FALSE(tree.DropFiles({dir_.filePath("top.exe")}, tree.topLevelItem(0), true));
  EXPECT_EQ(messages, QStringList{QStringLiteral("This Folder is SpecialFolder \r   Can not Copy or Paste!")});
}

TEST_F(FolderPickerTest, EditorDialogOkRuleAndStartUpFolderVariant) {
  dialogs::TDialogs::PickSetup editor{uitext::ToCp932(QStringLiteral("ｴﾃﾞｨﾀｰの設定")), "", "", true};
  ui::TEditorSetDialog a(editor);
  EXPECT_EQ(a.windowTitle(), QStringLiteral("ｴﾃﾞｨﾀｰの設定"));
  EXPECT_EQ(a.Edit1()->text(), QStringLiteral("NOTEPAD.EXE"));
  EXPECT_EQ(a.Previous()->text(), QStringLiteral("以前の設定："));
  struct Row {
    QString text;
    bool ok;
  } rows[] = {{"x.exe", true}, {"X.EXE", true}, {"run.bat", false}, {"", false}, {dir_.filePath("script"), true},
              {dir_.filePath("only-text"), false}};
  for (const Row& r : rows) {
    a.Edit1()->setText(r.text);
    EXPECT_EQ(a.OkButton()->isEnabled(), r.ok) << r.text.toStdString();
  }
  editor.stored = dir_.filePath("with-exe/tool.EXE").toStdString();
  ui::TEditorSetDialog b(editor);
  EXPECT_EQ(b.Edit1()->text(), dir_.filePath("with-exe/tool.EXE"));
  EXPECT_EQ(b.Previous()->text(), QStringLiteral("以前の設定:") + dir_.filePath("with-exe/tool.EXE"));
  EXPECT_EQ(b.FolderTreeViewEx1()->FolderName(), dir_.filePath("with-exe/tool.EXE")) << "opened at the stored path";
  emit b.FolderTreeViewEx1()->Click(dir_.filePath("top.exe"));
  EXPECT_EQ(b.Edit1()->text(), dir_.filePath("top.exe"));

  dialogs::TDialogs::PickSetup start{"", "", "", false};
  ui::TEditorSetDialog c(start);
  EXPECT_EQ(c.Edit1()->text(), QString()) << "an empty setting leaves the field empty";
  EXPECT_TRUE(c.OkButton()->isEnabled());
  EXPECT_FALSE(c.FolderTreeViewEx1()->ShowFile());
}

TEST_F(FolderPickerTest, WindowCommandsStoreTheirKeys) {
  QTemporaryDir ini;
  dialogs::TScriptedDialogs dialogs;
  const std::string iniPath = ini.filePath("sorabu.ini").toStdString();
  app::TForm1 form(dialogs, iniPath);
  form.FormCreate();
  dialogs.Answer("/usr/bin/editor");
  form.MediterSetClick();
  dialogs.Cancel();
  form.MinitdirectryClick();
  dialogs.Answer(dir_.path().toStdString());
  form.MinitdirectryClick();
  settings::TIniFile file(iniPath);
  EXPECT_EQ(file.ReadString("Editer", "Editer", ""), "/usr/bin/editor");
  EXPECT_EQ(file.ReadString("InitFolder", "InitFolderName", ""), dir_.path().toStdString());
  EXPECT_NE(form.Action("MediterSet"), nullptr);
  EXPECT_NE(form.Action("Minitdirectry1"), nullptr);
  app::TForm1 again(dialogs, iniPath);
  again.FormCreate();
  EXPECT_EQ(again.CurrentFolder(), dir_.path()) << "the start-up folder wins";
}

}  // namespace
}  // namespace sorabu::browser
