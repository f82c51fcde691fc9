// The date item, the 情報 menu's system items and the ヘルプ menu, driven with scripted dialogs
// and recorded desktop requests: no request leaves the test.
#include <gtest/gtest.h>

#include <QAction>
#include <QDate>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

#include "app/system_services.h"
#include "settings/ini_file.h"
#include "tests/app/window_fixture.h"
#include "textconv/cp932.h"
#include "viewer/text_pane.h"

namespace sorabu::app {
namespace {

using Service = TSystemServices::Service;

std::string C(const char* utf8) { return textconv::Utf8ToCp932(utf8); }

class InfoWindowTest : public MainWindowTest {
 protected:
  TForm1& StartRecording() {
    TForm1& f = Start();
    f.SetSystemServices(services_);
    return f;
  }
  TRecordingServices services_;
};

TEST_F(InfoWindowTest, ItemsStandInTheirMenusWithTwinsAndButtons) {
  TForm1& f = StartRecording();
  auto menuOf = [&](const char* name) {
    for (QMenu* m : f.findChildren<QMenu*>())
      if (m->actions().contains(f.Action(name))) return m->objectName();
    return QString();
  };
  EXPECT_EQ(menuOf("Msysteminfo1"), QStringLiteral("Minfo"));
  EXPECT_EQ(menuOf("Msysteminfo2"), QStringLiteral("Minfo2"));
  EXPECT_EQ(menuOf("Murl"), QStringLiteral("Minfo"));
  EXPECT_EQ(menuOf("Mgomi"), QStringLiteral("Mwindows"));
  EXPECT_EQ(menuOf("Msysstandby2"), QStringLiteral("Mwindows2"));
  EXPECT_EQ(f.findChild<QMenu*>(QStringLiteral("Mwindows"))->title(), QStringLiteral("Windowsシステム(&L)"));
  EXPECT_EQ(f.Action("Mdos")->text(), QStringLiteral("MS-DOSプロンプト(&I)"));
  EXPECT_EQ(f.Action("Mdos1")->text(), QStringLiteral("MS-DOSプロンプト(&P)"));
  EXPECT_EQ(f.Action("Mssaver1")->text(), QStringLiteral("スクリーンセーバーを表示(&E)"));
  EXPECT_EQ(f.Action("Mstart")->text(), QStringLiteral("スタートメニューを表示(&Y)"));
  const QStringList help = {"Mcontents1", "Mkeyword1", "Muse1", "Mhanagumo1", "Mversion1"};
  for (const QString& name : help) EXPECT_EQ(menuOf(name.toLatin1().constData()), QStringLiteral("Mhelp1")) << name.toStdString();
  EXPECT_EQ(f.Action("Mkeyword1")->text(), QStringLiteral("キーワードで検索(&S)..."));
  EXPECT_EQ(menuOf("Mh"), QStringLiteral("Mshortcut"));
  EXPECT_EQ(f.Action("Mh")->text(), QStringLiteral("&H ヘルプ"));
  // ヘルプ(H) just before 終了(Q); URL on the text tool bar.
  const QList<QAction*> bar1 = f.ToolBar1()->actions();
  EXPECT_EQ(bar1.indexOf(f.Action("ToolButton8")) + 1, bar1.indexOf(f.Action("ToolButton2")));
  EXPECT_EQ(f.Action("ToolButton8")->statusTip(), QStringLiteral("ヘルプを表示します。"));
  EXPECT_TRUE(f.ToolBar2()->actions().contains(f.Action("ToolButton48")));
  EXPECT_EQ(f.Action("ToolButton48")->statusTip(), QStringLiteral("URL先を開きます。"));
}

TEST_F(InfoWindowTest, DateItemShowsTodayAndItsMessage) {
  TForm1& f = StartRecording();
  const QDate today = QDate::currentDate();
  const QString caption = f.Action("Mnow")->text();
  EXPECT_TRUE(caption.startsWith(QStringLiteral(" %1.%2.%3 (").arg(today.year()).arg(today.month()).arg(today.day())))
      << caption.toStdString();
  f.Action("Mnow")->trigger();
  ASSERT_EQ(dialogs_.Messages().size(), 1u);
  const auto& message = dialogs_.Messages()[0];
  EXPECT_EQ(message.kind, dialogs::TScriptedDialogs::Message::Information);
  const std::string dateLine = std::to_string(today.year()) + C("年 ") + std::to_string(today.month()) + C("月 ") +
                               std::to_string(today.day()) + C("日 (");
  EXPECT_EQ(message.text.rfind(C("現在") + "\r\r" + dateLine, 0), 0u);
  EXPECT_NE(message.text.find(C("令和")), std::string::npos);
  EXPECT_NE(message.text.find(C("座")), std::string::npos);
}

TEST_F(InfoWindowTest, SystemInformationFillsThePane) {
  TForm1& f = StartRecording();
  f.RichEdit1()->LoadBytes("old text\r\n");
  f.Action("Msysteminfo1")->trigger();
  const std::string text = f.RichEdit1()->TextBytes();
  EXPECT_EQ(text.find("old text"), std::string::npos);
  EXPECT_EQ(text.rfind(C("Windowsﾃﾞｨﾚｸﾄﾘ = "), 0), 0u);
  for (const char* label : {"ｶﾚﾝﾄﾃﾞｨﾚｸﾄﾘ = ", "ｺﾝﾋﾟｭｰﾀｰ名 = ", "ﾌﾟﾛﾀﾞｸﾄﾀｲﾌﾟ = Linux", "環境変数 = ", "日付 = ",
                            "時間 = ", "起動時間 = "})
    EXPECT_NE(text.find(C(label)), std::string::npos) << label;
  EXPECT_EQ(text.find(C("会社名 = ")), std::string::npos);  // no counterpart: no line
}

TEST_F(InfoWindowTest, UrlComesFromTheCaretLineOrSelectionAndIsOpened) {
  TForm1& f = StartRecording();
  f.RichEdit1()->LoadBytes("see http://a.jp/\r\nhttp://b.jp/x more words\r\n" + C("　") + "http://c.jp/ \r\n");
  // A first word without "://": the dialog opens empty.
  f.RichEdit1()->SetCaretToLine(0);
  dialogs_.Answer("http://typed.jp/");
  f.MurlClick();
  f.RichEdit1()->SetCaretToLine(1);
  dialogs_.Answer("http://b.jp/x");
  f.Action("ToolButton48")->trigger();
  // A selection that starts with an ideographic space and ends with a blank.
  const std::string all = f.RichEdit1()->TextBytes();
  const std::size_t start = all.find(C("　"));
  f.RichEdit1()->SelectBytes(start, all.find("\r\n", start) - start);
  dialogs_.Cancel();
  f.Action("Murl")->trigger();
  ASSERT_EQ(dialogs_.Offered().size(), 3u);
  EXPECT_EQ(dialogs_.Offered()[0], "");
  EXPECT_EQ(dialogs_.Offered()[1], "http://b.jp/x|http://typed.jp/");
  EXPECT_EQ(dialogs_.Offered()[2], "http://c.jp/|http://b.jp/x|http://typed.jp/");
  EXPECT_EQ(dialogs_.Questions()[0], C("インターネットのURLにジャンプ"));
  // Two confirmed answers opened, the cancelled one not; the history keeps the newest first.
  EXPECT_EQ(services_.requests, QStringList({"open http://typed.jp/", "open http://b.jp/x"}));
  EXPECT_EQ(f.State().DialogResult, "");
  const std::vector<std::string> history = [&] {
    settings::TIniFile ini(IniPath());
    return std::vector<std::string>{ini.ReadString("URL", "Items_0", ""), ini.ReadString("URL", "Items_1", "")};
  }();
  EXPECT_EQ(history, (std::vector<std::string>{"#http://b.jp/x#", "#http://typed.jp/#"}));
}

TEST_F(InfoWindowTest, SystemItemsSendTheirRequests) {
  TForm1& f = StartRecording();
  f.RichEdit1()->LoadBytes(C("本文です") + "\r\n");
  for (const char* name : {"Mgomi", "Mssaver1", "Mstart", "Mcontrolpanel1", "MexitW", "Msysreboot2", "Msyslogoff1",
                           "Msysstandby2", "Msend"})
    f.Action(name)->trigger();
  f.Action("Mdos1")->trigger();
  ASSERT_EQ(services_.requests.size(), 10);
  auto code = [](Service s) { return QString::number(static_cast<int>(s)); };
  EXPECT_EQ(services_.requests.mid(0, 8),
            QStringList({code(Service::Trash), code(Service::ScreenSaver), code(Service::AppMenu),
                         code(Service::Settings), code(Service::PowerOff), code(Service::Reboot),
                         code(Service::LogOff), code(Service::Suspend)}));
  EXPECT_TRUE(services_.requests[8].startsWith(code(Service::Mail) + QStringLiteral(" 本文です")));
  EXPECT_TRUE(services_.requests[9].startsWith(code(Service::Terminal) + QStringLiteral(" /")));
  EXPECT_TRUE(dialogs_.Messages().empty());
}

TEST_F(InfoWindowTest, FailuresAreSilentExceptTheMail) {
  TForm1& f = StartRecording();
  services_.succeed = false;
  f.Action("Mgomi")->trigger();
  f.Action("MexitW")->trigger();
  EXPECT_TRUE(dialogs_.Messages().empty());
  f.Action("Msend1")->trigger();
  ASSERT_EQ(dialogs_.Messages().size(), 1u);
  EXPECT_EQ(dialogs_.Messages()[0].kind, dialogs::TScriptedDialogs::Message::Error);
}

TEST_F(InfoWindowTest, MissingServicesDisableTheirItemsWithAHint) {
  TForm1& f = Start();
  services_.missing = {Service::ScreenSaver, Service::Suspend};
  f.SetSystemServices(services_);
  for (const char* name : {"Mssaver", "Mssaver1", "Msysstandby1", "Msysstandby2"}) {
    EXPECT_FALSE(f.Action(name)->isEnabled()) << name;
    EXPECT_TRUE(f.Action(name)->statusTip().contains(QStringLiteral("使えません"))) << name;
  }
  EXPECT_TRUE(f.Action("Mgomi")->isEnabled());
  EXPECT_FALSE(f.Action("Mgomi")->statusTip().contains(QStringLiteral("使えません")));
}

TEST_F(InfoWindowTest, HelpItemsAskForTheirPages) {
  TForm1& f = StartRecording();
  for (const char* name : {"Mcontents1", "Mkeyword1", "Muse1", "Mh", "ToolButton8", "Mhanagumo1"})
    f.Action(name)->trigger();
  // The H key of the file list opens the main topic too.
  EXPECT_TRUE(f.FileView1KeyPress(QStringLiteral("h")));
  EXPECT_TRUE(f.FileView1KeyPress(QStringLiteral("ｸ")));
  EXPECT_EQ(dialogs_.Helps(), (std::vector<std::string>{"contents", "keyword", "page usehelp.html", "topic 1001",
                                                        "topic 1001", "page about.html", "topic 1001", "topic 1001"}));
  f.Action("Mversion1")->trigger();
  ASSERT_EQ(dialogs_.Messages().size(), 1u);
  EXPECT_NE(dialogs_.Messages()[0].text.find(SORABU_VERSION), std::string::npos);
  f.close();
  EXPECT_EQ(dialogs_.Helps().back(), "close");
}

}  // namespace
}  // namespace sorabu::app
