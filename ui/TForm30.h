// The column dialog: "from which column" and "how many characters", each a number field under
// its label; the second pair is hidden for the commands that need one number only.
#pragma once

#include <QDialog>

class QLabel;
class QSpinBox;

namespace sorabu::ui {

class TForm30 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm30(QWidget* parent = nullptr);

  // The fields accept 1 to 65353; a start value outside that is brought to the nearer bound.
  void Setup(const QString& caption, const QString& label1, const QString& label2, bool second, long long first,
             long long count);
  QSpinBox* SpinEdit1() const { return spin1_; }
  QSpinBox* SpinEdit2() const { return spin2_; }
  QLabel* Label2() const { return label2_; }

 private:
  QLabel* label1_;
  QLabel* label2_;
  QSpinBox* spin1_;
  QSpinBox* spin2_;
};

}  // namespace sorabu::ui
