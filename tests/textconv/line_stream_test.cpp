// A line fed in pieces gives exactly the one-call result: for every kind, on text with the
// characters that look ahead (kana and marks, pairs, escape sequences, Base64 groups, final
// LFs), cut at every point and at random points, and on random bytes. The held bytes stay a
// few, also on a long line.
#include "textconv/line_stream.h"

#include <gtest/gtest.h>

#include <random>

#include "conv_test_util.h"
#include "textconv/base64.h"
#include "textconv/binhex.h"
#include "textconv/jis_euc_sjis.h"
#include "textconv/newline.h"
#include "textconv/uuencode.h"
#include "textconv/width.h"

namespace sorabu::textconv {
namespace {

using testutil::Bin;
using testutil::Hex;
using testutil::Sj;
using K = LineStream::Kind;

std::string OneCall(K kind, std::string_view line) {
  switch (kind) {
    case K::JisToShiftJis: return JisToShiftJis(line);
    case K::EucToShiftJis: return EucToShiftJis(line);
    case K::ShiftJisToJis: return ShiftJisToJis(line);
    case K::EucToJis: return EucToJis(line);
    case K::ShiftJisToEuc: return ShiftJisToEuc(line);
    case K::JisToEuc: return JisToEuc(line);
    case K::Base64Encode: return Base64Encode(line);
    case K::AutoNewlineLine: return AutoNewlineLine(line);
    case K::ConvertToJis: return ConvertKanjiCode(line, Jis83);
    case K::ConvertToEuc: return ConvertKanjiCode(line, Euc);
    case K::ConvertToShiftJis: return ConvertKanjiCode(line, ShiftJis);
    case K::Base64Decode: return Base64Decode(line);
    case K::UuEncode: return UuEncode(line);
    case K::BinHexEncode: return BinHexEncode(line);
    case K::HalfToFull: return HalfToFull(line);
    case K::FullToHalf: return FullToHalf(line);
    case K::HalfKanaToFullKana: return HalfKanaToFullKana(line);
  }
  return {};
}

constexpr K kAllKinds[] = {K::JisToShiftJis,   K::EucToShiftJis, K::ShiftJisToJis,      K::EucToJis,
                           K::ShiftJisToEuc,   K::JisToEuc,      K::Base64Encode,       K::Base64Decode,
                           K::AutoNewlineLine, K::ConvertToJis,  K::ConvertToEuc,       K::ConvertToShiftJis,
                           K::HalfToFull,      K::FullToHalf,    K::HalfKanaToFullKana, K::UuEncode,
                           K::BinHexEncode};

std::string Streamed(LineStream& stream, std::string_view line, const std::vector<std::size_t>& cuts) {
  std::string out = "kept";
  std::size_t from = 0;
  for (const std::size_t cut : cuts) {
    stream.Feed(line.substr(from, cut - from), out);
    from = cut;
  }
  stream.Feed(line.substr(from), out);
  stream.Finish(out);
  EXPECT_EQ(out.substr(0, 4), "kept");
  return out.substr(4);
}

std::vector<std::string> TrickyLines() {
  const std::string sjis = Sj("漢字とｶﾞｷﾞﾊﾟ表ソ\nかなabc") + Bin({0xB6, 0xDE, 0xDF, 0xFB, 0xFC});
  const std::string euc = ShiftJisToEuc(sjis) + Bin({0x8E, 0xCA, 0x8E, 0xDF, 0x8E, 0xB1});
  return {
      sjis,
      sjis + Bin({0x8A}),
      euc,
      euc + Bin({0x8E}),
      ShiftJisToJis(sjis),
      ShiftJisToJis(sjis) + Bin({0x1B, '$'}),
      Bin({0x1B, '$', 'B', 0x30, 0x21, 0x1B, '(', 'B', 0x1B, '(', 'J', 'x', 0x1B, '$', '@', 0x34}),
      "a\nb\n\n",
      "a\rb\nc",
      "\n",
      "",
      "plain ascii with no newline",
      "YWJj\r\nYW Jj" "YQ==YQ" "=",
      Sj("ＡＢＣがっこうパ　") + Bin({0x83}),
  };
}

TEST(LineStream, EveryCutPointOfTrickyLines) {
  for (const K kind : kAllKinds) {
    LineStream stream(kind);
    for (const std::string& line : TrickyLines()) {
      const std::string want = OneCall(kind, line);
      for (std::size_t cut = 0; cut <= line.size(); ++cut) {
        EXPECT_EQ(Hex(Streamed(stream, line, {cut})), Hex(want)) << static_cast<int>(kind) << " cut " << cut;
      }
      std::vector<std::size_t> every_byte;
      for (std::size_t cut = 1; cut < line.size(); ++cut) every_byte.push_back(cut);
      EXPECT_EQ(Hex(Streamed(stream, line, every_byte)), Hex(want)) << static_cast<int>(kind);
    }
  }
}

TEST(LineStream, RandomBytesAndRandomCuts) {
  std::mt19937 rng(9);
  for (const K kind : kAllKinds) {
    LineStream stream(kind);
    for (int round = 0; round < 200; ++round) {
      std::string line(rng() % 3000, '\0');
      for (char& c : line) c = static_cast<char>(rng());
      std::vector<std::size_t> cuts;
      for (std::size_t at = rng() % 50; at < line.size(); at += 1 + rng() % 700) cuts.push_back(at);
      EXPECT_EQ(Streamed(stream, line, cuts), OneCall(kind, line)) << static_cast<int>(kind);
    }
  }
}

// A long line whose code is decided late, after the first check, and one never decided.
TEST(LineStream, AutomaticConversionDecidedLateOrNever) {
  const std::string ascii(5000, 'a');
  const std::string late = ascii + ShiftJisToEuc(Sj("漢字かな")) + ascii;
  const std::string never = ascii + Bin({0xB1, 0xB2}) + ascii;
  for (const std::string& line : {late, never}) {
    std::vector<std::size_t> cuts;
    for (std::size_t at = 100; at < line.size(); at += 100) cuts.push_back(at);
    LineStream stream(K::ConvertToShiftJis);
    EXPECT_EQ(Streamed(stream, line, cuts), ConvertKanjiCode(line, ShiftJis));
  }
}

TEST(LineStream, HoldsOnlyAFewBytes) {
  std::string line;
  while (line.size() < (4u << 20)) line += Sj("漢字かなｶﾞ ascii\n");
  const std::string euc = ShiftJisToEuc(line);
  const std::string jis = ShiftJisToJis(line);
  const struct {
    K kind;
    const std::string* input;
    std::size_t most_held = 4;
  } rows[] = {{K::ShiftJisToEuc, &line},   {K::ShiftJisToJis, &line},      {K::EucToJis, &euc},
              {K::EucToShiftJis, &euc},    {K::JisToShiftJis, &jis},       {K::JisToEuc, &jis},
              {K::Base64Encode, &line},    {K::AutoNewlineLine, &line},    {K::ConvertToShiftJis, &euc},
              {K::HalfToFull, &line},      {K::FullToHalf, &line},         {K::HalfKanaToFullKana, &line},
              {K::UuEncode, &line, 44},    {K::BinHexEncode, &line, 47}};
  for (const auto& row : rows) {
    LineStream stream(row.kind);
    std::string out, whole;
    std::size_t most = 0;
    for (std::size_t at = 0; at < row.input->size(); at += 65521) {
      stream.Feed(std::string_view(*row.input).substr(at, 65521), out);
      most = std::max(most, stream.Held());
    }
    stream.Finish(out);
    EXPECT_LE(most, row.most_held) << static_cast<int>(row.kind);
    EXPECT_TRUE(out == OneCall(row.kind, *row.input)) << static_cast<int>(row.kind);
  }
}

}  // namespace
}  // namespace sorabu::textconv
