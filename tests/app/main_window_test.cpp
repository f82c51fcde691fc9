// The main window under the offscreen platform, with scripted dialogs and a temporary settings file.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSpinBox>
#include <QCheckBox>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "app/browser_selection.h"
#include "dialogs/scripted_dialogs.h"
#include "settings/ini_file.h"
#include "tests/app/window_fixture.h"
#include "textconv/cp932.h"
#include "ui/TCharSetDialog.h"
#include "ui/TForm3.h"
#include "ui/TForm30.h"
#include "ui/TInputDialog.h"
#include "ui/TLoadRuleDialog.h"
#include "viewer/display.h"
#include "viewer/status_panels.h"
#include "viewer/text_pane.h"
#include "uitext/japanese_locale.h"

namespace sorabu::app {
namespace {


TEST_F(MainWindowTest, FirstStartWithoutSettings) {
  TForm1& f = Start();
  const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_NEAR(f.frameGeometry().width(), work.width(), 6);
  EXPECT_NEAR(f.frameGeometry().height(), work.height(), 6);
  EXPECT_NEAR(f.PanelRBHeight(), f.PanelRHeight() * 2 / 3, 8);
  EXPECT_EQ(f.FileViewStyle(), browser::TViewStyle::List);
  for (Option o : {Option::Mdisp, Option::Mtoolbar, Option::Msubtoolbar1, Option::Mdialogdisp1,
                   Option::Mcloseinitview1, Option::Mbackup1})
    EXPECT_TRUE(f.OptionValue(o));
  EXPECT_FALSE(f.OptionValue(Option::Mrtf));
  EXPECT_TRUE(f.State().InstantDisplay);
  EXPECT_EQ(f.SBarR()->PanelText(2), QStringLiteral(" 閲覧 "));
  EXPECT_EQ(f.SBarR()->PanelText(4), QStringLiteral(" ﾘｱﾙﾓｰﾄﾞ "));
  EXPECT_EQ(f.PanelLWidth(), 137);
}

TEST_F(MainWindowTest, StoredValuesAreValidatedOneByOne) {
  WriteIni(
      "[Form]\r\nLeft=-10\r\nTop=20\r\nWidth=999999\r\nHeight=300\r\n"
      "[PanelL]\r\nWidth=999999\r\n"
      "[ReadRichEditLine]\r\nLine=7\r\n"
      "[FontR]\r\nStyle=300\r\nSize=20\r\n"
      "[FileView]\r\nIcon=9\r\nColum1=-5\r\nColum2=50\r\nHottrack=0\r\n"
      "[RichEdit]\r\nrichtabwidth=-3\r\nWordWrap=1\r\n"
      "[Menu]\r\nMmousepoint=1\r\nMrtf=1\r\nMdisp=0\r\nMtoolbar=0\r\n"
      "[PopupMenu2]\r\nCount=3\r\nFolder0=/a\r\nFolder1=\r\nFolder2=/c\r\n"
      "[ToolBar2]\r\nToolButton49=0\r\n");
  TForm1& f = Start();
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(f.x(), 0);
  EXPECT_EQ(f.width(), screen.width());
  EXPECT_EQ(f.PanelLWidth(), 137) << "a left half wider than the window keeps its width";
  EXPECT_EQ(f.State().DisplayLineLimit, 7);
  EXPECT_EQ(f.RichEdit1()->font().pointSize(), 20);
  EXPECT_FALSE(f.RichEdit1()->font().bold()) << "a style above 255 is skipped";
  EXPECT_EQ(f.FileViewStyle(), browser::TViewStyle::List);
  EXPECT_EQ(f.ColumnWidth(0), -1);
  EXPECT_EQ(f.ColumnWidth(1), 50);
  EXPECT_EQ(f.State().TabWidth, 8);
  EXPECT_FALSE(f.OptionValue(Option::Mmousepoint)) << "hot tracking decides, not the Menu key";
  EXPECT_EQ(f.SBarR()->PanelText(5), QStringLiteral("    "));
  EXPECT_EQ(f.SBarR()->PanelText(3), QStringLiteral(" RTF "));
  EXPECT_FALSE(f.RichEdit1()->PlainTextMode());
  EXPECT_EQ(f.SBarR()->PanelText(4), QStringLiteral("  Vﾓｰﾄﾞ "));
  EXPECT_FALSE(f.ToolBar1()->isVisible());
  EXPECT_FALSE(f.Action("ToolButton49")->isVisible());
  EXPECT_TRUE(f.Action("ToolButton17")->isVisible());
  EXPECT_TRUE(f.Action("ToolButton39")->isChecked());
  QStringList captions;
  for (QAction* a : f.PopupMenu2()->actions()) captions << a->text();
  EXPECT_EQ(captions, (QStringList{QStringLiteral("&1 /a"), QStringLiteral("&3 /c")}));
}

TEST_F(MainWindowTest, OptionsKeepTheirTwinsAndStatusInStep) {
  TForm1& f = Start();
  f.OptionAction(Option::Mdisp, true)->trigger();  // from the pop-up copy
  EXPECT_FALSE(f.OptionValue(Option::Mdisp));
  EXPECT_FALSE(f.OptionAction(Option::Mdisp)->isChecked());
  EXPECT_FALSE(f.OptionAction(Option::Mdisp, true)->isChecked());
  EXPECT_FALSE(f.State().InstantDisplay);
  EXPECT_EQ(f.SBarR()->PanelText(4), QStringLiteral("  Vﾓｰﾄﾞ "));
  f.MmousepointClick();
  EXPECT_EQ(f.SBarR()->PanelText(5), QStringLiteral("    "));
  f.Msubtoolbar1Click();
  EXPECT_FALSE(f.ToolBar2()->isVisible());
  EXPECT_EQ(f.LFilestring()->y(), 3);
  f.Msubtoolbar1Click();
  EXPECT_TRUE(f.ToolBar2()->isVisible());
  EXPECT_EQ(f.LFilestring()->y(), f.ToolBar2()->sizeHint().height() + 3);
}

TEST_F(MainWindowTest, CloseWritesTheSettingsAndRestartRestoresThem) {
  TForm1& f = Start();
  f.MrtfClick();
  f.MwordwrapClick();
  f.State().TabWidth = 4;
  f.close();
  const settings::TIniFile ini(IniPath());
  EXPECT_EQ(ini.ReadString("System", "Program", ""), "SORABU");
  EXPECT_EQ(ini.ReadString("System", "Version", ""), "5.4");
  EXPECT_TRUE(ini.ReadBool("Menu", "Mrtf", false));
  EXPECT_TRUE(ini.ReadBool("RichEdit", "WordWrap", false));
  EXPECT_EQ(ini.ReadInteger("RichEdit", "richtabwidth", 0), 4);
  EXPECT_EQ(ini.ReadSectionKeys("Menu"),
            (std::vector<std::string>{"Mdisp", "Mmousepoint", "Mlhashow", "Mrtf", "Mtoolbar", "Msubtoolbar",
                                      "Msubfolderview", "Mtodiropen", "Mdialogdisp1", "Mcloseinitview1", "Mbackup1",
                                      "Mdragdrop1", "Mlfline"}));
  const int height = ini.ReadInteger("PanelRB", "Height", 0);

  TForm1& again = Start();
  EXPECT_TRUE(again.OptionValue(Option::Mrtf));
  EXPECT_EQ(again.State().TabWidth, 4);
  EXPECT_EQ(again.PanelRBHeight(), height);
}

TEST_F(MainWindowTest, HidingThePaneKeepsItsHeightForTheClose) {
  TForm1& f = Start();
  const int before = f.PanelRBHeight();
  f.MeditView1Click();
  EXPECT_FALSE(f.TextPaneVisible());
  EXPECT_EQ(f.Action("MeditView1")->text(), QStringLiteral("テキスト表示を表示する(&I)"));
  EXPECT_LT(f.PanelRBHeight(), before);
  f.close();
  EXPECT_NEAR(settings::TIniFile(IniPath()).ReadInteger("PanelRB", "Height", 0), before, 2);
  EXPECT_TRUE(f.TextPaneVisible());
}

TEST_F(MainWindowTest, ResetDeletesTheFileAndLeavesAnEditablePane) {
  WriteIni("[Form]\r\nLeft=5\r\n");
  TForm1& f = Start();
  f.MeditView1Click();
  f.Minifileclear1Click();
  EXPECT_FALSE(QFile::exists(dir_.filePath("sorabu.ini")));
  EXPECT_TRUE(f.TextPaneVisible());
  EXPECT_FALSE(f.RichEdit1()->isReadOnly());
  EXPECT_NEAR(f.width(), QGuiApplication::primaryScreen()->availableGeometry().width(), 6);
  EXPECT_NE(f.x(), 5);
}

TEST_F(MainWindowTest, ShiftHeldClosesTheDisplayGate) {
  TForm1& f = Start();
  QTest::keyPress(f.RichEdit1(), Qt::Key_Shift, Qt::ShiftModifier);
  EXPECT_TRUE(f.State().ShiftDown);
  EXPECT_FALSE(f.State().DisplayGateOpen());
  QTest::keyRelease(f.RichEdit1(), Qt::Key_Shift, Qt::ShiftModifier);
  EXPECT_FALSE(f.State().ShiftDown);
  f.FormKeyDown(Qt::Key_Alt, Qt::AltModifier);
  EXPECT_TRUE(f.State().AltDown);
  f.FormKeyDown(Qt::Key_A, Qt::AltModifier | Qt::ShiftModifier);
  EXPECT_FALSE(f.State().AltDown);
  EXPECT_FALSE(f.State().ShiftDown);
}

TEST_F(MainWindowTest, CommandLineFileIsFoundWithBlanksAndAnyLetterCase) {
  const QString path = MakeFile(QStringLiteral("my file.TXT"), "first\r\nsecond\r\n");
  TForm1& f = Start();
  f.OpenCommandLineFile(QStringList{dir_.filePath(QStringLiteral("my")), QStringLiteral("file.txt")});
  EXPECT_EQ(f.Selection().SelectedPath(), path);
  EXPECT_EQ(f.RichEdit1()->TextBytes(), "first\r\nsecond");
  EXPECT_TRUE(f.State().DisplayEnabled);

  f.OpenCommandLineFile(QStringList{dir_.filePath(QStringLiteral("absent.txt"))});
  EXPECT_EQ(f.Selection().SelectedPath(), QString());
  EXPECT_EQ(f.Selection().Folder(), dir_.path());
  EXPECT_TRUE(f.State().DisplayEnabled);
}

TEST_F(MainWindowTest, SmallCommandsAndTheHint) {
  TForm1& f = Start();
  dialogs_.Answer("4");
  f.Mtabset1Click();
  EXPECT_EQ(f.State().TabWidth, 4);
  dialogs_.Answer("-2");
  f.Mtabset1Click();
  EXPECT_EQ(f.State().TabWidth, 4);
  dialogs_.Answer("x");
  f.Mtabset1Click();
  EXPECT_EQ(f.State().TabWidth, 8);

  dialogs_.Answer("161");
  f.MchartsetClick();
  EXPECT_EQ(f.CharSet(), 161);

  f.MwordwrapClick();
  f.MhyojiClick();
  EXPECT_EQ(f.Action("Mwordwrap")->text(), QStringLiteral("右で折り返さない(&R)"));
  EXPECT_TRUE(f.Action("ToolButton39")->isChecked());

  QStatusTipEvent tip(QStringLiteral("ファイルを全行読み込みます。"));
  QApplication::sendEvent(&f, &tip);
  EXPECT_EQ(f.StatusBar1()->PanelText(4), QStringLiteral("ファイルを全行読み込みます。"));
  EXPECT_EQ(f.Action("ToolButton49")->toolTip(), QStringLiteral("ファイル全行読込"));

  const QDate today = QDate::currentDate();
  EXPECT_TRUE(f.Action("Mnow")->text().startsWith(
      QStringLiteral(" %1.%2.%3 (").arg(today.year()).arg(today.month()).arg(today.day())));
}

TEST(Dialogs, BuiltAndReadWithoutBeingShown) {
  ui::TCharSetDialog charset(128, nullptr);
  EXPECT_EQ(charset.List()->currentText(), QStringLiteral("日本語シフトJIS"));
  EXPECT_EQ(charset.List()->count(), 19);
  ui::TCharSetDialog unknown(99, nullptr);
  EXPECT_EQ(unknown.List()->currentIndex(), -1);
  int chosen = -1;
  ui::TCharSetDialog live(0, [&](int v) { chosen = v; });
  live.List()->setCurrentIndex(live.List()->findText(QStringLiteral("キリル")));
  EXPECT_EQ(chosen, 204);

  dialogs::LoadRuleSetup setup;
  setup.caption = textconv::Utf8ToCp932("読み込み制限の設定");
  setup.checkEnabled = false;
  setup.bytes = 5000;
  ui::TLoadRuleDialog rules(setup);
  EXPECT_EQ(rules.windowTitle(), QStringLiteral("読み込み制限の設定"));
  EXPECT_FALSE(rules.Check()->isEnabled());
  rules.Bytes()->setValue(12000);
  EXPECT_EQ(rules.Answer().bytes, 12000);

  ui::TInputDialog input;
  EXPECT_EQ(input.windowTitle(), QStringLiteral("実行"));
  input.SetHistory({QStringLiteral("a"), QStringLiteral("b")});
  input.SetText(QStringLiteral("proposal"));
  EXPECT_EQ(input.Text(), QStringLiteral("proposal"));

  ui::TForm30 columns;
  columns.Setup(QStringLiteral("指定位置で改行"), QStringLiteral("何桁目から(1-9999)"), QStringLiteral("何文字分(1-9999)"),
                false, 0, 70000);
  EXPECT_EQ(columns.windowTitle(), QStringLiteral("指定位置で改行"));
  EXPECT_EQ(columns.SpinEdit1()->value(), 1) << "a start below the range is raised to 1";
  EXPECT_EQ(columns.SpinEdit2()->value(), 65353);
  EXPECT_TRUE(columns.SpinEdit2()->isHidden());
  EXPECT_TRUE(columns.Label2()->isHidden());

  ui::TForm3 splash;
  EXPECT_EQ(splash.VersionLabel()->text(), QStringLiteral("Ver. 5.4"));
  EXPECT_EQ(splash.size(), QSize(292, 178));
}

}  // namespace
}  // namespace sorabu::app

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  sorabu::uitext::UseJapaneseQt(app);  // as the program starts
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
