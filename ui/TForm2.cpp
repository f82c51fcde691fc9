#include "ui/TForm2.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "browser/folder_view.h"
#include "browser/shell_namespace.h"
#include "uitext/qt_text.h"

namespace sorabu::ui {

namespace {
QString Path(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }
}  // namespace

TForm2::TForm2(const dialogs::TDialogs::FileOperationSetup& setup, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("ファイル操作"));
  resize(620, 420);
  auto* layout = new QHBoxLayout(this);

  tree_ = new browser::TFolderView(this);
  tree_->setObjectName(QStringLiteral("FolderView1"));
  // A picker: renaming only on F2, never by a second click on the picked folder.
  tree_->setEditTriggers(QAbstractItemView::EditKeyPressed);
  layout->addWidget(tree_, 1);

  auto* right = new QVBoxLayout;
  auto* prompt = new QLabel(QStringLiteral("操作先ディレクトリ(&T)"), this);
  combo_ = new QComboBox(this);
  combo_->setObjectName(QStringLiteral("ComboBox1"));
  combo_->setEditable(true);
  combo_->setInsertPolicy(QComboBox::NoInsert);
  combo_->setMinimumWidth(300);
  prompt->setBuddy(combo_);
  folder_ = new QLabel(this);
  folder_->setObjectName(QStringLiteral("Label2"));
  folder_->setTextFormat(Qt::PlainText);
  folder_->setWordWrap(true);

  auto* box = new QGroupBox(QStringLiteral("ファイル操作(&F)"), this);
  box->setObjectName(QStringLiteral("RadioGroup1"));
  auto* boxLayout = new QHBoxLayout(box);
  group_ = new QButtonGroup(this);
  const char* const kItems[] = {"コピー", "移動", "解凍"};
  for (int i = 0; i < 3; ++i) {
    auto* r = new QRadioButton(QString::fromUtf8(kItems[i]), box);
    group_->addButton(r, i);
    boxLayout->addWidget(r);
  }
  if (QAbstractButton* b = group_->button(setup.operation)) b->setChecked(true);
  // The kind of operation is the command's; the group only tells which one runs.
  for (QAbstractButton* b : group_->buttons()) b->setEnabled(false);

  count_ = new QLabel(uitext::FromCp932(setup.countLabel), this);
  count_->setObjectName(QStringLiteral("Label3"));
  sources_ = new QPlainTextEdit(this);
  sources_->setObjectName(QStringLiteral("Memo1"));
  sources_->setReadOnly(true);
  sources_->setLineWrapMode(QPlainTextEdit::NoWrap);
  sources_->setPlainText(Path(setup.sources));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  right->addWidget(prompt);
  right->addWidget(combo_);
  right->addWidget(folder_);
  right->addWidget(box);
  right->addWidget(count_);
  right->addWidget(sources_, 1);
  right->addWidget(buttons);
  layout->addLayout(right, 1);

  for (const std::string& h : setup.history) combo_->addItem(Path(h));
  // Virtual nodes (the desktop, the computer) have no path to copy to.
  connect(tree_, &browser::TFolderView::FolderChanged, this, [this](const QString& id) {
    if (!browser::IsVirtual(id)) ShowFolder(id);
  });
  tree_->Rebuild();
  const QString folder = Path(setup.folder);
  if (!folder.isEmpty()) tree_->SelectPath(folder);
  ShowFolder(folder);
  combo_->setFocus();
}

void TForm2::ShowFolder(const QString& path) {
  combo_->setEditText(path);
  folder_->setText(path);
  if (QTreeWidgetItem* node = tree_->currentItem()) tree_->scrollToItem(node);
}

QString TForm2::Destination() const { return combo_->currentText(); }

}  // namespace sorabu::ui
