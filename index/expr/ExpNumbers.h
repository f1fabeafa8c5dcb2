#pragma once
// Number texts of the expression language: reading literals and VAL's decimal numbers,
// writing numbers in fixed notation (STR, literals) and the shortest general form.
// Nothing here reads the C library's locale; the decimal separator is passed in.

#include <string>
#include <string_view>

namespace expnum {

// A numeric literal as the parser sees it: optional sign, digits, optional "." and
// fraction, optional exponent, nothing else. False when it does not read completely
// or lies outside the range of a double.
bool ParseLiteral(std::string_view word, double& value);

// A decimal number with leading and trailing blanks, a sign, `separator` as the
// decimal point and an exponent allowed; at least one digit. False otherwise.
bool ParseDecimal(std::string_view text, char separator, double& value);

// Fixed notation with `decimals` places (0 or more), rounded half away from zero on
// the number's shortest decimal form, no padding. False for infinities and NaN.
bool FormatFixed(double value, int decimals, std::string& out);

// The shortest general form: up to 15 significant digits, scientific notation ("1E20",
// "1.5E-7") for very large and very small values; INF, -INF and NAN for the others.
std::string FormatGeneral(double value, char separator);

}  // namespace expnum
