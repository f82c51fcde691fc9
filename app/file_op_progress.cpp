#include "app/file_op_progress.h"

#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "uitext/qt_text.h"

namespace sorabu::app {

namespace {
using uitext::U;
}  // namespace

QString ByteText(unsigned long long bytes) {
  static const char* const kUnits[] = {"バイト", "KB", "MB", "GB", "TB"};
  double value = static_cast<double>(bytes);
  int unit = 0;
  while (value >= 1024 && unit < 4) {
    value /= 1024;
    ++unit;
  }
  return unit == 0 ? QString::number(bytes) + U(" バイト") : QString::number(value, 'f', 1) + QLatin1Char(' ') + U(kUnits[unit]);
}

TFileOpProgressDialog::TFileOpProgressDialog(const QString& title, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FileOpProgress"));
  setWindowTitle(title);
  setMinimumWidth(420);
  auto* layout = new QVBoxLayout(this);
  current_ = new QLabel(this);
  current_->setTextFormat(Qt::PlainText);
  current_->setMinimumWidth(400);
  amount_ = new QLabel(this);
  speed_ = new QLabel(this);
  bar_ = new QProgressBar(this);
  bar_->setRange(0, 1000);
  cancel_ = new QPushButton(U("キャンセル"), this);
  layout->addWidget(current_);
  layout->addWidget(bar_);
  layout->addWidget(amount_);
  layout->addWidget(speed_);
  layout->addWidget(cancel_, 0, Qt::AlignRight);
  connect(cancel_, &QPushButton::clicked, this, &TFileOpProgressDialog::reject);
  clock_.start();
}

void TFileOpProgressDialog::reject() {
  cancel_->setEnabled(false);
  cancel_->setText(U("取り消し中…"));
  emit Cancelled();
}

void TFileOpProgressDialog::Show(const fileops::TFileOpProgress& p) {
  const QString name = QFile::decodeName(QByteArray::fromStdString(p.current));
  current_->setText(fontMetrics().elidedText(name, Qt::ElideMiddle, current_->width()));
  const bool bytes = p.bytesTotal > 0;
  const double done = bytes ? static_cast<double>(p.bytesDone) / static_cast<double>(p.bytesTotal)
                            : p.filesTotal > 0 ? static_cast<double>(p.filesDone) / static_cast<double>(p.filesTotal) : 0;
  bar_->setValue(static_cast<int>(std::min(1.0, done) * 1000));
  QString amount = ByteText(p.bytesDone) + U(" / ") + ByteText(p.bytesTotal);
  if (p.filesTotal > 0) amount += U("　（") + QString::number(p.filesDone) + U(" / ") + QString::number(p.filesTotal) + U(" 個）");
  amount_->setText(amount);
  const double seconds = static_cast<double>(clock_.elapsed()) / 1000.0;
  if (seconds > 0.2 && p.bytesDone > 0) {
    const double rate = static_cast<double>(p.bytesDone) / seconds;
    const double left = p.bytesTotal > p.bytesDone ? static_cast<double>(p.bytesTotal - p.bytesDone) / rate : 0;
    speed_->setText(U("速度 ") + ByteText(static_cast<unsigned long long>(rate)) + U("/秒　残り 約 ") +
                    QString::number(static_cast<long long>(left + 0.5)) + U(" 秒"));
  }
}

QString TFileOpProgressDialog::CurrentText() const { return current_->text(); }
QString TFileOpProgressDialog::AmountText() const { return amount_->text(); }

}  // namespace sorabu::app
