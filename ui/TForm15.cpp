#include "ui/TForm15.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace sorabu::ui {

TForm15::TForm15(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form15"));
  setWindowTitle(QStringLiteral("ファイルのソート"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("ファイルのソートを指定します。"), this));
  auto* box = new QGroupBox(QStringLiteral("ソート"), this);
  auto* boxLayout = new QVBoxLayout(box);
  group_ = new QButtonGroup(this);
  const char* const kItems[] = {"ファイル名(&N)", "サイズ(&S)", "種類(&T)", "更新日時(&D)"};
  for (int i = 0; i < 4; ++i) {
    auto* r = new QRadioButton(QString::fromUtf8(kItems[i]), box);
    group_->addButton(r, i);
    boxLayout->addWidget(r);
  }
  group_->button(0)->setChecked(true);
  descending_ = new QCheckBox(QStringLiteral("降順(&R)"), this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(box);
  layout->addWidget(descending_);
  layout->addWidget(buttons);
}

int TForm15::Answer() const { return std::max(0, group_->checkedId()) + (descending_->isChecked() ? 90 : 0); }

}  // namespace sorabu::ui
