#pragma once
// Date-and-time values as the dataset's fields give them: a real number of days since
// 30 December 1899 (the fraction is the time of day), 0 meaning "no date".

#include <cstdint>
#include <string>

#include "engine/platform/Clock.h"

using TDateTime = double;

// Days since 30 December 1899 of a calendar date (no validity check).
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeDateTime(const platform::DateTime& t);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
// The current date and time from the platform's clock.
TDateTime Now();
// Julian day numbers of the engine and back (the whole days only).
int32_t DateTimeToJulian(TDateTime value);
TDateTime JulianToDateTime(int32_t julian);
// Milliseconds since 1 January 0001 (the stored form of a date-time field) and back.
double DateTimeToMilliseconds(TDateTime value);
TDateTime MillisecondsToDateTime(double ms);
// The locale's short date, and " hh:mm:ss" after it when there is a time of day.
std::string DateToText(TDateTime value);
std::string DateTimeToText(TDateTime value);
