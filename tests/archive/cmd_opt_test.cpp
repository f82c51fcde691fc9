// Every command line the wrappers build, byte for byte, per format and option set.
#include <gtest/gtest.h>

#include "archive/bind/cmd_opt.h"
#include "tests/archive/test_util.h"

namespace sorabu::archive {
namespace {

using T = TArchiverType;
using Op = TCmdOperation;

struct LineCase {
  const char* what;
  T type;
  Op op;
  bool owner;
  bool lmzip_only;
  std::vector<std::pair<const char*, int>> numbers;
  std::string folder;
  std::vector<std::string> files;
  std::string expected;
};

TEST(CmdOptTest, EveryFormatsLine) {
  const std::vector<LineCase> cases = {
      {"lha extract keeps folders", T::atLha, Op::kExtract, false, false, {{"x", 1}}, "d", {}, R"(x -+ -x1 "a" "d\")"},
      {"lha pack", T::atLha, Op::kPack, false, false, {{"x", 1}}, "", {"f1", "f 2"}, R"(u -+ -x1 "a" "f1" "f 2")"},
      {"lha remove/update/sfx", T::atLha, Op::kRemove, false, false, {}, "", {"f"}, R"(d -+ "a" "f")"},
      {"lha update", T::atLha, Op::kUpdate, false, false, {}, "", {}, R"(f -+ "a")"},
      {"lha sfx", T::atLha, Op::kSelfExtract, false, false, {}, "", {}, R"(s -+ "a")"},
      {"lha switch order and owner forces n", T::atLha, Op::kExtract, true, false,
       {{"jm", 5}, {"c", 1}, {"a", 2}, {"n", 0}}, "d\\", {}, R"(x -+ -a2 -c1 -n1 -jm5 "a" "d\")"},
      {"arj as lha", T::atArj, Op::kExtract, false, false, {{"x", 1}}, "", {}, R"(x -+ -x1 "a")"},
      {"zip32j pack defaults", T::atZip, Op::kPack, false, false, {}, "", {"f"}, R"( -D "a" "f")"},
      {"zip32j pack every switch", T::atZip, Op::kPack, false, false,
       {{"a", 1}, {"l", 1}, {"n", 1}, {"r", 1}, {"u", 1}, {"x", 0}, {"jc", 1}, {"ji", 1}, {"jm", 9}, {"gd", 1}},
       "", {}, R"( -S -D -v -q -r -o -u -j -FF -k -9 -J "a")"},
      {"zip32j pack a=2 keeps folder entries", T::atZip, Op::kPack, false, false, {{"a", 2}, {"x", 1}}, "", {},
       R"( -S "a")"},
      {"lmzip pack", T::atZip, Op::kPack, false, true, {{"c", 1}, {"x", 0}}, "", {}, R"(-ru -o -j "a")"},
      {"zip extract", T::atZip, Op::kExtract, false, false, {{"c", 1}, {"x", 0}}, "d", {}, R"(-x -o -j "a" "d\")"},
      {"zip extract owner", T::atZip, Op::kExtract, true, false, {{"x", 1}}, "", {}, R"(-x --i "a")"},
      {"zip extract n", T::atZip, Op::kExtract, false, false, {{"n", 1}}, "", {}, R"(-x --i "a")"},
      {"zip remove", T::atZip, Op::kRemove, false, false, {}, "", {"f"}, R"(-d "a" "f")"},
      {"zip update", T::atZip, Op::kUpdate, false, false, {}, "", {}, R"(-f "a")"},
      {"cab extract", T::atCab, Op::kExtract, true, false, {{"c", 1}, {"r", 1}, {"x", 0}, {"ji", 1}}, "", {},
       R"(-x -o -i -r -j -q "a")"},
      {"cab pack", T::atCab, Op::kPack, false, false, {{"x", 1}}, "", {"f"}, R"(-a "a" "f")"},
      {"tar extract", T::atTar, Op::kExtract, false, false,
       {{"a", 1}, {"n", 1}, {"o", 1}, {"p", 1}, {"x", 0}}, "d", {},
       R"(x -AH --display-dialog=0 -g --check-all-path=1 --use-directory=0 -f "a" -o "d")"},
      {"tar a=0, owner", T::atTar, Op::kExtract, true, false, {{"a", 0}, {"n", 1}}, "", {}, R"(x -I -f "a")"},
      {"tgz pack", T::atTgz, Op::kPack, false, false, {{"x", 1}}, "", {"f"}, R"(c --use-directory=1 -z -f "a" "f")"},
      {"tgz level", T::atTgz, Op::kPack, false, false, {{"jm", 9}}, "", {}, R"(c -z9 -f "a")"},
      {"bz2", T::atBZ2, Op::kExtract, false, false, {}, "", {}, R"(x -B -f "a")"},
      {"bz2 level", T::atBZ2, Op::kPack, false, false, {{"jm", 3}}, "", {}, R"(c -B3 -f "a")"},
      {"rar defaults", T::atRar, Op::kExtract, false, false, {}, "", {}, R"(-x -u "a")"},
      {"rar flat", T::atRar, Op::kExtract, false, false, {{"x", 0}, {"c", 1}, {"m", 1}, {"p", 1}}, "d", {},
       R"(-e -y -s "a" "d\")"},
      {"bga extract", T::atBga, Op::kExtract, false, false, {}, "", {}, R"(x -n -j "a")"},
      {"bga pack", T::atBga, Op::kPack, true, false, {{"a", 1}, {"c", 1}, {"r", 1}, {"x", 1}, {"jm", 5}}, "", {},
       R"(a -a -o -i -r -l5 "a")"},
      {"bga remove", T::atBga, Op::kRemove, false, false, {{"x", 1}}, "", {}, R"(d -n "a")"},
  };
  for (const auto& c : cases) {
    TArchiverOptions o;
    for (const auto& [name, value] : c.numbers) o.Set(name, value);
    const TCmdRequest r{c.type, c.op, c.owner, c.lmzip_only, "a", c.folder, c.files};
    EXPECT_EQ(TCmdOpt::Build(r, o), c.expected) << c.what;
  }
}

TEST(CmdOptTest, LhaTextSwitchesExclusionsAndUserOptions) {
  TArchiverOptions o;
  o.w = "C:\\tmp";
  o.jo = "x";
  o.gr = "r";
  o.jx = {"*.bak", "*.tmp"};
  o.UserOptions = "-jp1";
  const TCmdRequest r{T::atLha, Op::kExtract, false, false, "a", "", {}};
  EXPECT_EQ(TCmdOpt::Build(r, o), R"(x -+ "-wC:\tmp\" "-jox" "-grr" "-jx*.bak" "-jx*.tmp" -jp1 "a")");
  o.w = "C:\\tmp\\";
  EXPECT_EQ(TCmdOpt::LhaSwitches(o, false).substr(0, 16), R"( -+ "-wC:\tmp\" )");
  TArchiverOptions zip;
  zip.UserOptions = "-9";
  EXPECT_EQ(TCmdOpt::Build({T::atZip, Op::kExtract, false, false, "a", "", {}}, zip), R"(-x -9 "a")");
}

TEST(CmdOptTest, ZipNamesAndDestinationsByCharacter) {
  const std::string hyo = lha::test::Sjis("表");  // second byte 0x5C
  EXPECT_EQ(TCmdOpt::ZipName("dir\\[a].txt"), "dir/[[]a].txt");
  EXPECT_EQ(TCmdOpt::ZipName(hyo + "\\x"), hyo + "/x");
  TArchiverOptions o;
  // A folder ending in a character whose second byte is "\" still gets its own "\".
  EXPECT_EQ(TCmdOpt::Build({T::atLha, Op::kExtract, false, false, "a", hyo, {}}, o), "x -+ \"a\" \"" + hyo + "\\\"");
  EXPECT_EQ(TCmdOpt::Build({T::atZip, Op::kExtract, false, false, "a", "", {"d\\[x]"}}, o), R"(-x "a" "d/[[]x]")");
}

TEST(CmdOptTest, ResponseFileWhenTheOperationUsesIt) {
  lha::test::TempDir dir;
  TArchiverOptions o;
  o.ResFileName = dir / "resp.txt";
  const TCmdRequest pack{T::atZip, Op::kPack, false, false, "a", "", {"x\\y", "z z"}};
  bool ok = false;
  EXPECT_EQ(TCmdOpt::Build(pack, o, &ok), " -D \"a\" @" + o.ResFileName);
  EXPECT_TRUE(ok);
  EXPECT_EQ(lha::test::ReadFile(o.ResFileName), "\"x/y\"\r\n\"z z\"\r\n");
  o.ResFileUsage = {TResFileUsage::ruOnUnpack};
  EXPECT_EQ(TCmdOpt::Build(pack, o), R"( -D "a" "x/y" "z z")");
  EXPECT_EQ(TCmdOpt::Build({T::atLha, Op::kExtract, false, false, "a", "", {"n"}}, o), "x -+ \"a\" @" + o.ResFileName);
  EXPECT_EQ(TCmdOpt::Build({T::atLha, Op::kUpdate, false, false, "a", "", {"n"}}, o), R"(f -+ "a" "n")");
}

}  // namespace
}  // namespace sorabu::archive
