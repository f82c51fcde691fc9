#include "ui/TDirCommandDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "browser/folder_view.h"
#include "browser/shell_namespace.h"
#include "info/dir_switches.h"
#include "ui/history_combo.h"
#include "uitext/qt_text.h"

namespace sorabu::ui {

namespace {
QComboBox* ListCombo(QWidget* parent, const char* name, const std::vector<std::string>& items) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(QString::fromLatin1(name));
  for (const std::string& item : items) combo->addItem(uitext::FromCp932(item));
  combo->setCurrentIndex(0);
  return combo;
}
}  // namespace

TDirCommandDialog::TDirCommandDialog(const dialogs::TDialogs::DirCommandSetup& setup, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("DirCommand"));
  setWindowTitle(QStringLiteral("dirｺﾏﾝﾄﾞ結果表示"));
  resize(680, 420);
  auto* layout = new QHBoxLayout(this);
  tree_ = new browser::TFolderView(this);
  tree_->setObjectName(QStringLiteral("FolderView1"));
  tree_->setEditTriggers(QAbstractItemView::EditKeyPressed);
  layout->addWidget(tree_, 1);

  auto* right = new QVBoxLayout;
  auto* form = new QFormLayout;
  path_ = NewHistoryCombo(this, "ComboBox1", setup.history, setup.folder);
  attribute_ = ListCombo(this, "ComboBox2", info::DirAttributeItems());
  sort_ = ListCombo(this, "ComboBox3", info::DirSortItems());
  form->addRow(QStringLiteral("ﾄﾞﾗｲﾌﾞ､ﾊﾟｽ(&P)"), path_);
  form->addRow(QStringLiteral("属性(&A)"), attribute_);
  form->addRow(QStringLiteral("ソート(&O)"), sort_);
  right->addLayout(form);
  subdirs_ = new QCheckBox(QStringLiteral("ｻﾌﾞﾃﾞｨﾚﾄｸﾘも表示(/&S)"), this);
  subdirs_->setObjectName(QStringLiteral("CheckBox1"));
  right->addWidget(subdirs_);
  auto* box = new QGroupBox(QStringLiteral("表示形式(&V)"), this);
  box->setObjectName(QStringLiteral("RadioGroup1"));
  auto* boxLayout = new QHBoxLayout(box);
  form_ = new QButtonGroup(this);
  const auto& forms = info::DirFormItems();
  for (int i = 0; i < static_cast<int>(forms.size()); ++i) {
    auto* r = new QRadioButton(uitext::FromCp932(forms[static_cast<std::size_t>(i)]), box);
    form_->addButton(r, i);
    boxLayout->addWidget(r);
  }
  form_->button(0)->setChecked(true);
  right->addWidget(box);
  lower_ = new QCheckBox(QStringLiteral("小文字で表示(/&L)"), this);
  lower_->setObjectName(QStringLiteral("CheckBox2"));
  right->addWidget(lower_);
  right->addWidget(new QLabel(QStringLiteral("ｺﾏﾝﾄﾞ"), this));
  preview_ = new QLineEdit(this);
  preview_->setObjectName(QStringLiteral("Edit1"));
  preview_->setReadOnly(true);
  right->addWidget(preview_);
  right->addStretch(1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  right->addWidget(buttons);
  layout->addLayout(right, 1);

  connect(path_, &QComboBox::editTextChanged, this, &TDirCommandDialog::Rebuild);
  connect(attribute_, &QComboBox::currentIndexChanged, this, &TDirCommandDialog::Rebuild);
  connect(sort_, &QComboBox::currentIndexChanged, this, &TDirCommandDialog::Rebuild);
  connect(subdirs_, &QCheckBox::toggled, this, &TDirCommandDialog::Rebuild);
  connect(lower_, &QCheckBox::toggled, this, &TDirCommandDialog::Rebuild);
  connect(form_, &QButtonGroup::idToggled, this, [this](int, bool on) {
    if (on) Rebuild();
  });
  connect(tree_, &browser::TFolderView::FolderChanged, this, [this](const QString& id) {
    if (!browser::IsVirtual(id)) path_->setEditText(id);
  });
  tree_->Rebuild();
  const QString folder = uitext::FromCp932(setup.folder);
  if (!folder.isEmpty()) tree_->SelectPath(folder);
  // The tree's pick may differ from the folder offered; the offered folder stands.
  path_->setEditText(folder);
  Rebuild();
  path_->setFocus();
}

void TDirCommandDialog::Rebuild() {
  const std::string text = info::BuildDirArguments(uitext::ToCp932(path_->currentText()), attribute_->currentIndex(),
                                                   sort_->currentIndex(), subdirs_->isChecked(), form_->checkedId(),
                                                   lower_->isChecked());
  preview_->setText(uitext::FromCp932(text));
}

dialogs::TDialogs::DirCommandAnswer TDirCommandDialog::Answer() const {
  return {uitext::ToCp932(path_->currentText()), uitext::ToCp932(preview_->text())};
}

}  // namespace sorabu::ui
