#pragma once
// Conversions between display bytes (app/texts/KazEncoding.h) and Unicode text, as code
// points or UTF-8. Display bytes always convert; a Unicode text may hold characters the
// display encoding has no place for, which come back as refusals.

#include <string>
#include <string_view>

#include "app/texts/EncodedText.h"

namespace kaztexts {

class DisplayText {
  public:
    static std::u32string ToUnicode(std::string_view display);
    static std::string ToUtf8(std::string_view display);

    static EncodedText FromUnicode(std::u32string_view text);
    // Invalid UTF-8 is refused at the first character that is wrong, and the rest of
    // the text is not converted.
    static EncodedText FromUtf8(std::string_view utf8);
};

}  // namespace kaztexts
