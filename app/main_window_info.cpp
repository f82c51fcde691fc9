// The date item of the menu bar, the 情報 menu's system items (system information, URL, the
// desktop's own programs and power requests) and the ヘルプ menu.
#include <QAction>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QTime>
#include <QToolBar>

#include "app/main_window.h"
#include "app/menu_items.h"
#include "app/system_services.h"
#include "browser/folder_view.h"
#include "info/date_texts.h"
#include "info/system_info.h"
#include "info/url_candidate.h"
#include "settings/ini_file.h"
#include "settings/input_history.h"
#include "textconv/cp932.h"
#include "uitext/qt_text.h"
#include "viewer/display.h"
#include "viewer/status_panels.h"
#include "viewer/text_pane.h"
#include "uitext/japanese_locale.h"

namespace sorabu::app {

namespace {

using Service = TSystemServices::Service;

using uitext::U;
std::string C(const char* utf8) { return textconv::Utf8ToCp932(utf8); }

constexpr int kMainTopic = 1001;

// The items of the Windowsシステム submenu: main and pop-up names and captions, the service, and
// what the item does here, for its hint.
struct TSystemItem {
  const char* name;
  const char* popupName;
  const char* caption;
  const char* popupCaption;
  void (TForm1::*slot)();
  Service service;
  const char* hint;
};
const TSystemItem kSystemItems[] = {
    {"Mgomi", "Mgomi1", "ごみ箱(&G)", "ごみ箱(&G)", &TForm1::MgomiClick, Service::Trash, "ごみ箱のフォルダーを開きます。"},
    {"Mdos", "Mdos1", "MS-DOSプロンプト(&I)", "MS-DOSプロンプト(&P)", &TForm1::MdosClick, Service::Terminal,
     "現在のフォルダーで端末を開きます。"},
    {"Mssaver", "Mssaver1", "スクリーンセーバーを表示(&V)", "スクリーンセーバーを表示(&E)", &TForm1::MssaverClick,
     Service::ScreenSaver, "スクリーンセーバーを起動します。"},
    {"Mstart", "Mstart1", "スタートメニューを表示(&Y)", "スタートメニューを表示(&M)", &TForm1::MstartClick,
     Service::AppMenu, "アプリケーションの一覧を開きます。"},
    {"Mcontrolpanel", "Mcontrolpanel1", "コントロールパネルを表示(&J)", "コントロールパネルを表示(&J)",
     &TForm1::McontrolpanelClick, Service::Settings, "システムの設定を開きます。"},
    {"Msend", "Msend1", "送信(&H)..", "送信(&H)..", &TForm1::MsendClick, Service::Mail,
     "テキストをメールで送ります。"},
    {nullptr, nullptr, nullptr, nullptr, nullptr, Service::Trash, nullptr},
    {"MexitW", "MexitW1", "Windowsの終了(&Q)", "Windowsの終了(&Q)", &TForm1::MexitWClick, Service::PowerOff,
     "コンピューターの電源を切ります。"},
    {"Msysreboot1", "Msysreboot2", "Windowsの再起動(&R)", "Windowsの再起動(&R)", &TForm1::Msysreboot1Click,
     Service::Reboot, "コンピューターを再起動します。"},
    {"Msyslogoff1", "Msyslogoff2", "Windowsのログオフ(&L)", "Windowsのログオフ(&L)", &TForm1::Msyslogoff1Click,
     Service::LogOff, "ログアウトします。"},
    {"Msysstandby1", "Msysstandby2", "Windowsのスタンバイ(&S)", "Windowsのスタンバイ(&S)",
     &TForm1::Msysstandby1Click, Service::Suspend, "コンピューターをサスペンドします。"},
};

const char* const kMissingHint = "このデスクトップでは使えません。";

info::TDateTime Now() {
  const QDate d = QDate::currentDate();
  const QTime t = QTime::currentTime();
  return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

std::string Weekday(QLocale::FormatType format) {
  return uitext::ToCp932Text(uitext::JapaneseWeekday(QDate::currentDate().dayOfWeek(), format));
}

// Sends the window's Close on to the help window, which is left open beside it otherwise.
class TCloseWatcher : public QObject {
 public:
  TCloseWatcher(QObject* parent, dialogs::TDialogs& dialogs) : QObject(parent), dialogs_(dialogs) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == parent() && event->type() == QEvent::Close) dialogs_.CloseHelp();
    return false;
  }

 private:
  dialogs::TDialogs& dialogs_;
};

}  // namespace

void TForm1::BuildInfoCommands() {
  ownServices_ = std::make_shared<TDesktopServices>();
  services_ = ownServices_.get();

  // 情報: the system items, with the Windowsシステム submenu, after what the menu holds already.
  static const MenuItemSpec kItems[] = {
      {},
      {"Msysteminfo1", "Msysteminfo2", "システム情報表示(&S)", &TForm1::Msysteminfo1Click},
      {"Murl", "Murl1", "URL先を開く(&H)", &TForm1::MurlClick},
      {},
  };
  InsertTwins(*this, menus_.info, TMenuEnd::Back, kItems);
  for (const bool popup : {false, true}) {
    QMenu* m = popup ? menus_.info.popup : menus_.info.main;
    QMenu* system = m->addMenu(U("Windowsシステム(&L)"));
    system->setObjectName(QString::fromLatin1(popup ? "Mwindows2" : "Mwindows"));
    system->menuAction()->setObjectName(system->objectName());
    for (const TSystemItem& item : kSystemItems) {
      if (!item.name) {
        system->addSeparator();
        continue;
      }
      QAction* a = MakeAction(*this, system, popup ? item.popupName : item.name, popup ? item.popupCaption : item.caption,
                              item.slot);
      a->setStatusTip(U(item.hint));
    }
  }

  // ヘルプ
  QMenu* help = menus_.help;
  MakeAction(*this, help, "Mcontents1", "目次(&C)", &TForm1::Mcontents1Click);
  MakeAction(*this, help, "Mkeyword1", "キーワードで検索(&S)...", &TForm1::Mkeyword1Click);
  MakeAction(*this, help, "Muse1", "ヘルプの使い方(&U)", &TForm1::Muse1Click);
  help->addSeparator();
  MakeAction(*this, help, "Mhanagumo1", "はなぐもホームページ(&H)", &TForm1::Mhanagumo1Click);
  help->addSeparator();
  MakeAction(*this, help, "Mversion1", "バージョン情報(&A)...", &TForm1::Mversion1Click);
  AddShortcuts(*this, menus_.shortcuts, {{"Mh", "&H ヘルプ", &TForm1::MhClick}});
  if (QAction* now = Action("Mnow")) connect(now, &QAction::triggered, this, &TForm1::MnowClick);

  ToolButton(*this, ToolBar1_, "ToolButton8", QStyle::SP_DialogHelpButton, &TForm1::ToolButton8Click);
  ToolButton(*this, ToolBar2_, "ToolButton48", QStyle::SP_DriveNetIcon, &TForm1::MurlClick);

  installEventFilter(new TCloseWatcher(this, dialogs_));
  ApplyServiceAvailability();
}

void TForm1::SetSystemServices(TSystemServices& services) {
  services_ = &services;
  ApplyServiceAvailability();
}

void TForm1::ApplyServiceAvailability() {
  for (const TSystemItem& item : kSystemItems) {
    if (!item.name) continue;
    const bool available = services_->Available(item.service);
    for (const char* name : {item.name, item.popupName}) {
      if (QAction* a = Action(name)) {
        a->setEnabled(available);
        a->setStatusTip(available ? U(item.hint) : U(item.hint) + U(kMissingHint));
      }
    }
  }
}

// --- The date item.

void TForm1::MnowClick() {
  FormShow();  // the caption follows the date also when the day changed meanwhile
  dialogs_.Information(info::NowMessage(Now(), Weekday(QLocale::ShortFormat), Weekday(QLocale::LongFormat)));
}

// --- 情報

void TForm1::Msysteminfo1Click() {
  if (!viewer_->ClearTextPane()) return;
  SBarR_->SetPanelText(0, QString());
  SBarR_->SetPanelText(1, QString());
  const QLocale locale = uitext::JapaneseLocale();
  const info::TSystemFacts facts =
      info::ReadSystemFacts(locale.toString(QDate::currentDate(), QLocale::ShortFormat).toStdString(),
                            QTime::currentTime().toString(QStringLiteral("H:mm:ss")).toStdString());
  RichEdit1_->AddLines(info::SystemInfoLines(facts));
}

void TForm1::MurlClick() {
  state_.DialogResult.clear();
  std::string candidate;
  if (!RichEdit1_->IsEmptyText()) {
    candidate = RichEdit1_->HasSelection() ? info::UrlFromSelection(RichEdit1_->SelectedBytes())
                                           : info::UrlFromLine(RichEdit1_->LineBytes(RichEdit1_->CaretLine()));
  }
  std::vector<std::string> history = settings::LoadHistory(settings::TIniFile(iniPath_), "URL");
  const auto answer = dialogs_.UrlDialog(C("インターネットのURLにジャンプ"),
                                         C("URLを入力して下さい。普段利用しているブラウザで表示します。"), history,
                                         candidate);
  if (answer) {
    state_.DialogResult = *answer;
    settings::TIniFile ini(iniPath_);
    settings::StoreHistory(ini, "URL", history, *answer);
    ini.UpdateFile();
  }
  // A failed start is not reported.
  if (!state_.DialogResult.empty()) (void)services_->OpenUrl(uitext::FromCp932(state_.DialogResult));
}

// The system items: a failed start is not reported, the mail alone says so.
void TForm1::MgomiClick() { (void)services_->Request(Service::Trash); }
void TForm1::MdosClick() {
  // The tree's virtual nodes (デスクトップ, マイコンピュータ) have no folder: the home folder stands in.
  const QString folder = FolderView1_->SelectedPath();
  (void)services_->Request(Service::Terminal, QFileInfo(folder).isDir() ? folder : QDir::homePath());
}
void TForm1::MssaverClick() { (void)services_->Request(Service::ScreenSaver); }
void TForm1::MstartClick() { (void)services_->Request(Service::AppMenu); }
void TForm1::McontrolpanelClick() { (void)services_->Request(Service::Settings); }
void TForm1::MexitWClick() { (void)services_->Request(Service::PowerOff); }
void TForm1::Msysreboot1Click() { (void)services_->Request(Service::Reboot); }
void TForm1::Msyslogoff1Click() { (void)services_->Request(Service::LogOff); }
void TForm1::Msysstandby1Click() { (void)services_->Request(Service::Suspend); }

void TForm1::MsendClick() {
  if (!services_->Request(Service::Mail, uitext::FromCp932(RichEdit1_->TextBytes())))
    dialogs_.Error(C("メールを送信できませんでした。"));
}

// --- ヘルプ

void TForm1::Mcontents1Click() { dialogs_.ShowHelp({dialogs::TDialogs::HelpRequest::Contents, 0, {}}); }
void TForm1::Mkeyword1Click() { dialogs_.ShowHelp({dialogs::TDialogs::HelpRequest::Keyword, 0, {}}); }
void TForm1::Muse1Click() { dialogs_.ShowHelp({dialogs::TDialogs::HelpRequest::Page, 0, "usehelp.html"}); }
void TForm1::MhClick() { dialogs_.ShowHelp({dialogs::TDialogs::HelpRequest::Topic, kMainTopic, {}}); }
// The maker's page is the manual's own page about the program.
void TForm1::Mhanagumo1Click() { dialogs_.ShowHelp({dialogs::TDialogs::HelpRequest::Page, 0, "about.html"}); }

void TForm1::Mversion1Click() {
  dialogs_.About(C("ソラブ") + "\r\r" + C("バージョン ") + SORABU_VERSION + "\r\r" +
                 C("テキストをすぐに見られるファイル管理ソフト"));
}

}  // namespace sorabu::app
