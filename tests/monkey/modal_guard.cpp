#include "tests/monkey/modal_guard.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>

#include "tests/monkey/event_log.h"

namespace sorabu::monkey {

TModalGuard::TModalGuard(TEventLog& log, QObject* parent) : QObject(parent), log_(log), timer_(new QTimer(this)) {
  timer_->setInterval(100);
  connect(timer_, &QTimer::timeout, this, &TModalGuard::Look);
  timer_->start();
}

void TModalGuard::Look() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr) return;
  const QString what = QStringLiteral("%1 \"%2\" (%3)")
                           .arg(QString::fromLatin1(modal->metaObject()->className()), modal->windowTitle(), modal->objectName());
  if (!findings_.contains(what)) findings_ << what;
  log_.Add("modal window closed by the monkey: " + what.toStdString());
  if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
  else modal->close();
}

}  // namespace sorabu::monkey
