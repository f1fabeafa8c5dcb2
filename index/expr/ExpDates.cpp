#include "index/expr/ExpDates.h"

#include <cmath>
#include <vector>

#include "engine/RunErrors.h"
#include "engine/platform/Clock.h"
#include "engine/platform/Locale.h"

namespace expdate {
namespace {

// Days from 1 March of year 0 (proleptic Gregorian) to 30 December 1899.
constexpr int64_t kEpochShift = 693899;

int64_t DaysFromCivilRaw(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - kEpochShift;
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

[[noreturn]] void NotADate(const std::string& text) {
    throw EConvertError(0, "'" + text + "' is not a valid date");
}

// Reads the text in the order of the short date format's d, M and y letters.
int64_t ParseShortDate(const std::string& text) {
    const platform::Locale& loc = platform::CurrentLocale();
    std::string order;
    for (char c : loc.shortDateFormat) {
        char k = c == 'D' ? 'd' : c == 'm' ? 'M' : c == 'Y' ? 'y' : c;
        if ((k == 'd' || k == 'M' || k == 'y') && order.find(k) == std::string::npos) order += k;
    }
    if (order.size() != 3) order = "dMy";
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == loc.dateSeparator) {
            parts.emplace_back();
        } else if (c == ' ' && parts.back().empty()) {
            continue;
        } else if (c >= '0' && c <= '9' && parts.back().size() < 9) {
            parts.back() += c;
        } else {
            NotADate(text);
        }
    }
    if (parts.size() < 2 || parts.size() > 3) NotADate(text);
    for (const std::string& p : parts)
        if (p.empty()) NotADate(text);
    platform::DateTime now = platform::Now();
    int day = 0, month = 0, year = now.year;
    bool shortYear = false;
    size_t next = 0;
    for (char k : order) {
        if (k == 'y' && parts.size() == 2) continue;
        const std::string& p = parts[next++];
        int v = std::stoi(p);
        if (k == 'd') day = v;
        if (k == 'M') month = v;
        if (k == 'y') {
            year = v;
            shortYear = p.size() <= 2;
        }
    }
    if (shortYear) {
        int base = now.year - 50;
        year += base / 100 * 100;
        if (year < base) year += 100;
    }
    int64_t days;
    if (!DaysFromCivil(year, month, day, days)) NotADate(text);
    return kBaseDay + days;
}

std::string Pad(int64_t v, size_t width) {
    std::string s = std::to_string(v < 0 ? -v : v);
    if (s.size() < width) s.insert(0, width - s.size(), '0');
    return v < 0 ? "-" + s : s;
}

}  // namespace

bool DaysFromCivil(int year, int month, int day, int64_t& days) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
        return false;
    days = DaysFromCivilRaw(year, month, day);
    return true;
}

void CivilFromDays(int64_t days, int64_t& year, int& month, int& day) {
    int64_t z = days + kEpochShift;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = yoe + era * 400 + (month <= 2);
}

int64_t JulianFromText(const std::string& text) {
    if (text == "00000000") return 0;
    size_t end = text.find_last_not_of(' ');
    if (end == std::string::npos) return 0;
    std::string t = text.substr(0, end + 1);
    bool digits = t.size() == 8;
    for (char c : t) digits = digits && c >= '0' && c <= '9';
    if (digits) {
        int64_t days;
        if (!DaysFromCivil(std::stoi(t.substr(0, 4)), std::stoi(t.substr(4, 2)),
                           std::stoi(t.substr(6, 2)), days))
            days = 0;
        return kBaseDay + days;
    }
    return ParseShortDate(t);
}

std::string JulianToStorage(int64_t day) {
    if (day <= 0) return std::string(8, ' ');
    int64_t y;
    int m, d;
    CivilFromDays(day - kBaseDay, y, m, d);
    return Pad(y, 4) + Pad(m, 2) + Pad(d, 2);
}

std::string JulianToDisplay(int64_t day) {
    if (day <= 0) return std::string();
    std::string fmt = platform::CurrentLocale().UpperCase(platform::CurrentLocale().shortDateFormat);
    while (fmt.find("YYYY") == std::string::npos) {
        size_t y = fmt.find('Y');
        fmt.insert(y == std::string::npos ? 0 : y, 1, 'Y');
    }
    int64_t y;
    int m, d;
    CivilFromDays(day - kBaseDay, y, m, d);
    std::string out;
    for (size_t i = 0; i < fmt.size();) {
        char c = fmt[i];
        size_t run = 1;
        while (i + run < fmt.size() && fmt[i + run] == c) ++run;
        if (c == 'D') out += Pad(d, run >= 2 ? 2 : 1);
        else if (c == 'M') out += Pad(m, run >= 2 ? 2 : 1);
        else if (c == 'Y') out += run >= 3 ? Pad(y, 4) : Pad(((y % 100) + 100) % 100, 2);
        else out.append(run, c);
        i += run;
    }
    return out;
}

int64_t JulianToday() {
    platform::DateTime now = platform::Now();
    int64_t days;
    if (!DaysFromCivil(now.year, now.month, now.day, days)) days = 0;
    return kBaseDay + days;
}

int64_t DayOf(double value) {
    // Beyond any day a calendar of int64 years can name; also the empty date.
    if (!(std::fabs(value) < 1.0E15)) return 0;
    return static_cast<int64_t>(value);
}

}  // namespace expdate
