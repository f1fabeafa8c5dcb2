// The number keys of MDX files: binary-coded decimals as stored, and the comparable form
// the tags hold in memory.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "index/mdx/MdxLayout.h"

namespace mdx {
namespace {

constexpr int kMinExponent = -kExponentBias;        // exponent byte 0
constexpr int kMaxExponent = 255 - kExponentBias;   // exponent byte 255

std::string ZeroComparable() {
    std::string out(kNumberKeyLength, '\0');
    out[0] = static_cast<char>(kMarkerNonNegative);
    return out;
}

bool DigitsAllZero(const uint8_t* digits) {
    for (int i = 0; i < kNumberDigitBytes; ++i)
        if (digits[i] != 0) return false;
    return true;
}

}  // namespace

std::string ComparableFromNumber(double value) {
    if (std::isnan(value) || value == 0) return ZeroComparable();
    const bool negative = value < 0;
    const double magnitude = std::fabs(value);
    // Fifteen significant digits: d.dddddddddddddde+XX.
    char text[64];
    int exponent = kMaxExponent;
    char digits[kMaxDigits + 1] = {};
    if (std::isinf(magnitude)) {
        std::memset(digits, '9', kMaxDigits);
    } else {
        const auto done = std::to_chars(text, text + sizeof text - 1, magnitude, std::chars_format::scientific,
                                        kMaxDigits - 1);
        *done.ptr = '\0';
        digits[0] = text[0];
        std::memcpy(digits + 1, text + 2, kMaxDigits - 1);
        const char* e = std::strchr(text, 'e');
        exponent = (e ? std::atoi(e + 1) : 0) + 1;  // 0.d1d2... x 10^exponent
    }
    if (exponent < kMinExponent) return ZeroComparable();
    if (exponent > kMaxExponent) {
        // Beyond what the exponent byte holds: the largest number it can.
        exponent = kMaxExponent;
        std::memset(digits, '9', kMaxDigits);
    }
    std::string out(kNumberKeyLength, '\0');
    out[0] = static_cast<char>(negative ? kMarkerNegative : kMarkerNonNegative);
    out[1] = static_cast<char>(exponent + kExponentBias);
    for (int i = 0; i < kMaxDigits; ++i) {
        const int nibble = digits[i] - '0';
        const size_t at = 2 + static_cast<size_t>(i / 2);
        out[at] = static_cast<char>(static_cast<uint8_t>(out[at]) | (i % 2 == 0 ? nibble << 4 : nibble));
    }
    if (negative)
        for (size_t i = 1; i < out.size(); ++i) out[i] = static_cast<char>(~static_cast<uint8_t>(out[i]));
    return out;
}

void StoredFromComparable(const uint8_t* comparable, size_t length, uint8_t* stored) {
    std::memset(stored, 0, kNumberKeyLength);
    stored[0] = kExponentBias;
    stored[1] = kDigitCountOne;
    if (length != static_cast<size_t>(kNumberKeyLength) ||
        (comparable[0] != kMarkerNegative && comparable[0] != kMarkerNonNegative))
        return;
    const bool negative = comparable[0] == kMarkerNegative;
    uint8_t body[kNumberKeyLength - 1];
    for (size_t i = 0; i < sizeof body; ++i)
        body[i] = negative ? static_cast<uint8_t>(~comparable[i + 1]) : comparable[i + 1];
    const uint8_t* digits = body + 1;
    if (DigitsAllZero(digits)) return;
    int last = kNumberDigitBytes - 1;
    while (digits[last] == 0) --last;
    const int counted = 2 * (last + 1);  // digits are counted in whole bytes
    stored[0] = body[0];
    stored[1] = static_cast<uint8_t>(4 * counted + kDigitCountOne + (negative ? kNegativeFlag : 0));
    std::memcpy(stored + 2, digits, kNumberDigitBytes);
}

std::string ComparableFromStored(const uint8_t* stored) {
    const uint8_t* digits = stored + 2;
    if (DigitsAllZero(digits)) return ZeroComparable();
    const bool negative = (stored[1] & kNegativeFlag) != 0;
    std::string out(kNumberKeyLength, '\0');
    out[0] = static_cast<char>(negative ? kMarkerNegative : kMarkerNonNegative);
    out[1] = static_cast<char>(stored[0]);
    std::memcpy(&out[2], digits, kNumberDigitBytes);
    if (negative)
        for (size_t i = 1; i < out.size(); ++i) out[i] = static_cast<char>(~static_cast<uint8_t>(out[i]));
    return out;
}

double NumberFromComparable(const uint8_t* comparable, size_t length) {
    uint8_t stored[kNumberKeyLength];
    StoredFromComparable(comparable, length, stored);
    std::string text = (stored[1] & kNegativeFlag) ? "-0." : "0.";
    for (int i = 0; i < kNumberDigitBytes; ++i) {
        const uint8_t b = stored[2 + i];
        text.push_back(static_cast<char>('0' + std::min(b >> 4, 9)));
        text.push_back(static_cast<char>('0' + std::min(b & 0x0F, 9)));
    }
    text += "e" + std::to_string(static_cast<int>(stored[0]) - kExponentBias);
    return std::strtod(text.c_str(), nullptr);
}

}  // namespace mdx
