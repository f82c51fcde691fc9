// The worker that builds a large text's document: the pieces it cuts join to the whole text (no
// CR LF or character split at a cut), a Stop or a second Start drops what the first would have
// handed over, and the document arrives on the owner's thread.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QThread>

#include "textconv/cp932.h"
#include "viewer/document_builder.h"
#include "viewer/pane_text.h"

namespace sorabu::viewer {
namespace {

// More than two of the worker's pieces, with lines that end in CR LF, CR and LF and kanji that
// cross every cut.
std::string LargeText() {
  std::string line = textconv::Sjis("漢字の行、ｶﾅもある。");
  std::string text;
  const char* ends[] = {"\r\n", "\r", "\n"};
  for (int i = 0; text.size() < 2'600'000; ++i) text += line + std::to_string(i) + ends[i % 3];
  // One long line with no break at all, so that a cut falls between characters.
  for (int i = 0; i < 200'000; ++i) text += textconv::Sjis("表");
  return text;
}

TEST(DocumentBuilderTest, TheDocumentIsTheWholeTextAndArrivesOnTheOwnersThread) {
  TDocumentBuilder builder;
  QSignalSpy ready(&builder, &TDocumentBuilder::Ready);
  const std::string text = LargeText();
  builder.Start(text, textconv::TextForm::Cp932);
  EXPECT_EQ(builder.Take(), nullptr);  // not before Ready
  ASSERT_TRUE(ready.wait(30000));
  EXPECT_EQ(builder.Percent(), 100);
  std::unique_ptr<QTextDocument> doc = builder.Take();
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->thread(), QThread::currentThread());
  EXPECT_EQ(doc->toPlainText(), DecodeForPane(text));
  EXPECT_FALSE(doc->isUndoRedoEnabled());
  EXPECT_EQ(builder.Take(), nullptr);  // handed over once
}

TEST(DocumentBuilderTest, Utf8TextIsCutBetweenCharacters) {
  TDocumentBuilder builder;
  QSignalSpy ready(&builder, &TDocumentBuilder::Ready);
  std::string text;
  while (text.size() < 2'200'000) text += "日本語のテキスト";  // no line break anywhere
  builder.Start(text, textconv::TextForm::Utf8);
  ASSERT_TRUE(ready.wait(30000));
  std::unique_ptr<QTextDocument> doc = builder.Take();
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->toPlainText(), QString::fromStdString(text));
}

TEST(DocumentBuilderTest, AStopOrANewStartDropsWhatTheFormerBuildWouldHaveHandedOver) {
  TDocumentBuilder builder;
  QSignalSpy ready(&builder, &TDocumentBuilder::Ready);
  const std::string text = LargeText();
  builder.Start(text, textconv::TextForm::Cp932);
  builder.Stop();
  QTest::qWait(200);
  EXPECT_EQ(ready.count(), 0);
  EXPECT_EQ(builder.Take(), nullptr);

  // A finished build whose Ready is still queued when the next one starts.
  builder.Start("first\r\n", textconv::TextForm::Cp932);
  QThread::msleep(100);
  builder.Start("second\r\n", textconv::TextForm::Cp932);
  ASSERT_TRUE(QTest::qWaitFor([&] { return ready.count() > 0; }, 10000));
  QTest::qWait(100);
  EXPECT_EQ(ready.count(), 1);
  std::unique_ptr<QTextDocument> doc = builder.Take();
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->toPlainText(), QStringLiteral("second\n"));
}

// Under ThreadSanitizer this is where a worker outliving its builder would show.
TEST(DocumentBuilderTest, TheBuilderEndsWhileItsWorkerRuns) {
  auto builder = std::make_unique<TDocumentBuilder>();
  QObject watcher;
  bool readyCame = false;
  QObject::connect(builder.get(), &TDocumentBuilder::Ready, &watcher, [&] { readyCame = true; });
  builder->Start(LargeText(), textconv::TextForm::Cp932);
  builder.reset();  // joins the worker; nothing queued reaches a builder that is gone
  QTest::qWait(200);
  EXPECT_FALSE(readyCame);
}

}  // namespace
}  // namespace sorabu::viewer
