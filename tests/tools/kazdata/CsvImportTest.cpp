// Importing CSV banks: question, right answer, four wrong answers per record.

#include <gtest/gtest.h>

#include <string>

#include "KazdataSupport.h"

namespace {

using namespace kazdatatest;

TEST(CsvImport, RecordsLandWithTheRightAnswerInA) {
    testutil::TempDir dir;
    WriteText(dir.File("bank.csv"),
              "Қазақстанның астанасы?,Астана,Алматы,Шымкент,Қарағанды,Ақтөбе\n"
              "\n"
              "\"Бір, екі, үш: қайсысы \"\"жұп\"\"?\",екі,бір,үш,\"бір, үш\",ешқайсысы\r\n"
              "\"Екі\n"
              "жолды сұрақ\",иә,жоқ,мүмкін,білмеймін,ешқашан\n");
    const testutil::CommandResult r =
        Kazdata("import " + Quote(dir.File("bank.csv")) + " " + Quote(dir.File("Kaz2.dbf")));
    ASSERT_EQ(r.status, 0) << r.err;
    const Table t = ReadVariant(dir.File("Kaz2.dbf"));
    ASSERT_EQ(t.records.size(), 3u);
    EXPECT_EQ(t.records[0],
              (std::array<std::string, 6>{"Қазақстанның астанасы?", "Астана", "Алматы", "Шымкент",
                                          "Қарағанды", "Ақтөбе"}));
    EXPECT_EQ(t.records[1], (std::array<std::string, 6>{"Бір, екі, үш: қайсысы \"жұп\"?", "екі",
                                                        "бір", "үш", "бір, үш", "ешқайсысы"}));
    EXPECT_EQ(t.records[2][0], "Екі жолды сұрақ");
    EXPECT_EQ(t.records[2][1], "иә");
    EXPECT_EQ(Listing(dir.Path()), (std::set<std::string>{"bank.csv", "Kaz2.dbf"}));
}

TEST(CsvImport, SeparatorHeaderAndExplicitFormat) {
    testutil::TempDir dir;
    WriteText(dir.File("bank.txt"), "Сұрақ;Дұрыс;Қате 1;Қате 2;Қате 3;Қате 4\nСұрақ 1;a;b;c;d;e\n");
    const testutil::CommandResult r =
        Kazdata("import --csv --separator ';' --header " + Quote(dir.File("bank.txt")) + " " +
                Quote(dir.File("k.dbf")));
    ASSERT_EQ(r.status, 0) << r.err;
    const Table t = ReadVariant(dir.File("k.dbf"));
    ASSERT_EQ(t.records.size(), 1u);
    EXPECT_EQ(t.records[0], (std::array<std::string, 6>{"Сұрақ 1", "a", "b", "c", "d", "e"}));
    // The same file read as Aiken (its extension is not .csv) is not a bank of questions.
    EXPECT_EQ(
        Kazdata("import " + Quote(dir.File("bank.txt")) + " " + Quote(dir.File("k2.dbf"))).status,
        1);
}

struct BadCsv {
    const char* what;
    std::string text;
    std::string expected;
};

class CsvBad : public ::testing::TestWithParam<BadCsv> {};

TEST_P(CsvBad, IsReportedWithItsLineAndNothingIsWritten) {
    const BadCsv& b = GetParam();
    testutil::TempDir dir;
    WriteText(dir.File("bank.csv"), b.text);
    const testutil::CommandResult r =
        Kazdata("import " + Quote(dir.File("bank.csv")) + " " + Quote(dir.File("k.dbf")));
    EXPECT_EQ(r.status, 1) << b.what;
    EXPECT_NE(r.err.find(dir.File("bank.csv") + ":" + b.expected), std::string::npos)
        << b.what << "\n"
        << r.err;
    EXPECT_EQ(Listing(dir.Path()), (std::set<std::string>{"bank.csv"})) << b.what;
}

const std::string kOk = "q,a,b,c,d,e\n";

INSTANTIATE_TEST_SUITE_P(
    Banks, CsvBad,
    ::testing::Values(BadCsv{"four answers", kOk + "q,a,b,c,d\n",
                             "2: 5 fields (the question and 4 answers); a question needs its text "
                             "and exactly five answers"},
                      BadCsv{"six answers", kOk + kOk + "q,a,b,c,d,e,f\n",
                             "3: 7 fields (the question and 6 answers)"},
                      BadCsv{"a line after a two-line record", "\"two\nlines\",a,b,c,d,e\nq,a\n",
                             "3: 2 fields"},
                      BadCsv{"a quote never closed", kOk + "\"q,a,b,c,d,e\n",
                             "2: a quoted field that is never closed"},
                      BadCsv{"a quote inside a field", kOk + "q,a\"b,c,d,e,f\n",
                             "2: a quote inside a field that does not start with one"},
                      BadCsv{"text after a closing quote", kOk + "\"q\"x,a,b,c,d,e\n",
                             "2: text after the closing quote of a field"},
                      BadCsv{"an empty answer", kOk + "q,a,,c,d,e\n", "2: wrong answer 1 is empty"},
                      BadCsv{"a right answer among the wrong ones", kOk + "q,a,b,c,a,e\n",
                             "2: wrong answer 3 is the same as the right answer"},
                      BadCsv{"a character the encoding cannot hold", kOk + "q,a,b,c,d,€ and ✓\n",
                             "2: wrong answer 4, character 7: holds '✓' (U+2713), which the "
                             "display encoding cannot hold"}));

}  // namespace
