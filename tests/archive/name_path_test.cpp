#include "archive/lha/name_path.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace sorabu::lha {
namespace {

using test::Sjis;

TEST(NamePath, SafeComponents) {
  const std::string so = Sjis("ソ");     // 0x83 0x5C
  const std::string hyo = Sjis("表");    // 0x95 0x5C
  const struct {
    std::string name;
    Error error;
    std::vector<std::string> parts;
  } rows[] = {
      {"a.txt", Error::kOk, {"a.txt"}},
      {"dir/sub/a.txt", Error::kOk, {"dir", "sub", "a.txt"}},
      {"dir\\sub\\a.txt", Error::kOk, {"dir", "sub", "a.txt"}},
      {"./a//b/./c", Error::kOk, {"a", "b", "c"}},
      {so + "\\" + hyo + ".txt", Error::kOk, {so, hyo + ".txt"}},
      {hyo + so, Error::kOk, {hyo + so}},
      {"dir/..name", Error::kOk, {"dir", "..name"}},
      {"", Error::kUnsafeName, {}},
      // From the root or a drive, as archivers on the Macintosh and Windows CE store them.
      {"/etc/passwd", Error::kOk, {"etc", "passwd"}},
      {"/Mounted Volume/" + so + ".txt", Error::kOk, {"Mounted Volume", so + ".txt"}},
      {"\\windows\\x", Error::kOk, {"windows", "x"}},
      {"//server/share/x", Error::kOk, {"server", "share", "x"}},
      {"C:\\x", Error::kOk, {"x"}},
      {"c:x", Error::kOk, {"x"}},
      {"/", Error::kUnsafeName, {}},
      {"C:", Error::kUnsafeName, {}},
      {"C:\\..\\x", Error::kUnsafeName, {}},
      {"/../x", Error::kUnsafeName, {}},
      {"../x", Error::kUnsafeName, {}},
      {"a/../../x", Error::kUnsafeName, {}},
      {"a\\..\\..\\x", Error::kUnsafeName, {}},
      {"a/..", Error::kUnsafeName, {}},
      {".", Error::kUnsafeName, {}},
      {"./", Error::kUnsafeName, {}},
      {std::string("a\0b", 3), Error::kUnsafeName, {}},
  };
  for (const auto& r : rows) {
    std::vector<std::string> parts;
    EXPECT_EQ(SafeComponents(r.name, parts), r.error) << EscapeForDisplay(r.name);
    EXPECT_EQ(parts, r.parts) << EscapeForDisplay(r.name);
  }
}

TEST(NamePath, SecondByteSeparatorsAreNotSplit) {
  // A lead byte followed by "/" is no character: the "/" still separates.
  EXPECT_EQ(SplitComponents("\x83/x"), (std::vector<std::string>{"\x83", "x"}));
  EXPECT_EQ(NormalizeSeparators(Sjis("ソ") + "\\a\xFF" "b"), Sjis("ソ") + "/a/b");
  // A lead byte at the very end stays a byte of its own.
  EXPECT_EQ(SplitComponents("a\\\x83"), (std::vector<std::string>{"a", "\x83"}));
}

TEST(NamePath, EscapeForDisplay) {
  const struct {
    std::string in, out;
  } rows[] = {
      {"plain.txt", "plain.txt"},
      {"a\nb\x1b[31m", "a\\x0Ab\\x1B[31m"},
      {"tab\there\x7F", "tab\\x09here\\x7F"},
      {"back\\slash", "back\\\\slash"},
      {Sjis("ソフト"), Sjis("ソフト")},
      {std::string("\x83\x0A", 2), "\x83\\x0A"},
  };
  for (const auto& r : rows) EXPECT_EQ(EscapeForDisplay(r.in), r.out);
}

}  // namespace
}  // namespace sorabu::lha
