#include "ui/TPrintSetDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "uitext/qt_text.h"

namespace sorabu::ui {

namespace {

const char* const kMinimum = "minimum";
const char* const kMaximum = "maximum";
const char* const kRangeLabel = "rangeLabel";

}  // namespace

TPrintSetDialog::TPrintSetDialog(const dialogs::TDialogs::PrintMarginSetup& setup, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("印刷設定"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox(QStringLiteral("余白設定(mm)"), this);
  auto* grid = new QGridLayout(group);
  top_ = AddField(grid, 0, QStringLiteral("上(&U)"), setup.topRange, setup.top);
  bottom_ = AddField(grid, 1, QStringLiteral("下(&D)"), setup.bottomRange, setup.bottom);
  left_ = AddField(grid, 2, QStringLiteral("左(&L)"), setup.leftRange, setup.left);
  right_ = AddField(grid, 3, QStringLiteral("右(&R)"), setup.rightRange, setup.right);
  layout->addWidget(group);
  auto* note = new QLabel(QStringLiteral("余白は、プリンタによっては、数mm程度ずれることがあります。"), this);
  note->setWordWrap(true);
  layout->addWidget(note);
  paper_ = new QLabel(uitext::FromCp932(setup.paper), this);
  layout->addWidget(paper_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &TPrintSetDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

QLineEdit* TPrintSetDialog::AddField(QGridLayout* grid, int row, const QString& caption,
                                     const dialogs::TDialogs::PrintMarginRange& range, const std::string& text) {
  auto* field = new QLineEdit(this);
  field->setMaxLength(4);
  field->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,4}")), field));
  field->setProperty(kMinimum, range.minimum);
  field->setProperty(kMaximum, range.maximum);
  auto* label = new QLabel(caption, this);
  label->setBuddy(field);
  auto* rangeLabel = new QLabel(QStringLiteral("%1-%2").arg(range.minimum).arg(range.maximum), this);
  field->setProperty(kRangeLabel, QVariant::fromValue(static_cast<QObject*>(rangeLabel)));
  grid->addWidget(label, row, 0);
  grid->addWidget(field, row, 1);
  grid->addWidget(rangeLabel, row, 2);
  // An emptied field shows 0 at once; a value is held to the range when the field is left.
  connect(field, &QLineEdit::textChanged, field, [field](const QString& now) {
    if (now.isEmpty()) field->setText(QStringLiteral("0"));
  });
  connect(field, &QLineEdit::editingFinished, this, [this, field] { Fit(field); });
  field->setText(uitext::FromCp932(text));
  Fit(field);
  return field;
}

void TPrintSetDialog::Fit(QLineEdit* field) {
  const int minimum = field->property(kMinimum).toInt();
  const int maximum = field->property(kMaximum).toInt();
  bool ok = false;
  const int value = field->text().toInt(&ok);
  if (!ok || value < minimum || value > maximum) field->setText(QString::number(minimum));
}

QLabel* TPrintSetDialog::RangeOf(QLineEdit* field) const {
  return qobject_cast<QLabel*>(field->property(kRangeLabel).value<QObject*>());
}

void TPrintSetDialog::accept() {
  for (QLineEdit* field : {top_, bottom_, left_, right_}) Fit(field);
  QDialog::accept();
}

dialogs::TDialogs::PrintMarginAnswer TPrintSetDialog::Answer() const {
  auto text = [](const QLineEdit* field) { return uitext::TypedToCp932(field->text()); };
  return {text(top_), text(bottom_), text(left_), text(right_)};
}

}  // namespace sorabu::ui
