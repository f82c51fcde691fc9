// Input no encoder writes: random bytes, cut-off characters and escape sequences, 0x1A, very
// long lines. Every converter completes, reads only its input (each input lives in a heap
// block of exactly its size, which AddressSanitizer builds check), and keeps what the caller
// had in the output string. Also the table of conversion numbers.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "conv_test_util.h"
#include "textconv/base64.h"
#include "textconv/binhex.h"
#include "textconv/jis_euc_sjis.h"
#include "textconv/line_conversion.h"
#include "textconv/mail_header.h"
#include "textconv/newline.h"
#include "textconv/uuencode.h"
#include "textconv/width.h"

namespace sorabu::textconv {
namespace {

using testutil::Bin;
using testutil::Sj;

void AutoNewline(std::string_view line, std::string& out) { AutoNewlineLine(line, out); }
void ToShiftJis(std::string_view line, std::string& out) { ConvertKanjiCode(line, ShiftJis, out); }
void ToJis(std::string_view line, std::string& out) { ConvertKanjiCode(line, Jis83, out); }
void CrLfToLf(std::string_view text, std::string& out) {
  ConvertNewlines(text, NewlineKind::CrLf, NewlineKind::Lf, out);
}

// Every converter of the library in its appending form.
std::vector<std::pair<std::string, LineConverter>> AllConverters() {
  std::vector<std::pair<std::string, LineConverter>> all;
  for (int code = 1; code <= 14; ++code) all.emplace_back("code " + std::to_string(code), LineConverterFor(code));
  all.emplace_back("HalfToFull", static_cast<LineConverter>(HalfToFull));
  all.emplace_back("FullToHalf", static_cast<LineConverter>(FullToHalf));
  all.emplace_back("HalfKanaToFullKana", static_cast<LineConverter>(HalfKanaToFullKana));
  all.emplace_back("AutoNewlineLine", AutoNewline);
  all.emplace_back("ConvertKanjiCode 5", ToShiftJis);
  all.emplace_back("ConvertKanjiCode 2", ToJis);
  all.emplace_back("ConvertNewlines", CrLfToLf);
  return all;
}

// Runs convert on a copy of input in a block of exactly its size.
std::string RunExact(LineConverter convert, std::string_view input) {
  const std::unique_ptr<char[]> block(new char[input.size() + (input.empty() ? 1 : 0)]);
  std::copy(input.begin(), input.end(), block.get());
  std::string out = "kept";
  convert(std::string_view(block.get(), input.size()), out);
  EXPECT_EQ(out.substr(0, 4), "kept");
  return out.substr(4);
}

TEST(BadInput, RandomBytesOfEveryShortLength) {
  std::mt19937 rng(1);
  for (const auto& [name, convert] : AllConverters()) {
    for (std::size_t n = 0; n < 64; ++n) {
      for (int round = 0; round < 20; ++round) {
        std::string input(n, '\0');
        for (char& c : input) c = static_cast<char>(rng());
        RunExact(convert, input);
      }
    }
  }
}

TEST(BadInput, CutOffCharactersAndSequences) {
  const std::string inputs[] = {
      Bin({0x1B}),        Bin({0x1B, '$'}),         Bin({0x1B, '$', 'B', 0x30}), "a" + Bin({0x8A}),
      Bin({0x8E}),        Bin({0xB6}),              Bin({0x8E, 0xB6, 0x8E}),     Bin({0xFF, 0xFF}),
      "=?ISO-2022-JP?B?", "=?ISO-2022-JP?B?YW?=",  "M",                         ":",
      Bin({0x82}),        Bin({0x1B, 0x1B, 0x1B}),  "\r",                        "\n",
  };
  for (const auto& [name, convert] : AllConverters()) {
    for (const std::string& input : inputs) RunExact(convert, input);
  }
}

// 0x1A ends the text only for the line readers; the converters pass it like any other byte.
TEST(BadInput, EofByteInTheMiddlePasses) {
  const std::string line = Sj("漢") + "\x1A" + Sj("字");
  EXPECT_EQ(JisToShiftJis(ShiftJisToJis(line)), line);
  EXPECT_EQ(EucToShiftJis(ShiftJisToEuc(line)), line);
  EXPECT_EQ(ShiftJisToJis(line).find('\x1A') != std::string::npos, true);
  EXPECT_EQ(Base64Decode(Base64Encode(line)), line);
  EXPECT_EQ(FullToHalf(line), line);
}

// A line of tens of megabytes converts in one call, with output sizes as the codes predict.
TEST(BadInput, VeryLongLine) {
  const std::string unit = Sj("漢字かなカナ") + "ascii " + Sj("ｶﾞ");
  std::string line;
  line.reserve(16 << 20);
  while (line.size() + unit.size() <= (16u << 20)) line += unit;
  const std::string euc = ShiftJisToEuc(line);
  EXPECT_EQ(euc.size(), line.size() + line.size() / unit.size() * 2);
  EXPECT_TRUE(EucToShiftJis(euc) == line);
  const std::string jis = ShiftJisToJis(line);
  EXPECT_TRUE(JisToShiftJis(jis) == JisToShiftJis(EucToJis(euc)));
  EXPECT_TRUE(Base64Decode(Base64Encode(line)) == line);
  EXPECT_TRUE(UuDecode(UuEncode(line)) == line);
  EXPECT_TRUE(BinHexDecode(BinHexEncode(line)) == line);
  EXPECT_TRUE(FullToHalf(HalfToFull(line)).size() > 0);
  EXPECT_EQ(MailHeaderEncode(line).size() > line.size(), true);
}

TEST(LineConverterFor, NumbersOneToFourteenAndTheEmptyLineTest) {
  const std::string sjis = Sj("漢ｱ");
  const std::string euc = ShiftJisToEuc(sjis);
  const std::string jis = ShiftJisToJis(sjis);
  const struct {
    int code;
    std::string in;
    std::string want;
  } rows[] = {
      {1, jis, JisToShiftJis(jis)},       {2, euc, sjis},
      {3, sjis, jis},                     {4, euc, jis},
      {5, sjis, euc},                     {6, jis, JisToEuc(jis)},
      {7, "abc", "YWJj"},                 {8, sjis, MailHeaderEncode(sjis)},
      {9, "YWJj", "abc"},                 {10, "abc", "#86)C\r`\r"},
      {11, "#86)C", "abc"},               {12, "a", ":B3:"},
      {13, ":B3:", "a"},                  {14, "=?ISO-2022-JP?B?YWJj?=", "abc\x1B(J"},
  };
  for (const auto& row : rows) {
    std::string out;
    LineConverterFor(row.code)(row.in, out);
    EXPECT_EQ(out, row.want) << row.code;
  }
  EXPECT_EQ(LineConverterFor(0), nullptr);
  EXPECT_TRUE(IsEmptyWithoutNewlines(""));
  EXPECT_TRUE(IsEmptyWithoutNewlines("\r\n\n"));
  EXPECT_FALSE(IsEmptyWithoutNewlines("\n \r"));
  EXPECT_FALSE(IsEmptyWithoutNewlines(std::string(1, '\0')));
  EXPECT_EQ(LineConverterFor(15), nullptr);
  EXPECT_EQ(LineConverterFor(-1), nullptr);
}

}  // namespace
}  // namespace sorabu::textconv
