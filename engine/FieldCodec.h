#pragma once
// The rules that turn the bytes of a DBF field into values, in one place: the table
// object's typed gets and the dataset's fields both read through these functions, so a
// filter or an index key never disagrees with what a grid shows. They are pure: they
// look only at the bytes they are given, and never at a table.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace fieldcodec {

// The field's raw text: its bytes up to the first NUL.
inline size_t RawLength(const char* p, size_t length) {
    if (length > 32) {
        const void* nul = std::memchr(p, 0, length);
        return nul ? static_cast<size_t>(static_cast<const char*>(nul) - p) : length;
    }
    for (size_t i = 0; i < length; ++i) {
        if (p[i] == '\0') return i;
    }
    return length;
}

// The raw text without its trailing blanks. Fields are mostly blank-padded: the blanks go
// first, eight at a time, and the search for a NUL covers only what is left.
inline size_t TrimmedLength(const char* p, size_t length) {
    constexpr uint64_t kEightBlanks = 0x2020202020202020ull;
    for (uint64_t word; length >= 8; length -= 8) {
        std::memcpy(&word, p + length - 8, 8);
        if (word != kEightBlanks) break;
    }
    while (length > 0 && p[length - 1] == ' ') --length;
    const size_t raw = RawLength(p, length);
    if (raw == length) return length;
    length = raw;
    while (length > 0 && p[length - 1] == ' ') --length;
    return length;
}

// A logical field: true when its raw text occurs in "TtYyJj" (for a one-character field,
// when the character is one of them).
bool LogicalText(const char* p, size_t length);
inline bool Logical(const char* p, size_t length) {
    if (length != 1) return LogicalText(p, length);
    switch (p[0]) {
        case 'T': case 't': case 'Y': case 'y': case 'J': case 'j': return true;
        default: return false;
    }
}

// A number held as text (N and F fields, and the memo references of dBase tables): the
// trimmed text, cut to its first 31 characters, read as a decimal number; empty text is
// 0. False when the text is not a number (the table object reports it).
constexpr size_t kNumberTextLimit = 31;
bool TextNumber(const char* p, size_t length, double& value);

// The binary forms of a version 0x30 table: B a double, G, I and M a 32-bit integer, T a
// day and milliseconds (value in milliseconds as the engine counts them), Y a 64-bit
// integer in ten-thousandths. Too short a field reads as 0.
bool IsBinaryType(char type);
double BinaryNumber(char type, const uint8_t* p, size_t length);

// The text of a number field, written straight from its digits as the dataset's float
// text writes the number ('.' as the separator): no leading blanks or zeros, no trailing
// zeros of the fraction, no point without a fraction. Answers the length written into
// `out` (at least 24 bytes), or 0 when the text is not a plain decimal of at most 15
// significant digits and 4 decimals (an exponent, a negative zero, anything malformed):
// the caller then converts the number.
constexpr size_t kDecimalTextSize = 24;
size_t DecimalText(const char* p, size_t length, char* out);
// The same for a whole number: 0 also when the text has a fraction that is not all zeros
// (the caller rounds) or more than 9 digits.
size_t IntegerText(const char* p, size_t length, char* out);

// A date field: "yyyymmdd" of a real calendar day, nothing after but blanks. False for
// blanks, "00000000" and everything else.
bool CalendarDate(const char* p, size_t length, int& year, int& month, int& day);

}  // namespace fieldcodec
