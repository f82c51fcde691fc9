// Copies files or trees with TSHFOP the way the window does (off the window's thread, through the
// progress runner) and reports the time and the longest pause of the window's event loop.
//   file_copy_bench DESTINATION SOURCE...
// prints: "ms <elapsed> gap <longest pause in ms> ok <0|1>"
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <cstdio>

#include "app/file_op_runner.h"
#include "dialogs/scripted_dialogs.h"
#include "fileops/shfop.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: file_copy_bench DESTINATION SOURCE...\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QWidget window;
  sorabu::dialogs::TScriptedDialogs dialogs;
  sorabu::app::TFileOpRunner runner(dialogs, &window);
  sorabu::fileops::TSHFOP op(runner.Dialogs());
  op.Options = {sorabu::fileops::TfFlagsOption::NOCONFIRMMKDIR, sorabu::fileops::TfFlagsOption::NOCONFIRMATION};
  op.ToFolder = argv[1];
  for (int i = 2; i < argc; ++i) op.FromFFList.emplace_back(argv[i]);
  op.OnProgress = [&](const sorabu::fileops::TFileOpProgress& p) { runner.Post(p); };

  // A timer that should fire every 10 ms: its longest gap is how long the window could not paint.
  QElapsedTimer beat;
  qint64 gap = 0;
  QTimer timer;
  timer.setInterval(10);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    gap = std::max(gap, beat.restart());
  });
  QElapsedTimer clock;
  clock.start();
  beat.start();
  timer.start();
  const bool ok = runner.Run(QStringLiteral("copy"), [&] { return op.Execute(); }, [&] { op.Cancel(); });
  std::printf("ms %lld gap %lld ok %d\n", static_cast<long long>(clock.elapsed()), static_cast<long long>(gap), ok ? 1 : 0);
  return ok ? 0 : 1;
}
