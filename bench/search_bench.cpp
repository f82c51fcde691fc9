// Search figures from the window: the pane's find through a file shown whole, replace all in it,
// and Grep over a folder with the time to the first result painted, the largest gap in the
// window's event loop while it runs, and how long a stop takes.
//
//   search_bench find FILE WORD [runs]      median find step from the top: first hit, and not found
//   search_bench replace FILE WORD [runs]   median replace all of WORD (by the same length)
//   search_bench grep FOLDER WORD [runs]    median whole Grep, first result, largest gap, stop
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/browser_selection.h"
#include "app/main_window.h"
#include "dialogs/scripted_dialogs.h"
#include "uitext/qt_text.h"
#include "viewer/byte_view.h"
#include "viewer/display.h"
#include "viewer/text_pane.h"

namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }
double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// Every Grep searches all listed files.
class TAllFiles : public sorabu::dialogs::TScriptedDialogs {
 public:
  std::optional<GrepAnswer> GrepDialog(const GrepSetup& setup) override {
    auto answer = TScriptedDialogs::GrepDialog(setup);
    if (answer) answer->paths = setup.all;
    return answer;
  }
};

// The largest pause between two turns of the event loop while it is watched.
class TGapWatch : public QObject {
 public:
  TGapWatch() {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const double now = clock_.nsecsElapsed() / 1e6;
      largest_ = std::max(largest_, now - last_);
      last_ = now;
    });
  }
  void Start() {
    largest_ = 0;
    clock_.start();
    last_ = 0;
    timer_.start();
  }
  double Stop() {
    timer_.stop();
    return largest_;
  }

 private:
  QTimer timer_;
  QElapsedTimer clock_;
  double last_ = 0, largest_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = QApplication::arguments();
  if (args.size() < 4) {
    std::fprintf(stderr, "usage: search_bench find|replace FILE WORD [runs] | grep FOLDER WORD [runs]\n");
    return 2;
  }
  const QString mode = args[1];
  const QString target = QFileInfo(args[2]).absoluteFilePath();
  const std::string word = sorabu::uitext::ToCp932(args[3]);
  const int runs = args.size() > 4 ? args[4].toInt() : 5;
  QTemporaryDir dir;
  TAllFiles dialogs;
  sorabu::app::TForm1 form(dialogs, dir.filePath("sorabu.ini").toStdString());
  form.FormCreate();
  form.resize(1200, 800);
  form.show();
  QApplication::processEvents();
  sorabu::viewer::TTextPane* pane = form.RichEdit1();

  if (mode == QLatin1String("find") || mode == QLatin1String("replace")) {
    form.GoToFolder(QFileInfo(target).absolutePath());
    form.Selection().SelectByName(QFileInfo(target).fileName());
    std::vector<double> first, none;
    for (int i = 0; i < runs; ++i) {
      form.Viewer().LoadWholeFile();
      if (mode == QLatin1String("find")) {
        dialogs.Answer(word);
        pane->SetCaretToStart();
        auto t = Clock::now();
        form.Mfind1Click();
        first.push_back(Ms(t));
        dialogs.Answer(word + "\x82\xA0\x82\xA0\x82\xA0");  // not in the text
        pane->SetCaretToStart();
        t = Clock::now();
        form.Mfind1Click();
        none.push_back(Ms(t));
      } else {
        const auto t = Clock::now();
        form.ReplaceDialog1ReplaceAll(word, std::string(word.size(), '#'));
        first.push_back(Ms(t));
      }
    }
    if (mode == QLatin1String("find"))
      std::printf("find %s: first hit median %.1f ms, not found median %.1f ms over %d runs\n",
                  qPrintable(QFileInfo(target).fileName()), Median(first), Median(none), runs);
    else
      std::printf("replace all %s: median %.1f ms over %d runs (%s)\n", qPrintable(QFileInfo(target).fileName()),
                  Median(first), runs, dialogs.Messages().empty() ? "" : dialogs.Messages().back().text.c_str());
    return 0;
  }

  form.GoToFolder(target);
  form.MrefreshClick();
  TGapWatch gaps;
  std::vector<double> whole, firstResult, gap, stop;
  for (int i = 0; i < runs; ++i) {
    QSignalSpy done(&form, &sorabu::app::TForm1::GrepDone);
    double firstAt = -1;
    auto t = Clock::now();
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
      if (firstAt < 0 && pane->LineCount() > 2) {
        pane->ByteView()->viewport()->repaint();
        firstAt = Ms(t);
      }
    });
    dialogs.Answer(word);
    gaps.Start();
    probe.start();
    t = Clock::now();
    form.MgrepClick();
    done.wait(600000);
    whole.push_back(Ms(t));
    probe.stop();
    gap.push_back(gaps.Stop());
    firstResult.push_back(firstAt);
    // Stopping a run at its middle.
    QSignalSpy stopped(&form, &sorabu::app::TForm1::GrepDone);
    dialogs.Answer(word);
    form.MgrepClick();
    QTest::qWait(static_cast<int>(whole.back() / 2));
    t = Clock::now();
    form.Mgrep2Click();
    stopped.wait(600000);
    stop.push_back(Ms(t));
  }
  std::printf("grep %s: whole median %.1f ms, first result painted %.1f ms, largest event-loop gap %.1f ms, "
              "stop %.1f ms, %d pane lines\n",
              qPrintable(QFileInfo(target).fileName()), Median(whole), Median(firstResult), Median(gap), Median(stop),
              pane->LineCount());
  return 0;
}
