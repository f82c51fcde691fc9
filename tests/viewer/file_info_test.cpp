#include "viewer/file_info.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <fcntl.h>
#include <unistd.h>

#include "textconv/cp932.h"
#include "uitext/qt_text.h"

namespace sorabu::viewer {
namespace {

using textconv::Sjis;

QString MakeFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
  const QString path = dir.filePath(QString::fromUtf8(name));
  QFile f(path);
  f.open(QIODevice::WriteOnly);
  f.write(bytes);
  return path;
}

TEST(FileInfoLine, PiecesAndSeparatorsInOrder) {
  QLocale::setDefault(QLocale::c());
  QTemporaryDir dir;
  const QString path = MakeFile(dir, "日本.txt", QByteArray(1234567, 'x'));
  QFile::setPermissions(path, QFile::ReadOwner);
  const QDateTime when(QDate(2024, 2, 29), QTime(12, 0));
  {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    f.setFileTime(when, QFileDevice::FileModificationTime);
  }
  const std::string line = BuildFileInfoLine(path);
  const std::string folder = uitext::ToCp932(QFileInfo(path).absolutePath() + "/");
  const std::string weekday = Sjis("木");  // whatever the locale
  const std::string size = FormatNumber15(1234567);
  EXPECT_EQ(size.size(), 15u);
  EXPECT_EQ(line, Sjis("日本.txt") + "   " + size + " byte   2024.02.29(" + weekday + ")   " +
                      (::geteuid() == 0 ? "----" : "R---") + "    " + folder + "    ");
}

TEST(FileInfoLine, HiddenNamesAndMissingFiles) {
  QTemporaryDir dir;
  const std::string hidden = BuildFileInfoLine(MakeFile(dir, ".profile", "x"));
  EXPECT_NE(hidden.find("---H    "), std::string::npos);
  EXPECT_EQ(BuildFileInfoLine(dir.filePath("absent")), "");
}

// The label keeps names and folders code page 932 cannot hold; the byte line (which goes into files) has
// the same pieces, with "?" for those characters.
TEST(FileInfoLine, LabelShowsNamesBeyondCodePage932) {
  QTemporaryDir dir;
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("папка")));
  const QString path = dir.path() + QStringLiteral("/папка/한국어😀.txt");
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("abc");
  }
  const QString label = FileInfoLineText(path);
  EXPECT_TRUE(label.startsWith(QStringLiteral("한국어😀.txt   "))) << label.toStdString();
  EXPECT_TRUE(label.endsWith(QStringLiteral("/папка/    "))) << label.toStdString();
  const std::string bytes = BuildFileInfoLine(path);
  EXPECT_TRUE(uitext::FromCp932(bytes).endsWith(label.mid(QStringLiteral("한국어😀.txt").size())));
  EXPECT_EQ(bytes.find("???"), 0u);
  EXPECT_EQ(FileInfoLineText(dir.filePath("absent")), QString());
}

// Sizes are whole 64-bit figures: a sparse file of 4 GiB + 5 bytes shows all of them.
TEST(FileInfoLine, SizesBeyondFourGibibytesAreShownWhole) {
  QTemporaryDir dir;
  const QString path = dir.filePath("sparse.bin");
  const int fd = ::open(QFile::encodeName(path).constData(), O_CREAT | O_WRONLY, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, (1LL << 32) + 5), 0);
  ::close(fd);
  const std::string line = BuildFileInfoLine(path);
  const std::string expected = FormatNumber15((1ULL << 32) + 5) + " byte";
  EXPECT_NE(line.find(expected), std::string::npos) << line;
  EXPECT_EQ(expected.find(FormatNumber15(5)), std::string::npos);
}

TEST(FileType, FirstMatchInTableOrder) {
  struct Row {
    std::string first;
    const char* file;
    const char* tag;
  };
  const Row rows[] = {
      {"MZ\x90", "a.exe", "[実行ファイル]"},
      {"BMxx", "a.bmp", "[ﾋﾞｯﾄﾏｯﾌﾟ]"},
      {"DCU1", "a", "[DEL_U1]"},
      {"HSPP", "a", "[DEL_U2]"},
      {"\x41\x86\x51\x44", "a", "[DEL_U3]"},
      {"program x;", "a.dpr", "[Delphi program]"},
      {"unit y;", "a.pas", "[Delphi unit]"},
      {"{\\rtf1", "a.rtf", "[ﾘｯﾁﾃｷｽﾄ]"},
      {"?_\x03", "A.HLP", "[Helpファイル]"},
      {"?_\x03", "a.hlp", "[Helpファイル]"},
      {"?_\x03", "a.txt", ""},
      {"mz", "a", ""},
      {"progra", "a", ""},
      {"", "a", ""},
  };
  for (const Row& r : rows) EXPECT_EQ(DetectFileType(r.first, QString::fromLatin1(r.file)), Sjis(r.tag)) << r.first;
  EXPECT_EQ(DetectFileType("MZ", QString()), "");  // nothing selected
}

TEST(FileType, TagsAndCodeNamesFollowTheInfoLine) {
  EXPECT_EQ(InfoLineTags("MZ", "x.exe", 5), "    " + Sjis("[実行ファイル]") + "  " + Sjis("ｼﾌﾄJIS"));
  EXPECT_EQ(InfoLineTags("abc", "x.txt", 0), "      ASCII");
  EXPECT_EQ(InfoLineTags("abc", "x.txt", -1), "      ");
  EXPECT_EQ(KanjiCodeName(6), Sjis("EUC+ｼﾌﾄJIS"));
  EXPECT_EQ(KanjiCodeName(7), "UTF-8");
  EXPECT_EQ(KanjiCodeName(9), "");
}

}  // namespace
}  // namespace sorabu::viewer

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
