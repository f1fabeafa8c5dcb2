#pragma once
// TgsDBFDate: the engine's date converter. A date is a Julian day number; 0 (or any
// value <= 0) is the empty date. Day 2,415,019 is 30 December 1899, the day the
// platform's own date numbering starts from.

#include <cstdint>
#include <string>

class TgsDBFDate {
public:
    static TgsDBFDate& Instance();

    int32_t BaseDay() const { return baseDay_; }

    // "yyyymmdd" (an impossible calendar date gives the base day), blanks or "00000000"
    // (0), or a date in the locale's short date format. Any other text raises
    // EConvertError.
    int32_t JulianFromText(const std::string& text) const;
    // "yyyymmdd", or eight blanks for day <= 0.
    std::string JulianToStorage(int32_t day) const;
    // The locale's short date format with a four-digit year; "" for day <= 0.
    std::string JulianToDisplay(int32_t day) const;
    // A calendar date in the locale's short date format, as JulianToDisplay writes it.
    std::string DateToDisplay(int year, int month, int day) const;
    // The same written into `out` (at least kDisplaySize bytes); answers the length.
    static constexpr size_t kDisplaySize = 64;
    size_t DateToDisplay(int year, int month, int day, char* out) const;
    // The same for a date given as its stored digits "yyyymmdd" (of a valid date).
    size_t DigitsToDisplay(const char* yyyymmdd, char* out) const;
    int32_t JulianToday() const;
    void JulianSplit(int32_t day, int& year, int& month, int& dayOfMonth) const;

    // Days since 30 December 1899 for a calendar date (no validity check), and back.
    static int64_t DayCount(int year, int month, int day);
    static void FromDayCount(int64_t count, int& year, int& month, int& day);
    static bool ValidDate(int year, int month, int day);

private:
    TgsDBFDate();
    int32_t baseDay_;
};

constexpr int32_t gsBaseJulianDay = 2415019;
constexpr int32_t gsDateTimeJulianOffset = 1721425;
