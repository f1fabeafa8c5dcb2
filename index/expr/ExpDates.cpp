#include "index/expr/ExpDates.h"

#include <cmath>

#include "engine/DBFDate.h"

namespace expdate {

int64_t JulianFromText(const std::string& text) {
    return TgsDBFDate::Instance().JulianFromText(text);
}

std::string JulianToStorage(int64_t day) {
    if (day <= 0 || day > INT32_MAX) return std::string(8, ' ');
    return TgsDBFDate::Instance().JulianToStorage(static_cast<int32_t>(day));
}

std::string JulianToDisplay(int64_t day) {
    if (day <= 0 || day > INT32_MAX) return std::string();
    return TgsDBFDate::Instance().JulianToDisplay(static_cast<int32_t>(day));
}

int64_t JulianToday() { return TgsDBFDate::Instance().JulianToday(); }

int64_t DayOf(double value) {
    if (!(value > 0 && value <= INT32_MAX)) return 0;
    return static_cast<int64_t>(value);
}

}  // namespace expdate
