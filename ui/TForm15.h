// The sort dialog "ファイルのソート": name, size, type or date, and descending.
#pragma once

#include <QDialog>

class QButtonGroup;
class QCheckBox;

namespace sorabu::ui {

class TForm15 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm15(QWidget* parent = nullptr);

  QButtonGroup* RadioGroup1() const { return group_; }
  QCheckBox* CheckBox1() const { return descending_; }
  // The item index, plus 90 when descending.
  int Answer() const;

 private:
  QButtonGroup* group_;
  QCheckBox* descending_;
};

}  // namespace sorabu::ui
