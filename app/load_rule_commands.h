// The three settings of how much of a file the viewer loads, each asked for and stored at once:
// the lines shown of a whole file, the stream read and the read limit. The viewer reads them
// afresh from the settings file at every load.
#pragma once

#include <string>

namespace sorabu::dialogs {
class TDialogs;
}
namespace sorabu::settings {
struct TWindowState;
}

namespace sorabu::app {

// Lines shown of a file loaded whole (0: all); also sets state.DisplayLineLimit.
void AskDisplayLineLimit(dialogs::TDialogs& dialogs, const std::string& iniPath, settings::TWindowState& state);
// Whether, and from what size, a file is read as a stream.
void AskStreamRead(dialogs::TDialogs& dialogs, const std::string& iniPath, settings::TWindowState& state);
// The size beyond which a file is not loaded (0: no limit).
void AskReadLimit(dialogs::TDialogs& dialogs, const std::string& iniPath, settings::TWindowState& state);

}  // namespace sorabu::app
