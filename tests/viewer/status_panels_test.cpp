// The status bars' panels: written panels fit their text, and the last one takes the bar's
// remaining width, so a long hint is shown whole rather than cut at the panel's first width.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QMainWindow>

#include "viewer/status_panels.h"

namespace sorabu::viewer {
namespace {

int Fitted(const QWidget& bar, const QString& text) {
  return QFontMetrics(bar.font()).horizontalAdvance(QLatin1Char(' ') + text + QLatin1Char(' '));
}

TEST(StatusPanelsTest, TheLastPanelTakesTheRestAndShowsTheWholeHint) {
  QMainWindow window;
  auto* bar = new TStatusPanels({300, 100, 120, 80, 50});
  window.setStatusBar(bar);
  window.resize(1100, 300);
  window.show();
  const QString hint = QStringLiteral("選択したファイルの属性を変更します。");
  bar->SetPanelText(4, hint, false);
  QApplication::processEvents();
  EXPECT_EQ(bar->PanelWidth(0), 300);
  EXPECT_EQ(bar->PanelWidth(3), 80);
  EXPECT_GE(bar->PanelWidth(4), Fitted(*bar, hint));

  // The bar widened, the last panel widens with it.
  const int wide = bar->PanelWidth(4);
  window.resize(1400, 300);
  QApplication::processEvents();
  EXPECT_GT(bar->PanelWidth(4), wide);
  // Narrowed below the panels' widths, the last keeps its own first width.
  window.resize(500, 300);
  QApplication::processEvents();
  EXPECT_GE(bar->PanelWidth(4), 50);
}

}  // namespace
}  // namespace sorabu::viewer
