#include "uitext/japanese_locale.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace sorabu::uitext {

QLocale JapaneseLocale() { return QLocale(QLocale::Japanese, QLocale::Japan); }

QString JapaneseWeekday(int dayOfWeek, QLocale::FormatType format) {
  return JapaneseLocale().dayName(dayOfWeek, format);
}

bool UseJapaneseQt(QCoreApplication& application) {
  QLocale::setDefault(JapaneseLocale());
  // qtbase holds the texts of the widgets and of the standard dialogs.
  auto* translator = new QTranslator(&application);
  if (!translator->load(JapaneseLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace sorabu::uitext
