#include "ui/TLoadRuleDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include "uitext/qt_text.h"

namespace sorabu::ui {

TLoadRuleDialog::TLoadRuleDialog(const dialogs::LoadRuleSetup& setup, QWidget* parent) : QDialog(parent) {
  setWindowTitle(uitext::FromCp932(setup.caption));
  auto* grid = new QGridLayout(this);
  check_ = new QCheckBox(uitext::FromCp932(setup.checkCaption), this);
  check_->setChecked(setup.checked);
  check_->setEnabled(setup.checkEnabled);
  label_ = new QLabel(uitext::FromCp932(setup.label), this);
  bytes_ = new QSpinBox(this);
  bytes_->setRange(0, 2147483647);
  bytes_->setSingleStep(1000);
  bytes_->setValue(static_cast<int>(qBound<long long>(0, setup.bytes, 2147483647LL)));
  if (QLineEdit* edit = bytes_->findChild<QLineEdit*>()) edit->setMaxLength(10);
  auto* unit = new QLabel(QStringLiteral("ﾊﾞｲﾄ(&B)"), this);
  unit->setBuddy(bytes_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  grid->addWidget(check_, 0, 0, 1, 3);
  grid->addWidget(label_, 1, 0);
  grid->addWidget(bytes_, 1, 1);
  grid->addWidget(unit, 1, 2);
  grid->addWidget(buttons, 2, 0, 1, 3);
}

dialogs::LoadRuleAnswer TLoadRuleDialog::Answer() const { return {check_->isChecked(), bytes_->value()}; }

}  // namespace sorabu::ui
