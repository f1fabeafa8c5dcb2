// Tokenizing: quotes, blanks, parentheses, commas and every operator spelling.

#include "ExpTestSupport.h"
#include "index/expr/ExpTokenizer.h"
#include "index/expr/TgsExpOperator.h"

using namespace exptest;
using exptok::Tokenize;

namespace {

std::string Op(uint8_t code) {
    return std::string{static_cast<char>(expop::Precedence(code)), static_cast<char>(code)};
}

}  // namespace

TEST(ExpTokenize, PlainCharactersAreCopiedBlanksAndPunctuationBecomeBytes) {
    EXPECT_EQ(Tokenize("ab_1.5"), "ab_1.5");
    EXPECT_EQ(Tokenize("F(a, b)"), std::string("F\x09" "a\x1b\x1c" "b\x0a"));
}

TEST(ExpTokenize, EachSingleCharacterOperator) {
    EXPECT_EQ(Tokenize("a+b"), "a" + Op(137) + "b");
    EXPECT_EQ(Tokenize("-"), Op(138));
    EXPECT_EQ(Tokenize("*"), Op(139));
    EXPECT_EQ(Tokenize("/"), Op(140));
    EXPECT_EQ(Tokenize("^"), Op(141));
    EXPECT_EQ(Tokenize("="), Op(129));
    EXPECT_EQ(Tokenize("#"), Op(130));
    EXPECT_EQ(Tokenize(">"), Op(131));
    EXPECT_EQ(Tokenize("<"), Op(132));
    EXPECT_EQ(Tokenize("!"), Op(146));
}

TEST(ExpTokenize, PrecedenceBytes) {
    EXPECT_EQ(expop::Precedence(141), 2);
    EXPECT_EQ(expop::Precedence(139), 3);
    EXPECT_EQ(expop::Precedence(140), 3);
    EXPECT_EQ(expop::Precedence(144), 3);
    EXPECT_EQ(expop::Precedence(137), 4);
    EXPECT_EQ(expop::Precedence(145), 4);
    EXPECT_EQ(expop::Precedence(129), 5);
    EXPECT_EQ(expop::Precedence(136), 5);
    EXPECT_EQ(expop::Precedence(146), 6);
}

TEST(ExpTokenize, TwoCharacterOperators) {
    EXPECT_EQ(Tokenize("a**b"), "a" + Op(141) + "b");
    EXPECT_EQ(Tokenize("a<=b"), "a" + Op(134) + "b");
    EXPECT_EQ(Tokenize("a=<b"), "a" + Op(134) + "b");
    EXPECT_EQ(Tokenize("a>=b"), "a" + Op(133) + "b");
    EXPECT_EQ(Tokenize("a=>b"), "a" + Op(133) + "b");
    EXPECT_EQ(Tokenize("a<>b"), "a" + Op(130) + "b");
    EXPECT_EQ(Tokenize("a!=b"), "a" + Op(130) + "b");
    EXPECT_EQ(Tokenize("a==b"), "a" + Op(136) + "b");
    EXPECT_EQ(Tokenize("a->b"), "a.b");
    // Separated by a blank they stay two operators.
    EXPECT_EQ(Tokenize("a< =b"), "a" + Op(132) + "\x1c" + Op(129) + "b");
}

TEST(ExpTokenize, QuotesOpenTextAndDateConstants) {
    EXPECT_EQ(Tokenize("'a b'"), std::string("\x0b" "a b\x0c"));
    EXPECT_EQ(Tokenize("\"x\""), std::string("\x0b" "x\x0c"));
    EXPECT_EQ(Tokenize("[x]"), std::string("\x0b" "x\x0c"));
    EXPECT_EQ(Tokenize("]x]"), std::string("\x0b" "x\x0c"));
    EXPECT_EQ(Tokenize("}x}"), std::string("\x0b" "x\x0c"));
    EXPECT_EQ(Tokenize("{01.02.2024}"), std::string("\x0d" "01.02.2024\x0e"));
}

TEST(ExpTokenize, InsideQuotesEverythingIsCopied) {
    // Other quote characters, operators, blanks and parentheses stay as they are.
    EXPECT_EQ(Tokenize("'a\"[+( ,'"), std::string("\x0b" "a\"[+( ,\x0c"));
    EXPECT_EQ(Tokenize("[it's]"), std::string("\x0b" "it's\x0c"));
}

TEST(ExpTokenize, UnclosedQuoteRunsToTheEnd) {
    EXPECT_EQ(Tokenize("'abc"), std::string("\x0b" "abc"));
}

TEST(ExpTokenize, TextEndsAtZeroByte) {
    EXPECT_EQ(Tokenize(std::string("ab\0cd", 5)), "ab");
}

TEST(ExpTokenize, BytesOfOperatorCodesPassThroughAsTheyAre) {
    std::string s = "a\x89" "b";
    EXPECT_EQ(Tokenize(s), s);
}
