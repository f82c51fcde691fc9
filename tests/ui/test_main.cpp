#include <gtest/gtest.h>

#include <QApplication>

#include "uitext/japanese_locale.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // As the program starts: Qt's own dialogs in Japanese.
  sorabu::uitext::UseJapaneseQt(app);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
