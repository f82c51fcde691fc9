#include "ui/TEditorSetDialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "browser/folder_tree_view_ex.h"
#include "uitext/qt_text.h"

namespace sorabu::ui {

bool TEditorSetDialog::IsProgramName(const QString& text) {
  if (text.toLower().endsWith(QLatin1String(".exe"))) return true;
  const QFileInfo info(text);
  return info.isAbsolute() && info.isFile() && info.isExecutable();
}

TEditorSetDialog::TEditorSetDialog(const dialogs::TDialogs::PickSetup& setup, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("EditorSet"));
  setWindowTitle(uitext::FromCp932(setup.caption));
  resize(560, 380);
  auto* layout = new QHBoxLayout(this);
  tree_ = new browser::TFolderTreeViewEx(this);
  tree_->setObjectName(QStringLiteral("FolderTreeViewEx1"));
  if (setup.programs) {
    tree_->SetShowExecutables(true);
    tree_->SetFileMask({QStringLiteral(".exe")});
    tree_->SetShowFile(true);
  }
  layout->addWidget(tree_, 1);
  auto* right = new QVBoxLayout;
  auto* instruction = new QLabel(uitext::FromCp932(setup.instruction), this);
  instruction->setWordWrap(true);
  edit_ = new QLineEdit(this);
  edit_->setObjectName(QStringLiteral("Edit1"));
  const QString stored = uitext::FromCp932(setup.stored);
  previous_ = new QLabel(stored.isEmpty() ? QStringLiteral("以前の設定：") : QStringLiteral("以前の設定:") + stored, this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  right->addWidget(instruction);
  right->addWidget(edit_);
  right->addWidget(previous_);
  right->addStretch(1);
  right->addWidget(buttons);
  layout->addLayout(right, 1);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(tree_, &browser::TFolderTreeViewEx::Click, this, [this](const QString& name) { edit_->setText(name); });
  if (setup.programs) {
    ok_->setEnabled(false);
    connect(edit_, &QLineEdit::textChanged, this, [this](const QString& t) { ok_->setEnabled(IsProgramName(t)); });
    edit_->setText(stored.isEmpty() ? QStringLiteral("NOTEPAD.EXE") : stored);
  } else {
    edit_->setText(stored);
  }
  // The tree opens at the stored place; one that cannot be opened is passed over.
  if (!stored.isEmpty()) tree_->SelectPath(stored);
}

}  // namespace sorabu::ui
