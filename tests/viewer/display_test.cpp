// The display pipeline on real files in a temporary folder, with scripted dialogs.
#include "viewer/display.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <fcntl.h>
#include <unistd.h>

#include "dialogs/scripted_dialogs.h"
#include "settings/ini_file.h"
#include "textconv/cp932.h"
#include "uitext/qt_text.h"
#include "textconv/unicode_text.h"
#include "viewer/file_info.h"
#include "viewer/file_selection.h"
#include "viewer/status_panels.h"
#include "viewer/text_pane.h"

namespace sorabu::viewer {
namespace {

using textconv::Sjis;

class TFakeSelection : public TFileSelection {
 public:
  QString path;
  int counts = 0;
  QString SelectedPath() const override { return path; }
  int SelectByName(const QString& name) override { return path.endsWith(name, Qt::CaseInsensitive) ? 1 : 0; }
  int SelectedCount() const override { return path.isEmpty() ? 0 : 1; }
  void UpdateCounts() override { ++counts; }
};

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parts_.pane = &pane_;
    parts_.infoLine = &label_;
    parts_.textStatus = &sbarR_;
    parts_.mainStatus = &status1_;
    viewer_ = std::make_unique<TViewer>(state_, parts_, dialogs_);
    viewer_->SetSelection(&selection_);
    viewer_->SetSettingsPath(dir_.filePath("sorabu.ini").toStdString());
  }
  QString File(const char* name, const std::string& bytes) {
    const QString path = dir_.filePath(QString::fromUtf8(name));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
  }
  void Select(const QString& path) { selection_.path = path; }
  void Settings(const char* section, const char* key, long long value) {
    settings::TIniFile ini(dir_.filePath("sorabu.ini").toStdString());
    ini.WriteInteger(section, key, value);
    ini.UpdateFile();
  }
  static std::string Lines(int n, const char* end = "\r\n") {
    std::string s;
    for (int i = 1; i <= n; ++i) s += "line " + std::to_string(i) + end;
    return s;
  }
  std::string Tags() const {  // what follows the folder piece of the information line
    const std::string info = uitext::ToCp932(viewer_->InfoText());
    return info.substr(info.rfind('/') + 1);
  }

  QTemporaryDir dir_;
  settings::TWindowState state_;
  TTextPane pane_;
  QLabel label_;
  TStatusPanels sbarR_{{100, 80, 50, 40, 60, 50, 50}};
  TStatusPanels status1_{{300, 100, 120, 80, 50}};
  TViewerParts parts_;
  dialogs::TScriptedDialogs dialogs_;
  TFakeSelection selection_;
  std::unique_ptr<TViewer> viewer_;
};

TEST_F(DisplayTest, QuickDisplayShowsTheFirstTwentyLinesThenTheWholeFileTurnsBlue) {
  Select(File("thirty.txt", Lines(30)));
  viewer_->ShowSelectedFile();
  EXPECT_EQ(pane_.LineCount(), 20);
  EXPECT_EQ(pane_.FirstLineBytes(), "line 1");
  EXPECT_EQ(viewer_->Colour(), TViewer::InfoColour::Black);
  EXPECT_EQ(Tags(), "    " + std::string("      ASCII"));
  EXPECT_EQ(sbarR_.PanelText(1), QStringLiteral(" 20 行 "));
  EXPECT_EQ(sbarR_.PanelText(0), QStringLiteral(" 1行 1列 "));

  viewer_->MtextnewviewClick();
  EXPECT_EQ(pane_.LineCount(), 30);
  EXPECT_EQ(viewer_->Colour(), TViewer::InfoColour::Blue);
  EXPECT_EQ(label_.text(), viewer_->InfoText());
}

TEST_F(DisplayTest, LineEndsFollowTheStreamingModel) {
  // LF ends a line: the quick display counts the lines of a Linux text file.
  Select(File("lf.txt", Lines(30, "\n")));
  viewer_->ShowSelectedFile();
  EXPECT_EQ(pane_.LineCount(), 20);
  EXPECT_EQ(pane_.LineEnd(), "\n");
  EXPECT_EQ(sbarR_.PanelText(1), QStringLiteral(" 20 行 "));

  // The literal model: an LF alone stays inside the one line read.
  viewer_->SetLfLines(false);
  Select(File("lf5.txt", Lines(5, "\n")));
  viewer_->ShowSelectedFile();
  EXPECT_EQ(pane_.TextBytes(), Lines(5, "\n")) << "LF alone stays inside the one line read";
  EXPECT_EQ(pane_.LineEnd(), "\r\n");

  Select(File("eof.txt", std::string("one\r\ntwo\x1A" "three\r\n")));
  viewer_->ShowSelectedFile();
  EXPECT_EQ(pane_.TextBytes(), "one\r\ntwo");
}

TEST_F(DisplayTest, LimitZeroLoadsWholeAndWritesTheTagsOnce) {
  state_.DisplayLineLimit = 0;
  Select(File("sjis.txt", Sjis("漢字\r\n") + Lines(40)));
  viewer_->ShowSelectedFile();
  EXPECT_EQ(pane_.LineCount(), 41);
  EXPECT_EQ(Tags(), "          " + Sjis("ｼﾌﾄJIS"));
  EXPECT_EQ(viewer_->Colour(), TViewer::InfoColour::Blue);

  state_.DisplayLineLimit = -3;  // a negative limit reads nothing
  viewer_->ShowSelectedFile();
  EXPECT_TRUE(pane_.IsEmptyText());
}

TEST_F(DisplayTest, LoadRulesDecideTheRoute) {
  const QString small = File("small.txt", std::string(200, 'a'));
  Select(small);
  Settings("ReadMax", "Byte", 100);
  viewer_->LoadWholeFile();
  EXPECT_TRUE(pane_.IsEmptyText()) << "over the read limit nothing is loaded";
  EXPECT_EQ(Tags(), "          ");
  EXPECT_FALSE(viewer_->InfoText().isEmpty());

  Settings("ReadMax", "Byte", 0);
  Select(File("big.txt", std::string(20000, 'b')));
  viewer_->LoadWholeFile();  // stream route
  EXPECT_EQ(pane_.TextBytes().size(), 20000u);

  Settings("StreamRead", "Check", 0);
  state_.InstantDisplay = false;  // V mode without a limit loads nothing
  viewer_->MtextnewviewClick();
  EXPECT_TRUE(pane_.IsEmptyText());
  state_.InstantDisplay = true;
  viewer_->MtextnewviewClick();
  EXPECT_EQ(pane_.TextBytes().size(), 20000u);
}

TEST_F(DisplayTest, TheGateAndVModeHoldTheDisplayBack) {
  Select(File("a.txt", "alpha"));
  state_.ShiftDown = true;
  viewer_->FileView1Change(true);
  EXPECT_TRUE(pane_.IsEmptyText());
  EXPECT_EQ(status1_.PanelText(3), QStringLiteral(" 1 個選択 "));
  state_.ShiftDown = false;
  state_.InstantDisplay = false;
  viewer_->FileView1Change(false);
  EXPECT_TRUE(pane_.IsEmptyText());
  viewer_->MvClick(false, nullptr);  // shows once, V mode stays
  EXPECT_EQ(pane_.TextBytes(), "alpha");
  EXPECT_FALSE(state_.InstantDisplay);
  state_.InstantDisplay = true;
  viewer_->FileView1Change(false);
  EXPECT_EQ(pane_.TextBytes(), "alpha");
}

TEST_F(DisplayTest, BadFilesLoseNothingAndCrashNothing) {
  // Vanished between listing and display: nothing loaded, the line stays empty.
  Select(dir_.filePath("gone.txt"));
  viewer_->ShowSelectedFile();
  EXPECT_TRUE(viewer_->InfoText().isEmpty());
  EXPECT_TRUE(pane_.IsEmptyText());

  // Binary with NUL bytes.
  Select(File("bin.dat", std::string("MZ\0\0\x01\xff\r\nrest", 11)));
  viewer_->ShowSelectedFile();
  EXPECT_EQ(Tags(), "        " + Sjis("[実行ファイル]") + "  " + Sjis("ﾊﾞｲﾅﾘ"));

  // A 50 MB line without CR: the quick display shows a bounded prefix at once.
  Select(File("long.txt", std::string(50 * 1000 * 1000, 'x')));
  viewer_->ShowSelectedFile();
  EXPECT_EQ(pane_.TextBytes().size(), kQuickDisplayByteCap);

  // Unreadable: the system's message through the error box.
  const QString locked = File("locked.txt", "secret");
  QFile::setPermissions(locked, QFileDevice::Permissions());
  if (::access(QFile::encodeName(locked).constData(), R_OK) != 0) {
    Select(locked);
    viewer_->ShowSelectedFile();
    ASSERT_FALSE(dialogs_.Messages().empty());
    EXPECT_EQ(dialogs_.Messages().back().kind, dialogs::TScriptedDialogs::Message::Error);
  }
}

TEST_F(DisplayTest, EmptyLinesAtTheEndOfTheQuickDisplayAreCounted) {
  Select(File("blank.txt", "a\r\n\r\n\r\nb\r\n"));
  state_.DisplayLineLimit = 3;
  viewer_->ShowSelectedFile();
  EXPECT_EQ(pane_.LineCount(), 3);
  EXPECT_EQ(pane_.TextBytes(), "a\r\n\r\n");
}

TEST_F(DisplayTest, Utf8AndUtf16TextIsShownAsWhatItIs) {
  // UTF-8: tagged, shown and copied as its characters, its bytes kept.
  const std::string utf8 = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\r\nabc\r\n";  // 日本語
  Select(File("u8.txt", utf8));
  viewer_->ShowSelectedFile();
  EXPECT_EQ(pane_.TextForm(), textconv::TextForm::Utf8);
  EXPECT_NE(label_.text().indexOf(QStringLiteral("UTF-8")), -1) << label_.text().toStdString();
  viewer_->LoadWholeFile();
  EXPECT_EQ(pane_.TextBytes(), utf8);
  pane_.SelectBytes(3, 6);
  EXPECT_EQ(pane_.SelectionLength(), 2);
  pane_.SetCaretToLine(0);
  viewer_->Mlinebottom1Click();
  EXPECT_EQ(pane_.CaretLine(), 1);

  // UTF-16 with its mark: shown as UTF-8 text, tagged UTF-16, remembered for saving.
  std::string utf16 = "\xFF\xFE";
  for (char16_t u : std::u16string(u"日本\r\nx")) {
    utf16 += static_cast<char>(u & 0xFF);
    utf16 += static_cast<char>(u >> 8);
  }
  Select(File("u16.txt", utf16));
  viewer_->ShowSelectedFile();
  EXPECT_EQ(pane_.FirstLineBytes(), "\xE6\x97\xA5\xE6\x9C\xAC");
  EXPECT_EQ(pane_.SourceForm(), textconv::TextForm::Utf16LE);
  EXPECT_NE(label_.text().indexOf(QStringLiteral("UTF-16")), -1);
  viewer_->LoadWholeFile();
  EXPECT_EQ(pane_.TextBytes(), "\xE6\x97\xA5\xE6\x9C\xAC\r\nx");
  EXPECT_EQ(pane_.WholeFile(), selection_.path);

  // Shift-JIS stays Shift-JIS.
  Select(File("s.txt", Sjis("日本語\r\n")));
  viewer_->LoadWholeFile();
  EXPECT_EQ(pane_.TextForm(), textconv::TextForm::Cp932);
}

// EUC-JP and JIS files read as their UTF-8 copy does (half-width kana and JIS X 0212 too), in the
// quick display and in the whole view; the line names the file's code and the file is untouched.
TEST_F(DisplayTest, EucAndJisTextReadsAsItsUtf8Copy) {
  const struct {
    const char* name;
    std::string bytes;
    textconv::TextForm form;
    const char* tag;
    std::string utf8;
  } files[] = {
      {"euc.txt", "\xC6\xFC\xCB\xDC\xB8\xEC\x8E\xB1\x8F\xB0\xA1\r\n\xC6\xF3\xB9\xD4\xCC\xDC\r\n",
       textconv::TextForm::EucJp, "EUC", "日本語ｱ丂\r\n二行目\r\n"},
      // Shifted back to ASCII before each line end, as JIS writers do.
      {"jis.txt", "\x1B$BF|K\\8l\x1B(I1\x1B(B\r\n\x1B$BFs9TL\\\x1B(B\r\n", textconv::TextForm::Jis, "JIS83",
       "日本語ｱ\r\n二行目\r\n"},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    const QString path = File(f.name, f.bytes);
    Select(path);
    viewer_->ShowSelectedFile();
    EXPECT_EQ(pane_.TextForm(), textconv::TextForm::Utf8);
    EXPECT_EQ(pane_.SourceForm(), f.form);
    EXPECT_EQ(pane_.TextBytes(), f.utf8.substr(0, f.utf8.size() - 2));
    EXPECT_NE(label_.text().indexOf(QString::fromLatin1(f.tag)), -1) << label_.text().toStdString();
    viewer_->LoadWholeFile();
    EXPECT_EQ(pane_.TextBytes(), f.utf8);
    EXPECT_EQ(pane_.SourceForm(), f.form);
    EXPECT_NE(label_.text().indexOf(QString::fromLatin1(f.tag)), -1) << label_.text().toStdString();
    QFile disk(path);
    ASSERT_TRUE(disk.open(QIODevice::ReadOnly));
    EXPECT_EQ(disk.readAll().toStdString(), f.bytes);
  }
  // The same text in Shift-JIS is shown through its own decoder, unchanged.
  Select(File("sjis.txt", Sjis("日本語ｱ\r\n")));
  viewer_->LoadWholeFile();
  EXPECT_EQ(pane_.SourceForm(), textconv::TextForm::Cp932);
  EXPECT_EQ(pane_.TextBytes(), Sjis("日本語ｱ\r\n"));
}

TEST_F(DisplayTest, AWholeFileThatShrinksOrVanishesWhileShownStaysOnScreen) {
  const std::string text = Lines(5000);
  const QString path = File("going.txt", text);
  Select(path);
  viewer_->LoadWholeFile();
  ASSERT_TRUE(pane_.ShowsBytes());
  ::truncate(QFile::encodeName(path).constData(), 10);
  viewer_->Mlinebottom1Click();
  QFile::remove(path);
  pane_.resize(400, 300);
  QImage image(400, 300, QImage::Format_ARGB32_Premultiplied);
  pane_.render(&image);
  EXPECT_EQ(pane_.CaretLine(), 4999);
  EXPECT_EQ(pane_.TextBytes(), text) << "the pane holds what was read, not the file";
  EXPECT_EQ(sbarR_.PanelText(1), QStringLiteral(" 5000 行 "));
}

TEST_F(DisplayTest, ADoubleByteCharacterIsNeverCutByTheQuickDisplayCap) {
  std::string text(kQuickDisplayByteCap - 1, 'x');
  text += Sjis("漢字");
  Select(File("cut.txt", text));
  viewer_->ShowSelectedFile();
  EXPECT_EQ(pane_.TextBytes().size(), kQuickDisplayByteCap - 1);
}

TEST_F(DisplayTest, JumpsClampToThePane) {
  Select(File("ten.txt", Lines(10)));
  viewer_->ShowSelectedFile();
  dialogs_.Answer("0");
  viewer_->MjumpClick();
  EXPECT_EQ(pane_.CaretLine(), 0);
  dialogs_.Answer("999");
  viewer_->MjumpClick();
  EXPECT_EQ(pane_.CaretLine(), 9);
  dialogs_.Answer("x");
  viewer_->MjumpClick();
  EXPECT_EQ(pane_.CaretLine(), 0);
  dialogs_.Cancel();
  viewer_->Mlinebottom1Click();
  EXPECT_EQ(pane_.CaretLine(), 9);
  EXPECT_EQ(sbarR_.PanelText(0), QStringLiteral(" 10行 7列 "));

  pane_.Clear();
  viewer_->Mlinebottom1Click();  // an empty pane keeps the caret at the start
  EXPECT_EQ(pane_.CaretLine(), 0);
  EXPECT_EQ(pane_.CaretColumn(), 0);
}

TEST_F(DisplayTest, RtfIsShownFormattedOnlyWithTheOption) {
  Select(File("r.rtf", "{\\rtf1\\ansi {\\fonttbl{\\f0 x;}}{\\b bold}\\par plain}"));
  viewer_->LoadWholeFile();
  EXPECT_EQ(pane_.FirstLineBytes(), "{\\rtf1\\ansi {\\fonttbl{\\f0 x;}}{\\b bold}\\par plain}");
  viewer_->SetRtfOption(true);
  viewer_->LoadWholeFile();
  EXPECT_EQ(pane_.TextBytes(), "bold\r\nplain");
}

TEST_F(DisplayTest, SelectAndShowReturnsToBlackAndOpensTheGate) {
  Select(File("s.txt", "x"));
  state_.DisplayEnabled = false;
  viewer_->SelectAndShow(selection_.path);
  EXPECT_TRUE(state_.DisplayEnabled);
  EXPECT_EQ(viewer_->Colour(), TViewer::InfoColour::Black);
  EXPECT_EQ(pane_.TextBytes(), "x");
}

}  // namespace
}  // namespace sorabu::viewer

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
