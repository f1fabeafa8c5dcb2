#pragma once
// The locale the engine formats and compares with: the short date format, the decimal
// separator, and 8-bit upper and lower case in the ANSI code page (Windows-1251 unless a
// test or the program installs another table).

#include <array>
#include <cstdint>
#include <string>

namespace platform {

class Locale {
public:
    // Windows-1251 casing, short date "dd.MM.yyyy", decimal separator '.'.
    Locale();
    // The defaults, with the date format and decimal separator of the process's
    // environment (LC_ALL, LC_TIME, LC_NUMERIC, LANG) when one is set.
    static Locale FromEnvironment();

    std::string shortDateFormat;  // letters d, M, y; e.g. "dd.MM.yyyy"
    char dateSeparator = '.';
    char decimalSeparator = '.';

    unsigned char Upper(unsigned char c) const { return upper_[c]; }
    unsigned char Lower(unsigned char c) const { return lower_[c]; }
    std::string UpperCase(std::string s) const;
    std::string LowerCase(std::string s) const;
    // Sets one pair of letters (lower, upper) of the case table.
    void SetCasePair(unsigned char lower, unsigned char upper);

private:
    std::array<unsigned char, 256> upper_{};
    std::array<unsigned char, 256> lower_{};
};

const Locale& CurrentLocale();
// Installs a locale and returns the previous one.
Locale SetLocale(const Locale& locale);
// A number that changes whenever a locale is installed: what is derived from the locale
// (a compiled date format) is kept until it changes.
uint64_t LocaleGeneration();

}  // namespace platform
