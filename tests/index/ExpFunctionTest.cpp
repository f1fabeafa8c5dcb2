// The 28 built-in functions.

#include <cmath>

#include "ExpTestSupport.h"
#include "engine/RunErrors.h"

using namespace exptest;

class ExpFunctions : public ExpTest {};

TEST_F(ExpFunctions, Trims) {
    EXPECT_EQ(Text("ALLTRIM('  a b  ')"), "a b");
    EXPECT_EQ(Text("ALLTRIM('   ')"), "");
    EXPECT_EQ(Text("LTRIM('  a ')"), "a ");
    EXPECT_EQ(Text("TRIM('  a  ')"), "  a");
    EXPECT_EQ(Text("RTRIM('  a  ')"), "  a");
}

TEST_F(ExpFunctions, AscAndChr) {
    EXPECT_EQ(Number("ASC('A')"), 65);
    EXPECT_EQ(Number("ASC('\xFF')"), 255);
    EXPECT_EQ(Number("ASC('')"), 0);
    EXPECT_EQ(Text("CHR(65)"), "A");
    EXPECT_EQ(Text("CHR(65.9)"), "A");
    EXPECT_EQ(Text("CHR(255)"), "\xFF");
    EXPECT_EQ(Text("CHR(0)"), "");
    EXPECT_EQ(ErrorOf("CHR(256)"), "A Byte value is required but invalid");
    EXPECT_EQ(ErrorOf("CHR(-1)"), "A Byte value is required but invalid");
}

TEST_F(ExpFunctions, CeilingFloorInt) {
    EXPECT_EQ(Number("CEILING(1.2)"), 2);
    EXPECT_EQ(Number("CEILING(-1.2)"), -1);
    EXPECT_EQ(Number("CEILING(3)"), 3);
    EXPECT_EQ(Number("FLOOR(1.8)"), 1);
    EXPECT_EQ(Number("FLOOR(-1.2)"), -2);
    EXPECT_EQ(Number("INT(-1.8)"), -1);
    EXPECT_EQ(Number("INT(1.8)"), 1);
    // Beyond 32 bits the value is kept, not wrapped.
    EXPECT_EQ(Number("FLOOR(5000000000.5)"), 5000000000.0);
}

TEST_F(ExpFunctions, CtodAndEmptyDates) {
    EXPECT_TRUE(Logical("EMPTY(CTOD(''))"));
    EXPECT_EQ(Eval("CTOD('')").kind, expkind::Date);
    EXPECT_EQ(Eval("CTOD('')").number, kEmptyDate);
    EXPECT_EQ(Eval("CTOD('15.03.2024')").number, Day(2024, 3, 15));
    EXPECT_EQ(Eval("CTOD('20240229')").number, Day(2024, 2, 29));
    EXPECT_EQ(Eval("CTOD('5.1.99')").number, Day(1999, 1, 5));
    EXPECT_EQ(Eval("CTOD('5.1.24')").number, Day(2024, 1, 5));
    EXPECT_EQ(Eval("CTOD('   ')").number, kEmptyDate);
}

TEST_F(ExpFunctions, CtodOfTextThatIsNoDateIsAConversionError) {
    for (const char* e : {"CTOD('no date')", "CTOD('bad')", "CTOD('31.02.2024')", "CTOD('1.2')",
                          "CTOD('29.02.2023')"}) {
        try {
            Eval(e);
            ADD_FAILURE() << e << " gave a value";
        } catch (const EConvertError& x) {
            EXPECT_NE(std::string(x.what()).find("is not a valid date"), std::string::npos) << e;
        }
    }
    // Compared with a blank date field an impossible date is an error, not a match.
    EXPECT_THROW(Eval("CTOD('') = CTOD('31.02.2024')"), EConvertError);
}

TEST_F(ExpFunctions, DateIsTodayByTheClock) {
    Result r = Eval("DATE()");
    EXPECT_EQ(r.kind, expkind::Date);
    EXPECT_EQ(r.number, Day(2024, 3, 15));
}

TEST_F(ExpFunctions, Descend) {
    link.bdate->number = Day(2024, 3, 15);
    Result d = Eval("DESCEND(BDATE)", &link);
    EXPECT_EQ(d.kind, expkind::Date);
    EXPECT_EQ(d.number, 5231808 - Day(2024, 3, 15));
    EXPECT_EQ(Eval("DESCEND(CTOD(''))").number, kEmptyDate);
    EXPECT_EQ(Number("DESCEND(12.5)"), -12.5);
    Result zero = Eval("DESCEND(0)");
    EXPECT_FALSE(std::signbit(zero.number));
    EXPECT_EQ(Text("DESCEND('AB')"), "\xBF\xBE");
    EXPECT_FALSE(Logical("DESCEND(.T.)"));
    EXPECT_TRUE(Logical("DESCEND('B') < DESCEND('A')"));
    EXPECT_EQ(Eval("DESCEND(NOTES)", &link).kind, expkind::Field);
}

TEST_F(ExpFunctions, DtocAndDtos) {
    link.bdate->number = Day(2024, 3, 5);
    EXPECT_EQ(Text("DTOC(BDATE)", &link), "05.03.2024");
    EXPECT_EQ(Text("DTOC(BDATE, 1)", &link), "20240305");
    EXPECT_EQ(Text("DTOC(BDATE, 1.7)", &link), "20240305");
    EXPECT_EQ(Text("DTOC(BDATE, 2)", &link), "05.03.2024");
    EXPECT_EQ(Text("DTOC(BDATE, '1')", &link), "05.03.2024");
    EXPECT_EQ(Text("DTOC(CTOD(''))"), "");
    EXPECT_EQ(Text("DTOS(BDATE)", &link), "20240305");
    EXPECT_EQ(Text("DTOS(CTOD(''))"), "");
    EXPECT_EQ(Text("DTOS({01.02.1999})"), "19990201");
}

TEST_F(ExpFunctions, DisplayDatesFollowTheLocale) {
    platform::Locale us;
    us.shortDateFormat = "M/d/yy";
    us.dateSeparator = '/';
    platform::SetLocale(us);
    link.bdate->number = Day(2024, 3, 5);
    EXPECT_EQ(Text("DTOC(BDATE)", &link), "3/5/2024");
    EXPECT_EQ(Eval("CTOD('3/5/2024')").number, Day(2024, 3, 5));
}

TEST_F(ExpFunctions, Empty) {
    EXPECT_TRUE(Logical("EMPTY('')"));
    EXPECT_FALSE(Logical("EMPTY('   ')"));
    EXPECT_TRUE(Logical("EMPTY(0)"));
    EXPECT_FALSE(Logical("EMPTY(0.1)"));
    EXPECT_TRUE(Logical("EMPTY(.F.)"));
    EXPECT_FALSE(Logical("EMPTY(.T.)"));
    EXPECT_FALSE(Logical("EMPTY(DATE())"));
    EXPECT_FALSE(Logical("EMPTY(NOTES)", &link));
}

TEST_F(ExpFunctions, IifEvaluatesOnlyTheChosenArgument) {
    Result r = Eval("IIF(.T., 1, 'x')");
    EXPECT_EQ(r.kind, expkind::Number);
    EXPECT_EQ(r.number, 1);
    EXPECT_EQ(Text("IIF(.F., 1, 'x')"), "x");
    EXPECT_EQ(Number("IIF(.F., 1/0, 2)"), 2);
    link.name->text = "n";
    link.name->reads = 0;
    TgsExpHandler h(&link, false, "IIF(.T., 1, NAME)");
    EXPECT_EQ(link.name->reads, 0);
    EXPECT_EQ(Eval("IIF(.F., 1)").kind, expkind::None);
}

TEST_F(ExpFunctions, LeftAndRight) {
    EXPECT_EQ(Text("LEFT('ABC', 2)"), "AB");
    EXPECT_EQ(Text("LEFT('ABC', 0)"), "");
    EXPECT_EQ(Text("LEFT('ABC', 0.01)"), "");
    EXPECT_EQ(Text("LEFT('ABC', 1.9)"), "A");
    EXPECT_EQ(Text("LEFT('ABC', 5)"), "ABC");
    EXPECT_EQ(Text("LEFT('ABC', -5)"), "");
    EXPECT_EQ(Text("RIGHT('ABC', 2)"), "BC");
    EXPECT_EQ(Text("RIGHT('ABC', 5)"), "ABC");
    EXPECT_EQ(Text("RIGHT('ABC', 3)"), "ABC");
    EXPECT_EQ(Text("RIGHT('ABC', -1)"), "");
    EXPECT_EQ(Text("RIGHT('ABC', 0)"), "");
}

TEST_F(ExpFunctions, UpperAndLowerUseTheCodePage) {
    EXPECT_EQ(Text("UPPER('abc\xE0\xFF\xB8')"), "ABC\xC0\xDF\xA8");
    EXPECT_EQ(Text("LOWER('ABC\xC0\xDF\xA8')"), "abc\xE0\xFF\xB8");
}

TEST_F(ExpFunctions, Pads) {
    EXPECT_EQ(Text("PADC('AB', 5, '*')"), "*AB**");
    EXPECT_EQ(Text("PADC('AB', 6, '*')"), "**AB**");
    EXPECT_EQ(Text("PADC('AB', 3)"), "AB ");
    EXPECT_EQ(Text("PADL('AB', 4)"), "  AB");
    EXPECT_EQ(Text("PADL('AB', 4, '0')"), "00AB");
    EXPECT_EQ(Text("PADR('AB', 4, '.')"), "AB..");
    EXPECT_EQ(Text("PADL('ABCDEF', 3)"), "ABC");
    EXPECT_EQ(Text("PADR('ABCDEF', 3)"), "ABC");
    EXPECT_EQ(Text("PADC('ABCDEF', 3)"), "ABC");
    EXPECT_EQ(Text("PADR('AB', 2)"), "AB");
    EXPECT_EQ(Text("PADR('AB', 0)"), "");
    EXPECT_EQ(Text("PADR('AB', -3)"), "");
    EXPECT_EQ(ErrorOf("PADR('A', 3, 'XY')"), "A Char value is required but invalid");
    EXPECT_EQ(ErrorOf("PADL('A', 3, '')"), "A Char value is required but invalid");
    EXPECT_EQ(ErrorOf("PADC('A', 3, 1)"), "A Char value is required but invalid");
}

TEST_F(ExpFunctions, Soundex) {
    EXPECT_EQ(Text("SOUNDEX('')"), "0000");
    EXPECT_EQ(Text("SOUNDEX('ROBERT')"), "R163");
    EXPECT_EQ(Text("SOUNDEX('PFISTER')"), "P123");
    EXPECT_EQ(Text("SOUNDEX('robert')"), "R163");
    EXPECT_EQ(Text("SOUNDEX('A')"), "A000");
    EXPECT_EQ(Text("SOUNDEX('TYMCZAK')"), "T520");  // a vowel does not separate equal digits
    // Equal digits with a vowel between them count once.
    EXPECT_EQ(Text("SOUNDEX('BOBO')"), "B100");
}

TEST_F(ExpFunctions, Str) {
    EXPECT_EQ(Text("STR(3.14159, 8, 2)"), "    3.14");
    EXPECT_EQ(Text("STR(123456, 3)"), "***");
    EXPECT_EQ(Text("STR(7)"), "         7");
    EXPECT_EQ(Text("STR(-2.5, 5, 1)"), " -2.5");
    EXPECT_EQ(Text("STR(2.5, 3)"), "  3");  // halves round away from zero
    EXPECT_EQ(Text("STR(-2.5, 3)"), " -3");
    EXPECT_EQ(Text("STR(1.005, 6, 2)"), "  1.01");
    EXPECT_EQ(Text("STR(0.5, 4, 2)"), "0.50");
    EXPECT_EQ(Text("STR(1, 3, 5)"), "***");
    EXPECT_EQ(Text("STR(5, 'x', 2)"), "         5");  // no width: no decimals either
    EXPECT_EQ(Text("STR(5, 0)"), "");
    link.strDefaultWidth = 4;
    EXPECT_EQ(Text("STR(7)", &link), "   7");
}

TEST_F(ExpFunctions, StrZero) {
    EXPECT_EQ(Text("STRZERO(42, 5)"), "00042");
    EXPECT_EQ(Text("STRZERO(-5, 4)"), "00-5");  // the sign stays where STR put it
    EXPECT_EQ(Text("STRZERO(3.5, 6, 2)"), "003.50");
    EXPECT_EQ(Text("STRZERO(123456, 3)"), "***");
}

TEST_F(ExpFunctions, SubStr) {
    EXPECT_EQ(Text("SUBSTR('HELLO', 2, 3)"), "ELL");
    EXPECT_EQ(Text("SUBSTR('HELLO', 2)"), "ELLO");
    EXPECT_EQ(Text("SUBSTR('HELLO', 0)"), "");
    EXPECT_EQ(Text("SUBSTR('HELLO', 9)"), "");
    EXPECT_EQ(Text("SUBSTR('HELLO', 5)"), "O");
    EXPECT_EQ(Text("SUBSTR('HELLO', 4, 10)"), "LO");
    EXPECT_EQ(Text("SUBSTR('HELLO', 2, 'x')"), "ELLO");
}

TEST_F(ExpFunctions, Val) {
    EXPECT_EQ(Number("VAL('12abc')"), 0);
    EXPECT_EQ(Number("VAL(' 12 ')"), 12);
    EXPECT_EQ(Number("VAL('-1.5e2')"), -150);
    EXPECT_EQ(Number("VAL('+3')"), 3);
    EXPECT_EQ(Number("VAL('')"), 0);
    EXPECT_EQ(Number("VAL('.')"), 0);
    EXPECT_EQ(Number("VAL('1e999')"), 0);
    platform::Locale comma;
    comma.decimalSeparator = ',';
    platform::SetLocale(comma);
    EXPECT_EQ(Number("VAL('2,5')"), 2.5);
    EXPECT_EQ(Number("VAL('2.5')"), 0);
}

TEST_F(ExpFunctions, FieldTextsKeepTheirTrailingBlanks) {
    link.name->text = "ab        ";
    EXPECT_EQ(Text("NAME", &link), "ab        ");
    EXPECT_EQ(Text("UPPER(NAME)+DTOS(CTOD('01.01.2000'))", &link), "AB        20000101");
}
