#include "ui/TForm20.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "fileops/split_merge.h"
#include "ui/list_steps.h"

namespace sorabu::ui {

namespace {
// The names' own bytes travel with the entries: a name that is not valid in the locale's
// encoding would not survive the way through a QString and back.
constexpr int kBytesRole = Qt::UserRole;
}  // namespace

QString TForm20::BatchName(const QString& name) {
  // The same rule as the join that writes it.
  return QFile::decodeName(QByteArray::fromStdString(fileops::WithExtension(QFile::encodeName(name).toStdString(), ".bat")));
}

TForm20::TForm20(const dialogs::TDialogs::MergeSetup& setup, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form20"));
  setWindowTitle(QStringLiteral("ファイル結合"));
  auto* grid = new QGridLayout(this);
  folder_ = new QLabel(QFile::decodeName(QByteArray::fromStdString(setup.folder)), this);
  folder_->setObjectName(QStringLiteral("Label1"));
  folder_->setTextFormat(Qt::PlainText);
  count_ = new QLabel(QString::number(setup.names.size()) + QStringLiteral("個のファイル"), this);
  count_->setObjectName(QStringLiteral("Label2"));
  auto* nameLabel = new QLabel(QStringLiteral("結合先ファイル名(&T)"), this);
  edit_ = new QLineEdit(this);
  edit_->setObjectName(QStringLiteral("Edit1"));
  nameLabel->setBuddy(edit_);
  auto* listLabel = new QLabel(QStringLiteral("結合するファイルリスト-結合順(&I)"), this);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("ListBox1"));
  listLabel->setBuddy(list_);
  for (const std::string& n : setup.names) {
    const QByteArray bytes = QByteArray::fromStdString(n);
    auto* item = new QListWidgetItem(QFile::decodeName(bytes), list_);
    item->setData(kBytesRole, bytes);
  }
  auto button = [this](const char* name, const char* caption, const char* tip) {
    auto* b = new QPushButton(QString::fromUtf8(caption), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(QString::fromUtf8(tip));
    b->setAutoDefault(false);
    return b;
  };
  up_ = button("UpButton", "上へ", "上へ移動します。");
  down_ = button("DownButton", "下へ", "下へ移動します。");
  delete_ = button("DeleteButton", "削除", "リストから削除します。");
  info_ = new QLabel(this);
  info_->setObjectName(QStringLiteral("Label5"));
  info_->setTextFormat(Qt::PlainText);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  ok_->setEnabled(false);

  grid->addWidget(folder_, 0, 0, 1, 2);
  grid->addWidget(count_, 1, 0, 1, 2);
  grid->addWidget(nameLabel, 2, 0, 1, 2);
  grid->addWidget(edit_, 3, 0, 1, 2);
  grid->addWidget(listLabel, 4, 0, 1, 2);
  grid->addWidget(list_, 5, 0);
  auto* side = new QVBoxLayout;
  side->addWidget(up_);
  side->addWidget(down_);
  side->addWidget(delete_);
  side->addStretch(1);
  grid->addLayout(side, 5, 1);
  grid->addWidget(info_, 6, 0, 1, 2);
  grid->addWidget(buttons, 7, 0, 1, 2);

  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(up_, &QPushButton::clicked, this, [this] { Move(-1); });
  connect(down_, &QPushButton::clicked, this, [this] { Move(1); });
  connect(delete_, &QPushButton::clicked, this, &TForm20::DeleteSelected);
  connect(edit_, &QLineEdit::textChanged, this, [this](const QString& text) {
    ok_->setEnabled(!text.isEmpty());
    info_->setText(text.isEmpty() ? QString()
                                  : QStringLiteral("結合情報は ") + BatchName(text) + QStringLiteral(" に記録されます。"));
  });
}

void TForm20::Move(int step) {
  MoveCurrentEntry(list_, step);
}

void TForm20::DeleteSelected() {
  if (DeleteCurrentEntry(list_) < 0) return;
  count_->setText(QString::number(list_->count()) + QStringLiteral("個のﾌｧｲﾙ"));
}

dialogs::TDialogs::MergeAnswer TForm20::Answer() const {
  dialogs::TDialogs::MergeAnswer answer;
  answer.output = QFile::encodeName(edit_->text()).toStdString();
  for (int i = 0; i < list_->count(); ++i) answer.names.push_back(list_->item(i)->data(kBytesRole).toByteArray().toStdString());
  return answer;
}

}  // namespace sorabu::ui
