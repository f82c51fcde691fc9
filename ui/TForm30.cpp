#include "ui/TForm30.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace sorabu::ui {

namespace {
constexpr int kMax = 65353;
}

TForm30::TForm30(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form30"));
  setWindowTitle(QStringLiteral("桁削除"));
  auto* layout = new QVBoxLayout(this);
  label1_ = new QLabel(QStringLiteral("何桁目から(1-9999)"), this);
  spin1_ = new QSpinBox(this);
  spin1_->setObjectName(QStringLiteral("SpinEdit1"));
  label2_ = new QLabel(QStringLiteral("何文字分(1-9999)"), this);
  spin2_ = new QSpinBox(this);
  spin2_->setObjectName(QStringLiteral("SpinEdit2"));
  for (QSpinBox* s : {spin1_, spin2_}) {
    s->setRange(1, kMax);
    s->setValue(1);
  }
  label1_->setBuddy(spin1_);
  label2_->setBuddy(spin2_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  for (QWidget* w : {static_cast<QWidget*>(label1_), static_cast<QWidget*>(spin1_), static_cast<QWidget*>(label2_),
                     static_cast<QWidget*>(spin2_), static_cast<QWidget*>(buttons)}) {
    layout->addWidget(w);
  }
}

void TForm30::Setup(const QString& caption, const QString& label1, const QString& label2, bool second,
                    long long first, long long count) {
  setWindowTitle(caption);
  label1_->setText(label1);
  label2_->setText(label2);
  spin1_->setValue(static_cast<int>(std::clamp<long long>(first, 1, kMax)));
  spin2_->setValue(static_cast<int>(std::clamp<long long>(count, 1, kMax)));
  label2_->setVisible(second);
  spin2_->setVisible(second);
  adjustSize();
}

}  // namespace sorabu::ui
