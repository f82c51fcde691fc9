// The help window over the program's own manual and over a small manual made in a temporary
// folder; shown without a modal loop.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include "settings/ini_file.h"
#include "ui/THelpWindow.h"

namespace sorabu::ui {
namespace {

void Write(const QDir& dir, const QString& name, const QString& html) {
  QFile f(dir.filePath(name));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(html.toUtf8());
}

QString Page(const QString& title, const QString& keywords, const QString& extra = {}) {
  return QStringLiteral("<html><head><title>%1</title><meta name=\"keywords\" content=\"%2\">%3</head>"
                        "<body>%1</body></html>")
      .arg(title, keywords, extra);
}

TEST(HelpWindowTest, ContentsTopicsAndKeywordsOfAManual) {
  QTemporaryDir tmp;
  const QDir dir(tmp.path());
  Write(dir, "index.html", Page("目次", "目次", "") + "<a href=\"b.html\">B</a><a href=\"a.html\">A</a><a href=\"gone.html\">x</a>");
  Write(dir, "a.html", Page("ページA", "コピー, 移動"));
  Write(dir, "b.html", Page("ページB", "コピー,Grep", "<meta name=\"topic\" content=\"1001\">"));
  THelpWindow help(tmp.path());
  ASSERT_TRUE(help.HasManual());
  // Contents follow the links of index.html; a link to a missing page is left out.
  EXPECT_EQ(help.ContentsPages(), QStringList({"index.html", "b.html", "a.html"}));
  EXPECT_TRUE(help.ShowTopic(1001));
  EXPECT_EQ(help.CurrentPage(), QStringLiteral("b.html"));
  EXPECT_FALSE(help.ShowTopic(42));
  EXPECT_EQ(help.CurrentPage(), QStringLiteral("b.html"));
  EXPECT_EQ(help.PagesFor(QStringLiteral("コピー")), QStringList({"a.html", "b.html"}));
  EXPECT_EQ(help.FindKeywords(QStringLiteral("grep")), QStringList({"Grep"}));
  // Typing narrows the list; choosing an entry shows its page.
  help.SetKeywordText(QStringLiteral("移"));
  ASSERT_EQ(help.KeywordList()->count(), 1);
  emit help.KeywordList()->itemActivated(help.KeywordList()->item(0));
  EXPECT_EQ(help.CurrentPage(), QStringLiteral("a.html"));
  help.ShowContents();
  EXPECT_EQ(help.CurrentPage(), QStringLiteral("index.html"));
}

// Esc and Ctrl+W close the window as in any viewer; its size is the one the user left it at.
TEST(HelpWindowTest, EscapeAndCtrlWCloseAndTheSizeIsKept) {
  QTemporaryDir tmp;
  const std::string ini = QDir(tmp.path()).filePath(QStringLiteral("sorabu.ini")).toStdString();
  for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
    THelpWindow help(tmp.path());
    help.KeepSizeIn(ini);
    help.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&help));
    help.resize(640, 480);
    QTest::keySequence(&help, key);
    EXPECT_FALSE(help.isVisible()) << key.toString().toStdString();
  }
  THelpWindow again(tmp.path());
  again.KeepSizeIn(ini);
  EXPECT_EQ(again.size(), QSize(640, 480));
  // A size no screen shows is not taken.
  {
    settings::TIniFile file(ini);
    file.WriteInteger("Help", "Width", -5);
    ASSERT_TRUE(file.UpdateFile());
  }
  THelpWindow odd(tmp.path());
  odd.KeepSizeIn(ini);
  EXPECT_EQ(odd.width(), 820);
}

TEST(HelpWindowTest, AnEmptyFolderHasNoManual) {
  QTemporaryDir tmp;
  THelpWindow help(tmp.path());
  EXPECT_FALSE(help.HasManual());
  EXPECT_FALSE(help.ShowPage(QStringLiteral("index.html")));
}

// The manual shipped with the program: every menu has its page in the contents, the pages the
// window asks for exist, and no link leads nowhere.
TEST(HelpWindowTest, TheProgramsManualCoversEveryMenu) {
  THelpWindow help(QStringLiteral(SORABU_HELP_DIR));
  ASSERT_TRUE(help.HasManual());
  QStringList titles;
  for (const QString& page : help.ContentsPages()) titles << help.PageTitle(page);
  for (const char* menu : {"ファイル", "編集", "削除", "検索", "表示", "変換", "書庫", "情報", "アプリケーション", "設定", "ヘルプ"})
    EXPECT_TRUE(titles.contains(QStringLiteral("%1 メニュー").arg(QString::fromUtf8(menu)))) << menu;
  EXPECT_TRUE(help.ShowTopic(1001));
  for (const char* page : {"usehelp.html", "about.html", "keys.html"}) EXPECT_TRUE(help.ShowPage(QString::fromLatin1(page))) << page;
  EXPECT_FALSE(help.PagesFor(QStringLiteral("Grep")).isEmpty());
  EXPECT_FALSE(help.PagesFor(QStringLiteral("和暦")).isEmpty());
  const QDir dir(QStringLiteral(SORABU_HELP_DIR));
  static const QRegularExpression link(QStringLiteral("href=\"([^\"]+)\""));
  static const QRegularExpression image(QStringLiteral("<img src=\"([^\"]+)\""));
  for (const QString& file : dir.entryList({QStringLiteral("*.html")})) {
    QFile f(dir.filePath(file));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(f.readAll());
    EXPECT_FALSE(help.PageTitle(file).isEmpty()) << file.toStdString();
    for (auto it = link.globalMatch(html); it.hasNext();)
      EXPECT_TRUE(dir.exists(it.next().captured(1))) << file.toStdString();
    for (auto it = image.globalMatch(html); it.hasNext();) {
      const QString picture = it.next().captured(1);
      EXPECT_FALSE(QImage(dir.filePath(picture)).isNull()) << file.toStdString() << ": " << picture.toStdString();
    }
  }
}

// The guide's tasks are found from the words a user would type for them.
TEST(HelpWindowTest, TheGuidesTasksAreFoundByTheirWords) {
  THelpWindow help(QStringLiteral(SORABU_HELP_DIR));
  ASSERT_TRUE(help.ContentsPages().contains(QStringLiteral("tasks.html")));
  for (const char* word : {"EUC", "文字の同一視", "パスワード付きZIP", "ファイル分割", "元に戻す", ".org"})
    EXPECT_TRUE(help.PagesFor(QString::fromUtf8(word)).contains(QStringLiteral("tasks.html"))) << word;
}

// Every task of the guide shows what the user will see, in a picture of its own.
TEST(HelpWindowTest, EachTaskOfTheGuideHasItsOwnPicture) {
  QFile f(QDir(QStringLiteral(SORABU_HELP_DIR)).filePath(QStringLiteral("tasks.html")));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QStringList sections = QString::fromUtf8(f.readAll()).split(QStringLiteral("<h2"));
  ASSERT_GE(sections.size(), 6);  // the introduction, then five tasks
  QSet<QString> pictures;
  const QRegularExpression image(QStringLiteral("<img src=\"([^\"]+)\""));
  for (qsizetype i = 1; i < sections.size(); ++i) {
    const QRegularExpressionMatch m = image.match(sections[i]);
    ASSERT_TRUE(m.hasMatch()) << sections[i].left(60).toStdString();
    EXPECT_FALSE(pictures.contains(m.captured(1))) << m.captured(1).toStdString();
    pictures.insert(m.captured(1));
  }
}

}  // namespace
}  // namespace sorabu::ui
