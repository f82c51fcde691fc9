// "ﾃｷｽﾄ表示の文字種類の設定": one drop-down list of character sets; every change applies at once.
#pragma once

#include <QDialog>
#include <functional>

class QComboBox;

namespace sorabu::ui {

class TCharSetDialog : public QDialog {
  Q_OBJECT
 public:
  TCharSetDialog(int current, std::function<void(int)> onChange, QWidget* parent = nullptr);

  QComboBox* List() const { return list_; }
  // The value of each entry, in list order.
  static const QVector<int>& Values();

 private:
  QComboBox* list_;
};

}  // namespace sorabu::ui
