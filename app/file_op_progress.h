// The progress window of a file operation: what is at work, bytes and items done, speed,
// remaining time and Cancel.
#pragma once

#include <QDialog>
#include <QElapsedTimer>

#include "fileops/shfop.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace sorabu::app {

class TFileOpProgressDialog : public QDialog {
  Q_OBJECT
 public:
  TFileOpProgressDialog(const QString& title, QWidget* parent);
  void Show(const fileops::TFileOpProgress& progress);
  QString CurrentText() const;
  QString AmountText() const;
  QPushButton* CancelButton() const { return cancel_; }

 signals:
  void Cancelled();

 protected:
  void reject() override;

 private:
  QLabel* current_;
  QLabel* amount_;
  QLabel* speed_;
  QProgressBar* bar_;
  QPushButton* cancel_;
  QElapsedTimer clock_;
};

// "1.5 MB" style sizes.
QString ByteText(unsigned long long bytes);

}  // namespace sorabu::app
