// The program speaks only Japanese, whatever the desktop's locale: Qt's own dialogs and menus
// take Qt's Japanese translation, and day names and dates are written the Japanese way.
#pragma once

#include <QLocale>
#include <QString>

class QCoreApplication;

namespace sorabu::uitext {

QLocale JapaneseLocale();
// 火 or 火曜日 for day 2 (Monday is 1, as QDate counts).
QString JapaneseWeekday(int dayOfWeek, QLocale::FormatType format = QLocale::ShortFormat);

// Installs Qt's Japanese translation into the application and makes Japanese the default
// locale; false when the translation is not on this machine (Qt then stays English).
bool UseJapaneseQt(QCoreApplication& application);

}  // namespace sorabu::uitext
