// The drive information, the two directory listings and the file properties from the window,
// with scripted answers; the listing runs the sorabu-cli built beside the test program.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include "app/browser_selection.h"
#include "app/dir_runner.h"
#include "browser/file_view.h"
#include "settings/ini_file.h"
#include "tests/app/window_fixture.h"
#include "textconv/cp932.h"
#include "viewer/text_pane.h"

namespace sorabu::app {
namespace {

std::string C(const char* utf8) { return textconv::Utf8ToCp932(utf8); }

class DriveWindowTest : public MainWindowTest {
 protected:
  TForm1& StartIn() {
    MakeFile("a.txt", "aaa\r\n");
    MakeFile("b.log", "bb\r\n");
    QDir(dir_.path()).mkdir(QStringLiteral("sub"));
    MakeFile("sub/c.txt", "c\r\n");
    return StartInFolder();
  }
  // Runs a listing handler and waits for its output in the pane.
  std::string Listing(TForm1& f, void (TForm1::*handler)()) {
    QSignalSpy done(&f, &TForm1::DirListingDone);
    (f.*handler)();
    if (!f.DirListingRunning()) return {};
    EXPECT_TRUE(done.wait(30000));
    return f.RichEdit1()->TextBytes();
  }
  std::string Folder() const { return dir_.path().toStdString(); }
};

TEST_F(DriveWindowTest, ItemsAndTheirTwinsAreConnected) {
  TForm1& f = StartIn();
  for (auto [name, twin, caption] :
       {std::tuple{"MdriveInfo", "MdriveInfo2", "ドライブ情報表示(&I)"},
        std::tuple{"Mdircommand1", "Mdircommand3", "dirコマンド-ダイレクト(&R)"},
        std::tuple{"Mdircommand2", "Mdircommand4", "dirコマンド-詳細(&A)"},
        std::tuple{"Mfileinfo1", "Mfileinfo2", "ファイルのプロパティ(&F)"}}) {
    for (const char* n : {name, twin}) {
      QAction* a = f.Action(n);
      ASSERT_NE(a, nullptr) << n;
      EXPECT_EQ(a->text(), QString::fromUtf8(caption)) << n;
    }
    EXPECT_TRUE(f.findChild<QMenu*>(QStringLiteral("Minfo"))->actions().contains(f.Action(name))) << name;
    EXPECT_TRUE(f.findChild<QMenu*>(QStringLiteral("Minfo2"))->actions().contains(f.Action(twin))) << twin;
  }
  // Each pair runs its handler: the drive item shows the dialog's texts, so do the properties.
  for (int r = 0; r < f.FileView1()->RowCount(); ++r)
    if (f.FileView1()->Row(r).name == QLatin1String("a.txt")) f.FileView1()->SelectRow(r);
  f.Action("MdriveInfo2")->trigger();
  ASSERT_EQ(dialogs_.Messages().size(), 1u);
  f.Action("Mfileinfo2")->trigger();
  EXPECT_EQ(dialogs_.Messages().size(), 2u);
}

TEST_F(DriveWindowTest, DriveInformationTexts) {
  TForm1& f = StartIn();
  f.MdriveInfoClick();
  ASSERT_EQ(dialogs_.Messages().size(), 1u);
  const std::string text = dialogs_.Messages()[0].text;
  EXPECT_EQ(text.rfind(C("ドライブ情報 "), 0), 0u) << textconv::Cp932ToUtf8(text);
  EXPECT_NE(text.find(C(" 全容量 ")), std::string::npos);
  EXPECT_NE(text.find(C(" byte  未使用 ")), std::string::npos);
  EXPECT_NE(text.find(C("ｾｸﾀ = ")), std::string::npos);
  EXPECT_NE(text.find(C("一部のドライブでは情報が正しく取得できない場合があります。")), std::string::npos);
}

TEST_F(DriveWindowTest, DirectListingTakesTheTextAsTyped) {
  TForm1& f = StartIn();
  dialogs_.Answer("\"" + Folder() + "\" /B /O:-N");
  const std::string pane = Listing(f, &TForm1::Mdircommand1Click);
  EXPECT_EQ(pane, "sub\r\nsorabu.ini\r\nb.log\r\na.txt\r\n");
  // The history of its own section, offered with the current folder.
  EXPECT_EQ(dialogs_.Offered().back(), Folder());
  EXPECT_EQ(settings::TIniFile(IniPath()).ReadString("DirSet", "Items_0", ""), "#\"" + Folder() + "\" /B /O:-N#");
  EXPECT_EQ(f.LFilestring()->text().toStdString(), "dir   \"" + Folder() + "\" /B /O:-N   の結果");
  // The listing is also kept beside the settings.
  QFile tmp(dir_.filePath(QStringLiteral("sorabu.tmp")));
  ASSERT_TRUE(tmp.open(QIODevice::ReadOnly));
  EXPECT_EQ(tmp.readAll().toStdString(), pane);

  // Cancel lists nothing.
  dialogs_.Cancel();
  f.Mdircommand1Click();
  EXPECT_FALSE(f.DirListingRunning());
}

TEST_F(DriveWindowTest, DetailedListingKeepsTenPathsOfHistory) {
  std::string ini = "[LHA]\nDriveCount=10\n";
  for (int i = 0; i < 10; ++i) ini += "Items_" + std::to_string(i) + "=#/old" + std::to_string(i) + "#\n";
  WriteIni(ini);
  TForm1& f = StartIn();
  dialogs_.Answer(Folder());
  const std::string pane = Listing(f, &TForm1::Mdircommand2Click);
  EXPECT_NE(pane.find(" " + Folder() + C(" のディレクトリ")), std::string::npos) << textconv::Cp932ToUtf8(pane);
  EXPECT_NE(pane.find(" a.txt\r\n"), std::string::npos);
  EXPECT_EQ(dialogs_.Offered().back().rfind(Folder() + "|/old0|/old1", 0), 0u);
  const settings::TIniFile after(IniPath());
  EXPECT_EQ(after.ReadString("LHA", "Items_0", ""), "#" + Folder() + "#");
  EXPECT_EQ(after.ReadString("LHA", "Items_9", ""), "#/old8#");
  EXPECT_EQ(after.ReadString("LHA", "Items_10", ""), "");
  EXPECT_EQ(after.ReadString("LHA", "DriveCount", ""), "11");
  EXPECT_EQ(f.LFilestring()->text().toStdString(), "dir   \"" + Folder() + "\"         の結果");
}

TEST_F(DriveWindowTest, ListingProblemsFollowTheOutputAndAMissingProgramIsAnError) {
  TForm1& f = StartIn();
  dialogs_.Answer(Folder() + "/nothing-here");
  const std::string pane = Listing(f, &TForm1::Mdircommand1Click);
  EXPECT_EQ(pane, C("ファイルが見つかりません"));

  f.DirRunner()->SetProgram(dir_.filePath(QStringLiteral("no-such-program")));
  dialogs_.Answer(Folder());
  f.Mdircommand1Click();
  EXPECT_FALSE(f.DirListingRunning());
  ASSERT_FALSE(dialogs_.Messages().empty());
  EXPECT_EQ(dialogs_.Messages().back().kind, dialogs::TScriptedDialogs::Message::Error);
}

TEST_F(DriveWindowTest, PropertiesOfTheSelectedFile) {
  TForm1& f = StartIn();
  // Nothing selected: nothing shown.
  f.FileView1()->CurrentView()->clearSelection();
  f.FileView1()->CurrentView()->setCurrentIndex({});
  if (f.Selection().SelectedPath().isEmpty()) {
    f.Mfileinfo1Click();
    EXPECT_TRUE(dialogs_.Messages().empty());
  }
  QFile::link(dir_.filePath(QStringLiteral("a.txt")), dir_.filePath(QStringLiteral("z-link")));
  f.MrefreshClick();
  for (int r = 0; r < f.FileView1()->RowCount(); ++r)
    if (f.FileView1()->Row(r).name == QLatin1String("z-link")) f.FileView1()->SelectRow(r);
  f.Mfileinfo1Click();
  ASSERT_EQ(dialogs_.Messages().size(), 1u);
  const std::string text = dialogs_.Messages()[0].text;
  EXPECT_NE(text.find(C("名前: z-link\n")), std::string::npos) << textconv::Cp932ToUtf8(text);
  EXPECT_NE(text.find(C("場所: ") + Folder() + "\n"), std::string::npos);
  EXPECT_NE(text.find(C("種類: シンボリックリンク")), std::string::npos);
  EXPECT_NE(text.find(C("リンク先: ") + Folder() + "/a.txt"), std::string::npos);
  EXPECT_NE(text.find(C("アクセス権: rwxrwxrwx")), std::string::npos);
}

}  // namespace
}  // namespace sorabu::app
