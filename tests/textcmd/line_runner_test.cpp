// The block-wise streaming model against the shared line reader's, on texts made of the bytes
// that matter (CR, LF, 0x1A, letters), read in blocks of every small size so that CR LF pairs
// and 0x1A fall on block edges.
#include <random>

#include "command_fixture.h"
#include "textcmd/line_runner.h"
#include "textcmd/text_line_reader.h"

namespace sorabu::textcmd::test {
namespace {

TEST_F(CommandTest, BlockwiseStreamingAgreesWithTheLineReader) {
  std::mt19937 random(7);
  const std::string path = Path("s.txt");
  std::vector<std::string> texts = {"", "a", "\r", "\r\n", "a\r\nb", "a\rb\r", "\n\n", "a\x1a", "\x1a" "a",
                                    "a\r\x1a", "a\r\n\r\n", "\r\r\n\n"};
  for (int i = 0; i < 300; ++i) {
    std::string text(random() % 40, 'x');
    for (char& c : text) c = "\r\n\x1a" "ab"[random() % (i % 3 == 0 ? 5 : 4)];
    texts.push_back(text);
  }
  for (const std::string& text : texts) for (LineModel model : {LineModel::Streaming, LineModel::StreamingLf}) {
    Write(path, text);
    const auto expected = SplitLines(text, model);
    for (std::size_t block : {1, 2, 3, 5, 64}) {
      std::vector<std::string> lines(1);
      std::string error;
      ASSERT_TRUE(ForEachStreamingPiece(
          path, model,
          [&](std::string_view piece, bool end) {
            lines.back().append(piece);
            if (end) lines.emplace_back();
          },
          error, block));
      lines.pop_back();
      EXPECT_EQ(lines, expected) << "block " << block << " model " << static_cast<int>(model) << " text "
                                 << testing::PrintToString(text);
    }
    std::vector<std::string> whole;
    std::string error;
    ASSERT_TRUE(ForEachStreamingLine(path, model, [&](std::string_view line) { whole.emplace_back(line); }, error));
    EXPECT_EQ(whole, expected);
  }
}

}  // namespace
}  // namespace sorabu::textcmd::test
