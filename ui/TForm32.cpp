#include "ui/TForm32.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/history_combo.h"
#include "uitext/qt_text.h"

namespace sorabu::ui {

TForm32::TForm32(const dialogs::TDialogs::FindSetup& setup, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form32"));
  setWindowTitle(QStringLiteral("検索"));
  auto* grid = new QGridLayout(this);
  auto* prompt = new QLabel(QStringLiteral("検索する文字列(&N):"), this);
  combo_ = NewHistoryCombo(this, "ComboBox1", setup.history, setup.text);
  prompt->setBuddy(combo_);
  wholeWord_ = new QCheckBox(QStringLiteral("単語単位で探す(&W)"), this);
  wholeWord_->setObjectName(QStringLiteral("CheckBox1"));
  wholeWord_->setChecked(setup.wholeWord);
  matchCase_ = new QCheckBox(QStringLiteral("大文字と小文字を区別する(&C)"), this);
  matchCase_->setObjectName(QStringLiteral("CheckBox2"));
  matchCase_->setChecked(setup.matchCase);

  auto* box = new QGroupBox(QStringLiteral("検索する方向"), this);
  box->setObjectName(QStringLiteral("RadioGroup1"));
  auto* boxLayout = new QHBoxLayout(box);
  direction_ = new QButtonGroup(this);
  const char* const kItems[] = {"上へ(&U)", "下へ(&D)"};
  for (int i = 0; i < 2; ++i) {
    auto* r = new QRadioButton(QString::fromUtf8(kItems[i]), box);
    direction_->addButton(r, i);
    boxLayout->addWidget(r);
  }
  direction_->button(setup.down ? 1 : 0)->setChecked(true);

  auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
  ok_ = buttons->addButton(QStringLiteral("検索(&F)"), QDialogButtonBox::AcceptRole);
  ok_->setDefault(true);
  buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  grid->addWidget(prompt, 0, 0);
  grid->addWidget(combo_, 0, 1, 1, 2);
  grid->addWidget(wholeWord_, 1, 0, 1, 2);
  grid->addWidget(matchCase_, 2, 0, 1, 2);
  grid->addWidget(box, 1, 2, 2, 1);
  grid->addWidget(buttons, 0, 3, 3, 1, Qt::AlignTop);
  combo_->setFocus();
}

dialogs::TDialogs::FindAnswer TForm32::Answer() const {
  return {uitext::TypedToCp932(combo_->currentText()), wholeWord_->isChecked(), matchCase_->isChecked(),
          direction_->checkedId() == 1};
}

}  // namespace sorabu::ui
