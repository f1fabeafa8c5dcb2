#include "app/texts/TextRefusal.h"

#include <cstdio>

#include "app/texts/Utf8.h"

namespace kaztexts {

std::string TextRefusal::Describe() const {
    std::string out = "column " + std::to_string(column) + ": ";
    if (invalidUtf8) return out + "not valid UTF-8";
    return out + CharacterText() + " cannot be written in the display encoding";
}

std::string TextRefusal::CharacterText() const {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
    const bool control = character < 0x20 || (character >= 0x7F && character < 0xA0);
    if (control) return std::string("(") + code + ")";
    std::string shown = "'";
    Utf8::Append(shown, character);
    return shown + "' (" + code + ")";
}

}  // namespace kaztexts
