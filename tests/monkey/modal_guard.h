// No real modal dialog may wait for a user who is not there: every question goes through the
// dialog interface. Should one be reached anyway, this closes it within a tenth of a second and
// notes it as a finding.
#pragma once

#include <QObject>
#include <QStringList>

class QTimer;

namespace sorabu::monkey {

class TEventLog;

class TModalGuard : public QObject {
 public:
  explicit TModalGuard(TEventLog& log, QObject* parent = nullptr);
  const QStringList& Findings() const { return findings_; }

 private:
  void Look();
  TEventLog& log_;
  QTimer* timer_;
  QStringList findings_;
};

}  // namespace sorabu::monkey
