// The settings file's keys that more than one part of the program reads or writes, each with its
// section and the value a missing key stands for: how much of a file the viewer loads, the
// editor, the start-up folder, the find dialog's last answer and the window's view settings.
#pragma once

#include <string>

#include "settings/ini_file.h"

namespace sorabu::settings {

template <typename T>
struct TSettingKey {
  const char* section;
  const char* key;
  T fallback;
};

// Lines shown of a file loaded whole; 0 shows every line.
inline constexpr TSettingKey<int> kDisplayLines{"ReadRichEditLine", "Line", 20};
// A file of at least this many bytes is read as a stream, when the stream read is on.
inline constexpr TSettingKey<long long> kStreamReadBytes{"StreamRead", "Byte", 10000};
inline constexpr TSettingKey<bool> kStreamReadOn{"StreamRead", "Check", true};
// A file over this many bytes is not loaded; 0 is no limit.
inline constexpr TSettingKey<long long> kReadLimitBytes{"ReadMax", "Byte", 0};

// The external editor; empty for the desktop's own choice.
inline constexpr TSettingKey<const char*> kEditor{"Editer", "Editer", ""};
// The folder the window starts in; empty for the one it was left in.
inline constexpr TSettingKey<const char*> kInitFolder{"InitFolder", "InitFolderName", ""};
// The folder the window was left in (the one it opens when no start-up folder is set).
inline constexpr TSettingKey<const char*> kLastFolder{"FolderView", "Directory", ""};
// An LF alone ends a line too (the 設定 menu's option; the command-line tool reads it as well).
inline constexpr TSettingKey<bool> kLfLines{"Menu", "Mlfline", true};

// The find dialog's last answer: text, whole word, match case, direction (1 down).
inline constexpr TSettingKey<const char*> kFindText{"FindDialogEx", "Text", ""};
inline constexpr TSettingKey<bool> kFindWholeWord{"FindDialogEx", "Check1", false};
inline constexpr TSettingKey<bool> kFindMatchCase{"FindDialogEx", "Check2", false};
inline constexpr TSettingKey<int> kFindDown{"FindDialogEx", "UpDown", 1};

// The window's place and the panes' sizes in pixels, read back as they were written; the window's
// present size stands for a missing key.
inline constexpr TSettingKey<int> kFormLeft{"Form", "Left", 0};
inline constexpr TSettingKey<int> kFormTop{"Form", "Top", 0};
inline constexpr TSettingKey<int> kFormWidth{"Form", "Width", 0};
inline constexpr TSettingKey<int> kFormHeight{"Form", "Height", 0};
inline constexpr TSettingKey<int> kPanelLWidth{"PanelL", "Width", 0};
inline constexpr TSettingKey<int> kPanelRBHeight{"PanelRB", "Height", 0};
// The help window's size, as the user left it.
inline constexpr TSettingKey<int> kHelpWidth{"Help", "Width", 820};
inline constexpr TSettingKey<int> kHelpHeight{"Help", "Height", 600};
// The file list's three column widths after the name (-1 automatic).
inline constexpr TSettingKey<int> kColumnWidths[3] = {{"FileView", "Colum1", -1}, {"FileView", "Colum2", -1},
                                                      {"FileView", "Colum3", -1}};
// The name and folder the save dialogs offer first.
inline constexpr TSettingKey<const char*> kSaveFileName{"File", "Save", ""};
inline constexpr TSettingKey<const char*> kSaveDir{"File", "Dir", ""};
// The section of the 設定 menu's options; each option's key and default stand in its table.
inline constexpr const char* kOptionsSection = "Menu";
// The sections of the two tool bars' buttons, one key a button by its name, true (shown) when
// missing.
inline constexpr const char* kMainToolBarSection = "ToolBar1";
inline constexpr const char* kViewToolBarSection = "ToolBar2";
inline constexpr bool kToolButtonShown = true;
// The sections of the pane's and the file list's fonts (Name, Style, Color, Size).
inline constexpr const char* kTextFontSection = "FontR";
inline constexpr const char* kFileFontSection = "FontF";

// The view: tab stops in characters, word wrap, hot tracking and the list's style (1 to 4).
inline constexpr TSettingKey<int> kTabWidth{"RichEdit", "richtabwidth", 8};
inline constexpr TSettingKey<bool> kWordWrap{"RichEdit", "WordWrap", false};
inline constexpr TSettingKey<bool> kHotTrack{"FileView", "Hottrack", true};
inline constexpr TSettingKey<int> kViewStyle{"FileView", "Icon", 3};

inline int Read(const TIniFile& ini, const TSettingKey<int>& k) { return ini.ReadInteger(k.section, k.key, k.fallback); }
inline long long Read(const TIniFile& ini, const TSettingKey<long long>& k) { return ini.ReadInt64(k.section, k.key, k.fallback); }
inline bool Read(const TIniFile& ini, const TSettingKey<bool>& k) { return ini.ReadBool(k.section, k.key, k.fallback); }
inline std::string Read(const TIniFile& ini, const TSettingKey<const char*>& k) { return ini.ReadString(k.section, k.key, k.fallback); }
// The same where the window's present value stands for a missing key.
inline int Read(const TIniFile& ini, const TSettingKey<int>& k, int now) { return ini.ReadInteger(k.section, k.key, now); }
inline bool Read(const TIniFile& ini, const TSettingKey<bool>& k, bool now) { return ini.ReadBool(k.section, k.key, now); }
inline std::string Read(const TIniFile& ini, const TSettingKey<const char*>& k, const std::string& now) {
  return ini.ReadString(k.section, k.key, now);
}
inline void Write(TIniFile& ini, const TSettingKey<int>& k, long long value) { ini.WriteInteger(k.section, k.key, value); }
inline void Write(TIniFile& ini, const TSettingKey<long long>& k, long long value) { ini.WriteInteger(k.section, k.key, value); }
inline void Write(TIniFile& ini, const TSettingKey<bool>& k, bool value) { ini.WriteBool(k.section, k.key, value); }
inline void Write(TIniFile& ini, const TSettingKey<const char*>& k, const std::string& value) {
  ini.WriteString(k.section, k.key, value);
}

}  // namespace sorabu::settings
