// Where the settings file keeps how much of a file the viewer loads, with the values a missing
// key stands for. The commands that ask for them and the viewer that reads them share these.
#pragma once

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

inline int Read(const TIniFile& ini, const TSettingKey<int>& k) { return ini.ReadInteger(k.section, k.key, k.fallback); }
inline long long Read(const TIniFile& ini, const TSettingKey<long long>& k) { return ini.ReadInt64(k.section, k.key, k.fallback); }
inline bool Read(const TIniFile& ini, const TSettingKey<bool>& k) { return ini.ReadBool(k.section, k.key, k.fallback); }
inline void Write(TIniFile& ini, const TSettingKey<int>& k, long long value) { ini.WriteInteger(k.section, k.key, value); }
inline void Write(TIniFile& ini, const TSettingKey<long long>& k, long long value) { ini.WriteInteger(k.section, k.key, value); }
inline void Write(TIniFile& ini, const TSettingKey<bool>& k, bool value) { ini.WriteBool(k.section, k.key, value); }

}  // namespace sorabu::settings
