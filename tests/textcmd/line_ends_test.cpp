// Linux text files end their lines with LF. Every command of the table must treat such a file
// line by line and give back LF line ends; a CR LF file must come out as before; mixed files take
// the first line end they hold; the literal model stays one option away.
#include <map>
#include <set>

#include "command_fixture.h"
#include "textcmd/out_file.h"
#include "textcmd/text_line_reader.h"

namespace sorabu::textcmd::test {
namespace {

std::string WithEnds(const std::vector<std::string>& lines, const std::string& end) {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// An answer for every question the commands ask, by the question's text.
std::vector<std::string> AnswersFor(const TCommand& command) {
  static const std::map<std::string, std::string> byQuestion = {
      {"書式:(文字)+数字 例) X0000", "No.000"},
      {"初期数値 例) 1", "8"},
      {"何桁目から(1-9999)", "3"},
      {"何文字分(1-9999)", "2"},
      {"挿入する文字を入力して下さい", "-"},
      {"項目：行頭からの桁数(半角での桁数)", "3"},
      {"１レコードの行数", "2"},
      {"１６進区切り文字(01-FF)", "2C"},
      {"区切り文字", ";"},
      {"検索する文字列", "needle"},
      {"検索する文字列(&S)", "ne+dle"},
      {"置換する文字列(&T)", "X"},
      {"削除する語句を入力して下さい", "needle"},
      {"削除文字列リスト(&I)", "needle"},
      {"正規表現(&S) (regex/plain)", "plain"},
  };
  std::vector<std::string> answers;
  for (const std::string& q : command.questions) {
    const auto found = byQuestion.find(q);
    EXPECT_NE(found, byQuestion.end()) << command.handler << " asks " << q << ": give it an answer here";
    if (found != byQuestion.end()) answers.push_back(Sjis(found->second.c_str()));
  }
  return answers;
}

class LineEndsTest : public CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    lfLines_ = true;
  }
  std::string RunOn(const std::string& handler, const std::string& input, const std::vector<std::string>& answers) {
    const std::string path = Path("a.txt");
    std::filesystem::remove(path);
    std::filesystem::remove(Path("a.org"));
    Write(path, input);
    dialogs_ = dialogs::TScriptedDialogs();
    for (const std::string& a : answers) dialogs_.Answer(a);
    TCommandContext context(dialogs_);
    context.lfLines = lfLines_;
    context.trash = Trash();
    context.sortKey = FoldedKey;
    context.infoLine = [](const std::string&) { return std::string("INFO"); };
    const auto outcome = RunCommand(handler, path, context);
    EXPECT_EQ(outcome.value_or(Outcome::Failed), Outcome::Done) << handler;
    return Read(path);
  }
  std::string Lf(const char* utf8) { return Replaced(Sjis(utf8), "\r\n", "\n"); }
};

const std::vector<std::string>& SampleLines() {
  static const std::vector<std::string> lines = [] {
    std::vector<std::string> out;
    for (const char* utf8 : {"zeta needle", "  alpha\t ", "", "", "beta 漢字 ｶﾞ　", "beta 漢字 ｶﾞ　", "<b>bold</b> &amp; x",
                             "\tTAB\tx", "ab1", "ab2", "\\section{TeX} $x$ ne", "ＡＢＣ がっこう", "Zm9vYmFy"})
      out.push_back(textconv::Utf8ToCp932(utf8));
    return out;
  }();
  return lines;
}

// The commands whose job is the line ends themselves, or whose output is not the file's lines.
const std::set<std::string> kByteExact = {"Mcrauto1Click",   "MCRtoCRLF1Click", "MLFtoCRLF1Click", "MCRLFtoCR1Click",
                                          "MLFtoCR1Click",   "MCRLFtoLF1Click", "MCRtoLF1Click"};
const std::set<std::string> kDumps = {"Mdump1Click", "Mdump1bClick"};

TEST_F(LineEndsTest, EveryCommandTreatsAnLfFileAsItsCrLfCopy) {
  for (const TCommand& command : CommandTable()) {
    if (kByteExact.count(command.handler) || kDumps.count(command.handler)) continue;
    SCOPED_TRACE(command.handler);
    // The UTF-8 conversion reads UTF-8 (Shift-JIS bytes would make it ask about every character).
    std::vector<std::string> lines = SampleLines();
    if (command.handler == "Mutf8tosjis1Click")
      for (std::string& line : lines) line = textconv::Cp932ToUtf8(line);
    const std::string crlf = WithEnds(lines, "\r\n");
    const std::string lf = WithEnds(lines, "\n");
    const auto answers = AnswersFor(command);
    const std::string fromCrLf = RunOn(command.handler, crlf, answers);
    const std::string fromLf = RunOn(command.handler, lf, answers);
    EXPECT_EQ(fromLf, Replaced(fromCrLf, "\r\n", "\n"));
    lfLines_ = false;
    EXPECT_EQ(fromCrLf, RunOn(command.handler, crlf, answers)) << "a CR LF file comes out as it always did";
    lfLines_ = true;
  }
}

TEST_F(LineEndsTest, TheNewlineCommandsKeepTheirBytesInBothModes) {
  for (const std::string& input : {std::string("a\nb\r\nc\rd\n"), std::string("x\r\ny\n\n"), std::string("p\rq")}) {
    for (const std::string& handler : kByteExact) {
      SCOPED_TRACE(handler + " on " + testing::PrintToString(input));
      lfLines_ = true;
      const std::string withLf = RunOn(handler, input, {});
      lfLines_ = false;
      EXPECT_EQ(withLf, RunOn(handler, input, {}));
    }
  }
  lfLines_ = true;
  EXPECT_EQ(RunOn("Mcrauto1Click", "a\nb\n", {}), "a\r\nb\r\n");
  EXPECT_EQ(RunOn("MCRLFtoLF1Click", "a\r\nb\r\n", {}), "a\nb\n");
}

TEST_F(LineEndsTest, TheDumpEndsItsLinesAsTheFileDoes) {
  const std::string dump = RunOn("Mdump1Click", "0123\n", {});
  EXPECT_EQ(dump.find('\r'), std::string::npos) << dump;
  EXPECT_NE(dump.find("30 31 32 33 0A"), std::string::npos) << dump;
}

TEST_F(LineEndsTest, WhatAUserSawOnLinuxFiles) {
  EXPECT_EQ(RunOn("MlinenoaddLeft1Click", "a\nb needle\nc\n", {}), "1 a\n2 b needle\n3 c\n");
  EXPECT_EQ(RunOn("MlineextractClick", "a\nb needle\nc\n", {"needle"}), "b needle\n");
  EXPECT_EQ(RunOn("Msameline1Click", "a\na\n", {}), "a\n");
  EXPECT_EQ(RunOn("MtrimL1Click", "  a\n  b\n", {}), "a\nb\n");
  EXPECT_EQ(RunOn("Mtrim1Click", "zeta\nalpha\n\n\nbeta", {}), "zeta\nalpha\nbeta\n");
  EXPECT_EQ(RunOn("McrdelClick", "a\nb\nc\n", {}), "abc\n");
  // A round trip through JIS gives the file back byte for byte.
  const std::string text = Lf("日本語\r\nカナ\r\n\r\nend");
  Write(Path("j.txt"), text);
  const std::string jis = RunOn("Msjistojis1Click", text, {});
  EXPECT_EQ(jis.find('\r'), std::string::npos);
  EXPECT_EQ(RunOn("MjistosjisClick", jis, {}), text + "\n");
}

TEST_F(LineEndsTest, AMixedFileTakesItsFirstLineEnd) {
  EXPECT_EQ(RunOn("MlinenoaddLeft1Click", "a\r\nb\nc\rd", {}), "1 a\r\n2 b\r\n3 c\r\n4 d\r\n");
  EXPECT_EQ(RunOn("MlinenoaddLeft1Click", "a\nb\rc\r\n", {}), "1 a\n2 b\n3 c\n");
  EXPECT_EQ(RunOn("MlinenoaddLeft1Click", "a\rb\nc", {}), "1 a\r2 b\r3 c\r");
  // Without any line end the file gets CR LF, as every file did before.
  EXPECT_EQ(RunOn("MlinenoaddLeft1Click", "lonely", {}), "1 lonely\r\n");
  // 0x1A ends the text: a line end after it does not count.
  EXPECT_EQ(RunOn("MlinenoaddLeft1Click", std::string("a\x1A\nb", 4), {}), "1 a\r\n");
}

TEST_F(LineEndsTest, TheLiteralModelStaysOneOptionAway) {
  lfLines_ = false;
  EXPECT_EQ(RunOn("MlinenoaddLeft1Click", "a\nb needle\nc\n", {}), "1 a\nb needle\nc\n\r\n");
  EXPECT_EQ(RunOn("Mtrim1Click", "zeta\nalpha\n\n\nbeta", {}), "zetaalphabeta\r\n");
  EXPECT_EQ(RunOn("Msameline1Click", "a\r\na\r\n", {}), "a\r\n");
}

// The line end is looked for across block edges, and a CR that ends a block waits for the next.
TEST(LineEndsOfTest, FindsTheFirstLineEndWhereverItIs) {
  char pattern[] = "/tmp/line-ends-XXXXXX";
  const std::filesystem::path dir = ::mkdtemp(pattern);
  const auto endsOf = [&](const std::string& bytes) {
    const std::string path = (dir / "f").string();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    return LineEndsOf(path, true).written;
  };
  const std::size_t block = 64 * 1024;
  EXPECT_EQ(endsOf(std::string(block - 1, 'x') + "\r\ny"), "\r\n");
  EXPECT_EQ(endsOf(std::string(block - 1, 'x') + "\rz\n"), "\r");
  EXPECT_EQ(endsOf(std::string(block - 1, 'x') + "\r"), "\r");
  EXPECT_EQ(endsOf(std::string(3 * block, 'x') + "\n"), "\n");
  EXPECT_EQ(endsOf(std::string(block + 5, 'x')), "\r\n");
  EXPECT_EQ(endsOf(std::string("ab\x1A\n", 4)), "\r\n");
  EXPECT_EQ(LineEndsOf((dir / "f").string(), false).model, LineModel::Streaming);
  EXPECT_EQ(LineEndsOf((dir / "absent").string(), true).written, "\r\n");
  EXPECT_EQ(FirstLineEnd("ab\r", true), "\r\n");
  EXPECT_EQ(FirstLineEnd("ab\r", false), "\r");
  EXPECT_EQ(FirstLineEnd("", true), "");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace sorabu::textcmd::test
