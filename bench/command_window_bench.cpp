// A file-rewriting command run from the window, as a user runs it: the file is selected, the
// menu item triggered, and the time measured until the window has shown the result. Meanwhile a
// 5 ms timer records the largest gap in the event loop, which bounds how long the window could
// not repaint. Each run works on a fresh copy of FILE in a temporary folder.
//
//   command_window_bench HANDLER FILE [runs]   prints: median ms, largest event-loop gap ms
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/browser_selection.h"
#include "app/command_menus.h"
#include "app/main_window.h"
#include "dialogs/scripted_dialogs.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: command_window_bench HANDLER FILE [runs]\n");
    return 2;
  }
  const std::string handler = argv[1];
  const QString source = QString::fromLocal8Bit(argv[2]);
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  std::vector<double> times;
  double worstGap = 0;
  for (int r = 0; r < runs; ++r) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.txt"));
    QFile::copy(source, path);
    sorabu::dialogs::TScriptedDialogs dialogs;
    sorabu::app::TForm1 form(dialogs, dir.filePath(QStringLiteral("sorabu.ini")).toStdString());
    form.FormCreate();
    form.show();
    form.OpenCommandLineFile({path});
    QApplication::processEvents();
    QAction* item = form.Action(sorabu::app::MainItemName(handler).c_str());
    if (item == nullptr) {
      std::fprintf(stderr, "no item for %s\n", handler.c_str());
      return 2;
    }
    QElapsedTimer gapClock;
    double gap = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
      gap = std::max(gap, static_cast<double>(gapClock.nsecsElapsed()) / 1e6);
      gapClock.restart();
    });
    QSignalSpy done(&form, &sorabu::app::TForm1::FileCommandDone);
    QElapsedTimer clock;
    clock.start();
    gapClock.start();
    ticker.start(5);
    item->trigger();
    while (done.isEmpty()) done.wait(60000);
    times.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    ticker.stop();
    worstGap = std::max(worstGap, gap);
  }
  std::sort(times.begin(), times.end());
  std::printf("%.1f %.1f\n", times[times.size() / 2], worstGap);
  return 0;
}
