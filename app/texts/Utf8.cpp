#include "app/texts/Utf8.h"

#include <cstdint>

namespace kaztexts {

std::optional<std::u32string> Utf8::Decode(std::string_view text, size_t* badByte) {
    std::u32string out;
    out.reserve(text.size());
    size_t i = 0;
    auto fail = [&](size_t at) -> std::optional<std::u32string> {
        if (badByte) *badByte = at;
        return std::nullopt;
    };
    while (i < text.size()) {
        const auto lead = static_cast<uint8_t>(text[i]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        int extra = 0;
        char32_t ch = 0;
        char32_t least = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            ch = lead & 0x1F;
            least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            ch = lead & 0x0F;
            least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            ch = lead & 0x07;
            least = 0x10000;
        } else {
            return fail(i);
        }
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= text.size()) return fail(i);
            const auto next = static_cast<uint8_t>(text[i + k]);
            if ((next & 0xC0) != 0x80) return fail(i);
            ch = (ch << 6) | (next & 0x3F);
        }
        if (ch < least || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) return fail(i);
        out.push_back(ch);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

void Utf8::Append(std::string& out, char32_t ch) {
    if (ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) ch = 0xFFFD;
    if (ch < 0x80) {
        out.push_back(static_cast<char>(ch));
    } else if (ch < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (ch >> 6)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else if (ch < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (ch >> 12)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (ch >> 18)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    }
}

std::string Utf8::Encode(std::u32string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char32_t ch : text) Append(out, ch);
    return out;
}

}  // namespace kaztexts
