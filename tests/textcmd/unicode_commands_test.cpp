// The conversions between UTF-8 and the Japanese codes, and the question about characters that
// Shift-JIS cannot hold.
#include <gtest/gtest.h>

#include <random>

#include "tests/textcmd/command_fixture.h"
#include "textconv/jis_euc_sjis.h"

namespace sorabu::textcmd::test {
namespace {

using UnicodeCommandsTest = CommandTest;

TEST_F(UnicodeCommandsTest, RoundTripsKeepLineEndsAndEveryByte) {
  const std::string sjis = Sjis("日本語\r\nｶﾀｶﾅ と ①Ⅱ\nabc\r") + std::string("\x81\x7f\xff", 3);  // with invalid bytes
  const std::string utf8 = Transform("Msjistoutf81Click", sjis);
  EXPECT_EQ(utf8.substr(0, 11), "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\r\n");
  EXPECT_EQ(Transform("Mutf8tosjis1Click", utf8), sjis) << "Shift-JIS to UTF-8 and back is byte-identical";
  // The yen sign, overline and wave dash other systems write become Shift-JIS's own, as iconv does.
  EXPECT_EQ(Transform("Mutf8tosjis1Click", "\xC2\xA5\xE2\x80\xBE\xE3\x80\x9C"), "\x5C\x7E\x81\x60");
  // A mark in front is dropped on the way to Shift-JIS.
  EXPECT_EQ(Transform("Mutf8tosjis1Click", "\xEF\xBB\xBF" "abc"), "abc");
  // EUC and JIS go through Shift-JIS line by line.
  const std::string lines = Sjis("漢字\r\nかな\n");
  auto jisOf = [](const std::string& line) {
    std::string out;
    textconv::ShiftJisToJis(line, out);
    return out;
  };
  const std::string euc = textconv::ShiftJisToEuc(Sjis("漢字")) + "\r\n" + textconv::ShiftJisToEuc(Sjis("かな")) + "\n";
  const std::string jis = jisOf(Sjis("漢字")) + "\r\n" + jisOf(Sjis("かな")) + "\n";
  EXPECT_EQ(Transform("Meuctoutf81Click", euc), textconv::Cp932ToUtf8(lines));
  EXPECT_EQ(Transform("Mjistoutf81Click", jis), textconv::Cp932ToUtf8(lines));
}

// The file is converted a megabyte at a time: lines across the pieces' edges, and a Shift-JIS
// line longer than a piece, come out as a conversion of the whole text gives them.
TEST_F(UnicodeCommandsTest, LargeFilesConvertPieceByPieceAsAWhole) {
  std::mt19937 random(3);
  std::string sjis;
  while (sjis.size() < 2500000) {
    sjis += Sjis(random() % 2 ? "漢字かなｶﾅ abc" : "①Ⅱ〜");
    if (random() % 5 == 0) sjis += random() % 2 ? "\r\n" : "\n";
  }
  sjis += std::string(1500000, 'x') + Sjis("漢") + "\n";  // one long line
  EXPECT_EQ(Transform("Msjistoutf81Click", sjis), textconv::Cp932ToUtf8(sjis));
  const std::string euc = textconv::ShiftJisToEuc(sjis);
  std::string expected;
  std::size_t start = 0;
  while (start < euc.size()) {
    std::size_t end = euc.find('\n', start);
    end = end == std::string::npos ? euc.size() : end + 1;
    std::string_view line(euc.data() + start, end - start);
    std::size_t body = line.size();
    while (body > 0 && (line[body - 1] == '\n' || line[body - 1] == '\r')) --body;
    expected += textconv::Cp932ToUtf8(textconv::EucToShiftJis(line.substr(0, body)));
    expected += line.substr(body);
    start = end;
  }
  EXPECT_EQ(Transform("Meuctoutf81Click", euc), expected);
}

TEST_F(UnicodeCommandsTest, CharactersShiftJisLacksAreNamedAndAskedAbout) {
  const std::string path = Path("u.txt");
  const std::string text = "a\n\xF0\x9F\x98\x80 b\n\xEC\x95\x88 \xC3\x80\n";  // 😀, 안, À
  Write(path, text);
  // Cancel: the file stays as it was.
  EXPECT_EQ(Run("Mutf8tosjis1Click", path, {}), Outcome::Cancelled);
  EXPECT_EQ(Read(path), text);
  ASSERT_FALSE(dialogs_.Offered().empty());
  const std::string question = textconv::Cp932ToUtf8(dialogs_.Offered().back());
  EXPECT_NE(question.find("3 個の文字は Shift-JIS で書けません。"), std::string::npos) << question;
  EXPECT_NE(question.find("2行目 U+1F600"), std::string::npos) << question;
  EXPECT_NE(question.find("3行目 U+C548"), std::string::npos) << question;
  // Yes: 〓 for each of them, nothing else changed.
  EXPECT_EQ(Run("Mutf8tosjis1Click", path, {"yes"}), Outcome::Done);
  EXPECT_EQ(Read(path), "a\n" + Sjis("〓 b\n〓 〓\n"));
}

// The text goes through a megabyte at a time: a character cut by a piece's end is whole in the
// result, line numbers count across pieces, and the count covers every piece.
TEST_F(UnicodeCommandsTest, PiecesOfAMegabyteJoinWhereACharacterIsCut) {
  constexpr std::size_t kPiece = 1 << 20;
  for (std::size_t cut = 1; cut <= 3; ++cut) {
    std::string text(kPiece - cut, 'x');
    text += "\xE6\x97\xA5\n";  // 日, its bytes on both sides of the piece's end
    text += std::string(kPiece, 'y') + "\n\xF0\x9F\x98\x80\n";
    const std::string path = Path("p.txt");
    Write(path, text);
    EXPECT_EQ(Run("Mutf8tosjis1Click", path, {"yes"}), Outcome::Done) << cut;
    EXPECT_EQ(Read(path), std::string(kPiece - cut, 'x') + Sjis("日\n") + std::string(kPiece, 'y') + Sjis("\n〓\n")) << cut;
    const std::string question = textconv::Cp932ToUtf8(dialogs_.Offered().back());
    EXPECT_NE(question.find("1 個の文字"), std::string::npos) << question;
    EXPECT_NE(question.find("3行目 U+1F600"), std::string::npos) << question;
  }
  // Bytes that start a character the file never finishes are marked, not lost.
  const std::string path = Path("end.txt");
  Write(path, "ab\xE6\x97");
  EXPECT_EQ(Run("Mutf8tosjis1Click", path, {"yes"}), Outcome::Done);
  EXPECT_EQ(Read(path), "ab" + Sjis("〓〓"));
}

}  // namespace
}  // namespace sorabu::textcmd::test
