// How often the UTF-8 test mistakes Japanese text in the older codes for UTF-8, and what it costs
// the quick display.
//   utf8_detect_bench FILE...   (Shift-JIS, EUC-JP or JIS copies of the corpus)
// For every file: the blocks of 4 KiB and the lines read as UTF-8; then random CP932 text; then the
// time of one test over the first 16 KiB of a file (what the quick display looks at), median of
// 1,001 runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "textconv/cp932.h"
#include "textconv/unicode_text.h"

namespace {

using sorabu::textconv::DetectTextForm;
using sorabu::textconv::TextForm;

struct Count {
  std::size_t tried = 0, utf8 = 0;
  void Add(std::string_view s) {
    // Text without a byte above 0x7F is ASCII whatever the test says; it cannot be mistaken.
    if (std::none_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) return;
    ++tried;
    if (DetectTextForm(s, true) == TextForm::Utf8) ++utf8;
  }
  void Print(const char* what) const {
    std::printf("  %-28s %9zu with non-ASCII bytes, %zu taken for UTF-8 (%.6f %%)\n", what, tried, utf8,
                tried ? 100.0 * static_cast<double>(utf8) / static_cast<double>(tried) : 0.0);
  }
};

std::string RandomCp932(std::mt19937& random, std::size_t chars) {
  std::uniform_int_distribution<int> kind(0, 9), lead(0x88, 0x9F), trail(0x40, 0xFC), kana(0xA1, 0xDF), ascii(0x20, 0x7E);
  std::string s;
  for (std::size_t i = 0; i < chars; ++i) {
    const int k = kind(random);
    if (k < 5) {
      int t = trail(random);
      if (t == 0x7F) t = 0x80;
      s += static_cast<char>(lead(random));
      s += static_cast<char>(t);
    } else if (k < 7) {
      s += static_cast<char>(kana(random));
    } else {
      s += static_cast<char>(ascii(random));
    }
  }
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  std::string first;
  for (int a = 1; a < argc; ++a) {
    std::ifstream in(argv[a], std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (first.empty()) first = text.substr(0, 16 * 1024);
    Count blocks, lines;
    for (std::size_t i = 0; i < text.size(); i += 4096) blocks.Add(std::string_view(text).substr(i, 4096));
    for (std::size_t i = 0; i < text.size();) {
      std::size_t end = text.find('\n', i);
      if (end == std::string::npos) end = text.size();
      lines.Add(std::string_view(text).substr(i, end - i));
      i = end + 1;
    }
    std::printf("%s\n", argv[a]);
    blocks.Print("blocks of 4 KiB");
    lines.Print("lines");
  }
  std::mt19937 random(2026);
  Count shortText, longText;
  for (int i = 0; i < 200000; ++i) shortText.Add(RandomCp932(random, 1 + static_cast<std::size_t>(i % 8)));
  for (int i = 0; i < 2000; ++i) longText.Add(RandomCp932(random, 2000));
  std::printf("random CP932 text\n");
  shortText.Print("1 to 8 characters");
  longText.Print("2,000 characters");

  if (!first.empty()) {
    std::vector<double> us;
    volatile int sink = 0;
    for (int i = 0; i < 1001; ++i) {
      const auto s = std::chrono::steady_clock::now();
      sink = sink + static_cast<int>(DetectTextForm(first, false));
      const auto e = std::chrono::steady_clock::now();
      us.push_back(std::chrono::duration<double, std::micro>(e - s).count());
    }
    std::nth_element(us.begin(), us.begin() + 500, us.end());
    std::printf("one test over the first %zu bytes of %s: median %.2f us\n", first.size(), argv[1], us[500]);
  }
  return 0;
}
