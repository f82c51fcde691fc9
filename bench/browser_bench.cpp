// File browser figures: filling the list, counting a tree, moving through a folder of text files.
// Prints medians in milliseconds; bench/browser.sh puts them beside ls -l and find.
//
//   browser_bench fill DIR [runs]    median times to the first screen and the whole list, and the
//                                    longest pause of the window meanwhile
//   browser_bench count DIR [runs]   median time of the status-bar count of DIR's tree
//   browser_bench move DIR [steps]   median time per arrow-key move in the main window, display included
#include <QAbstractItemView>
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/main_window.h"
#include "browser/file_view.h"
#include "browser/folder_counter.h"
#include "dialogs/scripted_dialogs.h"
#include "viewer/text_pane.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// The first screenful (SetFolder and the first paint), the whole list (the end of the load) and
// the longest the window went without handling events meanwhile (a 5 ms timer's widest gap).
int Fill(const QString& dir, int runs) {
  sorabu::browser::TFileView view;
  view.resize(800, 600);
  view.SetViewStyle(sorabu::browser::TViewStyle::List);  // the list style the program starts in
  view.show();
  std::vector<double> first, whole, gaps;
  for (int i = 0; i < runs; ++i) {
    double gap = 0;
    auto last = Clock::now();
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
      const auto now = Clock::now();
      gap = std::max(gap, Ms(last, now));
      last = now;
    });
    const auto t0 = Clock::now();
    if (!view.SetFolder(dir)) return 1;
    QApplication::processEvents();
    const auto t1 = Clock::now();
    last = t1;
    ticker.start(5);
    if (view.Model()->Loading()) {
      QEventLoop loop;
      QObject::connect(&view, &sorabu::browser::TFileView::Loaded, &loop, &QEventLoop::quit);
      loop.exec();
    }
    QApplication::processEvents();
    const auto t2 = Clock::now();
    ticker.stop();
    gap = std::max(gap, Ms(last, t2));
    first.push_back(Ms(t0, t1));
    whole.push_back(Ms(t0, t2));
    gaps.push_back(gap);
  }
  std::printf("rows %d  first screen %.1f ms  whole %.1f ms  longest pause %.1f ms\n", view.RowCount(), Median(first),
              Median(whole), Median(gaps));
  return 0;
}

int Count(const QString& dir, int runs) {
  std::vector<double> times;
  sorabu::browser::TFolderCounts counts;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = Clock::now();
    counts = sorabu::browser::CountFolderTree(dir);
    times.push_back(Ms(t0, Clock::now()));
  }
  std::printf("files %llu  bytes %llu  count %.1f ms\n", static_cast<unsigned long long>(counts.files),
              static_cast<unsigned long long>(counts.bytes), Median(times));
  return 0;
}

int Move(const QString& dir, int steps) {
  QTemporaryDir ini;
  sorabu::dialogs::TScriptedDialogs dialogs;
  sorabu::app::TForm1 form(dialogs, ini.filePath("bench.ini").toStdString());
  form.FormCreate();
  form.show();
  if (!QTest::qWaitForWindowExposed(&form) || !form.GoToFolder(dir)) return 1;
  QWidget* list = form.FileView1()->CurrentView();
  list->setFocus();
  QApplication::processEvents();
  std::vector<double> times;
  std::size_t shown = 0;
  for (int i = 0; i < steps && i + 1 < form.FileView1()->RowCount(); ++i) {
    const auto t0 = Clock::now();
    QTest::keyClick(list, Qt::Key_Down);
    QApplication::processEvents();
    times.push_back(Ms(t0, Clock::now()));
    if (!form.RichEdit1()->TextBytes().empty()) ++shown;
  }
  std::printf("moves %zu  shown %zu  per move %.2f ms (slowest %.2f ms)\n", times.size(), shown, Median(times),
              times.empty() ? 0.0 : *std::max_element(times.begin(), times.end()));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: browser_bench fill|count|move DIR [n]\n");
    return 2;
  }
  const std::string what = argv[1];
  const QString dir = QString::fromLocal8Bit(argv[2]);
  const int n = argc > 3 ? std::max(1, std::atoi(argv[3])) : 0;
  if (what == "fill") return Fill(dir, n ? n : 5);
  if (what == "count") return Count(dir, n ? n : 5);
  if (what == "move") return Move(dir, n ? n : 999);
  return 2;
}
