#include "ui/TReplaceDialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "uitext/qt_text.h"

namespace sorabu::ui {

using uitext::FromCp932;
using uitext::TypedToCp932;

TReplaceDialog::TReplaceDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ReplaceDialog"));
  setWindowTitle(QStringLiteral("置換"));
  auto* grid = new QGridLayout(this);
  auto* findLabel = new QLabel(QStringLiteral("検索する文字列(&N):"), this);
  find_ = new QLineEdit(this);
  find_->setObjectName(QStringLiteral("FindEdit"));
  find_->setMinimumWidth(260);
  findLabel->setBuddy(find_);
  auto* replacementLabel = new QLabel(QStringLiteral("置換後の文字列(&P):"), this);
  replacement_ = new QLineEdit(this);
  replacement_->setObjectName(QStringLiteral("ReplaceEdit"));
  replacementLabel->setBuddy(replacement_);

  auto button = [this](const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption), this);
    b->setObjectName(QString::fromLatin1(name));
    return b;
  };
  findNext_ = button("FindNextButton", "次を検索(&F)");
  findNext_->setDefault(true);
  replace_ = button("ReplaceButton", "置換して次に(&R)");
  replaceAll_ = button("ReplaceAllButton", "すべて置換(&A)");
  cancel_ = button("CancelButton", "キャンセル");

  grid->addWidget(findLabel, 0, 0);
  grid->addWidget(find_, 0, 1);
  grid->addWidget(replacementLabel, 1, 0);
  grid->addWidget(replacement_, 1, 1);
  auto* side = new QVBoxLayout;
  for (QPushButton* b : {findNext_, replace_, replaceAll_, cancel_}) side->addWidget(b);
  side->addStretch(1);
  grid->addLayout(side, 0, 2, 3, 1);
  grid->setRowStretch(2, 1);

  connect(findNext_, &QPushButton::clicked, this, &TReplaceDialog::FindNext);
  connect(replace_, &QPushButton::clicked, this, &TReplaceDialog::Replace);
  connect(replaceAll_, &QPushButton::clicked, this, &TReplaceDialog::ReplaceAll);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::close);
  // Nothing to look for without a text.
  connect(find_, &QLineEdit::textChanged, this, [this](const QString& text) {
    for (QPushButton* b : {findNext_, replace_, replaceAll_}) b->setEnabled(!text.isEmpty());
  });
}

void TReplaceDialog::Reset(const dialogs::TDialogs::ReplaceSetup& setup,
                           const dialogs::TDialogs::ReplaceHandlers& handlers) {
  handlers_ = handlers;
  find_->setText(FromCp932(setup.find));
  replacement_->setText(FromCp932(setup.replacement));
  for (QPushButton* b : {findNext_, replace_, replaceAll_}) b->setEnabled(!find_->text().isEmpty());
  find_->selectAll();
  find_->setFocus();
}

// Each handler runs from a copy: it may bring new handlers into this dialog (or close it) while it runs.
void TReplaceDialog::FindNext() {
  if (auto handler = handlers_.findNext) handler(TypedToCp932(find_->text()));
}

void TReplaceDialog::Replace() {
  if (auto handler = handlers_.replace) handler(TypedToCp932(find_->text()), TypedToCp932(replacement_->text()));
}

void TReplaceDialog::ReplaceAll() {
  if (auto handler = handlers_.replaceAll) handler(TypedToCp932(find_->text()), TypedToCp932(replacement_->text()));
}

}  // namespace sorabu::ui
