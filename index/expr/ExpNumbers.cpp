#include "index/expr/ExpNumbers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace expnum {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Checks the shape sign? digits [sep digits] [e sign? digits] over all of `s`; copies it
// with "." as the point and without a leading "+" into `plain`.
bool Shape(std::string_view s, char separator, std::string& plain) {
    size_t i = 0;
    plain.clear();
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') plain += '-';
        ++i;
    }
    size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) { plain += s[i++]; ++digits; }
    if (i < s.size() && s[i] == separator) {
        plain += '.';
        ++i;
        while (i < s.size() && IsDigit(s[i])) { plain += s[i++]; ++digits; }
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) plain += s[i++];
        size_t expDigits = 0;
        while (i < s.size() && IsDigit(s[i])) { plain += s[i++]; ++expDigits; }
        if (expDigits == 0) return false;
    }
    return i == s.size();
}

bool Convert(const std::string& plain, double& value) {
    double v = 0;
    auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), v);
    if (ec != std::errc() || end != plain.data() + plain.size()) return false;
    value = v;
    return true;
}

// The shortest (or `precision`-rounded) digits of a finite non-zero |value| and the
// decimal exponent of the first one.
void Digits(double value, int precision, std::string& digits, int& exponent) {
    char buf[64];
    std::to_chars_result r = precision < 0
        ? std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific)
        : std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific,
                        precision);
    std::string_view s(buf, static_cast<size_t>(r.ptr - buf));
    size_t e = s.find('e');
    digits.clear();
    for (size_t i = 0; i < e; ++i)
        if (IsDigit(s[i])) digits += s[i];
    exponent = std::atoi(std::string(s.substr(e + 1)).c_str());
}

}  // namespace

bool ParseLiteral(std::string_view word, double& value) {
    std::string plain;
    return Shape(word, '.', plain) && Convert(plain, value);
}

bool ParseDecimal(std::string_view text, char separator, double& value) {
    size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    std::string plain;
    return Shape(text.substr(b, e - b), separator, plain) && Convert(plain, value);
}

bool FormatFixed(double value, int decimals, std::string& out) {
    if (!std::isfinite(value)) return false;
    if (decimals < 0) decimals = 0;
    out.clear();
    if (value == 0) {
        out = "0";
        if (decimals > 0) out += "." + std::string(static_cast<size_t>(decimals), '0');
        return true;
    }
    std::string d;
    int exponent;
    Digits(value, -1, d, exponent);
    // d holds the digits; `point` of them stand before the decimal point.
    long point = exponent + 1;
    if (point <= 0) {
        d.insert(0, static_cast<size_t>(1 - point), '0');
        point = 1;
    }
    if (static_cast<long>(d.size()) < point) d.append(static_cast<size_t>(point) - d.size(), '0');
    size_t keep = static_cast<size_t>(point) + static_cast<size_t>(decimals);
    if (d.size() > keep) {
        bool up = d[keep] >= '5';
        d.resize(keep);
        for (size_t i = keep; up && i-- > 0;) {
            if (d[i] == '9') {
                d[i] = '0';
            } else {
                ++d[i];
                up = false;
            }
        }
        if (up) {
            d.insert(0, 1, '1');
            ++point;
        }
    } else {
        d.append(keep - d.size(), '0');
    }
    std::string intPart = d.substr(0, static_cast<size_t>(point));
    size_t nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? "0" : intPart.substr(nz);
    std::string frac = d.substr(static_cast<size_t>(point));
    bool zero = intPart == "0" && frac.find_first_not_of('0') == std::string::npos;
    if (value < 0 && !zero) out += '-';
    out += intPart;
    if (decimals > 0) out += "." + frac;
    return true;
}

std::string FormatGeneral(double value, char separator) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";
    std::string d;
    int exponent;
    Digits(value, 14, d, exponent);
    while (d.size() > 1 && d.back() == '0') d.pop_back();
    std::string out = value < 0 ? "-" : "";
    if (exponent + 1 > 15 || exponent < -5) {
        out += d[0];
        if (d.size() > 1) out += separator + d.substr(1);
        out += "E" + std::to_string(exponent);
        return out;
    }
    if (exponent < 0) {
        out += "0";
        out += separator;
        out += std::string(static_cast<size_t>(-exponent - 1), '0') + d;
        return out;
    }
    size_t point = static_cast<size_t>(exponent) + 1;
    if (d.size() <= point) return out + d + std::string(point - d.size(), '0');
    return out + d.substr(0, point) + separator + d.substr(point);
}

}  // namespace expnum
