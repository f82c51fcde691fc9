#include "ui/list_file.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>

#include "uitext/qt_text.h"

namespace sorabu::ui {

namespace {
void Tell(QString* error, const QString& text) {
  if (error) *error = text;
}
}  // namespace

std::optional<std::vector<std::string>> LoadList(const QString& path, QString* error) {
  QFile file(path);
  errno = 0;
  if (!file.open(QIODevice::ReadOnly)) {
    Tell(error, path + QStringLiteral(" を開けません。\n") + uitext::SystemErrorQt(errno));
    return std::nullopt;
  }
  errno = 0;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    Tell(error, path + QStringLiteral(" を読み込めません。\n") + uitext::SystemErrorQt(errno));
    return std::nullopt;
  }
  std::vector<std::string> entries;
  for (QByteArray line : bytes.split('\n')) {
    if (line.endsWith('\r')) line.chop(1);
    if (!line.isEmpty()) entries.push_back(line.toStdString());
  }
  return entries;
}

bool SaveList(const QString& path, const std::vector<std::string>& entries, QString* error) {
  QByteArray bytes;
  for (const std::string& entry : entries) bytes.append(entry.data(), static_cast<qsizetype>(entry.size())).append("\r\n");
  QSaveFile file(path);
  errno = 0;
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    Tell(error, path + QStringLiteral(" に保存できません。\n") + uitext::SystemErrorQt(errno));
    return false;
  }
  return true;
}

}  // namespace sorabu::ui
