// Where the settings file lives: beside the program when its folder is writable (portable use),
// otherwise in the user's configuration folder.
#pragma once

#include <QString>

namespace sorabu::app {

QString SettingsFilePath();

}  // namespace sorabu::app
