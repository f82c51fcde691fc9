#include "ui/TForm25.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/TRegExpButtons.h"
#include "ui/history_combo.h"
#include "uitext/qt_text.h"

namespace sorabu::ui {

using uitext::FromCp932;

TForm25::TForm25(const dialogs::TDialogs::RegExpSetup& setup, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form25"));
  setWindowTitle(FromCp932(setup.caption));
  auto* layout = new QVBoxLayout(this);

  auto* patternLabel = new QLabel(QStringLiteral("検索する文字列(&S)"), this);
  pattern_ = NewHistoryCombo(this, "CBRegExp", setup.patterns, setup.pattern);
  patternLabel->setBuddy(pattern_);
  note_ = new QLabel(FromCp932(setup.note), this);
  note_->setObjectName(QStringLiteral("Label3"));
  note_->setVisible(!setup.note.empty());
  replacementLabel_ = new QLabel(QStringLiteral("置換する文字列(&T)"), this);
  replacement_ = NewHistoryCombo(this, "CBReplace", setup.replacements, {});
  replacementLabel_->setBuddy(replacement_);
  replacementLabel_->setVisible(setup.replacement);
  replacement_->setVisible(setup.replacement);
  fuzzy_ = new QCheckBox(QStringLiteral("文字の同一視(&D)"), this);
  fuzzy_->setObjectName(QStringLiteral("CheckBox1"));
  fuzzy_->setVisible(setup.fuzzy);

  auto* buttons = new QDialogButtonBox(this);
  ok_ = buttons->addButton(setup.okCaption.empty() ? QStringLiteral("置換(&R)") : FromCp932(setup.okCaption),
                           QDialogButtonBox::AcceptRole);
  ok_->setDefault(true);
  buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  insert_ = new TRegExpButtons(this);
  insert_->AddTarget(pattern_);
  insert_->AddTarget(replacement_);
  insert_->setVisible(setup.insertButtons);

  layout->addWidget(patternLabel);
  layout->addWidget(pattern_);
  layout->addWidget(note_);
  layout->addWidget(replacementLabel_);
  layout->addWidget(replacement_);
  layout->addWidget(fuzzy_);
  layout->addWidget(buttons);
  layout->addWidget(insert_);
  pattern_->setFocus();
}

dialogs::TDialogs::RegExpAnswer TForm25::Answer() const {
  return {uitext::TypedToCp932(pattern_->currentText()), uitext::TypedToCp932(replacement_->currentText()),
          fuzzy_->isVisibleTo(this) && fuzzy_->isChecked()};
}

}  // namespace sorabu::ui
