// The program's uses of the dataset, end to end on real files: the results log with its
// purge and append, and the question tables. (The names memory is tested with the
// program's own function, among the program's tests.)

#include "DsHelpers.h"
#include "dataset/DateTime.h"
#include "engine/DBFDate.h"
#include "engine/FieldText.h"

using dstest::Bytes;
using dstest::ErrorText;
using dstest::Hex;

TEST(ProgramUses, ResultsLogPurgeAndAppendReadBackByAnotherReader) {
    testutil::TempDir dir;
    CreateDBFTable(dir.File("INFO.DBF"), 0x03,
                   dstest::Defs({"NAME:C:15", "VARIANT:C:2", "COUNT:N:3", "TRUECOUNT:N:3", "DATE:D"}));
    // Today is 15 March 2024, 10:30; the log holds five results.
    dstest::FixedTime clock({2024, 3, 15, 10, 30, 0, 0});
    auto day = [](int y, int m, int d) {
        return TgsDBFDate::Instance().JulianToStorage(DateTimeToJulian(EncodeDate(y, m, d)));
    };
    dstest::AppendRaw(dir.File("INFO.DBF"), {
                                                {"KEPT1", "1", " 10", "  9", day(2024, 3, 5)},    // 10 days
                                                {"OLD1", "2", " 10", "  1", day(2024, 2, 4)},     // 40 days
                                                {"OLD2", "3", " 10", "  2", day(2024, 2, 13)},    // 31 days
                                                {"KEPT2", "4", " 10", "  3", day(2024, 2, 14)},   // 30 days
                                                {"OLD3", "5", " 10", "  4", day(2023, 12, 6)},    // 100 days
                                            });
    TRidedezDataSet info;
    dstest::ConfigureExclusive(info, dir.Path(), "INFO.DBF");
    info.AddField("NAME", TFieldType::ftString, 15);
    info.AddField("VARIANT", TFieldType::ftString, 2);
    info.AddField("COUNT", TFieldType::ftSmallint);
    info.AddField("TRUECOUNT", TFieldType::ftSmallint);
    info.AddField("DATE", TFieldType::ftDate);
    info.Open();

    // Recording a result: purge while walking, pack, append.
    const TDateTime now = Now();
    std::vector<std::string> deleted;
    ASSERT_GT(info.RecordCount(), 0);
    info.First();
    while (!info.Eof()) {
        if (now - info.FieldByName("Date").AsDateTime() > 31) {
            deleted.push_back(info.FieldByName("NAME").AsString());
            info.Delete();
        } else {
            info.Next();
        }
    }
    EXPECT_EQ(deleted, (std::vector<std::string>{"OLD1", "OLD2", "OLD3"}));
    EXPECT_EQ(info.RecordCount(), 5);  // still in the file until the pack
    info.Pack();
    EXPECT_EQ(info.RecordCount(), 2);
    const std::string name = Bytes("C0F1E5EBFC20CAE0E7E0F5");  // "Асель Казах" in 1251
    info.AppendRecord({Text(name), Text("7"), Integer(25), Integer(20), DateOf(now)});
    EXPECT_EQ(info.RecNo(), 3);
    EXPECT_EQ(info.FieldByName("NAME").AsString(), name);
    EXPECT_EQ(info.FieldByName("COUNT").AsInteger(), 25);
    EXPECT_EQ(info.FieldByName("DATE").AsDateTime(), EncodeDate(2024, 3, 15));
    info.Close();

    // Another reader sees the OEM bytes, the numbers and today's date.
    testutil::CommandResult r = testutil::Run(
        "/usr/bin/python3 -c \"import dbfread,sys\n"
        "for rec in dbfread.DBF(sys.argv[1], raw=True):\n"
        "    print(rec['NAME'].hex().upper(), rec['VARIANT'].decode().rstrip(), int(rec['COUNT']), int(rec['TRUECOUNT']), rec['DATE'].decode())\" '" +
        dir.File("INFO.DBF") + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Hex(std::string("KEPT1") + std::string(10, ' ')) + " 1 10 9 20240305\n" +
                         Hex(std::string("KEPT2") + std::string(10, ' ')) + " 4 10 3 20240214\n" +
                         "80E1A5ABEC208AA0A7A0E520202020 7 25 20 20240315\n");
}

TEST(ProgramUses, EmptyResultsLogJustTakesTheFirstRecord) {
    testutil::TempDir dir;
    CreateDBFTable(dir.File("INFO.DBF"), 0x03,
                   dstest::Defs({"NAME:C:15", "VARIANT:C:2", "COUNT:N:3", "TRUECOUNT:N:3", "DATE:D"}));
    TRidedezDataSet info;
    dstest::ConfigureExclusive(info, dir.Path(), "INFO.DBF");
    info.Open();
    EXPECT_TRUE(info.Eof());
    EXPECT_TRUE(info.Bof());
    EXPECT_EQ(info.RecordCount(), 0);
    info.AppendRecord({Text("A"), Text("1"), Integer(3), Integer(2), DateOf(EncodeDate(2024, 1, 2))});
    EXPECT_EQ(info.RecordCount(), 1);
    EXPECT_FALSE(info.Eof());
    EXPECT_EQ(info.FieldByName("TRUECOUNT").AsInteger(), 2);
}

TEST(ProgramUses, QuestionTableSharedAndUntranslatedBesideAnotherOpener) {
    testutil::TempDir dir;
    // The file lies in upper case; the program asks for "Kaz1.dbf".
    CreateDBFTable(dir.File("KAZ1.DBF"), 0x03,
                   dstest::Defs({"Input:C:60", "A:C:20", "B:C:20", "C:C:20", "D:C:20", "E:C:20"}));
    const std::string question = Bytes("CAE0E7E0F5F1F2E0ED") + "?";  // "Казахстан?" in 1251
    dstest::AppendRaw(dir.File("KAZ1.DBF"), {{question, "a1", "b1", "c1", "d1", "e1"}, {"Q2", "a2", "b2", "c2", "d2", "e2"}});

    TRidedezDataSet first;
    first.SetDatabaseName(dir.Path());
    first.SetTableName("Kaz1.dbf");
    first.SetTranslateASCII(false);
    first.Open();
    EXPECT_EQ(first.TableName(), "Kaz1.dbf");
    TRidedezDataSet second;
    second.SetDatabaseName(dir.Path());
    second.SetTableName("Kaz1.dbf");
    second.SetTranslateASCII(false);
    second.Open();

    // A second program reads the same table at the same time.
    pid_t pid = testutil::Spawn([&] {
        TRidedezDataSet other;
        other.SetDatabaseName(dir.Path());
        other.SetTableName("kaz1.DBF");
        other.Open();
        other.Last();
        return other.FieldByName("A").AsString() == "a2" ? 0 : 1;
    });
    EXPECT_EQ(testutil::Wait(pid), 0);
    // An exclusive opener elsewhere is refused while the table is open shared.
    pid = testutil::Spawn([&] {
        TRidedezDataSet excl;
        excl.SetDatabaseName(dir.Path());
        excl.SetTableName("Kaz1.dbf");
        excl.SetExclusive(true);
        return ErrorText([&] { excl.Open(); }).rfind("File access denied - ", 0) == 0 ? 0 : 1;
    });
    EXPECT_EQ(testutil::Wait(pid), 0);

    int count = 0;
    for (first.First(); !first.Eof(); first.Next()) ++count;
    EXPECT_EQ(count, 2);
    first.First();
    second.First();
    second.Next();
    EXPECT_EQ(first.FieldByName("Input").AsString(), question);  // the 1251 bytes unchanged
    EXPECT_EQ(second.FieldByName("input").AsString(), "Q2");
    EXPECT_EQ(first.FieldByName("E").AsString(), "e1");
    EXPECT_EQ(first.RecordCount(), 2);
}
