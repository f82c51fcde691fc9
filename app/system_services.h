// What the information commands ask of the desktop: opening an address, the trash, a terminal,
// the screen saver, the application launcher, the system settings, a mail and the power
// requests. One interface so that tests record the requests instead of sending them.
#pragma once

#include <QString>
#include <QStringList>
#include <set>

namespace sorabu::app {

class TSystemServices {
 public:
  enum class Service { Trash, Terminal, ScreenSaver, AppMenu, Settings, Mail, PowerOff, Reboot, LogOff, Suspend };
  virtual ~TSystemServices() = default;
  // Whether the desktop offers the service (its program is installed).
  virtual bool Available(Service service) const = 0;
  // Terminal: argument is the folder; Mail: the body; the others take none. False when the
  // request could not be handed on.
  virtual bool Request(Service service, const QString& argument = {}) = 0;
  // Opens an address (URL, mailto:, file) with the desktop's program for it.
  virtual bool OpenUrl(const QString& url) = 0;
};

// Starts the desktop's programs: xdg-open for addresses, the first terminal, launcher and settings
// program found, xdg-screensaver, systemctl and loginctl.
class TDesktopServices final : public TSystemServices {
 public:
  bool Available(Service service) const override;
  bool Request(Service service, const QString& argument = {}) override;
  bool OpenUrl(const QString& url) override;
  // The program and its arguments for a service; empty when none is installed.
  QStringList CommandFor(Service service, const QString& argument) const;
};

// Writes every request down and sends nothing, for tests.
class TRecordingServices final : public TSystemServices {
 public:
  bool Available(Service service) const override { return !missing.count(service); }
  bool Request(Service service, const QString& argument = {}) override {
    requests << QStringLiteral("%1 %2").arg(static_cast<int>(service)).arg(argument).trimmed();
    return succeed;
  }
  bool OpenUrl(const QString& url) override {
    requests << QStringLiteral("open %1").arg(url);
    return succeed;
  }
  std::set<Service> missing;
  bool succeed = true;
  QStringList requests;
};

}  // namespace sorabu::app
