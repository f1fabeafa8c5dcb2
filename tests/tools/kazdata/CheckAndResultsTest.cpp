// kazdata check (question tables, NAME.DBF, INFO.DBF) and kazdata export-results.

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "KazdataSupport.h"
#include "dataset/DateTime.h"
#include "dataset/RidedezDataSet.h"
#include "engine/DbfCreate.h"

namespace {

using namespace kazdatatest;

const std::vector<TgsFieldDef> kQuestionFields = {{"Input", 'C', 60, 0}, {"A", 'C', 20, 0}, {"B", 'C', 20, 0},
                                                  {"C", 'C', 20, 0},     {"D", 'C', 20, 0}, {"E", 'C', 20, 0}};
const std::vector<TgsFieldDef> kInfoFields = {{"NAME", 'C', 15, 0},
                                              {"VARIANT", 'C', 2, 0},
                                              {"COUNT", 'N', 3, 0},
                                              {"TRUECOUNT", 'N', 3, 0},
                                              {"DATE", 'D', 8, 0}};

void Append(const std::string& path, const std::vector<std::vector<std::string>>& records, bool translate = false) {
    TRidedezDataSet t;
    t.SetTableName(path);
    t.SetTranslateASCII(translate);
    t.Open();
    for (const auto& r : records) {
        std::vector<TFieldValue> values;
        for (const std::string& v : r) values.push_back(Text(v));
        t.AppendRecord(values);
    }
}

void MakeQuestions(const std::string& path, int n) {
    CreateDBFTable(path, 0x03, kQuestionFields);
    std::vector<std::vector<std::string>> rs;
    for (int i = 1; i <= n; ++i) {
        const std::string k = std::to_string(i);
        rs.push_back({"Q" + k, "a" + k, "b" + k, "c" + k, "d" + k, "e" + k});
    }
    Append(path, rs);
}

int64_t HeaderLength(const std::string& path) { return GSO_dBHandler::Open(path, false, true)->HeaderLength(); }
int64_t RecordLength(const std::string& path) { return GSO_dBHandler::Open(path, false, true)->RecordLength(); }

TEST(KazdataCheck, SoundTablesOfEachKindAreOk) {
    testutil::TempDir dir;
    MakeQuestions(dir.File("Kaz1.dbf"), 3);
    CreateDBFTable(dir.File("NAME.DBF"), 0x03, {{"Name", 'C', 15, 0}});
    CreateDBFTable(dir.File("INFO.DBF"), 0x03, kInfoFields);
    const testutil::CommandResult r = Kazdata("check " + Quote(dir.File("Kaz1.dbf")) + " " +
                                              Quote(dir.File("NAME.DBF")) + " " + Quote(dir.File("INFO.DBF")));
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out, dir.File("Kaz1.dbf") + ": ok\n" + dir.File("NAME.DBF") + ": ok\n" + dir.File("INFO.DBF") +
                         ": ok\n");
}

TEST(KazdataCheck, ATableCutShortIsReportedWithBothCounts) {
    testutil::TempDir dir;
    const std::string path = dir.File("Kaz7.dbf");
    MakeQuestions(path, 21);
    const int64_t header = HeaderLength(path), length = RecordLength(path);
    ASSERT_EQ(truncate(path.c_str(), header + 4 * length + 10), 0);
    const testutil::CommandResult r = Kazdata("check " + Quote(path));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(path + ": the header counts 21 records, the file holds 4\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(path + ": the file ends inside record 5 (10 of " + std::to_string(length) + " bytes)"),
              std::string::npos)
        << r.out;
    // The same holds for the names and the results tables.
    const std::string names = dir.File("NAME.DBF");
    CreateDBFTable(names, 0x03, {{"Name", 'C', 15, 0}});
    Append(names, {{"Aigul"}, {"Bolat"}, {"Dana"}});
    ASSERT_EQ(truncate(names.c_str(), HeaderLength(names) + 2 * 16), 0);
    const testutil::CommandResult n = Kazdata("check " + Quote(names));
    EXPECT_EQ(n.status, 1);
    EXPECT_NE(n.out.find("the header counts 3 records, the file holds 2"), std::string::npos) << n.out;
}

TEST(KazdataCheck, QuestionTablesNeedTheirFieldsQuestionsAndFiveDifferentAnswers) {
    testutil::TempDir dir;
    const std::string noInput = dir.File("Kaz2.dbf");
    CreateDBFTable(noInput, 0x03,
                   {{"Quest", 'C', 20, 0}, {"A", 'C', 20, 0}, {"B", 'C', 20, 0}, {"C", 'C', 20, 0},
                    {"D", 'C', 20, 0}, {"E", 'N', 5, 0}});
    const std::string empty = dir.File("Kaz3.dbf");
    CreateDBFTable(empty, 0x03, kQuestionFields);
    const std::string odd = dir.File("Kaz4.dbf");
    CreateDBFTable(odd, 0x03, kQuestionFields);
    Append(odd, {{"Q1", "a", "b", "a", "d", "e"}, {"Q2", "a", "", "c", "d", "e"}});
    const testutil::CommandResult r =
        Kazdata("check " + Quote(noInput) + " " + Quote(empty) + " " + Quote(odd) + " " + Quote(dir.File("none.dbf")));
    EXPECT_EQ(r.status, 1);
    for (const std::string& line :
         {noInput + ": no field Input\n", noInput + ": field E is of type N, not CM\n", empty + ": holds no questions\n",
          odd + ": record 1: answers A and C are the same\n", odd + ": record 2: field B is blank\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << r.out;
    EXPECT_NE(r.out.find(dir.File("none.dbf") + ": "), std::string::npos) << r.out;
}

TEST(KazdataCheck, TheResultsLogNeedsTheFieldsTheProgramBinds) {
    testutil::TempDir sub1, sub2;
    CreateDBFTable(sub1.File("INFO.DBF"), 0x03,
                   {{"NAME", 'C', 15, 0}, {"VARIANT", 'C', 2, 0}, {"COUNT", 'N', 5, 0}, {"TRUECOUNT", 'N', 3, 1}});
    CreateDBFTable(sub2.File("name.dbf"), 0x03, {{"Name", 'N', 5, 0}});
    const testutil::CommandResult r = Kazdata("check " + Quote(sub1.File("INFO.DBF")) + " " + Quote(sub2.File("name.dbf")));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("COUNT is N(5,0); the program needs at most 4 digits and no decimals"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("TRUECOUNT is N(3,1)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("INFO.DBF: no field DATE"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("name.dbf: field Name is of type N, not C"), std::string::npos) << r.out;
}

TEST(KazdataExportResults, TheLogBecomesUtf8CsvWithAHeaderRow) {
    testutil::TempDir dir;
    const std::string info = dir.File("INFO.DBF");
    CreateDBFTable(info, 0x03, kInfoFields);
    {
        TRidedezDataSet t;
        t.SetTableName(info);
        t.SetTranslateASCII(true);
        t.Open();
        t.AppendRecord({Text("\xC8\xE2\xE0\xED"), Text("7"), Integer(25), Integer(20), DateOf(EncodeDate(2024, 5, 18))});
        t.AppendRecord({Text("=SUM(A1)"), Text("30"), Integer(30), Integer(6), DateOf(EncodeDate(2024, 5, 19))});
        t.First();
        t.Next();
        t.Delete();  // deleted results are not exported
        t.AppendRecord({Text(" Dana"), Text("1"), Integer(3), Integer(3), DateOf(EncodeDate(2024, 5, 20))});
    }
    const std::string out = dir.File("results.csv");
    const testutil::CommandResult r = Kazdata("export-results " + Quote(info) + " " + Quote(out));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(testutil::ReadText(out),
              "NAME,VARIANT,COUNT,TRUECOUNT,DATE\r\n"
              "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD,7,25,20,2024-05-18\r\n"
              "\" Dana\",1,3,3,2024-05-20\r\n");
    EXPECT_EQ(Listing(dir.Path()), (std::set<std::string>{"INFO.DBF", "results.csv"}));
}

TEST(KazdataExportResults, AFormulaIsDefusedAndBadCommandLinesAndTablesFail) {
    testutil::TempDir dir;
    const std::string info = dir.File("INFO.DBF");
    CreateDBFTable(info, 0x03, kInfoFields);
    Append(info, {{"=SUM(A1)", "2"}}, true);
    ASSERT_EQ(Kazdata("export-results " + Quote(info) + " " + Quote(dir.File("o.csv"))).status, 0);
    EXPECT_NE(testutil::ReadText(dir.File("o.csv")).find("\r\n'=SUM(A1),2,"), std::string::npos);
    EXPECT_EQ(Kazdata("export-results " + Quote(info)).status, 2);
    EXPECT_EQ(Kazdata("export-results --x " + Quote(info) + " o.csv").status, 2);
    const testutil::CommandResult missing =
        Kazdata("export-results " + Quote(dir.File("NONE.DBF")) + " " + Quote(dir.File("p.csv")));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("kazdata export-results:"), std::string::npos) << missing.err;
    // Nothing is left behind by a failure.
    EXPECT_EQ(Listing(dir.Path()), (std::set<std::string>{"INFO.DBF", "o.csv"}));
}

}  // namespace
