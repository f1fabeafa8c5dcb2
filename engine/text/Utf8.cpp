#include "engine/text/Utf8.h"

#include <cstdint>

namespace xbtext {

bool NextUtf8(std::string_view text, size_t& i, char32_t& ch) {
    if (i >= text.size()) return false;
    const auto lead = static_cast<uint8_t>(text[i]);
    if (lead < 0x80) {
        ch = lead;
        ++i;
        return true;
    }
    size_t extra = 0;
    char32_t value = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1, value = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2, value = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3, value = lead & 0x07, least = 0x10000;
    } else {
        return false;
    }
    if (text.size() - i <= extra) return false;
    for (size_t k = 1; k <= extra; ++k) {
        const auto next = static_cast<uint8_t>(text[i + k]);
        if ((next & 0xC0) != 0x80) return false;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
    ch = value;
    i += extra + 1;
    return true;
}

std::optional<std::u32string> DecodeUtf8(std::string_view text, size_t* badByte) {
    std::u32string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        char32_t ch = 0;
        if (!NextUtf8(text, i, ch)) {
            if (badByte) *badByte = i;
            return std::nullopt;
        }
        out.push_back(ch);
    }
    return out;
}

bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    char32_t ch = 0;
    while (i < text.size()) {
        if (!NextUtf8(text, i, ch)) return false;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t ch) {
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

std::string EncodeUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char32_t ch : text) AppendUtf8(out, ch);
    return out;
}

}  // namespace xbtext
