#include "tools/dbf/FieldPut.h"

#include <cmath>
#include <cstring>

#include "engine/DBFDate.h"
#include "engine/dBHandler.h"

namespace dbftool {

namespace {

constexpr double kMsPerDay = 86400000.0;

bool Digits(const std::string& s, size_t at, size_t count, int& value) {
    if (at + count > s.size()) return false;
    value = 0;
    for (size_t k = at; k < at + count; ++k) {
        if (s[k] < '0' || s[k] > '9') return false;
        value = value * 10 + (s[k] - '0');
    }
    return true;
}

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

}  // namespace

void FieldPut::Mismatch(int n, const std::string& what) const {
    throw FieldMismatch{"field " + table_.FieldName(n) + ": " + what};
}

void FieldPut::WrongType(int n, const JsonValue& value, const char* wanted) const {
    const char type = table_.FieldType(n);
    Mismatch(n, std::string(JsonKindName(value.kind)) + " does not fit a field of type " +
                    std::string(1, type ? type : '?') + " (it takes " + wanted + ")");
}

std::string FieldPut::Encoded(int n, const std::string& utf8) const {
    std::string bytes;
    uint32_t bad = 0;
    if (!codePage_.Encode(utf8, bytes, bad)) {
        char buf[48];
        std::snprintf(buf, sizeof buf, "U+%04X", bad);
        Mismatch(n, bad == 0xFFFFFFFFu ? std::string("the text is not UTF-8")
                                       : std::string("the character ") + buf +
                                             " has no byte in code page " + codePage_.Name());
    }
    return bytes;
}

// "yyyy-mm-dd" or "yyyymmdd" at the start of `text`; `used` gets the characters read.
int32_t FieldPut::DateValue(int n, const std::string& text, size_t& used) const {
    int y = 0, m = 0, d = 0;
    bool ok;
    if (text.size() >= 10 && text[4] == '-' && text[7] == '-') {
        ok = Digits(text, 0, 4, y) && Digits(text, 5, 2, m) && Digits(text, 8, 2, d);
        used = 10;
    } else {
        ok = Digits(text, 0, 4, y) && Digits(text, 4, 2, m) && Digits(text, 6, 2, d);
        used = 8;
    }
    if (!ok || !TgsDBFDate::ValidDate(y, m, d) || y < 1) {
        Mismatch(n, Quoted(text) + " is not a date (yyyy-mm-dd)");
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", y, m, d);
    return TgsDBFDate::Instance().JulianFromText(buf);
}

// "yyyy-mm-dd[Thh:mm:ss[.mmm]]" as the milliseconds value of a T field.
double FieldPut::DateTimeValue(int n, const std::string& text) const {
    size_t used = 0;
    const int32_t day = DateValue(n, text, used);
    int h = 0, mi = 0, s = 0, ms = 0;
    if (used < text.size()) {
        const bool ok = (text[used] == 'T' || text[used] == ' ') && Digits(text, used + 1, 2, h) &&
                        text.size() > used + 3 && text[used + 3] == ':' && Digits(text, used + 4, 2, mi) &&
                        text.size() > used + 6 && text[used + 6] == ':' && Digits(text, used + 7, 2, s) &&
                        (text.size() == used + 9 ||
                         (text.size() == used + 13 && text[used + 9] == '.' && Digits(text, used + 10, 3, ms)));
        if (!ok || h > 23 || mi > 59 || s > 59) {
            Mismatch(n, Quoted(text) + " is not a date-time (yyyy-mm-ddThh:mm:ss.mmm)");
        }
    }
    return (static_cast<double>(day) - gsDateTimeJulianOffset) * kMsPerDay +
           ((h * 60.0 + mi) * 60.0 + s) * 1000.0 + ms;
}

void FieldPut::Put(int n, const JsonValue& value, bool& hasMemo, std::string& memo) {
    using K = JsonValue::Kind;
    hasMemo = false;
    const char type = table_.FieldType(n);
    const bool fox = table_.Version() == 0x30;
    const bool isNull = value.kind == K::Null;

    if (table_.IsMemoField(n)) {
        if (isNull) return;
        if (value.kind != K::String) WrongType(n, value, "a string or null");
        memo = Encoded(n, value.text);
        hasMemo = true;
        return;
    }
    if (fox && type == 'T') {
        if (isNull) {
            // The empty date-time: day 0, as FoxPro writes it.
            std::memset(table_.CurrentBuffer() + table_.FieldOffset(n), 0, 8);
            return;
        }
        if (value.kind != K::String) WrongType(n, value, "a string yyyy-mm-ddThh:mm:ss.mmm or null");
        table_.PutNumber(n, DateTimeValue(n, value.text));
        return;
    }
    if (fox && (type == 'I' || type == 'Y' || type == 'B')) {
        if (isNull) return;  // the blank record already holds 0
        if (value.kind != K::Number) WrongType(n, value, "a number");
        if (type == 'I' && (value.number != std::trunc(value.number) || value.number < INT32_MIN ||
                            value.number > INT32_MAX)) {
            Mismatch(n, value.text + " is not a 32-bit integer");
        }
        if (!std::isfinite(value.number)) Mismatch(n, value.text + " is too large");
        table_.PutNumber(n, value.number);
        return;
    }
    switch (type) {
        case 'N':
        case 'F':
            if (isNull) {
                table_.PutText(n, "");
                return;
            }
            if (value.kind != K::Number) WrongType(n, value, "a number or null");
            if (!std::isfinite(value.number)) Mismatch(n, value.text + " is too large");
            table_.PutNumber(n, value.number);
            return;
        case 'D': {
            if (isNull) {
                table_.PutDate(n, 0);
                return;
            }
            if (value.kind != K::String) WrongType(n, value, "a string yyyy-mm-dd or null");
            size_t used = 0;
            const int32_t day = DateValue(n, value.text, used);
            if (used != value.text.size()) Mismatch(n, Quoted(value.text) + " is not a date (yyyy-mm-dd)");
            table_.PutDate(n, day);
            return;
        }
        case 'L':
            if (isNull) {
                table_.PutText(n, "");
                return;
            }
            if (value.kind != K::Bool) WrongType(n, value, "true, false or null");
            table_.PutLogical(n, value.boolean);
            return;
        default: {
            if (isNull) {
                table_.PutText(n, "");
                return;
            }
            if (value.kind != K::String) WrongType(n, value, "a string or null");
            const std::string bytes = Encoded(n, value.text);
            if (static_cast<int>(bytes.size()) > table_.FieldLength(n)) {
                Mismatch(n, "a text of " + std::to_string(bytes.size()) + " bytes is longer than the field (" +
                                std::to_string(table_.FieldLength(n)) + ")");
            }
            table_.PutText(n, bytes);
        }
    }
}

}  // namespace dbftool
