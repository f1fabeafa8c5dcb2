#include "engine/text/CaseFold.h"

#include "engine/text/Utf8.h"

namespace xbtext {

namespace {

// In a block where upper and lower case alternate, the upper-case letter at `first`.
bool Alternating(char32_t ch, char32_t first, char32_t last) {
    return ch >= first && ch <= last && ((ch - first) % 2 == 0);
}

}  // namespace

char32_t FoldCase(char32_t ch) {
    if (ch < 0x80) return ch >= 'A' && ch <= 'Z' ? ch + 0x20 : ch;
    // Latin-1 and Latin Extended-A.
    if (ch >= 0xC0 && ch <= 0xDE && ch != 0xD7) return ch + 0x20;
    if (ch == 0x178) return 0xFF;
    if (Alternating(ch, 0x100, 0x12E) || Alternating(ch, 0x132, 0x136) ||
        Alternating(ch, 0x14A, 0x176) || Alternating(ch, 0x139, 0x147) ||
        Alternating(ch, 0x179, 0x17D)) {
        return ch + 1;
    }
    // Greek.
    if (ch == 0x386) return 0x3AC;
    if (ch >= 0x388 && ch <= 0x38A) return ch + 37;
    if (ch == 0x38C) return 0x3CC;
    if (ch == 0x38E || ch == 0x38F) return ch + 63;
    if (ch >= 0x391 && ch <= 0x3AB && ch != 0x3A2) return ch + 0x20;
    // Cyrillic, with the letters of Kazakh and the other Cyrillic alphabets.
    if (ch >= 0x400 && ch <= 0x40F) return ch + 0x50;
    if (ch >= 0x410 && ch <= 0x42F) return ch + 0x20;
    if (Alternating(ch, 0x460, 0x480) || Alternating(ch, 0x48A, 0x4BE) ||
        Alternating(ch, 0x4D0, 0x4FE) || Alternating(ch, 0x500, 0x52E)) {
        return ch + 1;
    }
    if (ch == 0x4C0) return 0x4CF;
    if (Alternating(ch, 0x4C1, 0x4CD)) return ch + 1;
    // Latin Extended Additional.
    if (Alternating(ch, 0x1E00, 0x1E94) || Alternating(ch, 0x1EA0, 0x1EFE)) return ch + 1;
    return ch;
}

bool FoldUtf8(std::string_view utf8, std::string& folded) {
    folded.clear();
    folded.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t ch = 0;
        if (!NextUtf8(utf8, i, ch)) return false;
        AppendUtf8(folded, FoldCase(ch));
    }
    return true;
}

}  // namespace xbtext
