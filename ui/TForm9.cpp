#include "ui/TForm9.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/TRegExpButtons.h"
#include "ui/history_combo.h"
#include "uitext/qt_text.h"

namespace sorabu::ui {

namespace {
QString Path(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }
QStringList Paths(const std::vector<std::string>& paths) {
  QStringList list;
  for (const std::string& p : paths) list << Path(p);
  return list;
}
}  // namespace

TForm9::TForm9(const dialogs::TDialogs::GrepSetup& setup, QWidget* parent)
    : QDialog(parent), selected_(Paths(setup.selected)), all_(Paths(setup.all)) {
  setObjectName(QStringLiteral("Form9"));
  setWindowTitle(QStringLiteral("Grepの実行"));
  auto* layout = new QVBoxLayout(this);

  auto* patternLabel = new QLabel(QStringLiteral("検索する文字列(&S)"), this);
  auto* note = new QLabel(QStringLiteral("文字列には正規表現が使えます。"), this);
  pattern_ = NewHistoryCombo(this, "CBRegExp", setup.history, {});
  patternLabel->setBuddy(pattern_);
  fuzzy_ = new QCheckBox(QStringLiteral("文字の同一視(&D)"), this);
  fuzzy_->setObjectName(QStringLiteral("CheckBox3"));
  fuzzy_->setChecked(setup.fuzzy);
  folder_ = new QLabel(Path(setup.folder), this);
  folder_->setObjectName(QStringLiteral("Label2"));
  folder_->setTextFormat(Qt::PlainText);
  count_ = new QLabel(this);
  count_->setObjectName(QStringLiteral("Label3"));
  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName(QStringLiteral("Memo1"));
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);

  fileBox_ = new QGroupBox(QStringLiteral("ファイル"), this);
  fileBox_->setObjectName(QStringLiteral("RadioGroup1"));
  auto* fileLayout = new QVBoxLayout(fileBox_);
  files_ = new QButtonGroup(this);
  const char* const kItems[] = {"選択したﾌｧｲﾙ", "全ファイル"};
  for (int i = 0; i < 2; ++i) {
    auto* r = new QRadioButton(QString::fromUtf8(kItems[i]), fileBox_);
    files_->addButton(r, i);
    fileLayout->addWidget(r);
  }
  fileNames_ = new QCheckBox(QStringLiteral("検索ﾌｧｨﾙ名の表示(&K)"), this);
  fileNames_->setObjectName(QStringLiteral("CheckBox1"));
  fileNames_->setChecked(setup.fileNames);
  lineNumbers_ = new QCheckBox(QStringLiteral("行数の表示(&L)"), this);
  lineNumbers_->setObjectName(QStringLiteral("CheckBox2"));
  lineNumbers_->setChecked(setup.lineNumbers);
  // The whole tree under the folder: the list of files then does not apply.
  subFolders_ = new QCheckBox(QStringLiteral("サブフォルダーも検索(&R)"), this);
  subFolders_->setObjectName(QStringLiteral("CheckBox4"));
  subFolders_->setChecked(setup.subFolders);
  panelButton_ = new QPushButton(QStringLiteral("正規表現文字表示"), this);
  panelButton_->setObjectName(QStringLiteral("Button3"));
  panelButton_->setAutoDefault(false);

  auto* buttons = new QDialogButtonBox(this);
  ok_ = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok_->setDefault(true);
  buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);

  insert_ = new TRegExpButtons(this);
  insert_->AddTarget(pattern_);
  insert_->hide();

  layout->addWidget(patternLabel);
  layout->addWidget(note);
  layout->addWidget(pattern_);
  layout->addWidget(fuzzy_);
  layout->addWidget(folder_);
  layout->addWidget(count_);
  auto* middle = new QHBoxLayout;
  middle->addWidget(memo_, 1);
  auto* options = new QVBoxLayout;
  options->addWidget(fileBox_);
  options->addWidget(fileNames_);
  options->addWidget(lineNumbers_);
  options->addWidget(subFolders_);
  options->addStretch(1);
  options->addWidget(panelButton_);
  middle->addLayout(options);
  layout->addLayout(middle, 1);
  layout->addWidget(buttons);
  layout->addWidget(insert_);

  const bool anySelected = !selected_.isEmpty();
  files_->button(anySelected ? 0 : 1)->setChecked(true);
  fileBox_->setEnabled(anySelected);
  ShowFiles(anySelected ? 0 : 1);
  const auto follow = [this, anySelected](bool tree) {
    fileBox_->setEnabled(!tree && anySelected);
    memo_->setEnabled(!tree);
  };
  connect(subFolders_, &QCheckBox::toggled, this, follow);
  follow(setup.subFolders);

  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(memo_, &QPlainTextEdit::textChanged, this,
          [this] { count_->setText(QString::number(Lines().size()) + QStringLiteral("個のファイル")); });
  count_->setText(QString::number(Lines().size()) + QStringLiteral("個のファイル"));
  connect(files_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
    // With one file listed or none there is nothing to choose between; the memo keeps its edits.
    if (checked && all_.size() >= 2) ShowFiles(id);
  });
  connect(panelButton_, &QPushButton::clicked, this, &TForm9::TogglePanel);
  pattern_->setFocus();
}

void TForm9::ShowFiles(int which) { memo_->setPlainText((which == 0 ? selected_ : all_).join(QLatin1Char('\n'))); }

QStringList TForm9::Lines() const {
  QStringList lines = memo_->toPlainText().split(QLatin1Char('\n'));
  lines.removeAll(QString());
  return lines;
}

void TForm9::TogglePanel() {
  const int spacing = layout()->spacing();
  const int height = this->height();
  const int change = insert_->isHidden() ? insert_->sizeHint().height() + spacing : -(insert_->height() + spacing);
  insert_->setVisible(insert_->isHidden());
  // The form's minimum follows the panel now rather than when the layout gets round to it, or the
  // shrinking would be held at the old minimum.
  layout()->activate();
  resize(width(), height + change);
}

dialogs::TDialogs::GrepAnswer TForm9::Answer() const {
  dialogs::TDialogs::GrepAnswer answer;
  answer.pattern = uitext::TypedToCp932(pattern_->currentText());
  for (const QString& line : Lines()) answer.paths.push_back(QFile::encodeName(line).toStdString());
  answer.fuzzy = fuzzy_->isChecked();
  answer.fileNames = fileNames_->isChecked();
  answer.lineNumbers = lineNumbers_->isChecked();
  answer.subFolders = subFolders_->isChecked();
  return answer;
}

}  // namespace sorabu::ui
