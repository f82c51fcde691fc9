// The two settings that are picked from a folder tree: the external editor and the start-up
// folder. Both dialogs read and write their own keys of the settings file.
#include <QMenu>

#include "app/main_window.h"
#include "app/menu_items.h"
#include "settings/ini_file.h"
#include "settings/setting_keys.h"
#include "uitext/qt_text.h"

namespace sorabu::app {

namespace {
std::string C(const char* utf8) { return uitext::ToCp932(QString::fromUtf8(utf8)); }
}  // namespace

void TForm1::MediterSetClick() {
  settings::TIniFile ini(iniPath_);
  dialogs::TDialogs::PickSetup setup;
  setup.caption = C("ｴﾃﾞｨﾀｰの設定");
  setup.instruction = C("ｴﾃﾞｨﾀｰの実行ﾌｧｲﾙをﾌﾙﾊﾟｽで指定して下さい。");
  setup.stored = settings::Read(ini, settings::kEditor);
  setup.programs = true;
  const auto answer = dialogs_.PickFolderOrProgram(setup);
  if (!answer) return;
  settings::Write(ini, settings::kEditor, *answer);
  if (!ini.UpdateFile()) dialogs_.Error(ini.Error());
}

void TForm1::MinitdirectryClick() {
  settings::TIniFile ini(iniPath_);
  dialogs::TDialogs::PickSetup setup;
  setup.caption = C("起動時フォルダー指定");
  setup.instruction = C("起動時のフォルダーを指定して下さい。");
  setup.stored = settings::Read(ini, settings::kInitFolder);
  setup.programs = false;
  const auto answer = dialogs_.PickFolderOrProgram(setup);
  if (!answer) return;
  settings::Write(ini, settings::kInitFolder, *answer);
  if (!ini.UpdateFile()) dialogs_.Error(ini.Error());
}

void TForm1::BuildPickerCommands() {
  static const MenuItemSpec kItems[] = {
      {},
      {"MediterSet", "MediterSet1", "エディタの設定(&S)", &TForm1::MediterSetClick},
      {"Minitdirectry", "Minitdirectry1", "起動時フォルダー指定", &TForm1::MinitdirectryClick},
  };
  InsertTwins(*this, menus_.options, TMenuEnd::Back, kItems);
}

}  // namespace sorabu::app
