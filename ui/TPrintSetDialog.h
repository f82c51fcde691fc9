// The print settings dialog: the four paper margins in millimetres, each beside the range the
// printer allows, a note and the paper label.
#pragma once

#include <QDialog>

#include "dialogs/dialogs.h"

class QGridLayout;
class QLabel;
class QLineEdit;

namespace sorabu::ui {

class TPrintSetDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TPrintSetDialog(const dialogs::TDialogs::PrintMarginSetup& setup, QWidget* parent = nullptr);

  dialogs::TDialogs::PrintMarginAnswer Answer() const;

  QLineEdit* Top() const { return top_; }
  QLineEdit* Bottom() const { return bottom_; }
  QLineEdit* Left() const { return left_; }
  QLineEdit* Right() const { return right_; }
  QLabel* Paper() const { return paper_; }
  // The range label beside a field.
  QLabel* RangeOf(QLineEdit* field) const;

  void accept() override;

 private:
  QLineEdit* AddField(QGridLayout* grid, int row, const QString& caption,
                      const dialogs::TDialogs::PrintMarginRange& range, const std::string& text);
  // Moves a value outside the field's range to its minimum.
  void Fit(QLineEdit* field);

  QLineEdit* top_ = nullptr;
  QLineEdit* bottom_ = nullptr;
  QLineEdit* left_ = nullptr;
  QLineEdit* right_ = nullptr;
  QLabel* paper_ = nullptr;
};

}  // namespace sorabu::ui
