// Names that try to write to the terminal, names beyond Shift-JIS, literal paths and a late first
// non-ASCII character, through dir, grep and detect.
#include <string>
#include <vector>

#include "cli_harness.h"

namespace sorabu::cli::test {
namespace {

const std::string kForged = "y\r\n2026\xEF\xBC\x8F" "01  forged.txt";  // CR LF and a fake line
const std::string kEscape = "t\x1B]0;title\x07.txt";

TEST_F(CliTest, ControlBytesInNamesAreEscapedInEveryListing) {
  Write("d/" + kForged, "abc\r\n");
  Write("d/" + kEscape, "abc\r\n");
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"dir", "d"}, {"dir", "/B", "d"}, {"grep", "abc", "d"}, {"detect", "d/" + kForged, "d/" + kEscape}}) {
    const CliResult r = Run(args);
    EXPECT_EQ(r.status, 0) << args[0] << r.err;
    EXPECT_EQ(r.out.find('\x1B'), std::string::npos) << args[0];
    EXPECT_EQ(r.out.find('\x07'), std::string::npos) << args[0];
    EXPECT_EQ(r.out.find("y\r"), std::string::npos) << args[0];
    EXPECT_NE(r.out.find("\\x1B"), std::string::npos) << args[0] << ": " << r.out;
    EXPECT_NE(r.out.find("y\\x0D\\x0A"), std::string::npos) << args[0];
  }
}

TEST_F(CliTest, DirTakesAPathAfterTheDashesAsItStands) {
  Write("D/a1.txt", "1");
  Write("D/a[1].txt", "2");
  Write("D/back\\slash.txt", "3");
  CliResult r = Run({"dir", "/B", "--", "D/a[1].txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "a[1].txt\r\n");
  r = Run({"dir", "/B", "--", "D/back\\slash.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "back\\\\slash.txt\r\n");
}

TEST_F(CliTest, ErrorLinesShowNamesBeyondShiftJisAsTheyAre) {
  const CliResult r = Run({"detect", "emoji\xF0\x9F\x98\x80.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("emoji\xF0\x9F\x98\x80.txt"), std::string::npos) << r.err;
}

TEST_F(CliTest, GrepDecidesUtf8AtTheFirstNonAsciiCharacter) {
  Write("u.txt", std::string(102398, 'a') + "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\n");
  const CliResult r = Run({"grep", "--count", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", "u.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "1\n");
}

}  // namespace
}  // namespace sorabu::cli::test
