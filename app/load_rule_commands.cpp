#include "app/load_rule_commands.h"

#include <cstdint>

#include "dialogs/dialogs.h"
#include "settings/ini_file.h"
#include "settings/window_state.h"
#include "textconv/cp932.h"

namespace sorabu::app {

using textconv::Sjis;

void AskDisplayLineLimit(dialogs::TDialogs& dialogs, const std::string& iniPath, settings::TWindowState& state) {
  const settings::TIniFile current(iniPath);
  const int stored = current.ReadInteger("ReadRichEditLine", "Line", 20);
  auto answer = dialogs.InputBox(Sjis("表示行数の設定"), Sjis("表示行数 (0 は全行表示)"), std::to_string(stored));
  if (!answer) return;
  long long value = settings::ParseInteger(*answer).value_or(20);
  if (value < INT32_MIN || value > INT32_MAX) value = 20;
  settings::TIniFile ini(iniPath);
  ini.WriteInteger("ReadRichEditLine", "Line", value);
  ini.UpdateFile();
  state.DisplayLineLimit = static_cast<int>(value);
}

void AskStreamRead(dialogs::TDialogs& dialogs, const std::string& iniPath, settings::TWindowState& state) {
  state.DialogResult.clear();
  const settings::TIniFile current(iniPath);
  dialogs::LoadRuleSetup setup;
  setup.caption = Sjis("Stream読み込みの設定");
  setup.checkCaption = Sjis("Stream読み込みをする(&S)");
  setup.label = Sjis("現在の設定： ");
  setup.checked = current.ReadBool("StreamRead", "Check", true);
  setup.bytes = current.ReadInt64("StreamRead", "Byte", 10000);
  auto answer = dialogs.LoadRules(setup);
  if (!answer) return;
  settings::TIniFile ini(iniPath);
  ini.WriteInteger("StreamRead", "Byte", answer->bytes);
  ini.WriteBool("StreamRead", "Check", answer->checked);
  ini.UpdateFile();
}

void AskReadLimit(dialogs::TDialogs& dialogs, const std::string& iniPath, settings::TWindowState& state) {
  state.DialogResult.clear();
  const settings::TIniFile current(iniPath);
  dialogs::LoadRuleSetup setup;
  setup.caption = Sjis("読み込み制限の設定");
  setup.checkCaption = Sjis("読み込み制限をする(&S)");
  setup.label = Sjis("設定解除は０バイト");
  setup.checked = true;
  setup.checkEnabled = false;
  setup.bytes = current.ReadInt64("ReadMax", "Byte", 0);
  auto answer = dialogs.LoadRules(setup);
  if (!answer) return;
  settings::TIniFile ini(iniPath);
  ini.WriteInteger("ReadMax", "Byte", answer->bytes);
  ini.UpdateFile();
}

}  // namespace sorabu::app
