#include "engine/FieldText.h"

#include <charconv>
#include <cmath>

bool ParseFieldNumber(const std::string& text, double& value) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    std::string s;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') s += '-';
        ++i;
    }
    size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') s += text[i++], ++digits;
    if (i < text.size() && text[i] == '.') {
        s += text[i++];
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') s += text[i++], ++digits;
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        s += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) s += text[i++];
        size_t expDigits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') s += text[i++], ++expDigits;
        if (expDigits == 0) return false;
    }
    if (i != text.size()) return false;
    const bool negative = s[0] == '-';
    if (s[negative ? 1 : 0] == '.') s = std::string(negative ? "-0" : "0") + s.substr(negative ? 1 : 0);
    double v = 0;
    auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        v = s[0] == '-' ? -HUGE_VAL : HUGE_VAL;
        if (s.find('e') != std::string::npos && s.find("e-") != std::string::npos) v = 0;
    } else if (r.ec != std::errc() || r.ptr != s.data() + s.size()) {
        return false;
    }
    value = v;
    return true;
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
