// Display pipeline figures: the quick display of a huge file, the whole-file load, and start-up to
// the main window painted. Prints medians; bench/display.sh puts them beside cat.
//
//   display_bench quick FILE [runs]   median ShowSelectedFile time and bytes read from FILE
//   display_bench whole FILE [runs]   median time from LoadWholeFile to the pane painted, peak memory
//   display_bench jump FILE [runs]    after a whole load: jumping to the last line and back, painted
//   display_bench scroll FILE [runs]  after a whole load: one page down, painted (runs pages)
//   display_bench startup             time from entering main to the first paint of the window
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QImage>
#include <QPaintEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "app/main_window.h"
#include "dialogs/scripted_dialogs.h"
#include "viewer/byte_view.h"
#include "viewer/display.h"
#include "viewer/file_selection.h"
#include "viewer/status_panels.h"
#include "viewer/text_pane.h"

namespace {

using Clock = std::chrono::steady_clock;

class TOneFile : public sorabu::viewer::TFileSelection {
 public:
  explicit TOneFile(QString path) : path_(std::move(path)) {}
  QString SelectedPath() const override { return path_; }
  int SelectByName(const QString&) override { return 1; }
  int SelectedCount() const override { return 1; }
  void UpdateCounts() override {}

 private:
  QString path_;
};

long long ReadBytesSoFar() {
  std::ifstream io("/proc/self/io");
  std::string key;
  long long value = 0;
  while (io >> key >> value)
    if (key == "rchar:") return value;
  return -1;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

int RunPipeline(const QString& mode, const QString& path, int runs) {
  QTemporaryDir dir;
  sorabu::settings::TWindowState state;
  sorabu::viewer::TTextPane pane;
  QLabel label;
  sorabu::viewer::TStatusPanels sbar({100, 80, 50, 40, 60, 50, 50});
  sorabu::viewer::TStatusPanels status({300, 100, 120, 80, 50});
  sorabu::dialogs::TScriptedDialogs dialogs;
  sorabu::viewer::TViewer viewer(state, {&pane, &label, &sbar, &status}, dialogs);
  TOneFile selection(path);
  viewer.SetSelection(&selection);
  viewer.SetSettingsPath(dir.filePath("sorabu.ini").toStdString());
  pane.resize(1000, 700);
  pane.show();
  QImage screen(pane.ByteView()->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  // Rendering into an image runs the same paint as the screen, without a window system to wait on.
  auto paint = [&pane, &screen] { pane.ByteView()->viewport()->render(&screen); };
  auto since = [](Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); };
  std::vector<double> ms;
  long long bytes = 0;
  if (mode == QLatin1String("jump") || mode == QLatin1String("scroll")) {
    viewer.LoadWholeFile();
    paint();
    std::vector<double> back;
    for (int i = 0; i < runs; ++i) {
      if (mode == QLatin1String("jump")) {
        auto start = Clock::now();
        viewer.Mlinebottom1Click();
        paint();
        ms.push_back(since(start));
        start = Clock::now();
        viewer.Mlinetop1Click();
        paint();
        back.push_back(since(start));
      } else {
        QScrollBar* bar = pane.ByteView()->verticalScrollBar();
        const auto start = Clock::now();
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        paint();
        ms.push_back(since(start));
      }
    }
    std::printf("%s %s: median %.3f ms%s over %d runs, %d lines\n", qPrintable(mode), qPrintable(QFileInfo(path).fileName()),
                Median(ms), back.empty() ? "" : qPrintable(QStringLiteral(" to the end, %1 ms back to the top").arg(Median(back), 0, 'f', 3)),
                runs, pane.LineCount());
    return 0;
  }
  for (int i = 0; i < runs; ++i) {
    const long long before = ReadBytesSoFar();
    const auto start = Clock::now();
    if (mode == QLatin1String("quick")) viewer.ShowSelectedFile();
    else viewer.LoadWholeFile();
    paint();
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    bytes = ReadBytesSoFar() - before;
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%s %s: median %.3f ms over %d runs, %lld bytes read per run, %d lines shown, peak RSS %ld KiB\n",
              qPrintable(mode), qPrintable(QFileInfo(path).fileName()), Median(ms), runs, bytes, pane.LineCount(),
              usage.ru_maxrss);
  return 0;
}

class TPaintWatch : public QObject {
 public:
  explicit TPaintWatch(Clock::time_point start) : start_(start) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && watched->objectName() == QLatin1String("RichEdit1") && !done_) {
      done_ = true;
      std::printf("startup: %.1f ms to the window painted\n",
                  std::chrono::duration<double, std::milli>(Clock::now() - start_).count());
      QTimer::singleShot(0, qApp, &QApplication::quit);
    }
    return false;
  }

 private:
  Clock::time_point start_;
  bool done_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  const auto start = Clock::now();
  QApplication app(argc, argv);
  const QStringList args = QApplication::arguments();
  if (args.size() >= 3) return RunPipeline(args[1], args[2], args.size() > 3 ? args[3].toInt() : 9);
  if (args.value(1) == QLatin1String("startup")) {
    QTemporaryDir dir;
    sorabu::dialogs::TScriptedDialogs dialogs;
    TPaintWatch watch(start);
    app.installEventFilter(&watch);
    sorabu::app::TForm1 form(dialogs, dir.filePath("sorabu.ini").toStdString());
    form.FormCreate();
    form.show();
    return app.exec();
  }
  std::fprintf(stderr, "usage: display_bench quick|whole FILE [runs] | startup\n");
  return 2;
}
