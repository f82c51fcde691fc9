// sorabu_monkey: random but valid input to the real main window for a while, under the
// sanitizers, in a folder of its own.
//
//   sorabu_monkey [--seconds S] [--events N] [--seed X] [--root DIR] [--stall-ms MS] [--keep]
//
// Stops with a message and a non-zero status on a crash or a sanitizer's report (the last
// events are printed before the sanitizer's own report), on a stall of the window's thread
// (status 3), and on any write outside the run folder (status 4). The same seed draws the same
// input.
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <thread>

#include "app/main_window.h"
#include "textconv/cp932.h"
#include "tests/monkey/corpus.h"
#include "tests/monkey/crash_report.h"
#include "tests/monkey/event_log.h"
#include "tests/monkey/input_driver.h"
#include "tests/monkey/leave_recorder.h"
#include "tests/monkey/modal_guard.h"
#include "tests/monkey/random_dialogs.h"
#include "tests/monkey/sandbox.h"
#include "tests/monkey/watchdog.h"
#include "uitext/japanese_locale.h"

namespace fs = std::filesystem;
using namespace sorabu;

namespace {

struct Options {
  double seconds = 60;
  std::uint64_t events = 0;
  std::uint64_t seed = 0;
  bool seedGiven = false;
  fs::path root;
  long long stallMs = 2000;
  bool keep = false;
};

int Usage() {
  std::cerr << "usage: sorabu_monkey [--seconds S] [--events N] [--seed X] [--root DIR] [--stall-ms MS] [--keep]\n";
  return 2;
}

bool Parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    const char* v = nullptr;
    if (a == "--keep") o.keep = true;
    else if ((a == "--seconds" || a == "--events" || a == "--seed" || a == "--root" || a == "--stall-ms") && (v = value())) {
      if (a == "--seconds") o.seconds = std::atof(v);
      else if (a == "--events") o.events = std::strtoull(v, nullptr, 10);
      else if (a == "--seed") o.seed = std::strtoull(v, nullptr, 10), o.seedGiven = true;
      else if (a == "--root") o.root = v;
      else o.stallMs = std::atoll(v);
    } else {
      return false;
    }
  }
  return true;
}

// The offscreen platform's remarks on what it cannot do would drown the run's own lines.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
  static const char* const kNoise[] = {"This plugin does not support", "occurs outside target window",
                                       "QFont::setPointSize", "QPainter::", "OpenType support missing"};
  for (const char* n : kNoise)
    if (text.contains(QLatin1String(n))) return;
  static int shown = 0;
  if (type != QtFatalMsg && ++shown > 200) return;
  std::fprintf(stderr, "qt: %s\n", text.toLocal8Bit().constData());
  if (type == QtFatalMsg) std::abort();
}

fs::path ProgramFolder() {
  std::error_code ec;
  return fs::read_symlink("/proc/self/exe", ec).parent_path();
}

// Children (sorabu-cli for the directory listing) write their sanitizer reports into the run
// folder, where the end of the run looks for them.
void SendChildReportsTo(const fs::path& prefix) {
  for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
    std::string options = std::getenv(name) ? std::getenv(name) : "";
    options += std::string(options.empty() ? "" : ":") + "log_path=" + prefix.native();
    ::setenv(name, options.c_str(), 1);
  }
}

std::vector<fs::path> ChildReports(const fs::path& run) {
  std::vector<fs::path> found;
  std::error_code ec;
  for (fs::directory_iterator it(run, ec), end; !ec && it != end; it.increment(ec))
    if (it->path().filename().native().rfind("child-sanitizer", 0) == 0) found.push_back(it->path());
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!Parse(argc, argv, o)) return Usage();
  if (!o.seedGiven) o.seed = std::random_device{}() % 1000000;
  const fs::path program = ProgramFolder();
  if (o.root.empty()) o.root = program.parent_path() / "monkey-runs";
  const char* home = std::getenv("HOME");
  const fs::path realHome = home ? home : "/root";

  monkey::TSandbox sandbox(o.root, o.seed);
  std::printf("monkey: seed %llu, run folder %s\n", static_cast<unsigned long long>(o.seed), sandbox.Run().c_str());
  std::fflush(stdout);
  const monkey::TOutsideWatch outside(realHome, sandbox, program);
  std::printf("monkey: watching %s\n", outside.Describe().c_str());
  // Without root the root of the runs is made read-only too (root writes regardless).
  const bool root = ::geteuid() == 0;
  if (!root) ::chmod(o.root.c_str(), 0555);

  sandbox.EnterEnvironment();
  ::setenv("QT_QPA_PLATFORM", std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "offscreen", 1);
  ::setenv("GIO_USE_VFS", "local", 1);
  ::setenv("GSETTINGS_BACKEND", "memory", 1);
  SendChildReportsTo(sandbox.Run() / "child-sanitizer");

  std::mt19937 corpusRng(static_cast<std::mt19937::result_type>(o.seed ^ 0x5eed5eedu));
  const monkey::TCorpusTools tools{program / "sorabu-cli"};
  auto refill = [&] {
    for (const std::string& p : monkey::FillCorpus(sandbox.Work(), corpusRng, tools)) std::printf("monkey: note: %s\n", p.c_str());
  };
  refill();
  ::chdir(sandbox.Work().c_str());

  qInstallMessageHandler(QuietMessages);
  QApplication application(argc, argv);
  sorabu::uitext::UseJapaneseQt(application);
  QApplication::setApplicationName(QStringLiteral("sorabu"));
  monkey::TEventLog log;
  monkey::TRandomDialogs dialogs(o.seed, log, sandbox.Work().native(), sandbox.Run().native());
  dialogs.spin = [](int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
  };
  std::string childReport;
  dialogs.onSanitizerText = [&](const std::string& text) {
    if (childReport.empty()) childReport = text;
  };
  // Under scripts/monkey all but the runs' folder is mounted read-only: the first refused write
  // ends the run, with the log of what led there.
  dialogs.onWriteOutside = [&log](const std::string& text) {
    std::fprintf(stderr, "\nmonkey: FAULT: a write outside the run folder was refused: %s\n",
                 textconv::Cp932ToUtf8(text).c_str());
    log.Dump(2);
    std::_Exit(4);
  };

  const pthread_t uiThread = ::pthread_self();
  monkey::InstallCrashReport(log, [&log](int fd) { log.DumpCurrent(fd); });
  monkey::TWatchdog watchdog(std::chrono::milliseconds(o.stallMs),
                             [uiThread](long long ms) { monkey::ReportStall(uiThread, ms); });
  QTimer pet;
  pet.setInterval(100);
  QObject::connect(&pet, &QTimer::timeout, [&watchdog] { watchdog.Pet(); });
  pet.start();

  auto form = std::make_unique<app::TForm1>(dialogs, sandbox.IniPath().native());
  form->FormCreate();
  form->show();
  form->activateWindow();
  (void)QTest::qWaitForWindowExposed(form.get());
  auto* recorder = new monkey::TLeaveRecorder(*form, log, QString::fromStdString((sandbox.Run() / "print.pdf").native()));
  const QString work = QFile::decodeName(sandbox.Work().c_str());
  form->GoToFolder(work);
  monkey::TModalGuard guard(log);
  auto* driver = new monkey::TInputDriver(*form, dialogs, *recorder, log, sandbox, o.seed, refill);
  std::printf("monkey: %d actions of the window to draw from\n", driver->ActionCount());
  std::fflush(stdout);

  const auto started = std::chrono::steady_clock::now();
  QTimer progress;
  progress.setInterval(10000);
  QObject::connect(&progress, &QTimer::timeout, [&] {
    static std::uint64_t before = ~0ull;
    const std::uint64_t now = driver->Events();
    std::printf("monkey: %llu events after %.0f s%s\n", static_cast<unsigned long long>(now),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(),
                now == before ? (" (not advancing: " + driver->State() + ")").c_str() : "");
    before = now;
    std::fflush(stdout);
  });
  progress.start();
  monkey::TInputDriver::Limits limits;
  limits.events = o.events;
  limits.time = std::chrono::milliseconds(o.events && o.seconds <= 0 ? 0 : static_cast<long long>(o.seconds * 1000));
  // exit, not quit: quit first asks the windows to close, and the recorder refuses that.
  driver->Start(limits, [] { QCoreApplication::exit(0); });
  // A run that does not come back (the window never lets the driver finish, or never closes)
  // is a fault as well; the log says where it stood.
  const long long deadlineMs = static_cast<long long>(o.seconds * 1000) + static_cast<long long>(o.events) * 20 + 120000;
  std::thread([deadlineMs, &log] {
    std::this_thread::sleep_for(std::chrono::milliseconds(deadlineMs));
    std::fprintf(stderr, "\n==== monkey: the run did not end in time ====\n");
    log.DumpCurrent(2);
    log.Dump(2);
    std::fprintf(stderr, "monkey: FAULT: no end\n");
    std::_Exit(5);
  }).detach();
  application.exec();
  progress.stop();  // it reads the driver, which goes with the window
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  const std::uint64_t events = driver->Events(), steps = driver->Steps();
  const std::string summary = driver->Summary();
  log.SetCurrent("closing the window");

  // The end: let running work finish, then close the window the ordinary way.
  for (int i = 0; i < 600 && form->Busy(); ++i) QTest::qWait(50);
  dialogs.closing = true;
  recorder->AllowClose();
  const auto counts = recorder->Counts();
  form->close();
  QTest::qWait(50);
  form.reset();
  QApplication::processEvents();
  watchdog.Pause(true);

  int status = 0;
  std::printf("monkey: %llu events (%llu steps) in %.1f s, seed %llu\n", static_cast<unsigned long long>(events),
              static_cast<unsigned long long>(steps), seconds, static_cast<unsigned long long>(o.seed));
  std::printf("monkey: %s\n", summary.c_str());
  std::printf("monkey: %llu questions answered, %llu messages\n", static_cast<unsigned long long>(dialogs.Questions()),
              static_cast<unsigned long long>(dialogs.Messages()));
  std::string recorded;
  for (const auto& [kind, n] : counts) recorded += " " + kind + " " + std::to_string(n);
  std::printf("monkey: recorded instead of done:%s\n", recorded.empty() ? " nothing" : recorded.c_str());
  for (const QString& f : guard.Findings())
    std::printf("monkey: FINDING: a real modal window was reached and closed: %s\n", f.toUtf8().constData());

  const auto reports = ChildReports(sandbox.Run());
  if (!childReport.empty() || !reports.empty()) {
    std::printf("monkey: FAULT: a child process reported to its sanitizer\n");
    for (const fs::path& r : reports) {
      std::printf("---- %s ----\n", r.c_str());
      std::fflush(stdout);
      std::system(("cat '" + r.native() + "'").c_str());
    }
    if (!childReport.empty()) std::printf("%s\n", childReport.c_str());
    log.Dump(1);
    status = 1;
  }
  if (!root) ::chmod(o.root.c_str(), 0755);
  const std::vector<std::string> changes = outside.Check();
  if (!changes.empty()) {
    std::printf("monkey: FAULT: written outside the run folder:\n");
    for (std::size_t i = 0; i < changes.size() && i < 50; ++i) std::printf("  %s\n", changes[i].c_str());
    std::fflush(stdout);
    log.Dump(1);
    status = 4;
  }
  if (status == 0) {
    std::printf("monkey: no fault\n");
    if (!o.keep) sandbox.Remove();
  } else {
    std::printf("monkey: the run folder is kept: %s\n", sandbox.Run().c_str());
  }
  std::fflush(stdout);
  return status;
}
