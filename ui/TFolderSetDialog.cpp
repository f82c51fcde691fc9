#include "ui/TFolderSetDialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "browser/folder_tree_view_ex.h"
#include "uitext/qt_text.h"

namespace sorabu::ui {

namespace {
QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption) {
  auto* b = new QPushButton(QString::fromUtf8(caption), parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setAutoDefault(false);
  return b;
}
}  // namespace

TFolderSetDialog::TFolderSetDialog(const std::vector<std::string>& folders, QWidget* parent)
    : QDialog(parent), folders_(folders) {
  setObjectName(QStringLiteral("FolderSet"));
  setWindowTitle(QStringLiteral("登録ﾌｫﾙﾀﾞｰの設定"));
  resize(620, 420);
  auto* grid = new QGridLayout(this);
  path_ = new QLineEdit(this);
  path_->setObjectName(QStringLiteral("Edit1"));
  tree_ = new browser::TFolderTreeViewEx(this);
  tree_->setObjectName(QStringLiteral("FolderTreeViewEx1"));
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("ListBox1"));
  add_ = MakeButton(this, "Button1", "新規登録(&N)");
  up_ = MakeButton(this, "Button3", "上へ(&U)");
  down_ = MakeButton(this, "Button4", "下へ(&D)");
  delete_ = MakeButton(this, "Button5", "削除(&E)");
  auto* close = MakeButton(this, "Button6", "閉じる(&C)");

  auto* left = new QVBoxLayout;
  left->addWidget(new QLabel(QStringLiteral("ﾌｫﾙﾀﾞｰをﾌﾙﾊﾟｽで指定して下さい。"), this));
  left->addWidget(path_);
  left->addWidget(new QLabel(QStringLiteral("ﾌｫﾙﾀﾞｰの場所"), this));
  left->addWidget(tree_, 1);
  auto* middle = new QVBoxLayout;
  middle->addWidget(new QLabel(QStringLiteral("登録ﾌｫﾙﾀﾞｰ"), this));
  middle->addWidget(list_, 1);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {add_, up_, down_, delete_}) buttons->addWidget(b);
  buttons->addStretch(1);
  buttons->addWidget(close);
  grid->addLayout(left, 0, 0);
  grid->addLayout(middle, 0, 1);
  grid->addLayout(buttons, 0, 2);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);

  connect(path_, &QLineEdit::textChanged, this, [this] { EnableButtons(); });
  connect(tree_, &browser::TFolderTreeViewEx::Click, this, [this](const QString& path) { path_->setText(path); });
  connect(list_, &QListWidget::currentRowChanged, this, &TFolderSetDialog::Select);
  connect(add_, &QPushButton::clicked, this, [this] {
    const int row = folders_.AddFolder(uitext::ToCp932(path_->text()));
    if (row >= 0) Refill(row);
  });
  connect(up_, &QPushButton::clicked, this, [this] { Refill(folders_.Up(list_->currentRow())); });
  connect(down_, &QPushButton::clicked, this, [this] { Refill(folders_.Down(list_->currentRow())); });
  connect(delete_, &QPushButton::clicked, this, [this] {
    if (!folders_.Valid(list_->currentRow())) return;
    Refill(folders_.Remove(list_->currentRow()));
    path_->clear();
  });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  Refill(-1);
}

void TFolderSetDialog::EnableButtons() {
  const int row = list_->currentRow();
  add_->setEnabled(!path_->text().isEmpty());
  up_->setEnabled(row > 0);
  down_->setEnabled(row >= 0 && row < folders_.Count() - 1);
  delete_->setEnabled(folders_.Valid(row));
}

void TFolderSetDialog::Refill(int select) {
  const QSignalBlocker block(list_);
  list_->clear();
  for (const std::string& f : folders_.Items()) list_->addItem(uitext::FromCp932(f));
  list_->setCurrentRow(select);
  EnableButtons();
}

void TFolderSetDialog::Select(int row) {
  if (folders_.Valid(row)) {
    const QString path = uitext::FromCp932(folders_.Items()[static_cast<std::size_t>(row)]);
    path_->setText(path);
    if (!tree_->SelectPath(path)) tree_->Rebuild();
  }
  EnableButtons();
}

}  // namespace sorabu::ui
