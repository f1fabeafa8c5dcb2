#pragma once
// Dates for expressions: the engine's date converter (TgsDBFDate) behind guards for the
// day numbers an expression can hold in a double but no date can have. Day numbers count
// from 2,415,019 (30 December 1899); 0 or less is the empty date.

#include <cstdint>
#include <string>

namespace expdate {

// Blank text or "00000000" gives 0; eight digits give that date; anything else is read
// with the locale's short date format and raises EConvertError when it does not read.
int64_t JulianFromText(const std::string& text);
// "yyyymmdd" for a day above 0, else eight blanks.
std::string JulianToStorage(int64_t day);
// The date in the locale's short date format with a four-digit year; empty for 0 or less.
std::string JulianToDisplay(int64_t day);
// Today by the platform clock.
int64_t JulianToday();

// The day number held in an expression's date double, or 0 for the empty date and for
// values that are no 32-bit day number at all.
int64_t DayOf(double value);

}  // namespace expdate
