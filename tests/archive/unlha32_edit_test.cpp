// The commands that rewrite an archive ("u", "f", "d") and make a self-extracting one ("s"):
// which entries result and in what order, untouched entries copied byte for byte, the old archive
// kept whole when anything fails, and lhasa accepting every archive written.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <map>
#include <vector>

#include "archive/lha/archive_reader.h"
#include "archive/lha/archive_writer.h"
#include "archive/lha/crc16.h"
#include "archive/libs/unlha32/commands.h"
#include "archive/libs/unlha32/self_extractor.h"
#include "archive/libs/unlha32/unlha32.h"
#include "header_builder.h"
#include "test_util.h"

namespace sorabu::unlha32 {
namespace {

using lha::test::ReadFile;
using lha::test::WriteFile;

constexpr const char* kLhasa = "/usr/bin/lhasa";

void SetTime(const std::string& path, std::int64_t t) {
  const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(t), 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// Entry names with their stored bytes, in archive order.
std::vector<std::pair<std::string, std::string>> Stored(const std::string& archive) {
  lha::ArchiveReader r;
  EXPECT_EQ(r.OpenFile(archive), lha::Error::kOk) << archive;
  std::vector<std::pair<std::string, std::string>> out;
  for (const auto& e : r.entries()) {
    std::string raw;
    EXPECT_EQ(r.RawEntry(e, raw), lha::Error::kOk);
    out.emplace_back(e.name, raw);
  }
  return out;
}

std::vector<std::string> Names(const std::string& archive) {
  std::vector<std::string> names;
  for (const auto& [name, raw] : Stored(archive)) names.push_back(name);
  return names;
}

// lhasa tests the archive and extracts it; every file must hold what `expected` says.
void LhasaAgrees(const std::string& archive, const std::map<std::string, std::string>& expected) {
  if (!lha::test::HaveTool(kLhasa)) return;
  lha::test::TempDir x;
  std::string out;
  EXPECT_EQ(lha::test::Run(x.path(), std::string(kLhasa) + " t \"" + archive + "\"", &out), 0) << out;
  ASSERT_EQ(lha::test::Run(x.path(), std::string(kLhasa) + " xq \"" + archive + "\"", &out), 0) << out;
  for (const auto& [name, data] : expected) EXPECT_EQ(ReadFile(x / name), data) << name;
}

class Edit : public ::testing::Test {
 protected:
  void SetUp() override {
    ::mkdir(src_.c_str(), 0755);
    ::mkdir((src_ + "/d").c_str(), 0755);
    for (const auto& [name, data] : files_) {
      WriteFile(src_ + "/" + name, data);
      SetTime(src_ + "/" + name, 1000000000);
    }
    ASSERT_EQ(Run("a -x1 -r \"" + archive_ + "\" \"" + src_ + "/\" a.txt b.txt d e.txt"), 0) << out_;
  }
  int Run(const std::string& line) { return RunCommandLine(line, out_); }
  // Nothing but the archive (and the sources) in the folder: no temporary file left over.
  void NoLeftovers() {
    std::string listing;
    lha::test::Run(tmp_.path(), "ls -A", &listing);
    EXPECT_EQ(listing, "arc.lzh\nsrc\n");
  }

  lha::test::TempDir tmp_;
  const std::string src_ = tmp_ / "src";
  const std::string archive_ = tmp_ / "arc.lzh";
  std::map<std::string, std::string> files_ = {{"a.txt", "alpha"},
                                               {"b.txt", lha::test::SampleText(20000, 80)},
                                               {"d/c.txt", "inside"},
                                               {"e.txt", lha::test::RandomBytes(3000, 81)}};
  std::string out_;
};

TEST_F(Edit, RemoveKeepsTheOtherEntriesAsStored) {
  const auto before = Stored(archive_);
  ASSERT_EQ(Names(archive_), (std::vector<std::string>{"a.txt", "b.txt", "d", "d/c.txt", "e.txt"}));
  const struct {
    std::string names;
    std::vector<std::string> left;
  } rows[] = {
      {"b.txt", {"a.txt", "d", "d/c.txt", "e.txt"}},
      {"d\\", {"a.txt", "b.txt", "e.txt"}},  // a folder goes with what lies below it
      {"*.TXT", {"d"}},                      // wildcards, letters without case, last name parts
      {"nothing-like-it", {"a.txt", "b.txt", "d", "d/c.txt", "e.txt"}},
  };
  for (const auto& row : rows) {
    WriteFile(tmp_ / "copy.lzh", ReadFile(archive_));
    ASSERT_EQ(Run("d -+ \"" + tmp_ / "copy.lzh" + "\" \"" + row.names + "\""), 0) << row.names << "\n" << out_;
    const auto after = Stored(tmp_ / "copy.lzh");
    std::vector<std::string> left;
    for (const auto& [name, raw] : after) {
      left.push_back(name);
      for (const auto& [old_name, old_raw] : before) {
        if (old_name == name) EXPECT_TRUE(raw == old_raw) << row.names << ": " << name << " changed";
      }
    }
    EXPECT_EQ(left, row.left) << row.names;
    std::map<std::string, std::string> expected;
    for (const auto& name : left) {
      if (files_.count(name) != 0) expected[name] = files_[name];
    }
    LhasaAgrees(tmp_ / "copy.lzh", expected);
  }
  ASSERT_EQ(Run("d \"" + archive_ + "\" *"), 0) << out_;
  EXPECT_FALSE(lha::test::Exists(archive_)) << "no entries left, no archive";
  EXPECT_EQ(Run("d \"" + archive_ + "\" a.txt"), kErrorArchiveOpen);
  EXPECT_EQ(Run("d \"" + tmp_ / "copy.lzh" + "\""), kErrorNoFileName);
}

TEST_F(Edit, UpdateAndFreshenReplaceInPlace) {
  const auto before = Stored(archive_);
  WriteFile(src_ + "/b.txt", "b, changed later");
  SetTime(src_ + "/b.txt", 1500000000);
  WriteFile(src_ + "/e.txt", "e, changed but older");
  SetTime(src_ + "/e.txt", 900000000);
  WriteFile(src_ + "/new.txt", "new");
  WriteFile(tmp_ / "f.lzh", ReadFile(archive_));

  ASSERT_EQ(Run("u -x1 \"" + archive_ + "\" \"" + src_ + "/\" a.txt b.txt e.txt new.txt"), 0) << out_;
  const auto after = Stored(archive_);
  ASSERT_EQ(Names(archive_), (std::vector<std::string>{"a.txt", "b.txt", "d", "d/c.txt", "e.txt", "new.txt"}));
  for (std::size_t i : {0u, 2u, 3u, 4u}) EXPECT_TRUE(after[i].second == before[i].second) << after[i].first;
  LhasaAgrees(archive_, {{"a.txt", "alpha"}, {"b.txt", "b, changed later"}, {"e.txt", files_["e.txt"]}, {"new.txt", "new"}});

  // "f" takes only what has an entry already.
  ASSERT_EQ(Run("f -x1 \"" + tmp_ / "f.lzh" + "\" \"" + src_ + "/\" b.txt e.txt new.txt"), 0) << out_;
  ASSERT_EQ(Names(tmp_ / "f.lzh"), (std::vector<std::string>{"a.txt", "b.txt", "d", "d/c.txt", "e.txt"}));
  LhasaAgrees(tmp_ / "f.lzh", {{"b.txt", "b, changed later"}, {"e.txt", files_["e.txt"]}});
  EXPECT_EQ(Run("f \"" + tmp_ / "none.lzh" + "\" \"" + src_ + "/\" b.txt"), kErrorArchiveOpen);
  EXPECT_FALSE(lha::test::Exists(tmp_ / "none.lzh"));

  // A folder given with -r: only its changed file is taken, the folder entry stays single.
  WriteFile(src_ + "/d/c.txt", "inside, changed");
  SetTime(src_ + "/d/c.txt", 1600000000);
  ASSERT_EQ(Run("u -x1 -r \"" + archive_ + "\" \"" + src_ + "/\" d"), 0) << out_;
  EXPECT_EQ(Names(archive_), (std::vector<std::string>{"a.txt", "b.txt", "d", "d/c.txt", "e.txt", "new.txt"}));
  LhasaAgrees(archive_, {{"d/c.txt", "inside, changed"}});
}

// An entry with only an MS-DOS time (two-second steps) is not newer than a file a second later.
TEST_F(Edit, UpdateAllowsForDosTimes) {
  lha::test::RawEntry old;
  old.name = "dos.txt";
  old.data = "old";
  old.crc = lha::Crc16(old.data);
  old.time = (uint32_t{(2001 - 1980) << 9 | 2 << 5 | 3} << 16) | (4 << 11 | 5 << 5 | 3);
  WriteFile(tmp_ / "dos.lzh", lha::test::Level0(old) + std::string(1, '\0'));
  lha::ArchiveReader r;
  ASSERT_EQ(r.OpenFile(tmp_ / "dos.lzh"), lha::Error::kOk);
  const std::int64_t stored = r.entries()[0].ModificationTime();
  WriteFile(src_ + "/dos.txt", "new");
  SetTime(src_ + "/dos.txt", stored + 1);
  ASSERT_EQ(Run("u \"" + tmp_ / "dos.lzh" + "\" \"" + src_ + "/\" dos.txt"), 0) << out_;
  EXPECT_EQ(Stored(tmp_ / "dos.lzh")[0].second, lha::test::Level0(old));
  SetTime(src_ + "/dos.txt", stored + 2);
  ASSERT_EQ(Run("u \"" + tmp_ / "dos.lzh" + "\" \"" + src_ + "/\" dos.txt"), 0) << out_;
  LhasaAgrees(tmp_ / "dos.lzh", {{"dos.txt", "new"}});
}

TEST_F(Edit, FailureLeavesTheOldArchive) {
  const std::string whole = ReadFile(archive_);
  WriteFile(src_ + "/b.txt", "newer");
  SetTime(src_ + "/b.txt", 2000000000);
  // A named file that cannot be read: nothing is written, though b.txt alone would have been.
  EXPECT_EQ(Run("u \"" + archive_ + "\" \"" + src_ + "/\" b.txt missing.txt"), kErrorFileOpen);
  EXPECT_NE(out_.find("missing.txt"), std::string::npos) << out_;
  EXPECT_TRUE(ReadFile(archive_) == whole);
  NoLeftovers();
  // An old archive that cannot be read whole is not rewritten by any command.
  const std::string cut = whole.substr(0, whole.size() - 100);
  WriteFile(archive_, cut);
  for (const std::string word : {"u", "a", "f", "d", "s"}) {
    EXPECT_EQ(Run(word + " \"" + archive_ + "\" \"" + src_ + "/\" b.txt"), kErrorDataMissing) << word << "\n" << out_;
    EXPECT_TRUE(ReadFile(archive_) == cut) << word;
  }
  NoLeftovers();
}

// Headers hold Shift-JIS names: a file whose name would change there ("?" for 한, ～ for 〜) is not
// stored under another name; the archive stays as it was, and the report says why. A folder or
// file reached through a name given with the marked form of such characters is found.
TEST_F(Edit, NamesShiftJisCannotHoldAreRefusedNotChanged) {
  const std::string whole = ReadFile(archive_);
  WriteFile(src_ + "/\xED\x95\x9C.txt", "korean");
  WriteFile(src_ + "/\xE6\xB3\xA2\xE3\x80\x9C.txt", "wave dash");
  for (const std::string name : {"\xFF\xED\x95\x9C.txt", "\x94\x67\xFF\xE3\x80\x9C.txt"}) {
    EXPECT_EQ(Run("a \"" + archive_ + "\" \"" + src_ + "/\" " + name), kErrorWrite) << out_;
    EXPECT_NE(out_.find("Shift-JIS"), std::string::npos) << out_;
    EXPECT_TRUE(ReadFile(archive_) == whole);
  }
  NoLeftovers();
  // The same folder, reached through a marked name, packs a file whose name fits.
  ::mkdir((src_ + "/\xED\x95\x9C").c_str(), 0755);
  WriteFile(src_ + "/\xED\x95\x9C/fits.txt", "fits");
  EXPECT_EQ(Run("a \"" + archive_ + "\" \"" + src_ + "/\xFF\xED\x95\x9C/\" fits.txt"), 0) << out_;
  EXPECT_EQ(Names(archive_).back(), "fits.txt");
}

TEST_F(Edit, SelfExtractor) {
  ASSERT_EQ(Run("s -+ \"" + archive_ + "\" \"" + tmp_ / "out" + "/\""), 0) << out_;
  const std::string sfx = tmp_ / "out/arc.exe";
  struct stat st {};
  ASSERT_EQ(::stat(sfx.c_str(), &st), 0);
  EXPECT_NE(st.st_mode & S_IXUSR, 0u);
  EXPECT_EQ(Stored(sfx), Stored(archive_));
  const std::string program(SelfExtractorProgram());
  lha::ArchiveReader r;
  ASSERT_EQ(r.OpenFile(sfx), lha::Error::kOk);
  EXPECT_EQ(r.first_header_offset(), SelfExtractorScript(program.size()).size()) << "the archive follows the script";
  const std::string bytes = ReadFile(sfx);
  EXPECT_TRUE(bytes.substr(bytes.size() - program.size()) == program);

  std::string out;
  ASSERT_EQ(lha::test::Run(tmp_.path(), "sh out/arc.exe -t", &out), 0) << out;
  ASSERT_EQ(lha::test::Run(tmp_.path(), "./out/arc.exe x", &out), 0) << out;
  for (const auto& [name, data] : files_) EXPECT_TRUE(ReadFile(tmp_ / "x/" + name) == data) << name;
  // Existing files stay unless -o.
  WriteFile(tmp_ / "x/a.txt", "mine");
  EXPECT_EQ(lha::test::Run(tmp_.path(), "./out/arc.exe x", &out), 1) << out;
  EXPECT_EQ(ReadFile(tmp_ / "x/a.txt"), "mine");
  ASSERT_EQ(lha::test::Run(tmp_.path(), "./out/arc.exe -o x", &out), 0) << out;
  EXPECT_EQ(ReadFile(tmp_ / "x/a.txt"), "alpha");
  LhasaAgrees(sfx, files_);

  // Rewriting keeps the script and the program around the entries.
  ASSERT_EQ(Run("d \"" + sfx + "\" b.txt"), 0) << out_;
  ASSERT_EQ(lha::test::Run(tmp_.path(), "./out/arc.exe -o y", &out), 0) << out;
  EXPECT_FALSE(lha::test::Exists(tmp_ / "y/b.txt"));
  EXPECT_EQ(ReadFile(tmp_ / "y/d/c.txt"), "inside");
  LhasaAgrees(sfx, {{"a.txt", "alpha"}, {"e.txt", files_["e.txt"]}});
}

// Every byte a rewrite does not mean to change stays: a second archive appended after the end
// mark, and the rest of a file whose reading stopped at a damaged (zeroed) header byte.
TEST_F(Edit, RewritesKeepWhatFollowsTheEndMark) {
  ASSERT_EQ(Run("a \"" + tmp_ / "two.lzh" + "\" \"" + src_ + "/\" b.txt"), 0) << out_;
  const std::string one = ReadFile(archive_);
  const std::string two = ReadFile(tmp_ / "two.lzh");
  lha::ArchiveReader r;
  ASSERT_EQ(r.OpenFile(archive_), lha::Error::kOk);
  const auto& entries = r.entries();
  ASSERT_EQ(entries.size(), 5u);
  // one.lzh's first entry, as stored.
  const std::string a_raw = one.substr(0, entries[1].header_offset);
  const std::string both = one + two;

  WriteFile(tmp_ / "both.lzh", both);
  ASSERT_EQ(Run("d \"" + tmp_ / "both.lzh" + "\" a.txt"), 0) << out_;
  EXPECT_TRUE(ReadFile(tmp_ / "both.lzh") == both.substr(a_raw.size()));

  WriteFile(src_ + "/new.txt", "new");
  for (const char* word : {"u", "a"}) {
    WriteFile(tmp_ / "both.lzh", both);
    ASSERT_EQ(Run(std::string(word) + " \"" + tmp_ / "both.lzh" + "\" \"" + src_ + "/\" new.txt"), 0) << out_;
    const std::string after = ReadFile(tmp_ / "both.lzh");
    ASSERT_GT(after.size(), both.size()) << word;
    EXPECT_TRUE(after.substr(0, one.size() - 1) == one.substr(0, one.size() - 1)) << word;
    EXPECT_TRUE(after.substr(after.size() - two.size() - 1) == std::string(1, '\0') + two) << word;
  }

  // Removing every entry before the mark would delete what follows it: refused, nothing changed.
  WriteFile(tmp_ / "first.lzh", one.substr(0, a_raw.size()) + std::string(1, '\0') + two);
  const std::string first = ReadFile(tmp_ / "first.lzh");
  EXPECT_NE(Run("d \"" + tmp_ / "first.lzh" + "\" a.txt"), 0) << out_;
  EXPECT_TRUE(ReadFile(tmp_ / "first.lzh") == first);

  // The third header's size byte zeroed: two entries listed, the rest kept as it is.
  std::string damaged = one;
  damaged[static_cast<std::size_t>(entries[2].header_offset)] = '\0';
  WriteFile(tmp_ / "damaged.lzh", damaged);
  ASSERT_EQ(Run("d \"" + tmp_ / "damaged.lzh" + "\" a.txt"), 0) << out_;
  EXPECT_TRUE(ReadFile(tmp_ / "damaged.lzh") == damaged.substr(a_raw.size()));
}

// A program whose bytes hold a header whose data runs past the end of the file: not an archive
// as the file stands. Adding a file makes the file long enough for that header's data to end
// exactly at the new end mark, so the rewritten file would read as that one stray entry. The
// rewrite reads its result back and refuses.
TEST_F(Edit, ARewriteThatWouldReadAsAnotherArchiveIsRefused) {
  const std::string probe = tmp_ / "probe.lzh", sfx = tmp_ / "sfx.exe";
  const std::string added = tmp_ / "n.txt";
  WriteFile(added, lha::test::RandomBytes(300, 82));
  const std::string real = ReadFile(archive_);
  WriteFile(probe, real);
  ASSERT_EQ(Run("u \"" + probe + "\" \"" + added + "\""), 0) << out_;
  const std::size_t grown = ReadFile(probe).size() - real.size();

  lha::ArchiveWriter stray;
  ASSERT_EQ(stray.AddFile("stray.txt", lha::test::RandomBytes(real.size() + grown - 1, 83), 1000000000),
            lha::Error::kOk);
  const std::size_t header = stray.entries()[0].header_size;
  const std::string before = "MZ" + std::string(300, '\x90') + stray.Finish().substr(0, header) + real;
  WriteFile(sfx, before);
  EXPECT_EQ(Names(sfx), Names(archive_));
  EXPECT_EQ(Run("u \"" + sfx + "\" \"" + added + "\""), kErrorCommand) << out_;
  EXPECT_TRUE(ReadFile(sfx) == before);
  EXPECT_NE(out_.find("left unchanged"), std::string::npos) << out_;
}

TEST_F(Edit, AnEmptyNameSelectsOnlyAnEntryWithoutAName) {
  const std::string before = ReadFile(archive_);
  ASSERT_EQ(Run("d \"" + archive_ + "\" \"\""), 0) << out_;
  EXPECT_TRUE(ReadFile(archive_) == before);
  EXPECT_NE(out_.find("Nothing to remove"), std::string::npos) << out_;

  // An archive holding an entry with an empty name and one with a name: only the first goes.
  lha::test::RawEntry nameless;
  nameless.data = "x";
  nameless.crc = lha::Crc16(nameless.data);
  lha::test::RawEntry named = nameless;
  named.name = "keep.txt";
  WriteFile(tmp_ / "empty.lzh", lha::test::Level1(nameless) + lha::test::Level1(named) + std::string(1, '\0'));
  ASSERT_EQ(Run("d \"" + tmp_ / "empty.lzh" + "\" \"\""), 0) << out_;
  EXPECT_EQ(Names(tmp_ / "empty.lzh"), std::vector<std::string>{"keep.txt"});
}

TEST_F(Edit, SelfExtractorLeavesAnExistingFileUnlessTold) {
  WriteFile(tmp_ / "arc.exe", "someone else's program");
  EXPECT_EQ(Run("s \"" + archive_ + "\""), kErrorAlreadyExists) << out_;
  EXPECT_EQ(ReadFile(tmp_ / "arc.exe"), "someone else's program");
  ASSERT_EQ(Run("s -jo \"" + archive_ + "\""), 0) << out_;
  EXPECT_EQ(Stored(tmp_ / "arc.exe"), Stored(archive_));
}

}  // namespace
}  // namespace sorabu::unlha32
