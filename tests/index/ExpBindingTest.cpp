// Parsing and binding: words, keywords, signs, groups, calls, precedence and the
// canonical expression text.

#include "ExpTestSupport.h"
#include "index/expr/TgsExpFunction.h"
#include "index/expr/TgsExpOperator.h"

using namespace exptest;

class ExpBinding : public ExpTest {};

TEST_F(ExpBinding, PrecedenceAndLeftGrouping) {
    EXPECT_EQ(Number("1 + 2 * 3"), 7);
    EXPECT_EQ(Number("2^3^2"), 64);
    EXPECT_EQ(Number("10-4-3"), 3);
    EXPECT_EQ(Number("(1 + 2) * 3"), 9);
    EXPECT_EQ(Number("2*3^2"), 18);
    EXPECT_EQ(Number("12/2/3"), 2);
    EXPECT_EQ(Number("2**3"), 8);
    EXPECT_EQ(Canonical("10-4-3"), "10-4-3");
    EXPECT_EQ(Canonical("(1+2)*3"), "(1+2)*3");
}

TEST_F(ExpBinding, TreeShapeFollowsLevels) {
    TgsExpHandler h(nullptr, false, "1+2*3");
    const TgsExpBaseObject* root = h.Root();
    ASSERT_EQ(root->NodeKind(), expnode::BoundOperator);
    EXPECT_EQ(static_cast<const TgsExpOperator*>(root)->Code(), expop::Plus);
    EXPECT_EQ(root->Left()->NodeKind(), expnode::NumLit);
    ASSERT_EQ(root->Right()->NodeKind(), expnode::BoundOperator);
    EXPECT_EQ(static_cast<const TgsExpOperator*>(root->Right())->Code(), expop::Times);
}

TEST_F(ExpBinding, AndOrNotBindBelowComparisons) {
    link.amount->number = 600;
    link.active->logical = true;
    EXPECT_TRUE(Logical("AMOUNT > 500 .AND. ACTIVE", &link));
    EXPECT_TRUE(Logical(".F. .AND. .F. .OR. .T.", &link));
    EXPECT_FALSE(Logical(".F. .AND. (.F. .OR. .T.)", &link));
    // .NOT. takes the comparison as a whole.
    EXPECT_FALSE(Logical(".NOT. 1 = 1"));
    EXPECT_TRUE(Logical(".NOT. 1 = 2"));
    EXPECT_EQ(Canonical(".NOT. 1 = 2"), ".NOT.1=2");
    EXPECT_TRUE(Logical("! .F."));
}

TEST_F(ExpBinding, KeywordsWithAndWithoutDots) {
    link.amount->number = 1;
    link.active->logical = true;
    EXPECT_EQ(Canonical("ACTIVE AND AMOUNT = 1", &link), Canonical("ACTIVE .AND. AMOUNT = 1", &link));
    EXPECT_EQ(Canonical(".T..AND..F."), Canonical(".T. .AND. .F."));
    EXPECT_EQ(Canonical(".T..AND..F."), ".T..AND..F.");
    EXPECT_EQ(Canonical("1 EQ 1 OR 2 LT 1 AND NOT 2 GE 3"), "1=1.OR.2<1.AND..NOT.2>=3");
    EXPECT_EQ(Canonical("1 LE 2 AND 3 GT 2"), "1<=2.AND.3>2");
    EXPECT_TRUE(Logical("TRUE"));
    EXPECT_FALSE(Logical("FALSE"));
    EXPECT_TRUE(Logical("T."));
    EXPECT_FALSE(Logical(".F"));
    EXPECT_TRUE(Logical("true"));
}

TEST_F(ExpBinding, NamesWithPointsAreOneWord) {
    EXPECT_EQ(ErrorOf("A.AND.B", &link), "Field/variable A.AND.B is unknown");
    EXPECT_EQ(ErrorOf("X->NAME", &link), "Field/variable X.NAME is unknown");
}

TEST_F(ExpBinding, OneLetterWordsAreFieldVariables) {
    link.t->text = "Y";
    EXPECT_EQ(Text("T", &link), "Y");
    EXPECT_TRUE(Logical(".T."));
    // A field named like a keyword cannot be reached.
    link.andField->text = "abc";
    EXPECT_NE(ErrorOf("AND", &link), "");
}

TEST_F(ExpBinding, SignsJoinTheNumber) {
    EXPECT_EQ(Number("-5 + 2"), -3);
    EXPECT_EQ(Number("3 - -2"), 5);
    EXPECT_EQ(Number("+4"), 4);
    EXPECT_EQ(Number("2 * -3"), -6);
    EXPECT_EQ(Number("-5^2"), 25);  // the sign belongs to the constant
    EXPECT_EQ(Canonical("3 - -2"), "3--2");
}

TEST_F(ExpBinding, NumericLiteralsAndTheirText) {
    EXPECT_EQ(Number("0.5"), 0.5);
    EXPECT_EQ(Number("1e3"), 1000);
    EXPECT_EQ(Number("12abc"), 0);  // a word that does not read as a number
    EXPECT_EQ(Canonical("3.140"), "3.140");
    EXPECT_EQ(Canonical("7"), "7");
    EXPECT_EQ(ErrorOf(".5"), "Field/variable .5 is unknown");
    TgsExpHandler h(&link, false, "AMOUNT + 123.4567");
    EXPECT_EQ(h.LargestWidth(), 10);
    EXPECT_EQ(h.LargestDecimals(), 4);
    EXPECT_EQ(h.OperandCount(), 2);
}

TEST_F(ExpBinding, OperandCountTakesEveryKindOfOperand) {
    TgsExpHandler h(&link, false, "IIF(ACTIVE, 'a', 'b') + DTOS({01.01.2000})");
    // IIF, ACTIVE, 'a', 'b', DTOS, the date: six operands.
    EXPECT_EQ(h.OperandCount(), 6);
    EXPECT_EQ(h.LargestWidth(), 1);
}

TEST_F(ExpBinding, CanonicalTextOfEveryNode) {
    EXPECT_EQ(Canonical("upper( name ) + 'x'", &link), "UPPER(NAME)+\"x\"");
    EXPECT_EQ(Canonical("''"), "\"\"");
    EXPECT_EQ(Canonical("'say \"hi\"'"), "'say \"hi\"'");
    EXPECT_EQ(Canonical("{15.03.2024}"), "{15.03.2024}");
    EXPECT_EQ(Canonical("{}"), "{}");
    EXPECT_EQ(Canonical("SUBSTR('abc',2,1)"), "SUBSTR(\"abc\",2,1)");
    EXPECT_EQ(Canonical("DATE()"), "DATE()");
    EXPECT_EQ(Canonical("((1))"), "((1))");
    TgsExpHandler none;
    EXPECT_EQ(none.ExpressionText(), "");
}

TEST_F(ExpBinding, CanonicalTextReadsBackAsTheSameTree) {
    for (const char* e : {"UPPER(NAME)+DTOS(BDATE)", "AMOUNT>500.AND.ACTIVE",
                          "[it's]+'a\"b'", "STR(AMOUNT,10,2)", "-AMOUNT*2"}) {
        std::string once = Canonical(e, &link);
        EXPECT_EQ(Canonical(once, &link), once) << e;
    }
}

TEST_F(ExpBinding, ABlankBeforeTheParenthesisMakesAName) {
    link.name->text = "x";
    EXPECT_EQ(ErrorOf("UPPER (NAME)", &link), "Field/variable UPPER is unknown");
}

TEST_F(ExpBinding, StrayClosingBytesAreSkipped) {
    EXPECT_EQ(Number("1 + 2)"), 3);
    EXPECT_EQ(Number("1 , + 2"), 3);
}

TEST_F(ExpBinding, FunctionArgumentsSplitOnlyAtTheirOwnCommas) {
    EXPECT_EQ(Text("IIF(.T., SUBSTR('a,b', 1, 2), 'x')"), "a,");
    EXPECT_EQ(Text("IIF(.T., LEFT(PADR('ab', 4, ','), 3), 'x')"), "ab,");
    TgsExpHandler h(nullptr, false, "SUBSTR('abc', (1+1), 1)");
    auto* call = static_cast<const TgsExpFunction*>(h.Root());
    EXPECT_EQ(call->ArgumentCount(), 3u);
}

TEST_F(ExpBinding, UnaryMinusBeforeANameNegatesIt) {
    link.amount->number = 12.5;
    EXPECT_EQ(Number("-AMOUNT", &link), -12.5);
    EXPECT_EQ(Number("2 * -AMOUNT", &link), -25);
    EXPECT_EQ(Number("-(1 + 2)"), -3);
    EXPECT_EQ(Number("-INT(2.5)"), -2);
    EXPECT_EQ(Number("- -AMOUNT", &link), 12.5);
    EXPECT_EQ(Number("+AMOUNT", &link), 12.5);
    EXPECT_EQ(Canonical("-AMOUNT", &link), "(0-AMOUNT)");
}

TEST_F(ExpBinding, NodeKindsAndWidths) {
    TgsExpHandler h(&link, false, "(NAME)");
    ASSERT_EQ(h.Root()->NodeKind(), expnode::Container);
    const TgsExpBaseObject* field = h.Root()->Right();
    EXPECT_EQ(field->NodeKind(), expnode::Fieldvar);
    EXPECT_EQ(field->Width(), 10);
    TgsExpHandler t(nullptr, false, "'abcd'");
    EXPECT_EQ(t.Root()->NodeKind(), expnode::TextLit);
    EXPECT_EQ(t.Root()->Width(), 4);
    TgsExpHandler d(nullptr, false, "{}");
    EXPECT_EQ(d.Root()->NodeKind(), expnode::DateLit);
    TgsExpHandler b(nullptr, false, ".T.");
    EXPECT_EQ(b.Root()->NodeKind(), expnode::BlnLit);
    TgsExpHandler f(nullptr, false, "DATE()");
    EXPECT_EQ(f.Root()->NodeKind(), expnode::Function);
    EXPECT_EQ(f.Root()->ValueKind(), expkind::Date);
}
