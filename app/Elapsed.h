#pragma once
// Time spans between two readings of the clock.

#include "engine/platform/Clock.h"

#include <cstdint>
#include <string>

// Milliseconds since 30 December 1899 00:00 for a clock reading.
int64_t MillisecondsOf(const platform::DateTime& t);
// "h:nn:ss": hours without a leading zero (all of them, past a day too), minutes and
// seconds with two digits. A negative span (the clock set back) shows as 0:00:00.
std::string FormatElapsed(int64_t milliseconds);
