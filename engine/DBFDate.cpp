#include "engine/DBFDate.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/RunErrors.h"
#include "engine/platform/Clock.h"
#include "engine/platform/Locale.h"

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

const int64_t kEpochOffset = DaysFromCivil(1899, 12, 30);

std::string TrimRight(const std::string& s) {
    size_t n = s.size();
    while (n > 0 && s[n - 1] == ' ') --n;
    return s.substr(0, n);
}

[[noreturn]] void NotADate(const std::string& text) {
    throw EConvertError(0, "'" + text + "' is not a valid date");
}

// Parses a date in a short date format made of d, M and y runs and separators.
int64_t ParseLocaleDate(const std::string& text) {
    const std::string& fmt = platform::CurrentLocale().shortDateFormat;
    std::string order;
    for (char c : fmt) {
        char u = static_cast<char>(c == 'm' ? 'M' : (c == 'D' ? 'd' : (c == 'Y' ? 'y' : c)));
        if ((u == 'd' || u == 'M' || u == 'y') && order.find(u) == std::string::npos) order += u;
    }
    if (order.size() != 3) order = "dMy";
    std::vector<std::string> parts;
    std::string cur;
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            cur += c;
        } else {
            if (cur.empty()) NotADate(text);
            parts.push_back(cur);
            cur.clear();
            if (parts.size() == 3) NotADate(text);
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    if (parts.size() != 3) NotADate(text);
    int d = 0, m = 0, y = 0;
    bool shortYear = false;
    for (int k = 0; k < 3; ++k) {
        if (parts[k].size() > 4) NotADate(text);
        int v = std::stoi(parts[k]);
        if (order[k] == 'd') d = v;
        if (order[k] == 'M') m = v;
        if (order[k] == 'y') {
            y = v;
            shortYear = parts[k].size() <= 2;
        }
    }
    if (shortYear) {
        // The century that puts the year within fifty years of this one.
        int now = platform::Now().year;
        int century = now - now % 100;
        y += century;
        if (y > now + 49) y -= 100;
        if (y < now - 50) y += 100;
    }
    if (!TgsDBFDate::ValidDate(y, m, d)) NotADate(text);
    return TgsDBFDate::DayCount(y, m, d);
}

}  // namespace

TgsDBFDate& TgsDBFDate::Instance() {
    static TgsDBFDate instance;
    return instance;
}

TgsDBFDate::TgsDBFDate()
    : baseDay_(static_cast<int32_t>(2444240 - DayCount(1980, 1, 1))) {}

int64_t TgsDBFDate::DayCount(int year, int month, int day) {
    return DaysFromCivil(year, month, day) - kEpochOffset;
}

void TgsDBFDate::FromDayCount(int64_t count, int& year, int& month, int& day) {
    CivilFromDays(count + kEpochOffset, year, month, day);
}

bool TgsDBFDate::ValidDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

int32_t TgsDBFDate::JulianFromText(const std::string& text) const {
    std::string t = TrimRight(text);
    if (t.empty() || text == "00000000") return 0;
    if (t.size() == 8 && t.find_first_not_of("0123456789") == std::string::npos) {
        auto digits = [&](size_t at, size_t n) {
            int v = 0;
            for (size_t i = at; i < at + n; ++i) v = v * 10 + (t[i] - '0');
            return v;
        };
        int y = digits(0, 4), m = digits(4, 2), d = digits(6, 2);
        if (!ValidDate(y, m, d)) return baseDay_;
        return static_cast<int32_t>(baseDay_ + DayCount(y, m, d));
    }
    return static_cast<int32_t>(baseDay_ + ParseLocaleDate(t));
}

void TgsDBFDate::JulianSplit(int32_t day, int& year, int& month, int& dayOfMonth) const {
    FromDayCount(static_cast<int64_t>(day) - baseDay_, year, month, dayOfMonth);
}

std::string TgsDBFDate::JulianToStorage(int32_t day) const {
    if (day <= 0) return std::string(8, ' ');
    int y, m, d;
    JulianSplit(day, y, m, d);
    if (y < 0 || y > 9999) return std::string(8, ' ');
    // Digit by digit: this runs for every date stored, and snprintf was most of its cost.
    std::string out(8, '0');
    const int parts[3] = {y, m, d};
    const int widths[3] = {4, 2, 2};
    for (int k = 0, at = 0; k < 3; at += widths[k], ++k) {
        int v = parts[k];
        for (int i = widths[k] - 1; i >= 0; --i, v /= 10) out[static_cast<size_t>(at + i)] = static_cast<char>('0' + v % 10);
    }
    return out;
}

namespace {

// A short date format taken apart once: runs of D, M and Y with their lengths, and the
// literal text between them.
struct DisplayFormat {
    std::string source;
    struct Piece {
        char kind;  // 'D', 'M', 'Y' or 0 for literal text
        size_t run;
        std::string text;
    };
    std::vector<Piece> pieces;
};

DisplayFormat Compile(const std::string& shortDateFormat) {
    DisplayFormat f;
    f.source = shortDateFormat;
    std::string fmt = platform::CurrentLocale().UpperCase(shortDateFormat);
    while (fmt.find("YYYY") == std::string::npos) {
        size_t y = fmt.find('Y');
        fmt.insert(y == std::string::npos ? 0 : y, 1, 'Y');
    }
    for (size_t i = 0; i < fmt.size();) {
        char c = fmt[i];
        size_t run = 1;
        while (i + run < fmt.size() && fmt[i + run] == c) ++run;
        if (c == 'D' || c == 'M' || c == 'Y') {
            f.pieces.push_back({c, run, {}});
        } else if (!f.pieces.empty() && f.pieces.back().kind == 0) {
            f.pieces.back().text.append(run, c);
        } else {
            f.pieces.push_back({0, 0, std::string(run, c)});
        }
        i += run;
    }
    return f;
}

// Writes value with at least minDigits digits at p; returns the end. Days, months and
// years take the short ways.
inline char* PutNumber(char* p, int value, size_t minDigits) {
    if (minDigits == 2 && value >= 0 && value < 100) {
        p[0] = static_cast<char>('0' + value / 10);
        p[1] = static_cast<char>('0' + value % 10);
        return p + 2;
    }
    if (minDigits == 4 && value >= 1000 && value <= 9999) {
        const int hi = value / 100, lo = value % 100;
        p[0] = static_cast<char>('0' + hi / 10);
        p[1] = static_cast<char>('0' + hi % 10);
        p[2] = static_cast<char>('0' + lo / 10);
        p[3] = static_cast<char>('0' + lo % 10);
        return p + 4;
    }
    char digits[12];
    size_t n = 0;
    unsigned v = static_cast<unsigned>(value < 0 ? -value : value);
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v && n < sizeof digits);
    while (n < minDigits && n < sizeof digits) digits[n++] = '0';
    if (value < 0) *p++ = '-';
    while (n) *p++ = digits[--n];
    return p;
}

}  // namespace

std::string TgsDBFDate::JulianToDisplay(int32_t day) const {
    if (day <= 0) return "";
    int y, m, d;
    JulianSplit(day, y, m, d);
    return DateToDisplay(y, m, d);
}

std::string TgsDBFDate::DateToDisplay(int year, int month, int day) const {
    char buf[kDisplaySize];
    return std::string(buf, DateToDisplay(year, month, day, buf));
}

namespace {

// The locale's short date format taken apart, kept per thread until another locale is
// installed: every grid cell and field text of a date comes through here.
const DisplayFormat& CurrentDisplayFormat() {
    thread_local DisplayFormat format;
    thread_local uint64_t compiledFor = 0;
    const uint64_t generation = platform::LocaleGeneration();
    if (compiledFor != generation) {
        format = Compile(platform::CurrentLocale().shortDateFormat);
        compiledFor = generation;
    }
    return format;
}

// Copies the literal text of a format piece, within the room left before `limit`.
char* PutText(char* at, const std::string& text, const char* limit) {
    const size_t k = std::min(text.size(), static_cast<size_t>(limit - at));
    for (size_t i = 0; i < k; ++i) at[i] = text[i];  // mostly one separator
    return at + k;
}

}  // namespace

size_t TgsDBFDate::DateToDisplay(int year, int month, int day, char* buf) const {
    const char* limit = buf + kDisplaySize - 16;
    char* at = buf;
    for (const DisplayFormat::Piece& p : CurrentDisplayFormat().pieces) {
        if (at > limit) break;  // a format longer than any date text
        switch (p.kind) {
            case 'D': at = PutNumber(at, day, p.run >= 2 ? 2 : 1); break;
            case 'M': at = PutNumber(at, month, p.run >= 2 ? 2 : 1); break;
            case 'Y': at = PutNumber(at, p.run >= 3 ? year : year % 100, p.run >= 3 ? 4 : 2); break;
            default: at = PutText(at, p.text, limit);
        }
    }
    return static_cast<size_t>(at - buf);
}

size_t TgsDBFDate::DigitsToDisplay(const char* digits, char* buf) const {
    // The stored digits are the display's digits: only a one-letter day or month drops
    // its leading zero.
    const char* limit = buf + kDisplaySize - 16;
    char* at = buf;
    auto two = [&at](const char* d, bool dropZero) {
        if (!dropZero || d[0] != '0') *at++ = d[0];
        *at++ = d[1];
    };
    for (const DisplayFormat::Piece& p : CurrentDisplayFormat().pieces) {
        if (at > limit) break;
        switch (p.kind) {
            case 'D': two(digits + 6, p.run < 2); break;
            case 'M': two(digits + 4, p.run < 2); break;
            case 'Y':
                if (p.run >= 3) {
                    std::memcpy(at, digits, 4);
                    at += 4;
                } else {
                    two(digits + 2, false);
                }
                break;
            default: at = PutText(at, p.text, limit);
        }
    }
    return static_cast<size_t>(at - buf);
}

int32_t TgsDBFDate::JulianToday() const {
    platform::DateTime now = platform::Now();
    return static_cast<int32_t>(baseDay_ + DayCount(now.year, now.month, now.day));
}
