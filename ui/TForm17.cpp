#include "ui/TForm17.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "fileops/split_merge.h"
#include "uitext/qt_text.h"

namespace sorabu::ui {

namespace {
struct SizeItem {
  const char* caption;
  const char* size;
};
constexpr SizeItem kSizes[] = {
    {"1.44M", "1457664"}, {"1.25M", "1250304"}, {"720K", "730112"}, {"640K", "649216"}, {"任意ｻｲｽﾞ", "1000000"}};
}  // namespace

unsigned long long TForm17::PartSize(const QString& text) {
  if (text.isEmpty() || text.size() > 19) return 0;
  for (QChar c : text)
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return 0;
  return text.toULongLong();
}

unsigned long long TForm17::PartCount(unsigned long long fileSize, const QString& text) {
  const unsigned long long size = PartSize(text);
  return fileSize / (size > 0 ? size : 1) + 1;
}

TForm17::TForm17(const dialogs::TDialogs::SplitSetup& setup, QWidget* parent) : QDialog(parent), setup_(setup) {
  setObjectName(QStringLiteral("Form17"));
  setWindowTitle(QStringLiteral("ﾌｧｲﾙの分割"));
  warn = [this](const QString& text) { QMessageBox::warning(this, QApplication::applicationDisplayName(), text); };
  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(QStringLiteral("分割するサイズを指定して下さい。"), this), 0, 0, 1, 2);
  auto* name = new QLabel(QFile::decodeName(QByteArray::fromStdString(setup.fileName)), this);
  name->setObjectName(QStringLiteral("Label2"));
  name->setTextFormat(Qt::PlainText);
  auto* size = new QLabel(uitext::FromCp932(setup.sizeText), this);
  size->setObjectName(QStringLiteral("Label3"));
  grid->addWidget(name, 1, 0, 1, 2);
  grid->addWidget(size, 2, 0, 1, 2);

  auto* box = new QGroupBox(QStringLiteral("サイズ"), this);
  box->setObjectName(QStringLiteral("RadioGroup1"));
  auto* boxLayout = new QVBoxLayout(box);
  group_ = new QButtonGroup(this);
  for (int i = 0; i < 5; ++i) {
    auto* r = new QRadioButton(QString::fromUtf8(kSizes[i].caption), box);
    group_->addButton(r, i);
    boxLayout->addWidget(r);
  }
  group_->button(0)->setChecked(true);
  grid->addWidget(box, 3, 0, 3, 1);

  combo_ = new QComboBox(this);
  combo_->setObjectName(QStringLiteral("ComboBox1"));
  combo_->setEditable(true);
  combo_->setInsertPolicy(QComboBox::NoInsert);
  for (int i = 0; i < 4; ++i) combo_->addItem(QString::fromLatin1(kSizes[i].size));
  for (const std::string& h : setup.history) combo_->addItem(uitext::FromCp932(h));
  combo_->setEditText(QString::fromLatin1(kSizes[0].size));
  combo_->lineEdit()->installEventFilter(this);
  count_ = new QLabel(this);
  count_->setObjectName(QStringLiteral("Label4"));
  grid->addWidget(combo_, 3, 1);
  grid->addWidget(count_, 4, 1);

  auto* listLabel = new QLabel(QStringLiteral("作成するﾌｧｲﾙ"), this);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("ListBox1"));
  listLabel->setBuddy(list_);
  auto* listColumn = new QVBoxLayout;
  listColumn->addWidget(listLabel);
  listColumn->addWidget(list_, 1);
  grid->addLayout(listColumn, 0, 2, 6, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &TForm17::TryAccept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  grid->addWidget(buttons, 6, 0, 1, 3);

  connect(group_, &QButtonGroup::idClicked, this, [this](int id) {
    combo_->setEditText(QString::fromLatin1(kSizes[id].size));
    Preview();
  });
}

QString TForm17::SizeText() const { return combo_->currentText(); }

void TForm17::Preview() {
  const unsigned long long count = PartCount(setup_.fileSize, SizeText());
  count_->setText(QString::number(count) + QStringLiteral(" 個に分割"));
  list_->clear();
  // Beyond the limit there are no such parts to list (and the names would repeat).
  if (count > fileops::kMaxParts || !setup_.partNames) return;
  for (const std::string& n : setup_.partNames(count)) list_->addItem(QFile::decodeName(QByteArray::fromStdString(n)));
}

void TForm17::Refuse(const QString& text) {
  warn(text);
  list_->clear();
  combo_->setFocus();
}

void TForm17::CheckSize() {
  const unsigned long long count = PartCount(setup_.fileSize, SizeText());
  if (count > fileops::kMaxParts) {
    Refuse(QString::number(count) + QStringLiteral("個のﾌｧｲﾙに分割できません。"));
    return;
  }
  Preview();
  ok_->setFocus();
}

void TForm17::TryAccept() {
  if (PartSize(SizeText()) == 0) {
    Refuse(QStringLiteral("分割するサイズを指定して下さい。"));
    return;
  }
  const unsigned long long count = PartCount(setup_.fileSize, SizeText());
  if (count > fileops::kMaxParts) {
    Refuse(QString::number(count) + QStringLiteral("個のﾌｧｲﾙに分割できません。"));
    return;
  }
  accept();
}

void TForm17::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) Preview();
}

bool TForm17::eventFilter(QObject* watched, QEvent* event) {
  if (watched == combo_->lineEdit() && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      CheckSize();
      return true;  // not the dialog's default button as well
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace sorabu::ui
