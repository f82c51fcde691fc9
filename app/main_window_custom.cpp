// The user's own additions to the window: the application menu and its dialog, the registered
// folders and theirs, the order, icons and visibility of the tool buttons, and the tail of the
// 設定 menu in its order.
#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStandardPaths>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>

#include "app/main_window.h"
#include "app/menu_items.h"
#include "custom/command_line.h"
#include "custom/entry_lists.h"
#include "custom/tool_buttons.h"
#include "settings/ini_file.h"
#include "settings/setting_keys.h"
#include "uitext/qt_text.h"

namespace sorabu::app {

namespace {

using uitext::U;
std::string C(const char* utf8) { return uitext::ToCp932(QString::fromUtf8(utf8)); }

QStyle::StandardPixmap FallbackIcon(const std::string& name) {
  if (name == "ToolButton8") return QStyle::SP_DialogHelpButton;
  if (name == "ToolButton48") return QStyle::SP_DriveNetIcon;
  return QStyle::SP_FileIcon;
}

// The program a stored command line starts, found as the system would find it; empty when none.
QString FindProgram(const std::string& commandLine) {
  const QString program = uitext::FromCp932(custom::ProgramOf(commandLine));
  if (program.isEmpty()) return {};
  if (program.contains(QLatin1Char('/'))) {
    const QFileInfo info(program);
    return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
  }
  return QStandardPaths::findExecutable(program);
}

}  // namespace

void TForm1::BuildCustomCommands() {
  static const MenuItemSpec kApps[] = {
      {"Mexeset", "Mexeset1", "設定(&O)..", &TForm1::MexesetClick},
      {},
      {"Mtoroku", "Mtoroku1", "登録フォルダーを表示(&K)", &TForm1::MtorokuClick},
  };
  InsertTwins(*this, menus_.apps, TMenuEnd::Back, kApps);
  static const MenuItemSpec kSettings[] = {
      {"Mtoolbarset", "Mtoolbarset1", "ツールボタンの設定(&E)", &TForm1::MtoolbarsetClick},
      {"Mfolderset", "Mfolderset1", "登録フォルダーの設定(&K)", &TForm1::MfoldersetClick},
  };
  InsertTwins(*this, menus_.options, TMenuEnd::Back, kSettings);
  // The settings commands of every group, in the order the 設定 menu lists them.
  static const char* const kOrder[] = {"Mtoolbarset", "MediterSet", "Mchartset", "Mfolderset", "MstreamRead1",
                                       "Mreadmax1", "Mtabset1", "Minifileclear1", "Minitdirectry", "Mricheditloadline"};
  static const char* const kPopupOrder[] = {"Mtoolbarset1", "MediterSet1", "Mchartset1", "Mfolderset1", "MstreamRead2",
                                            "Mreadmax2", "Mtabset2", "Minifileclear2", "Minitdirectry1", "Mricheditloadline1"};
  for (const bool popup : {false, true}) {
    QMenu* m = popup ? menus_.options.popup : menus_.options.main;
    for (const char* name : popup ? kPopupOrder : kOrder) {
      QAction* a = Action(name);
      Q_ASSERT_X(a, "BuildCustomCommands", name);
      if (!a) continue;
      m->removeAction(a);
      m->addAction(a);
    }
  }
  toolButtons_.ToolButton11 = ToolButton(*this, ToolBar1_, "ToolButton11", QStyle::SP_DirLinkIcon, &TForm1::ToolButton11Click);
  // Every group added its buttons at the end; the tables give their places and the dividers.
  ArrangeToolBar(ToolBar1_, custom::MainToolButtons(), 0);
  ArrangeToolBar(ToolBar2_, custom::ViewToolButtons(), 1);
}

// Puts the bar's buttons in the table's order from position first, making the missing ones.
void TForm1::ArrangeToolBar(QToolBar* bar, std::span<const custom::TToolButtonInfo> buttons, int first) {
  QStyle* s = style();
  int at = first;
  for (const custom::TToolButtonInfo& b : buttons) {
    const QString name = QString::fromLatin1(b.name);
    QList<QAction*> present = bar->actions();
    QAction* a = nullptr;
    for (QAction* candidate : present)
      if (candidate->objectName() == name) a = candidate;
    QAction* before = present.value(at);
    if (a == nullptr && b.caption == nullptr) {
      auto* spacer = new QWidget(bar);
      spacer->setFixedWidth(b.dividerWidth);
      a = bar->insertWidget(before, spacer);
      a->setObjectName(name);
    } else if (a == nullptr) {
      a = MakeAction(*this, nullptr, b.name, b.tip, nullptr);
      a->setIcon(s->standardIcon(FallbackIcon(b.name)));
      if (b.handler != nullptr) {
        const std::string handler = b.handler;
        a->setEnabled(metaObject()->indexOfSlot((handler + "()").c_str()) >= 0);
        connect(a, &QAction::triggered, this, [this, handler] { QMetaObject::invokeMethod(this, handler.c_str()); });
      }
      bar->insertAction(before, a);
    } else if (a != before) {
      bar->insertAction(before, a);
      if (a->menu() != nullptr)
        if (auto* tb = qobject_cast<QToolButton*>(bar->widgetForAction(a))) tb->setPopupMode(QToolButton::MenuButtonPopup);
    }
    if (b.caption != nullptr) {
      a->setIcon(QIcon::fromTheme(QString::fromLatin1(b.theme), a->icon()));
      a->setToolTip(U(b.tip));
      a->setStatusTip(U(b.status));
    }
    ++at;
  }
}

void TForm1::toolbtnset(const char* button, bool shown) {
  for (QAction* a : ToolBar1_->actions())
    if (a->objectName() == QLatin1String(button)) a->setVisible(shown);
  ToolBar1_->updateGeometry();
}

void TForm1::toolbtnset2(const char* button, bool shown) {
  for (QAction* a : ToolBar2_->actions())
    if (a->objectName() == QLatin1String(button)) a->setVisible(shown);
  ToolBar2_->updateGeometry();
}

void TForm1::MtoolbarsetClick() {
  state_.DialogResult.clear();
  settings::TIniFile ini(iniPath_);
  dialogs::TDialogs::ToolButtonSetup setup;
  for (auto [list, table, section] : {std::tuple{&setup.main, custom::MainToolButtons(), settings::kMainToolBarSection},
                                      std::tuple{&setup.view, custom::ViewToolButtons(), settings::kViewToolBarSection}})
    for (const custom::TToolButtonInfo& b : table)
      if (b.caption != nullptr) list->push_back({C(b.caption), ini.ReadBool(section, b.name, settings::kToolButtonShown)});
  const auto answer = dialogs_.ToolButtons(setup);
  if (!answer) return;
  state_.DialogResult = "true";
  for (auto [states, table, section, main] :
       {std::tuple{&answer->main, custom::MainToolButtons(), settings::kMainToolBarSection, true},
        std::tuple{&answer->view, custom::ViewToolButtons(), settings::kViewToolBarSection, false}}) {
    std::size_t row = 0;
    for (const custom::TToolButtonInfo& b : table) {
      if (b.caption == nullptr) continue;
      const bool shown = row < states->size() ? (*states)[row] : true;
      ++row;
      ini.WriteBool(section, b.name, shown);
      if (main) toolbtnset(b.name, shown);
      else toolbtnset2(b.name, shown);
    }
  }
  if (!ini.UpdateFile()) dialogs_.Error(ini.Error());
  ToolBar1_->update();
  ToolBar2_->update();
}

void TForm1::MexesetClick() {
  state_.DialogResult.clear();
  settings::TIniFile ini(iniPath_);
  dialogs::TDialogs::ApplicationSetup setup;
  for (dialogs::AppEntry& e : custom::ReadApplications(ini))
    if (!FindProgram(e.commandLine).isEmpty()) setup.entries.push_back(std::move(e));
  setup.usable = [](const std::string& line) { return !FindProgram(line).isEmpty(); };
  const auto entries = dialogs_.ApplicationList(setup);
  if (!entries) return;
  custom::WriteApplications(ini, *entries);
  if (!ini.UpdateFile()) dialogs_.Error(ini.Error());
  LoadApplicationMenu(ini);
}

void TForm1::MfoldersetClick() {
  state_.DialogResult.clear();
  settings::TIniFile ini(iniPath_);
  const auto folders = dialogs_.FolderList(custom::ReadFolders(ini));
  if (!folders) return;
  custom::WriteFolders(ini, *folders);
  if (!ini.UpdateFile()) dialogs_.Error(ini.Error());
  LoadRegisteredFolders(ini);
}

void TForm1::appexe(QAction* item) {
  const int n = item ? item->data().toInt() : 0;
  if (n - 1 < 0) return;
  const settings::TIniFile ini(iniPath_);
  if (ini.ReadInteger("Mexe", "Count", 0) <= 0) return;
  const std::string line = ini.ReadString("Mexe", "File" + std::to_string(n - 1), "");
  std::vector<std::string> words = custom::SplitCommandLine(line);
  if (words.empty()) return;
  const QString program = FindProgram(line);
  if (program.isEmpty()) {
    dialogs_.Warning(C("プログラムが見つかりません。\n") + words.front());
    return;
  }
  QStringList arguments;
  for (std::size_t i = 1; i < words.size(); ++i) arguments << uitext::FromCp932(words[i]);
  if (!launcher_(program, arguments, {})) dialogs_.Warning(C("起動できませんでした。\n") + line);
}

void TForm1::torokufolderjump(QAction* item) {
  const int n = item ? item->data().toInt() : 0;
  if (n - 1 < 0) return;
  const settings::TIniFile ini(iniPath_);
  if (ini.ReadInteger("PopupMenu2", "Count", 0) <= 0) return;
  const std::string stored = ini.ReadString("PopupMenu2", "Folder" + std::to_string(n - 1), "");
  if (stored.empty()) return;
  const QString folder = uitext::FromCp932(stored);
  if (!QFileInfo(folder).isDir()) {
    dialogs_.Warning(C("フォルダーが見つかりません。\n") + stored);
    return;
  }
  GoToFolder(folder);
  LFilestring_->clear();
}

void TForm1::ToolButton11Click() {
  QWidget* button = ToolBar1_->widgetForAction(toolButtons_.ToolButton11);
  const int left = button ? button->mapTo(this, QPoint(0, 0)).x() : PanelR_->mapTo(this, QPoint(0, 0)).x();
  PopupMenu2_->popup(mapToGlobal(QPoint(left, PanelR_->mapTo(this, QPoint(0, 0)).y() + 2)));
}

void TForm1::MtorokuClick() {
  PopupMenu2_->popup(mapToGlobal(PanelR_->mapTo(this, QPoint(4, 2))));
}

}  // namespace sorabu::app
