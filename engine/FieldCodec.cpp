#include "engine/FieldCodec.h"

#include <cstring>
#include <string_view>

#include "engine/ByteOrder.h"
#include "engine/DBFDate.h"
#include "engine/FieldText.h"

namespace fieldcodec {

namespace {

constexpr double kMsPerDay = 86400000.0;
constexpr std::string_view kTrueLetters = "TtYyJj";

bool FourBlanks(const uint8_t* p) { return std::memcmp(p, "    ", 4) == 0; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The parts of a plain decimal text: sign, integer digits without leading zeros and
// fraction digits without trailing zeros. False for anything else.
struct Decimal {
    bool negative = false;
    const char* whole = nullptr;
    size_t wholeDigits = 0;
    const char* fraction = nullptr;
    size_t fractionDigits = 0;
};

bool SplitDecimal(const char* p, size_t length, Decimal& d) {
    // One pass: blanks, a sign, digits, a point and digits, and nothing after but blanks.
    size_t i = 0;
    while (i < length && p[i] == ' ') ++i;
    if (i < length && (p[i] == '-' || p[i] == '+')) d.negative = p[i++] == '-';
    while (i < length && p[i] == '0') ++i;
    const size_t wholeStart = i;
    while (i < length && IsDigit(p[i])) ++i;
    d.whole = p + wholeStart;
    d.wholeDigits = i - wholeStart;
    bool anyDigit = d.wholeDigits > 0 || (wholeStart > 0 && p[wholeStart - 1] == '0');
    size_t fractionEnd = i;
    d.fraction = p + i;
    if (i < length && p[i] == '.') {
        d.fraction = p + ++i;
        while (i < length && IsDigit(p[i])) ++i;
        fractionEnd = i;
        anyDigit = anyDigit || fractionEnd > static_cast<size_t>(d.fraction - p);
    }
    // The number's text is cut at 31 characters before it is read.
    if (!anyDigit || i > kNumberTextLimit) return false;
    while (i < length && p[i] == ' ') ++i;
    if (i != length) return false;
    while (fractionEnd > static_cast<size_t>(d.fraction - p) && p[fractionEnd - 1] == '0') --fractionEnd;
    d.fractionDigits = fractionEnd - static_cast<size_t>(d.fraction - p);
    return true;
}

}  // namespace

bool LogicalText(const char* p, size_t length) {
    const size_t raw = RawLength(p, length);
    return raw > 0 && kTrueLetters.find(std::string_view(p, raw)) != std::string_view::npos;
}

bool TextNumber(const char* p, size_t length, double& value) {
    size_t n = TrimmedLength(p, length);
    if (n > kNumberTextLimit) n = kNumberTextLimit;
    if (n == 0) {
        value = 0;
        return true;
    }
    return ParseFieldNumber(p, n, value);
}

bool IsBinaryType(char type) {
    switch (type) {
        case 'B': case 'G': case 'I': case 'M': case 'T': case 'Y': return true;
        default: return false;
    }
}

double BinaryNumber(char type, const uint8_t* p, size_t length) {
    switch (type) {
        case 'B': {
            if (length < 8) return 0;
            double d;
            std::memcpy(&d, p, 8);
            return d;
        }
        case 'G':
        case 'I':
        case 'M': return length >= 4 ? gsBytes::GetI32LE(p) : 0;
        case 'T': {
            if (length < 8) return 0;
            const double day = FourBlanks(p) ? gsBaseJulianDay : gsBytes::GetI32LE(p);
            const double ms = FourBlanks(p + 4) ? 0 : gsBytes::GetI32LE(p + 4);
            return (day - gsDateTimeJulianOffset) * kMsPerDay + ms;
        }
        case 'Y': {
            if (length < 8) return 0;
            int64_t v;
            std::memcpy(&v, p, 8);
            return static_cast<double>(v) / 10000.0;
        }
        default: return 0;
    }
}

size_t DecimalText(const char* p, size_t length, char* out) {
    Decimal d;
    if (!SplitDecimal(p, length, d)) return 0;
    // Beyond these the double's text is not the digits (more places, or an exponent).
    if (d.fractionDigits > 4 || d.wholeDigits + d.fractionDigits > 15) return 0;
    if (d.wholeDigits == 0 && d.fractionDigits == 0) {
        if (d.negative) return 0;  // a negative zero has a text of its own
        out[0] = '0';
        return 1;
    }
    char* at = out;
    if (d.negative) *at++ = '-';
    // A few digits each: copied one by one rather than through a library call.
    if (d.wholeDigits == 0) *at++ = '0';
    for (size_t i = 0; i < d.wholeDigits; ++i) *at++ = d.whole[i];
    if (d.fractionDigits > 0) {
        *at++ = '.';
        for (size_t i = 0; i < d.fractionDigits; ++i) *at++ = d.fraction[i];
    }
    return static_cast<size_t>(at - out);
}

size_t IntegerText(const char* p, size_t length, char* out) {
    Decimal d;
    if (!SplitDecimal(p, length, d) || d.fractionDigits > 0 || d.wholeDigits > 9) return 0;
    if (d.wholeDigits == 0) {
        out[0] = '0';
        return 1;
    }
    char* at = out;
    if (d.negative) *at++ = '-';
    for (size_t i = 0; i < d.wholeDigits; ++i) *at++ = d.whole[i];
    return static_cast<size_t>(at - out);
}

bool CalendarDate(const char* p, size_t length, int& year, int& month, int& day) {
    if (length < 8) return false;
    unsigned digit[8];
    for (int i = 0; i < 8; ++i) {
        digit[i] = static_cast<unsigned>(static_cast<unsigned char>(p[i])) - '0';
        if (digit[i] > 9) return false;
    }
    // Eight digits; a longer field must hold nothing more.
    if (length > 8 && TrimmedLength(p, length) != 8) return false;
    year = static_cast<int>(digit[0] * 1000 + digit[1] * 100 + digit[2] * 10 + digit[3]);
    month = static_cast<int>(digit[4] * 10 + digit[5]);
    day = static_cast<int>(digit[6] * 10 + digit[7]);
    return TgsDBFDate::ValidDate(year, month, day);
}

}  // namespace fieldcodec
