// The attribute dialog "ﾌｧｲﾙの属性変更": the path and four check boxes (read-only, archive,
// system, hidden) preset from the item. A box this system cannot set is disabled; all four are
// disabled when the attributes could not be read.
#pragma once

#include <QDialog>

#include "dialogs/dialogs.h"

class QCheckBox;
class QLabel;

namespace sorabu::ui {

class TForm5 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm5(const dialogs::TDialogs::AttributeSetup& setup, QWidget* parent = nullptr);

  QLabel* PathLabel() const { return path_; }
  QCheckBox* CheckBox1() const { return readOnly_; }
  QCheckBox* CheckBox2() const { return archive_; }
  QCheckBox* CheckBox3() const { return system_; }
  QCheckBox* CheckBox4() const { return hidden_; }
  dialogs::TDialogs::AttributeAnswer Answer() const;

 private:
  QLabel* path_;
  QCheckBox* readOnly_;
  QCheckBox* archive_;
  QCheckBox* system_;
  QCheckBox* hidden_;
};

}  // namespace sorabu::ui
