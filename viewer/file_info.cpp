#include "viewer/file_info.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <sys/stat.h>
#include <unistd.h>

#include "textconv/cp932.h"
#include "textconv/kanji_code.h"
#include "textconv/ui_text.h"
#include "uitext/qt_text.h"
#include "uitext/japanese_locale.h"

namespace sorabu::viewer {

std::string FormatNumber15(unsigned long long value) {
  QString digits = uitext::JapaneseLocale().toString(value);
  std::string s = uitext::ToCp932(digits);
  if (s.size() < 15) s.insert(0, 15 - s.size(), ' ');
  return s;
}

namespace {

std::string AttributeLetters(const QFileInfo& info) {
  const QByteArray native = QFile::encodeName(info.absoluteFilePath());
  const bool readOnly = ::access(native.constData(), W_OK) != 0;
  const bool hidden = info.fileName().startsWith(QLatin1Char('.'));
  std::string s;
  s += readOnly ? 'R' : '-';
  s += '-';  // archive: no Linux file system reports it
  s += '-';  // system: likewise
  s += hidden ? 'H' : '-';
  return s;
}

// The pieces between the name and the folder are the same for the file and the label.
std::string MiddlePieces(const QFileInfo& info) {
  std::string line = "   ";
  line += FormatNumber15(static_cast<unsigned long long>(info.size())) + " byte";
  line += "   ";
  const QDateTime modified = info.lastModified();
  line += uitext::ToCp932(modified.toString(QStringLiteral("yyyy.MM.dd")) + QLatin1Char('(') +
                  uitext::JapaneseWeekday(modified.date().dayOfWeek()) +
                  QLatin1Char(')'));
  line += "   ";
  line += AttributeLetters(info);
  line += "    ";
  return line;
}

QString FolderWithSlash(const QFileInfo& info) {
  QString folder = info.absolutePath();
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  return folder;
}

}  // namespace

std::string BuildFileInfoLine(const QString& path, bool* fits) {
  QFileInfo info(path);
  if (fits) *fits = true;
  if (path.isEmpty() || !info.exists()) return {};
  bool nameFits = true, folderFits = true;
  std::string line = uitext::ToCp932Text(info.fileName(), &nameFits) + MiddlePieces(info) +
                     uitext::ToCp932Text(FolderWithSlash(info), &folderFits) + "    ";
  if (fits) *fits = nameFits && folderFits;
  return line;
}

QString SpecialFileKind(const QString& path) {
  struct stat st {};
  if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
  if (S_ISFIFO(st.st_mode)) return QStringLiteral("名前付きパイプ");
  if (S_ISSOCK(st.st_mode)) return QStringLiteral("ソケット");
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return QStringLiteral("デバイス");
  return {};
}

QString FileInfoLineText(const QString& path) {
  QFileInfo info(path);
  if (path.isEmpty() || !info.exists()) return {};
  return info.fileName() + uitext::FromCp932(MiddlePieces(info)) + FolderWithSlash(info) + QStringLiteral("    ");
}

std::string DetectFileType(std::string_view first, const QString& path) {
  if (path.isEmpty() || first.empty()) return {};
  auto starts = [&](std::string_view prefix) { return first.substr(0, prefix.size()) == prefix; };
  const char* tag = nullptr;
  if (starts("MZ")) tag = "実行ファイル";
  else if (starts("BM")) tag = "ﾋﾞｯﾄﾏｯﾌﾟ";
  else if (starts("DCU1")) tag = "DEL_U1";
  else if (starts("HSPP")) tag = "DEL_U2";
  else if (starts("\x41\x86\x51\x44")) tag = "DEL_U3";
  else if (starts("program")) tag = "Delphi program";
  else if (starts("unit")) tag = "Delphi unit";
  else if (starts("{\\rtf")) tag = "ﾘｯﾁﾃｷｽﾄ";
  else if (starts("?_") && QFileInfo(path).suffix().toUpper() == QLatin1String("HLP")) tag = "Helpファイル";
  if (!tag) return {};
  return "[" + textconv::Utf8ToCp932(tag) + "]";
}

std::string KanjiCodeName(int code) {
  return textconv::Utf8ToCp932(textconv::KanjiCodeNameUtf8(code));
}

std::string InfoLineTags(std::string_view firstLine, const QString& path, int kanjiCode) {
  return "    " + DetectFileType(firstLine, path) + "  " + KanjiCodeName(kanjiCode);
}

}  // namespace sorabu::viewer
