#include "ui/THelpWindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "settings/ini_file.h"
#include "settings/setting_keys.h"

namespace sorabu::ui {

namespace {

QString ReadPage(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(f.readAll());
}

QString MetaContent(const QString& html, const QString& name) {
  const QRegularExpression meta(QStringLiteral("<meta\\s+name=\"%1\"\\s+content=\"([^\"]*)\"").arg(name),
                                QRegularExpression::CaseInsensitiveOption);
  return meta.match(html).captured(1);
}

}  // namespace

THelpWindow::THelpWindow(const QString& folder, QWidget* parent) : QWidget(parent, Qt::Window), folder_(folder) {
  setObjectName(QStringLiteral("THelpWindow"));
  setWindowTitle(QStringLiteral("ソラブ ヘルプ"));
  resize(settings::kHelpWidth.fallback, settings::kHelpHeight.fallback);
  for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
    connect(new QShortcut(key, this), &QShortcut::activated, this, &QWidget::close);
  auto* split = new QSplitter(this);
  tabs_ = new QTabWidget(split);
  contentsList_ = new QListWidget;
  tabs_->addTab(contentsList_, QStringLiteral("目次"));
  auto* keywordPage = new QWidget;
  auto* keywordLayout = new QVBoxLayout(keywordPage);
  keywordEdit_ = new QLineEdit(keywordPage);
  keywordEdit_->setPlaceholderText(QStringLiteral("キーワードを入力"));
  keywordList_ = new QListWidget(keywordPage);
  keywordLayout->addWidget(keywordEdit_);
  keywordLayout->addWidget(keywordList_);
  tabs_->addTab(keywordPage, QStringLiteral("キーワード"));
  browser_ = new QTextBrowser(split);
  browser_->setSearchPaths({folder_});
  browser_->setOpenExternalLinks(true);
  split->setStretchFactor(1, 3);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(split);

  LoadPages();
  for (const QString& page : contents_) {
    auto* item = new QListWidgetItem(titles_.value(page), contentsList_);
    item->setData(Qt::UserRole, page);
  }
  connect(contentsList_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { ShowPage(item->data(Qt::UserRole).toString()); });
  connect(contentsList_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { ShowPage(item->data(Qt::UserRole).toString()); });
  connect(keywordEdit_, &QLineEdit::textChanged, this, &THelpWindow::FillKeywordList);
  connect(keywordEdit_, &QLineEdit::returnPressed, this, [this] { OpenKeywordRow(0); });
  connect(keywordList_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { OpenKeywordRow(keywordList_->row(item)); });
  connect(keywordList_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { OpenKeywordRow(keywordList_->row(item)); });
  FillKeywordList({});
}

void THelpWindow::LoadPages() {
  const QDir dir(folder_);
  for (const QString& file : dir.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name)) {
    const QString html = ReadPage(dir.filePath(file));
    static const QRegularExpression title(QStringLiteral("<title>([^<]*)</title>"),
                                          QRegularExpression::CaseInsensitiveOption);
    titles_.insert(file, title.match(html).captured(1).trimmed());
    for (const QString& term : MetaContent(html, QStringLiteral("keywords")).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
      QStringList& pages = index_[term.trimmed()];
      if (!pages.contains(file)) pages << file;
    }
    bool ok = false;
    const int topic = MetaContent(html, QStringLiteral("topic")).toInt(&ok);
    if (ok) topics_.insert(topic, file);
  }
  // The contents: the pages index.html links to, in its order.
  static const QRegularExpression link(QStringLiteral("href=\"([^\"#:]+\\.html)\""));
  contents_ << QStringLiteral("index.html");
  for (auto it = link.globalMatch(ReadPage(dir.filePath(QStringLiteral("index.html")))); it.hasNext();) {
    const QString file = it.next().captured(1);
    if (titles_.contains(file) && !contents_.contains(file)) contents_ << file;
  }
  if (!titles_.contains(QStringLiteral("index.html"))) contents_.clear();
}

void THelpWindow::ShowContents() {
  tabs_->setCurrentIndex(0);
  ShowPage(QStringLiteral("index.html"));
}

void THelpWindow::ShowKeywordSearch() {
  tabs_->setCurrentIndex(1);
  if (CurrentPage().isEmpty()) ShowPage(QStringLiteral("index.html"));
  keywordEdit_->setFocus();
  keywordEdit_->selectAll();
}

bool THelpWindow::ShowPage(const QString& file) {
  if (!titles_.contains(file)) return false;
  browser_->setSource(QUrl::fromLocalFile(QDir(folder_).filePath(file)));
  for (int row = 0; row < contentsList_->count(); ++row)
    if (contentsList_->item(row)->data(Qt::UserRole).toString() == file) contentsList_->setCurrentRow(row);
  return true;
}

bool THelpWindow::ShowTopic(int topic) {
  tabs_->setCurrentIndex(0);
  return ShowPage(topics_.value(topic));
}

QString THelpWindow::CurrentPage() const {
  const QUrl source = browser_->source();
  return source.isEmpty() ? QString() : QFileInfo(source.toLocalFile()).fileName();
}

QStringList THelpWindow::FindKeywords(const QString& text) const {
  QStringList found;
  for (auto it = index_.begin(); it != index_.end(); ++it)
    if (it.key().contains(text.trimmed(), Qt::CaseInsensitive)) found << it.key();
  return found;
}

void THelpWindow::SetKeywordText(const QString& text) {
  tabs_->setCurrentIndex(1);
  keywordEdit_->setText(text);
}

void THelpWindow::FillKeywordList(const QString& text) {
  keywordList_->clear();
  for (const QString& term : FindKeywords(text)) {
    for (const QString& page : index_.value(term)) {
      auto* item = new QListWidgetItem(QStringLiteral("%1 － %2").arg(term, titles_.value(page)), keywordList_);
      item->setData(Qt::UserRole, page);
    }
  }
  if (keywordList_->count() > 0) keywordList_->setCurrentRow(0);
}

void THelpWindow::OpenKeywordRow(int row) {
  if (QListWidgetItem* item = keywordList_->item(row)) ShowPage(item->data(Qt::UserRole).toString());
}

void THelpWindow::KeepSizeIn(const std::string& iniPath) {
  iniPath_ = iniPath;
  const settings::TIniFile ini(iniPath_);
  const int width = settings::Read(ini, settings::kHelpWidth);
  const int height = settings::Read(ini, settings::kHelpHeight);
  // A size no screen could show is the settings file's fault, not the user's wish.
  if (width >= 200 && height >= 150 && width <= 20000 && height <= 20000) resize(width, height);
}

void THelpWindow::closeEvent(QCloseEvent* event) {
  if (!iniPath_.empty()) {
    settings::TIniFile ini(iniPath_);
    settings::Write(ini, settings::kHelpWidth, width());
    settings::Write(ini, settings::kHelpHeight, height());
    ini.UpdateFile();
  }
  QWidget::closeEvent(event);
}

}  // namespace sorabu::ui
