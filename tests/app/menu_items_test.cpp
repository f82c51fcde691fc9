// The helpers that fill the window's menus: twins in step, items before their anchor, the
// shortcut list's order, and a missing menu reported instead of items lost without a word.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include "app/menu_items.h"
#include "window_fixture.h"

namespace sorabu::app {
namespace {

QStringList Names(const QMenu* menu) {
  QStringList names;
  for (QAction* a : menu->actions()) names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
  return names;
}

QStringList gWarnings;
void Collect(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtWarningMsg) gWarnings << text;
}

class MenuItemsTest : public MainWindowTest {};

TEST_F(MenuItemsTest, TwinsGoInBeforeTheirAnchorsWithThePopupNamesAndCaptions) {
  TForm1& f = Start();
  QMenu main, popup;
  QAction* mainAnchor = main.addAction(QStringLiteral("anchor"));
  mainAnchor->setObjectName(QStringLiteral("A1"));
  QAction* popupAnchor = popup.addAction(QStringLiteral("anchor"));
  popupAnchor->setObjectName(QStringLiteral("A2"));
  const MenuItemSpec items[] = {
      {"X1", "X2", "エックス(&X)", &TForm1::MrefreshClick, nullptr, "ポップアップ(&P)"},
      {nullptr, nullptr, nullptr, nullptr},
      {"Y1", "Y2", "ワイ(&Y)", &TForm1::MrefreshClick},
  };
  InsertTwins(f, {&main, &popup}, {mainAnchor, popupAnchor}, items);
  EXPECT_EQ(Names(&main), (QStringList{"X1", "-", "Y1", "A1"}));
  EXPECT_EQ(Names(&popup), (QStringList{"X2", "-", "Y2", "A2"}));
  EXPECT_EQ(main.actions()[0]->text(), QString::fromUtf8("エックス(&X)"));
  EXPECT_EQ(popup.actions()[0]->text(), QString::fromUtf8("ポップアップ(&P)"));

  InsertTwins(f, {&main, &popup}, TMenuEnd::Front, std::span(items).first(1));
  InsertTwins(f, {&main, &popup}, TMenuEnd::Back, std::span(items).last(1));
  EXPECT_EQ(Names(&main), (QStringList{"X1", "X1", "-", "Y1", "A1", "Y1"}));
}

TEST_F(MenuItemsTest, AMissingTwinIsReportedAndNothingGoesIn) {
  TForm1& f = Start();
  QMenu main;
  const MenuItemSpec items[] = {{"X1", "X2", "エックス", &TForm1::MrefreshClick}};
#ifdef QT_NO_DEBUG
  gWarnings.clear();
  const QtMessageHandler before = qInstallMessageHandler(Collect);
  InsertTwins(f, {&main, nullptr}, TMenuEnd::Back, items);
  qInstallMessageHandler(before);
  EXPECT_TRUE(main.actions().isEmpty());
  ASSERT_EQ(gWarnings.size(), 1);
  EXPECT_TRUE(gWarnings[0].contains(QStringLiteral("never made")));
#else
  EXPECT_DEATH(InsertTwins(f, {&main, nullptr}, TMenuEnd::Back, items), "never made");
#endif
}

TEST_F(MenuItemsTest, TheFileMenusGroupsGoInAboveExitAndShortcutsKeepTheirOrder) {
  TForm1& f = Start();
  const std::array<QAction*, 2> before = BeforeExit(f.Menus().file);
  for (const bool popup : {false, true}) {
    const QList<QAction*> actions = (popup ? f.Menus().file.popup : f.Menus().file.main)->actions();
    const qsizetype at = actions.indexOf(before[popup]);
    ASSERT_GE(at, 0);
    EXPECT_TRUE(actions[at]->isSeparator());
    ASSERT_LT(at + 1, actions.size());
    EXPECT_EQ(actions[at + 1]->objectName(), QString::fromLatin1(popup ? "Mexit2" : "Mexit1"));
  }

  QMenu shortcuts;
  shortcuts.addAction(QStringLiteral("old"))->setObjectName(QStringLiteral("Old"));
  AddShortcuts(f, &shortcuts, {{"S1", "&1 一", &TForm1::MrefreshClick}, {"S2", "&2 二", &TForm1::MrefreshClick}});
  EXPECT_EQ(Names(&shortcuts), (QStringList{"S1", "S2", "Old"}));
}

}  // namespace
}  // namespace sorabu::app
