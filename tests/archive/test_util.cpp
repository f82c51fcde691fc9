#include "test_util.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "textconv/cp932.h"

namespace sorabu::lha::test {

TempDir::TempDir() {
  char tmpl[] = "/tmp/lha-test-XXXXXX";
  const char* p = ::mkdtemp(tmpl);
  path_ = p != nullptr ? p : "/tmp/lha-test-failed";
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void WriteFile(const std::string& path, std::string_view data) {
  std::ofstream f(path, std::ios::binary);
  f.write(data.data(), static_cast<std::streamsize>(data.size()));
}

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

int Run(const std::string& dir, const std::string& command, std::string* output) {
  const std::string full = "cd '" + dir + "' && " + command + " 2>&1";
  FILE* p = ::popen(full.c_str(), "r");
  if (p == nullptr) return -1;
  std::string out;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  const int status = ::pclose(p);
  if (output != nullptr) *output = out;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HaveTool(const std::string& path) { return ::access(path.c_str(), X_OK) == 0; }

std::string RandomBytes(std::size_t n, std::uint32_t seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(rng() & 0xFFu);
  return s;
}

std::string SampleText(std::size_t n, std::uint32_t seed) {
  static const std::vector<std::string> words = [] {
    std::vector<std::string> w;
    for (const char* u : {"日本語", "ファイル", "表示", "書庫", "圧縮", "解凍", "の", "を", "に", "は", "が",
                          "です。", "ます。", "テキスト", "文字コード", "ｼﾌﾄJIS", "変換", "検索", "置換", "行",
                          "file", "archive", "the ", "data ", "0123", "(", ")", "「", "」", "、", "ソ", "表"}) {
      w.push_back(Sjis(u));
    }
    return w;
  }();
  std::mt19937 rng(seed);
  std::string s;
  while (s.size() < n) {
    // Zipf-like choice keeps some words common, as in real text.
    const std::size_t r = rng() % words.size();
    const std::size_t k = (r * r) / words.size();
    s += words[k];
    if (rng() % 13 == 0) s += "\r\n";
  }
  s.resize(n);
  return s;
}

std::string Sjis(std::string_view utf8) { return textconv::Utf8ToCp932(utf8); }

}  // namespace sorabu::lha::test
