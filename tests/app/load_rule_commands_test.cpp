#include "app/load_rule_commands.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>

#include "dialogs/scripted_dialogs.h"
#include "settings/ini_file.h"
#include "settings/window_state.h"

namespace sorabu::app {
namespace {

class LoadRuleCommands : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  const std::string ini = dir.filePath("sorabu.ini").toStdString();
  dialogs::TScriptedDialogs dialogs;
  settings::TWindowState state;
};

TEST_F(LoadRuleCommands, StoreWhatTheUserConfirms) {

  dialogs.Answer("35");
  AskDisplayLineLimit(dialogs, ini, state);
  EXPECT_EQ(state.DisplayLineLimit, 35);
  EXPECT_EQ(settings::TIniFile(ini).ReadInteger("ReadRichEditLine", "Line", 0), 35);
  dialogs.Answer("many");
  AskDisplayLineLimit(dialogs, ini, state);
  EXPECT_EQ(state.DisplayLineLimit, 20);
  EXPECT_EQ(dialogs.Offered().back(), "35");

  dialogs.Answer("0 50000");
  AskStreamRead(dialogs, ini, state);
  EXPECT_FALSE(settings::TIniFile(ini).ReadBool("StreamRead", "Check", true));
  EXPECT_EQ(settings::TIniFile(ini).ReadInt64("StreamRead", "Byte", 0), 50000);

  dialogs.Answer("0 777");  // the read limit's check box cannot be cleared
  AskReadLimit(dialogs, ini, state);
  EXPECT_EQ(settings::TIniFile(ini).ReadInt64("ReadMax", "Byte", 0), 777);

  dialogs.Cancel();
  AskReadLimit(dialogs, ini, state);
  EXPECT_EQ(settings::TIniFile(ini).ReadInt64("ReadMax", "Byte", 0), 777);
}

TEST_F(LoadRuleCommands, ALineLimitOutsideAnIntFallsBackAndCancelKeepsTheOld) {
  dialogs.Answer("99999999999");
  AskDisplayLineLimit(dialogs, ini, state);
  EXPECT_EQ(state.DisplayLineLimit, 20);
  dialogs.Answer("7");
  AskDisplayLineLimit(dialogs, ini, state);
  dialogs.Cancel();
  AskDisplayLineLimit(dialogs, ini, state);
  EXPECT_EQ(state.DisplayLineLimit, 7);
  EXPECT_EQ(settings::TIniFile(ini).ReadInteger("ReadRichEditLine", "Line", 0), 7);
}

}  // namespace
}  // namespace sorabu::app
