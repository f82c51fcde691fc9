#include "app/load_rule_commands.h"

#include <cstdint>

#include "dialogs/dialogs.h"
#include "settings/ini_file.h"
#include "settings/setting_keys.h"
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

namespace {

// Shows the load rule dialog with the stored byte count (and check box, when the rule has one) and
// stores what the user confirms.
void AskBytesRule(dialogs::TDialogs& dialogs, const std::string& iniPath, settings::TWindowState& state,
                  dialogs::LoadRuleSetup setup, const settings::TSettingKey<long long>& bytes,
                  const settings::TSettingKey<bool>* check) {
  state.DialogResult.clear();
  const settings::TIniFile current(iniPath);
  if (check) setup.checked = settings::Read(current, *check);
  setup.bytes = settings::Read(current, bytes);
  auto answer = dialogs.LoadRules(setup);
  if (!answer) return;
  settings::TIniFile ini(iniPath);
  settings::Write(ini, bytes, answer->bytes);
  if (check) settings::Write(ini, *check, answer->checked);
  ini.UpdateFile();
}

}  // namespace

void AskStreamRead(dialogs::TDialogs& dialogs, const std::string& iniPath, settings::TWindowState& state) {
  dialogs::LoadRuleSetup setup;
  setup.caption = Sjis("Stream読み込みの設定");
  setup.checkCaption = Sjis("Stream読み込みをする(&S)");
  setup.label = Sjis("現在の設定： ");
  AskBytesRule(dialogs, iniPath, state, setup, settings::kStreamReadBytes, &settings::kStreamReadOn);
}

void AskReadLimit(dialogs::TDialogs& dialogs, const std::string& iniPath, settings::TWindowState& state) {
  dialogs::LoadRuleSetup setup;
  setup.caption = Sjis("読み込み制限の設定");
  setup.checkCaption = Sjis("読み込み制限をする(&S)");
  setup.label = Sjis("設定解除は０バイト");
  setup.checked = true;
  setup.checkEnabled = false;
  AskBytesRule(dialogs, iniPath, state, setup, settings::kReadLimitBytes, nullptr);
}

}  // namespace sorabu::app
