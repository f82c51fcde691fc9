// Simple editing, saving and the external editor from the window, offscreen with scripted answers.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTextCursor>

#include "app/browser_selection.h"
#include "settings/ini_file.h"
#include "tests/app/window_fixture.h"
#include "textconv/cp932.h"
#include "uitext/qt_text.h"
#include "viewer/display.h"
#include "viewer/rtf_reader.h"
#include "viewer/status_panels.h"
#include "viewer/text_pane.h"

namespace sorabu::app {
namespace {

std::string C(const char* utf8) { return textconv::Utf8ToCp932(utf8); }

std::string ReadAll(const QString& path) {
  QFile f(path);
  f.open(QIODevice::ReadOnly);
  return f.readAll().toStdString();
}

class EditWindowTest : public MainWindowTest {
 protected:
  TForm1& StartOn(const QString& name, const std::string& bytes) {
    path_ = MakeFile(name, bytes);
    TForm1& f = Start();
    f.GoToFolder(dir_.path());
    f.MrefreshClick();
    f.OpenCommandLineFile({path_});
    EXPECT_EQ(f.Selection().SelectedPath(), path_);
    return f;
  }
  QString path_;
};

TEST_F(EditWindowTest, EditStateTabAndTheEditMenusEnabling) {
  TForm1& f = StartOn(QStringLiteral("e.txt"), C("一行目\r\n二行目\r\n"));
  viewer::TTextPane* pane = f.RichEdit1();
  EXPECT_EQ(f.SBarR()->PanelText(2), QStringLiteral(" 閲覧 "));
  EXPECT_TRUE(pane->tabChangesFocus());
  f.Action("ToolButton7")->trigger();
  EXPECT_TRUE(pane->Editable());
  EXPECT_EQ(f.SBarR()->PanelText(2), QStringLiteral(" 編集 "));
  EXPECT_EQ(f.Action("MediterRich1")->text(), QStringLiteral("簡易編集を解除(&R)"));
  EXPECT_TRUE(f.Action("ToolButton7")->isChecked());
  pane->setFocus();
  pane->SetCaretToStart();
  QTest::keyClick(pane, Qt::Key_Tab);
  EXPECT_EQ(pane->FirstLineBytes(), C("\t一行目"));

  // The menu opens with the items that can act: no selection, no cut; an edit to undo.
  f.Medit1Click();
  EXPECT_FALSE(f.Action("Mcut")->isEnabled());
  EXPECT_FALSE(f.Action("Mcopy2")->isEnabled());
  EXPECT_TRUE(f.Action("Mundo1")->isEnabled());
  f.MundoClick();
  EXPECT_EQ(pane->FirstLineBytes(), C("一行目"));
  // A load is never undone, and it leaves nothing to undo.
  f.MrefreshClick();
  f.OpenCommandLineFile({path_});
  f.Medit1Click();
  EXPECT_FALSE(f.Action("Mundo")->isEnabled());
  EXPECT_TRUE(pane->Editable()) << "the edit state outlives a load";

  f.MediterRichClick();
  EXPECT_FALSE(pane->Editable());
  EXPECT_EQ(f.Action("MediterRich")->text(), QStringLiteral("簡易編集する(&R)"));
}

TEST_F(EditWindowTest, ClipboardAndLineCommandsMarkTheInformationLine) {
  TForm1& f = StartOn(QStringLiteral("c.txt"), C("あいう\r\nかき\r\n"));
  viewer::TTextPane* pane = f.RichEdit1();
  // Byte offsets: the selection starts inside a character and snaps back onto it.
  pane->SelectBytes(3, 4);
  f.Medit1Click();
  EXPECT_TRUE(f.Action("Mcopy1")->isEnabled());
  f.Action("ToolButton14")->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("いう"));
  EXPECT_FALSE(pane->HasSelection());
  EXPECT_EQ(pane->CaretColumn(), 1) << "the caret stays at the selection's start";
  EXPECT_EQ(f.Viewer().Colour(), viewer::TViewer::InfoColour::Black);

  // Deleting the selection needs the edit state.
  pane->SelectBytes(0, 2);
  f.MtextdeleteClick();
  EXPECT_EQ(pane->FirstLineBytes(), C("あいう"));
  f.MediterRichClick();
  f.MtextdeleteClick();
  EXPECT_EQ(pane->FirstLineBytes(), C("いう"));
  EXPECT_EQ(f.Viewer().Colour(), viewer::TViewer::InfoColour::Red);

  pane->SetCaretToLine(1);
  f.Mupperlinecopy1Click();
  EXPECT_EQ(pane->TextBytes(), C("いう\r\nかき\r\nかき"));
  pane->SetCaretToLine(0);
  f.Monelinedelete1Click();
  EXPECT_EQ(pane->TextBytes(), C("かき\r\nかき"));
}

TEST_F(EditWindowTest, SaveAsRtfAndOverwriteWithAndWithoutBackup) {
  TForm1& f = StartOn(QStringLiteral("s.txt"), C("最初\nの内容"));
  f.SetOption(Option::Mlfline, false);  // the literal model: every line saved with CR LF
  f.SetOption(Option::Mbackup1, true);
  f.MediterRichClick();
  viewer::TTextPane* pane = f.RichEdit1();
  pane->SetCaretToStart();
  pane->RunEdit([pane] { pane->insertPlainText(QStringLiteral("新")); });

  // Save as a name ending in .rtf: written as RTF, the pane back in plain-text mode afterwards.
  dialogs_.Answer(uitext::ToCp932(dir_.filePath("out.rtf")));
  f.Action("ToolButton20")->trigger();
  const std::string rtf = ReadAll(dir_.filePath("out.rtf"));
  EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
  EXPECT_EQ(viewer::DumpRtfDocument(viewer::ReadRtf(rtf)), "新最初\nの内容");
  EXPECT_TRUE(pane->PlainTextMode());
  EXPECT_EQ(dialogs_.Offered().back(), uitext::ToCp932(dir_.path()) + "/s.txt");

  // Overwrite twice with the backup option: the backup holds what was there before the second.
  f.Selection().SelectByName(QStringLiteral("s.txt"));
  f.OpenCommandLineFile({path_});
  pane->SetCaretToStart();
  pane->RunEdit([pane] { pane->insertPlainText(QStringLiteral("1")); });
  f.MToversave1Click();
  EXPECT_EQ(ReadAll(path_), C("1最初\r\nの内容\r\n")) << "every line ends in CR LF";
  EXPECT_EQ(ReadAll(dir_.filePath("s.$$$")), C("最初\nの内容"));
  pane->SetCaretToStart();
  pane->RunEdit([pane] { pane->insertPlainText(QStringLiteral("2")); });
  f.Action("ToolButton54")->trigger();
  EXPECT_EQ(ReadAll(path_), C("21最初\r\nの内容\r\n"));
  EXPECT_EQ(ReadAll(dir_.filePath("s.$$$")), C("1最初\r\nの内容\r\n"));
  EXPECT_EQ(f.Viewer().Colour(), viewer::TViewer::InfoColour::Black);

  // Without the option an old backup of that name goes, and the pane keeps its text.
  f.SetOption(Option::Mbackup1, false);
  pane->SetCaretToStart();
  pane->RunEdit([pane] { pane->insertPlainText(QStringLiteral("3")); });
  f.MToversave1Click();
  EXPECT_FALSE(QFile::exists(dir_.filePath("s.$$$")));
  EXPECT_EQ(ReadAll(path_), C("321最初\r\nの内容\r\n"));
  EXPECT_EQ(pane->FirstLineBytes(), C("321最初"));
}

TEST_F(EditWindowTest, UnicodeTextIsEditedAndSavedInItsOwnForm) {
  // UTF-8: the typed character is written as UTF-8.
  TForm1& f = StartOn(QStringLiteral("u8.txt"), "\xE6\x97\xA5\r\n");
  viewer::TTextPane* pane = f.RichEdit1();
  pane->SetCaretToStart();
  pane->RunEdit([pane] { pane->insertPlainText(QStringLiteral("本")); });
  f.MToversave1Click();
  EXPECT_EQ(ReadAll(path_), "\xE6\x9C\xAC\xE6\x97\xA5\r\n");

  // UTF-16: shown as UTF-8, written back as UTF-16 with its mark.
  const QString u16 = dir_.filePath(QStringLiteral("u16.txt"));
  {
    QFile out(u16);
    out.open(QIODevice::WriteOnly);
    out.write(QByteArray("\xFF\xFE" "a\0\r\0\n\0", 8));
  }
  f.MrefreshClick();
  f.OpenCommandLineFile({u16});
  pane->SetCaretToStart();
  pane->RunEdit([pane] { pane->insertPlainText(QStringLiteral("日")); });
  f.MToversave1Click();
  EXPECT_EQ(ReadAll(u16), std::string("\xFF\xFE\xE5\x65" "a\0\r\0\n\0", 10));
}

// An EUC-JP file is edited as its characters and written back in EUC-JP; a character EUC-JP has
// no place for is asked about first, and a no writes nothing.
TEST_F(EditWindowTest, AnEucFileIsSavedInEuc) {
  const std::string text = "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xA5\xC6\xA5\xAD\xA5\xB9\xA5\xC8\xA4\xC7\xA4\xB9\xA1\xA3";
  const std::string euc = text + "\r\n";  // 日本語のテキストです。
  TForm1& f = StartOn(QStringLiteral("euc.txt"), euc);
  viewer::TTextPane* pane = f.RichEdit1();
  ASSERT_EQ(pane->SourceForm(), textconv::TextForm::EucJp);
  pane->RunEdit([pane] {
    pane->moveCursor(QTextCursor::End);
    pane->insertPlainText(QStringLiteral("語"));
  });
  f.MToversave1Click();
  EXPECT_EQ(ReadAll(path_), text + "\xB8\xEC\r\n");
  EXPECT_TRUE(dialogs_.Offered().empty()) << "every character fits: nothing asked";
  ASSERT_EQ(pane->SourceForm(), textconv::TextForm::EucJp) << "shown again as it was read";

  pane->RunEdit([pane] {
    pane->moveCursor(QTextCursor::End);
    pane->insertPlainText(QStringLiteral("😀"));
  });
  dialogs_.Cancel();
  f.MToversave1Click();
  ASSERT_FALSE(dialogs_.Offered().empty());
  EXPECT_NE(dialogs_.Offered().back().find(textconv::Sjis("EUC で表せない文字が 1 文字あります")), std::string::npos);
  EXPECT_EQ(ReadAll(path_), text + "\xB8\xEC\r\n") << "a no leaves the file";
  dialogs_.Answer("");
  f.MToversave1Click();
  EXPECT_EQ(ReadAll(path_), text + "\xB8\xEC?\r\n");
}

// Linux text files: the quick display counts LF lines, and a save keeps the file's own line end
// (Shift-JIS and UTF-8 alike); the option "LFも改行として扱う" brings back CR LF.
TEST_F(EditWindowTest, AnLfFileIsShownByLinesAndSavedWithLf) {
  std::string lines;
  for (int i = 1; i <= 30; ++i) lines += "line " + std::to_string(i) + "\n";
  TForm1& f = StartOn(QStringLiteral("lf.txt"), lines);
  viewer::TTextPane* pane = f.RichEdit1();
  EXPECT_EQ(pane->LineBytes(19), "line 20");
  EXPECT_EQ(pane->LineBytes(20), "") << "the quick display stops after 20 lines";
  f.Viewer().LoadWholeFile();
  pane->SetCaretToStart();
  pane->RunEdit([pane] { pane->insertPlainText(QStringLiteral("x")); });
  f.MToversave1Click();
  EXPECT_EQ(ReadAll(path_), "x" + lines);

  const QString u8 = MakeFile(QStringLiteral("u8lf.txt"), "\xE6\x97\xA5\na\n");
  f.MrefreshClick();
  f.OpenCommandLineFile({u8});
  pane->SetCaretToStart();
  pane->RunEdit([pane] { pane->insertPlainText(QStringLiteral("本")); });
  f.MToversave1Click();
  EXPECT_EQ(ReadAll(u8), "\xE6\x9C\xAC\xE6\x97\xA5\na\n");

  ASSERT_TRUE(f.OptionValue(Option::Mlfline)) << "on by default";
  f.Action("Mlfline")->trigger();
  EXPECT_FALSE(f.OptionValue(Option::Mlfline));
  EXPECT_FALSE(f.Action("Mlfline1")->isChecked()) << "the pop-up twin follows";
  f.OpenCommandLineFile({path_});
  f.Viewer().LoadWholeFile();
  pane->SetCaretToStart();
  pane->RunEdit([pane] { pane->insertPlainText(QStringLiteral("y")); });
  f.MToversave1Click();
  EXPECT_EQ(ReadAll(path_).substr(0, 18), "yx" "line 1\r\nline 2\r\n");
}

TEST_F(EditWindowTest, AFailedSaveSaysWhyAndWritesNothing) {
  TForm1& f = StartOn(QStringLiteral("keep.txt"), "keep");
  dialogs_.Answer(uitext::ToCp932(dir_.filePath("missing/out.txt")));
  f.MTsave1Click();
  ASSERT_FALSE(dialogs_.Messages().empty());
  EXPECT_EQ(dialogs_.Messages().back().kind, dialogs::TScriptedDialogs::Message::Error);
  EXPECT_FALSE(QFile::exists(dir_.filePath("missing")));
  EXPECT_EQ(ReadAll(path_), "keep");
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("keep.txt")});
}

TEST_F(EditWindowTest, PartOfAFileOrAListingIsNeverSavedOverIt) {
  std::string lines;
  for (int i = 0; i < 500; ++i) lines += "line " + std::to_string(i) + "\r\n";
  TForm1& f = StartOn(QStringLiteral("long.txt"), lines);
  ASSERT_LT(f.RichEdit1()->LineCount(), 500) << "the quick display shows the first lines only";
  f.MToversave1Click();
  dialogs_.Answer(uitext::ToCp932(path_));
  f.MTsave1Click();
  EXPECT_EQ(ReadAll(path_), lines);
  ASSERT_EQ(dialogs_.Messages().size(), 2u);
  EXPECT_EQ(dialogs_.Messages()[0].kind, dialogs::TScriptedDialogs::Message::Warning);
  // Under another name the part is saved; once the whole file is shown it may go over it.
  dialogs_.Answer(uitext::ToCp932(dir_.filePath("head.txt")));
  f.MTsave1Click();
  EXPECT_EQ(ReadAll(dir_.filePath("head.txt")).substr(0, 16), "line 0\r\nline 1\r\n");
  f.Selection().SelectByName(QStringLiteral("long.txt"));
  f.FileView1KeyPress(QStringLiteral("v"));
  f.MToversave1Click();
  EXPECT_EQ(ReadAll(path_), lines);
  EXPECT_EQ(dialogs_.Messages().size(), 2u);
  // Names into the pane are not the file's text.
  f.MnameonlyClick();
  f.MToversave1Click();
  EXPECT_EQ(ReadAll(path_), lines);
  EXPECT_EQ(dialogs_.Messages().size(), 3u);
}

TEST_F(EditWindowTest, TheExternalEditorGetsThePathAsOneArgument) {
  TForm1& f = StartOn(QStringLiteral("with blank.txt"), "x");
  std::vector<QStringList> started;
  f.SetLauncher([&](const QString& program, const QStringList& args, const QString& folder) {
    started.push_back(QStringList{program, folder} + args);
    return true;
  });
  f.FileView1KeyPress(QStringLiteral("e"));  // nothing stored: the desktop's choice
  {
    settings::TIniFile ini(IniPath());
    ini.WriteString("Editer", "Editer", "NOTEPAD.EXE");
    ini.UpdateFile();
  }
  f.Action("ToolButton30")->trigger();
  {
    settings::TIniFile ini(IniPath());
    ini.WriteString("Editer", "Editer", "/bin/sh");
    ini.UpdateFile();
  }
  f.MediterClick();
  ASSERT_EQ(started.size(), 3u);
  const QStringList desktop{QStringLiteral("xdg-open"), dir_.path(), path_};
  EXPECT_EQ(started[0], desktop);
  EXPECT_EQ(started[1], desktop);
  EXPECT_EQ(started[2], (QStringList{QStringLiteral("/bin/sh"), dir_.path(), path_}));
}

}  // namespace
}  // namespace sorabu::app
