// Split and join on files in a temporary folder: names and counts past 32 bits, the batch files
// byte for byte, the sh scripts run by /bin/sh, and cancels and failures that leave the folder
// exactly as it was.
#include "fileops/split_merge.h"
#include "temp_tree.h"
#include "textconv/system_error.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace sorabu::fileops {
namespace {

namespace fs = std::filesystem;
using ull = unsigned long long;
using Lines = std::vector<std::string>;
constexpr ull kGiB = 1ull << 30;

// Bytes whose run never repeats at a part size used here, so a piece out of place shows.
std::string Pattern(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7919 + i / 251) & 0xff);
  return s;
}

// Files written while this lives fail with EFBIG past `bytes`.
struct FileSizeLimit {
  explicit FileSizeLimit(rlim_t bytes) {
    ::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &old);
    const rlimit limit{bytes, old.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &old); }
  rlimit old{};
};

class SplitMergeFileTest : public ::testing::Test {
 protected:
  std::string P(const std::string& name) const { return tree(name); }
  // The folder's entries with the size and a hash of each, so a failing comparison stays short.
  std::map<std::string, std::string> Snapshot() const {
    auto entries = tree.Snapshot();
    for (auto& [name, bytes] : entries)
      bytes = std::to_string(bytes.size()) + ", " + std::to_string(std::hash<std::string>{}(bytes));
    return entries;
  }
  int RunSh(const std::string& script) const {
    return std::system(("cd '" + dir + "' && /bin/sh " + script).c_str());
  }
  test::TempTree tree;
  const std::string dir = tree.root();
};

TEST(SplitMergeNamesTest, PartNamesCountsAndExtensions) {
  EXPECT_EQ(PartName("a/b.txt", 1), "a/b.001");
  EXPECT_EQ(PartName("a/b.txt", 10), "a/b.010");
  EXPECT_EQ(PartName("a/b.txt", 1000), "a/b.000");  // names wrap after 1000 parts
  EXPECT_EQ(PartName("a/b.txt", 4294967297ull), "a/b.297");  // not cut to 32 bits
  EXPECT_EQ(PartName("a.d/b", 2), "a.d/b.002");  // a dot in a folder is no extension
  EXPECT_EQ(PartName(".profile", 1), ".profile.001");
  EXPECT_EQ(WithExtension("a/b.txt", ".bat"), "a/b.bat");
  EXPECT_EQ(WithExtension("a.d/b", ".sh"), "a.d/b.sh");

  EXPECT_EQ(PartCount(3000000, 1457664), 3u);
  EXPECT_EQ(PartCount(2 * 1457664, 1457664), 3u);  // an exact multiple ends with an empty part
  EXPECT_EQ(PartCount(5 * kGiB, 4 * kGiB), 2u);  // 1 if the size were cut to 32 bits
  EXPECT_EQ(PartCount(5 * kGiB, 5368710), 1000u);
  EXPECT_EQ(PartCount(5 * kGiB, 5368709), 1001u);
  EXPECT_GT(PartCount(1, 0), kMaxParts);
}

TEST_F(SplitMergeFileTest, JoinScriptQuotesEveryName) {
  const Lines names = {"it's", "-n", "a b $HOME `x` \\", "\x95\x5c", "line\nbreak"};
  std::string joined;
  for (size_t i = 0; i < names.size(); ++i) {
    tree.Write(names[i], "<" + std::to_string(i) + ">");
    joined += "<" + std::to_string(i) + ">";
  }
  tree.Write("j.sh", JoinScript(names, "out 'put'"));
  EXPECT_EQ(tree.Read("j.sh").rfind("#!/bin/sh\n", 0), 0u);
  ASSERT_EQ(RunSh("j.sh"), 0);
  EXPECT_EQ(tree.Read("out 'put'"), joined);
  // The output is also an input: the shell must not empty it before cat reads it.
  tree.Write("k.sh", JoinScript(names, "./it's"));
  ASSERT_EQ(RunSh("k.sh"), 0);
  EXPECT_EQ(tree.Read("it's"), joined);
}

TEST_F(SplitMergeFileTest, SplitMakesPartsBatchFileAndScript) {
  const std::string data = Pattern(3000000);
  tree.Write("b.txt", data);
  std::vector<std::pair<ull, ull>> calls;
  const auto r = SplitFile(P("b.txt"), 1457664, [&](ull part, ull parts) {
    calls.emplace_back(part, parts);
    return true;
  });
  ASSERT_EQ(r.result, TFileJobResult::Done) << r.error;
  EXPECT_EQ(calls, (std::vector<std::pair<ull, ull>>{{1, 3}, {2, 3}, {3, 3}}));
  EXPECT_EQ(tree.Read("b.001"), data.substr(0, 1457664));
  EXPECT_EQ(tree.Read("b.002"), data.substr(1457664, 1457664));
  EXPECT_EQ(tree.Read("b.003"), data.substr(2 * 1457664));  // 84,672 bytes
  EXPECT_EQ(tree.Read("b.bat"), "COPY /B b.001 b.txt\r\nCOPY /B b.txt+b.002 b.txt\r\nCOPY /B b.txt+b.003 b.txt\r\n");
  fs::remove(P("b.txt"));
  ASSERT_EQ(RunSh("b.sh"), 0);
  EXPECT_EQ(tree.Read("b.txt"), data);
}

// The .bat file is Shift-JIS text: Japanese names go in as Shift-JIS, and a name it cannot hold
// stops the job before anything is made.
TEST_F(SplitMergeFileTest, BatchFilesHoldShiftJisNamesOrNothingIsMade) {
  tree.Write("日本.txt", "abcdef");
  ASSERT_EQ(SplitFile(P("日本.txt"), 4, nullptr).result, TFileJobResult::Done);
  EXPECT_EQ(tree.Read("日本.bat"), "COPY /B \x93\xfa\x96{.001 \x93\xfa\x96{.txt\r\n"
                                   "COPY /B \x93\xfa\x96{.txt+\x93\xfa\x96{.002 \x93\xfa\x96{.txt\r\n");
  tree.Write("한.txt", "abcdef");
  const auto before = Snapshot();
  const auto split = SplitFile(P("한.txt"), 4, nullptr);
  EXPECT_EQ(split.result, TFileJobResult::Failed);
  EXPECT_NE(split.error.find("Shift-JIS"), std::string::npos);
  const auto merge = MergeFiles(dir, {"日本.001", "日本.002"}, "波〜.txt", nullptr);
  EXPECT_EQ(merge.result, TFileJobResult::Failed);  // 〜 would be written as ～
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(SplitMergeFileTest, ThousandPartsEndWithDotZeroZeroZeroAndAnEmptyPart) {
  tree.Write("m.bin", Pattern(999));
  const auto r = SplitFile(P("m.bin"), 1, nullptr);
  ASSERT_EQ(r.result, TFileJobResult::Done) << r.error;
  EXPECT_EQ(tree.Read("m.999"), Pattern(999).substr(998));
  EXPECT_EQ(tree.Read("m.000"), "");
  EXPECT_EQ(Snapshot().size(), 1003u);  // source, 1000 parts, batch file, script
}

TEST_F(SplitMergeFileTest, RefusedSplitsWriteNothing) {
  tree.Write("r.txt", Pattern(1001));
  tree.Write("x.001", "its own first part");
  tree.Write("y.txt", "linked");
  fs::create_symlink("y.txt", P("y.002"));
  fs::create_directory(P("dir.d"));
  ASSERT_EQ(::mkfifo(P("f.fifo").c_str(), 0600), 0);
  const auto before = Snapshot();
  const struct { std::string source; ull size; std::string failed, reason; } cases[] = {
      {"r.txt", 0, "r.txt", ""},
      {"r.txt", 1, "r.txt", ""},  // 1002 parts
      {"missing.txt", 10, "missing.txt", textconv::SystemErrorUtf8(ENOENT)},
      {"dir.d", 10, "dir.d", textconv::SystemErrorUtf8(EISDIR)},
      {"f.fifo", 10, "f.fifo", ""},
      {"x.001", 4, "x.001", ""},
      {"y.txt", 4, "y.002", ""},
  };
  for (const auto& c : cases) {
    const auto r = SplitFile(P(c.source), c.size, nullptr);
    EXPECT_EQ(r.result, TFileJobResult::Failed) << c.source;
    EXPECT_EQ(r.failedPath, P(c.failed)) << c.source;
    EXPECT_FALSE(r.error.empty()) << c.source;
    if (!c.reason.empty()) EXPECT_EQ(r.error, c.reason);
  }
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(SplitMergeFileTest, SplitCancelRemovesThisRunsPartsAndWritesNoBatch) {
  tree.Write("c.txt", Pattern(3000000));
  tree.Write("c.bat", "old batch");
  auto before = Snapshot();
  for (const int stopAt : {1, 2, 3}) {  // before any part, after one, after two
    int calls = 0;
    const auto r = SplitFile(P("c.txt"), 1457664, [&](ull, ull) { return ++calls < stopAt; });
    EXPECT_EQ(r.result, TFileJobResult::Cancelled);
    EXPECT_EQ(Snapshot(), before) << stopAt;
  }
  // A 40 MiB part is copied in pieces and asks between them, so Cancel does not wait for the part.
  fs::remove(P("c.txt"));
  tree.Write("big.bin", Pattern(40u << 20));
  before = Snapshot();
  int calls = 0;
  const auto r = SplitFile(P("big.bin"), 64u << 20, [&](ull, ull) { return ++calls < 2; });
  EXPECT_EQ(r.result, TFileJobResult::Cancelled);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(SplitMergeFileTest, SplitStopsAtAPartThatCannotBeWritten) {
  const std::string data = Pattern(3000000);
  tree.Write("f.txt", data);
  const auto expectFailed = [&](const TFileJobOutcome& r, const std::string& part, int err) {
    EXPECT_EQ(r.result, TFileJobResult::Failed);
    EXPECT_EQ(r.failedPath, P(part));
    EXPECT_EQ(r.error, textconv::SystemErrorUtf8(err));
  };
  {
    const FileSizeLimit limit(1000000);  // a part that fails half-written goes
    expectFailed(SplitFile(P("f.txt"), 1457664, nullptr), "f.001", EFBIG);
    EXPECT_EQ(Snapshot().size(), 1u);
  }
  fs::create_directory(P("f.002"));
  expectFailed(SplitFile(P("f.txt"), 1457664, nullptr), "f.002", EISDIR);
  EXPECT_EQ(tree.Read("f.001"), data.substr(0, 1457664));  // the parts made so far stay
  EXPECT_FALSE(tree.Exists("f.003"));
  EXPECT_FALSE(tree.Exists("f.bat"));
}

// A 5 GiB sparse file is cut in three and joined again; its holes stay holes, so this writes
// next to nothing.
TEST_F(SplitMergeFileTest, SparseFileBeyondFourGiB) {
  const ull size = 5 * kGiB + 123;
  const std::pair<ull, char> marks[] = {
      {0, 'A'}, {2 * kGiB - 1, 'B'}, {2 * kGiB, 'C'}, {4 * kGiB + 7, 'D'}, {size - 1, 'E'}};
  int fd = ::open(P("v.img").c_str(), O_CREAT | O_WRONLY, 0666);
  ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(size)), 0);
  for (const auto& [at, c] : marks) ASSERT_EQ(::pwrite(fd, &c, 1, static_cast<off_t>(at)), 1);
  ::close(fd);
  struct stat st {};
  ASSERT_EQ(::stat(P("v.img").c_str(), &st), 0);
  if (st.st_blocks * 512 > (64 << 20)) GTEST_SKIP() << "the temporary folder keeps no sparse files";

  auto r = SplitFile(P("v.img"), 2 * kGiB, nullptr);
  ASSERT_EQ(r.result, TFileJobResult::Done) << r.error;
  const ull sizes[] = {2 * kGiB, 2 * kGiB, kGiB + 123};
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(::stat(PartName(P("v.img"), ull(i + 1)).c_str(), &st), 0);
    EXPECT_EQ(ull(st.st_size), sizes[i]);
    EXPECT_LT(st.st_blocks * 512, 64 << 20);
  }
  std::pair<ull, ull> last;
  r = MergeFiles(dir, {"v.001", "v.002", "v.003"}, "w.img", [&](ull done, ull total) {
    last = {done, total};
    return true;
  });
  ASSERT_EQ(r.result, TFileJobResult::Done) << r.error;
  EXPECT_EQ(last, std::make_pair(size, size));
  EXPECT_EQ(fs::file_size(P("w.img")), size);
  fd = ::open(P("w.img").c_str(), O_RDONLY);
  for (const auto& [at, c] : marks) {
    char got = 0;
    EXPECT_EQ(::pread(fd, &got, 1, static_cast<off_t>(at)), 1);
    EXPECT_EQ(got, c) << at;
  }
  ::close(fd);
}

TEST_F(SplitMergeFileTest, MergeJoinsInOrderAndRecordsTheJoin) {
  tree.Write("a", Pattern(70000));
  tree.Write("b", "");
  tree.Write("c", "ccc");
  std::vector<std::pair<ull, ull>> done;
  const auto r = MergeFiles(dir, {"c", "a", "b"}, "out.bin", [&](ull d, ull total) {
    done.emplace_back(d, total);
    return true;
  });
  ASSERT_EQ(r.result, TFileJobResult::Done) << r.error;
  const std::string joined = "ccc" + Pattern(70000);
  EXPECT_EQ(tree.Read("out.bin"), joined);
  EXPECT_EQ(done, (std::vector<std::pair<ull, ull>>{{0, 70003}, {3, 70003}, {70003, 70003}, {70003, 70003}}));
  const std::string o = P("out.bin");
  EXPECT_EQ(tree.Read("out.bat"), "COPY /B " + P("c") + " " + o + "\r\nCOPY /B " + o + "+" + P("a") + " " + o +
                                    "\r\nCOPY /B " + o + "+" + P("b") + " " + o + "\r\n");
  EXPECT_EQ(Snapshot().size(), 6u);  // no temporary file is left
  fs::remove(o);
  ASSERT_EQ(RunSh("out.sh"), 0);
  EXPECT_EQ(tree.Read("out.bin"), joined);
}

TEST_F(SplitMergeFileTest, OutputNamedLikeAnInput) {
  // The first input: its content goes to X.bak, so an old batch file goes to X.bat.bak.
  tree.Write("X.txt", "first ");
  tree.Write("Y", "second");
  tree.Write("X.bat", "old batch");
  tree.Write("X.bak", "older backup");
  fs::permissions(P("X.txt"), fs::perms::owner_read | fs::perms::owner_write);
  auto r = MergeFiles(dir, {"X.txt", "Y"}, "X.txt", nullptr);
  ASSERT_EQ(r.result, TFileJobResult::Done) << r.error;
  EXPECT_EQ(tree.Read("X.txt"), "first second");
  EXPECT_EQ(tree.Read("X.bak"), "first ");
  EXPECT_EQ(tree.Read("X.bat.bak"), "old batch");
  EXPECT_EQ(tree.Read("X.bat").rfind("COPY /B " + P("X.txt") + " " + P("X.txt") + "\r\n", 0), 0u);
  EXPECT_EQ(fs::status(P("X.txt")).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  // A later input: no input backup, so the old batch file takes the .bak name.
  tree.Write("p", "pp");
  tree.Write("q", "qq");
  tree.Write("q.bat", "old q batch");
  r = MergeFiles(dir, {"p", "q"}, "q", nullptr);
  ASSERT_EQ(r.result, TFileJobResult::Done) << r.error;
  EXPECT_EQ(tree.Read("q"), "ppqq");
  EXPECT_EQ(tree.Read("q.bak"), "old q batch");
}

TEST_F(SplitMergeFileTest, FailedOrCancelledMergeChangesNothing) {
  tree.Write("a", Pattern(40u << 20));
  tree.Write("b", "bbb");
  tree.Write("out.bin", "old output");
  tree.Write("out.bat", "old batch");
  tree.Write("a.bak", "old backup");
  const auto before = Snapshot();
  const auto expectUnchanged = [&](const TFileJobOutcome& r, TFileJobResult result, const std::string& failed) {
    EXPECT_EQ(r.result, result);
    EXPECT_EQ(r.failedPath, failed.empty() ? "" : P(failed));
    EXPECT_EQ(Snapshot(), before);
  };
  auto r = MergeFiles(dir, {"a", "missing", "b"}, "out.bin", nullptr);
  expectUnchanged(r, TFileJobResult::Failed, "missing");
  EXPECT_EQ(r.error, textconv::SystemErrorUtf8(ENOENT));
  expectUnchanged(MergeFiles(dir, {"a", "missing"}, "a", nullptr), TFileJobResult::Failed, "missing");
  {
    const FileSizeLimit limit(1u << 20);  // the joined file cannot be written whole
    r = MergeFiles(dir, {"a", "b"}, "b", nullptr);
    expectUnchanged(r, TFileJobResult::Failed, "b");
    EXPECT_EQ(r.error, textconv::SystemErrorUtf8(EFBIG));
  }
  for (const int stopAt : {1, 2, 5}) {  // at the start, between pieces of "a", after every byte
    int calls = 0;
    r = MergeFiles(dir, {"a", "b"}, "a", [&](ull, ull) { return ++calls < stopAt; });
    expectUnchanged(r, TFileJobResult::Cancelled, "");
    EXPECT_EQ(calls, stopAt);
  }
  // Names the join would write or rename away that an input or the output already has.
  expectUnchanged(MergeFiles(dir, {"a", "out.bat"}, "out.bin", nullptr), TFileJobResult::Failed, "out.bat");
  expectUnchanged(MergeFiles(dir, {"a", "b"}, "out.bat", nullptr), TFileJobResult::Failed, "out.bat");
}

}  // namespace
}  // namespace sorabu::fileops
