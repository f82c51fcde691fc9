// Runs the directory listing ("sorabu-cli dir --line TEXT") as a child process while the window
// keeps working, and hands over what it printed when it ends.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <string>

class QProcess;

namespace sorabu::app {

class TDirRunner : public QObject {
  Q_OBJECT
 public:
  explicit TDirRunner(QObject* parent = nullptr);
  ~TDirRunner() override;

  // The listing program; sorabu-cli beside this program unless set.
  void SetProgram(const QString& program) { program_ = program; }
  QString Program() const;
  bool Running() const;
  // Starts the listing of argumentText (CP932) in folder; false with why (CP932) when the program
  // cannot be started or one listing runs already.
  bool Start(const std::string& argumentText, const QString& folder, std::string& why);

 signals:
  // output: the listing (CP932); errors: what it reported, UTF-8.
  void Finished(const QByteArray& output, const QByteArray& errors);

 private:
  QString program_;
  QProcess* process_ = nullptr;
};

}  // namespace sorabu::app
