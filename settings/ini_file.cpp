#include "settings/ini_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>
#include <unistd.h>

#include "textconv/cp932.h"
#include "textconv/system_error.h"
#include "textconv/ui_text.h"

namespace sorabu::settings {

namespace {

std::string WriteFailure(const std::string& path, int err) {
  return textconv::Utf8ToCp932Exact(path) + textconv::Sjis(" に設定を保存できません: ") + textconv::SystemErrorText(err);
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

}  // namespace

std::optional<long long> ParseInteger(std::string_view text) {
  text = Trim(text);
  if (text.empty()) return std::nullopt;
  bool negative = false;
  if (text.front() == '+' || text.front() == '-') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  unsigned long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
    if (value > static_cast<unsigned long long>(std::numeric_limits<long long>::max())) return std::nullopt;
  }
  long long v = static_cast<long long>(value);
  return negative ? -v : v;
}

TIniFile::TIniFile(std::string path) : path_(std::move(path)) {
  std::ifstream in(path_, std::ios::binary);
  if (!in) return;
  std::string line;
  Section* current = nullptr;
  while (std::getline(in, line)) {
    std::string_view l = Trim(line);
    if (l.empty() || l.front() == ';') continue;
    if (l.front() == '[') {
      std::size_t close = l.find(']');
      std::string_view name = Trim(l.substr(1, close == std::string_view::npos ? l.size() - 1 : close - 1));
      current = FindSection(name);
      if (!current) {
        sections_.push_back({std::string(name), {}});
        current = &sections_.back();
      }
      continue;
    }
    std::size_t eq = l.find('=');
    if (eq == std::string_view::npos || !current) continue;
    std::string_view key = Trim(l.substr(0, eq));
    std::string_view value = Trim(l.substr(eq + 1));
    bool known = false;
    for (const auto& e : current->entries) known = known || SameName(e.key, key);
    if (!known) current->entries.push_back({std::string(key), std::string(value)});
  }
}

TIniFile::Section* TIniFile::FindSection(std::string_view name) {
  for (auto& s : sections_)
    if (SameName(s.name, name)) return &s;
  return nullptr;
}

const TIniFile::Section* TIniFile::FindSection(std::string_view name) const {
  for (const auto& s : sections_)
    if (SameName(s.name, name)) return &s;
  return nullptr;
}

std::optional<std::string> TIniFile::Find(std::string_view section, std::string_view key) const {
  const Section* s = FindSection(section);
  if (!s) return std::nullopt;
  for (const auto& e : s->entries)
    if (SameName(e.key, key)) return e.value;
  return std::nullopt;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
  auto v = Find(section, key);
  return v ? *v : std::string(def);
}

long long TIniFile::ReadInt64(std::string_view section, std::string_view key, long long def) const {
  auto v = Find(section, key);
  if (!v) return def;
  auto n = ParseInteger(*v);
  return n ? *n : def;
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
  long long v = ReadInt64(section, key, def);
  if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return def;
  return static_cast<int>(v);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInt64(section, key, def ? 1 : 0) != 0;
}

bool TIniFile::SectionExists(std::string_view section) const { return FindSection(section) != nullptr; }

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
  return Find(section, key).has_value();
}

std::vector<std::string> TIniFile::ReadSectionKeys(std::string_view section) const {
  std::vector<std::string> keys;
  if (const Section* s = FindSection(section))
    for (const auto& e : s->entries) keys.push_back(e.key);
  return keys;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  // A line break inside a value would split it into two lines of the file.
  std::string clean(value);
  for (char& c : clean)
    if (c == '\r' || c == '\n') c = ' ';
  Section* s = FindSection(section);
  if (!s) {
    sections_.push_back({std::string(section), {}});
    s = &sections_.back();
  }
  dirty_ = true;
  for (auto& e : s->entries)
    if (SameName(e.key, key)) {
      e.value = std::move(clean);
      return;
    }
  s->entries.push_back({std::string(key), std::move(clean)});
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, long long value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TIniFile::EraseSection(std::string_view section) {
  for (auto it = sections_.begin(); it != sections_.end(); ++it)
    if (SameName(it->name, section)) {
      sections_.erase(it);
      dirty_ = true;
      return;
    }
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
  if (Section* s = FindSection(section))
    for (auto it = s->entries.begin(); it != s->entries.end(); ++it)
      if (SameName(it->key, key)) {
        s->entries.erase(it);
        dirty_ = true;
        return;
      }
}

bool TIniFile::UpdateFile() {
  if (!dirty_) return true;
  std::ostringstream out;
  bool first = true;
  for (const auto& s : sections_) {
    if (!first) out << "\r\n";
    first = false;
    out << '[' << s.name << "]\r\n";
    for (const auto& e : s.entries) out << e.key << '=' << e.value << "\r\n";
  }
  const std::string text = out.str();
  const std::string temp = path_ + ".new";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) {
    error_ = WriteFailure(path_, errno);
    return false;
  }
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = (std::fflush(f) == 0) && ok;
  if (!ok) error_ = WriteFailure(path_, errno);
  std::fclose(f);
  if (ok && std::rename(temp.c_str(), path_.c_str()) != 0) {
    error_ = WriteFailure(path_, errno);
    ok = false;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  dirty_ = false;
  return true;
}

}  // namespace sorabu::settings
