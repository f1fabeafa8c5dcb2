// Hostile texts: control bytes, token bytes, unbalanced quotes and parentheses, deep
// nesting, long chains and huge numbers give a value or a clean error.

#include <random>

#include "ExpTestSupport.h"
#include "engine/RunErrors.h"

using namespace exptest;

class ExpHostile : public ExpTest {};

namespace {

// Parses and evaluates; true when it ended in a value or in one of our errors.
bool Survives(const std::string& text, TgsExpUserLink* link) {
    try {
        TgsExpHandler h(link, false, text);
        char buf[kExpVariantBuffer];
        h.Evaluate(buf, sizeof buf);
        h.ExpressionText();
        return true;
    } catch (const ERidedezExpression&) {
        return true;
    } catch (const ERunError&) {
        return true;  // arithmetic errors: 1/0, overflow
    }
}

}  // namespace

TEST_F(ExpHostile, EveryControlAndTokenByteAloneAndInContext) {
    for (int b = 1; b < 256; ++b) {
        std::string c(1, static_cast<char>(b));
        for (const std::string& t : {c, "1" + c + "2", "NAME" + c, c + "(1)", "'a" + c + "'",
                                     "UPPER(" + c + ")", c + c + c, "{" + c + "}"}) {
            EXPECT_TRUE(Survives(t, &link)) << b;
        }
    }
}

TEST_F(ExpHostile, UnbalancedQuotesAndParentheses) {
    for (const char* t : {"'abc", "\"", "[", "{", "{12.", ")", "))(", "(((", "UPPER(", "UPPER)",
                          "(')", "IIF(.T.,'a", "'a'+(", ",,,", "((1,2))", "F(", "-", "--", "+-+",
                          "- * 3", ".", "..", "...AND...", "1..2", "(.NOT.)", ".NOT..NOT."}) {
        EXPECT_TRUE(Survives(t, &link)) << t;
    }
    EXPECT_EQ(Text("'abc"), "abc");  // an open quote runs to the end
}

TEST_F(ExpHostile, TenThousandNestedParentheses) {
    std::string deep = std::string(10000, '(') + "1" + std::string(10000, ')');
    EXPECT_EQ(ErrorOf(deep), "Expression text is longer than 4096 characters");
    std::string nested = std::string(2000, '(') + "1" + std::string(2000, ')');
    EXPECT_EQ(ErrorOf(nested), "Expression is nested more than 500 levels deep");
    std::string calls;
    for (int i = 0; i < 700; ++i) calls += "INT(";
    calls += "1" + std::string(700, ')');
    EXPECT_EQ(ErrorOf(calls), "Expression is nested more than 500 levels deep");
    std::string ok = std::string(400, '(') + "1" + std::string(400, ')');
    EXPECT_EQ(Number(ok), 1);
}

TEST_F(ExpHostile, LongOperatorChainsAreBoundedToo) {
    std::string chain = "1";
    for (int i = 0; i < 1500; ++i) chain += "+1";
    EXPECT_EQ(ErrorOf(chain), "Expression is nested more than 500 levels deep");
    std::string shorter = "1";
    for (int i = 0; i < 300; ++i) shorter += "+1";
    EXPECT_EQ(Number(shorter), 301);
    std::string powers = "1";
    for (int i = 0; i < 600; ++i) powers += "^1";
    EXPECT_EQ(ErrorOf(powers), "Expression is nested more than 500 levels deep");
    // A .NOT. takes the node to its right as it is, even another .NOT.: no chain.
    EXPECT_EQ(ErrorOf(".NOT. .NOT. .T."), "Expression cannot be evaluated");
}

TEST_F(ExpHostile, HugeNumbers) {
    EXPECT_EQ(Number(std::string(400, '9')), 0);  // out of range: reads as nothing
    EXPECT_EQ(Number("1e308"), 1e308);
    EXPECT_EQ(Number("1e309"), 0);
    EXPECT_EQ(Canonical("1e308").size(), 309u);
    EXPECT_THROW(Eval("1e308 * 1e308"), EOverflow);
    EXPECT_TRUE(Survives("CHR(1e308)", nullptr));
    EXPECT_TRUE(Survives("DTOS(1e300 + DATE())", nullptr));
    EXPECT_TRUE(Survives("DTOC(-1e300 + DATE())", nullptr));
    EXPECT_TRUE(Survives("SUBSTR('abc', -1e308, 1e308)", nullptr));
    EXPECT_EQ(Text("DTOS(1e300 + DATE())"), "        ");
}

TEST_F(ExpHostile, RandomTextsFromTheLanguagesPieces) {
    const char* pieces[] = {"(", ")", "'", "\"", "[", "]", "{", "}", ",", " ", "+", "-", "*",
                            "/", "^", "=", "#", "<", ">", "!", ".AND.", ".OR.", ".NOT.", ".T.",
                            "1", "0", "2.5", "1e300", "NAME", "AMOUNT", "BDATE", "ACTIVE",
                            "NOTES", "UPPER(", "SUBSTR(", "PADC(", "STR(", "IIF(", "DTOS(",
                            "CTOD(", "DESCEND(", "\x01", "\x09", "\x0b", "\x0d", "\x1c", "\x89",
                            "\x9d", "\xc0"};
    std::mt19937 rng(7);
    link.name->text = "Smith";
    link.amount->number = 12.5;
    link.bdate->number = Day(2000, 1, 1);
    for (int i = 0; i < 20000; ++i) {
        std::string t;
        int n = 1 + static_cast<int>(rng() % 12);
        for (int j = 0; j < n; ++j) t += pieces[rng() % (sizeof pieces / sizeof *pieces)];
        ASSERT_TRUE(Survives(t, &link)) << t;
    }
}
