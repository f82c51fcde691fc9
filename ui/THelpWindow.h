// The help window: the HTML manual beside the program, with its contents, a keyword index built
// from the pages' index terms, and topics by number.
//
// Each page names its index terms in <meta name="keywords" content="term,term"> and may carry a
// topic number in <meta name="topic" content="1001">; the contents are the links of index.html.
#pragma once

#include <QMap>
#include <QWidget>
#include <string>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;

namespace sorabu::ui {

class THelpWindow : public QWidget {
  Q_OBJECT
 public:
  explicit THelpWindow(const QString& folder, QWidget* parent = nullptr);
  // The settings file that keeps the window's size: read now, written at each close.
  void KeepSizeIn(const std::string& iniPath);

  bool HasManual() const { return !titles_.isEmpty(); }
  void ShowContents();
  void ShowKeywordSearch();
  bool ShowPage(const QString& file);
  bool ShowTopic(int topic);
  // The page shown (file name), empty when none.
  QString CurrentPage() const;
  // The contents in order, as file names.
  QStringList ContentsPages() const { return contents_; }
  QString PageTitle(const QString& file) const { return titles_.value(file); }
  // Index terms containing text (any case), sorted; all terms for an empty text.
  QStringList FindKeywords(const QString& text) const;
  // The pages that list the term, in file name order.
  QStringList PagesFor(const QString& term) const { return index_.value(term); }
  // Types into the keyword field, as the user would; the list follows.
  void SetKeywordText(const QString& text);
  QListWidget* KeywordList() const { return keywordList_; }
  QTextBrowser* Browser() const { return browser_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void LoadPages();
  void FillKeywordList(const QString& text);
  void OpenKeywordRow(int row);

  QString folder_;
  std::string iniPath_;
  QMap<QString, QString> titles_;        // file name → title
  QMap<QString, QStringList> index_;     // term → files
  QMap<int, QString> topics_;            // topic → file
  QStringList contents_;
  QTabWidget* tabs_ = nullptr;
  QListWidget* contentsList_ = nullptr;
  QLineEdit* keywordEdit_ = nullptr;
  QListWidget* keywordList_ = nullptr;
  QTextBrowser* browser_ = nullptr;
};

}  // namespace sorabu::ui
