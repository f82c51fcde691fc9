#include "ui/TCharSetDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "dialogs/dialogs.h"

namespace sorabu::ui {

namespace {
struct Entry {
  const char* name;
  int value;
};
constexpr Entry kEntries[] = {
    {"ANSI", 0},           {"（標準）", 1},          {"標準記号", 2},
    {"Macintosh", 77},     {"日本語シフトJIS", dialogs::kShiftJisCharSet}, {"ハングル（Wansung）", 129},
    {"ハングル（Johab）", 130}, {"漢字（簡体字中国語）", 134}, {"漢字（伝統的中国語）", 136},
    {"ギリシャ", 161},     {"トルコ", 162},          {"ベトナム", 163},
    {"ヘブライ", 177},     {"アラビア", 178},        {"バルト", 186},
    {"キリル", 204},       {"タイ", 222},            {"東欧諸国", 238},
    {"ｵﾍﾟﾚｰﾃｨﾝｸﾞｼｽﾃﾑｺｰﾄﾞ", 255},
};
}  // namespace

const QVector<int>& TCharSetDialog::Values() {
  static const QVector<int> values = [] {
    QVector<int> v;
    for (const auto& e : kEntries) v << e.value;
    return v;
  }();
  return values;
}

TCharSetDialog::TCharSetDialog(int current, std::function<void(int)> onChange, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("ﾃｷｽﾄ表示の文字種類の設定"));
  auto* layout = new QVBoxLayout(this);
  list_ = new QComboBox(this);
  for (const auto& e : kEntries) list_->addItem(QString::fromUtf8(e.name), e.value);
  list_->setCurrentIndex(static_cast<int>(Values().indexOf(current)));
  connect(list_, &QComboBox::currentIndexChanged, this, [this, onChange](int index) {
    if (index >= 0 && onChange) onChange(list_->itemData(index).toInt());
  });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);
  layout->addWidget(list_);
  layout->addWidget(buttons);
}

}  // namespace sorabu::ui
