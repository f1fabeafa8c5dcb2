#pragma once
// The code pages the tool converts table text with: Windows-1251, DOS 866 and Latin-1
// (each byte its own code point). Text in tables is 8-bit bytes; on the tool's input and
// output it is UTF-8.

#include <cstdint>
#include <string>

namespace dbftool {

class CodePage {
public:
    enum class Kind { Latin1, Cp1251, Cp866 };

    // "1251", "866" or "latin1"; false for any other name.
    static bool FromName(const std::string& name, CodePage& out);
    // The code page a table's language-driver byte declares, Latin-1 when it declares
    // none of the two Cyrillic ones.
    static CodePage FromLanguageDriver(uint8_t ldid);

    explicit CodePage(Kind kind = Kind::Latin1) : kind_(kind) {}
    Kind GetKind() const { return kind_; }
    const char* Name() const;

    // The code point of byte b.
    uint32_t CodePoint(uint8_t b) const;
    // Bytes to UTF-8 (every byte has a code point, so this never fails).
    std::string Decode(const std::string& bytes) const;
    // UTF-8 to bytes. False (with `bad` set to the offending code point, or to
    // 0xFFFFFFFF for malformed UTF-8) when a character has no byte in this code page.
    bool Encode(const std::string& utf8, std::string& bytes, uint32_t& bad) const;

private:
    Kind kind_;
};

// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, uint32_t cp);
// Reads one UTF-8 sequence at s[i], advancing i; false for a malformed sequence.
bool NextUtf8(const std::string& s, size_t& i, uint32_t& cp);

}  // namespace dbftool
