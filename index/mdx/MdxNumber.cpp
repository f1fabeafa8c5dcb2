// The number keys of MDX files: binary-coded decimals as stored, and the comparable form
// the tags hold in memory.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
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

// The powers of ten a double holds exactly.
constexpr int kExactPowers = 23;
constexpr double kPowersOfTen[kExactPowers] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int64_t kLowestSignificand = 100000000000000;    // 10^(kMaxDigits - 1)
constexpr int64_t kSignificandLimit = 1000000000000000;    // 10^kMaxDigits
// How far from halfway the scaled magnitude must lie to be rounded as the exact decimal
// expansion would: the one multiplication errs by at most half a unit in the last place,
// which is 1/16 below 2^50 (> 10^15).
constexpr double kRoundingMargin = 0.125;

// The fifteen significant digits and decimal exponent (0.d1d2... x 10^exponent) of a
// finite positive magnitude from 1 to 10^15 by integer arithmetic, as most stored numbers
// are (few decimals, far from a rounding tie). False when the magnitude is outside that
// range or too close to a tie to be sure; the caller then asks the exact conversion.
bool QuickDigits(double magnitude, char* digits, int& exponent) {
    if (!(magnitude >= 1.0 && magnitude < kPowersOfTen[kMaxDigits])) return false;
    int e = 1;
    while (magnitude >= kPowersOfTen[e]) ++e;  // 10^(e-1) <= magnitude < 10^e
    const int scale = kMaxDigits - e;
    if (scale < 0 || scale >= kExactPowers) return false;
    const double scaled = magnitude * kPowersOfTen[scale];
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) < kRoundingMargin) return false;
    auto significand = static_cast<int64_t>(whole) + (fraction > 0.5 ? 1 : 0);
    if (significand == kSignificandLimit) {
        significand = kLowestSignificand;  // 9.99...95 rounds up to the next power of ten
        ++e;
    }
    if (significand < kLowestSignificand || significand >= kSignificandLimit) return false;
    for (int i = kMaxDigits - 1; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + significand % 10);
        significand /= 10;
    }
    exponent = e;
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
    } else if (!QuickDigits(magnitude, digits, exponent)) {
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
