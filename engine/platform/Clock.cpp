#include "engine/platform/Clock.h"

#include <sys/time.h>

#include <ctime>
#include <mutex>

namespace platform {

DateTime SystemClock::Now() const {
    timeval tv{};
    gettimeofday(&tv, nullptr);
    time_t secs = tv.tv_sec;
    tm local{};
    localtime_r(&secs, &local);
    DateTime t;
    t.year = local.tm_year + 1900;
    t.month = local.tm_mon + 1;
    t.day = local.tm_mday;
    t.hour = local.tm_hour;
    t.minute = local.tm_min;
    t.second = local.tm_sec > 59 ? 59 : local.tm_sec;
    t.millisecond = static_cast<int>(tv.tv_usec / 1000);
    return t;
}

namespace {
std::mutex gClockMutex;
std::shared_ptr<Clock>& CurrentClock() {
    static std::shared_ptr<Clock> clock = std::make_shared<SystemClock>();
    return clock;
}
}  // namespace

DateTime Now() {
    std::shared_ptr<Clock> c;
    {
        std::lock_guard<std::mutex> g(gClockMutex);
        c = CurrentClock();
    }
    return c->Now();
}

std::shared_ptr<Clock> SetClock(std::shared_ptr<Clock> clock) {
    std::lock_guard<std::mutex> g(gClockMutex);
    if (!clock) clock = std::make_shared<SystemClock>();
    std::swap(CurrentClock(), clock);
    return clock;
}

}  // namespace platform
