// The menu bar and its pop-up twin, the two tool bars, and the helpers every group of commands
// uses to add its items and buttons; the application menu and the registered folders from the
// settings file.
#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <QUrl>
#include <QWidgetAction>

#include "app/main_window.h"
#include "app/menu_items.h"
#include "custom/entry_lists.h"
#include "custom/tool_buttons.h"
#include "settings/ini_file.h"
#include "settings/setting_keys.h"
#include "uitext/qt_text.h"
#include "viewer/text_pane.h"

namespace sorabu::app {

namespace {

using uitext::U;

QMenu* AddMenu(QWidget* owner, QMenuBar* bar, const char* name, const char* caption) {
  auto* menu = new QMenu(U(caption), owner);
  menu->setObjectName(QString::fromLatin1(name));
  bar->addMenu(menu);
  return menu;
}

QMenu* AddSubMenu(QMenu* parent, const char* name, const char* caption) {
  QMenu* menu = parent->addMenu(U(caption));
  menu->setObjectName(QString::fromLatin1(name));
  menu->menuAction()->setObjectName(QString::fromLatin1(name));
  return menu;
}

}  // namespace

QAction* TForm1::Action(const char* name) const {
  return findChild<QAction*>(QString::fromLatin1(name));
}

QAction* TForm1::OptionAction(Option o, bool popup) const {
  const TOptionItem& item = options_[static_cast<std::size_t>(o)];
  return popup ? item.popup : item.main;
}

void TForm1::BindOption(Option o, QMenu* mainMenu, QMenu* popupMenu, const char* mainName,
                        const char* popupName, const char* caption, const char* key, bool def,
                        void (TForm1::*slot)()) {
  TOptionItem& item = options_[static_cast<std::size_t>(o)];
  item.main = MakeAction(*this, mainMenu, mainName, caption, slot, true);
  item.popup = MakeAction(*this, popupMenu, popupName, caption, slot, true);
  item.key = key;
  item.value = def;
  item.main->setChecked(def);
  item.popup->setChecked(def);
}

TMenus TForm1::BuildMenus() {
  QMenuBar* bar = menuBar();
  PopupMenu1_ = new QMenu(this);
  PopupMenu1_->setObjectName(QStringLiteral("PopupMenu1"));
  PopupMenu2_ = new QMenu(this);
  PopupMenu2_->setObjectName(QStringLiteral("PopupMenu2"));

  // The menu bar's menus, then the pop-up copy under the window's right button.
  TMenus m;
  const std::pair<TMenuTwins*, std::array<const char*, 3>> kTwins[] = {
      {&m.file, {"Mfile1", "Mfile2", "ファイル(&F)"}},
      {&m.edit, {"Medit1", "Medit2", "編集(&E)"}},
      {&m.del, {"Msakujo", "Msakujo2", "削除(&K)"}},
      {&m.search, {"Mkensaku", "Mkensaku2", "検索(&S)"}},
      {&m.view, {"Mhyoji", "Mhyoji1", "表示(&D)"}},
      {&m.convert, {"Mhenkan1", "Mhenkan2", "変換(&C)"}},
      {&m.archive, {"Marc", "Marc2", "書庫(&L)"}},
      {&m.info, {"Minfo", "Minfo2", "情報(&I)"}},
      {&m.apps, {"Mexe", "Mexe2", "アプリケーション(&A)"}},
      {&m.options, {"Moption1", "Moption2", "設定(&O)"}},
  };
  for (const auto& [twins, names] : kTwins) twins->main = AddMenu(this, bar, names[0], names[2]);
  m.help = AddMenu(this, bar, "Mhelp1", "ヘルプ(&H)");
  bar->addAction(MakeAction(*this, nullptr, "Mnow", "現在日付", nullptr));
  for (const auto& [twins, names] : kTwins) twins->popup = AddSubMenu(PopupMenu1_, names[1], names[2]);
  PopupMenu1_->addSeparator();
  m.shortcuts = AddSubMenu(PopupMenu1_, "Mshortcut", "ショートカットキー(&X)");
  MakeAction(*this, m.shortcuts, "Mv", "&V テキストを全行表示", &TForm1::MvClick);
  MakeAction(*this, m.shortcuts, "Mjump2", "&J 指定行へジャンプ", &TForm1::MjumpClick);
  MakeAction(*this, m.shortcuts, "Mquit3", "&Q 終了<ESC>", &TForm1::Mexit1Click);
  MakeAction(*this, PopupMenu1_, "Mquit", "ソラブの終了(&Q)", &TForm1::Mexit1Click);
  MakeAction(*this, PopupMenu1_, "Mclosemenu", "メニューを閉じる(&Z)", nullptr);

  // ファイル
  static const MenuItemSpec kFile[] = {{}, {"Mexit1", "Mexit2", "終了(&X)", &TForm1::Mexit1Click}};
  InsertTwins(*this, m.file, TMenuEnd::Back, kFile);

  // 表示
  connect(m.view.main, &QMenu::aboutToShow, this, &TForm1::MhyojiClick);
  connect(m.view.popup, &QMenu::aboutToShow, this, &TForm1::Mhyoji1Click);
  static const MenuItemSpec kView[] = {
      {"Mtextrepaint1", "Mtextrepaint2", "テキストを再表示(&B)", &TForm1::Mtextrepaint1Click},
      // The pop-up's reads 再表示: it stands where a file is already shown.
      {"Mtextnewview", "Mtextnewview1", "ファイルを全行表示(&T)", &TForm1::MtextnewviewClick, nullptr,
       "ファイルの再表示(&T)"},
      {},
      {"Mjump", "Mjump1", "←指定行へ移動(&J)", &TForm1::MjumpClick},
      {"Mlinetop1", "Mlinetop2", "↑先頭行へ移動(&T)", &TForm1::Mlinetop1Click},
      {"Mlinebottom1", "Mlinebottom2", "↓最終行へ移動(&B)", &TForm1::Mlinebottom1Click},
      {},
      {"MeditView1", "Meditview2", "テキスト表示を隠す(&I)", &TForm1::MeditView1Click},
      {"Mwordwrap", "Mwordwrap1", "右で折り返す(&R)", &TForm1::MwordwrapClick},
      {},
      {"Mfonttext", "Mfonttext1", "テキストのフォント(&F)...", &TForm1::MfonttextClick},
      {"Mfontfile", "Mfontfile1", "ファイル一覧のフォント(&L)...", &TForm1::MfontfileClick},
  };
  InsertTwins(*this, m.view, TMenuEnd::Back, kView);
  Mfileviewcolum_ = AddSubMenu(m.view.main, "Mfileviewcolum", "列幅(&W)");
  // 変換: the code conversion submenu is filled by the conversion commands.
  Mcodehenkan1_ = AddSubMenu(m.convert.main, "Mcodehenkan1", "文字コード変換(&K)");
  Mcodehenkan2_ = AddSubMenu(m.convert.popup, "Mcodehenkan2", "文字コード変換(&K)");
  // 書庫: present from the start so that a missing LHA library can disable them.

  // アプリケーション: entries come from the settings file.
  Mexedo_ = AddSubMenu(m.apps.main, "Mexedo", "実行(&G)");
  Mexedo2_ = AddSubMenu(m.apps.popup, "Mexedo2", "実行(&G)");

  // 設定
  QMenu* const options = m.options.main;
  QMenu* const poptions = m.options.popup;
  connect(poptions, &QMenu::aboutToShow, this, &TForm1::Moption2Click);
  BindOption(Option::Mdisp, options, poptions, "Mdisp", "Mdisp1", "テキスト瞬時表示(&T)", "Mdisp", true, &TForm1::MdispClick);
  BindOption(Option::Mmousepoint, options, poptions, "Mmousepoint", "Mmousepoint1", "マウスポインタ表示(&H)", "Mmousepoint", true, &TForm1::MmousepointClick);
  BindOption(Option::Mlhashow, options, poptions, "Mlhashow", "Mlhashow1", "LHA書庫内容表示(&L)", "Mlhashow", false, &TForm1::MlhashowClick);
  BindOption(Option::Mrtf, options, poptions, "Mrtf", "Mrtf1", "RTF形式(&R)", "Mrtf", false, &TForm1::MrtfClick);
  BindOption(Option::Mtoolbar, options, poptions, "Mtoolbar", "Mtoolbar2", "ツールバー表示(&B)", "Mtoolbar", true, &TForm1::MtoolbarClick);
  BindOption(Option::Msubtoolbar1, options, poptions, "Msubtoolbar1", "Msubtoolbar2", "テキストツールバー表示", "Msubtoolbar", true, &TForm1::Msubtoolbar1Click);
  BindOption(Option::Msubfolderview1, options, poptions, "Msubfolderview1", "Msubfolderview2", "サブフォルダーを展開", "Msubfolderview", true, &TForm1::Msubfolderview1Click);
  BindOption(Option::Mtodiropen1, options, poptions, "Mtodiropen1", "Mtodiropen2", "処理先フォルダー表示(&F)", "Mtodiropen", false, &TForm1::Mtodiropen1Click);
  BindOption(Option::Mdialogdisp1, options, poptions, "Mdialogdisp1", "Mdialogdisp2", "処理後確認表示(&D)", "Mdialogdisp1", true, &TForm1::Mdialogdisp1Click);
  BindOption(Option::Mcloseinitview1, options, poptions, "Mcloseinitview1", "Mcloseinitview2", "終了時ファイル未選択(&I)", "Mcloseinitview1", true, &TForm1::Mcloseinitview1Click);
  BindOption(Option::Mbackup1, options, poptions, "Mbackup1", "Mbackup2", "保存時バックアップ作成", "Mbackup1", true, &TForm1::Mbackup1Click);
  BindOption(Option::Mdragdrop1, options, poptions, "Mdragdrop1", "Mdragdrop2", "ドラッグ&&ドロップ使用", "Mdragdrop1", false, &TForm1::Mdragdrop1Click);
  BindOption(Option::Mlfline, options, poptions, "Mlfline", "Mlfline1", "LFも改行として扱う(&U)", settings::kLfLines.key, settings::kLfLines.fallback, &TForm1::MlflineClick);
  static const MenuItemSpec kSettings[] = {
      {},
      {"Mchartset", "Mchartset1", "テキストの文字種類(&C)", &TForm1::MchartsetClick},
      {"MstreamRead1", "MstreamRead2", "Stream読み込みの設定(&M)", &TForm1::MstreamRead1Click},
      {"Mreadmax1", "Mreadmax2", "読み込み制限の設定(&Y)", &TForm1::Mreadmax1Click},
      {"Mtabset1", "Mtabset2", "TAB位置設定", &TForm1::Mtabset1Click},
      {"Minifileclear1", "Minifileclear2", "INIファイル削除･初期化", &TForm1::Minifileclear1Click},
      {"Mricheditloadline", "Mricheditloadline1", "表示行数の設定", &TForm1::MricheditloadlineClick},
  };
  InsertTwins(*this, m.options, TMenuEnd::Back, kSettings);

  for (QWidget* w : {static_cast<QWidget*>(PanelL_), static_cast<QWidget*>(PanelRT_), static_cast<QWidget*>(RichEdit1_)}) {
    w->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(w, &QWidget::customContextMenuRequested, this,
            [this, w](const QPoint& pos) { PopupMenu1_->popup(w->mapToGlobal(pos)); });
  }
  return m;
}

void TForm1::BuildToolBars() {
  ToolBar1_ = addToolBar(QStringLiteral("ToolBar1"));
  ToolBar1_->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar1_->setMovable(false);
  ToolBar1_->setIconSize(QSize(20, 20));
  ToolButton(*this, ToolBar1_, "ToolButton2", QStyle::SP_DialogCloseButton, &TForm1::Mexit1Click);

  // The show/hide button is fixed at the start of the text bar and not in the table.
  auto* edit = MakeAction(*this, nullptr, "SBeditview", "表示切替", &TForm1::MeditView1Click);
  edit->setIcon(style()->standardIcon(QStyle::SP_TitleBarShadeButton));
  edit->setToolTip(U("隠す"));
  edit->setStatusTip(U("テキスト表示を隠します。"));
  ToolBar2_->addAction(edit);
  ToolButton(*this, ToolBar2_, "ToolButton49", QStyle::SP_FileDialogContentsView, &TForm1::ToolButton49Click);
  ToolButton(*this, ToolBar2_, "ToolButton17", QStyle::SP_BrowserReload, &TForm1::Mtextrepaint1Click);
  ToolButton(*this, ToolBar2_, "ToolButton25", QStyle::SP_ArrowUp, &TForm1::Mlinetop1Click);
  ToolButton(*this, ToolBar2_, "ToolButton26", QStyle::SP_ArrowDown, &TForm1::Mlinebottom1Click);
  toolButtons_.ToolButton39 = ToolButton(*this, ToolBar2_, "ToolButton39", QStyle::SP_ArrowRight, &TForm1::MwordwrapClick);
  toolButtons_.ToolButton39->setCheckable(true);
  LayoutTextHeader();
}

void TForm1::ApplyToolButtonSettings(const settings::TIniFile& ini) {
  for (const custom::TToolButtonInfo& b : custom::MainToolButtons()) toolbtnset(b.name, ini.ReadBool(settings::kMainToolBarSection, b.name, settings::kToolButtonShown));
  for (const custom::TToolButtonInfo& b : custom::ViewToolButtons()) toolbtnset2(b.name, ini.ReadBool(settings::kViewToolBarSection, b.name, settings::kToolButtonShown));
}

void TForm1::LoadApplicationMenu(const settings::TIniFile& ini) {
  Mexedo_->clear();
  Mexedo2_->clear();
  const std::vector<dialogs::AppEntry> entries = custom::ReadApplications(ini);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const QString name = uitext::FromCp932(entries[i].name);
    const QString caption = QStringLiteral("&%1 %2").arg(i + 1).arg(name);
    for (QMenu* menu : {Mexedo_, Mexedo2_}) {
      QAction* a = menu->addAction(caption);
      a->setData(static_cast<int>(i + 1));
      a->setStatusTip(name);
      connect(a, &QAction::triggered, this, [this, a] { appexe(a); });
    }
  }
}

void TForm1::LoadRegisteredFolders(const settings::TIniFile& ini) {
  PopupMenu2_->clear();
  const std::vector<std::string> folders = custom::ReadFolders(ini);
  for (std::size_t i = 0; i < folders.size(); ++i) {
    if (folders[i].empty()) continue;
    const QString folder = uitext::FromCp932(folders[i]);
    QAction* a = PopupMenu2_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(folder));
    a->setData(static_cast<int>(i + 1));
    a->setStatusTip(folder);
    connect(a, &QAction::triggered, this, [this, a] { torokufolderjump(a); });
  }
}

}  // namespace sorabu::app
