#include "tools/dbf/CodePage.h"

namespace dbftool {

namespace {

// Code points of bytes 0x80 to 0xFF. Windows-1251 leaves 0x98 unassigned; it maps to
// U+0098 so that every byte survives a round trip.
constexpr uint16_t kCp1251High[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};

constexpr uint16_t kCp866High[128] = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // 80
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // 88
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // 90
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // 98
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // A0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // D8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // E0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // E8
    0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,  // F8
};

}  // namespace

bool CodePage::FromName(const std::string& name, CodePage& out) {
    if (name == "1251" || name == "cp1251") {
        out = CodePage(Kind::Cp1251);
    } else if (name == "866" || name == "cp866") {
        out = CodePage(Kind::Cp866);
    } else if (name == "latin1" || name == "latin-1") {
        out = CodePage(Kind::Latin1);
    } else {
        return false;
    }
    return true;
}

CodePage CodePage::FromLanguageDriver(uint8_t ldid) {
    switch (ldid) {
        case 0x26:
        case 0x65: return CodePage(Kind::Cp866);
        case 0xC9: return CodePage(Kind::Cp1251);
        default: return CodePage(Kind::Latin1);
    }
}

const char* CodePage::Name() const {
    switch (kind_) {
        case Kind::Cp1251: return "1251";
        case Kind::Cp866: return "866";
        default: return "latin1";
    }
}

uint32_t CodePage::CodePoint(uint8_t b) const {
    if (b < 0x80) return b;
    switch (kind_) {
        case Kind::Cp1251: return kCp1251High[b - 0x80];
        case Kind::Cp866: return kCp866High[b - 0x80];
        default: return b;
    }
}

std::string CodePage::Decode(const std::string& bytes) const {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) AppendUtf8(out, CodePoint(c));
    return out;
}

bool CodePage::Encode(const std::string& utf8, std::string& bytes, uint32_t& bad) const {
    bytes.clear();
    size_t i = 0;
    while (i < utf8.size()) {
        uint32_t cp = 0;
        if (!NextUtf8(utf8, i, cp)) {
            bad = 0xFFFFFFFFu;
            return false;
        }
        if (cp < 0x80 || (kind_ == Kind::Latin1 && cp < 0x100)) {
            bytes += static_cast<char>(cp);
            continue;
        }
        const uint16_t* high = kind_ == Kind::Cp1251 ? kCp1251High
                               : kind_ == Kind::Cp866 ? kCp866High
                                                      : nullptr;
        int found = -1;
        for (int k = 0; high && k < 128; ++k) {
            if (high[k] == cp) {
                found = k;
                break;
            }
        }
        if (found < 0) {
            bad = cp;
            return false;
        }
        bytes += static_cast<char>(0x80 + found);
    }
    return true;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool NextUtf8(const std::string& s, size_t& i, uint32_t& cp) {
    auto at = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = at(i);
    size_t n;
    uint32_t min;
    if (c < 0x80) {
        cp = c;
        ++i;
        return true;
    } else if (c >= 0xC2 && c <= 0xDF) {
        n = 2, cp = c & 0x1F, min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3, cp = c & 0x0F, min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4, cp = c & 0x07, min = 0x10000;
    } else {
        return false;
    }
    if (i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k) {
        if ((at(i + k) & 0xC0) != 0x80) return false;
        cp = (cp << 6) | (at(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += n;
    return true;
}

}  // namespace dbftool
