#include "dataset/CodePages.h"

#include "engine/text/OemAnsi.h"

namespace codepage {

uint8_t AnsiToOem(uint8_t b) { return xbtext::AnsiToOemTable()[b]; }
uint8_t OemToAnsi(uint8_t b) { return xbtext::OemToAnsiTable()[b]; }

void AnsiToOemBuffer(char* text, size_t length) {
    const auto& table = xbtext::AnsiToOemTable();
    for (size_t i = 0; i < length; ++i) text[i] = static_cast<char>(table[static_cast<uint8_t>(text[i])]);
}

void OemToAnsiBuffer(char* text, size_t length) {
    const auto& table = xbtext::OemToAnsiTable();
    for (size_t i = 0; i < length; ++i) text[i] = static_cast<char>(table[static_cast<uint8_t>(text[i])]);
}

std::string AnsiToOem(const std::string& text) {
    std::string out = text;
    AnsiToOemBuffer(out.data(), out.size());
    return out;
}

std::string OemToAnsi(const std::string& text) {
    std::string out = text;
    OemToAnsiBuffer(out.data(), out.size());
    return out;
}

}  // namespace codepage
