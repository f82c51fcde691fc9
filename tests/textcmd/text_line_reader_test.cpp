#include "textcmd/text_line_reader.h"
#include "textconv/system_error.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace sorabu::textcmd {
namespace {

namespace fs = std::filesystem;

class LineReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("sorabu-lines-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, ec);
    fs::remove_all(dir_, ec);
  }
  std::string Write(const std::string& bytes) {
    const std::string path = (dir_ / "f.txt").string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::vector<std::string> ReadAll(const std::string& bytes, LineModel model, std::size_t block) {
    TTextLineReader reader(model, block);
    EXPECT_TRUE(reader.Open(Write(bytes)));
    std::vector<std::string> lines;
    std::string line;
    while (reader.ReadLine(line) == TTextLineReader::Result::Line) lines.push_back(line);
    return lines;
  }
  fs::path dir_;
};

using Lines = std::vector<std::string>;

struct Case {
  const char* name;
  std::string bytes;
  Lines streaming;
  Lines list;
  Lines lf;  // the streaming model where an LF alone ends a line too
};

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"empty", "", {}, {}, {}},
      {"one line, no end", "abc", {"abc"}, {"abc"}, {"abc"}},
      {"CR LF is one end", "a\r\nb\r\n", {"a", "b"}, {"a", "b"}, {"a", "b"}},
      {"lone CR ends a line", "a\rb", {"a", "b"}, {"a", "b"}, {"a", "b"}},
      {"lone LF stays in the streaming line", "a\nb\nc", {"a\nb\nc"}, {"a", "b", "c"}, {"a", "b", "c"}},
      {"LF CR is two ends in the list model", "a\n\rb", {"a\n", "b"}, {"a", "", "b"}, {"a", "", "b"}},
      {"empty lines count", "\r\n\r\nx", {"", "", "x"}, {"", "", "x"}, {"", "", "x"}},
      // Ctrl-Z ends only the streaming text; sorting or tabulating keeps what follows it.
      {"Ctrl-Z ends the text", std::string("ab\r\ncd\x1A" "ef\r\n", 11), {"ab", "cd"}, {"ab", "cd\x1A" "ef"}, {"ab", "cd"}},
      {"Ctrl-Z right after a line end", std::string("ab\r\n\x1Axyz", 8), {"ab"}, {"ab", "\x1Axyz"}, {"ab"}},
      {"NUL bytes are ordinary", std::string("a\0b\r\n", 5), {std::string("a\0b", 3)}, {std::string("a\0b", 3)},
       {std::string("a\0b", 3)}},
      {"CR at the very end", "abc\r", {"abc"}, {"abc"}, {"abc"}},
      {"LF file with an empty line", "a\n\nb\n", {"a\n\nb\n"}, {"a", "", "b"}, {"a", "", "b"}},
      {"mixed: CR LF, then LF, then CR", "a\r\nb\nc\rd", {"a", "b\nc", "d"}, {"a", "b", "c", "d"}, {"a", "b", "c", "d"}},
      {"LF CR LF", "a\n\r\nb", {"a\n", "b"}, {"a", "", "b"}, {"a", "", "b"}},
      {"LF file with Ctrl-Z", std::string("a\nb\x1A\nc", 6), {"a\nb"}, {"a", "b\x1A", "c"}, {"a", "b"}},
  };
  return cases;
}

// Block sizes from 1 byte up put every CR LF pair across a block boundary at least once.
TEST_F(LineReaderTest, BothModelsAgreeWithTheTableAtEveryBlockSize) {
  for (const Case& c : Cases()) {
    for (std::size_t block : {1u, 2u, 3u, 7u, 65536u}) {
      SCOPED_TRACE(std::string(c.name) + " block " + std::to_string(block));
      EXPECT_EQ(ReadAll(c.bytes, LineModel::Streaming, block), c.streaming);
      EXPECT_EQ(ReadAll(c.bytes, LineModel::List, block), c.list);
      EXPECT_EQ(ReadAll(c.bytes, LineModel::StreamingLf, block), c.lf);
    }
    EXPECT_EQ(SplitLines(c.bytes, LineModel::StreamingLf), c.lf) << c.name;
    EXPECT_EQ(SplitLines(c.bytes, LineModel::Streaming), c.streaming) << c.name;
    EXPECT_EQ(SplitLines(c.bytes, LineModel::List), c.list) << c.name;
  }
}

TEST_F(LineReaderTest, ALineLongerThanManyBlocksComesWhole) {
  const std::string big(3 * 1024 * 1024 + 17, 'x');
  const Lines lines = ReadAll(big + "\r\ntail", LineModel::Streaming, 4096);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), big.size());
  EXPECT_EQ(lines[1], "tail");
}

TEST_F(LineReaderTest, ReadsOnlyTheBlocksItNeeds) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "line of text\r\n";
  TTextLineReader reader(LineModel::Streaming, 16 * 1024);
  ASSERT_TRUE(reader.Open(Write(text)));
  std::string line;
  for (int i = 0; i < 20; ++i) ASSERT_EQ(reader.ReadLine(line), TTextLineReader::Result::Line);
  EXPECT_EQ(reader.BytesRead(), 16u * 1024u);
}

TEST_F(LineReaderTest, ALimitStopsALongLineWithoutReadingTheRest) {
  const std::string big(10 * 1024 * 1024, 'y');
  TTextLineReader reader(LineModel::Streaming, 4096);
  ASSERT_TRUE(reader.Open(Write("ab\r\n" + big + "\r\nz")));
  std::string line;
  ASSERT_EQ(reader.ReadLine(line, 100), TTextLineReader::Result::Line);
  EXPECT_EQ(line, "ab");
  EXPECT_FALSE(reader.LineCut());
  ASSERT_EQ(reader.ReadLine(line, 5000), TTextLineReader::Result::Line);
  EXPECT_EQ(line.size(), 5000u);
  EXPECT_TRUE(reader.LineCut());
  EXPECT_LE(reader.BytesRead(), 8192u);
}

TEST_F(LineReaderTest, MissingAndUnreadableFilesReportTheSystemMessage) {
  TTextLineReader reader;
  EXPECT_FALSE(reader.Open((dir_ / "absent").string()));
  // The message goes to a dialog as it stands: code page 932, in Japanese.
  EXPECT_EQ(reader.Error(), textconv::SystemErrorText(ENOENT));
  std::string line;
  EXPECT_NE(reader.ReadLine(line), TTextLineReader::Result::Line);

  // A folder opens but cannot be read: the failure shows on the first read.
  TTextLineReader folder;
  ASSERT_TRUE(folder.Open(dir_.string()));
  EXPECT_EQ(folder.ReadLine(line), TTextLineReader::Result::Error);
  EXPECT_EQ(folder.Error(), textconv::SystemErrorText(EISDIR));
}

}  // namespace
}  // namespace sorabu::textcmd
