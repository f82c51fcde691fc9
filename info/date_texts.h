// The texts of the date item and its message: caption, date, Japanese era date, time and the
// zodiac sign. All results are CP932 bytes; weekday names come from the caller (the locale's).
#pragma once

#include <string>

namespace sorabu::info {

struct TDateTime {
  int year = 2000, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0;
};

struct TEraYear {
  std::string name;  // CP932, e.g. 令和; empty when the calendar knows no era for the date
  int year = 0;      // year within the era, 1 for the first year
};

// The Japanese era of a Gregorian date, from ICU's Japanese calendar.
TEraYear JapaneseEra(int year, int month, int day);

// The sign of the day: month × 100 + day picks it; "判定不能" for a value outside the table.
std::string ZodiacSign(int month, int day);

// " 2025.7.5 (土)": the caption of the date item in the menu bar.
std::string NowCaption(const TDateTime& t, const std::string& shortWeekday);
// The message of the date item: "現在", date, era date, time and sign, separated by "\r\r".
std::string NowMessage(const TDateTime& t, const std::string& shortWeekday, const std::string& longWeekday);

}  // namespace sorabu::info
