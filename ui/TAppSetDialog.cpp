#include "ui/TAppSetDialog.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
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

TAppSetDialog::TAppSetDialog(const dialogs::TDialogs::ApplicationSetup& setup, QWidget* parent)
    : QDialog(parent), usable_(setup.usable), list_model_(setup.entries) {
  setObjectName(QStringLiteral("AppSet"));
  setWindowTitle(QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝの設定"));
  resize(620, 420);
  warn = [this](const std::string& text) { QMessageBox::warning(this, windowTitle(), uitext::FromCp932(text)); };

  auto* grid = new QGridLayout(this);
  path_ = new QLineEdit(this);
  path_->setObjectName(QStringLiteral("Edit1"));
  tree_ = new browser::TFolderTreeViewEx(this);
  tree_->setObjectName(QStringLiteral("FolderTreeViewEx1"));
  tree_->SetShowExecutables(true);
  tree_->SetFileMask({QStringLiteral(".exe")});
  tree_->SetShowFile(true);
  name_ = new QLineEdit(this);
  name_->setObjectName(QStringLiteral("Edit2"));
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("ListBox1"));
  add_ = MakeButton(this, "Button1", "新規登録(&N)");
  update_ = MakeButton(this, "Button2", "更新(&A)");
  up_ = MakeButton(this, "Button3", "上へ(&U)");
  down_ = MakeButton(this, "Button4", "下へ(&D)");
  delete_ = MakeButton(this, "Button5", "削除(&E)");
  auto* close = MakeButton(this, "Button6", "閉じる(&C)");

  auto* left = new QVBoxLayout;
  left->addWidget(new QLabel(QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝをﾌﾙﾊﾟｽで指定して下さい。"), this));
  left->addWidget(path_);
  left->addWidget(new QLabel(QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝの場所"), this));
  left->addWidget(tree_, 1);
  left->addWidget(new QLabel(QStringLiteral("表示する名前を入力して下さい。"), this));
  left->addWidget(name_);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {add_, update_, up_, down_, delete_}) buttons->addWidget(b);
  buttons->addStretch(1);
  buttons->addWidget(close);
  grid->addLayout(left, 0, 0);
  grid->addWidget(list_, 0, 1);
  grid->addLayout(buttons, 0, 2);
  grid->setColumnStretch(0, 3);
  grid->setColumnStretch(1, 2);

  connect(path_, &QLineEdit::textChanged, this, [this] { EnableButtons(); });
  connect(tree_, &browser::TFolderTreeViewEx::Click, this, [this](const QString& path) {
    if (!QFileInfo(path).isFile()) return;
    path_->setText(path);
    name_->setText(QFileInfo(path).completeBaseName());
  });
  connect(list_, &QListWidget::currentRowChanged, this, &TAppSetDialog::Select);
  connect(add_, &QPushButton::clicked, this, &TAppSetDialog::Add);
  connect(update_, &QPushButton::clicked, this, &TAppSetDialog::Update);
  connect(up_, &QPushButton::clicked, this, [this] { Refill(list_model_.Up(list_->currentRow())); });
  connect(down_, &QPushButton::clicked, this, [this] { Refill(list_model_.Down(list_->currentRow())); });
  connect(delete_, &QPushButton::clicked, this, [this] {
    if (!list_model_.Valid(list_->currentRow())) return;
    Refill(list_model_.Remove(list_->currentRow()));
    path_->clear();
    name_->clear();
  });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  Refill(-1);
}

void TAppSetDialog::EnableButtons() {
  const bool typed = !path_->text().isEmpty();
  add_->setEnabled(typed);
  update_->setEnabled(typed && list_model_.Valid(list_->currentRow()));
  const int row = list_->currentRow();
  up_->setEnabled(row > 0);
  down_->setEnabled(row >= 0 && row < list_model_.Count() - 1);
  delete_->setEnabled(list_model_.Valid(row));
}

void TAppSetDialog::Refill(int select) {
  const QSignalBlocker block(list_);
  list_->clear();
  for (const dialogs::AppEntry& e : list_model_.Items()) list_->addItem(uitext::FromCp932(e.name));
  list_->setCurrentRow(select);
  EnableButtons();
}

void TAppSetDialog::Select(int row) {
  if (list_model_.Valid(row)) {
    const dialogs::AppEntry& e = list_model_.Items()[static_cast<std::size_t>(row)];
    const QSignalBlocker block(path_);
    path_->setText(uitext::FromCp932(e.commandLine));
    name_->setText(uitext::FromCp932(e.name));
    const QString program = uitext::FromCp932(custom::ProgramOf(e.commandLine));
    if (!tree_->SelectPath(program)) tree_->Rebuild();
  }
  EnableButtons();
}

void TAppSetDialog::Add() {
  const std::string line = uitext::ToCp932(path_->text().trimmed());
  if (usable_ && !usable_(line)) {
    warn(line + dialogs::TDialogs::kRefusedSuffix);
    return;
  }
  std::string name = uitext::ToCp932(name_->text());
  if (name.empty()) name = uitext::ToCp932(QFileInfo(uitext::FromCp932(custom::ProgramOf(line))).completeBaseName());
  Refill(list_model_.Add({line, name}));
}

void TAppSetDialog::Update() {
  const int row = list_->currentRow();
  if (!list_model_.Valid(row)) return;
  const std::string line = uitext::ToCp932(path_->text().trimmed());
  if (usable_ && !usable_(line)) {
    warn(line + dialogs::TDialogs::kRefusedSuffix);
    return;
  }
  Refill(list_model_.Update(row, {line, uitext::ToCp932(name_->text())}));
}

}  // namespace sorabu::ui
