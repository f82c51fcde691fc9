#include "info/date_texts.h"

#include <unicode/calendar.h>
#include <unicode/gregocal.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <memory>

#include "textconv/cp932.h"

namespace sorabu::info {

namespace {

std::string C(const char* utf8) { return textconv::Utf8ToCp932(utf8); }

}  // namespace

TEraYear JapaneseEra(int year, int month, int day) {
  UErrorCode status = U_ZERO_ERROR;
  // Noon in UTC, so that no time zone moves the date across midnight.
  std::unique_ptr<icu::TimeZone> utc(icu::TimeZone::createTimeZone("UTC"));
  icu::GregorianCalendar gregorian(*utc, status);
  gregorian.clear();
  gregorian.set(year, month - 1, day, 12, 0, 0);
  const UDate when = gregorian.getTime(status);
  const icu::Locale japanese("ja_JP@calendar=japanese");
  std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(utc->clone(), japanese, status));
  if (U_FAILURE(status) || !calendar) return {};
  calendar->setTime(when, status);
  const int eraYear = calendar->get(UCAL_YEAR, status);
  icu::SimpleDateFormat format(icu::UnicodeString(u"G"), japanese, status);
  if (U_FAILURE(status)) return {};
  format.adoptCalendar(calendar.release());
  icu::UnicodeString name;
  format.format(when, name);
  std::string utf8;
  name.toUTF8String(utf8);
  if (U_FAILURE(status)) return {};
  return {textconv::Utf8ToCp932(utf8), eraYear};
}

std::string ZodiacSign(int month, int day) {
  struct Range {
    int from, to;
    const char* text;
  };
  // Capricorn alone has an ordinary blank; the others have the ideographic space.
  static const Range kSigns[] = {
      {101, 119, "山羊座 Capricorn"}, {120, 218, "水瓶座　Aquarius"}, {219, 320, "魚座　Pisces"},
      {321, 419, "牡羊座　Aries"},     {420, 520, "牡牛座　Taurus"},   {521, 621, "双子座　Gemini"},
      {622, 722, "蟹座　Cancer"},      {723, 821, "獅子座　Leo"},      {822, 922, "乙女座　Virgo"},
      {923, 1023, "天秤座　Libra"},    {1024, 1122, "蠍座　Scorpio"},  {1123, 1221, "射手座　Sagittarius"},
      {1222, 1231, "山羊座 Capricorn"}};
  const int m = month * 100 + day;
  for (const Range& r : kSigns)
    if (m >= r.from && m <= r.to) return C(r.text);
  return C("判定不能");
}

std::string NowCaption(const TDateTime& t, const std::string& shortWeekday) {
  return " " + std::to_string(t.year) + "." + std::to_string(t.month) + "." + std::to_string(t.day) + " (" +
         shortWeekday + ")";
}

std::string NowMessage(const TDateTime& t, const std::string& shortWeekday, const std::string& longWeekday) {
  const std::string monthDay = std::to_string(t.month) + C("月 ") + std::to_string(t.day) + C("日 (");
  const TEraYear era = JapaneseEra(t.year, t.month, t.day);
  std::string text = C("現在") + "\r\r";
  text += std::to_string(t.year) + C("年 ") + monthDay + shortWeekday + ")\r\r";
  text += era.name + std::to_string(era.year) + C("年 ") + monthDay + longWeekday + ")\r\r";
  text += std::to_string(t.hour) + C("時 ") + std::to_string(t.minute) + C("分 ") + std::to_string(t.second) +
          C("秒") + "\r\r";
  text += ZodiacSign(t.month, t.day);
  return text;
}

}  // namespace sorabu::info
