// The search, regular-expression, list, Grep and replace dialogs, driven through their widgets
// without exec().
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "tests/support/sjis_text.h"
#include "textconv/cp932.h"
#include "ui/TForm25.h"
#include "ui/TForm31.h"
#include "ui/TForm32.h"
#include "ui/TForm9.h"
#include "ui/TRegExpButtons.h"
#include "ui/TReplaceDialog.h"
#include "ui/list_file.h"
#include "ui/qt_dialogs.h"

namespace sorabu::ui {
namespace {

using test_support::S;

void Activate(QWidget& w) {
  w.show();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}

TEST(FindDialogTest, ShowsTheSetupAndAnswersTheWidgets) {
  dialogs::TDialogs::FindSetup setup;
  setup.text = S("探す");
  setup.history = {S("前回"), "abc"};
  setup.matchCase = true;
  setup.down = false;
  TForm32 d(setup);
  EXPECT_EQ(d.windowTitle(), QStringLiteral("検索"));
  ASSERT_EQ(d.ComboBox1()->count(), 2);
  EXPECT_EQ(d.ComboBox1()->itemText(0), QStringLiteral("前回"));
  EXPECT_EQ(d.ComboBox1()->currentText(), QStringLiteral("探す")) << "the proposal, not the first history entry";
  EXPECT_FALSE(d.WholeWord()->isChecked());
  EXPECT_TRUE(d.MatchCase()->isChecked());
  EXPECT_EQ(d.Direction()->checkedId(), 0);
  EXPECT_EQ(d.OkButton()->text(), QStringLiteral("検索(&F)"));

  d.ComboBox1()->setEditText(QStringLiteral("ｶﾅ語"));
  d.WholeWord()->click();
  d.MatchCase()->click();
  d.Direction()->button(1)->click();
  const auto answer = d.Answer();
  EXPECT_EQ(answer.text, S("ｶﾅ語"));
  EXPECT_TRUE(answer.wholeWord);
  EXPECT_FALSE(answer.matchCase);
  EXPECT_TRUE(answer.down);

  setup.down = true;
  EXPECT_EQ(TForm32(setup).Direction()->checkedId(), 1);
}

dialogs::TDialogs::RegExpSetup RegExpSetup() {
  dialogs::TDialogs::RegExpSetup setup;
  setup.caption = S("正規表現置換");
  setup.note = S("文字列には正規表現が使えます。");
  setup.pattern = "ab+";
  // A longer entry beginning like an inserted piece must not be completed into the box.
  setup.patterns = {"[0-9]+x", "old"};
  setup.replacements = {S("置換後")};
  return setup;
}

std::vector<QWidget*> Optional(const TForm25& d) {
  return {d.NoteLabel(), d.CBReplace(), d.ReplacementLabel(), d.FuzzyBox(), d.InsertButtons()};
}

TEST(RegExpDialogTest, ShowsAndHidesItsPartsAndAnswersAsCp932) {
  TForm25 full(RegExpSetup());
  EXPECT_EQ(full.windowTitle(), QStringLiteral("正規表現置換"));
  EXPECT_EQ(full.CBRegExp()->currentText(), QStringLiteral("ab+"));
  EXPECT_EQ(full.CBReplace()->count(), 1);
  EXPECT_EQ(full.CBReplace()->currentText(), QString());
  EXPECT_EQ(full.NoteLabel()->text(), QStringLiteral("文字列には正規表現が使えます。"));
  EXPECT_EQ(full.OkButton()->text(), QStringLiteral("置換(&R)"));
  for (QWidget* w : Optional(full)) EXPECT_FALSE(w->isHidden()) << w->objectName().toStdString();
  EXPECT_EQ(full.InsertButtons()->Button(QStringLiteral("&"))->text(), QStringLiteral("&&")) << "no mnemonic";
  full.CBRegExp()->setEditText(QStringLiteral("[亜-龠]+"));
  full.CBReplace()->setEditText(QStringLiteral("＄１"));
  full.FuzzyBox()->setChecked(true);
  const auto answer = full.Answer();
  EXPECT_EQ(answer.pattern, S("[亜-龠]+"));
  EXPECT_EQ(answer.replacement, S("＄１"));
  EXPECT_TRUE(answer.fuzzy);

  auto setup = RegExpSetup();
  setup.note.clear();
  setup.replacement = setup.fuzzy = setup.insertButtons = false;
  setup.okCaption = S("検索(&S)");
  TForm25 bare(setup);
  EXPECT_EQ(bare.OkButton()->text(), QStringLiteral("検索(&S)"));
  for (QWidget* w : Optional(bare)) EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
  // A box that is not offered does not answer.
  bare.FuzzyBox()->setChecked(true);
  EXPECT_FALSE(bare.Answer().fuzzy);
}

struct InsertCase {
  const char* button;
  const char* before;
  int selStart, selLength;  // a caret alone when the length is 0
  const char* after;
  int caret;  // in characters
};

void Press(TRegExpButtons* buttons, QComboBox* combo, const InsertCase& c) {
  combo->setFocus();
  QLineEdit* edit = combo->lineEdit();
  edit->setText(QString::fromUtf8(c.before));
  if (c.selLength > 0)
    edit->setSelection(c.selStart, c.selLength);
  else
    edit->setCursorPosition(c.selStart);
  QPushButton* b = buttons->Button(QString::fromUtf8(c.button));
  ASSERT_NE(b, nullptr) << c.button;
  b->click();
  EXPECT_EQ(edit->text(), QString::fromUtf8(c.after)) << c.button;
  EXPECT_EQ(edit->cursorPosition(), c.caret) << c.button;
}

TEST(RegExpDialogTest, InsertButtonsWriteIntoTheComboLastFocused) {
  TForm25 d(RegExpSetup());
  ASSERT_NO_FATAL_FAILURE(Activate(d));
  const InsertCase kCases[] = {
      {"[ - ]", "ab", 1, 0, "a[-]b", 2},
      {"( )", "", 0, 0, "()", 1},
      {"[^-]", "abcd", 1, 2, "a[^-]d", 3},  // replaces the selection
      {"\\x", "z", 0, 0, "\\xz", 2},
      {"\\", "", 0, 0, "\\", 1},
      {"&", "a", 1, 0, "a&", 2},
      {"[0-9]", "", 0, 0, "[0-9]", 5},
      {"[a-zA-Z]", "q", 0, 0, "[a-zA-Z]q", 8},
      {"[０-９]", "x", 1, 0, "x[０-９]", 6},
      {"[亜-龠]", "", 0, 0, "[亜-龠]", 5},
      {"[0-9０-９]", "", 0, 0, "[0-9０-９]", 8},
      {"[ａ-ｚＡ-Ｚ]", "", 0, 0, "[ａ-ｚＡ-Ｚ]", 8},
      {"[a-zA-Zａ-ｚＡ-Ｚ]", "-", 1, 0, "-[a-zA-Zａ-ｚＡ-Ｚ]", 15},
      {"^", "abc", 1, 1, "^abc", 0},  // in front of the whole text, not in place of the selection
      {"$", "abc", 0, 0, "abc$", 4},  // after the whole text
  };
  for (const InsertCase& c : kCases) ASSERT_NO_FATAL_FAILURE(Press(d.InsertButtons(), d.CBRegExp(), c));
  for (const InsertCase& c : kCases) ASSERT_NO_FATAL_FAILURE(Press(d.InsertButtons(), d.CBReplace(), c));

  // Focus on another control leaves the last combo the target.
  d.CBRegExp()->setEditText(QStringLiteral("p"));
  d.CBReplace()->setEditText(QStringLiteral("r"));
  d.CBReplace()->setFocus();
  d.FuzzyBox()->setFocus();
  d.InsertButtons()->Button(QStringLiteral("$"))->click();
  EXPECT_EQ(d.CBReplace()->currentText(), QStringLiteral("r$"));
  EXPECT_EQ(d.CBRegExp()->currentText(), QStringLiteral("p"));
  EXPECT_TRUE(d.CBReplace()->hasFocus()) << "the caret is shown where the text went";
}

TEST(RegExpDialogTest, InsertButtonsDoNothingBeforeAComboHadTheFocus) {
  TForm25 d(RegExpSetup());  // never shown: no control ever had the focus
  d.InsertButtons()->Button(QStringLiteral("[0-9]"))->click();
  d.InsertButtons()->Button(QStringLiteral("^"))->click();
  EXPECT_EQ(d.CBRegExp()->currentText(), QStringLiteral("ab+"));
  EXPECT_EQ(d.CBReplace()->currentText(), QString());
}

class ListDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    setup_.caption = S("検索語句削除　連続");
    // "\x81" alone is no CP932 character: the entry must still come back as it was.
    setup_.entries = {"one", S("二"), "three\x81"};
    setup_.regex = true;
    setup_.openFolder = "/lists/open";
    setup_.saveFolder = "/lists/save";
  }
  static QStringList Shown(const TForm31& d) {
    QStringList items;
    for (int i = 0; i < d.ListBox1()->count(); ++i) items << d.ListBox1()->item(i)->text();
    return items;
  }
  QByteArray Read(const QString& name) {
    QFile f(dir_.filePath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
  }
  void Write(const QString& name, const QByteArray& bytes) {
    QFile f(dir_.filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  QTemporaryDir dir_;
  dialogs::TDialogs::ListSetup setup_;
};

TEST_F(ListDialogTest, EditsTheList) {
  TForm31 d(setup_);
  EXPECT_EQ(d.windowTitle(), QStringLiteral("検索語句削除　連続"));
  EXPECT_TRUE(d.RegexBox()->isChecked());
  ASSERT_EQ(d.ListBox1()->count(), 3);
  EXPECT_EQ(d.ListBox1()->item(1)->text(), QStringLiteral("二"));

  d.AddButton()->click();  // an empty text is not added
  EXPECT_EQ(d.ListBox1()->count(), 3);
  d.Edit1()->setText(QStringLiteral("四"));
  d.AddButton()->click();
  EXPECT_EQ(Shown(d), (QStringList{"one", "二", d.ListBox1()->item(2)->text(), "四"}));

  d.ListBox1()->setCurrentRow(0);
  d.UpButton()->click();  // already first
  d.DownButton()->click();
  EXPECT_EQ(Shown(d).mid(0, 2), (QStringList{"二", "one"}));
  d.ListBox1()->setCurrentRow(3);
  d.DownButton()->click();  // already last
  d.UpButton()->click();
  EXPECT_EQ(Shown(d).mid(2), (QStringList{"四", d.ListBox1()->item(3)->text()}));

  d.ListBox1()->setCurrentRow(0);
  d.DeleteButton()->click();
  EXPECT_EQ(d.ListBox1()->currentRow(), 0) << "the next entry is selected for the next delete";
  d.DeleteButton()->click();
  d.ClearTextButton()->click();
  EXPECT_EQ(d.Edit1()->text(), QString());
  d.RegexBox()->click();
  auto answer = d.Answer();
  EXPECT_EQ(answer.entries, (std::vector<std::string>{S("四"), "three\x81"}));
  EXPECT_FALSE(answer.regex);
  EXPECT_EQ(answer.openFolder, "/lists/open") << "unchanged when no file was loaded";
  EXPECT_EQ(answer.saveFolder, "/lists/save");

  d.ClearAllButton()->click();
  EXPECT_TRUE(d.Answer().entries.empty());
  d.DeleteButton()->click();  // nothing left to delete
  d.UpButton()->click();
}

TEST_F(ListDialogTest, ListFilesReadBothLineEndsAndWriteCrLf) {
  Write("in.txt", "a\r\n\r\n" + QByteArray::fromStdString(S("ｂ二")) + "\n\nc");
  QString error;
  const auto loaded = LoadList(dir_.filePath("in.txt"), &error);
  ASSERT_TRUE(loaded) << error.toStdString();
  EXPECT_EQ(*loaded, (std::vector<std::string>{"a", S("ｂ二"), "c"}));

  ASSERT_TRUE(SaveList(dir_.filePath("out.txt"), *loaded, &error)) << error.toStdString();
  EXPECT_EQ(Read("out.txt"), "a\r\n" + QByteArray::fromStdString(S("ｂ二")) + "\r\nc\r\n");
  EXPECT_EQ(LoadList(dir_.filePath("out.txt")), loaded);
  ASSERT_TRUE(SaveList(dir_.filePath("out.txt"), {"x"}));  // replaces the file
  EXPECT_EQ(Read("out.txt"), "x\r\n");
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 2) << "no temporary file left";

  EXPECT_FALSE(LoadList(dir_.filePath("missing.txt"), &error));
  EXPECT_TRUE(error.contains(QStringLiteral("missing.txt")));
  EXPECT_FALSE(LoadList(dir_.path()));  // a folder
  error.clear();
  EXPECT_FALSE(SaveList(dir_.filePath("no/such/folder/out.txt"), {"x"}, &error));
  EXPECT_FALSE(error.isEmpty());
}

TEST_F(ListDialogTest, LoadAndSaveRememberTheFolderAndReportFailures) {
  QStringList warnings;
  TForm31 d(setup_);
  d.warn = [&](const QString& text) { warnings << text; };

  EXPECT_FALSE(d.LoadFrom(dir_.filePath("missing.txt")));
  EXPECT_EQ(warnings.size(), 1);
  EXPECT_EQ(d.ListBox1()->count(), 3) << "the list stays";
  EXPECT_EQ(d.Answer().openFolder, "/lists/open");

  ASSERT_TRUE(QDir().mkpath(dir_.filePath("sub")));
  Write("sub/list.txt", "x\ny\n");
  ASSERT_TRUE(d.LoadFrom(dir_.filePath("sub/list.txt")));
  EXPECT_EQ(Shown(d), (QStringList{"x", "y"}));
  EXPECT_EQ(d.Answer().openFolder, QFile::encodeName(dir_.filePath("sub")).toStdString());
  EXPECT_EQ(d.Answer().saveFolder, "/lists/save");

  EXPECT_FALSE(d.SaveTo(dir_.filePath("gone/list.txt")));
  EXPECT_EQ(warnings.size(), 2);
  EXPECT_EQ(d.Answer().saveFolder, "/lists/save");
  ASSERT_TRUE(d.SaveTo(dir_.filePath("saved.txt")));
  EXPECT_EQ(Read("saved.txt"), "x\r\ny\r\n");
  EXPECT_EQ(d.Answer().saveFolder, QFile::encodeName(dir_.path()).toStdString());
}

dialogs::TDialogs::GrepSetup GrepSetup() {
  dialogs::TDialogs::GrepSetup setup;
  setup.history = {S("前の語")};
  setup.folder = "/data/docs";
  setup.selected = {"/data/docs/b.txt", "/data/docs/日本.txt"};
  setup.all = {"/data/docs/a.txt", "/data/docs/b.txt", "/data/docs/日本.txt"};
  setup.fuzzy = false;
  setup.lineNumbers = false;
  return setup;
}

TEST(GrepDialogTest, TheRadioChoosesTheFilesListed) {
  TForm9 d(GrepSetup());
  EXPECT_EQ(d.windowTitle(), QStringLiteral("Grepの実行"));
  EXPECT_EQ(d.CBRegExp()->count(), 1);
  EXPECT_EQ(d.FolderLabel()->text(), QStringLiteral("/data/docs"));
  EXPECT_TRUE(d.FileGroup()->isEnabled());
  EXPECT_EQ(d.RadioGroup1()->checkedId(), 0);
  EXPECT_EQ(d.Memo1()->toPlainText(), QStringLiteral("/data/docs/b.txt\n/data/docs/日本.txt"));
  EXPECT_EQ(d.CountLabel()->text(), QStringLiteral("2個のファイル"));

  d.RadioGroup1()->button(1)->click();
  EXPECT_EQ(d.Memo1()->toPlainText(), QStringLiteral("/data/docs/a.txt\n/data/docs/b.txt\n/data/docs/日本.txt"));
  EXPECT_EQ(d.CountLabel()->text(), QStringLiteral("3個のファイル"));
  d.RadioGroup1()->button(0)->click();
  EXPECT_EQ(d.CountLabel()->text(), QStringLiteral("2個のファイル"));

  auto none = GrepSetup();
  none.selected.clear();
  TForm9 all(none);
  EXPECT_FALSE(all.FileGroup()->isEnabled());
  EXPECT_EQ(all.RadioGroup1()->checkedId(), 1);
  EXPECT_EQ(all.CountLabel()->text(), QStringLiteral("3個のファイル"));

  // A single listed file gives nothing to switch between: the memo keeps what is in it.
  auto one = GrepSetup();
  one.selected = {"/data/docs/a.txt"};
  one.all = {"/data/docs/a.txt"};
  TForm9 single(one);
  single.Memo1()->setPlainText(QStringLiteral("/typed"));
  single.RadioGroup1()->button(1)->click();
  EXPECT_EQ(single.Memo1()->toPlainText(), QStringLiteral("/typed"));
}

TEST(GrepDialogTest, AnswersTheEditedMemoAndTheBoxes) {
  TForm9 d(GrepSetup());
  EXPECT_FALSE(d.FuzzyBox()->isChecked());
  EXPECT_TRUE(d.FileNamesBox()->isChecked());
  EXPECT_FALSE(d.LineNumbersBox()->isChecked());
  d.Memo1()->setPlainText(QStringLiteral("/data/docs/日本.txt\n\n/x y.txt\n"));
  EXPECT_EQ(d.CountLabel()->text(), QStringLiteral("2個のファイル"));
  d.CBRegExp()->setEditText(QStringLiteral("語+"));
  d.FuzzyBox()->click();
  d.FileNamesBox()->click();
  const auto answer = d.Answer();
  EXPECT_EQ(answer.pattern, S("語+"));
  EXPECT_EQ(answer.paths, (std::vector<std::string>{"/data/docs/日本.txt", "/x y.txt"}));
  EXPECT_TRUE(answer.fuzzy);
  EXPECT_FALSE(answer.fileNames);
  EXPECT_FALSE(answer.lineNumbers);
}

// With サブフォルダーも検索 ticked the list of files does not apply and stays greyed.
TEST(GrepDialogTest, TheSubfolderTickSetsTheListAside) {
  auto setup = GrepSetup();
  setup.subFolders = true;
  TForm9 d(setup);
  EXPECT_EQ(d.SubFoldersBox()->text(), QStringLiteral("サブフォルダーも検索(&R)"));
  EXPECT_TRUE(d.SubFoldersBox()->isChecked());
  EXPECT_FALSE(d.FileGroup()->isEnabled());
  EXPECT_FALSE(d.Memo1()->isEnabled());
  EXPECT_TRUE(d.Answer().subFolders);
  d.SubFoldersBox()->click();
  EXPECT_TRUE(d.FileGroup()->isEnabled());
  EXPECT_TRUE(d.Memo1()->isEnabled());
  EXPECT_FALSE(d.Answer().subFolders);
  auto none = GrepSetup();
  none.selected.clear();
  TForm9 all(none);
  all.SubFoldersBox()->click();
  all.SubFoldersBox()->click();
  EXPECT_FALSE(all.FileGroup()->isEnabled()) << "nothing selected: there is still nothing to choose";
}

TEST(GrepDialogTest, ThePanelButtonGrowsAndShrinksTheForm) {
  TForm9 d(GrepSetup());
  ASSERT_NO_FATAL_FAILURE(Activate(d));
  EXPECT_TRUE(d.InsertButtons()->isHidden());
  const int before = d.height();
  d.PanelButton()->click();
  QCoreApplication::processEvents();
  ASSERT_TRUE(d.InsertButtons()->isVisible());
  EXPECT_GE(d.height(), before + d.InsertButtons()->height());
  d.InsertButtons()->Button(QStringLiteral("[0-9]"))->click();
  EXPECT_EQ(d.CBRegExp()->currentText(), QStringLiteral("[0-9]"));
  d.PanelButton()->click();
  QCoreApplication::processEvents();
  EXPECT_TRUE(d.InsertButtons()->isHidden());
  EXPECT_EQ(d.height(), before);
}

struct Calls {
  std::vector<std::string> log;
  dialogs::TDialogs::ReplaceHandlers Handlers(const std::string& tag) {
    return {[this, tag](const std::string& f) { log.push_back(tag + "next:" + f); },
            [this, tag](const std::string& f, const std::string& r) { log.push_back(tag + "one:" + f + "/" + r); },
            [this, tag](const std::string& f, const std::string& r) { log.push_back(tag + "all:" + f + "/" + r); }};
  }
};

TEST(ReplaceDialogTest, ButtonsCallTheHandlersWithTheTypedTexts) {
  Calls calls;
  TReplaceDialog d;
  d.Reset({S("古"), "new"}, calls.Handlers(""));
  d.show();
  EXPECT_EQ(d.windowTitle(), QStringLiteral("置換"));
  EXPECT_EQ(d.FindEdit()->text(), QStringLiteral("古"));
  d.ReplacementEdit()->setText(QStringLiteral("新"));
  d.FindNextButton()->click();
  d.ReplaceButton()->click();
  d.ReplaceAllButton()->click();
  EXPECT_EQ(calls.log, (std::vector<std::string>{"next:" + S("古"), "one:" + S("古") + "/" + S("新"),
                                                 "all:" + S("古") + "/" + S("新")}));
  EXPECT_TRUE(d.isVisible()) << "the dialog stays open";

  d.FindEdit()->clear();
  for (QPushButton* b : {d.FindNextButton(), d.ReplaceButton(), d.ReplaceAllButton()}) EXPECT_FALSE(b->isEnabled());
  d.CancelButton()->click();
  EXPECT_FALSE(d.isVisible());
}

TEST(ReplaceDialogTest, TheWindowKeepsOneDialogAndClosesIt) {
  Calls calls;
  TQtDialogs dialogs;
  dialogs.ShowReplace({"a", "b"}, calls.Handlers("1"));
  QPointer<TReplaceDialog> first = dialogs.ReplaceDialog();
  ASSERT_TRUE(first);
  EXPECT_TRUE(first->isVisible());

  dialogs.ShowReplace({"c", "d"}, calls.Handlers("2"));
  EXPECT_EQ(dialogs.ReplaceDialog(), first.data()) << "the open dialog is reused";
  EXPECT_EQ(first->FindEdit()->text(), QStringLiteral("c"));
  first->ReplaceButton()->click();
  EXPECT_EQ(calls.log, (std::vector<std::string>{"2one:c/d"}));

  // A handler may close the dialog it was called from (the pane's content changes).
  dialogs.ShowReplace({"e", "f"}, {[&](const std::string&) { dialogs.CloseReplace(); }, {}, {}});
  first->FindNextButton()->click();
  EXPECT_FALSE(first->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(first) << "deleted on close";
  EXPECT_EQ(dialogs.ReplaceDialog(), nullptr);

  dialogs.ShowReplace({"g", ""}, calls.Handlers("3"));
  EXPECT_NE(dialogs.ReplaceDialog(), nullptr) << "a new one after the close";
  dialogs.CloseReplace();
  dialogs.CloseReplace();
}

}  // namespace
}  // namespace sorabu::ui
