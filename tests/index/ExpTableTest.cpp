// Field variables and table functions against a real table.

#include "ExpTestSupport.h"
#include "TestUtil.h"
#include "engine/DbfCreate.h"
#include "engine/dBHandler.h"
#include "index/expr/TgsVariant.h"
#include "engine/tableexpr/TgslDBFFieldVars.h"
#include "engine/tableexpr/TgslDBFFunctions.h"

using namespace exptest;

namespace {

class ExpTable : public ExpTest {
protected:
    void SetUp() override {
        ExpTest::SetUp();
        path = dir.File("people.dbf");
        TgsCreateOptions opt;
        CreateDBFTable(path, 0x83,
                       {{"NAME", 'C', 10, 0}, {"AMOUNT", 'N', 10, 2}, {"BDATE", 'D', 0, 0},
                        {"ACTIVE", 'L', 0, 0}, {"NOTES", 'M', 0, 0}, {"RATE", 'F', 8, 3},
                        {"LONGTEXT", 'C', 300, 0}},
                       opt);
        table = GSO_dBHandler::Open(path, true, false);
        Add("Smith", 600.5, "20240315", true);
        Add("ab", 12, "", false);
        table->GoRecord(gsMoveTop);
        TgslDBFRegisterTable(tableLink, *table);
    }
    void Add(const std::string& name, double amount, const std::string& date, bool active) {
        table->BlankRecord();
        table->PutTextByName("NAME", name);
        table->PutNumberByName("AMOUNT", amount);
        table->PutTextByName("BDATE", date);
        table->PutLogicalByName("ACTIVE", active);
        table->AddRecord();
    }
    Result E(const std::string& e) { return Eval(e, &tableLink); }

    testutil::TempDir dir;
    std::string path;
    std::unique_ptr<GSO_dBHandler> table;
    TgsExpUserLink tableLink;
};

}  // namespace

TEST_F(ExpTable, RegistersOneVariablePerFieldAndSixFunctions) {
    ASSERT_EQ(tableLink.FieldVars().Count(), 7u);
    EXPECT_EQ(tableLink.FieldVars().At(0).FieldVarName(), "NAME");
    EXPECT_EQ(tableLink.FieldVars().At(6).FieldVarName(), "LONGTEXT");
    const char* names[] = {"RECNO", "DELETED", "BOF", "EOF", "TYPE", "LEN"};
    ASSERT_EQ(tableLink.Functions().Count(), 6u);
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(tableLink.Functions().At(i).FunctionName(), names[i]);
}

TEST_F(ExpTable, WidthsAndDecimals) {
    const TgsUserDefFieldVar& amount = tableLink.FieldVars().At(1);
    EXPECT_EQ(amount.Width(), 10);
    EXPECT_EQ(amount.Decimals(), 2);
    const TgsUserDefFieldVar& longText = tableLink.FieldVars().At(6);
    EXPECT_EQ(longText.Width(), 300);  // decimals x 256 + length
    EXPECT_EQ(longText.Decimals(), 0);
    TgsExpHandler h(&tableLink, false, "AMOUNT + RATE");
    EXPECT_EQ(h.LargestWidth(), 10);
    EXPECT_EQ(h.LargestDecimals(), 3);
}

TEST_F(ExpTable, FieldValuesByType) {
    Result name = E("NAME");
    EXPECT_EQ(name.kind, expkind::Text);
    EXPECT_EQ(name.text, "Smith     ");
    EXPECT_EQ(E("AMOUNT").number, 600.5);
    EXPECT_EQ(E("BDATE").kind, expkind::Date);
    EXPECT_EQ(E("BDATE").number, Day(2024, 3, 15));
    EXPECT_TRUE(E("ACTIVE").logical);
    EXPECT_EQ(E("NOTES").kind, expkind::Field);
    EXPECT_EQ(E("LONGTEXT").text.size(), 300u);
}

TEST_F(ExpTable, FieldReferenceNamesTheTableAndField) {
    TgsExpHandler h(&tableLink, false, "NOTES");
    char buf[64];
    h.Evaluate(buf, sizeof buf);
    TgsExpFieldRef ref = TgsExpBuffer{buf, sizeof buf}.FieldRef();
    EXPECT_EQ(ref.table, table.get());
    EXPECT_EQ(ref.field, 5);
}

TEST_F(ExpTable, BlankFieldsAndTheCurrentRecord) {
    table->GoRecord(2);
    EXPECT_EQ(E("NAME").text, "ab        ");
    EXPECT_EQ(E("UPPER(NAME)+'X'").text, "AB        X");
    EXPECT_EQ(E("TRIM(NAME)-'X'").text, "abX");
    EXPECT_TRUE(E("EMPTY(BDATE)").logical);
    EXPECT_EQ(E("DTOS(BDATE)").text, "");
    EXPECT_FALSE(E("ACTIVE").logical);
    EXPECT_EQ(E("RATE").number, 0);
}

TEST_F(ExpTable, IndexKeysAndFilters) {
    EXPECT_EQ(E("UPPER(NAME)+DTOS(BDATE)").text, "SMITH     20240315");
    EXPECT_TRUE(E("AMOUNT > 500 .AND. ACTIVE").logical);
    EXPECT_TRUE(E("NAME = 'Sm*'").logical);
    EXPECT_EQ(E("STR(AMOUNT,10,2)").text, "    600.50");
    TgsExpHandler h(&tableLink, false, "NAME");
    TgsVariant key(256);
    h.EvaluateToVariant(key);
    EXPECT_EQ(key.AsText(), "Smith     ");
    table->GoRecord(2);
    h.EvaluateToVariant(key);
    EXPECT_EQ(key.AsText(), "ab        ");
}

TEST_F(ExpTable, RecnoDeletedBofEof) {
    table->GoRecord(2);
    EXPECT_EQ(E("RECNO()").number, 2);
    EXPECT_FALSE(E("DELETED()").logical);
    table->DeleteRecord();
    EXPECT_TRUE(E("DELETED()").logical);
    table->GoRecord(gsMoveTop);
    EXPECT_EQ(E("RECNO()").number, 1);
    EXPECT_FALSE(E("EOF()").logical);
    table->GoRecord(gsMoveBottom);
    table->GoRecord(gsMoveNext);
    EXPECT_TRUE(E("EOF()").logical);
    table->GoRecord(gsMoveTop);
    table->GoRecord(gsMovePrior);
    EXPECT_TRUE(E("BOF()").logical);
}

TEST_F(ExpTable, TypeAndLen) {
    EXPECT_EQ(E("TYPE('name')").text, "C");
    EXPECT_EQ(E("TYPE('BDATE')").text, "D");
    EXPECT_EQ(E("TYPE('NOTES')").text, "M");
    EXPECT_EQ(E("LEN('AMOUNT')").number, 10);
    EXPECT_EQ(E("LEN('BDATE')").number, 8);
    EXPECT_EQ(E("LEN('LONGTEXT')").number, 300);
    // An unknown name is the table's field lookup error.
    try {
        E("TYPE('NOSUCH')");
        FAIL();
    } catch (const ERidedezError& e) {
        EXPECT_NE(std::string(e.what()).find("dBase field name is invalid"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("NOSUCH"), std::string::npos);
    }
    EXPECT_EQ(ErrorOf("LEN(1)", &tableLink), "Text needed for Argument 1 of LEN");
}

TEST_F(ExpTable, TableFunctionsOnlyThroughTheLink) {
    EXPECT_EQ(ErrorOf("RECNO()"), "There is no function for RECNO");
    EXPECT_EQ(ErrorOf("NAME"), "Field/variable NAME is unknown");
}
