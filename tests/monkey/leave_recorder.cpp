#include "tests/monkey/leave_recorder.h"

#include <QEvent>
#include <QPrinter>

#include "app/main_window.h"
#include "browser/file_view.h"
#include "tests/monkey/event_log.h"

namespace sorabu::monkey {

TLeaveRecorder::TLeaveRecorder(app::TForm1& form, TEventLog& log, const QString& pdfPath)
    : QObject(&form), form_(form), log_(log), pdfPath_(pdfPath) {
  form.SetLauncher([this](const QString& program, const QStringList& arguments, const QString& folder) {
    Record("start", program + " " + arguments.join(' ') + " in " + folder);
    return true;
  });
  form.SetSystemServices(services_);
  form.FileView1()->SetOpener([this](const QString& path) { Record("open", path); });
  QPrinter& printer = form.Printer();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdfPath);
  form.installEventFilter(this);
}

void TLeaveRecorder::CheckPrinter() {
  // A printer switched back to the system's own would print on paper.
  QPrinter& printer = form_.Printer();
  if (printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName() == pdfPath_) return;
  Record("printer-reset", printer.outputFileName());
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdfPath_);
}

void TLeaveRecorder::Record(const std::string& kind, const QString& what) {
  ++counts_[kind];
  log_.Add("recorded " + kind + ": " + what.left(160).toStdString());
}

bool TLeaveRecorder::TServices::Request(Service service, const QString& argument) {
  r_.Record("service", QString::number(static_cast<int>(service)) + " " + argument);
  return true;
}

bool TLeaveRecorder::TServices::OpenUrl(const QString& url) {
  r_.Record("url", url);
  return true;
}

bool TLeaveRecorder::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &form_ && event->type() == QEvent::Close && !allowClose_) {
    Record("close", QString());
    event->ignore();
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace sorabu::monkey
