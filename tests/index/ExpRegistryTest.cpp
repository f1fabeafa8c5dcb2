// The registries, the built-in list and its class relations, user functions and
// FetchArgument.

#include <type_traits>

#include "ExpTestSupport.h"
#include "index/expr/TgsExpFunction.h"
#include "index/expr/TgsFunctionReg.h"
#include "index/expr/UdfDate.h"
#include "index/expr/UdfMisc.h"
#include "index/expr/UdfNumber.h"
#include "index/expr/UdfPad.h"
#include "index/expr/UdfText.h"

using namespace exptest;

namespace {

// TWICE(n): 2 n, reading its argument through FetchArgument.
class Twice : public TgsUserDefFunction {
public:
    std::string FunctionName() const override { return "TWICE"; }
    bool Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) override {
        FetchArgument(call, 0, buffer, expkind::Number, kind);
        buffer.SetNumber(buffer.Number() * 2);
        kind = expkind::Number;
        return true;
    }
};

// A user function named like a built-in.
class FakeUpper : public TgsUserDefFunction {
public:
    std::string FunctionName() const override { return "UPPER"; }
    bool Execute(TgsExpFunction&, TgsExpBuffer buffer, TgsExpKind& kind) override {
        buffer.SetText("fake", 4, "UPPER");
        kind = expkind::Text;
        return true;
    }
};

// Asks for argument 1 with a given kind.
class Ask : public TgsUserDefFunction {
public:
    explicit Ask(TgsExpKind k) : wanted(k) {}
    std::string FunctionName() const override { return "ASK" + std::to_string(wanted); }
    bool Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) override {
        FetchArgument(call, 0, buffer, wanted, kind);
        return true;
    }
    TgsExpKind wanted;
};

class Nothing : public TgsUserDefFunction {
public:
    std::string FunctionName() const override { return "NOTHING"; }
};

}  // namespace

class ExpRegistry : public ExpTest {};

TEST_F(ExpRegistry, BuiltInsInTheirOrder) {
    const char* expected[] = {"ALLTRIM", "ASC", "CEILING", "CHR", "CTOD", "DATE", "DESCEND",
                              "DTOC", "DTOS", "EMPTY", "FLOOR", "IIF", "INT", "LEFT",
                              "LOWER", "LTRIM", "PADC", "PADL", "PADR", "RIGHT", "RTRIM",
                              "SOUNDEX", "STR", "STRZERO", "SUBSTR", "TRIM", "UPPER", "VAL"};
    const TgsFunctionReg& reg = GlobalFunctionRegistry();
    ASSERT_EQ(reg.Count(), 28u);
    for (size_t i = 0; i < 28; ++i) EXPECT_EQ(reg.At(i).FunctionName(), expected[i]);
    EXPECT_EQ(reg.Find("LEFT"), &reg.At(13));
    EXPECT_EQ(reg.Find("left"), nullptr);  // callers pass upper case
}

TEST_F(ExpRegistry, ClassRelations) {
    EXPECT_TRUE((std::is_base_of_v<TgsUDFTrim, TgsUDFRTrim>));
    EXPECT_TRUE((std::is_base_of_v<TgsUDFStr, TgsUDFStrZero>));
    EXPECT_TRUE((std::is_base_of_v<TgsUDFPadMain, TgsUDFPadC>));
    EXPECT_TRUE((std::is_base_of_v<TgsUDFPadMain, TgsUDFPadL>));
    EXPECT_TRUE((std::is_base_of_v<TgsUDFPadMain, TgsUDFPadR>));
    EXPECT_TRUE((std::is_base_of_v<TgsUserDefFunction, TgsUDFPadMain>));
    EXPECT_TRUE(dynamic_cast<TgsUDFRTrim*>(GlobalFunctionRegistry().Find("RTRIM")));
}

TEST_F(ExpRegistry, UserFunctionsAndBuiltInsComeFirst) {
    link.AddFunction(std::make_unique<Twice>());
    link.AddFunction(std::make_unique<FakeUpper>());
    EXPECT_EQ(Number("TWICE(21)", &link), 42);
    EXPECT_EQ(Text("UPPER('a')", &link), "A");
    EXPECT_EQ(ErrorOf("TWICE(21)"), "There is no function for TWICE");
    EXPECT_EQ(ErrorOf("twice('x')", &link), "Number needed for Argument 1 of TWICE");
}

TEST_F(ExpRegistry, FindReturnsTheFirstOfEqualNames) {
    TestVar* first = link.Add("DUP", expkind::Number, 3, 0);
    link.Add("DUP", expkind::Text, 3, 0);
    EXPECT_EQ(link.FindFieldVar("DUP"), first);
    EXPECT_EQ(link.FindFieldVar("NOPE"), nullptr);
    EXPECT_EQ(link.FindFunction("NOPE"), nullptr);
}

TEST_F(ExpRegistry, FieldVariableNamesAreUpperCased) {
    TgsUserDefFieldVar v("price\xE0", 8, 2);
    EXPECT_EQ(v.FieldVarName(), "PRICE\xC0");
    EXPECT_EQ(v.Width(), 8);
    EXPECT_EQ(v.Decimals(), 2);
    char buf[16];
    TgsExpKind k = 5;
    EXPECT_FALSE(v.GetValue({buf, sizeof buf}, k));
}

TEST_F(ExpRegistry, BaseFunctionGivesNoResult) {
    link.AddFunction(std::make_unique<Nothing>());
    EXPECT_EQ(Eval("NOTHING()", &link).kind, expkind::NoResult);
}

TEST_F(ExpRegistry, FetchArgumentMessagesByKind) {
    for (TgsExpKind k : {expkind::Text, expkind::Number, expkind::Date, expkind::Logical,
                         expkind::Field, expkind::Any})
        link.AddFunction(std::make_unique<Ask>(k));
    EXPECT_EQ(ErrorOf("ASK3(1)", &link), "Text needed for Argument 1 of ASK3");
    EXPECT_EQ(ErrorOf("ASK4('a')", &link), "Number needed for Argument 1 of ASK4");
    EXPECT_EQ(ErrorOf("ASK6('a')", &link), "Date needed for Argument 1 of ASK6");
    EXPECT_EQ(ErrorOf("ASK8(1)", &link), "Boolean needed for Argument 1 of ASK8");
    EXPECT_EQ(ErrorOf("ASK9(1)", &link), "Unknown Value needed for Argument 1 of ASK9");
    // Missing arguments.
    EXPECT_EQ(ErrorOf("ASK3()", &link), "Text needed for Argument 1 of ASK3");
    EXPECT_EQ(ErrorOf("ASK8()", &link), "Boolean needed for Argument 1 of ASK8");
    EXPECT_EQ(Eval("ASK2()", &link).kind, expkind::None);
    // Numbers and dates stand in for each other.
    EXPECT_EQ(Eval("ASK6(5)", &link).kind, expkind::Number);
    EXPECT_EQ(Eval("ASK4(DATE())", &link).kind, expkind::Date);
    EXPECT_EQ(Eval("ASK2(.T.)", &link).kind, expkind::Logical);
}

TEST_F(ExpRegistry, BuiltInArgumentMessages) {
    EXPECT_EQ(ErrorOf("LEFT('abc')"), "Number needed for Argument 2 of LEFT");
    EXPECT_EQ(ErrorOf("LEFT(1, 2)"), "Text needed for Argument 1 of LEFT");
    EXPECT_EQ(ErrorOf("DTOS('x')"), "Date needed for Argument 1 of DTOS");
    EXPECT_EQ(ErrorOf("IIF(1, 2, 3)"), "Boolean needed for Argument 1 of IIF");
    EXPECT_EQ(ErrorOf("SUBSTR('a', 'b')"), "Number needed for Argument 2 of SUBSTR");
    EXPECT_EQ(ErrorOf("PADL('a', 'b')"), "Number needed for Argument 2 of PADL");
    EXPECT_EQ(ErrorOf("STR('a')"), "Number needed for Argument 1 of STR");
}
