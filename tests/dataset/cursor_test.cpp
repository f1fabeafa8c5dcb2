// Opening, the cursor, field kinds and values, bookmarks and the closed-dataset errors.

#include "DsHelpers.h"
#include "dataset/Bookmark.h"
#include "dataset/DateTime.h"
#include "dataset/Messages.h"

using dstest::ErrorKind;
using dstest::ErrorText;

namespace {

const char* kClosed = "Не могу выполнить эту операцию над закрытой базой данных";

// Records "1".."n" in a table T.DBF with one field N C(5); answers its path.
std::string NumberedTable(const testutil::TempDir& dir, int n) {
    const std::string path = dir.File("T.DBF");
    CreateDBFTable(path, 0x03, dstest::Defs({"N:C:5"}));
    std::vector<std::vector<std::string>> rows;
    for (int i = 1; i <= n; ++i) rows.push_back({std::to_string(i)});
    dstest::AppendRaw(path, rows);
    return path;
}

void OpenIn(TRidedezDataSet& ds, const testutil::TempDir& dir, const std::string& name = "T.DBF") {
    ds.SetDatabaseName(dir.Path());
    ds.SetTableName(name);
    ds.Open();
}

std::vector<std::string> Walk(TRidedezDataSet& ds) {
    std::vector<std::string> out;
    for (ds.First(); !ds.Eof(); ds.Next()) out.push_back(ds.Field(0).AsString() + "@" + std::to_string(ds.RecNo()));
    return out;
}

}  // namespace

TEST(Cursor, ClosedDatasetRefusesRecordCountAndRecNo) {
    TRidedezDataSet ds;
    EXPECT_EQ(ErrorText([&] { ds.RecordCount(); }), kClosed);
    EXPECT_EQ(ErrorText([&] { ds.RecNo(); }), kClosed);
    EXPECT_EQ(ErrorKind([&] { ds.RecNo(); }), 'D');
    EXPECT_EQ(ErrorText([&] { ds.SetRecNo(1); }), kClosed);
    EXPECT_EQ(ErrorText([&] { ds.Pack(); }), kClosed);
}

TEST(Cursor, OpeningFailures) {
    testutil::TempDir dir;
    TRidedezDataSet ds;
    EXPECT_EQ(ErrorText([&] { ds.Open(); }), "Table name missing");
    ds.SetDatabaseName(dir.Path());
    ds.SetTableName("MISSING");
    std::string dirName = platform::CurrentLocale().UpperCase(dir.Path());
    EXPECT_EQ(ErrorText([&] { ds.Open(); }), "Cannot find file " + dirName + "/MISSING.DBF");
    EXPECT_FALSE(ds.Active());
    EXPECT_EQ(ds.TableName(), "MISSING.DBF");
}

TEST(Cursor, EmptyTableIsAtBothEndsAndRefusesDelete) {
    testutil::TempDir dir;
    NumberedTable(dir, 0);
    TRidedezDataSet ds;
    OpenIn(ds, dir);
    EXPECT_TRUE(ds.Eof());
    EXPECT_TRUE(ds.Bof());
    EXPECT_TRUE(ds.IsEmpty());
    EXPECT_EQ(ds.RecordCount(), 0);
    EXPECT_EQ(ds.RecNo(), 0);
    EXPECT_TRUE(ds.Field(0).IsNull());
    EXPECT_EQ(ErrorText([&] { ds.Delete(); }), "Не могу выполнить эту операцию над пустой базой данных");
    ds.Next();
    ds.Last();
    EXPECT_TRUE(ds.Eof() && ds.Bof());
    EXPECT_TRUE(ds.GetBookmark().empty());
}

TEST(Cursor, WalksBothWaysAndStaysOnTheEnds) {
    testutil::TempDir dir;
    NumberedTable(dir, 3);
    TRidedezDataSet ds;
    OpenIn(ds, dir);
    EXPECT_EQ(Walk(ds), (std::vector<std::string>{"1@1", "2@2", "3@3"}));
    EXPECT_TRUE(ds.Eof());
    EXPECT_EQ(ds.RecNo(), 3);  // Next on the last record stays there
    ds.Last();
    EXPECT_TRUE(ds.Eof());
    EXPECT_FALSE(ds.Bof());
    std::vector<int> back;
    for (; !ds.Bof(); ds.Prior()) back.push_back(ds.RecNo());
    EXPECT_EQ(back, (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(ds.RecNo(), 1);
    EXPECT_EQ(ds.MoveBy(5), 2);
    EXPECT_TRUE(ds.Eof());
}

TEST(Cursor, DeletedRecordsAreSkippedButCounted) {
    testutil::TempDir dir;
    std::string path = NumberedTable(dir, 6);
    dstest::MarkDeleted(path, 2);
    dstest::MarkDeleted(path, 5);
    dstest::MarkDeleted(path, 6);
    TRidedezDataSet ds;
    OpenIn(ds, dir);
    EXPECT_EQ(Walk(ds), (std::vector<std::string>{"1@1", "3@3", "4@4"}));
    EXPECT_EQ(ds.RecordCount(), 6);
    // Prior from the end, past the hidden tail, lands before the last visible record.
    ds.Prior();
    EXPECT_EQ(ds.RecNo(), 3);
    ds.SetExactCount(true);
    EXPECT_EQ(ds.RecordCount(), 3);
    EXPECT_EQ(ds.RecNo(), 3);
    ds.Next();
    EXPECT_EQ(ds.RecNo(), 4);  // counting did not move the cursor
    ds.SetExactCount(false);

    ds.SetUseDeleted(true);
    EXPECT_EQ(Walk(ds).size(), 6u);
}

TEST(Cursor, RecNoSetterAndRefresh) {
    testutil::TempDir dir;
    std::string path = NumberedTable(dir, 5);
    dstest::MarkDeleted(path, 3);
    TRidedezDataSet ds;
    int scrolls = 0;
    ds.afterScroll = [&](TDataSet&) { ++scrolls; };
    OpenIn(ds, dir);
    scrolls = 0;
    ds.SetRecNo(4);
    EXPECT_EQ(ds.RecNo(), 4);
    EXPECT_EQ(ds.Field(0).AsString(), "4");
    EXPECT_EQ(scrolls, 1);
    ds.Prior();
    EXPECT_EQ(ds.RecNo(), 2);
    // A hidden record is read all the same: the record of that number.
    ds.SetRecNo(3);
    EXPECT_EQ(ds.RecNo(), 3);
    EXPECT_EQ(ds.Field(0).AsString(), "3");
    ds.SetRecNo(4);
    EXPECT_EQ(ErrorKind([&] { ds.SetRecNo(99); }), 'R');
    // Refresh sees a change another writer made.
    {
        auto t = GSO_dBHandler::Open(path, true, true);
        t->GoRecord(4);
        t->PutText(1, "four");
        t->PutRecord(4);
        t->CloseTable();
    }
    EXPECT_EQ(ds.Field(0).AsString(), "4");
    ds.Refresh();
    EXPECT_EQ(ds.RecNo(), 4);
    EXPECT_EQ(ds.Field(0).AsString(), "four");
}

TEST(Cursor, BookmarksAreElevenBytesAndCompareInRecordOrder) {
    testutil::TempDir dir;
    NumberedTable(dir, 12);
    TRidedezDataSet ds;
    OpenIn(ds, dir);
    ds.SetRecNo(2);
    TBookmark b2 = ds.GetBookmark();
    ds.SetRecNo(11);
    TBookmark b11 = ds.GetBookmark();
    EXPECT_EQ(b2, std::string("         2") + '\0');
    EXPECT_EQ(b11.size(), 11u);
    EXPECT_LT(ds.CompareBookmarks(b2, b11), 0);
    EXPECT_GT(ds.CompareBookmarks(b11, b2), 0);
    EXPECT_EQ(ds.CompareBookmarks(b2, b2), 0);
    EXPECT_EQ(ds.CompareBookmarks("", ""), 0);
    EXPECT_LT(ds.CompareBookmarks("", b2), 0);
    EXPECT_GT(ds.CompareBookmarks(b2, ""), 0);
    ds.GotoBookmark(b2);
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(ErrorText([&] { ds.GotoBookmark("abc"); }), "Bookmark is invalid for table T.DBF");
    EXPECT_EQ(ds.RecNo(), 2);
    int32_t n = 0;
    EXPECT_TRUE(ParseBookmark("   7", n));
    EXPECT_EQ(n, 7);
}

TEST(Cursor, FieldKindsFollowTypeLengthAndDecimals) {
    testutil::TempDir dir;
    CreateDBFTable(dir.File("K.DBF"), 0x83,
                   dstest::Defs({"S:C:300", "SM:N:4", "IN:N:5", "FL:N:5:1", "FF:F:8:2", "DT:D", "LG:L", "MM:M"}));
    TRidedezDataSet ds;
    OpenIn(ds, dir, "K.DBF");
    ASSERT_EQ(ds.FieldCount(), 8);
    EXPECT_EQ(ds.Field(0).DataType(), TFieldType::ftString);
    EXPECT_EQ(ds.Field(0).Size(), 300);
    EXPECT_EQ(ds.FieldByName("sm").DataType(), TFieldType::ftSmallint);
    EXPECT_EQ(ds.FieldByName("IN").DataType(), TFieldType::ftInteger);
    EXPECT_EQ(ds.FieldByName("FL").DataType(), TFieldType::ftFloat);
    EXPECT_EQ(ds.FieldByName("FF").DataType(), TFieldType::ftFloat);
    EXPECT_EQ(ds.FieldByName("DT").DataType(), TFieldType::ftDate);
    EXPECT_EQ(ds.FieldByName("LG").DataType(), TFieldType::ftBoolean);
    EXPECT_EQ(ds.FieldByName("MM").DataType(), TFieldType::ftMemo);
    EXPECT_EQ(ErrorText([&] { ds.FieldByName("NOPE"); }), "Field 'NOPE' not found");
    ds.Close();
    // The definitions can be read while closed.
    const TFieldDefs& defs = ds.FieldDefs();
    ASSERT_EQ(defs.size(), 8u);
    EXPECT_EQ(defs[2].name, "IN");
    EXPECT_EQ(defs[2].fieldNo, 3);
}

TEST(Cursor, FoxProTypesMapToIntegerBlobAndDateTime) {
    testutil::TempDir dir;
    CreateDBFTable(dir.File("F.DBF"), 0x30, dstest::Defs({"I:I", "G:G", "T:T", "Y:Y"}));
    TRidedezDataSet ds;
    OpenIn(ds, dir, "F.DBF");
    ASSERT_EQ(ds.FieldCount(), 3);  // Y has no field kind
    EXPECT_EQ(ds.Field(0).DataType(), TFieldType::ftInteger);
    EXPECT_EQ(ds.Field(1).DataType(), TFieldType::ftBlob);
    EXPECT_EQ(ds.Field(2).DataType(), TFieldType::ftDateTime);
    ds.Append();
    ds.Field(0).SetAsInteger(-123456);
    ds.Field(2).SetAsDateTime(EncodeDate(2024, 3, 15) + 0.5);
    ds.Post();
    EXPECT_EQ(ds.Field(0).AsInteger(), -123456);
    EXPECT_DOUBLE_EQ(ds.Field(2).AsDateTime(), EncodeDate(2024, 3, 15) + 0.5);
    EXPECT_TRUE(ds.Field(1).IsNull());
}

TEST(Cursor, ValuesOfEachKind) {
    testutil::TempDir dir;
    CreateDBFTable(dir.File("V.DBF"), 0x03,
                   dstest::Defs({"S:C:8", "SM:N:4", "IN:N:10", "FL:N:8:2", "DT:D", "LG:L"}));
    dstest::AppendRaw(dir.File("V.DBF"), {{"ab  ", "  -7", "   2.5", "  12.25", "20240229", "T"},
                                          {"", "", "   3.5", "", "00000000", "n"},
                                          {"x", "   1", "1", "1", "        ", "?"},
                                          {"x", "   1", "1", "1", "20230229", "y"}});
    TRidedezDataSet ds;
    OpenIn(ds, dir, "V.DBF");
    EXPECT_EQ(ds.FieldByName("S").AsString(), "ab");
    EXPECT_EQ(ds.FieldByName("SM").AsInteger(), -7);
    EXPECT_EQ(ds.FieldByName("IN").AsInteger(), 2);  // a half goes to the even neighbour
    EXPECT_DOUBLE_EQ(ds.FieldByName("FL").AsFloat(), 12.25);
    EXPECT_EQ(ds.FieldByName("FL").AsString(), "12.25");
    EXPECT_EQ(ds.FieldByName("DT").AsDateTime(), EncodeDate(2024, 2, 29));
    EXPECT_EQ(ds.FieldByName("DT").AsString(), "29.02.2024");
    EXPECT_TRUE(ds.FieldByName("LG").AsBoolean());
    EXPECT_EQ(ds.FieldByName("LG").AsString(), "True");
    ds.Next();
    EXPECT_TRUE(ds.FieldByName("S").IsNull());
    EXPECT_EQ(ds.FieldByName("S").AsString(), "");
    EXPECT_FALSE(ds.FieldByName("SM").IsNull());  // numbers are never null
    EXPECT_EQ(ds.FieldByName("SM").AsInteger(), 0);
    EXPECT_EQ(ds.FieldByName("IN").AsInteger(), 4);
    EXPECT_TRUE(ds.FieldByName("DT").IsNull());
    EXPECT_EQ(ds.FieldByName("DT").AsDateTime(), 0);
    EXPECT_FALSE(ds.FieldByName("LG").AsBoolean());
    ds.Next();
    EXPECT_TRUE(ds.FieldByName("DT").IsNull());  // blanks
    ds.Next();
    EXPECT_TRUE(ds.FieldByName("DT").IsNull());  // not a calendar date
}

TEST(Cursor, CalculatedFieldsAreComputedOnEveryFetch) {
    testutil::TempDir dir;
    NumberedTable(dir, 3);
    TRidedezDataSet ds;
    TField& twice = ds.AddCalculatedField("TWICE", TFieldType::ftInteger);
    TField& label = ds.AddCalculatedField("LABEL", TFieldType::ftString, 10);
    int calls = 0;
    ds.onCalcFields = [&](TDataSet& d) {
        ++calls;
        EXPECT_EQ(d.State(), TDataSetState::dsCalcFields);
        d.FieldByName("TWICE").SetAsInteger(2 * d.FieldByName("N").AsInteger());
        d.FieldByName("LABEL").SetAsString("no " + d.FieldByName("N").AsString());
    };
    OpenIn(ds, dir);
    EXPECT_EQ(ds.FieldCount(), 3);  // the calculated ones and the table's field
    EXPECT_EQ(ds.FieldByName("N").AsString(), "1");
    std::vector<int> values;
    for (ds.First(); !ds.Eof(); ds.Next()) values.push_back(twice.AsInteger());
    EXPECT_EQ(values, (std::vector<int>{2, 4, 6}));
    EXPECT_EQ(label.AsString(), "no 3");
    EXPECT_GE(calls, 3);
    // A data field cannot be written while calculating.
    ds.onCalcFields = [&](TDataSet& d) {
        EXPECT_EQ(ErrorText([&] { d.FieldByName("N").SetAsString("9"); }), "Dataset not in edit or insert mode");
    };
    ds.First();
}

TEST(Cursor, PersistentFieldsMustMatchTheTable) {
    testutil::TempDir dir;
    CreateDBFTable(dir.File("P.DBF"), 0x03, dstest::Defs({"COUNT:N:5"}));
    TRidedezDataSet ds;
    ds.AddField("COUNT", TFieldType::ftSmallint);
    ds.SetDatabaseName(dir.Path());
    ds.SetTableName("P.DBF");
    EXPECT_EQ(ErrorText([&] { ds.Open(); }), "Type mismatch for field 'COUNT', expecting: Smallint actual: Integer");
    EXPECT_FALSE(ds.Active());
}

TEST(Cursor, FilterHookSeesTheRecordBeingTested) {
    testutil::TempDir dir;
    NumberedTable(dir, 6);
    TRidedezDataSet ds;
    ds.onFilterRecord = [](TDataSet& d, bool& accept) {
        EXPECT_EQ(d.State(), TDataSetState::dsFilter);
        accept = d.FieldByName("N").AsInteger() % 2 == 0;
    };
    OpenIn(ds, dir);
    EXPECT_EQ(Walk(ds).size(), 6u);  // not filtered yet
    ds.SetFiltered(true);
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(Walk(ds), (std::vector<std::string>{"2@2", "4@4", "6@6"}));
    EXPECT_FALSE(ds.IsSequenced());
    ds.SetFiltered(false);
    EXPECT_TRUE(ds.IsSequenced());
}

TEST(Cursor, ScanReadsRowsWithoutMovingTheCursor) {
    testutil::TempDir dir;
    std::string path = NumberedTable(dir, 6);
    dstest::MarkDeleted(path, 3);
    TRidedezDataSet ds;
    OpenIn(ds, dir);
    ds.SetRecNo(2);
    std::vector<std::string> seen;
    int32_t n = ds.ScanRecords(2, 3, [&](int32_t recNo) {
        seen.push_back(ds.Field(0).AsString() + "@" + std::to_string(recNo) + "/" + std::to_string(ds.RecNo()));
        return true;
    });
    EXPECT_EQ(n, 3);
    EXPECT_EQ(seen, (std::vector<std::string>{"2@2/2", "4@4/4", "5@5/5"}));
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(ds.Field(0).AsString(), "2");
    ds.Next();
    EXPECT_EQ(ds.RecNo(), 4);
    EXPECT_EQ(ds.ScanRecords(7, 10, [](int32_t) { return true; }), 0);
    EXPECT_EQ(ds.ScanRecords(1, 10, [](int32_t) { return false; }), 1);
}

TEST(Cursor, EventsRunInOrder) {
    testutil::TempDir dir;
    NumberedTable(dir, 2);
    TRidedezDataSet ds;
    std::vector<std::string> log;
    ds.beforeOpen = [&](TDataSet&) { log.push_back("beforeOpen"); };
    ds.afterOpen = [&](TDataSet&) { log.push_back("afterOpen"); };
    ds.beforeScroll = [&](TDataSet&) { log.push_back("beforeScroll"); };
    ds.afterScroll = [&](TDataSet&) { log.push_back("afterScroll"); };
    ds.beforeClose = [&](TDataSet&) { log.push_back("beforeClose"); };
    ds.afterClose = [&](TDataSet&) { log.push_back("afterClose"); };
    OpenIn(ds, dir);
    ds.Next();
    ds.Close();
    EXPECT_EQ(log, (std::vector<std::string>{"beforeOpen", "afterOpen", "afterScroll", "beforeScroll", "afterScroll",
                                             "beforeClose", "afterClose"}));
}

TEST(Cursor, StatusAndFormulaHooksReachTheEvents) {
    testutil::TempDir dir;
    std::string path = NumberedTable(dir, 3);
    dstest::MarkDeleted(path, 2);
    TRidedezDataSet ds;
    std::vector<std::vector<int>> reports;
    ds.onStatus = [&](int32_t a, int32_t b, int32_t c) { reports.push_back({a, b, c}); };
    ds.SetExclusive(true);
    OpenIn(ds, dir);
    ds.Pack();
    EXPECT_EQ(reports, (std::vector<std::vector<int>>{{-1, 11, 3}, {11, 1, 0}, {11, 2, 0}, {11, 3, 0}, {0, 0, 0}}));

    std::string rsl;
    char typ = 'C';
    bool chg = false;
    EXPECT_EQ(ds.Table()->FormulaHook("who", "st", rsl, typ, chg), -1);
    ds.onFormula = [](const std::string& who, const std::string&, std::string& r, char& t, bool&, bool& tf) {
        r = who + "!";
        t = 'N';
        tf = true;
    };
    EXPECT_EQ(ds.Table()->FormulaHook("who", "st", rsl, typ, chg), 0);
    EXPECT_EQ(rsl, "who!");
    EXPECT_EQ(typ, 'N');
}

TEST(Cursor, PropertiesOfTheComponent) {
    testutil::TempDir dir;
    NumberedTable(dir, 1);
    TRidedezDataSet ds;
    EXPECT_EQ(ds.About(), "Ridedez Version 06.02.00 (14 Oct 98)");
    ds.SetAbout("other");
    EXPECT_EQ(ds.About(), "Ridedez Version 06.02.00 (14 Oct 98)");
    EXPECT_TRUE(ds.TranslateASCII());
    EXPECT_FALSE(ds.Exclusive());
    EXPECT_FALSE(ds.UseDeleted());
    EXPECT_EQ(ds.LockProtocol(), TgsLokProtocol::Default);
    ds.SetIndexFiles({"A.NDX"});
    ds.SetTableName("T.DBF");
    EXPECT_TRUE(ds.IndexFiles().empty());  // a new table name drops the index list
    ds.SetIndexFiles({"A.NDX"});
    ds.SetTableName("T.DBF");
    EXPECT_EQ(ds.IndexFiles().size(), 1u);
    ds.SetIndexFiles({});
    OpenIn(ds, dir);
    EXPECT_EQ(ErrorText([&] { ds.SetTableName("X"); }),
              "Не могу выполнить эту операцию над открытым набором данных (dataset)");
    EXPECT_EQ(ErrorText([&] { ds.SetDatabaseName("/elsewhere"); }),
              "Не могу выполнить эту операцию над открытым набором данных (dataset)");
    ds.SetLockProtocol(TgsLokProtocol::FoxLock);
    EXPECT_EQ(ds.Table()->LockProtocol(), 3);
    ds.SetUserID(42);
    EXPECT_EQ(ds.Table()->UserID(), 42u);
    ds.SetUseDeleted(true);
    EXPECT_TRUE(ds.Table()->UseDeleted());
    ds.SetReadOnly(true);
    EXPECT_FALSE(ds.CanModify());
    EXPECT_EQ(ErrorText([&] { ds.Edit(); }), "Cannot modify a read-only dataset");

    TDataSource src(&ds);
    TRidedezDataSet detail;
    TDataSource detailSrc(&detail);
    detail.SetMasterSource(&src);
    EXPECT_EQ(ErrorText([&] { ds.SetMasterSource(&detailSrc); }), "Циклические связи не допускаются");
    EXPECT_EQ(ds.MasterSource(), nullptr);
}

TEST(Cursor, ReadOnlyOpeningStaysReadOnly) {
    testutil::TempDir dir;
    NumberedTable(dir, 1);
    TRidedezDataSet ds;
    ds.SetReadOnly(true);
    OpenIn(ds, dir);
    EXPECT_FALSE(ds.Table()->IsReadWrite());
    ds.SetReadOnly(false);  // the file was not opened for writing
    EXPECT_TRUE(ds.ReadOnly());
    EXPECT_EQ(ErrorText([&] { ds.AppendRecord({Text("x")}); }), "Cannot modify a read-only dataset");
}
