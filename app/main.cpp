// ソラブ: start-up. The splash comes first, then the main window restores its state and shows the
// file named on the command line.
#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include "app/main_window.h"
#include "app/settings_location.h"
#include "ui/TForm3.h"
#include "ui/icon_theme.h"
#include "ui/qt_dialogs.h"
#include "uitext/japanese_locale.h"

namespace {

// SIGTERM and SIGINT close the window the ordinary way, so the settings are written as at any close.
int signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const char c = 1;
  [[maybe_unused]] ssize_t n = ::write(signalPipe[0], &c, 1);
}

void CloseOnSignal(QWidget& window) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
    char c;
    [[maybe_unused]] ssize_t n = ::read(signalPipe[1], &c, 1);
    window.close();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  sorabu::uitext::UseJapaneseQt(application);
  sorabu::ui::UseIconTheme();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  auto* splash = new sorabu::ui::TForm3;
  splash->show();
  splash->repaint();
  QApplication::processEvents();

  QApplication::setApplicationName(QStringLiteral("sorabu"));
  QApplication::setApplicationDisplayName(QStringLiteral("ソラブ"));
  sorabu::ui::TQtDialogs dialogs;
  const std::string settingsPath = sorabu::app::SettingsFilePath().toStdString();
  dialogs.SetSettingsPath(settingsPath);
  sorabu::app::TForm1 form(dialogs, settingsPath);
  dialogs.SetParent(&form);
  CloseOnSignal(form);
  form.FormCreate();
  form.show();
  form.OpenCommandLineFile(QApplication::arguments().mid(1));
  form.activateWindow();
  QApplication::restoreOverrideCursor();
  return application.exec();
}
