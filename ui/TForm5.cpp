#include "ui/TForm5.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace sorabu::ui {

TForm5::TForm5(const dialogs::TDialogs::AttributeSetup& setup, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(QStringLiteral("ﾌｧｲﾙの属性変更"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("ﾌｧｲﾙの属性を変更します。"), this));
  path_ = new QLabel(QFile::decodeName(QByteArray::fromStdString(setup.path)), this);
  path_->setObjectName(QStringLiteral("Label2"));
  path_->setTextFormat(Qt::PlainText);
  path_->setWordWrap(true);
  layout->addWidget(path_);

  auto* box = new QGroupBox(QStringLiteral("属性"), this);
  box->setObjectName(QStringLiteral("GroupBox1"));
  auto* boxLayout = new QVBoxLayout(box);
  auto make = [&](const char* name, const char* caption, bool checked, bool enabled) {
    auto* c = new QCheckBox(QString::fromUtf8(caption), box);
    c->setObjectName(QString::fromLatin1(name));
    c->setChecked(checked);
    c->setEnabled(enabled && setup.readable);
    boxLayout->addWidget(c);
    return c;
  };
  readOnly_ = make("CheckBox1", "書き込み禁止(&R)", setup.readOnly, true);
  archive_ = make("CheckBox2", "ｱｰｶｲﾌﾞ(&A)", setup.archive, setup.archiveEnabled);
  system_ = make("CheckBox3", "ｼｽﾃﾑ(&S)", setup.system, setup.systemEnabled);
  hidden_ = make("CheckBox4", "隠しﾌｧｲﾙ(&H)", setup.hidden, setup.hiddenEnabled);
  layout->addWidget(box);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

dialogs::TDialogs::AttributeAnswer TForm5::Answer() const {
  return {readOnly_->isChecked(), archive_->isChecked(), system_->isChecked(), hidden_->isChecked()};
}

}  // namespace sorabu::ui
