// Each operator on each kind of value.

#include "ExpTestSupport.h"
#include "engine/RunErrors.h"

using namespace exptest;

class ExpOperators : public ExpTest {};

TEST_F(ExpOperators, NumberComparisons) {
    EXPECT_TRUE(Logical("2 = 2"));
    EXPECT_FALSE(Logical("2 = 3"));
    EXPECT_TRUE(Logical("2 # 3"));
    EXPECT_TRUE(Logical("2 <> 3"));
    EXPECT_TRUE(Logical("2 != 3"));
    EXPECT_TRUE(Logical("3 > 2"));
    EXPECT_FALSE(Logical("2 > 2"));
    EXPECT_TRUE(Logical("2 < 3"));
    EXPECT_TRUE(Logical("2 >= 2"));
    EXPECT_TRUE(Logical("2 => 1"));
    EXPECT_TRUE(Logical("2 <= 2"));
    EXPECT_FALSE(Logical("3 =< 2"));
}

TEST_F(ExpOperators, NumberArithmetic) {
    EXPECT_EQ(Number("1.5 + 2"), 3.5);
    EXPECT_EQ(Number("1.5 - 2"), -0.5);
    EXPECT_EQ(Number("1.5 * 2"), 3);
    EXPECT_EQ(Number("3 / 2"), 1.5);
    EXPECT_EQ(Number("2 ^ 10"), 1024);
    EXPECT_EQ(Number("2 ^ 1"), 2);
    EXPECT_EQ(Number("2 ^ 2.9"), 4);  // the exponent is truncated
}

TEST_F(ExpOperators, PowerWithExponentZeroOrLess) {
    EXPECT_EQ(Number("5 ^ 0"), 1);
    EXPECT_EQ(Number("0 ^ 0"), 1);
    EXPECT_EQ(Number("2 ^ -1"), 0.5);
    EXPECT_EQ(Number("2 ^ -3"), 0.125);
    EXPECT_EQ(Number("-2 ^ -2"), 0.25);
    EXPECT_EQ(Number("2 ^ 0.5"), 1);  // truncates to 0
    EXPECT_THROW(Eval("0 ^ -1"), EZeroDivide);
}

TEST_F(ExpOperators, LargePowersUseFewMultiplications) {
    EXPECT_EQ(Number("1 ^ 2000000000"), 1);
    EXPECT_EQ(Number("-1 ^ 2000000001"), -1);
    EXPECT_EQ(Number("0.5 ^ 2000"), 0);
    EXPECT_THROW(Eval("2 ^ 2000"), EOverflow);
}

TEST_F(ExpOperators, DivisionByZeroIsAnArithmeticError) {
    EXPECT_THROW(Eval("1/0"), EZeroDivide);
    EXPECT_THROW(Eval("0/0"), EInvalidOp);
    try {
        Eval("1/0");
        FAIL();
    } catch (const ERunError& e) {
        EXPECT_EQ(e.Code(), 208);
    }
}

TEST_F(ExpOperators, OverflowIsAnArithmeticError) {
    EXPECT_THROW(Eval("1e308 * 10"), EOverflow);
    EXPECT_THROW(Eval("1e308 + 1e308"), EOverflow);
}

TEST_F(ExpOperators, DatesAndNumbersMix) {
    link.bdate->number = Day(2024, 3, 15);
    Result a = Eval("DATE() + 1");
    EXPECT_EQ(a.kind, expkind::Number);  // the right operand's kind
    EXPECT_EQ(a.number, Day(2024, 3, 16));
    Result b = Eval("1 + DATE()");
    EXPECT_EQ(b.kind, expkind::Date);
    Result diff = Eval("DATE() - BDATE", &link);
    EXPECT_EQ(diff.kind, expkind::Date);
    EXPECT_EQ(diff.number, 0);
    EXPECT_TRUE(Logical("BDATE = DATE()", &link));
    EXPECT_TRUE(Logical("BDATE < {16.03.2024}", &link));
    EXPECT_TRUE(Logical("BDATE > 2000", &link));
}

TEST_F(ExpOperators, LogicalOperators) {
    EXPECT_TRUE(Logical(".T. .AND. .T."));
    EXPECT_FALSE(Logical(".T. .AND. .F."));
    EXPECT_TRUE(Logical(".F. .OR. .T."));
    EXPECT_FALSE(Logical(".F. .OR. .F."));
    EXPECT_FALSE(Logical(".NOT. .T."));
    EXPECT_TRUE(Logical(".T. = .T."));
    EXPECT_FALSE(Logical(".T. = .F."));
    EXPECT_TRUE(Logical(".T. # .F."));
}

TEST_F(ExpOperators, LogicalArithmeticAndOtherOperatorsAreRefused) {
    EXPECT_EQ(ErrorOf(".T. + .F."), "A number value is required but invalid");
    EXPECT_EQ(ErrorOf(".T. - .F."), "A number value is required but invalid");
    EXPECT_EQ(ErrorOf(".T. * .F."), "A number value is required but invalid");
    EXPECT_EQ(ErrorOf(".T. / .F."), "A number value is required but invalid");
    EXPECT_EQ(ErrorOf(".T. ^ .F."), "A number value is required but invalid");
    EXPECT_EQ(ErrorOf(".T. > .F."), "A assigned value is required but invalid");
    EXPECT_EQ(ErrorOf(".T. == .T."), "A assigned value is required but invalid");
}

TEST_F(ExpOperators, NumbersRefuseLogicalOperators) {
    EXPECT_EQ(ErrorOf("1 .AND. 2"), "A assigned value is required but invalid");
    EXPECT_EQ(ErrorOf("1 == 1"), "A assigned value is required but invalid");
    EXPECT_EQ(ErrorOf(".NOT. 1"), "A boolean value is required but invalid");
}

TEST_F(ExpOperators, TextComparisonIgnoresTrailingBlanks) {
    EXPECT_TRUE(Logical("'ABC  ' = 'ABC'"));
    EXPECT_FALSE(Logical("'ABCD' = 'AB'"));
    EXPECT_TRUE(Logical("'AB' < 'ABC'"));
    EXPECT_TRUE(Logical("'b' > 'a'"));
    EXPECT_TRUE(Logical("'a' # 'b'"));
    EXPECT_TRUE(Logical("'a' <= 'a  '"));
    EXPECT_TRUE(Logical("'a' >= 'a'"));
    EXPECT_FALSE(Logical("'abc' = 'ABC'"));
    // Bytes compare unsigned: a Cyrillic letter sorts after every ASCII one.
    EXPECT_TRUE(Logical("'\xC0' > 'z'"));
}

TEST_F(ExpOperators, TextWildcards) {
    link.name->text = "SMITH";
    EXPECT_TRUE(Logical("NAME = 'SM*'", &link));
    EXPECT_FALSE(Logical("NAME = 'SX*'", &link));
    EXPECT_TRUE(Logical("NAME = '*TH'", &link));
    EXPECT_FALSE(Logical("NAME = '*SM'", &link));
    EXPECT_TRUE(Logical("NAME = '*MI*'", &link));
    EXPECT_FALSE(Logical("NAME = '*XY*'", &link));
    EXPECT_TRUE(Logical("'x' = '*'"));
    EXPECT_TRUE(Logical("'' = '*'"));
    EXPECT_TRUE(Logical("'abc' = '**'"));
    // A wildcard on the left is an ordinary character; '?' takes no part.
    EXPECT_FALSE(Logical("'S*' = 'SMITH'"));
    EXPECT_FALSE(Logical("'SMITH' = 'SM?TH'"));
}

TEST_F(ExpOperators, WildcardFlagAndSqlWildcards) {
    TgsExpHandler off(nullptr, false);
    off.wildcard = false;
    off.SetExpression("'SMITH' = 'SM*'");
    char buf[64];
    off.Evaluate(buf, sizeof buf);
    EXPECT_EQ(buf[0], 0);

    TgsExpHandler sql(nullptr, true, "'SMITH' = 'SM%'");
    EXPECT_EQ(sql.manyWildcard, '%');
    EXPECT_EQ(sql.singleWildcard, '_');
    sql.Evaluate(buf, sizeof buf);
    EXPECT_EQ(buf[0], 1);
    sql.SetExpression("'SMITH' = 'SM*'");
    sql.Evaluate(buf, sizeof buf);
    EXPECT_EQ(buf[0], 0);
}

TEST_F(ExpOperators, CaseInsensitiveFlag) {
    TgsExpHandler h(nullptr, false);
    h.caseInsensitive = true;
    char buf[64];
    h.SetExpression("'smith' = 'SMITH'");
    h.Evaluate(buf, sizeof buf);
    EXPECT_EQ(buf[0], 1);
    // With wildcards the system's tables fold Cyrillic letters too.
    h.SetExpression("'\xE0\xE1\xE2' = '\xC0\xC1*'");
    h.Evaluate(buf, sizeof buf);
    EXPECT_EQ(buf[0], 1);
    // Without them only a to z fold.
    h.SetExpression("'\xE0' = '\xC0'");
    h.Evaluate(buf, sizeof buf);
    EXPECT_EQ(buf[0], 0);
    // The flag is taken when operators are made.
    h.caseInsensitive = false;
    h.SetExpression("'smith' = 'SMITH'");
    h.Evaluate(buf, sizeof buf);
    EXPECT_EQ(buf[0], 0);
}

TEST_F(ExpOperators, TextConcatenation) {
    link.name->text = "ab ";
    EXPECT_EQ(Text("UPPER(NAME)+'X'", &link), "AB X");
    EXPECT_EQ(Text("NAME-'X'", &link), "abX ");
    EXPECT_EQ(Text("TRIM(NAME)-'X'", &link), "abX");
    EXPECT_EQ(Text("'   ' - 'X'"), " X  ");  // the first character always stays
    EXPECT_EQ(Text("'' + ''"), "");
}

TEST_F(ExpOperators, TextRefusesArithmetic) {
    EXPECT_EQ(ErrorOf("'a' * 'b'"), "A assigned value is required but invalid");
    EXPECT_EQ(ErrorOf("'a' / 'b'"), "A assigned value is required but invalid");
    EXPECT_EQ(ErrorOf("'a' .AND. 'b'"), "A assigned value is required but invalid");
    EXPECT_EQ(ErrorOf("'a' == 'a'"), "A assigned value is required but invalid");
}

TEST_F(ExpOperators, LikeAndPosParseButRefuseToEvaluate) {
    EXPECT_EQ(ErrorOf("'a' LIKE 'b'"), "A assigned value is required but invalid");
    EXPECT_EQ(ErrorOf("1 POS 2"), "A assigned value is required but invalid");
}

TEST_F(ExpOperators, MismatchedSides) {
    EXPECT_EQ(ErrorOf("'A' + 1"), "The two sides of an operation do not match");
    EXPECT_EQ(ErrorOf("1 = .T."), "The two sides of an operation do not match");
    EXPECT_EQ(ErrorOf("DATE() = 'x'"), "The two sides of an operation do not match");
}

TEST_F(ExpOperators, FieldReferencesCompareFalseAndPassThrough) {
    EXPECT_FALSE(Logical("NOTES = NOTES", &link));
    Result r = Eval("NOTES + NOTES", &link);
    EXPECT_EQ(r.kind, expkind::Field);
    EXPECT_EQ(ErrorOf("NOTES = 'x'", &link), "The two sides of an operation do not match");
}
