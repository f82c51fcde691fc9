// The directory listing on a hand-made tree: switch combinations, forms, totals, a folder that
// cannot be read, and a folder of 100,000 entries.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <functional>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <sys/wait.h>

#include "info/dir_listing.h"
#include "textconv/cp932.h"
#include "textconv/ui_text.h"

namespace sorabu::info {
namespace {

namespace fs = std::filesystem;

class DirListingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "sorabu-dir-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    root_ = tmpl;
  }
  void TearDown() override {
    std::error_code ec;
    for (auto& p : fs::recursive_directory_iterator(root_, fs::directory_options::skip_permission_denied, ec))
      fs::permissions(p.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::permissions(root_ / "locked", fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(root_, ec);
  }
  void File(const std::string& name, std::size_t size, long long mtime = 1000000000) {
    fs::create_directories((root_ / name).parent_path());
    std::ofstream(root_ / name) << std::string(size, 'x');
    const timespec times[2] = {{mtime, 0}, {mtime, 0}};
    ::utimensat(AT_FDCWD, (root_ / name).c_str(), times, 0);
  }
  // The hand-made tree: files of known sizes, a hidden file, a read-only file, two folders.
  void Tree() {
    File("b.txt", 300, 1000000300);
    File("A.dat", 10, 1000000100);
    File("c.TXT", 2000, 1000000200);
    File(".hidden", 5);
    File("ro.log", 7);
    fs::permissions(root_ / "ro.log", fs::perms::owner_read | fs::perms::group_read, fs::perm_options::replace);
    File("sub/d.txt", 4);
    File("sub/deeper/e.txt", 1);
    fs::create_directories(root_ / "empty");
  }

  struct Result {
    std::string out;
    std::vector<std::string> problems;
    bool ok;
  };
  Result List(const std::string& line) {
    DirOptions o;
    std::string error;
    EXPECT_TRUE(ParseDirTokens(SplitDirLine(line), o, error)) << error;
    if (o.path.empty() || o.path.front() != '/') o.path = (root_ / o.path).string();
    Result r{{}, {}, false};
    r.ok = ListDirectory(o, {[&r](std::string_view b) { r.out += b; }, [&r](const std::string& p) { r.problems.push_back(p); }});
    return r;
  }
  static std::vector<std::string> Lines(const std::string& out) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = out.find("\r\n", start)) != std::string::npos; start = end + 2)
      lines.push_back(out.substr(start, end - start));
    EXPECT_EQ(start, out.size()) << "every line ends in CR LF";
    return lines;
  }
  std::string R() const { return root_.string(); }

  fs::path root_;
};

using V = std::vector<std::string>;
std::string C(const char* utf8) { return textconv::Utf8ToCp932(utf8); }

TEST_F(DirListingTest, BareNamesByAttributeAndOrder) {
  Tree();
  // Default: name order without case, hidden entries left out, folders among the files.
  EXPECT_EQ(Lines(List("/B").out), (V{"A.dat", "b.txt", "c.TXT", "empty", "ro.log", "sub"}));
  EXPECT_EQ(Lines(List("/B /O:-N").out), (V{"sub", "ro.log", "empty", "c.TXT", "b.txt", "A.dat"}));
  EXPECT_EQ(Lines(List("/B /O:G").out), (V{"empty", "sub", "A.dat", "b.txt", "c.TXT", "ro.log"}));
  // With /A hidden entries are no longer left out.
  EXPECT_EQ(Lines(List("/B /A:-D /O:S").out), (V{".hidden", "ro.log", "A.dat", "b.txt", "c.TXT"}));
  EXPECT_EQ(Lines(List("/B /A:-D /O:-D").out), (V{"b.txt", "c.TXT", "A.dat", ".hidden", "ro.log"}));
  EXPECT_EQ(Lines(List("/B /A:-D /O:E").out), (V{".hidden", "A.dat", "ro.log", "b.txt", "c.TXT"}));
  EXPECT_EQ(Lines(List("/B /A:D").out), (V{"empty", "sub"}));
  EXPECT_EQ(Lines(List("/B /A:H").out), (V{".hidden"}));
  EXPECT_EQ(Lines(List("/B /A:R").out), (V{"ro.log"}));
  EXPECT_EQ(Lines(List("/B /A:-R /A:-D").out).size(), 5u);  // the later /A stands alone
  EXPECT_EQ(Lines(List("/B /A").out).size(), 7u);           // hidden ones too
  EXPECT_TRUE(Lines(List("/B /A:A").out).empty());          // nothing keeps the archive flag
  EXPECT_EQ(Lines(List("/B /L /A:-D").out), (V{".hidden", "a.dat", "b.txt", "c.txt", "ro.log"}));
  // A wildcard, without regard to case, and a single name.
  EXPECT_EQ(Lines(List("/B \"*.txt\"").out), (V{"b.txt", "c.TXT"}));
  EXPECT_EQ(Lines(List("/B b.txt").out), (V{"b.txt"}));
}

// The listing is Shift-JIS text: a name it cannot hold shows "?" there, and a problem line names
// the file whole.
TEST_F(DirListingTest, NamesBeyondShiftJisAreMarkedAndReported) {
  File("日本.txt", 1);
  File("한.txt", 1);
  const Result r = List("/B");
  EXPECT_EQ(Lines(r.out), (V{C("日本.txt"), "?.txt"}));
  ASSERT_EQ(r.problems.size(), 1u);
  EXPECT_EQ(textconv::Cp932ExactToUtf8(r.problems[0]).rfind(R() + "/한.txt : ", 0), 0u) << r.problems[0];
}

TEST_F(DirListingTest, SubfoldersGiveFullPathsDepthFirst) {
  Tree();
  EXPECT_EQ(Lines(List("/B /S /A:-D \"*.txt\"").out),
            (V{R() + "/b.txt", R() + "/c.TXT", R() + "/sub/d.txt", R() + "/sub/deeper/e.txt"}));
  // Normal form: one block per folder that shows something, then the totals of all.
  const std::string out = List("/S \"*.txt\"").out;
  const auto lines = Lines(out);
  EXPECT_NE(out.find(" " + R() + C(" のディレクトリ")), std::string::npos);
  EXPECT_NE(out.find(" " + R() + "/sub/deeper" + C(" のディレクトリ")), std::string::npos);
  EXPECT_EQ(out.find(R() + "/empty" + C(" のディレクトリ")), std::string::npos);
  EXPECT_NE(out.find(C("     ファイルの総数:") + "\r\n" + "               4" + C(" 個のファイル") + "               2,305" + C(" バイト")),
            std::string::npos)
      << textconv::Cp932ToUtf8(out);
  EXPECT_NE(lines.back().find(C(" バイトの空き領域")), std::string::npos);
}

TEST_F(DirListingTest, NormalVerboseAndWideForms) {
  Tree();
  const std::string normal = List("/A:-H").out;
  const auto lines = Lines(normal);
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], " " + R() + C(" のディレクトリ"));
  EXPECT_NE(lines[3].find("<DIR>          ."), std::string::npos);
  EXPECT_NE(lines[4].find("<DIR>          .."), std::string::npos);
  EXPECT_NE(normal.find("             2,000 c.TXT\r\n"), std::string::npos) << textconv::Cp932ToUtf8(normal);
  EXPECT_NE(normal.find("               4" + C(" 個のファイル") + "               2,317" + C(" バイト") + "\r\n"),
            std::string::npos)
      << textconv::Cp932ToUtf8(normal);
  EXPECT_NE(normal.find("               4" + C(" 個のディレクトリ")), std::string::npos);

  const std::string verbose = List("/V /A:R").out;
  EXPECT_NE(verbose.find("  R---  ro.log\r\n"), std::string::npos) << textconv::Cp932ToUtf8(verbose);
  EXPECT_NE(verbose.find(C(" バイト割り当て済み")), std::string::npos);

  const auto wide = Lines(List("/W").out);
  ASSERT_GE(wide.size(), 4u);
  EXPECT_EQ(wide[3], "[.]      [..]     A.dat    b.txt    c.TXT    [empty]  ro.log   [sub]");
}

TEST_F(DirListingTest, MissingPathsAndUnreadableFoldersAreReported) {
  Tree();
  Result r = List("nothing-here");
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(r.problems, (V{C("ファイルが見つかりません")}));
  r = List("\"*.none\"");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.problems.size(), 1u);

  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
  File("locked/secret.txt", 3);
  fs::permissions(root_ / "locked", fs::perms::none, fs::perm_options::replace);
  r = List("/B /S /A:-D");
  EXPECT_FALSE(r.ok);
  ASSERT_EQ(r.problems.size(), 1u);
  EXPECT_EQ(r.problems[0].rfind(R() + "/locked" + C(" のディレクトリを読み取れません: "), 0), 0u);
  // The rest is listed all the same.
  const auto lines = Lines(r.out);
  EXPECT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines.back(), R() + "/sub/deeper/e.txt");
}

TEST_F(DirListingTest, HundredThousandEntries) {
  constexpr int kCount = 100000;
  fs::create_directories(root_ / "many");
  for (int i = 0; i < kCount; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "f%06d", (i * 7919) % kCount);
    const int fd = ::open((root_ / "many" / name).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
  }
  Result r = List("/B many");
  ASSERT_TRUE(r.ok);
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kCount));
  EXPECT_EQ(lines.front(), "f000000");
  EXPECT_EQ(lines.back(), "f099999");
  EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end()));
  r = List("/O:-S many");
  EXPECT_NE(r.out.find(std::to_string(kCount) + C(" 個のファイル")), std::string::npos);
}

// Runs body in a forked child without capabilities, so that permissions stop it even under root;
// true when body returned true there.
bool WithoutCapabilities(const std::function<bool()>& body) {
  const pid_t child = fork();
  if (child == 0) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    syscall(SYS_capset, &header, data);
    _exit(body() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(DirListingTest, FoldersAndEntriesThatCannotBeReadAreReportedEvenUnderRoot) {
  File("locked/secret.txt", 3);
  File("unsearchable/a.txt", 3);
  fs::permissions(root_ / "locked", fs::perms::none, fs::perm_options::replace);
  fs::permissions(root_ / "unsearchable", fs::perms::owner_read, fs::perm_options::replace);
  EXPECT_TRUE(WithoutCapabilities([&] {
    const Result r = List("locked");
    return !r.ok && r.problems.size() == 1 && r.problems[0].find(C("読み取れません")) != std::string::npos;
  }));
  EXPECT_TRUE(WithoutCapabilities([&] {
    const Result r = List("unsearchable");
    return !r.ok && r.problems.size() == 1 && r.problems[0].find("a.txt") != std::string::npos &&
           r.problems[0].find(C("調べられません")) != std::string::npos;
  }));
}

}  // namespace
}  // namespace sorabu::info
