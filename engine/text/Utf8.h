#pragma once
// UTF-8: strict decoding to code points (no overlong forms, no surrogates, nothing beyond
// U+10FFFF) and encoding of code points. The one codec of the engine, the dataset, the
// tools and the program.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace xbtext {

// Reads the character at text[i] and moves i past it; false (i unchanged) when the bytes
// there are not a well-formed character.
bool NextUtf8(std::string_view text, size_t& i, char32_t& ch);
// The code points of `text`, or nothing when it is not valid UTF-8; then `badByte` (when
// given) receives the offset of the first byte of the first character that is wrong.
std::optional<std::u32string> DecodeUtf8(std::string_view text, size_t* badByte = nullptr);
bool IsValidUtf8(std::string_view text);
// Appends the UTF-8 form of `ch`; a surrogate or a value beyond U+10FFFF becomes U+FFFD.
void AppendUtf8(std::string& out, char32_t ch);
std::string EncodeUtf8(std::u32string_view text);

}  // namespace xbtext
