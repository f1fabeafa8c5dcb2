#pragma once
// Text translation between the ANSI code page (Windows-1251) and the OEM code page (866),
// byte by byte, through the text module's permutation (engine/text/OemAnsi.h): a
// character both pages hold keeps its own place, the others trade places, so every text
// survives a round trip.

#include <cstdint>
#include <string>

namespace codepage {

uint8_t AnsiToOem(uint8_t b);
uint8_t OemToAnsi(uint8_t b);
std::string AnsiToOem(const std::string& text);
std::string OemToAnsi(const std::string& text);
// In place over `length` bytes.
void AnsiToOemBuffer(char* text, size_t length);
void OemToAnsiBuffer(char* text, size_t length);

}  // namespace codepage
