// The RTF writer against the reader: whatever the pane holds comes back as it was.
#include "viewer/rtf_writer.h"

#include <gtest/gtest.h>

#include <random>

#include "textconv/cp932.h"

namespace sorabu::viewer {
namespace {

RtfRun TextRun(std::u16string text) { return RtfRun{std::move(text)}; }

TEST(RtfWriterTest, ReadsBackWhatItWrote) {
  RtfDocument doc;
  RtfRun bold = TextRun(u"太字{と}\\");
  bold.bold = true;
  RtfRun styled = TextRun(u"ｶﾀｶﾅ\tと改行\u2028の後");
  styled.italic = styled.underline = true;
  styled.halfPoints = 28;
  styled.rgb = 0xFF0000;
  RtfRun blue = TextRun(u"青");
  blue.rgb = 0x0000FF;
  doc.paragraphs = {{TextRun(u"plain "), bold, styled}, {}, {blue, TextRun(u"①髙")}};
  const std::string rtf = WriteRtf(doc, textconv::Utf8ToCp932("ＭＳ ゴシック"));
  EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
  EXPECT_EQ(rtf.find_first_of("\x80\xff"), std::string::npos) << "8-bit bytes are written as \\'hh";
  EXPECT_EQ(ReadRtf(rtf), doc);
}

TEST(RtfWriterTest, RandomDocumentsRoundTrip) {
  std::mt19937 random(7);
  const std::u16string alphabet = u"ab {}\\\t\u2028漢字ｱ①";
  for (int round = 0; round < 200; ++round) {
    RtfDocument doc;
    const int paragraphs = 1 + static_cast<int>(random() % 4);
    for (int p = 0; p < paragraphs; ++p) {
      std::vector<RtfRun> runs;
      const int count = p + 1 == paragraphs ? 1 + static_cast<int>(random() % 3) : static_cast<int>(random() % 3);
      for (int r = 0; r < count; ++r) {
        RtfRun run;
        for (int i = 0; i < 1 + static_cast<int>(random() % 6); ++i) run.text += alphabet[random() % alphabet.size()];
        // Neighbours differ in formatting, as the reader merges equal ones.
        run.bold = r % 2 == 1;
        if (random() % 3 == 0) run.halfPoints = 16 + 2 * static_cast<int>(random() % 8);
        if (random() % 3 == 0) run.rgb = random() & 0xFFFFFF;
        runs.push_back(run);
      }
      doc.paragraphs.push_back(runs);
    }
    ASSERT_EQ(DumpRtfDocument(ReadRtf(WriteRtf(doc, "Mono"))), DumpRtfDocument(doc)) << round;
  }
}

}  // namespace
}  // namespace sorabu::viewer
