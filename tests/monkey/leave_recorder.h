// Everything by which the window would leave its process is written down instead of done:
// starting programs (the external editor, the disk tool, the application menu, running a
// file), the desktop's services (power requests, terminal, URLs, mail), opening files with their
// program, closing the window, and printing (which goes to a PDF file in the run folder).
#pragma once

#include <QObject>
#include <QString>
#include <map>
#include <string>

#include "app/system_services.h"

namespace sorabu::app {
class TForm1;
}

namespace sorabu::monkey {

class TEventLog;

class TLeaveRecorder : public QObject {
 public:
  TLeaveRecorder(app::TForm1& form, TEventLog& log, const QString& pdfPath);
  // Lets the next close through (the end of the run).
  void AllowClose() { allowClose_ = true; }
  const std::map<std::string, int>& Counts() const { return counts_; }
  // Puts the printer back on the PDF file if something changed it.
  void CheckPrinter();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Services that record; the window asks them whether a service is there.
  class TServices : public app::TSystemServices {
   public:
    explicit TServices(TLeaveRecorder& r) : r_(r) {}
    bool Available(Service service) const override { return service != Service::Settings; }
    bool Request(Service service, const QString& argument) override;
    bool OpenUrl(const QString& url) override;

   private:
    TLeaveRecorder& r_;
  };
  void Record(const std::string& kind, const QString& what);

  app::TForm1& form_;
  TEventLog& log_;
  QString pdfPath_;
  TServices services_{*this};
  bool allowClose_ = false;
  std::map<std::string, int> counts_;
};

}  // namespace sorabu::monkey
