// The splash window: shown before anything else, gone once the main window is active.
#pragma once

#include <QWidget>

class QLabel;

namespace sorabu::ui {

class TForm3 : public QWidget {
  Q_OBJECT
 public:
  TForm3();
  QLabel* VersionLabel() const { return version_; }

 protected:
  bool event(QEvent* event) override;

 private:
  QLabel* version_;
};

}  // namespace sorabu::ui
