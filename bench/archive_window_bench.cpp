// Archive figures from the window: the preview that replaces the quick display when an LHA
// archive is selected, and an extraction through the 書庫 menu (working folder and move included).
//
//   archive_window_bench preview ARCHIVE [runs]        median selection-to-listing time
//   archive_window_bench extract ARCHIVE FOLDER [runs] median MlhaUClick into FOLDER (emptied each run)
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/browser_selection.h"
#include "app/main_window.h"
#include "dialogs/scripted_dialogs.h"
#include "viewer/display.h"
#include "viewer/text_pane.h"

namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }
double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = QApplication::arguments();
  if (args.size() < 3) {
    std::fprintf(stderr, "usage: archive_window_bench preview ARCHIVE [runs] | extract ARCHIVE FOLDER [runs]\n");
    return 2;
  }
  const bool extract = args[1] == QLatin1String("extract");
  const QString archive = QFileInfo(args[2]).absoluteFilePath();
  const QString folder = extract ? QFileInfo(args[3]).absoluteFilePath() : QString();
  const int runs = args.size() > (extract ? 4 : 3) ? args[extract ? 4 : 3].toInt() : 5;
  QTemporaryDir dir;
  sorabu::dialogs::TScriptedDialogs dialogs;
  sorabu::app::TForm1 form(dialogs, dir.filePath("sorabu.ini").toStdString());
  form.FormCreate();
  form.show();
  QApplication::processEvents();
  form.GoToFolder(QFileInfo(archive).absolutePath());
  form.MrefreshClick();
  const QString name = QFileInfo(archive).fileName();
  std::vector<double> ms;
  if (!extract) {
    form.MycClick();  // the preview on
    for (int i = 0; i < runs; ++i) {
      form.Selection().SelectByName(name);
      const auto t = Clock::now();
      form.Viewer().FileView1Change(false);
      ms.push_back(Ms(t));
    }
    std::printf("preview %s: median %.1f ms over %d runs, %d pane lines\n", qPrintable(name), Median(ms), runs,
                form.RichEdit1()->LineCount());
    return 0;
  }
  for (int i = 0; i < runs; ++i) {
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    form.Selection().SelectByName(name);
    dialogs.Answer(QFile::encodeName(folder).toStdString());
    const auto t = Clock::now();
    form.MlhaUClick();
    ms.push_back(Ms(t));
  }
  std::printf("extract %s from the window: median %.1f ms over %d runs\n", qPrintable(name), Median(ms), runs);
  return 0;
}
