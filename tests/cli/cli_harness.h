// Runs the built sorabu-cli in a temporary folder of its own and collects what it wrote.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace sorabu::cli::test {

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (std::filesystem::temp_directory_path() / "sorabu-cli-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  std::filesystem::path Path(std::string_view name) const { return dir_ / name; }

  void Write(std::string_view name, std::string_view bytes) const {
    std::filesystem::create_directories(Path(name).parent_path());
    std::ofstream(Path(name), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::string Read(const std::filesystem::path& path) const {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // Runs sorabu-cli with args (each passed as one argument, any bytes but NUL) and stdin_bytes
  // on standard input, in the temporary folder. A run that hangs (a read that waits for ever) is
  // stopped after two minutes with status 124.
  CliResult Run(const std::vector<std::string>& args, std::string_view stdin_bytes = {}) const {
    Write("in.bin", stdin_bytes);
    // Whatever a command moves to the trash stays in the test's folder.
    std::filesystem::create_directories(Path("xdg"));
    std::string command = "cd " + Quote(dir_.string()) + " && XDG_DATA_HOME=" + Quote(Path("xdg").string()) +
                          " timeout 120 " + Quote(SORABU_CLI);
    for (const std::string& arg : args) command += " " + Quote(arg);
    command += " <in.bin >out.bin 2>err.bin";
    const int raw = std::system(command.c_str());
    CliResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = Read(Path("out.bin"));
    result.err = Read(Path("err.bin"));
    return result;
  }

 private:
  static std::string Quote(std::string_view s) {
    std::string q = "'";
    for (char c : s) {
      if (c == '\'') q += "'\\''";
      else q += c;
    }
    return q + "'";
  }

  std::filesystem::path dir_;
};

}  // namespace sorabu::cli::test
