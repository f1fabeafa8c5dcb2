// Every message of the expression language with its words filled in, and the class
// it is raised as.

#include "ExpTestSupport.h"
#include "index/expr/TgsVariant.h"

using namespace exptest;

class ExpMessages : public ExpTest {};

TEST_F(ExpMessages, MissingClosingParentheses) {
    EXPECT_EQ(ErrorOf("(1 + 2"), "Missing closing parentheses");
    EXPECT_EQ(ErrorOf("UPPER('a'"), "Missing closing parentheses");
    EXPECT_EQ(ErrorOf("((1)"), "Missing closing parentheses");
}

TEST_F(ExpMessages, UnknownFieldVariable) {
    EXPECT_EQ(ErrorOf("nosuch", &link), "Field/variable NOSUCH is unknown");
    EXPECT_EQ(ErrorOf("NAME"), "Field/variable NAME is unknown");  // no link at all
    EXPECT_EQ(ErrorOf("_x"), "Field/variable _X is unknown");
}

TEST_F(ExpMessages, NoFunction) {
    EXPECT_EQ(ErrorOf("FOO(1)"), "There is no function for FOO");
    EXPECT_EQ(ErrorOf("foo()", &link), "There is no function for FOO");
}

TEST_F(ExpMessages, CannotBeEvaluated) {
    EXPECT_EQ(ErrorOf("1 2"), "Expression cannot be evaluated");
    EXPECT_EQ(ErrorOf("()"), "Expression cannot be evaluated");
    EXPECT_EQ(ErrorOf("'a' 'b'"), "Expression cannot be evaluated");
    EXPECT_EQ(ErrorOf("SUBSTR('a',,1)"), "Expression cannot be evaluated");
}

TEST_F(ExpMessages, TargetMissing) {
    EXPECT_EQ(ErrorOf("1 *"), "Target value missing for * operation");
    EXPECT_EQ(ErrorOf("* 1"), "Target value missing for * operation");
    EXPECT_EQ(ErrorOf(".NOT."), "Target value missing for .NOT. operation");
    EXPECT_EQ(ErrorOf("1 ="), "Target value missing for = operation");
    EXPECT_EQ(ErrorOf(".T. .AND."), "Target value missing for .AND. operation");
    EXPECT_EQ(ErrorOf("'a' ="), "Target value missing for = operation");
    EXPECT_EQ(ErrorOf("1 =="), "Target value missing for exactly equal operation");
}

TEST_F(ExpMessages, SidesDoNotMatch) {
    EXPECT_EQ(ErrorOf("'A' + 1"), "The two sides of an operation do not match");
}

TEST_F(ExpMessages, ValueRequiredWithEachWord) {
    EXPECT_EQ(ErrorOf(".NOT. 'a'"), "A boolean value is required but invalid");
    EXPECT_EQ(ErrorOf(".T. + .F."), "A number value is required but invalid");
    EXPECT_EQ(ErrorOf("'a' * 'b'"), "A assigned value is required but invalid");
    EXPECT_EQ(ErrorOf("CHR(256)"), "A Byte value is required but invalid");
    EXPECT_EQ(ErrorOf("PADR('A', 3, 'XY')"), "A Char value is required but invalid");
}

TEST_F(ExpMessages, ArgumentNeeded) {
    EXPECT_EQ(ErrorOf("UPPER(1)"), "Text needed for Argument 1 of UPPER");
    EXPECT_EQ(ErrorOf("STR(1, 2, 3) + LEFT('a', 'b')"), "Number needed for Argument 2 of LEFT");
}

TEST_F(ExpMessages, ExpressionErrorsAreOfTheirOwnClass) {
    EXPECT_THROW(Eval("FOO(1)"), ERidedezExpression);
    EXPECT_THROW(Eval("(1"), ERidedezExpression);
}

TEST_F(ExpMessages, VariantMessagesAreEngineErrors) {
    TgsVariant text, number;
    text.SetText("a");
    number.SetNumber(1);
    int matched;
    try {
        text.Compare(&number, matched, 0);
        FAIL();
    } catch (const ERidedezError& e) {
        EXPECT_STREQ(e.what(), "Variant types mismatch for compare");
    }
    try {
        number.AppendBytes("x", 1);
        FAIL();
    } catch (const ERidedezError& e) {
        EXPECT_STREQ(e.what(), "Variant type is not valid for append");
    }
}

TEST_F(ExpMessages, BoundsMessages) {
    EXPECT_EQ(ErrorOf("PADR('a', 600)"), "Result of PADR is longer than 511 characters");
    EXPECT_EQ(ErrorOf(std::string(600, '(') + "1" + std::string(600, ')')),
              "Expression is nested more than 500 levels deep");
    EXPECT_EQ(ErrorOf(std::string(5000, ' ') + "1"),
              "Expression text is longer than 4096 characters");
    EXPECT_EQ(ErrorOf("{32.13.2024}"), "'32.13.2024' is not a valid date");
}
