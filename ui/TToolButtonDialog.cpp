#include "ui/TToolButtonDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "uitext/qt_text.h"

namespace sorabu::ui {

namespace {

QListWidget* MakeList(const std::vector<dialogs::TDialogs::ToolButtonRow>& rows, QWidget* parent, const char* name) {
  auto* list = new QListWidget(parent);
  list->setObjectName(QString::fromLatin1(name));
  for (const auto& row : rows) {
    auto* item = new QListWidgetItem(uitext::FromCp932(row.caption), list);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(row.shown ? Qt::Checked : Qt::Unchecked);
  }
  return list;
}

std::vector<bool> States(const QListWidget* list) {
  std::vector<bool> states;
  for (int i = 0; i < list->count(); ++i) states.push_back(list->item(i)->checkState() == Qt::Checked);
  return states;
}

}  // namespace

TToolButtonDialog::TToolButtonDialog(const dialogs::TDialogs::ToolButtonSetup& setup, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("ToolButtonSet"));
  setWindowTitle(QStringLiteral("ツールボタンの設定"));
  resize(320, 460);
  auto* layout = new QVBoxLayout(this);
  label_ = new QLabel(QStringLiteral("表示するツールボタンを選択して下さい。"), this);
  tabs_ = new QTabWidget(this);
  main_ = MakeList(setup.main, tabs_, "CheckListBox1");
  view_ = MakeList(setup.view, tabs_, "CheckListBox2");
  tabs_->addTab(main_, QStringLiteral("メイン"));
  tabs_->addTab(view_, QStringLiteral("ビュー"));
  tabs_->setCurrentIndex(0);
  all_ = new QPushButton(QStringLiteral("全て表示(&A)"), this);
  all_->setAutoDefault(false);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(all_);
  bottom->addStretch(1);
  bottom->addWidget(buttons);
  layout->addWidget(label_);
  layout->addWidget(tabs_, 1);
  layout->addLayout(bottom);
  connect(all_, &QPushButton::clicked, this, [this] {
    for (QListWidget* list : {main_, view_})
      for (int i = 0; i < list->count(); ++i) list->item(i)->setCheckState(Qt::Checked);
  });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

dialogs::TDialogs::ToolButtonAnswer TToolButtonDialog::Answer() const { return {States(main_), States(view_)}; }

}  // namespace sorabu::ui
