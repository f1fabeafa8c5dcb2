#pragma once
// Text forms of field values: the strict decimal-number reading and the fixed-point
// writing the engine uses for N and F fields, independent of the process's C locale.

#include <cstddef>
#include <string>

// Reads a decimal number: leading blanks, an optional sign, digits with an optional point
// and fraction, an optional exponent, and nothing after. False when the text is not one.
bool ParseFieldNumber(const std::string& text, double& value);
bool ParseFieldNumber(const char* text, size_t size, double& value);

// Fixed-point text of `value` with `decimals` decimals, right-justified to at least
// `width` characters ("%*.*f" in the C locale).
std::string FormatFieldNumber(double value, int width, int decimals);

std::string TrimRightBlanks(const std::string& s);
std::string TrimLeftBlanks(const std::string& s);
