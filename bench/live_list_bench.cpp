// The live file list: how soon a file made by another program is listed, how the window keeps
// painting while another program copies thousands of files into the shown folder, and what the
// unsaved-edit question costs an arrow-key walk through an unedited folder.
//
//   live_list_bench one DIR        ms until one file made by a child process is listed
//   live_list_bench burst DIR N    a child writes N files: the longest event-loop gap meanwhile,
//                                  and ms from the child's end until all N are listed
//   live_list_bench walk DIR       ms per arrow-key move, with and without the question's guard
#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <vector>

#include "app/main_window.h"
#include "browser/file_view.h"
#include "dialogs/scripted_dialogs.h"
#include "viewer/display.h"

namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }
double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

bool Listed(sorabu::app::TForm1& f, const QString& name) {
  for (int r = f.FileView1()->RowCount() - 1; r >= 0; --r)
    if (f.FileView1()->Row(r).name == name) return true;
  return false;
}

// Writes count files named prefix000000.txt… in dir from a child process; returns its pid.
pid_t WriteInChild(const std::string& dir, const std::string& prefix, int count) {
  const pid_t pid = fork();
  if (pid == 0) {
    for (int i = 0; i < count; ++i) {
      char name[64];
      std::snprintf(name, sizeof name, "%s%06d.txt", prefix.c_str(), i);
      std::ofstream(dir + "/" + name) << "copied line\r\n";
    }
    _exit(0);
  }
  return pid;
}

// The longest pause of the event loop, measured by a 2 ms timer.
struct GapMeter {
  QTimer timer;
  QElapsedTimer clock;
  qint64 last = 0, longest = 0;
  GapMeter() {
    timer.setInterval(2);
    QObject::connect(&timer, &QTimer::timeout, [this] {
      const qint64 now = clock.elapsed();
      longest = std::max(longest, now - last);
      last = now;
    });
    clock.start();
    timer.start();
  }
};

int Main(const std::string& what, const QString& dir, int n) {
  QTemporaryDir ini;
  sorabu::dialogs::TScriptedDialogs dialogs;
  sorabu::app::TForm1 form(dialogs, ini.filePath("bench.ini").toStdString());
  form.FormCreate();
  form.show();
  if (!QTest::qWaitForWindowExposed(&form) || !form.GoToFolder(dir)) return 1;
  QApplication::processEvents();
  const std::string native = dir.toStdString();
  if (what == "one") {
    std::vector<double> times;
    for (int i = 0; i < 5; ++i) {
      const std::string prefix = "one" + std::to_string(i) + "_";
      const auto t0 = Clock::now();
      const pid_t child = WriteInChild(native, prefix, 1);
      waitpid(child, nullptr, 0);
      const QString name = QString::fromStdString(prefix) + QStringLiteral("000000.txt");
      if (!QTest::qWaitFor([&] { return Listed(form, name); }, 10000)) return 1;
      times.push_back(Ms(t0, Clock::now()));
    }
    std::printf("rows %d  listed after %.0f ms (median of 5)\n", form.FileView1()->RowCount(), Median(times));
    return 0;
  }
  if (what == "burst") {
    GapMeter gaps;
    const pid_t child = WriteInChild(native, "burst", n);
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) QApplication::processEvents(QEventLoop::AllEvents, 5);
    const auto end = Clock::now();
    char last[32];
    std::snprintf(last, sizeof last, "burst%06d.txt", n - 1);
    if (!QTest::qWaitFor([&] { return Listed(form, QString::fromLatin1(last)); }, 20000)) return 1;
    const double after = Ms(end, Clock::now());
    QTest::qWait(1000);  // the watch's last reports
    std::printf("files %d  listed %.0f ms after the copy ended  longest event-loop gap %lld ms\n", n, after,
                static_cast<long long>(gaps.longest));
    return 0;
  }
  if (what == "walk") {
    QWidget* list = form.FileView1()->CurrentView();
    list->setFocus();
    std::vector<double> guarded, bare;
    for (int round = 0; round < 6; ++round) {
      const bool guard = round % 2 == 0;
      if (guard) form.Viewer().SetReplaceGuard([&form] { return form.PaneMayChange(); });
      else form.Viewer().SetReplaceGuard({});
      form.FileView1()->SelectRow(0);
      QApplication::processEvents();
      std::vector<double> times;
      for (int i = 0; i + 1 < form.FileView1()->RowCount() && i < 999; ++i) {
        const auto t0 = Clock::now();
        QTest::keyClick(list, Qt::Key_Down);
        QApplication::processEvents();
        times.push_back(Ms(t0, Clock::now()));
      }
      (guard ? guarded : bare).push_back(Median(times));
    }
    std::printf("per move: with the question's guard %.3f ms, without %.3f ms (medians of 3 walks)\n", Median(guarded),
                Median(bare));
    return 0;
  }
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: live_list_bench one|burst|walk DIR [n]\n");
    return 2;
  }
  return Main(argv[1], QString::fromLocal8Bit(argv[2]), argc > 3 ? std::max(1, std::atoi(argv[3])) : 10000);
}
