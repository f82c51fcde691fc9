// The rows of the properties dialog.
#include <gtest/gtest.h>

#include "textconv/ui_text.h"
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "info/file_properties.h"
#include "textconv/cp932.h"

namespace sorabu::info {
namespace {

std::string C(const char* utf8) { return textconv::Utf8ToCp932(utf8); }

TEST(FilePropertiesTest, PermissionLetters) {
  EXPECT_EQ(PermissionText(0755), "rwxr-xr-x");
  EXPECT_EQ(PermissionText(0), "---------");
  EXPECT_EQ(PermissionText(04755), "rwsr-xr-x");
  EXPECT_EQ(PermissionText(02640), "rw-r-S---");
  EXPECT_EQ(PermissionText(01777), "rwxrwxrwt");
}

TEST(FilePropertiesTest, RowsOfAFileAFolderAndABrokenLink) {
  namespace fs = std::filesystem;
  std::string tmpl = (fs::temp_directory_path() / "sorabu-props-XXXXXX").string();
  ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
  const fs::path dir = tmpl;
  std::ofstream(dir / "f.txt") << std::string(1234, 'x');
  ::chmod((dir / "f.txt").c_str(), 0640);
  fs::create_symlink(dir / "gone", dir / "dangling");

  auto value = [](const FileProperties& p, const char* label) {
    for (const auto& [l, v] : p.rows)
      if (l == C(label)) return v;
    return std::string("(none)");
  };
  FileProperties p = ReadFileProperties((dir / "f.txt").string());
  EXPECT_EQ(p.caption, C("f.txt のプロパティ"));
  EXPECT_EQ(value(p, "名前"), "f.txt");
  EXPECT_EQ(value(p, "場所"), dir.string());
  EXPECT_EQ(value(p, "種類"), C("ファイル"));
  EXPECT_EQ(value(p, "サイズ"), "1,234 byte");
  EXPECT_EQ(value(p, "アクセス権"), "rw-r----- (0640)");
  EXPECT_EQ(value(p, "リンク先"), "(none)");

  p = ReadFileProperties(dir.string());
  EXPECT_EQ(value(p, "種類"), C("フォルダー"));
  EXPECT_EQ(value(p, "サイズ"), "(none)");

  p = ReadFileProperties((dir / "dangling").string());
  EXPECT_EQ(value(p, "リンク先"), (dir / "gone").string() + C(" (リンク切れ)"));

  EXPECT_TRUE(ReadFileProperties((dir / "missing").string()).caption.empty());

  // A name beyond Shift-JIS reaches the dialog whole.
  std::ofstream(dir / "한국어😀.txt") << "k";
  p = ReadFileProperties((dir / "한국어😀.txt").string());
  EXPECT_EQ(textconv::Cp932ExactToUtf8(value(p, "名前")), "한국어😀.txt");
  fs::remove_all(dir);
}

}  // namespace
}  // namespace sorabu::info
