// The file-rewriting commands in the window: their items in the main menu, the pop-up menu, the
// code button's menu and the shortcut list, the enabling of the code conversions, and running a
// command on the selected file off the user-interface thread with progress and Cancel.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QToolBar>
#include <QStyle>
#include <QToolButton>

#include <array>

#include "app/browser_selection.h"
#include "app/command_menus.h"
#include "app/command_runner.h"
#include "app/main_window.h"
#include "browser/combo_view.h"
#include "browser/file_view.h"
#include "browser/folder_view.h"
#include "custom/tool_buttons.h"
#include "settings/ini_search_memory.h"
#include "textcmd/search_commands.h"
#include "textconv/kanji_code.h"
#include "uitext/qt_text.h"
#include "viewer/display.h"
#include "viewer/file_info.h"
#include "viewer/status_panels.h"
#include "viewer/text_pane.h"

namespace sorabu::app {

namespace {

using uitext::U;

// The status text of a command item: what it does to which file.
QString CommandHint(std::string_view caption) {
  return QStringLiteral("選択中のファイルを書き換えます：%1").arg(U(PlainCaption(caption)));
}

// The items the code conversion submenus switch, in the order of the enabling table: automatic,
// the six conversions (JIS->SJIS, EUC->SJIS, SJIS->JIS, EUC->JIS, SJIS->EUC, JIS->EUC), Base64,
// mail header.
constexpr const char* kSwitched[] = {"Mtojis1Click",     "MjistosjisClick",  "MeuctosjisClick",
                                     "Msjistojis1Click", "Meuctojis1Click",  "Msjistoeuc1Click",
                                     "Mjistoeuc1Click",  "Mbase641Click",    "Mmailheader1Click"};

// Which of kSwitched fit a text of the detected code.
std::array<bool, 9> FittingConversions(int code) {
  switch (code) {
    case textconv::Ascii: return {true, true, true, true, true, true, true, true, true};
    case textconv::Jis83:
    case textconv::Jis78: return {true, true, false, false, false, false, true, true, true};
    case textconv::Euc: return {true, false, true, false, true, false, false, true, true};
    case textconv::ShiftJis: return {true, false, false, true, false, true, false, true, true};
    case textconv::EucOrShiftJis: return {true, false, true, true, true, true, false, true, true};
    default: return {};
  }
}

}  // namespace

QAction* TForm1::AddCommandItem(QMenu* menu, const textcmd::TCommand& command, const std::string& name,
                                const QString& caption) {
  auto* action = new QAction(caption, this);
  action->setObjectName(QString::fromStdString(name));
  action->setStatusTip(CommandHint(command.caption));
  const std::string handler = command.handler;
  connect(action, &QAction::triggered, this, [this, handler] { RunFileCommand(handler); });
  if (menu != nullptr) menu->addAction(action);
  command_.actions.push_back(action);
  return action;
}

void TForm1::BuildCommandMenus() {
  // The search commands keep their histories in the settings file and offer the pane's selection;
  // they ask from the worker thread, so the selection is read on the user-interface thread.
  textcmd::SetSearchEnvironment(
      {[path = iniPath_] { return std::make_unique<settings::TIniSearchMemory>(path); },
       [this] {
         return OnThreadOf(this, [this] {
           return RichEdit1_->SelectedBytes();
         });
       }});
  Mcodehenkan1_->setTitle(QStringLiteral("文字コード変換(&J)"));
  Mcodehenkan2_->setTitle(QStringLiteral("文字コード変換(&J)"));
  connect(Mcodehenkan1_, &QMenu::aboutToShow, this, &TForm1::Mcodehenkan1Click);
  connect(Mcodehenkan2_, &QMenu::aboutToShow, this, &TForm1::Mcodehenkan2Click);
  for (const TMenuLayout& layout : CommandMenuLayouts()) {
    const TMenuTwins& twins = menus_.*layout.menu;
    Q_ASSERT_X(twins.main && twins.popup, "BuildCommandMenus", "a command menu was never made");
    QMenu* const tops[2] = {twins.main, twins.popup};
    std::string submenu;  // the caption of the submenu being filled, empty when none
    QMenu* subs[2] = {nullptr, nullptr};
    for (std::size_t i = 0; i < layout.items.size(); ++i) {
      const TMenuSlot& slot = layout.items[i];
      if (slot.handler == nullptr) {
        // A separator between two items of one submenu stays inside it.
        const textcmd::TCommand* next =
            i + 1 < layout.items.size() && layout.items[i + 1].handler ? textcmd::FindCommand(layout.items[i + 1].handler)
                                                                       : nullptr;
        const bool inside = !submenu.empty() && next != nullptr && next->menu == submenu;
        for (int p = 0; p < 2; ++p) (inside ? subs[p] : tops[p])->addSeparator();
        if (!inside) submenu.clear();
        continue;
      }
      const textcmd::TCommand* command = textcmd::FindCommand(slot.handler);
      if (command == nullptr) continue;
      const std::string caption = slot.caption != nullptr ? slot.caption : command->caption;
      if (command->menu != submenu) {
        submenu = command->menu;
        if (submenu == "文字コード変換(&J)") {
          subs[0] = Mcodehenkan1_;
          subs[1] = Mcodehenkan2_;
          tops[0]->addMenu(Mcodehenkan1_);
          tops[1]->addMenu(Mcodehenkan2_);
        } else if (!submenu.empty()) {
          subs[0] = tops[0]->addMenu(U(submenu));
          subs[1] = tops[1]->addMenu(U(PopupCaption("", submenu)));
        }
      }
      QMenu* const where[2] = {submenu.empty() ? tops[0] : subs[0], submenu.empty() ? tops[1] : subs[1]};
      AddCommandItem(where[0], *command, MainItemName(command->handler, slot.suffix), U(caption));
      AddCommandItem(where[1], *command, PopupItemName(command->handler, slot.suffix),
                     U(PopupCaption(command->handler, caption)));
    }
  }

  // The code button's menu: the automatic conversion, the six, the eight and the kana widening.
  PopupMenu3_ = new QMenu(this);
  PopupMenu3_->setObjectName(QStringLiteral("PopupMenu3"));
  for (const char* handler : std::initializer_list<const char*>{"Mtojis1Click", "MjistosjisClick", "MeuctosjisClick", "Msjistojis1Click",
                              "Meuctojis1Click", "Msjistoeuc1Click", "Mjistoeuc1Click", nullptr, "Mbase641Click",
                              "Mbase64D1Click", "Mmailheader1Click", "MmailheaderD1Click", "Municode1Click",
                              "MUnicodeD1Click", "Mbinhex1Click", "MBinHexD1Click", nullptr,
                              "Mhkanatozkana1Click"}) {
    if (handler == nullptr) {
      PopupMenu3_->addSeparator();
      continue;
    }
    const textcmd::TCommand* command = textcmd::FindCommand(handler);
    const std::string caption =
        std::string_view(handler) == "Mtojis1Click" ? "自動変換(&A)" : PopupCaption(handler, command->caption);
    AddCommandItem(PopupMenu3_, *command, MainItemName(handler, "P3"), U(caption));
  }
  auto toolButton = [this](const char* name, const char* handler, QStyle::StandardPixmap icon) {
    const custom::TToolButtonInfo* info = custom::FindToolButton(name);
    auto* action = AddCommandItem(nullptr, *textcmd::FindCommand(handler), name, U(info->tip));
    action->setToolTip(U(info->tip));
    action->setStatusTip(U(info->status));
    action->setIcon(style()->standardIcon(icon));
    ToolBar2_->addAction(action);
    return action;
  };
  toolButton("ToolButton51", "MhtmlClick", QStyle::SP_FileDialogDetailedView);
  QAction* code = toolButton("ToolButton52", "Mtojis1Click", QStyle::SP_BrowserReload);
  code->setMenu(PopupMenu3_);
  if (auto* button = qobject_cast<QToolButton*>(ToolBar2_->widgetForAction(code))) {
    button->setPopupMode(QToolButton::MenuButtonPopup);
  }

  // The shortcut list: the two command letters.
  QMenu* shortcuts = menus_.shortcuts;
  AddCommandItem(shortcuts, *textcmd::FindCommand("Mtojis1Click"), "MyT", QStringLiteral("&T 文字コード自動変換"));
  AddCommandItem(shortcuts, *textcmd::FindCommand("Mdump1Click"), "MyB", QStringLiteral("&B 16進表示"));

  // The progress of a running command: the share written, and Cancel.
  command_.box = new QWidget(this);
  command_.box->setObjectName(QStringLiteral("CommandProgress"));
  auto* layout = new QHBoxLayout(command_.box);
  layout->setContentsMargins(0, 0, 0, 0);
  command_.label = new QLabel(command_.box);
  command_.bar = new QProgressBar(command_.box);
  command_.bar->setRange(0, 100);
  command_.bar->setMaximumWidth(160);
  auto* cancel = new QPushButton(QStringLiteral("中止"), command_.box);
  cancel->setObjectName(QStringLiteral("CommandCancel"));
  layout->addWidget(command_.label);
  layout->addWidget(command_.bar);
  layout->addWidget(cancel);
  command_.box->hide();
  runner_ = new TCommandRunner(dialogs_, this);
  connect(cancel, &QPushButton::clicked, runner_, &TCommandRunner::Cancel);
  connect(runner_, &TCommandRunner::Progress, command_.bar, &QProgressBar::setValue);
  connect(runner_, &TCommandRunner::Finished, this, &TForm1::FileCommandFinished);
}

void TForm1::RunFileCommand(const std::string& handler) {
  const textcmd::TCommand* command = textcmd::FindCommand(handler);
  const QString selected = selection_->SelectedPath();
  if (command == nullptr || selected.isEmpty() || runner_->Running() || !PaneMayChange()) return;
  if (handler == "Mdump1Click") {
    // The dump opens with the information line, written as Shift-JIS text.
    bool fits = true;
    viewer::BuildFileInfoLine(selected, &fits);
    if (!fits) {
      dialogs_.Warning(uitext::ToCp932(
          QFileInfo(selected).absoluteFilePath() +
          QStringLiteral("\n\nファイル名かフォルダー名に Shift-JIS で表せない文字があるため、16進表示の見出しに書けません。"
                         "名前を変えずに残すため、何もしませんでした。")));
      return;
    }
  }
  TCommandSetup setup;
  setup.backup = OptionValue(Option::Mbackup1);
  setup.lfLines = OptionValue(Option::Mlfline);
  setup.caretColumn = RichEdit1_->CaretColumn();
  setup.selectionLength = RichEdit1_->SelectionLength();
  setup.refresh = [this] {
    if (!closing_) MrefreshClick();
  };
  setup.selectAndShow = [this](const std::string& path) {
    if (!closing_) viewer_->SelectAndShow(QFile::decodeName(path.c_str()));
  };
  setup.infoLine = [](const std::string& path) { return viewer::BuildFileInfoLine(QFile::decodeName(path.c_str())); };
  const std::string path = QFile::encodeName(selected).toStdString();
  for (QAction* a : command_.actions) a->setEnabled(false);
  // The browser rests meanwhile: no file of the folder may be deleted, renamed or replaced under
  // the command, and no other folder shown.
  for (QWidget* w : BrowserWidgets()) w->setEnabled(false);
  QApplication::setOverrideCursor(Qt::BusyCursor);
  command_.label->setText(U(PlainCaption(command->caption)));
  command_.bar->setValue(0);
  // In the status bar only while a command runs: even hidden it would widen the window's minimum.
  StatusBar1_->addPermanentWidget(command_.box);
  command_.box->show();
  runner_->Start(*command, path, std::move(setup));
}

void TForm1::FileCommandFinished() {
  StatusBar1_->removeWidget(command_.box);
  command_.box->hide();
  QApplication::restoreOverrideCursor();
  for (QAction* a : command_.actions) a->setEnabled(true);
  for (QWidget* w : BrowserWidgets()) w->setEnabled(true);
  FileView1_->setFocus();
  // What the command left beside the file (its working copy) is listed at once.
  if (!closing_ && !closeWhenDone_) ReloadList();
  emit FileCommandDone();
  if (closeWhenDone_) QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

std::vector<QWidget*> TForm1::BrowserWidgets() const {
  return {FileView1_, FolderView1_, ComboView1_};
}

bool TForm1::FileCommandRunning() const { return runner_ != nullptr && runner_->Running(); }

void TForm1::CancelFileCommand(bool wait) {
  if (runner_ == nullptr) return;
  runner_->Cancel();
  if (wait) runner_->Wait(true);
}

void TForm1::SwitchCodeConversions(bool popup) {
  // An EUC or JIS text is in the pane as UTF-8: the code it was read from decides.
  const textconv::TextForm source = RichEdit1_->SourceForm();
  const bool decoded = source == textconv::TextForm::EucJp || source == textconv::TextForm::Jis;
  const int code = decoded ? viewer_->LastKanjiCode() : textconv::DetectKanjiCode(RichEdit1_->TextBytes());
  const std::array<bool, 9> fits = RichEdit1_->IsEmptyText() ? std::array<bool, 9>{} : FittingConversions(code);
  for (std::size_t i = 0; i < fits.size(); ++i) {
    const std::string name = popup ? PopupItemName(kSwitched[i]) : MainItemName(kSwitched[i]);
    if (QAction* a = Action(name.c_str())) a->setEnabled(fits[i] && !FileCommandRunning());
  }
}

void TForm1::Mcodehenkan1Click() { SwitchCodeConversions(false); }
void TForm1::Mcodehenkan2Click() { SwitchCodeConversions(true); }

}  // namespace sorabu::app
