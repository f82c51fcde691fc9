// Helpers shared by the regex tests: CP932 text from UTF-8 literals, and a fixture that owns a
// temporary folder of files to search.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "textconv/cp932.h"
#include "tests/support/sjis_text.h"

namespace sorabu::regex::test {

using test_support::S;

class FolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir_template[] = "/tmp/regex-files-XXXXXX";
    ASSERT_NE(mkdtemp(dir_template), nullptr);
    dir_ = dir_template;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Writes the bytes to name in the folder; the file's path.
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::filesystem::path p = dir_ / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p.string();
  }

  std::filesystem::path dir_;
};

}  // namespace sorabu::regex::test
