// Names as CP932 text, and writing such a text to a file, each saying what went wrong.
#include "app/name_lines.h"

#include <QFile>
#include <algorithm>
#include <cerrno>

#include "uitext/qt_text.h"
#include "viewer/file_info.h"

namespace sorabu::app {

using uitext::U;

std::optional<std::vector<std::string>> NameLines(dialogs::TDialogs& dialogs, const QStringList& lines) {
  std::vector<std::string> out;
  QStringList misfits;
  for (const QString& line : lines) {
    bool fits = true;
    out.push_back(uitext::ToCp932Text(line, &fits));
    if (!fits) misfits << line.trimmed();
  }
  if (misfits.isEmpty()) return out;
  const qsizetype shown = std::min<qsizetype>(misfits.size(), 10);
  QString text = U("次の名前には Shift-JIS で表せない文字があるため、Shift-JIS のテキストにできません。"
                   "名前を変えずに残すため、何も書きませんでした。\n");
  for (qsizetype i = 0; i < shown; ++i) text += QStringLiteral("\n") + misfits[i];
  if (misfits.size() > shown) text += U("\nほか %1 個").arg(misfits.size() - shown);
  dialogs.Warning(uitext::ToCp932(text));
  return std::nullopt;
}

bool WriteTextFile(dialogs::TDialogs& dialogs, const QString& path, const std::string& bytes) {
  // Opening a named pipe to write waits for a reader, and the window would stand still; a device
  // or a socket is no text file either.
  if (const QString kind = viewer::SpecialFileKind(path); !kind.isEmpty()) {
    dialogs.Error(uitext::ToCp932(path + U(" は") + kind + U("のため、書き込みませんでした。")));
    return false;
  }
  QFile f(path);
  errno = 0;
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      f.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) || !f.flush()) {
    dialogs.Error(uitext::ToCp932(path + U(" に書き込めません: ") + uitext::SystemErrorQt(errno)));
    return false;
  }
  return true;
}

}  // namespace sorabu::app
