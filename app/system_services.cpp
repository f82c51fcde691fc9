#include "app/system_services.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace sorabu::app {

namespace {

// The first of the programs that is installed, with its arguments.
QStringList FirstInstalled(const std::initializer_list<QStringList>& candidates) {
  for (const QStringList& c : candidates)
    if (!QStandardPaths::findExecutable(c.front()).isEmpty()) return c;
  return {};
}

}  // namespace

QStringList TDesktopServices::CommandFor(Service service, const QString& argument) const {
  using S = Service;
  switch (service) {
    case S::Trash:
      return FirstInstalled({{"xdg-open", QDir::homePath() + "/.local/share/Trash/files"}});
    case S::Terminal:
      // The terminals take the working folder from the process started in it.
      return FirstInstalled({{"x-terminal-emulator"}, {"gnome-terminal"}, {"konsole"}, {"xfce4-terminal"},
                             {"mate-terminal"}, {"lxterminal"}, {"qterminal"}, {"xterm"}});
    case S::ScreenSaver:
      return FirstInstalled({{"xdg-screensaver", "activate"}});
    case S::AppMenu:
      return FirstInstalled({{"xfce4-appfinder"}, {"rofi", "-show", "drun"}, {"wofi", "--show", "drun"},
                             {"krunner"}, {"dmenu_run"}});
    case S::Settings:
      return FirstInstalled({{"gnome-control-center"}, {"systemsettings"}, {"xfce4-settings-manager"},
                             {"mate-control-center"}, {"lxqt-config"}, {"cinnamon-settings"}});
    case S::Mail:
      return FirstInstalled({{"xdg-open", argument}});
    case S::PowerOff:
      return FirstInstalled({{"systemctl", "poweroff"}});
    case S::Reboot:
      return FirstInstalled({{"systemctl", "reboot"}});
    case S::LogOff:
      return FirstInstalled({{"loginctl", "terminate-session", qEnvironmentVariable("XDG_SESSION_ID")}});
    case S::Suspend:
      return FirstInstalled({{"systemctl", "suspend"}});
  }
  return {};
}

bool TDesktopServices::Available(Service service) const {
  if (service == Service::LogOff && qEnvironmentVariableIsEmpty("XDG_SESSION_ID")) return false;
  return !CommandFor(service, {}).isEmpty();
}

bool TDesktopServices::Request(Service service, const QString& argument) {
  if (service == Service::Mail) {
    QUrl mail(QStringLiteral("mailto:"));
    mail.setQuery(QStringLiteral("body=") + QString::fromLatin1(QUrl::toPercentEncoding(argument)));
    return OpenUrl(mail.toString(QUrl::FullyEncoded));
  }
  QStringList command = CommandFor(service, argument);
  if (command.isEmpty()) return false;
  const QString program = command.takeFirst();
  const QString folder = service == Service::Terminal ? argument : QString();
  return QProcess::startDetached(program, command, folder);
}

bool TDesktopServices::OpenUrl(const QString& url) { return QDesktopServices::openUrl(QUrl(url)); }

}  // namespace sorabu::app
