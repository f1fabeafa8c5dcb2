#include "app/Elapsed.h"

#include "engine/DBFDate.h"

#include <cstdio>

int64_t MillisecondsOf(const platform::DateTime& t) {
    const int64_t days = TgsDBFDate::DayCount(t.year, t.month, t.day);
    return ((days * 24 + t.hour) * 60 + t.minute) * 60000 + int64_t(t.second) * 1000 + t.millisecond;
}

std::string FormatElapsed(int64_t milliseconds) {
    if (milliseconds < 0) milliseconds = 0;
    const int64_t secs = milliseconds / 1000;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%lld:%02d:%02d", static_cast<long long>(secs / 3600), int(secs / 60 % 60),
                  int(secs % 60));
    return buf;
}
