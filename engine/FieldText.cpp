#include "engine/FieldText.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool ParseFieldNumber(const char* text, size_t size, double& value) {
    size_t i = 0;
    while (i < size && text[i] == ' ') ++i;
    bool negative = false;
    if (i < size && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // The digits are gathered as one integer while they are checked; it is only used
    // when there are few enough of them to be exact.
    uint64_t m = 0;
    const size_t intStart = i;
    while (i < size && IsDigit(text[i])) m = m * 10 + static_cast<uint64_t>(text[i++] - '0');
    const size_t intEnd = i;
    size_t fracStart = i, fracEnd = i;
    if (i < size && text[i] == '.') {
        fracStart = ++i;
        while (i < size && IsDigit(text[i])) m = m * 10 + static_cast<uint64_t>(text[i++] - '0');
        fracEnd = i;
    }
    const size_t digits = (intEnd - intStart) + (fracEnd - fracStart);
    if (digits == 0) return false;
    size_t expStart = i;
    const bool hasExponent = i < size && (text[i] == 'e' || text[i] == 'E');
    if (hasExponent) {
        ++i;
        if (i < size && (text[i] == '+' || text[i] == '-')) ++i;
        const size_t expDigits = i;
        while (i < size && IsDigit(text[i])) ++i;
        if (i == expDigits) return false;
    }
    if (i != size) return false;

    // Up to 15 digits and no exponent, as numeric fields hold them: the digits as an
    // integer are exact, so is the power of ten, and one division rounds correctly.
    if (!hasExponent && digits <= 15) {
        static const double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const double v = static_cast<double>(m) / kPow10[fracEnd - fracStart];
        value = negative ? -v : v;
        return true;
    }

    // Anything longer goes through the library's correctly rounded reading.
    std::string s = negative ? "-" : "";
    s.append(text + intStart, intEnd - intStart);
    if (intEnd == intStart) s += '0';
    if (fracStart != intEnd) {
        s += '.';
        s.append(text + fracStart, fracEnd - fracStart);
    }
    if (hasExponent) {
        s += 'e';
        s.append(text + expStart + 1, size - expStart - 1);
    }
    double v = 0;
    auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        v = negative ? -HUGE_VAL : HUGE_VAL;
        if (s.find("e-") != std::string::npos) v = 0;
    } else if (r.ec != std::errc() || r.ptr != s.data() + s.size()) {
        return false;
    }
    value = v;
    return true;
}

bool ParseFieldNumber(const std::string& text, double& value) {
    return ParseFieldNumber(text.data(), text.size(), value);
}

std::string FormatFieldNumber(double value, int width, int decimals) {
    if (decimals < 0) decimals = 0;
    if (decimals > 30) decimals = 30;
    if (width < 0) width = 0;
    if (width > 400) width = 400;
    // to_chars is independent of the C locale, whose decimal separator a windowed
    // program may have changed.
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    std::string out = r.ec == std::errc() ? std::string(buf, r.ptr) : std::string(400, '*');
    if (out.size() < static_cast<size_t>(width)) out.insert(0, static_cast<size_t>(width) - out.size(), ' ');
    return out;
}

std::string TrimRightBlanks(const std::string& s) {
    size_t n = s.size();
    while (n > 0 && s[n - 1] == ' ') --n;
    return s.substr(0, n);
}

std::string TrimLeftBlanks(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    return s.substr(i);
}
