// The system's reasons reach a message only as the program's own Japanese: every errno value,
// every GIO code, and the messages built from real failures.
#include <gio/gio.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "fileops/error_text.h"
#include "fileops/save_file.h"
#include "settings/ini_file.h"
#include "textconv/cp932.h"
#include "textconv/system_error.h"
#include "temp_tree.h"

namespace sorabu::fileops {
namespace {

bool HasLatinLetter(const std::string& s) {
  for (unsigned char c : s)
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  return false;
}

TEST(SystemErrorText, EveryErrnoValueReadsJapanese) {
  const std::string unknown = textconv::SystemErrorUtf8(100000);
  EXPECT_NE(unknown.find("100000"), std::string::npos) << "a value the table lacks still names its number";
  for (int err = 0; err <= 200; ++err) {
    const std::string text = textconv::SystemErrorUtf8(err);
    EXPECT_FALSE(HasLatinLetter(text)) << err << ": " << text;
    EXPECT_EQ(textconv::SystemErrorText(err), textconv::Utf8ToCp932(text));
  }
  // What the file commands, the viewer and the settings file meet has its own sentence.
  for (int err : {EPERM, EACCES, ENOENT, ENOSPC, EDQUOT, EROFS, EEXIST, ENOTDIR, EISDIR, ENOTEMPTY, EXDEV,
                  ENAMETOOLONG, ELOOP, EBUSY, ETXTBSY, EMFILE, ENFILE, ENOMEM, EIO, EFBIG, EOVERFLOW, EINVAL,
                  EAGAIN, EINTR, ENXIO, ENODEV, ETIMEDOUT, EPIPE, ECANCELED, ENOTSUP, ESPIPE, ESTALE, EILSEQ})
    EXPECT_EQ(textconv::SystemErrorUtf8(err).find("システム エラー"), std::string::npos) << err;
  EXPECT_EQ(textconv::SystemErrorUtf8(EACCES), "アクセスが拒否されました。");
  EXPECT_EQ(textconv::SystemErrorUtf8(ENOENT), "ファイルまたはフォルダーが見つかりません。");
  EXPECT_EQ(textconv::SystemErrorUtf8(ENOSPC), "ディスクの空きが足りません。");
  EXPECT_EQ(textconv::SystemErrorUtf8(EROFS), "読み取り専用のファイルシステムです。");
}

TEST(SystemErrorText, EveryGioErrorReadsJapanese) {
  for (int code = 0; code <= 60; ++code) {
    EXPECT_FALSE(HasLatinLetter(GioErrorText(code))) << code;
    GError* io = g_error_new_literal(G_IO_ERROR, code, "Unable to trash file: Operation not permitted");
    EXPECT_FALSE(HasLatinLetter(GioErrorText(io))) << code;
    g_error_free(io);
    GError* file = g_error_new_literal(G_FILE_ERROR, code, "No such file or directory");
    EXPECT_FALSE(HasLatinLetter(GioErrorText(file))) << code;
    g_error_free(file);
  }
  GError* file = g_error_new_literal(G_FILE_ERROR, G_FILE_ERROR_ACCES, "Permission denied");
  EXPECT_EQ(GioErrorText(file), "アクセスが拒否されました。");
  g_error_free(file);
  GError* other = g_error_new_literal(g_quark_from_static_string("elsewhere"), 1, "Something failed");
  EXPECT_FALSE(HasLatinLetter(GioErrorText(other)));
  g_error_free(other);
  EXPECT_FALSE(HasLatinLetter(GioErrorText(nullptr)));
}

// Failures met for real, each message as the user reads it.
TEST(SystemErrorText, MessagesOfRealFailuresCarryTheJapaneseReason) {
  test::TempTree tree;
  tree.Write("plain.txt", "x");
  const std::string file = tree("plain.txt");
  const std::string underAFile = file + "/inside.txt";

  std::string error;
  EXPECT_FALSE(SaveFile(underAFile, "bytes", "", error));
  EXPECT_EQ(error, textconv::SystemErrorUtf8(ENOTDIR));

  settings::TIniFile ini(underAFile);
  ini.WriteInteger("S", "k", 1);
  EXPECT_FALSE(ini.UpdateFile());
  EXPECT_NE(ini.Error().find(textconv::SystemErrorText(ENOTDIR)), std::string::npos) << ini.Error();
  EXPECT_NE(ini.Error().find(textconv::Sjis("に設定を保存できません")), std::string::npos);
  // Code page 932 trail bytes may be ASCII letters: the check reads the text.
  EXPECT_FALSE(HasLatinLetter(textconv::Cp932ToUtf8(ini.Error().substr(underAFile.size()))));
}

}  // namespace
}  // namespace sorabu::fileops
