#include "ui/TCollisionDialog.h"

#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace sorabu::ui {

using Choice = dialogs::TDialogs::CollisionChoice;

QString TCollisionDialog::SizeText(unsigned long long bytes) {
  // Grouped by hand: the C locale of a test run or a bare system does not group digits.
  QString digits = QString::number(bytes);
  for (qsizetype i = digits.size() - 3; i > 0; i -= 3) digits.insert(i, QLatin1Char(','));
  return digits + QStringLiteral(" byte");
}

QString TCollisionDialog::TimeText(long long secondsSinceEpoch) {
  return QDateTime::fromSecsSinceEpoch(secondsSinceEpoch).toLocalTime().toString(QStringLiteral("yyyy/MM/dd hh:mm"));
}

namespace {
QString Describe(bool folder, unsigned long long size, long long time) {
  QString text = folder ? QStringLiteral("フォルダー") : TCollisionDialog::SizeText(size);
  return text + QLatin1Char('\n') + QStringLiteral("更新日時: ") + TCollisionDialog::TimeText(time);
}
}  // namespace

TCollisionDialog::TCollisionDialog(const dialogs::TDialogs::CollisionSetup& setup, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("CollisionDialog"));
  setWindowTitle(QStringLiteral("ファイル名の衝突"));
  const QString name = QFile::decodeName(QByteArray::fromStdString(setup.name));
  const QString folder = QFile::decodeName(QByteArray::fromStdString(setup.folder));
  auto* layout = new QVBoxLayout(this);
  message_ = new QLabel(this);
  message_->setWordWrap(true);
  message_->setTextFormat(Qt::PlainText);
  message_->setText(QStringLiteral("フォルダー ") + folder + QStringLiteral(" には ") + name + QStringLiteral(" という名前の") +
                    (setup.targetIsFolder ? QStringLiteral("フォルダー") : QStringLiteral("ファイル")) +
                    QStringLiteral("が既にあります。"));
  layout->addWidget(message_);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("既存の項目:"), this), 0, 0, Qt::AlignTop);
  existing_ = new QLabel(Describe(setup.targetIsFolder, setup.targetSize, setup.targetTime), this);
  existing_->setObjectName(QStringLiteral("Existing"));
  grid->addWidget(existing_, 0, 1);
  grid->addWidget(new QLabel(setup.sourceIsFolder ? QStringLiteral("コピー・移動するフォルダー:")
                                                  : QStringLiteral("コピー・移動するファイル:"),
                             this),
                  0, 2, Qt::AlignTop);
  incoming_ = new QLabel(Describe(setup.sourceIsFolder, setup.sourceSize, setup.sourceTime), this);
  incoming_->setObjectName(QStringLiteral("Incoming"));
  grid->addWidget(incoming_, 0, 3);
  grid->setHorizontalSpacing(16);
  layout->addLayout(grid);

  all_ = new QCheckBox(QStringLiteral("以降すべてに適用(&A)"), this);
  all_->setObjectName(QStringLiteral("ApplyToAll"));
  offerAll_ = setup.remaining > 0;
  all_->setVisible(offerAll_);
  layout->addWidget(all_);

  auto* buttons = new QHBoxLayout;
  replace_ = new QPushButton(QStringLiteral("置き換える(&R)"), this);
  skip_ = new QPushButton(QStringLiteral("スキップ(&S)"), this);
  rename_ = new QPushButton(QStringLiteral("名前を変えて保存(&N)"), this);
  cancel_ = new QPushButton(QStringLiteral("キャンセル"), this);
  buttons->addStretch(1);
  for (QPushButton* b : {replace_, skip_, rename_, cancel_}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  // Enter keeps what is there: the harmless answer is the default.
  skip_->setDefault(true);
  layout->addLayout(buttons);
  connect(replace_, &QPushButton::clicked, this, [this] { Choose(Choice::Replace); });
  connect(skip_, &QPushButton::clicked, this, [this] { Choose(Choice::Skip); });
  connect(rename_, &QPushButton::clicked, this, [this] { Choose(Choice::Rename); });
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void TCollisionDialog::Choose(Choice choice) {
  choice_ = choice;
  accept();
}

dialogs::TDialogs::CollisionAnswer TCollisionDialog::Answer() const {
  if (result() != QDialog::Accepted) return {};
  return {choice_, offerAll_ && all_->isChecked()};
}

}  // namespace sorabu::ui
