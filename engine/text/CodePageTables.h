#pragma once
// The characters of bytes 0x80 to 0xFF of each code page.

#include <array>

namespace xbtext::tables {

extern const std::array<char32_t, 128> kCp1251;
extern const std::array<char32_t, 128> kCp866;
extern const std::array<char32_t, 128> kKazakhDisplay;
extern const std::array<char32_t, 128> kKz1048;
extern const std::array<char32_t, 128> kPt154;
extern const std::array<char32_t, 128> kLatin1;

}  // namespace xbtext::tables
