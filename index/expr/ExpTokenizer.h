#pragma once
// Rewrites an expression text into its token string.
//
// Token bytes: 9 "(", 10 ")", 27 ",", 28 a blank, 11 ... 12 a text constant, 13 ... 14 a
// date constant; an operator is its precedence byte (2 to 6) followed by its code
// (129 to 146). Everything else is copied as it is.

#include <string>

namespace exptok {

constexpr char OpenParen = 9;
constexpr char CloseParen = 10;
constexpr char TextOpen = 11;
constexpr char TextClose = 12;
constexpr char DateOpen = 13;
constexpr char DateClose = 14;
constexpr char Comma = 27;
constexpr char Blank = 28;

// The text ends at its first zero byte; a text longer than kExpMaxText raises
// ERidedezExpression.
std::string Tokenize(const std::string& text);

}  // namespace exptok
