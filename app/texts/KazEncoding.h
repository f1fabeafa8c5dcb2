#pragma once
// The display encoding: the 256 byte values of a display text and the Unicode characters
// they stand for. It is Windows-1251 with the Kazakh letters put in place of rarely used
// Cyrillic characters, as the font "Helv/Kazakh" draws them; the table and the choice of
// positions are the text module's (xbtext::CodePageId::KazakhDisplay).

#include <cstdint>
#include <optional>

#include "engine/text/CodePage.h"

namespace kaztexts {

class KazEncoding {
  public:
    // The character a display byte stands for.
    static char32_t ToUnicode(uint8_t byte) { return Page().ToUnicode(byte); }
    // The display byte of a character, or nothing when the encoding cannot hold it.
    static std::optional<uint8_t> FromUnicode(char32_t ch) { return Page().FromUnicode(ch); }

  private:
    static const xbtext::CodePage& Page() {
        return xbtext::CodePage::Of(xbtext::CodePageId::KazakhDisplay);
    }
};

}  // namespace kaztexts
