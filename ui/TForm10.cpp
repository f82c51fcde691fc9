#include "ui/TForm10.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "browser/drive_panel.h"

namespace sorabu::ui {

TForm10::TForm10(const QStringList& drives, const QString& current, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form10"));
  setWindowTitle(QStringLiteral("ドライブの指定"));
  auto* layout = new QVBoxLayout(this);
  panel_ = new browser::TDrivePanel(this);
  panel_->Case = browser::TDrivePanel::TextCase::tcUpperCase;
  panel_->SetDrives(drives);
  edit_ = new QLineEdit(this);
  edit_->setMaxLength(1);
  edit_->setObjectName(QStringLiteral("Edit1"));
  connect(edit_, &QLineEdit::textEdited, this, [this](const QString& t) { edit_->setText(t.toUpper()); });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(panel_);
  layout->addWidget(edit_);
  layout->addWidget(buttons);
  panel_->SelectDrive(current);
  edit_->setText(current.left(1).toUpper());
  connect(panel_, &browser::TDrivePanel::Changed, this, [this](const QString& drive) {
    edit_->setText(drive.left(1).toUpper());
    answer_ = drive;
    accept();
  });
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    answer_ = edit_->text();
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, [this] {
    answer_.clear();
    reject();
  });
  // The dialog is as wide as the panel.
  setMinimumWidth(panel_->width() + layout->contentsMargins().left() + layout->contentsMargins().right());
}

}  // namespace sorabu::ui
