// Kanji code detection: one table of {bytes, expected} per group of rules, then the screening
// limit, real texts in each code, and arbitrary bytes.
#include "textconv/kanji_code.h"
#include "tests/textconv/conv_test_util.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

namespace sorabu::textconv {
namespace {

std::string Bytes(std::initializer_list<int> bytes) {
  std::string s;
  for (const int b : bytes) s.push_back(static_cast<char>(b));
  return s;
}

using testutil::Hex;
using testutil::ReadCommand;

struct Row {
  const char* what;
  std::string text;
  KanjiCode expected;
};

void Check(const Row* begin, const Row* end) {
  for (const Row* r = begin; r != end; ++r) {
    EXPECT_EQ(DetectKanjiCode(r->text), r->expected) << r->what << ": " << Hex(r->text);
  }
}

template <std::size_t N>
void Check(const Row (&rows)[N]) {
  Check(rows, rows + N);
}

TEST(KanjiCode, EmptyShortAndLastByte) {
  const Row rows[] = {
      {"empty", "", Ascii},
      {"one byte NUL", Bytes({0x00}), Ascii},
      {"one byte 0xFF", Bytes({0xFF}), Ascii},
      {"one byte lead", Bytes({0x82}), Ascii},
      {"one byte EUC", Bytes({0xF0}), Ascii},
      {"one byte ESC", Bytes({0x1B}), Ascii},
      {"A NUL", Bytes({'A', 0x00}), Ascii},
      {"A lead", Bytes({'A', 0x82}), Ascii},
      {"NUL A", Bytes({0x00, 'A'}), Binary},
      {"plain ASCII", "Hello, world.\r\n", Ascii},
      {"0x80 and 0xA0 only", Bytes({'a', 0x80, 0xA0, 0x80, 'b'}), Ascii},
  };
  Check(rows);
}

TEST(KanjiCode, BinaryBytes) {
  const Row rows[] = {
      {"0x07", Bytes({'a', 0x07, 'b'}), Binary},
      {"0xFF", Bytes({'a', 0xFF, 'b'}), Binary},
      {"0x08 backspace is text", Bytes({'a', 0x08, 'b'}), Ascii},
      {"0x1A end of file is text", Bytes({'a', 0x1A, 'b'}), Ascii},
      {"binary before Shift-JIS", Bytes({0x01, 0x82, 0xA0}), Binary},
  };
  Check(rows);
}

TEST(KanjiCode, EscapeSequences) {
  const Row rows[] = {
      {"ESC $ B", Bytes({0x1B, '$', 'B', 'x'}), Jis83},
      {"ESC $ B then EUC and SJIS", Bytes({0x1B, '$', 'B', 0xF0, 0xA1, 0x82, 0xA0}), Jis83},
      {"ESC $ @", Bytes({0x1B, '$', '@', 'x'}), Jis78},
      {"ESC $ B as the last three bytes", Bytes({'a', 0x1B, '$', 'B'}), Jis83},
      {"ESC ( B alone", Bytes({0x1B, '(', 'B'}), Ascii},
      {"ESC $ A", Bytes({0x1B, '$', 'A', 'x'}), Ascii},
      {"ESC $ ends the text", Bytes({'a', 0x1B, '$'}), Ascii},
      {"ESC $ after a both-codes pair", Bytes({0xB1, 0xB2, 0x1B, '$'}), EucOrShiftJis},
      {"ESC swallows the next byte", Bytes({0x1B, 0x82, 'x'}), Ascii},
      {"ESC $ swallows a lead byte", Bytes({0x1B, '$', 0x82, 'x'}), Ascii},
      {"ESC ESC $ B: the second ESC is consumed", Bytes({0x1B, 0x1B, '$', 'B', 'x'}), Ascii},
  };
  Check(rows);
}

TEST(KanjiCode, ShiftJisOnlyPatterns) {
  const Row rows[] = {
      {"kanji 0x8A 0xBF", Bytes({0x8A, 0xBF}), ShiftJis},
      {"lead 0x81", Bytes({0x81, 0x40}), ShiftJis},
      {"lead 0x9F", Bytes({0x9F, 0x40}), ShiftJis},
      {"lead 0x8D", Bytes({0x8D, 0x40}), ShiftJis},
      {"katakana then A", Bytes({0xB1, 0x41}), ShiftJis},
      {"katakana then control", Bytes({0xB1, 0x0A}), ShiftJis},
      {"katakana then 0x9F", Bytes({0xB1, 0x9F}), ShiftJis},
      {"0x8E then 0x40", Bytes({0x8E, 0x40}), ShiftJis},
      {"0x8E then 0xA0", Bytes({0x8E, 0xA0}), ShiftJis},
      {"0x8E then 0xE0", Bytes({0x8E, 0xE0}), ShiftJis},
      {"0x8E then 0xFC", Bytes({0x8E, 0xFC}), ShiftJis},
      {"0xE0 then 0x40", Bytes({0xE0, 0x40}), ShiftJis},
      {"0xEF then 0xA0", Bytes({0xEF, 0xA0}), ShiftJis},
      {"0xE5 then 0x80", Bytes({0xE5, 0x80}), ShiftJis},
  };
  Check(rows);
}

TEST(KanjiCode, EucOnlyPatterns) {
  const Row rows[] = {
      {"EUC text", Bytes({0xC6, 0xFC, 0xCB, 0xDC}), Euc},
      {"lead 0xF0", Bytes({0xF0, 0xA1}), Euc},
      {"lead 0xFE", Bytes({0xFE, 'a'}), Euc},
      {"katakana then 0xF0", Bytes({0xB1, 0xF0}), Euc},
      {"katakana then 0xFE", Bytes({0xB1, 0xFE}), Euc},
      {"0xE0 then 0xFD", Bytes({0xE0, 0xFD}), Euc},
      {"0xEF then 0xFE", Bytes({0xEF, 0xFE}), Euc},
  };
  Check(rows);
}

TEST(KanjiCode, PatternsOfBothCodes) {
  const Row rows[] = {
      {"two katakana", Bytes({0xB1, 0xB2}), EucOrShiftJis},
      {"0x8E then katakana", Bytes({0x8E, 0xB1}), EucOrShiftJis},
      {"0xE0 then 0xA1", Bytes({0xE0, 0xA1}), EucOrShiftJis},
      {"0xEF then 0xFC", Bytes({0xEF, 0xFC}), EucOrShiftJis},
      {"both then ASCII", Bytes({0xB1, 0xB2, 'a', 'b'}), EucOrShiftJis},
      {"both then Shift-JIS", Bytes({0xB1, 0xB2, 0x82, 0xA0}), ShiftJis},
      {"both then EUC", Bytes({0xB1, 0xB2, 0xF0, 0xA1}), Euc},
      {"both then binary", Bytes({0xB1, 0xB2, 0x00, 'a'}), Binary},
      {"both then JIS", Bytes({0xB1, 0xB2, 0x1B, '$', 'B'}), Jis83},
  };
  Check(rows);
}

// Past the screened first 512 bytes, so that a control byte or 0xFF is seen by the scan only.
std::string AfterScreen(std::initializer_list<int> bytes) { return std::string(600, 'a') + Bytes(bytes); }

TEST(KanjiCode, NoChangeAfterLookAhead) {
  const Row rows[] = {
      {"katakana then 0xA0", Bytes({0xB1, 0xA0, 'a'}), Ascii},
      {"katakana swallows 0xFF", AfterScreen({0xB1, 0xFF, 'a'}), Ascii},
      {"unswallowed 0xFF", AfterScreen({0xFF, 'a'}), Binary},
      {"0x8E then 0x7F", Bytes({0x8E, 0x7F, 'a'}), Ascii},
      {"0x8E swallows 0xFD", Bytes({0x8E, 0xFD, 'a'}), Ascii},
      {"unswallowed 0xFD", Bytes({'a', 0xFD, 'a'}), Euc},
      {"0x8E swallows NUL", AfterScreen({0x8E, 0x00, 'a'}), Ascii},
      {"0xE0 then 0x7F", Bytes({0xE0, 0x7F, 'a'}), Ascii},
      {"0xE0 then 0x3F", Bytes({0xE0, 0x3F, 'a'}), Ascii},
      {"0xE0 swallows 0xFF", AfterScreen({0xE0, 0xFF, 'a'}), Ascii},
      {"scan goes on after no change", Bytes({0xE0, 0x3F, 0x82, 0xA0}), ShiftJis},
      {"a look-ahead may read the last byte", Bytes({'a', 0xE0, 0x40}), ShiftJis},
  };
  Check(rows);
}

TEST(KanjiCode, RunCheck) {
  const Row rows[] = {
      {"decides Shift-JIS at 0x93", Bytes({0xB1, 0xE0, 0x41, 0x42, 0x93}), ShiftJis},
      {"0x9E does not decide", Bytes({0xB1, 0xE0, 0x41, 0x42, 0x9E}), EucOrShiftJis},
      {"0x9C decides", Bytes({0xB1, 0xE0, 0x9C}), ShiftJis},
      {"0x9D does not", Bytes({0xB1, 0xE0, 0x9D}), EucOrShiftJis},
      {"0x8E does not", Bytes({0xB1, 0xE0, 0x8E}), EucOrShiftJis},
      {"0x81 decides", Bytes({0xB1, 0xE0, 0x81}), ShiftJis},
      {"0xFD decides EUC", Bytes({0xB1, 0xE0, 0xA1, 0xFD}), Euc},
      {"0xFE decides EUC", Bytes({0xB1, 0xE0, 0xFE}), Euc},
      {"0xFF does not", Bytes({0xB1, 0xE0, 0xFF}), EucOrShiftJis},
      {"blank ends it, scan resumes", Bytes({0xB1, 0xE0, 0x41, 0x20, 0x93, 0x41}), ShiftJis},
      {"the last byte is never scanned", Bytes({0xB1, 0xE0, 0x41, 0x20, 0x93}), EucOrShiftJis},
      {"ESC ending the run is passed over",
       Bytes({0xB1, 0xE0, 0x41, 0x1B, '$', 'B', 'x'}), EucOrShiftJis},
      {"control byte ending the run is passed over",
       Bytes({0xB1, 0xE0, 0x41, 0x01, 'x', 'y'}), Binary},  // the screen still sees it
      {"NUL after the screen limit is passed over", AfterScreen({0xB1, 0xE0, 0x41, 0x00, 'x', 'y'}),
       EucOrShiftJis},
      {"run to the end of the text", Bytes({0xB1, 0xE0, 0xE0, 0xE0, 0xE0}), EucOrShiftJis},
      {"run reads the last byte", Bytes({0xB1, 0xEF, 0x41, 0xFE}), Euc},
  };
  Check(rows);
}

TEST(KanjiCode, ScreeningLimit) {
  std::string text(700, 'a');
  text[599] = '\0';
  EXPECT_EQ(DetectKanjiCode(text), Binary) << "found by the scan";
  std::string sjis = text;
  sjis[100] = static_cast<char>(0x82);
  sjis[101] = static_cast<char>(0xA0);
  EXPECT_EQ(DetectKanjiCode(sjis), ShiftJis);

  std::string edge(700, 'a');
  edge[511] = static_cast<char>(0xFF);  // position 512: the last screened
  edge[0] = static_cast<char>(0x82);
  edge[1] = static_cast<char>(0xA0);
  EXPECT_EQ(DetectKanjiCode(edge), Binary);
  edge[511] = 'a';
  edge[512] = static_cast<char>(0xFF);  // position 513: left to the scan, which stops earlier
  EXPECT_EQ(DetectKanjiCode(edge), ShiftJis);
}

TEST(KanjiCode, RealTexts) {
  // "日本語のテキスト" in each code.
  const Row rows[] = {
      {"Shift-JIS", Bytes({0x93, 0xFA, 0x96, 0x7B, 0x8C, 0xEA, 0x82, 0xCC, 0x83, 0x65}), ShiftJis},
      {"EUC-JP", Bytes({0xC6, 0xFC, 0xCB, 0xDC, 0xB8, 0xEC, 0xA4, 0xCE, 0xA5, 0xC6}), Euc},
      {"ISO-2022-JP",
       Bytes({0x1B, '$', 'B', 0x46, 0x7C, 0x4B, 0x5C, 0x1B, '(', 'B', '\r', '\n'}), Jis83},
      {"half-width katakana", Bytes({0xC3, 0xB7, 0xBD, 0xC4, '\r', '\n'}), EucOrShiftJis},
  };
  Check(rows);
}

// Debian's Japanese manual pages in each code, made by iconv and nkf at test time.
TEST(KanjiCode, JapaneseManualPages) {
  if (std::system("command -v iconv >/dev/null 2>&1 && command -v gzip >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "iconv or gzip missing";
  }
  const bool have_nkf = std::system("command -v nkf >/dev/null 2>&1") == 0;
  int pages = 0;
  for (const char* name : {"ls.1.gz", "cp.1.gz", "tar.1.gz", "find.1.gz", "grep.1.gz"}) {
    const std::filesystem::path page = std::filesystem::path("/usr/share/man/ja/man1") / name;
    if (!std::filesystem::exists(page)) continue;
    const std::string text = "gzip -dc '" + page.string() + "' | ";
    const std::string sjis = ReadCommand(text + "iconv -c -f UTF-8 -t CP932 2>/dev/null");
    const std::string euc = ReadCommand(text + "iconv -c -f UTF-8 -t EUC-JP 2>/dev/null");
    EXPECT_EQ(DetectKanjiCode(sjis), ShiftJis) << page;
    EXPECT_EQ(DetectKanjiCode(euc), Euc) << page;
    if (have_nkf) {
      EXPECT_EQ(DetectKanjiCode(ReadCommand(text + "nkf -W -j")), Jis83) << page;
    }
    ++pages;
  }
  if (pages == 0) GTEST_SKIP() << "no Japanese manual pages installed (manpages-ja)";
}

TEST(KanjiCode, ArbitraryBytesNeverFail) {
  std::mt19937 rng(31);
  for (int n = 0; n < 20000; ++n) {
    std::string s(rng() % 24, '\0');
    for (char& c : s) c = static_cast<char>(rng() & 0xFF);
    const int code = DetectKanjiCode(s);
    ASSERT_GE(code, 0);
    ASSERT_LE(code, 6);
    // A text can only become binary through a control byte or 0xFF somewhere in it.
    if (code == Binary) {
      ASSERT_NE(s.find_first_of(std::string("\0\1\2\3\4\5\6\7\xFF", 9)), std::string::npos);
    }
  }
}

// Fed in blocks, detection gives what it gives on the whole text, wherever the block edges
// fall: inside an escape sequence, a double byte, a run of double bytes, or at the screen's end.
TEST(KanjiCode, BlocksGiveTheWholeTextsResult) {
  const unsigned char alphabet[] = {0x1B, '$', 'B', '@', '(', 0x8E, 0xA1, 0xB0, 0xDF, 0xE0, 0xE5, 0xEF,
                                    0xF0, 0xFD, 0xFE, 0x40, 0x7E, 0x7F, 0x80, 0x9F, 0xA0, 0x9D, 0x81,
                                    0x8F, 0x3F, '\n', 'a', 0x00, 0xFF};
  std::mt19937 rng(7);
  int decided[7] = {};
  for (int round = 0; round < 60000; ++round) {
    std::string text(rng() % (round % 8 == 0 ? 1400 : 24), 'a');
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (rng() % 3 == 0) continue;
      unsigned char c = alphabet[rng() % sizeof alphabet];
      if ((c == 0x00 || c == 0xFF) && i < 600 && rng() % 4 != 0) c = 'b';  // let the walk run
      text[i] = static_cast<char>(c);
    }
    const KanjiCode whole = DetectKanjiCode(text);
    ++decided[whole];
    TKanjiCodeDetector detector;
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t n = rng() % 16 == 0 ? 600 : 1 + rng() % 4;
      detector.Feed(std::string_view(text).substr(at, n));
      at += n;
    }
    ASSERT_EQ(detector.Finish(), whole) << Hex(text);
  }
  for (int code = Ascii; code <= EucOrShiftJis; ++code) EXPECT_GT(decided[code], 0) << code;

  // A decided detector takes no more bytes, and one block per byte over a long text still agrees.
  TKanjiCodeDetector sjis;
  sjis.Feed(std::string(600, 'a') + Bytes({0x82, 0xA0, 'x'}));
  EXPECT_TRUE(sjis.Decided());
  sjis.Feed(Bytes({0xF0, 0xF0}));
  EXPECT_EQ(sjis.Finish(), ShiftJis);
  std::string halfwidth;
  for (int i = 0; i < 5000; ++i) halfwidth += Bytes({0xB1, 0xE0, 0xE5, ' '});
  TKanjiCodeDetector bytes;
  for (char c : halfwidth) bytes.Feed(std::string_view(&c, 1));
  EXPECT_FALSE(bytes.Decided());
  EXPECT_EQ(bytes.Finish(), DetectKanjiCode(halfwidth));
}

TEST(KanjiCode, Names) {
  const char* const names[] = {"ASCII", "ﾊﾞｲﾅﾘ", "JIS83", "JIS78", "EUC", "ｼﾌﾄJIS", "EUC+ｼﾌﾄJIS", "UTF-8", "UTF-16"};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(KanjiCodeNameUtf8(i), names[i]);
  EXPECT_TRUE(KanjiCodeNameUtf8(-1).empty());
  EXPECT_TRUE(KanjiCodeNameUtf8(9).empty());
}

}  // namespace
}  // namespace sorabu::textconv
