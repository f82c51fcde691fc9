#include "app/settings_location.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace sorabu::app {

QString SettingsFilePath() {
  const QString programDir = QCoreApplication::applicationDirPath();
  const QFileInfo dir(programDir);
  if (!programDir.isEmpty() && dir.isDir() && dir.isWritable()) return QDir(programDir).filePath(QStringLiteral("sorabu.ini"));
  QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
  const QString folder = QDir(config).filePath(QStringLiteral("sorabu"));
  QDir().mkpath(folder);
  return QDir(folder).filePath(QStringLiteral("sorabu.ini"));
}

}  // namespace sorabu::app
