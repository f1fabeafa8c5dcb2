#pragma once
// UTF-8 for the display texts: the text module's codec (engine/text/Utf8.h) under the
// names the program uses.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "engine/text/Utf8.h"

namespace kaztexts {

class Utf8 {
  public:
    // The code points of `text`, or nothing when it is not valid UTF-8; then `badByte`
    // (when given) receives the 0-based offset of the first byte of the first character
    // that is wrong.
    static std::optional<std::u32string> Decode(std::string_view text, size_t* badByte = nullptr) {
        return xbtext::DecodeUtf8(text, badByte);
    }
    // Appends the UTF-8 form of `ch` (a surrogate or a value beyond U+10FFFF becomes U+FFFD).
    static void Append(std::string& out, char32_t ch) { xbtext::AppendUtf8(out, ch); }
    static std::string Encode(std::u32string_view text) { return xbtext::EncodeUtf8(text); }
};

}  // namespace kaztexts
