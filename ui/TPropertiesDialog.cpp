#include "ui/TPropertiesDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "uitext/qt_text.h"

namespace sorabu::ui {

TPropertiesDialog::TPropertiesDialog(const dialogs::TDialogs::PropertiesSetup& setup, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Properties"));
  setWindowTitle(uitext::FromCp932(setup.caption));
  auto* layout = new QVBoxLayout(this);
  rows_ = new QFormLayout;
  for (const auto& [label, value] : setup.rows) {
    auto* v = new QLabel(uitext::FromCp932(value), this);
    v->setTextFormat(Qt::PlainText);
    v->setTextInteractionFlags(Qt::TextSelectableByMouse);
    v->setWordWrap(true);
    rows_->addRow(uitext::FromCp932(label), v);
  }
  layout->addLayout(rows_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}

}  // namespace sorabu::ui
