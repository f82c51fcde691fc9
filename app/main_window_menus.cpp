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
#include "custom/entry_lists.h"
#include "custom/tool_buttons.h"
#include "settings/ini_file.h"
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

QAction* TForm1::MakeAction(QMenu* menu, const char* name, const char* caption, void (TForm1::*slot)(),
                            bool checkable) {
  auto* action = new QAction(U(caption), this);
  action->setObjectName(QString::fromLatin1(name));
  action->setCheckable(checkable);
  if (slot) connect(action, &QAction::triggered, this, slot);
  if (menu) menu->addAction(action);
  return action;
}

void TForm1::InsertMenuItems(QMenu* menu, QAction* before, bool popup, std::span<const MenuItemSpec> items) {
  for (const MenuItemSpec& item : items) {
    QAction* a = nullptr;
    if (!item.name) {
      a = new QAction(menu);
      a->setSeparator(true);
    } else {
      a = MakeAction(nullptr, popup ? item.popupName : item.name, item.caption,
                     popup && item.popupSlot ? item.popupSlot : item.slot);
    }
    menu->insertAction(before, a);
  }
}

QAction* TForm1::ToolButton(QToolBar* bar, QAction* before, const char* name, QStyle::StandardPixmap icon,
                            void (TForm1::*slot)()) {
  const custom::TToolButtonInfo* info = custom::FindToolButton(name);
  QAction* a = MakeAction(nullptr, name, info ? info->tip : name, slot);
  a->setIcon(style()->standardIcon(icon));
  if (info) {
    a->setToolTip(U(info->tip));
    a->setStatusTip(U(info->status));
  }
  if (before) bar->insertAction(before, a);
  else bar->addAction(a);
  return a;
}

void TForm1::ToolDivider(QToolBar* bar, QAction* before, const char* name) {
  const custom::TToolButtonInfo* info = custom::FindToolButton(name);
  auto* spacer = new QWidget(bar);
  spacer->setFixedWidth(info && info->dividerWidth > 0 ? info->dividerWidth : 8);
  QAction* a = before ? bar->insertWidget(before, spacer) : bar->addWidget(spacer);
  a->setObjectName(QString::fromLatin1(name));
}

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
  item.main = MakeAction(mainMenu, mainName, caption, slot, true);
  item.popup = MakeAction(popupMenu, popupName, caption, slot, true);
  item.key = key;
  item.value = def;
  item.main->setChecked(def);
  item.popup->setChecked(def);
}

void TForm1::BuildMenus() {
  QMenuBar* bar = menuBar();
  PopupMenu1_ = new QMenu(this);
  PopupMenu1_->setObjectName(QStringLiteral("PopupMenu1"));
  PopupMenu2_ = new QMenu(this);
  PopupMenu2_->setObjectName(QStringLiteral("PopupMenu2"));

  QMenu* file = AddMenu(this, bar, "Mfile1", "ファイル(&F)");
  QMenu* edit = AddMenu(this, bar, "Medit1", "編集(&E)");
  QMenu* del = AddMenu(this, bar, "Msakujo", "削除(&K)");
  QMenu* search = AddMenu(this, bar, "Mkensaku", "検索(&S)");
  QMenu* view = AddMenu(this, bar, "Mhyoji", "表示(&D)");
  QMenu* convert = AddMenu(this, bar, "Mhenkan1", "変換(&C)");
  QMenu* archive = AddMenu(this, bar, "Marc", "書庫(&L)");
  QMenu* info = AddMenu(this, bar, "Minfo", "情報(&I)");
  QMenu* apps = AddMenu(this, bar, "Mexe", "アプリケーション(&A)");
  QMenu* options = AddMenu(this, bar, "Moption1", "設定(&O)");
  QMenu* help = AddMenu(this, bar, "Mhelp1", "ヘルプ(&H)");
  auto* now = MakeAction(nullptr, "Mnow", "現在日付", nullptr);
  bar->addAction(now);
  Q_UNUSED(edit);
  Q_UNUSED(del);
  Q_UNUSED(search);
  Q_UNUSED(info);
  Q_UNUSED(help);

  // The pop-up copy: the same menus, under the window's right button.
  QMenu* pfile = AddSubMenu(PopupMenu1_, "Mfile2", "ファイル(&F)");
  AddSubMenu(PopupMenu1_, "Medit2", "編集(&E)");
  AddSubMenu(PopupMenu1_, "Msakujo2", "削除(&K)");
  AddSubMenu(PopupMenu1_, "Mkensaku2", "検索(&S)");
  QMenu* pview = AddSubMenu(PopupMenu1_, "Mhyoji1", "表示(&D)");
  QMenu* pconvert = AddSubMenu(PopupMenu1_, "Mhenkan2", "変換(&C)");
  AddSubMenu(PopupMenu1_, "Marc2", "書庫(&L)");
  AddSubMenu(PopupMenu1_, "Minfo2", "情報(&I)");
  QMenu* papps = AddSubMenu(PopupMenu1_, "Mexe2", "アプリケーション(&A)");
  QMenu* poptions = AddSubMenu(PopupMenu1_, "Moption2", "設定(&O)");
  PopupMenu1_->addSeparator();
  QMenu* shortcuts = AddSubMenu(PopupMenu1_, "Mshortcut", "ショートカットキー(&X)");
  MakeAction(shortcuts, "Mv", "&V テキストを全行表示", &TForm1::MvClick);
  MakeAction(shortcuts, "Mjump2", "&J 指定行へジャンプ", &TForm1::MjumpClick);
  MakeAction(shortcuts, "Mquit3", "&Q 終了<ESC>", &TForm1::Mexit1Click);
  MakeAction(PopupMenu1_, "Mquit", "ソラブの終了(&Q)", &TForm1::Mexit1Click);
  MakeAction(PopupMenu1_, "Mclosemenu", "メニューを閉じる(&Z)", nullptr);

  // ファイル
  file->addSeparator();
  MakeAction(file, "Mexit1", "終了(&X)", &TForm1::Mexit1Click);
  MakeAction(pfile, "Mexit2", "終了(&X)", &TForm1::Mexit1Click);

  // 表示
  connect(view, &QMenu::aboutToShow, this, &TForm1::MhyojiClick);
  connect(pview, &QMenu::aboutToShow, this, &TForm1::Mhyoji1Click);
  for (QMenu* m : {view, pview}) {
    const bool p = m == pview;
    MakeAction(m, p ? "Mtextrepaint2" : "Mtextrepaint1", "テキストを再表示(&B)", &TForm1::Mtextrepaint1Click);
    MakeAction(m, p ? "Mtextnewview1" : "Mtextnewview", p ? "ファイルの再表示(&T)" : "ファイルを全行表示(&T)",
               &TForm1::MtextnewviewClick);
    m->addSeparator();
    MakeAction(m, p ? "Mjump1" : "Mjump", "←指定行へ移動(&J)", &TForm1::MjumpClick);
    MakeAction(m, p ? "Mlinetop2" : "Mlinetop1", "↑先頭行へ移動(&T)", &TForm1::Mlinetop1Click);
    MakeAction(m, p ? "Mlinebottom2" : "Mlinebottom1", "↓最終行へ移動(&B)", &TForm1::Mlinebottom1Click);
    m->addSeparator();
    MakeAction(m, p ? "Meditview2" : "MeditView1", "テキスト表示を隠す(&I)", &TForm1::MeditView1Click);
    MakeAction(m, p ? "Mwordwrap1" : "Mwordwrap", "右で折り返す(&R)", &TForm1::MwordwrapClick);
    m->addSeparator();
    MakeAction(m, p ? "Mfonttext1" : "Mfonttext", "テキストのフォント(&F)...", &TForm1::MfonttextClick);
    MakeAction(m, p ? "Mfontfile1" : "Mfontfile", "ファイル一覧のフォント(&L)...", &TForm1::MfontfileClick);
    if (!p) {
      Mfileviewcolum_ = AddSubMenu(m, "Mfileviewcolum", "列幅(&W)");
    }
  }
  // 変換: the code conversion submenu is filled by the conversion commands.
  Mcodehenkan1_ = AddSubMenu(convert, "Mcodehenkan1", "文字コード変換(&K)");
  Mcodehenkan2_ = AddSubMenu(pconvert, "Mcodehenkan2", "文字コード変換(&K)");
  // 書庫: present from the start so that a missing LHA library can disable them.
  Q_UNUSED(archive);

  // アプリケーション: entries come from the settings file.
  Mexedo_ = AddSubMenu(apps, "Mexedo", "実行(&G)");
  Mexedo2_ = AddSubMenu(papps, "Mexedo2", "実行(&G)");

  // 設定
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
  BindOption(Option::Mlfline, options, poptions, "Mlfline", "Mlfline1", "LFも改行として扱う(&U)", "Mlfline", true, &TForm1::MlflineClick);
  for (QMenu* m : {options, poptions}) {
    const bool p = m == poptions;
    m->addSeparator();
    MakeAction(m, p ? "Mchartset1" : "Mchartset", "テキストの文字種類(&C)", &TForm1::MchartsetClick);
    MakeAction(m, p ? "MstreamRead2" : "MstreamRead1", "Stream読み込みの設定(&M)", &TForm1::MstreamRead1Click);
    MakeAction(m, p ? "Mreadmax2" : "Mreadmax1", "読み込み制限の設定(&Y)", &TForm1::Mreadmax1Click);
    MakeAction(m, p ? "Mtabset2" : "Mtabset1", "TAB位置設定", &TForm1::Mtabset1Click);
    MakeAction(m, p ? "Minifileclear2" : "Minifileclear1", "INIファイル削除･初期化", &TForm1::Minifileclear1Click);
    MakeAction(m, p ? "Mricheditloadline1" : "Mricheditloadline", "表示行数の設定", &TForm1::MricheditloadlineClick);
  }

  for (QWidget* w : {static_cast<QWidget*>(PanelL_), static_cast<QWidget*>(PanelRT_), static_cast<QWidget*>(RichEdit1_)}) {
    w->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(w, &QWidget::customContextMenuRequested, this,
            [this, w](const QPoint& pos) { PopupMenu1_->popup(w->mapToGlobal(pos)); });
  }
}

void TForm1::BuildToolBars() {
  ToolBar1_ = addToolBar(QStringLiteral("ToolBar1"));
  ToolBar1_->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar1_->setMovable(false);
  ToolBar1_->setIconSize(QSize(20, 20));
  ToolDivider(ToolBar1_, nullptr, "ToolButton45");
  ToolButton(ToolBar1_, nullptr, "ToolButton2", QStyle::SP_DialogCloseButton, &TForm1::Mexit1Click);
  ToolDivider(ToolBar1_, nullptr, "ToolButton37");

  // The show/hide button is fixed at the start of the text bar and not in the table.
  auto* edit = MakeAction(nullptr, "SBeditview", "表示切替", &TForm1::MeditView1Click);
  edit->setIcon(style()->standardIcon(QStyle::SP_TitleBarShadeButton));
  edit->setToolTip(U("隠す"));
  edit->setStatusTip(U("テキスト表示を隠します。"));
  ToolBar2_->addAction(edit);
  ToolDivider(ToolBar2_, nullptr, "ToolButton9");
  ToolButton(ToolBar2_, nullptr, "ToolButton49", QStyle::SP_FileDialogContentsView, &TForm1::ToolButton49Click);
  ToolButton(ToolBar2_, nullptr, "ToolButton17", QStyle::SP_BrowserReload, &TForm1::Mtextrepaint1Click);
  ToolDivider(ToolBar2_, nullptr, "ToolButton16");
  ToolButton(ToolBar2_, nullptr, "ToolButton25", QStyle::SP_ArrowUp, &TForm1::Mlinetop1Click);
  ToolButton(ToolBar2_, nullptr, "ToolButton26", QStyle::SP_ArrowDown, &TForm1::Mlinebottom1Click);
  ToolDivider(ToolBar2_, nullptr, "ToolButton24");
  ToolButton(ToolBar2_, nullptr, "ToolButton39", QStyle::SP_ArrowRight, &TForm1::MwordwrapClick)->setCheckable(true);
  ToolDivider(ToolBar2_, nullptr, "ToolButton32");
  LayoutTextHeader();
}

void TForm1::ApplyToolButtonSettings(const settings::TIniFile& ini) {
  for (const custom::TToolButtonInfo& b : custom::MainToolButtons()) toolbtnset(b.name, ini.ReadBool("ToolBar1", b.name, true));
  for (const custom::TToolButtonInfo& b : custom::ViewToolButtons()) toolbtnset2(b.name, ini.ReadBool("ToolBar2", b.name, true));
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
