// RTF reader: tables of {input, expected dump}, grouped by feature, then malformed and random
// input. The dump shows one paragraph per line and formatted runs as "[attributes|text]".
#include "viewer/rtf_reader.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace sorabu::viewer {
namespace {

struct Row {
  const char* name;
  std::string input;
  std::string expected;
};

void CheckRows(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    EXPECT_EQ(DumpRtfDocument(ReadRtf(row.input)), row.expected) << row.name;
  }
}

TEST(RtfReaderTest, Paragraphs) {
  CheckRows({
      {"par ends a paragraph", R"({\rtf1 Hello\par World})", "Hello\nWorld"},
      {"empty paragraph kept", R"({\rtf1 a\par\par b\par})", "a\n\nb"},
      {"line breaks inside", R"({\rtf1 a\line b\par})", "a\u2028b"},
      {"tab", R"({\rtf1\pard a\tab b\par})", "a\tb"},
      {"pard changes no text", R"({\rtf1 a\pard b})", "ab"},
      {"source line ends ignored", "{\\rtf1 ab\r\ncd\ne\\par\r\n}", "abcde"},
      {"backslash newline is par", "{\\rtf1 a\\\nb}", "a\nb"},
      {"backslash CR is par", "{\\rtf1 a\\\rb}", "a\nb"},
      {"last paragraph without par", R"({\rtf1 x\par y})", "x\ny"},
      {"nothing after the last par", R"({\rtf1 x\par })", "x"},
      {"space after word is its delimiter", R"({\rtf1\b bold\b0  two})", "[b|bold] two"},
      {"page and sect end paragraphs", R"({\rtf1 a\page b\sect c})", "a\nb\nc"},
      {"text after the document ignored", "{\\rtf1 a}junk\\par more", "a"},
      {"stray close before the document", "}}{\\rtf1 a}", "a"},
      {"raw tab kept, control bytes dropped", "{\\rtf1 a\tb\x01\x7f" "c}", "a\tbc"},
  });
}

TEST(RtfReaderTest, CharacterFormat) {
  CheckRows({
      {"bold on and off", R"({\rtf1 a\b b\b0 c})", "a[b|b]c"},
      {"italic on and off", R"({\rtf1\i x\i0 y})", "[i|x]y"},
      {"underline on, ul0", R"({\rtf1\ul x\ul0 y})", "[u|x]y"},
      {"ulnone", R"({\rtf1\ul x\ulnone y})", "[u|x]y"},
      {"double underline shows as underline", R"({\rtf1\uldb x})", "[u|x]"},
      {"underline colour is no underline", R"({\rtf1\ulc2 x})", "x"},
      {"b1 is on", R"({\rtf1\b1 x})", "[b|x]"},
      {"all three", R"({\rtf1\b\i\ul x})", "[b i u|x]"},
      {"group restores format", R"({\rtf1 a{\b\i b}c})", "a[b i|b]c"},
      {"plain resets", R"({\rtf1\b\i\ul\fs40 a\plain b})", "[b i u 40|a]b"},
      {"font size", R"({\rtf1\fs24 x\fs36 y})", "[24|x][36|y]"},
      {"font size without value is default", R"({\rtf1\fs30 x\fs y})", "[30|x]y"},
      {"font size clamped", R"({\rtf1\fs99999 x\fs-4 y})", "[3276|x]y"},
      {"format survives paragraph end", R"({\rtf1\b x\par y})", "[b|x]\n[b|y]"},
      {"hidden text not shown", R"({\rtf1 a{\v hidden}b\v c\v0 d})", "abd"},
  });
}

TEST(RtfReaderTest, Colours) {
  const std::string table = R"({\colortbl;\red255\green0\blue0;\red0\green128\blue255;})";
  CheckRows({
      {"indexes into the table", "{\\rtf1" + table + R"(\cf1 r\cf2 b\cf0 d})",
       "[#ff0000|r][#0080ff|b]d"},
      {"index past the table is default", "{\\rtf1" + table + R"(\cf9 x\cf-1 y})", "xy"},
      {"plain drops the colour", "{\\rtf1" + table + R"(\cf1 x\plain y})", "[#ff0000|x]y"},
      {"colour with bold", "{\\rtf1" + table + R"(\b\cf2 x})", "[b #0080ff|x]"},
      {"components clamped", R"({\rtf1{\colortbl;\red999\green-5\blue16;}\cf1 x})",
       "[#ff0010|x]"},
      {"no auto entry", R"({\rtf1{\colortbl\red1\green2\blue3;}\cf0 x})", "[#010203|x]"},
      {"table text not shown", R"({\rtf1{\colortbl;junk\red1;}x})", "x"},
  });
}

TEST(RtfReaderTest, Cp932Bytes) {
  CheckRows({
      {"hex pair forms a kanji", R"({\rtf1 \'8a\'bf\'8e\'9a})", "漢字"},
      {"hiragana", R"({\rtf1 \'82\'a0\'82\'a2})", "あい"},
      {"source line end between the pair", "{\\rtf1 \\'8a\r\n\\'bf}", "漢"},
      {"half-width kana single byte", R"({\rtf1 \'b1\'b2})", "ｱｲ"},
      {"ascii as hex", R"({\rtf1 \'41\'42})", "AB"},
      {"escaped backslash as trail byte", R"({\rtf1 \'95\\})", "表"},
      {"raw trail 0x5C is not a control", "{\\rtf1 \x83\x5C\x95\x5C}", "ソ表"},
      {"raw trail 0x7B is not a group", "{\\rtf1 \x81\x7B" "a}", "＋a"},
      {"raw trail 0x7D is not a group end", "{\\rtf1 \x81\x7D" "a}", "±a"},
      {"hex lead with raw trail", R"({\rtf1 \'83A})", "ア"},
      {"lone lead before a control word", R"({\rtf1 \'8a\b x})", "\uF78A[b|x]"},
      {"lone lead before a group", R"({\rtf1 \'8a{\'bf}})", "\uF78Aｿ"},
      {"escapes", R"({\rtf1 \\\{\}})", "\\{}"},
      {"symbols", R"({\rtf1 a\~b\-c\_d})", "a\u00A0bc\u2011d"},
      {"named characters", R"({\rtf1\emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote})",
       "—–•‘’“”"},
  });
}

TEST(RtfReaderTest, Unicode) {
  CheckRows({
      {"with one fallback byte", R"({\rtf1 \u12354?x})", "あx"},
      {"fallback of two hex bytes", R"({\rtf1\uc2\u12354\'82\'a0x})", "あx"},
      {"default skips one hex byte only", R"({\rtf1\u12354\'82\'a0x})", "あ\uF7A0x"},
      {"uc0 skips nothing", R"({\rtf1\uc0\u26412 x})", "本x"},
      {"negative value", R"({\rtf1\u-143?})", "ｱ"},
      {"surrogate pair", R"({\rtf1\u-10179?\u-8704?})", "😀"},
      {"out of range", R"({\rtf1\u70000?})", "\uFFFD"},
      {"no value is ignored", R"({\rtf1\u x})", "x"},
      {"brace ends the fallback", R"({\rtf1 {\uc3\u26412 a}bcd})", "本bcd"},
      {"uc belongs to its group", R"({\rtf1{\uc2 x}\u26412 ab})", "x本b"},
      {"control word counts as one", R"({\rtf1\u8212\emdash x})", "—x"},
      {"raw double byte counts as two", "{\\rtf1\\uc2\\u26412 \x96\x7Bx}", "本x"},
  });
}

TEST(RtfReaderTest, SkippedDestinations) {
  CheckRows({
      {"font table",
       R"({\rtf1\ansicpg932{\fonttbl{\f0\fnil\fcharset128 \'82\'6c\'82\'72 Mincho;}}\f0 x})",
       "x"},
      {"style sheet", R"({\rtf1{\stylesheet{\s0 Normal;}}x})", "x"},
      {"info", R"({\rtf1{\info{\title T}{\author A}}x})", "x"},
      {"starred unknown", R"({\rtf1{\*\generator Riched20 10.0;}x})", "x"},
      {"starred nested groups", R"({\rtf1{\*\foo {a{b}c} d}e})", "e"},
      {"picture with hex", R"({\rtf1 a{\pict\pngblip 89504e47}b})", "ab"},
      {"header and footer", R"({\rtf1{\header H}{\footerr F}x})", "x"},
      {"field keeps result", R"({\rtf1{\field{\*\fldinst HYPERLINK "http://x"}{\fldrslt link}}.})",
       "link."},
      {"field instruction without star", R"({\rtf1{\field{\fldinst PAGE}{\fldrslt 3}}})", "3"},
      {"bin data holds braces", R"({\rtf1 a{\pict\bin3 }}{}b})", "ab"},
      {"bin outside picture", R"({\rtf1 a\bin2 \\b})", "ab"},
      {"unknown word alone keeps text", R"({\rtf1\foo text\bar5 more})", "textmore"},
      {"escapes inside skipped group", R"({\rtf1{\*\x \} \{ \'7d}y})", "y"},
      {"list text shown", R"({\rtf1{\listtext 1.\tab}Item\par})", "1.\tItem"},
      {"pn numbering hidden", R"({\rtf1{\pn\pnlvlblt{\pntxtb \'81\'45}}x})", "x"},
  });
}

TEST(RtfReaderTest, WordPadDocument) {
  const std::string doc =
      "{\\rtf1\\ansi\\ansicpg932\\deff0\\nouicompat\\deflang1033\\deflangfe1041"
      "{\\fonttbl{\\f0\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}}\r\n"
      "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
      "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
      "\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang17 \\'93\\'fa\\'96\\'7b\\'8c\\'ea"
      "\\b\\'91\\'be\\'8e\\'9a\\b0\\par\r\n"
      "\\cf1\\i\\'90\\'d4\\cf0\\i0 end\\par\r\n}\r\n\0\0";
  EXPECT_EQ(DumpRtfDocument(ReadRtf(doc)), "[22|日本語][b 22|太字]\n[i 22 #ff0000|赤][22|end]");
}

TEST(RtfReaderTest, NeighbouringRunsMerge) {
  const RtfDocument doc = ReadRtf(R"({\rtf1 a{b}{\b0 c}\i0 d\par})");
  ASSERT_EQ(doc.paragraphs.size(), 1u);
  ASSERT_EQ(doc.paragraphs[0].size(), 1u);
  EXPECT_EQ(doc.paragraphs[0][0].text, u"abcd");
}

TEST(RtfReaderTest, MalformedInput) {
  CheckRows({
      {"empty", "", ""},
      {"only open", "{", ""},
      {"only closes", "}}}", ""},
      {"truncated document", R"({\rtf1 abc)", "abc"},
      {"lone backslash at end", "{\\rtf1 a\\", "a"},
      {"truncated hex", "{\\rtf1 a\\'8", "a"},
      {"one hex digit", R"({\rtf1 a\'8g})", "ag"},
      {"invalid hex", R"({\rtf1 a\'zzb})", "azzb"},
      {"lead byte at end of input", "{\\rtf1 a\\'8a", "a\uF78A"},
      {"raw lead byte at end of input", "{\\rtf1 a\x8a", "a\uF78A"},
      {"huge parameter saturates", R"({\rtf1\fs99999999999999999999 x})", "[3276|x]"},
      {"huge bin runs to the end", R"({\rtf1 a\bin99999999999 bcd})", "a"},
      {"negative bin", R"({\rtf1 a\bin-5 b})", "ab"},
      {"minus without digits", R"({\rtf1\b- x})", "[b|- x]"},
      {"very long word", "{\\rtf1\\" + std::string(10000, 'a') + " x}", "x"},
      {"huge uc bounded", R"({\rtf1\uc999999999\u26412 abcd})", "本"},
      {"star before text", R"({\rtf1 \*x})", "x"},
      {"NUL bytes", std::string("{\\rtf1 a\0b}", 11), "ab"},
  });
}

TEST(RtfReaderTest, NestingDepthIsBounded) {
  const auto nest = [](int depth, const std::string& inner) {
    return std::string(static_cast<std::size_t>(depth), '{') + inner +
           std::string(static_cast<std::size_t>(depth), '}');
  };
  EXPECT_EQ(DumpRtfDocument(ReadRtf(nest(kRtfMaxGroupDepth, "x"))), "x");
  EXPECT_EQ(DumpRtfDocument(ReadRtf(nest(kRtfMaxGroupDepth + 1, "x"))), "");
  // Text after a too-deep part still shows once its braces have closed.
  EXPECT_EQ(DumpRtfDocument(ReadRtf("{a" + nest(100000, "b") + "c}")), "ac");
  // Unclosed groups a million deep.
  EXPECT_EQ(DumpRtfDocument(ReadRtf("{a" + std::string(1000000, '{'))), "a");
}

// Every shown character comes from at least one input byte, so the document can never be
// larger than its input; a reader that loops or repeats text fails this.
void CheckBounded(const std::string& input) {
  const RtfDocument doc = ReadRtf(input);
  std::size_t units = 0;
  for (const auto& paragraph : doc.paragraphs) {
    for (const RtfRun& run : paragraph) {
      EXPECT_FALSE(run.text.empty());
      units += run.text.size();
    }
  }
  EXPECT_LE(units + doc.paragraphs.size(), input.size() + 1);
}

TEST(RtfReaderTest, RandomInputStaysBounded) {
  static constexpr std::string_view kPieces[] = {
      "{", "}", "\\", "\\'", "8a", "bf", "\\u", "-", "123", "\\uc", "2", "\\bin", "5", " ",
      "\\par", "\\*", "\\fonttbl", "\\colortbl", ";", "\\red", "\\cf", "1", "\\b", "\\fs",
      "\x83", "\x5C", "\r\n", "x", "\\'8", "\\pict", "\\fldrslt", "\\v", "\\~", "\\line"};
  std::mt19937 random(20261208);
  for (int round = 0; round < 3000; ++round) {
    std::string input;
    const int pieces = static_cast<int>(random() % 200);
    for (int i = 0; i < pieces; ++i) {
      if (random() % 5 == 0) {
        input += static_cast<char>(random() % 256);
      } else {
        input += kPieces[random() % std::size(kPieces)];
      }
    }
    CheckBounded(input);
  }
}

}  // namespace
}  // namespace sorabu::viewer
