#include "dataset/Field.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "dataset/DataSet.h"
#include "dataset/DatabaseError.h"
#include "dataset/Messages.h"
#include "engine/DBFDate.h"
#include "engine/RunErrors.h"
#include "engine/platform/Locale.h"

namespace {

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

}  // namespace

namespace {

// The text of a value that is a decimal of at most four places and fifteen digits, as
// numeric fields hold them, written digit by digit into `out` (at least 24 bytes); the
// length, or 0 for any other value.
size_t ShortDecimalText(double value, char* out) {
    static const double kScale[] = {1, 10, 100, 1000, 10000};
    for (int places = 0; places <= 4; ++places) {
        const double scaled = value * kScale[places];
        if (!(scaled > -1e15 && scaled < 1e15)) continue;
        const long long n = static_cast<long long>(scaled);
        if (static_cast<double>(n) != scaled) continue;  // not a whole number
        // Only a value that is exactly the double nearest to n / 10^places prints as that
        // decimal at fifteen significant digits.
        if (static_cast<double>(n) / kScale[places] != value || (n == 0 && std::signbit(value))) {
            return 0;
        }
        char digits[24];
        int len = 0;
        unsigned long long u = n < 0 ? 0ull - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
        do {
            digits[len++] = static_cast<char>('0' + u % 10);
            u /= 10;
        } while (u);
        while (len <= places) digits[len++] = '0';
        int skip = 0;  // trailing zeros of the fraction
        while (skip < places && digits[skip] == '0') ++skip;
        char* at = out;
        if (n < 0) *at++ = '-';
        for (int i = len - 1; i >= places; --i) *at++ = digits[i];
        if (skip < places) {
            *at++ = '.';
            for (int i = places - 1; i >= skip; --i) *at++ = digits[i];
        }
        return static_cast<size_t>(at - out);
    }
    return 0;
}

}  // namespace

double RoundHalfEven(double v) {
    double r = std::round(v);
    if (std::fabs(v - std::trunc(v)) == 0.5) r = 2.0 * std::round(v / 2.0);
    return r;
}

std::string FloatToText(double value) {
    char buf[64];
    size_t len = ShortDecimalText(value, buf);
    if (len == 0) {
        // to_chars rather than snprintf: it is several times faster and ignores the C
        // locale, whose decimal separator a windowed program may have changed.
        auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
        len = r.ec == std::errc() ? static_cast<size_t>(r.ptr - buf) : 0;
    }
    const char sep = platform::CurrentLocale().decimalSeparator;
    if (sep != '.') {
        for (size_t i = 0; i < len; ++i) buf[i] = buf[i] == '.' ? sep : buf[i];
    }
    return std::string(buf, len);
}

bool TextToFloat(const std::string& text, double& value) {
    std::string t = Trim(text);
    const char sep = platform::CurrentLocale().decimalSeparator;
    for (char& c : t) {
        if (c == sep) c = '.';
    }
    if (t.empty()) return false;
    // from_chars is independent of the C locale; it takes no leading '+'.
    const char* first = t.data() + (t[0] == '+' && t.size() > 1 && t[1] != '-' ? 1 : 0);
    auto r = std::from_chars(first, t.data() + t.size(), value);
    return r.ec == std::errc() && r.ptr == t.data() + t.size() && std::isfinite(value);
}

bool TextToInteger(const std::string& text, int64_t& value) {
    std::string t = Trim(text);
    if (t.empty()) return false;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(t.c_str(), &end, 10);
    if (!end || *end != '\0' || errno == ERANGE) return false;
    value = v;
    return true;
}

TField::TField(TDataSet& dataset, std::string name, TFieldType type, int size, TFieldKind kind)
    : dataset_(dataset), name_(std::move(name)), type_(type), size_(size), kind_(kind) {
    transliterate = type == TFieldType::ftString || type == TFieldType::ftMemo;
}

size_t TField::CalcValueSize() const {
    switch (type_) {
        case TFieldType::ftString: return static_cast<size_t>(size_) + 1;
        case TFieldType::ftSmallint: return 2;
        case TFieldType::ftInteger: return 4;
        case TFieldType::ftBoolean: return 2;
        default: return 8;
    }
}

void TField::AccessError(const char* typeName) const {
    throw EDatabaseError(FormatMessage(FormatMessage(dsmsg::kFieldAccess, DisplayName()), typeName));
}

TFieldValue TField::Value() const { return dataset_.ReadFieldValue(*this); }

bool TField::IsNull() const { return IsNullValue(Value()); }

TFieldValue TField::OldValue() const { return dataset_.ReadOldFieldValue(*this); }

std::string ValueToText(const TFieldValue& v) {
    switch (v.index()) {
        case 1: return *std::get_if<std::string>(&v);
        case 2: return std::to_string(*std::get_if<int64_t>(&v));
        case 3: return FloatToText(*std::get_if<double>(&v));
        case 4: return DateToText(std::get_if<TDateValue>(&v)->value);
        case 5: return DateTimeToText(std::get_if<TDateTimeValue>(&v)->value);
        case 6: return *std::get_if<bool>(&v) ? "True" : "False";
        default: return "";
    }
}

std::string TField::AsString() const { return dataset_.ReadFieldText(*this); }

std::string TField::DisplayText() const {
    if (type_ == TFieldType::ftMemo) return IsNull() ? "(memo)" : "(MEMO)";
    if (type_ == TFieldType::ftBlob) return IsNull() ? "(blob)" : "(BLOB)";
    return AsString();
}

int32_t TField::AsInteger() const {
    TFieldValue v = Value();
    if (IsNullValue(v)) return 0;
    if (auto* i = std::get_if<int64_t>(&v)) return static_cast<int32_t>(*i);
    if (auto* d = std::get_if<double>(&v)) {
        double r = RoundHalfEven(*d);
        if (!(r >= INT32_MIN && r <= INT32_MAX)) throw ERangeError(201, "Range check error");
        return static_cast<int32_t>(r);
    }
    if (auto* s = std::get_if<std::string>(&v)) {
        int64_t n = 0;
        if (Trim(*s).empty()) return 0;
        if (!TextToInteger(*s, n) || n < INT32_MIN || n > INT32_MAX) {
            throw EConvertError(0, "'" + *s + "' is not a valid integer value");
        }
        return static_cast<int32_t>(n);
    }
    AccessError("Integer");
}

double TField::AsFloat() const {
    TFieldValue v = Value();
    if (IsNullValue(v)) return 0;
    if (auto* i = std::get_if<int64_t>(&v)) return static_cast<double>(*i);
    if (auto* d = std::get_if<double>(&v)) return *d;
    if (auto* dt = std::get_if<TDateValue>(&v)) return dt->value;
    if (auto* dtt = std::get_if<TDateTimeValue>(&v)) return dtt->value;
    if (auto* s = std::get_if<std::string>(&v)) {
        double d = 0;
        if (Trim(*s).empty()) return 0;
        if (!TextToFloat(*s, d)) throw EConvertError(0, "'" + *s + "' is not a valid floating point value");
        return d;
    }
    AccessError("Float");
}

bool TField::AsBoolean() const {
    TFieldValue v = Value();
    if (IsNullValue(v)) return false;
    if (auto* b = std::get_if<bool>(&v)) return *b;
    if (auto* i = std::get_if<int64_t>(&v)) return *i != 0;
    if (auto* s = std::get_if<std::string>(&v)) {
        return !s->empty() && std::string("TtYy").find((*s)[0]) != std::string::npos;
    }
    AccessError("Boolean");
}

TDateTime TField::AsDateTime() const {
    TFieldValue v = Value();
    if (IsNullValue(v)) return 0;
    if (auto* dt = std::get_if<TDateValue>(&v)) return dt->value;
    if (auto* dtt = std::get_if<TDateTimeValue>(&v)) return dtt->value;
    if (auto* d = std::get_if<double>(&v)) return *d;
    if (auto* s = std::get_if<std::string>(&v)) {
        if (Trim(*s).empty()) return 0;
        return JulianToDateTime(TgsDBFDate::Instance().JulianFromText(*s));
    }
    AccessError("DateTime");
}

// The value in this field's own kind (see Value), or an error for a kind it cannot take.
TFieldValue TField::Convert(const TFieldValue& value) const {
    if (IsNullValue(value)) return value;
    const std::string* s = std::get_if<std::string>(&value);
    switch (type_) {
        case TFieldType::ftString:
        case TFieldType::ftMemo:
        case TFieldType::ftBlob: {
            return ValueToText(value);
        }
        case TFieldType::ftSmallint:
        case TFieldType::ftInteger: {
            int64_t n = 0;
            if (auto* i = std::get_if<int64_t>(&value)) {
                n = *i;
            } else if (auto* d = std::get_if<double>(&value)) {
                double r = RoundHalfEven(*d);
                if (!(r >= INT32_MIN && r <= INT32_MAX)) throw ERangeError(201, "Range check error");
                n = static_cast<int64_t>(r);
            } else if (s) {
                if (Trim(*s).empty()) return TNull{};
                if (!TextToInteger(*s, n)) throw EConvertError(0, "'" + *s + "' is not a valid integer value");
            } else {
                AccessError(std::holds_alternative<bool>(value) ? "Boolean" : "DateTime");
            }
            const int64_t lo = type_ == TFieldType::ftSmallint ? INT16_MIN : INT32_MIN;
            const int64_t hi = type_ == TFieldType::ftSmallint ? INT16_MAX : INT32_MAX;
            if (n < lo || n > hi) {
                throw EDatabaseError(FormatMessage(FormatMessage(dsmsg::kInvalidValue, std::to_string(n)), DisplayName()));
            }
            return n;
        }
        case TFieldType::ftFloat: {
            if (auto* i = std::get_if<int64_t>(&value)) return static_cast<double>(*i);
            if (auto* d = std::get_if<double>(&value)) return *d;
            if (s) {
                double d = 0;
                if (Trim(*s).empty()) return TNull{};
                if (!TextToFloat(*s, d)) throw EConvertError(0, "'" + *s + "' is not a valid floating point value");
                return d;
            }
            AccessError(std::holds_alternative<bool>(value) ? "Boolean" : "DateTime");
        }
        case TFieldType::ftBoolean: {
            if (auto* b = std::get_if<bool>(&value)) return *b;
            if (auto* i = std::get_if<int64_t>(&value)) return *i != 0;
            if (s) {
                std::string u = platform::CurrentLocale().UpperCase(Trim(*s));
                if (u.empty()) return TNull{};
                if (u == "T" || u == "TRUE" || u == "Y" || u == "YES") return true;
                if (u == "F" || u == "FALSE" || u == "N" || u == "NO") return false;
                throw EDatabaseError(FormatMessage(FormatMessage(dsmsg::kInvalidValue, *s), DisplayName()));
            }
            AccessError("Float");
        }
        case TFieldType::ftDate:
        case TFieldType::ftDateTime: {
            double t = 0;
            if (auto* dt = std::get_if<TDateValue>(&value)) {
                t = dt->value;
            } else if (auto* dtt = std::get_if<TDateTimeValue>(&value)) {
                t = dtt->value;
            } else if (auto* d = std::get_if<double>(&value)) {
                t = *d;
            } else if (s) {
                if (Trim(*s).empty()) return TNull{};
                int32_t j = TgsDBFDate::Instance().JulianFromText(*s);
                t = JulianToDateTime(j);
            } else {
                AccessError(std::holds_alternative<bool>(value) ? "Boolean" : "Integer");
            }
            if (type_ == TFieldType::ftDate) return TDateValue{std::floor(t)};
            return TDateTimeValue{t};
        }
        case TFieldType::ftUnknown: break;
    }
    AccessError(FieldTypeName(type_));
}

void TField::SetValue(const TFieldValue& value) { dataset_.WriteFieldValue(*this, Convert(value)); }
void TField::SetAsString(const std::string& value) { SetValue(value); }
void TField::SetAsInteger(int32_t value) { SetValue(static_cast<int64_t>(value)); }
void TField::SetAsFloat(double value) { SetValue(value); }
void TField::SetAsBoolean(bool value) { SetValue(value); }
void TField::SetAsDateTime(TDateTime value) {
    SetValue(type_ == TFieldType::ftDate ? TFieldValue(TDateValue{value}) : TFieldValue(TDateTimeValue{value}));
}
void TField::Clear() { SetValue(TNull{}); }
