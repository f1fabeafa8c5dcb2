#pragma once
// The one clock the engine and the program read. Tests install a clock of their own.

#include <memory>

namespace platform {

struct DateTime {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime Now() const = 0;
};

// Local time from the system clock.
class SystemClock : public Clock {
public:
    DateTime Now() const override;
};

// A clock that always says the same time; tests move it by assigning `now`.
class FixedClock : public Clock {
public:
    explicit FixedClock(DateTime t) : now(t) {}
    DateTime Now() const override { return now; }
    DateTime now;
};

DateTime Now();
// Installs `clock` (null restores the system clock) and returns the previous one.
std::shared_ptr<Clock> SetClock(std::shared_ptr<Clock> clock);

}  // namespace platform
