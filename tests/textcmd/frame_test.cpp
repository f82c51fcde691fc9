// The working-copy frame: backup option, refusals, failures that must lose nothing, and the
// line model's edges, through real commands on files in a temporary folder.
#include <csignal>
#include <map>
#include <stdexcept>
#include <random>
#include <set>
#include <sys/resource.h>
#include <unistd.h>

#include "command_fixture.h"
#include "textcmd/working_copy.h"
#include "textconv/jis_euc_sjis.h"
#include "textconv/system_error.h"

namespace sorabu::textcmd::test {
namespace {

TEST(WorkingCopyPathTest, ReplacesOrAppendsTheExtension) {
  const std::pair<const char*, const char*> rows[] = {
      {"/d/a.txt", "/d/a.org"}, {"/d/a", "/d/a.org"},         {"/d.x/a", "/d.x/a.org"},
      {"/d/.bashrc", "/d/.bashrc.org"}, {"/d/a.b.c", "/d/a.b.org"}, {"a.ORG", "a.org"},
  };
  for (const auto& [path, copy] : rows) EXPECT_EQ(WorkingCopyPath(path), copy) << path;
}

TEST_F(CommandTest, BackupOptionKeepsOrDeletesTheWorkingCopy) {
  const std::string path = Path("a.txt");
  Write(path, "x\r\n\r\ny");
  ASSERT_EQ(Run("Mtrim1Click", path, {}, false), Outcome::Done);
  EXPECT_FALSE(std::filesystem::exists(Path("a.org")));
  EXPECT_EQ(refreshes_, 0);
  EXPECT_EQ(shown_, path);
  EXPECT_EQ(Read(path), "x\r\ny\r\n");

  Write(path, "1\r\n");
  ASSERT_EQ(Run("MlinenoaddLeft1Click", path), Outcome::Done);
  ASSERT_EQ(Run("MlinenoaddLeft1Click", path), Outcome::Done);
  EXPECT_EQ(refreshes_, 2);
  EXPECT_EQ(Read(Path("a.org")), "1 1\r\n");  // the content from before the second command
  EXPECT_EQ(Read(path), "1 1 1\r\n");
}

TEST_F(CommandTest, VariationsOfRefreshAndDeletion) {
  struct Row {
    const char* handler;
    bool backup;
    int refreshes;
    bool keptCopy;
  };
  const Row rows[] = {
      {"Msjistoeuc1Click", true, 0, true},  {"Msjistoeuc1Click", false, 0, true},
      {"Mtojis1Click", true, 0, true},      {"Mtojis1Click", false, 0, false},
      {"Mtabtospace1Click", true, 1, true}, {"Mtabtospace1Click", false, 0, false},
  };
  for (const Row& row : rows) {
    std::filesystem::remove(Path("v.org"));
    refreshes_ = 0;
    Write(Path("v.txt"), "a\tb\r\n");
    ASSERT_EQ(Run(row.handler, Path("v.txt"), {}, row.backup), Outcome::Done);
    EXPECT_EQ(refreshes_, row.refreshes) << row.handler;
    EXPECT_EQ(std::filesystem::exists(Path("v.org")), row.keptCopy) << row.handler << row.backup;
  }
}

TEST_F(CommandTest, AWorkingCopyIsNeverItsOwnSource) {
  const struct {
    const char* name;
    const char* handler;
    const char* warning;
  } rows[] = {
      {"a.org", "Mtrim1Click", "拡張子を \".org\" 以外にして下さい。"},
      {"x.ORG", "Mtrim1Click", "拡張子を \".org\" 以外にして下さい。"},
      {"x.Org", "Mdump1Click", "拡張子を \".org\" 以外にして下さい。"},
      {"t.org", "Mtabtocomma1Click", "拡張子を \"org\" 以外にして下さい。"},
      {"c.org", "Msjistojis1Click", "拡張子を \".org\" 以外にして下さい。"},
  };
  for (const auto& row : rows) {
    const std::string path = Path(row.name);
    Write(path, "a\t\r\n\r\n");
    EXPECT_EQ(Run(row.handler, path), Outcome::Refused) << row.name;
    ASSERT_EQ(dialogs_.Messages().size(), 1u);
    EXPECT_EQ(dialogs_.Messages()[0].kind, dialogs::TScriptedDialogs::Message::Warning);
    EXPECT_EQ(dialogs_.Messages()[0].text, Sjis(row.warning));
    EXPECT_EQ(Read(path), "a\t\r\n\r\n");
    EXPECT_TRUE(shown_.empty());
  }
}

TEST_F(CommandTest, MissingFilesAndCancelledQuestionsChangeNothing) {
  EXPECT_EQ(Run("Mtrim1Click", Path("none.txt")), Outcome::NoFile);
  EXPECT_EQ(Run("Mtrim1Click", dir_.string()), Outcome::NoFile);  // a folder is not a file
  EXPECT_TRUE(dialogs_.Messages().empty());
  const std::string path = Path("q.txt");
  Write(path, "abc\r\n");
  const std::pair<const char*, std::vector<std::string>> rows[] = {
      {"Mrenban1Click", {}},           {"Mrenban1Click", {"X0"}},      {"MinsertChr1Click", {"-"}},
      {"Mcolumncopy1Click", {"1"}},    {"MopacdeleteClick", {}},       {"MlineCSVaClick", {}},
      {"MlineCSVhClick", {}},          {"MlineCSVgClick", {","}},
  };
  for (const auto& [handler, answers] : rows) {
    EXPECT_EQ(Run(handler, path, answers), Outcome::Cancelled) << handler;
    EXPECT_EQ(Read(path), "abc\r\n");
    EXPECT_FALSE(std::filesystem::exists(Path("q.org"))) << handler;
  }
}

TEST_F(CommandTest, BadNumbersAreRefusedBeforeTheWorkingCopy) {
  const std::string path = Path("n.txt");
  Write(path, "abc\r\n");
  const std::pair<const char*, std::vector<std::string>> rows[] = {
      {"Mrenban1Click", {"X0", "one"}}, {"MopacdeleteClick", {"3x"}}, {"MlineCSVaClick", {"0"}},
      {"MlineCSVaClick", {""}},          {"MlineCSVaClick", {"x"}},   {"MlineCSVhClick", {"ZZ", "2"}},
  };
  for (const auto& [handler, answers] : rows) {
    EXPECT_EQ(Run(handler, path, answers), Outcome::Cancelled) << handler;
    EXPECT_EQ(dialogs_.Messages().size(), 1u) << handler;
    EXPECT_EQ(Read(path), "abc\r\n");
    EXPECT_FALSE(std::filesystem::exists(Path("n.org"))) << handler;
  }
}

TEST_F(CommandTest, AReadOnlyFolderLeavesTheFileAndSaysWhy) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may rename in a read-only folder";
  const std::string path = Path("r.txt");
  Write(path, "x\r\n\r\n");
  std::filesystem::permissions(dir_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  EXPECT_EQ(Run("Mtrim1Click", path), Outcome::Failed);
  std::filesystem::permissions(dir_, std::filesystem::perms::owner_all);
  EXPECT_EQ(Read(path), "x\r\n\r\n");
  ASSERT_EQ(dialogs_.Messages().size(), 1u);
  EXPECT_NE(dialogs_.Messages()[0].text.find(textconv::SystemErrorText(EACCES)), std::string::npos);
  EXPECT_TRUE(shown_.empty());
}

// Root may rename in a read-only folder; a folder standing where the working copy goes makes
// the move fail for everyone.
TEST_F(CommandTest, AWorkingCopyThatCannotBeMadeLeavesTheFile) {
  const std::string path = Path("w.txt");
  Write(path, "x\r\n\r\n");
  std::filesystem::create_directories(Path("w.org/inside"));
  EXPECT_EQ(Run("Mtrim1Click", path), Outcome::Failed);
  EXPECT_EQ(Read(path), "x\r\n\r\n");
  ASSERT_EQ(dialogs_.Messages().size(), 1u);
  EXPECT_EQ(dialogs_.Messages()[0].kind, dialogs::TScriptedDialogs::Message::Error);
  EXPECT_NE(dialogs_.Messages()[0].text.find(Sjis("w.org")), std::string::npos);
  EXPECT_TRUE(shown_.empty());
}

// A file size limit makes writes fail part-way, as a full disk does.
TEST_F(CommandTest, AFailedWriteKeepsThePreviousContentInTheWorkingCopy) {
  const std::string path = Path("big.txt");
  std::string text;
  for (int i = 0; i < 200000; ++i) text += "line " + std::to_string(i) + "\r\n";
  Write(path, text);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  rlimit limited = old;
  limited.rlim_cur = 100000;
  ::setrlimit(RLIMIT_FSIZE, &limited);
  const Outcome outcome = Run("MlinenoaddLeft1Click", path, {}, false);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(outcome, Outcome::Failed);
  EXPECT_EQ(Read(Path("big.org")), text);  // kept although the backup option is off
  ASSERT_EQ(dialogs_.Messages().size(), 1u);
  EXPECT_NE(dialogs_.Messages()[0].text.find(Sjis("big.org")), std::string::npos);
  EXPECT_TRUE(shown_.empty());
}

TEST_F(CommandTest, StreamingModelEdges) {
  // 0x1A ends the text; a missing final line end is added.
  EXPECT_EQ(Transform("Mtrim1Click", "a\r\nb\x1a" "c\r\nd"), "a\r\nb\r\n");
  EXPECT_EQ(Transform("MlinenoaddLeft1Click", "a\rb"), "1 a\r\n2 b\r\n");
  EXPECT_EQ(Transform("MlinenoaddLeft1Click", ""), "");
  EXPECT_EQ(Transform("Msjistojis1Click", "a\x1a\r\nb"), "a\r\n");
}

TEST_F(CommandTest, ListModelKeepsWhatFollowsCtrlZ) {
  // Sorting reads lines as records: a 0x1A is a byte of its line, and nothing after it is lost.
  EXPECT_EQ(Transform("MLineSortU1Click", "b\r\nx\x1Ay\r\na\r\n"), "a\r\nb\r\nx\x1Ay\r\n");
  EXPECT_EQ(Transform("Msameline1Click", "a\r\na\r\n\x1A\r\nz"), "a\r\n");
}

// A file whose lines end in LF alone is one streaming line; converted in pieces it must give
// exactly what the one-call converter gives for the whole line.
TEST_F(CommandTest, OneEndlessLineConvertsInPieces) {
  std::string text;
  const std::string kanji = Sjis("漢字とかなの混じった行ｱｲ\n");
  while (text.size() < 3 * (1 << 20) + 7) text += kanji + "abc ";
  const std::string path = Path("lf.txt");
  Write(path, text);
  ASSERT_EQ(Run("Msjistojis1Click", path), Outcome::Done);
  EXPECT_EQ(Read(path), textconv::ShiftJisToJis(text) + "\r\n");
  ASSERT_EQ(Run("MjistosjisClick", path), Outcome::Done);
  EXPECT_EQ(Read(path), textconv::JisToShiftJis(textconv::ShiftJisToJis(text)) + "\r\n");
  // A line of nothing but LFs is written back as read.
  Write(path, std::string(3 << 20, '\n'));
  ASSERT_EQ(Run("Mbase641Click", path), Outcome::Done);
  EXPECT_EQ(Read(path), std::string(3 << 20, '\n') + "\r\n");
  EXPECT_EQ(Transform("McrdelClick", text), text + "\r\n");
}

// Random bytes through every command: no crash, no hang, and the working copy holds the input.
TEST_F(CommandTest, RandomBytesThroughEveryCommand) {
  std::mt19937 random(4);
  for (int round = 0; round < 3; ++round) {
    std::string bytes(5000 + round * 3000, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    if (round == 1)
      for (std::size_t i = 0; i < bytes.size(); i += 7) bytes[i] = "\r\n\x1b\x81<>&\t"[i % 8];
    for (const TCommand& command : CommandTable()) {
      const std::string path = Path("r.bin");
      std::filesystem::remove(path);
      Write(path, bytes);
      const Outcome outcome = Run(command.handler, path, {"3", "5", "7"});
      EXPECT_TRUE(outcome == Outcome::Done || outcome == Outcome::Cancelled) << command.handler;
      // The all-in-one HTML command is two commands; its working copy holds the middle state.
      if (outcome == Outcome::Done && command.handler != "MhtmlallClick")
        EXPECT_TRUE(Read(Path("r.org")) == bytes) << command.handler;
    }
  }
}

TEST_F(CommandTest, TableListsEveryCommandOnce) {
  std::set<std::string> seen;
  for (const TCommand& command : CommandTable()) {
    EXPECT_TRUE(seen.insert(command.handler).second) << command.handler;
    EXPECT_FALSE(command.caption.empty()) << command.handler;
    EXPECT_TRUE(command.run) << command.handler;
  }
  for (const char* handler : {"Mtrim1Click", "MlineCSVhClick", "Mdump1bClick", "Msjistojis1Click", "MhtmlallClick",
                              "MopacdeleteClick", "MCRtoLF1Click", "MBinHexD1Click"})
    EXPECT_NE(FindCommand(handler), nullptr) << handler;
  EXPECT_EQ(FindCommand("NoSuchClick"), nullptr);
}


}  // namespace
}  // namespace sorabu::textcmd::test

namespace sorabu::textcmd::test {
namespace {

// The folder's names and contents, to compare before and after.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    std::ifstream in(e.path(), std::ios::binary);
    files[e.path().filename().string()] = {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  return files;
}

class CancelTest : public CommandTest {
 protected:
  // Runs handler and cancels at the n-th progress report.
  Outcome RunCancelling(const std::string& handler, int at, int* reports) {
    dialogs_ = dialogs::TScriptedDialogs();
    TCommandContext context(dialogs_);
    context.sortKey = FoldedKey;
    context.trash = Trash();
    context.selectAndShow = [this](const std::string& p) { shown_ = p; };
    context.progress = [at, reports](unsigned long long, unsigned long long) { return ++*reports < at; };
    return RunCommand(handler, Path("big.txt"), context).value_or(Outcome::Failed);
  }
};

TEST_F(CancelTest, ACancelledCommandLeavesTheBytesAndTheFolderAsTheyWere) {
  std::string text;
  for (int i = 0; i < 200000; ++i) text += "line " + std::to_string(i % 977) + " \t text\r\n";
  for (const bool earlierCopy : {false, true}) {
    for (const char* handler : {"Msjistojis1Click", "MLineSortU1Click", "Malltabdelete1Click", "Mdump1Click"}) {
      SCOPED_TRACE(std::string(handler) + (earlierCopy ? " with an earlier .org" : ""));
      std::filesystem::remove_all(dir_);
      std::filesystem::create_directory(dir_);
      Write(Path("big.txt"), text);
      if (earlierCopy) Write(Path("big.org"), "an earlier generation");
      const auto before = Snapshot(dir_);
      int reports = 0;
      EXPECT_EQ(RunCancelling(handler, 2, &reports), Outcome::Cancelled);
      EXPECT_GE(reports, 2);
      EXPECT_TRUE(Snapshot(dir_) == before);
      EXPECT_TRUE(shown_.empty());
      // Not cancelled, the same command completes and replaces the earlier copy.
      reports = 0;
      EXPECT_EQ(RunCancelling(handler, 1 << 30, &reports), Outcome::Done);
      EXPECT_EQ(Read(Path("big.org")), text);
      shown_.clear();
    }
  }
}

TEST_F(CancelTest, AFailureOnTheWayPutsTheFileBackAndAFolderOfTheCopysNameIsLeftAlone) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "line " + std::to_string(i) + "\r\n";
  Write(Path("big.txt"), text);
  Write(Path("big.org"), "earlier");
  const auto before = Snapshot(dir_);
  dialogs_ = dialogs::TScriptedDialogs();
  TCommandContext context(dialogs_);
  context.trash = Trash();
  int reports = 0;
  context.progress = [&reports](unsigned long long, unsigned long long) {
    if (++reports == 1) throw std::runtime_error("out of something");
    return true;
  };
  EXPECT_THROW(RunCommand("Msjistojis1Click", Path("big.txt"), context), std::runtime_error);
  EXPECT_TRUE(Snapshot(dir_) == before);

  // A folder named like the working copy is no earlier copy to move aside: refused as ever.
  std::filesystem::remove(Path("big.org"));
  std::filesystem::create_directory(Path("big.org"));
  Write(Path("big.org/inside"), "keep");
  context.progress = [](unsigned long long, unsigned long long) { return true; };
  EXPECT_NE(RunCommand("Msjistojis1Click", Path("big.txt"), context), Outcome::Done);
  EXPECT_EQ(Read(Path("big.org/inside")), "keep");
  EXPECT_EQ(Read(Path("big.txt")), text);
  EXPECT_FALSE(std::filesystem::exists(Path("big.org.sorabu-aside")));
}

}  // namespace
}  // namespace sorabu::textcmd::test
