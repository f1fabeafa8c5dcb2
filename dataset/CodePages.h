#pragma once
// Text translation between the ANSI code page (Windows-1251) and the OEM code page (866),
// byte by byte, with tables that cover every byte of both. A character that the target
// code page lacks becomes a fixed substitute (CodePages.cpp lists them), so such text
// does not survive a round trip; text made only of characters both pages hold does.

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
