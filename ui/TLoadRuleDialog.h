// The dialog shared by the stream-reading and read-limit settings: a check box, a label and a
// byte count.
#pragma once

#include <QDialog>

#include "dialogs/dialogs.h"

class QCheckBox;
class QLabel;
class QSpinBox;

namespace sorabu::ui {

class TLoadRuleDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TLoadRuleDialog(const dialogs::LoadRuleSetup& setup, QWidget* parent = nullptr);

  dialogs::LoadRuleAnswer Answer() const;
  QCheckBox* Check() const { return check_; }
  QSpinBox* Bytes() const { return bytes_; }
  QLabel* Label() const { return label_; }

 private:
  QCheckBox* check_;
  QLabel* label_;
  QSpinBox* bytes_;
};

}  // namespace sorabu::ui
