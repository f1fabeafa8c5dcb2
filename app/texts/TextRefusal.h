#pragma once
// One character that a text could not be turned into display bytes for: where it stands
// and what it is, or the place where the text stops being valid UTF-8.

#include <cstddef>
#include <string>

namespace kaztexts {

struct TextRefusal {
    size_t column = 0;       // 1-based position among the text's characters
    char32_t character = 0;  // the refused character (0 for invalid UTF-8)
    bool invalidUtf8 = false;

    // "column 7: '№' (U+2116) cannot be written in the display encoding", or
    // "column 7: not valid UTF-8".
    std::string Describe() const;
    // The refused character for a message: "'№' (U+2116)", or "(U+0085)" for a control
    // character, which is not shown itself.
    std::string CharacterText() const;
};

}  // namespace kaztexts
