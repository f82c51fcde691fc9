#include "ui/TInputDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace sorabu::ui {

TInputDialog::TInputDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("実行"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  auto* layout = new QVBoxLayout(this);
  prompt1_ = new QLabel(this);
  prompt2_ = new QLabel(this);
  combo_ = new QComboBox(this);
  combo_->setEditable(true);
  combo_->setInsertPolicy(QComboBox::NoInsert);
  combo_->setMinimumWidth(360);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(prompt1_);
  layout->addWidget(prompt2_);
  layout->addWidget(combo_);
  layout->addWidget(buttons);
}

void TInputDialog::SetPrompts(const QString& first, const QString& second) {
  prompt1_->setText(first);
  prompt2_->setText(second);
  prompt2_->setVisible(!second.isEmpty());
}

void TInputDialog::SetHistory(const QStringList& items) {
  combo_->clear();
  combo_->addItems(items);
}

void TInputDialog::SetText(const QString& text) { combo_->setEditText(text); }

QString TInputDialog::Text() const { return combo_->currentText(); }

}  // namespace sorabu::ui
