// The print settings dialog, driven through its widgets without exec().
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "textconv/cp932.h"
#include "ui/TPrintSetDialog.h"

namespace sorabu::ui {
namespace {

dialogs::TDialogs::PrintMarginSetup Letter() {
  dialogs::TDialogs::PrintMarginSetup s;
  s.top = "12";
  s.bottom = "0";     // below its minimum of 5
  s.left = "300";     // above its maximum of 208
  s.right = "";       // an empty field shows 0, which is inside 0-204
  s.topRange = {3, 143};
  s.bottomRange = {5, 141};
  s.leftRange = {4, 208};
  s.rightRange = {0, 204};
  s.paper = textconv::Utf8ToCp932("ﾚﾀｰ 216x279");
  return s;
}

TEST(PrintSetDialogTest, ShowsRangesAndHoldsEachFieldInsideItsRange) {
  TPrintSetDialog d(Letter());
  EXPECT_EQ(d.windowTitle(), QStringLiteral("印刷設定"));
  EXPECT_EQ(d.Paper()->text(), QStringLiteral("ﾚﾀｰ 216x279"));
  // Ranges beside the fields; opening moves values outside them to the minimum.
  const std::pair<QLineEdit*, const char*> kFields[] = {
      {d.Top(), "12 3-143"}, {d.Bottom(), "5 5-141"}, {d.Left(), "4 4-208"}, {d.Right(), "0 0-204"}};
  for (const auto& [field, shown] : kFields)
    EXPECT_EQ(field->text() + ' ' + d.RangeOf(field)->text(), QString::fromLatin1(shown));
  EXPECT_EQ(d.Top()->maxLength(), 4);

  d.show();
  // Emptying a field shows 0 at once.
  d.Top()->setFocus();
  d.Top()->selectAll();
  QTest::keyClick(d.Top(), Qt::Key_Backspace);
  EXPECT_EQ(d.Top()->text(), QStringLiteral("0"));
  // Letters are refused; a value above the maximum falls back to the minimum when the field is left.
  d.Left()->setFocus();
  d.Left()->selectAll();
  QTest::keyClicks(d.Left(), QStringLiteral("2x09"));
  EXPECT_EQ(d.Left()->text(), QStringLiteral("209"));
  QTest::keyClick(d.Left(), Qt::Key_Return);  // editing finished (the dialog stays open: no exec)
  EXPECT_EQ(d.Left()->text(), QStringLiteral("4"));
  d.Right()->setText(QStringLiteral("204"));

  // OK holds the top's 0 to its minimum too, and answers the fields.
  d.accept();
  const auto answer = d.Answer();
  EXPECT_EQ(answer.top, "3");
  EXPECT_EQ(answer.bottom, "5");
  EXPECT_EQ(answer.left, "4");
  EXPECT_EQ(answer.right, "204");
}

}  // namespace
}  // namespace sorabu::ui
