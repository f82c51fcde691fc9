// The settings file: INI text in code page 932.
//
// A TIniFile is one group of reads or writes: it reads the file when it is made, answers from that
// copy, and writes the file back (through a temporary file and a rename, so a crash never leaves
// half a file) when UpdateFile() is called. Nothing outlives the object, so every group sees what
// earlier groups wrote. Section and key names compare without regard to ASCII letter case; a key
// written twice keeps the last value; a missing key gives the caller's default. A file with
// duplicate sections is read as one section per name: the first value found wins.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorabu::settings {

class TIniFile {
 public:
  explicit TIniFile(std::string path);

  const std::string& FileName() const { return path_; }

  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  // Decimal with an optional sign; the default when absent, not a number or out of range.
  int ReadInteger(std::string_view section, std::string_view key, int def) const;
  long long ReadInt64(std::string_view section, std::string_view key, long long def) const;
  // Any integer other than 0 is true.
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;
  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  std::vector<std::string> ReadSectionKeys(std::string_view section) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, long long value);
  void WriteBool(std::string_view section, std::string_view key, bool value);
  void EraseSection(std::string_view section);
  void DeleteKey(std::string_view section, std::string_view key);

  // Writes the file when something changed. False, with Error() set, when it cannot be written.
  bool UpdateFile();
  const std::string& Error() const { return error_; }

 private:
  struct Entry {
    std::string key;
    std::string value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };

  Section* FindSection(std::string_view name);
  const Section* FindSection(std::string_view name) const;

  std::string path_;
  std::vector<Section> sections_;
  bool dirty_ = false;
  std::string error_;
};

// Parses a decimal integer the way the settings file is read (surrounding blanks allowed).
std::optional<long long> ParseInteger(std::string_view text);

}  // namespace sorabu::settings
