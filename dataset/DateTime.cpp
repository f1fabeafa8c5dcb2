#include "dataset/DateTime.h"

#include <cmath>
#include <cstdio>

#include "engine/DBFDate.h"

namespace {
constexpr double kMsPerDay = 86400000.0;
// Days from 1 January 0001 (day 1) to 30 December 1899.
constexpr double kDateDelta = 693594.0;
}  // namespace

TDateTime EncodeDate(int year, int month, int day) {
    return static_cast<double>(TgsDBFDate::DayCount(year, month, day));
}

TDateTime EncodeDateTime(const platform::DateTime& t) {
    double time = (t.hour * 3600000.0 + t.minute * 60000.0 + t.second * 1000.0 + t.millisecond) / kMsPerDay;
    return EncodeDate(t.year, t.month, t.day) + time;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
    TgsDBFDate::FromDayCount(static_cast<int64_t>(std::floor(value)), year, month, day);
}

TDateTime Now() { return EncodeDateTime(platform::Now()); }

int32_t DateTimeToJulian(TDateTime value) {
    return static_cast<int32_t>(std::floor(value)) + gsBaseJulianDay;
}

TDateTime JulianToDateTime(int32_t julian) {
    return julian <= 0 ? 0.0 : static_cast<double>(julian - gsBaseJulianDay);
}

double DateTimeToMilliseconds(TDateTime value) {
    return std::round((value + kDateDelta) * kMsPerDay);
}

TDateTime MillisecondsToDateTime(double ms) { return ms / kMsPerDay - kDateDelta; }

std::string DateToText(TDateTime value) {
    return TgsDBFDate::Instance().JulianToDisplay(DateTimeToJulian(value));
}

std::string DateTimeToText(TDateTime value) {
    std::string text = DateToText(value);
    double frac = value - std::floor(value);
    long secs = std::lround(frac * 86400.0);
    if (secs > 0 && secs < 86400) {
        char buf[16];
        std::snprintf(buf, sizeof buf, " %02ld:%02ld:%02ld", secs / 3600, secs / 60 % 60, secs % 60);
        text += buf;
    }
    return text;
}
