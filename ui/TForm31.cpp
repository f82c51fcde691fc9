#include "ui/TForm31.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/list_file.h"
#include "ui/list_steps.h"
#include "uitext/qt_text.h"

namespace sorabu::ui {

namespace {
// The entries' own bytes travel with the items: bytes that are no valid CP932 would not survive
// the way through a QString and back.
constexpr int kBytesRole = Qt::UserRole;
const QString kFilter = QStringLiteral("テキスト (*.txt);;すべて (*)");

QString Path(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }
std::string FolderOf(const QString& path) { return QFile::encodeName(QFileInfo(path).absolutePath()).toStdString(); }
}  // namespace

TForm31::TForm31(const dialogs::TDialogs::ListSetup& setup, QWidget* parent)
    : QDialog(parent), openFolder_(setup.openFolder), saveFolder_(setup.saveFolder) {
  setObjectName(QStringLiteral("Form31"));
  setWindowTitle(uitext::FromCp932(setup.caption));
  warn = [this](const QString& text) { QMessageBox::warning(this, QApplication::applicationDisplayName(), text); };
  auto* grid = new QGridLayout(this);

  auto* editLabel = new QLabel(QStringLiteral("削除文字列(&C)"), this);
  edit_ = new QLineEdit(this);
  edit_->setObjectName(QStringLiteral("Edit1"));
  edit_->setMinimumWidth(300);
  editLabel->setBuddy(edit_);
  auto* listLabel = new QLabel(QStringLiteral("削除文字列リスト(&I)"), this);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("ListBox1"));
  listLabel->setBuddy(list_);
  for (const std::string& entry : setup.entries) Append(entry);
  regex_ = new QCheckBox(QStringLiteral("正規表現(&S)"), this);
  regex_->setObjectName(QStringLiteral("CheckBox1"));
  regex_->setChecked(setup.regex);

  auto button = [this](const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
  };
  add_ = button("AddButton", "リストに追加(&A)");
  delete_ = button("DeleteButton", "リストから削除(&D)");
  up_ = button("UpButton", "上へ");
  down_ = button("DownButton", "下へ");
  clearText_ = button("ClearTextButton", "文字列クリア");
  clearAll_ = button("ClearAllButton", "全削除");
  load_ = button("LoadButton", "読み込み(&L)");
  save_ = button("SaveButton", "保存(&S)");
  auto* buttons = new QDialogButtonBox(this);
  ok_ = buttons->addButton(QStringLiteral("実行"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);

  grid->addWidget(editLabel, 0, 0);
  grid->addWidget(edit_, 1, 0);
  grid->addWidget(clearText_, 1, 1);
  grid->addWidget(listLabel, 2, 0);
  grid->addWidget(list_, 3, 0, 2, 1);
  auto* side = new QVBoxLayout;
  for (QPushButton* b : {add_, delete_, up_, down_, clearAll_}) side->addWidget(b);
  side->addSpacing(12);
  side->addWidget(load_);
  side->addWidget(save_);
  side->addStretch(1);
  grid->addLayout(side, 3, 1);
  grid->addWidget(regex_, 5, 0);
  grid->addWidget(buttons, 6, 0, 1, 2);

  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(add_, &QPushButton::clicked, this, [this] {
    if (!edit_->text().isEmpty()) Append(uitext::TypedToCp932(edit_->text()));
  });
  connect(delete_, &QPushButton::clicked, this, &TForm31::DeleteSelected);
  connect(up_, &QPushButton::clicked, this, [this] { Move(-1); });
  connect(down_, &QPushButton::clicked, this, [this] { Move(1); });
  connect(clearText_, &QPushButton::clicked, edit_, &QLineEdit::clear);
  connect(clearAll_, &QPushButton::clicked, list_, &QListWidget::clear);
  connect(load_, &QPushButton::clicked, this, &TForm31::Load);
  connect(save_, &QPushButton::clicked, this, &TForm31::Save);
  edit_->setFocus();
}

void TForm31::Append(const std::string& entry) {
  auto* item = new QListWidgetItem(uitext::FromCp932(entry), list_);
  item->setData(kBytesRole, QByteArray::fromStdString(entry));
}

void TForm31::Move(int step) {
  MoveCurrentEntry(list_, step);
}

void TForm31::DeleteSelected() {
  const int row = DeleteCurrentEntry(list_);
  if (row < 0) return;
  // The next entry takes the place, so that repeated deletes go down the list.
  if (list_->count() > 0) list_->setCurrentRow(qMin(row, list_->count() - 1));
}

bool TForm31::LoadFrom(const QString& path) {
  QString error;
  const auto entries = LoadList(path, &error);
  if (!entries) {
    warn(error);
    return false;
  }
  list_->clear();
  for (const std::string& entry : *entries) Append(entry);
  openFolder_ = FolderOf(path);
  return true;
}

bool TForm31::SaveTo(const QString& path) {
  QString error;
  if (!SaveList(path, Answer().entries, &error)) {
    warn(error);
    return false;
  }
  saveFolder_ = FolderOf(path);
  return true;
}

void TForm31::Load() {
  const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("連続削除リストの読み込み"), Path(openFolder_), kFilter);
  if (!path.isEmpty()) LoadFrom(path);
}

void TForm31::Save() {
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("連続削除リストの保存"), Path(saveFolder_), kFilter);
  if (!path.isEmpty()) SaveTo(path);
}

dialogs::TDialogs::ListAnswer TForm31::Answer() const {
  dialogs::TDialogs::ListAnswer answer;
  for (int i = 0; i < list_->count(); ++i) answer.entries.push_back(list_->item(i)->data(kBytesRole).toByteArray().toStdString());
  answer.regex = regex_->isChecked();
  answer.openFolder = openFolder_;
  answer.saveFolder = saveFolder_;
  return answer;
}

}  // namespace sorabu::ui
