#pragma once
// The translation between the ANSI code page (Windows-1251) and the OEM code page (866),
// byte by byte, derived from the two code pages: a character both hold keeps its own
// place (the bullet • of 1251 goes to the bullet operator ∙ of 866), and the characters
// of 1251 that 866 lacks take, in byte order, the places of 866 that 1251 lacks (its
// shades, lines and corners). The two directions are inverse permutations, so text
// survives any number of trips unchanged.

#include <array>
#include <cstdint>

namespace xbtext {

const std::array<uint8_t, 256>& AnsiToOemTable();
const std::array<uint8_t, 256>& OemToAnsiTable();

}  // namespace xbtext
