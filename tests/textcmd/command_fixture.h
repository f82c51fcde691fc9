// A temporary folder and a way to run a command on one file in it, as the window would.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>
#include <iterator>
#include <string>

#include "dialogs/scripted_dialogs.h"
#include "textcmd/collation.h"
#include "textcmd/command_table.h"
#include "textconv/cp932.h"

namespace sorabu::textcmd::test {

inline std::string Sjis(const char* utf8) { return textconv::Utf8ToCp932(utf8); }

class CommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/textcmd-test-XXXXXX";
    dir_ = ::mkdtemp(pattern);
    char trashPattern[] = "/tmp/textcmd-trash-XXXXXX";
    trashDir_ = ::mkdtemp(trashPattern);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(dir_, ec);
    std::filesystem::remove_all(trashDir_, ec);
  }

  // A trash of the test's own: each file moved there under a number, its contents kept.
  std::function<bool(const std::string&)> Trash() {
    return [this](const std::string& path) {
      trashed_.push_back(std::filesystem::path(path).filename().string());
      return ::rename(path.c_str(), (trashDir_ / std::to_string(trashed_.size())).c_str()) == 0;
    };
  }
  std::string Trashed(std::size_t n) const { return Read((trashDir_ / std::to_string(n)).string()); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  static void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // Runs handler on a file holding input; answers are given in order (UTF-8, converted).
  Outcome Run(const std::string& handler, const std::string& path, const std::vector<std::string>& answers = {},
              bool backup = true) {
    dialogs_ = dialogs::TScriptedDialogs();
    for (const std::string& a : answers) dialogs_.Answer(a);
    TCommandContext context(dialogs_);
    context.backup = backup;
    context.lfLines = lfLines_;
    context.refresh = [this] { ++refreshes_; };
    context.selectAndShow = [this](const std::string& p) { shown_ = p; };
    context.infoLine = [](const std::string&) { return std::string("INFO"); };
    context.sortKey = FoldedKey;
    context.trash = Trash();
    const auto outcome = RunCommand(handler, path, context);
    EXPECT_TRUE(outcome.has_value()) << handler;
    return outcome.value_or(Outcome::Failed);
  }

  std::string Transform(const std::string& handler, const std::string& input,
                        const std::vector<std::string>& answers = {}) {
    const std::string path = Path("a.txt");
    std::filesystem::remove(path);
    Write(path, input);
    EXPECT_EQ(Run(handler, path, answers), Outcome::Done) << handler;
    return Read(path);
  }

  std::filesystem::path dir_;
  // The literal line model unless a test asks for LF line ends.
  bool lfLines_ = false;
  std::filesystem::path trashDir_;
  std::vector<std::string> trashed_;  // the names moved to the trash, in order
  dialogs::TScriptedDialogs dialogs_;
  int refreshes_ = 0;
  std::string shown_;
};

}  // namespace sorabu::textcmd::test
