#pragma once
// Case folding for names compared without regard to case: simple one-to-one folding to
// lower case of the Latin, Greek and Cyrillic letters (the Kazakh letters included).

#include <string>
#include <string_view>

namespace xbtext {

// The lower-case form of a letter; any other character is itself.
char32_t FoldCase(char32_t ch);
// The folded form of a UTF-8 text, or false when `utf8` is not valid UTF-8.
bool FoldUtf8(std::string_view utf8, std::string& folded);

}  // namespace xbtext
