#include "app/texts/TextRefusal.h"

#include <cstdio>

#include "app/texts/Utf8.h"

namespace kaztexts {

std::string TextRefusal::Describe() const {
    std::string out = "column " + std::to_string(column) + ": ";
    if (invalidUtf8) return out + "not valid UTF-8";
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
    std::string shown;
    if (character >= 0x20 && character != 0x7F) {
        shown = "'";
        Utf8::Append(shown, character);
        shown += "' ";
    }
    return out + shown + "(" + code + ") cannot be written in the display encoding";
}

}  // namespace kaztexts
