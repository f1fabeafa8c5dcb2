#pragma once
// One typed value handed to or taken from a field: null, text, integer, real number,
// date (a TDateTime whose time of day is dropped where a date is stored), date and time,
// or logical. AppendRecord takes a list of them.

#include <cstdint>
#include <string>
#include <variant>

#include "dataset/DateTime.h"

struct TNull {
    bool operator==(const TNull&) const = default;
};
struct TDateValue {
    TDateTime value = 0;
    bool operator==(const TDateValue&) const = default;
};
struct TDateTimeValue {
    TDateTime value = 0;
    bool operator==(const TDateTimeValue&) const = default;
};

using TFieldValue = std::variant<TNull, std::string, int64_t, double, TDateValue, TDateTimeValue, bool>;

inline TFieldValue Null() { return TNull{}; }
inline TFieldValue Text(std::string s) { return s; }
inline TFieldValue Integer(int64_t v) { return v; }
inline TFieldValue Float(double v) { return v; }
inline TFieldValue DateOf(TDateTime v) { return TDateValue{v}; }
inline TFieldValue DateTimeOf(TDateTime v) { return TDateTimeValue{v}; }
inline TFieldValue Logical(bool v) { return v; }
inline bool IsNullValue(const TFieldValue& v) { return std::holds_alternative<TNull>(v); }
