#pragma once
// Dates for expressions: Julian day numbers to and from texts, through the platform's
// clock and locale. Day numbers count from the engine's base day 2,415,019
// (30 December 1899); 0 or less is the empty date.

#include <cstdint>
#include <string>

namespace expdate {

constexpr int64_t kBaseDay = 2415019;

// Days since 30 December 1899 of a calendar date; false when it is no date of the
// years 1 to 9999.
bool DaysFromCivil(int year, int month, int day, int64_t& days);
void CivilFromDays(int64_t days, int64_t& year, int& month, int& day);

// Blank text or "00000000" gives 0; eight digits give that date (an impossible one
// gives the base day); anything else is read with the locale's short date format and
// raises EConvertError when it does not read.
int64_t JulianFromText(const std::string& text);
// "yyyymmdd" for a day above 0, else eight blanks.
std::string JulianToStorage(int64_t day);
// The date in the locale's short date format with a four-digit year; empty for 0 or less.
std::string JulianToDisplay(int64_t day);
// Today by the platform clock.
int64_t JulianToday();

// The day number held in an expression's date double, or 0 for the empty date and for
// values that are no day number at all.
int64_t DayOf(double value);

}  // namespace expdate
