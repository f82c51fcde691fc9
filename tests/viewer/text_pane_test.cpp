// The text pane on its own: the byte view's caret, selection, keys and mouse, and the way into
// editing.
#include "viewer/text_pane.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "textconv/cp932.h"
#include "viewer/byte_view.h"

namespace sorabu::viewer {
namespace {

std::string C(const char* utf8) { return textconv::Utf8ToCp932(utf8); }

class TextPaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pane_.resize(600, 400);
    pane_.show();
  }
  TByteView& View() { return *pane_.ByteView(); }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(&View(), key, modifiers); }
  // Paints the visible lines as the screen would.
  void Paint() {
    QImage image(View().viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    View().viewport()->render(&image);
  }
  TTextPane pane_;
};

TEST_F(TextPaneTest, ArrowsStepOverWholeCharactersWhoseSecondByteLooksLikeAscii) {
  // "表" and "ソ" end in 0x5C, a backslash on its own.
  pane_.LoadBytes(C("a表ソ\r\nb"));
  EXPECT_TRUE(pane_.ShowsBytes());
  Key(Qt::Key_Right);
  Key(Qt::Key_Right);
  EXPECT_EQ(View().Caret(), 3u);
  EXPECT_EQ(pane_.CaretColumn(), 2);
  Key(Qt::Key_Right);
  Key(Qt::Key_Right);
  EXPECT_EQ(pane_.CaretLine(), 1) << "past the end of a line to the start of the next";
  EXPECT_EQ(View().Caret(), 7u);
  Key(Qt::Key_Left);
  Key(Qt::Key_Left);
  EXPECT_EQ(View().Caret(), 3u) << "back over the break, then over one double-byte character";
  EXPECT_EQ(pane_.CaretColumn(), 2);
  Key(Qt::Key_End);
  EXPECT_EQ(View().Caret(), 5u);
  Key(Qt::Key_Home);
  EXPECT_EQ(View().Caret(), 0u);
  Key(Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(View().Caret(), 8u);
}

TEST_F(TextPaneTest, SelectionAndCopyTakeWholeCharactersAndNewLines) {
  pane_.LoadBytes(C("あいう\r\nかき"));
  Key(Qt::Key_Right, Qt::ShiftModifier);
  Key(Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(pane_.SelectedBytes(), C("あい"));
  EXPECT_EQ(pane_.SelectionLength(), 2);
  Key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("あい"));

  // A selection starting inside a character starts at the character.
  pane_.SelectBytes(3, 6);
  EXPECT_EQ(pane_.SelectedBytes(), C("いう\r\n"));
  pane_.CopySelection();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("いう\n"));

  Key(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(pane_.SelectedBytes(), pane_.TextBytes());
  Key(Qt::Key_Home);
  EXPECT_FALSE(pane_.HasSelection());
}

TEST_F(TextPaneTest, UpAndDownKeepTheColumnAndTheViewFollowsTheCaret) {
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "line " + std::to_string(i) + "\r\n";
  pane_.LoadBytes(text);
  Paint();
  Key(Qt::Key_Right);
  Key(Qt::Key_Right);
  Key(Qt::Key_Down);
  EXPECT_EQ(pane_.CaretLine(), 1);
  EXPECT_EQ(pane_.CaretColumn(), 2);
  Key(Qt::Key_PageDown);
  EXPECT_GT(pane_.CaretLine(), 10);
  EXPECT_GT(View().TopLine(), 0u);
  Key(Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(pane_.CaretLine(), 1000);
  EXPECT_EQ(pane_.LineCount(), 1000) << "the break at the end starts no line of text";
  const std::size_t top = View().TopLine();
  EXPECT_GT(top, 970u);
  Paint();
  // A click on the second row of the view puts the caret on the line shown there.
  const int row = View().fontMetrics().lineSpacing();
  QTest::mouseClick(View().viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(30, row + row / 2));
  EXPECT_EQ(static_cast<std::size_t>(pane_.CaretLine()), top + 1);
  pane_.SetCaretToLine(5);
  pane_.EnsureCaretVisible();
  EXPECT_EQ(View().TopLine(), 5u);
}

TEST_F(TextPaneTest, WrappedLinesTakeRowsAndDownWalksThem) {
  pane_.SetWordWrap(true);
  std::string text;
  for (int i = 0; i < 400; ++i) text += "word ";
  pane_.LoadBytes(text + "\r\nnext");
  Paint();
  Key(Qt::Key_Down);
  EXPECT_EQ(pane_.CaretLine(), 0) << "the next row of the same line";
  EXPECT_GT(View().Caret(), 20u);
  EXPECT_EQ(View().horizontalScrollBar()->maximum(), 0);
  pane_.SetWordWrap(false);
  Paint();
  EXPECT_GT(View().horizontalScrollBar()->maximum(), 0);
}

TEST_F(TextPaneTest, AWrappedLineTallerThanThePaneScrollsByRows) {
  pane_.SetWordWrap(true);
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "word" + std::to_string(i) + " ";
  pane_.LoadBytes(text + "\r\nnext");
  Paint();
  for (int i = 0; i < 80; ++i) Key(Qt::Key_Down);
  EXPECT_EQ(pane_.CaretLine(), 0) << "still inside the long line";
  const std::size_t caret = View().Caret();
  Paint();
  // The row at the top of the view is no longer the line's first: a click there lands far in.
  QTest::mouseClick(View().viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 3));
  EXPECT_GT(View().Caret(), 1000u);
  EXPECT_LT(View().Caret(), caret);
  Key(Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(pane_.CaretLine(), 1);
}

TEST_F(TextPaneTest, AHugeLineAndControlBytesShowWithoutLosingAByte) {
  std::string line(50 << 20, 'x');
  line[1000] = '\0';
  line[1001] = '\x1b';
  line += "\x82\xA0";
  pane_.LoadBytes(line);
  Paint();
  EXPECT_EQ(pane_.LineCount(), 1);
  pane_.SetCaretToEnd();
  EXPECT_EQ(View().Caret(), line.size() - 2);
  EXPECT_EQ(pane_.CaretColumn(), (50 << 20));
  pane_.EnsureCaretVisible();
  Paint();
  pane_.SelectEverything();
  EXPECT_EQ(pane_.SelectedBytes().size(), line.size());
  EXPECT_EQ(pane_.FirstLineBytes(), line);
}

TEST_F(TextPaneTest, QuickDisplayLinesAreAllCountedAndAddedInPlace) {
  pane_.AddLine("a");
  pane_.AddLine("");
  pane_.AddLine("c\r");
  EXPECT_EQ(pane_.TextBytes(), "a\r\n\r\nc\r");
  EXPECT_EQ(pane_.LineCount(), 4);
  pane_.Clear();
  EXPECT_EQ(pane_.LineCount(), 0);
  EXPECT_TRUE(pane_.IsEmptyText());
}

TEST_F(TextPaneTest, TypingIntoAnEditablePaneMovesTheTextIntoTheEditorWhereTheCaretWas) {
  pane_.LoadBytes(C("一行目\r\n二行目\r\n"));
  pane_.SetEditable(true);
  pane_.SelectBytes(8, 2);  // "二"
  QTest::keyClicks(&View(), QStringLiteral("X"));
  EXPECT_FALSE(pane_.ShowsBytes());
  EXPECT_EQ(pane_.TextBytes(), C("一行目\r\nX行目\r\n"));
  EXPECT_TRUE(pane_.document()->isUndoAvailable());
  pane_.undo();
  EXPECT_EQ(pane_.TextBytes(), C("一行目\r\n二行目\r\n")) << "the load itself is no step to undo";

  // A read-only pane ignores typing.
  pane_.LoadBytes("abc");
  pane_.SetEditable(false);
  QTest::keyClicks(&View(), QStringLiteral("X"));
  EXPECT_TRUE(pane_.ShowsBytes());
  EXPECT_EQ(pane_.TextBytes(), "abc");
}

TEST_F(TextPaneTest, ALargeTextBecomesEditableOnAWorkerAndANewLoadDropsThePendingEdit) {
  std::string text;
  while (text.size() <= 3 * TTextPane::kInstantEditBytes) text += C("日本語の行\r\n");
  pane_.LoadBytes(text);
  pane_.SetEditable(true);
  pane_.SetCaretToLine(2);
  pane_.RunEdit([this] { pane_.insertPlainText(QStringLiteral("!")); });
  EXPECT_TRUE(pane_.PreparingEdit());
  EXPECT_TRUE(pane_.ShowsBytes()) << "the text stays on screen meanwhile";
  ASSERT_TRUE(QTest::qWaitFor([this] { return !pane_.PreparingEdit(); }, 20000));
  EXPECT_FALSE(pane_.ShowsBytes());
  const std::string edited = pane_.TextBytes();
  EXPECT_EQ(edited.size(), text.size() + 1);
  const std::string start = C("日本語の行\r\n日本語の行\r\n!日本語の行");
  EXPECT_EQ(edited.substr(0, start.size()), start) << "made where the caret was";
  pane_.undo();
  EXPECT_EQ(pane_.TextBytes(), text) << "the edit is undone, the load is not";

  pane_.LoadBytes(text);
  pane_.RunEdit([this] { pane_.insertPlainText(QStringLiteral("?")); });
  pane_.LoadBytes("small");
  EXPECT_FALSE(pane_.PreparingEdit());
  QTest::qWait(50);
  EXPECT_EQ(pane_.TextBytes(), "small") << "the edit meant for the old text is dropped";
  EXPECT_TRUE(pane_.ShowsBytes());
}

TEST_F(TextPaneTest, RichTextStaysInTheEditor) {
  pane_.SetPlainTextMode(false);
  pane_.LoadBytes("{\\rtf1 {\\b bold} plain\\par second}");
  EXPECT_FALSE(pane_.ShowsBytes());
  EXPECT_EQ(pane_.LineCount(), 2);
  EXPECT_EQ(pane_.FirstLineBytes(), "bold plain");
  pane_.SetPlainTextMode(true);
  pane_.LoadBytes("plain");
  EXPECT_TRUE(pane_.ShowsBytes());
}

}  // namespace
}  // namespace sorabu::viewer
