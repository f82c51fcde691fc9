#include "app/load_rule_commands.h"

#include <cstdint>

#include "dialogs/dialogs.h"
#include "settings/ini_file.h"
#include "settings/load_rule_keys.h"
#include "settings/window_state.h"
#include "textconv/cp932.h"

namespace sorabu::app {

using textconv::Sjis;

void AskDisplayLineLimit(dialogs::TDialogs& dialogs, const std::string& iniPath, settings::TWindowState& state) {
  const settings::TIniFile current(iniPath);
  const int stored = settings::Read(current, settings::kDisplayLines);
  auto answer = dialogs.InputBox(Sjis("表示行数の設定"), Sjis("表示行数 (0 は全行表示)"), std::to_string(stored));
  if (!answer) return;
  long long value = settings::ParseInteger(*answer).value_or(settings::kDisplayLines.fallback);
  if (value < INT32_MIN || value > INT32_MAX) value = settings::kDisplayLines.fallback;
  settings::TIniFile ini(iniPath);
  settings::Write(ini, settings::kDisplayLines, value);
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
  setup.checked = settings::Read(current, settings::kStreamReadOn);
  setup.bytes = settings::Read(current, settings::kStreamReadBytes);
  auto answer = dialogs.LoadRules(setup);
  if (!answer) return;
  settings::TIniFile ini(iniPath);
  settings::Write(ini, settings::kStreamReadBytes, answer->bytes);
  settings::Write(ini, settings::kStreamReadOn, answer->checked);
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
  setup.bytes = settings::Read(current, settings::kReadLimitBytes);
  auto answer = dialogs.LoadRules(setup);
  if (!answer) return;
  settings::TIniFile ini(iniPath);
  settings::Write(ini, settings::kReadLimitBytes, answer->bytes);
  ini.UpdateFile();
}

}  // namespace sorabu::app
