#pragma once
// The 8-bit code pages text in tables comes in, as data: every byte's character. Bytes
// below 0x80 are ASCII in all of them. A byte a code page leaves unassigned stands for
// the C1 control character of its own value (U+0080 to U+009F), so that every byte reads
// as a distinct character and survives a round trip.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace xbtext {

enum class CodePageId {
    Cp1251,         // Windows-1251
    Cp866,          // DOS 866
    KazakhDisplay,  // Windows-1251 with the program's Kazakh letters in place of others
    Kz1048,         // KZ-1048, the Kazakh standard code page
    Pt154,          // PT154 (ParaType Asian Cyrillic)
    Latin1,         // ISO 8859-1
};

class CodePage {
public:
    // The table of a code page (built once, never freed).
    static const CodePage& Of(CodePageId id);
    // "1251", "866", "kazakh", "kz1048", "pt154" or "latin1" (and the spellings "cp1251",
    // "cp866", "rk1048", "kz-1048", "ptcp154", "latin-1"); false for any other name.
    static bool FromName(std::string_view name, CodePageId& out);

    CodePageId Id() const { return id_; }
    // The short name FromName takes for it ("1251", "kazakh", ...).
    const char* Name() const;

    char32_t ToUnicode(uint8_t byte) const {
        return byte < 0x80 ? static_cast<char32_t>(byte) : high_[byte - 0x80];
    }
    // The byte of a character, or nothing when this code page cannot hold it.
    std::optional<uint8_t> FromUnicode(char32_t ch) const;

    // Bytes to UTF-8 (every byte has a character, so this never fails).
    std::string Decode(std::string_view bytes) const;
    // UTF-8 to bytes. False when a character has no byte here (`bad` is that character)
    // or the text is not UTF-8 (`bad` is 0xFFFFFFFF); `bytes` then holds what came before.
    bool Encode(std::string_view utf8, std::string& bytes, char32_t& bad) const;
    // Bytes of this code page to the same text in `target`: false when a character has no
    // byte there (`bad` is that character; `out` holds what came before).
    bool Recode(std::string_view bytes, const CodePage& target, std::string& out,
                char32_t& bad) const;

private:
    CodePage(CodePageId id, const std::array<char32_t, 128>& high);
    CodePageId id_;
    const std::array<char32_t, 128>& high_;
    // The characters of the upper half in ascending order, each with its byte.
    std::array<std::pair<char32_t, uint8_t>, 128> reverse_{};
};

}  // namespace xbtext
