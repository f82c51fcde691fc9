#include "ui/icon_theme.h"

#include <QIcon>
#include <QStandardPaths>

namespace sorabu::ui {

namespace {

// A theme that draws this draws the tool bars' actions.
bool Complete() { return QIcon::hasThemeIcon(QStringLiteral("document-save")) && QIcon::hasThemeIcon(QStringLiteral("edit-find")); }

}  // namespace

QString UseIconTheme() {
  // Platforms without a desktop theme (offscreen, a bare server) give no search paths at all.
  QStringList paths = QIcon::themeSearchPaths();
  for (const QString& dir : QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                                      QStandardPaths::LocateDirectory))
    if (!paths.contains(dir)) paths << dir;
  QIcon::setThemeSearchPaths(paths);
  const QString desktop = QIcon::themeName();
  if (!desktop.isEmpty() && desktop != QLatin1String("hicolor") && Complete()) return desktop;
  for (const char* name : {"breeze", "Papirus", "Adwaita"}) {
    QIcon::setThemeName(QString::fromLatin1(name));
    if (Complete()) return QIcon::themeName();
  }
  QIcon::setThemeName(desktop);
  return {};
}

}  // namespace sorabu::ui
