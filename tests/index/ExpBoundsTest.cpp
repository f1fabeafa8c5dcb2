// Results never leave the buffers they are written into: long texts are refused with a
// message, field texts are cut, counts and starts out of range give empty texts.

#include "ExpTestSupport.h"
#include "index/expr/TgsVariant.h"

using namespace exptest;

class ExpBounds : public ExpTest {};

namespace {

std::string Quoted(size_t n, char c = 'x') { return "'" + std::string(n, c) + "'"; }

// Evaluates into a buffer with guard bytes behind it and checks they stay untouched.
void ExpectGuardsKept(TgsExpHandler& h, size_t size) {
    std::string buf(size + 32, '\x5a');
    try {
        h.Evaluate(buf.data(), size);
    } catch (const ERidedezExpression&) {
    }
    EXPECT_EQ(buf.substr(size), std::string(32, '\x5a'));
}

}  // namespace

TEST_F(ExpBounds, ConcatenationBeyondTheBufferIsRefused) {
    EXPECT_EQ(Text(Quoted(300) + "+" + Quoted(211)).size(), 511u);
    EXPECT_EQ(ErrorOf(Quoted(300) + "+" + Quoted(212)), "Result of + is longer than 511 characters");
    EXPECT_EQ(ErrorOf(Quoted(300) + "-" + Quoted(212)), "Result of - is longer than 511 characters");
}

TEST_F(ExpBounds, VariantEvaluationHasTwoHundredFiftySixBytes) {
    TgsExpHandler h(nullptr, false, Quoted(200) + "+" + Quoted(100));
    TgsVariant v(256);
    try {
        h.EvaluateToVariant(v);
        FAIL();
    } catch (const ERidedezExpression& e) {
        EXPECT_STREQ(e.what(), "Result of + is longer than 255 characters");
    }
    h.SetExpression(Quoted(200) + "+" + Quoted(55));
    ASSERT_NE(h.EvaluateToVariant(v), nullptr);
    EXPECT_EQ(v.Length(), 255u);
}

TEST_F(ExpBounds, PadsWithLargeLengths) {
    EXPECT_EQ(ErrorOf("PADL('a', 512)"), "Result of PADL is longer than 511 characters");
    EXPECT_EQ(ErrorOf("PADC('a', 1e12)"), "Result of PADC is longer than 511 characters");
    EXPECT_EQ(Text("PADR('a', 511)").size(), 511u);
    // A long text cut to a length needs no room.
    EXPECT_EQ(Text("PADR(" + Quoted(400) + ", 300)").size(), 300u);
    EXPECT_EQ(ErrorOf("PADR(" + Quoted(20) + ", 1e12)"), "Result of PADR is longer than 511 characters");
}

TEST_F(ExpBounds, LeftRightSubstrWithHugeOrNegativeCounts) {
    EXPECT_EQ(Text("LEFT('abc', 1e300)"), "abc");
    EXPECT_EQ(Text("LEFT('abc', -1e300)"), "");
    EXPECT_EQ(Text("RIGHT('abc', 1e300)"), "abc");
    EXPECT_EQ(Text("RIGHT('abc', -1e300)"), "");
    EXPECT_EQ(Text("SUBSTR('HELLO', -2)"), "");
    EXPECT_EQ(Text("SUBSTR('HELLO', -2, 3)"), "");
    EXPECT_EQ(Text("SUBSTR('HELLO', 2, -1)"), "");
    EXPECT_EQ(Text("SUBSTR('HELLO', 2, 1e300)"), "ELLO");
    EXPECT_EQ(Text("SUBSTR('HELLO', 1e300)"), "");
    EXPECT_EQ(Text("SUBSTR('HELLO', 0/1 + 2, 0)"), "");
}

TEST_F(ExpBounds, StrWidths) {
    EXPECT_EQ(ErrorOf("STR(1, 600)"), "Result of STR is longer than 511 characters");
    EXPECT_EQ(Text("STR(1, 511)").size(), 511u);
    EXPECT_EQ(Text("STR(1, -4)"), "");
    EXPECT_EQ(Text("STR(1, 10, 1e12)"), "**********");
    EXPECT_EQ(Text("STR(1e300, 20)"), std::string(20, '*'));
    EXPECT_EQ(Text("STR(1e300, 310)").size(), 310u);
    EXPECT_EQ(Text("STR(1, 5, -3)"), "    1");
}

TEST_F(ExpBounds, FieldTextsAreCutToTheBuffer) {
    link.name->text = std::string(1000, 'n');
    EXPECT_EQ(Text("NAME", &link).size(), 511u);
    TgsExpHandler h(&link, false, "NAME");
    TgsVariant v(256);
    h.EvaluateToVariant(v);
    EXPECT_EQ(v.Length(), 255u);
    EXPECT_EQ(Text("LEFT(NAME, 3)", &link), "nnn");
}

TEST_F(ExpBounds, TextConstantLongerThanTheBuffer) {
    EXPECT_EQ(ErrorOf(Quoted(600)), "Result of a text constant is longer than 511 characters");
}

TEST_F(ExpBounds, NothingIsWrittenPastASmallBuffer) {
    for (const char* e : {"PADR('a', 100)", "'abcdefghijklmnopqrstuvwxyz' + 'abc'", "STR(1, 40)",
                          "NAME", "REPLICATE", "SOUNDEX('abc')", "DTOC(DATE())", "UPPER(NAME)"}) {
        link.name->text = std::string(100, 'n');
        try {
            TgsExpHandler h(&link, false);
            h.SetExpression(e);
            ExpectGuardsKept(h, 16);
            ExpectGuardsKept(h, 17);
        } catch (const ERidedezExpression&) {
        }
    }
}

TEST_F(ExpBounds, BuffersBelowTheMinimumAreRefused) {
    TgsExpHandler h(nullptr, false, "1");
    char small[8];
    EXPECT_THROW(h.Evaluate(small, sizeof small), ERidedezExpression);
}

TEST_F(ExpBounds, EmptyDateReachingAVariantIsDayZero) {
    TgsExpHandler h(nullptr, false, "CTOD('')");
    TgsVariant v(256);
    ASSERT_NE(h.EvaluateToVariant(v), nullptr);
    EXPECT_EQ(v.Type(), TgsVariantType::Date);
    EXPECT_EQ(v.AsDate(), 0);
    h.SetExpression("DATE() + 1e20");
    ASSERT_NE(h.EvaluateToVariant(v), nullptr);
    EXPECT_EQ(h.ResultType(), expkind::Number);
    h.SetExpression("1e20 + DATE()");
    ASSERT_NE(h.EvaluateToVariant(v), nullptr);
    EXPECT_EQ(v.AsDate(), 0);
}
