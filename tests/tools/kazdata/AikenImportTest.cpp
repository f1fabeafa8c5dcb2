// Importing Aiken banks: what lands in the table, and what a bad bank gets.

#include <gtest/gtest.h>

#include <string>

#include "KazdataSupport.h"
#include "engine/dBHandler.h"

namespace {

using namespace kazdatatest;

const std::string kGood =
    "# a comment before the first question\n"
    "Қазақстанның астанасы қай қала?\n"
    "A. Алматы\n"
    "B. Астана\n"
    "C. Шымкент\n"
    "D. Қарағанды\n"
    "E. Ақтөбе\n"
    "ANSWER: B\n"
    "\n"
    "Өрнектің мәнін табыңыз:\n"
    "7 · 8\n"
    "A) 56\n"
    "B) 54\n"
    "C) 48\n"
    "D) 64\n"
    "E) 58\n"
    "ANSWER: A\n"
    "Әріптер: ә ғ қ ң ө ұ ү һ і Ә Ғ Қ Ң Ө Ұ Ү Һ І\n"
    "A. бір\n"
    "B. екі\n"
    "C. үш\n"
    "D. төрт\n"
    "E. бес\n"
    "ANSWER: E\n";

TEST(AikenImport, QuestionsLandWithTheRightAnswerInA) {
    testutil::TempDir dir;
    WriteText(dir.File("bank.txt"), kGood);
    const testutil::CommandResult r =
        Kazdata(Quote(dir.File("bank.txt")) + " " + Quote(dir.File("Kaz7.dbf")));
    ASSERT_EQ(r.status, 2) << "import needs its command word";
    const testutil::CommandResult ok =
        Kazdata("import " + Quote(dir.File("bank.txt")) + " " + Quote(dir.File("Kaz7.dbf")));
    ASSERT_EQ(ok.status, 0) << ok.err;
    EXPECT_NE(ok.out.find("3 questions"), std::string::npos) << ok.out;

    const Table t = ReadVariant(dir.File("Kaz7.dbf"));
    ASSERT_EQ(t.fields.size(), 6u);
    const char* names[] = {"INPUT", "A", "B", "C", "D", "E"};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(t.fields[i].name, names[i]);
        EXPECT_EQ(t.fields[i].type, 'C');
        EXPECT_LE(t.fields[i].length, 254);
    }
    ASSERT_EQ(t.records.size(), 3u);
    const std::array<std::string, 6> first = {
        "Қазақстанның астанасы қай қала?", "Астана", "Алматы", "Шымкент", "Қарағанды", "Ақтөбе"};
    EXPECT_EQ(t.records[0], first);
    // A question over two lines is joined with a blank; ")" works as well as ".".
    const std::array<std::string, 6> second = {
        "Өрнектің мәнін табыңыз: 7 · 8", "56", "54", "48", "64", "58"};
    EXPECT_EQ(t.records[1], second);
    const std::array<std::string, 6> third = {
        "Әріптер: ә ғ қ ң ө ұ ү һ і Ә Ғ Қ Ң Ө Ұ Ү Һ І", "бес", "бір", "екі", "үш", "төрт"};
    EXPECT_EQ(t.records[2], third);
    // Only the finished table is left.
    EXPECT_EQ(Listing(dir.Path()), (std::set<std::string>{"bank.txt", "Kaz7.dbf"}));
}

TEST(AikenImport, StoresDisplayBytes) {
    testutil::TempDir dir;
    WriteText(dir.File("bank.txt"), "Қала?\nA. Ұ\nB. ң\nC. Ә\nD. һ\nE. Ғ\nANSWER: A\n");
    ASSERT_EQ(
        Kazdata("import " + Quote(dir.File("bank.txt")) + " " + Quote(dir.File("k.dbf"))).status,
        0);
    std::unique_ptr<GSO_dBHandler> table = GSO_dBHandler::Open(dir.File("k.dbf"), false, true);
    table->GoRecord(gsMoveTop);
    EXPECT_EQ(TrimRight(table->GetTextByName("Input")), "\xB2\xE0\xEB\xE0?");
    EXPECT_EQ(TrimRight(table->GetTextByName("A")), "\xB5");
    EXPECT_EQ(TrimRight(table->GetTextByName("B")), "\xBB");
    EXPECT_EQ(TrimRight(table->GetTextByName("C")), "\x8A");
    EXPECT_EQ(TrimRight(table->GetTextByName("D")), "\x9F");
    EXPECT_EQ(TrimRight(table->GetTextByName("E")), "\x8C");
    EXPECT_EQ(table->RecordCount(), 1);
}

TEST(AikenImport, ByteOrderMarkAndCrLfAreAccepted) {
    testutil::TempDir dir;
    WriteText(dir.File("bank.txt"),
              "\xEF\xBB\xBFСұрақ\r\nA. a\r\nB. b\r\nC. c\r\nD. d\r\nE. e\r\nANSWER: C\r\n");
    ASSERT_EQ(
        Kazdata("import " + Quote(dir.File("bank.txt")) + " " + Quote(dir.File("k.dbf"))).status,
        0);
    const Table t = ReadVariant(dir.File("k.dbf"));
    ASSERT_EQ(t.records.size(), 1u);
    EXPECT_EQ(t.records[0], (std::array<std::string, 6>{"Сұрақ", "c", "a", "b", "d", "e"}));
}

struct BadBank {
    const char* what;
    std::string text;
    std::string expected;  // the report line, after the file name
};

const std::string kOkQuestion = "Дұрыс сұрақ\nA. a\nB. b\nC. c\nD. d\nE. e\nANSWER: A\n\n";

class AikenBad : public ::testing::TestWithParam<BadBank> {};

TEST_P(AikenBad, IsReportedWithItsLineAndNothingIsWritten) {
    const BadBank& b = GetParam();
    testutil::TempDir dir;
    WriteText(dir.File("bank.txt"), b.text);
    // An older table of that name stays as it was.
    ASSERT_EQ(Kazdata("import " + Quote(dir.File("bank.txt")) + " " + Quote(dir.File("old.dbf")))
                      .status == 0,
              false);
    WriteText(dir.File("good.txt"), kOkQuestion);
    ASSERT_EQ(
        Kazdata("import " + Quote(dir.File("good.txt")) + " " + Quote(dir.File("Kaz1.dbf"))).status,
        0);
    const std::vector<uint8_t> before = testutil::ReadBytes(dir.File("Kaz1.dbf"));

    const testutil::CommandResult r =
        Kazdata("import " + Quote(dir.File("bank.txt")) + " " + Quote(dir.File("Kaz1.dbf")));
    EXPECT_EQ(r.status, 1) << b.what;
    EXPECT_NE(r.err.find(dir.File("bank.txt") + ":" + b.expected), std::string::npos)
        << b.what << "\n"
        << r.err;
    EXPECT_NE(r.err.find("not written"), std::string::npos) << r.err;
    EXPECT_EQ(testutil::ReadBytes(dir.File("Kaz1.dbf")), before) << b.what;
    EXPECT_EQ(Listing(dir.Path()), (std::set<std::string>{"bank.txt", "good.txt", "Kaz1.dbf"}))
        << b.what;
}

INSTANTIATE_TEST_SUITE_P(
    Banks, AikenBad,
    ::testing::Values(
        BadBank{"four answers", kOkQuestion + "Сұрақ\nA. a\nB. b\nC. c\nD. d\nANSWER: A\n",
                "9: the question has 4 answers; a question needs exactly five"},
        BadBank{
            "six answers",
            kOkQuestion + kOkQuestion + "Сұрақ\nA. a\nB. b\nC. c\nD. d\nE. e\nF. f\nANSWER: F\n",
            "17: the question has 6 answers; a question needs exactly five"},
        BadBank{"no ANSWER line",
                kOkQuestion + "Сұрақ\nA. a\nB. b\nC. c\nD. d\nE. e\n\n" + kOkQuestion,
                "15: a blank line before the ANSWER line of the question from line 9"},
        BadBank{"no ANSWER line at the end", kOkQuestion + "Сұрақ\nA. a\nB. b\nC. c\nD. d\nE. e\n",
                "14: the question from line 9 has no ANSWER line"},
        BadBank{"ANSWER names a missing letter", "Сұрақ\nA. a\nB. b\nC. c\nD. d\nE. e\nANSWER: G\n",
                "7: the ANSWER line names G, which is not one of the answers"},
        BadBank{"ANSWER without a letter", "Сұрақ\nA. a\nB. b\nC. c\nD. d\nE. e\nANSWER: maybe\n",
                "7: the ANSWER line names no letter"},
        BadBank{"answer line without a question", "A. a\n",
                "1: an answer line without a question before it"},
        BadBank{"a question with no answers", kOkQuestion + "Сұрақ\n\n",
                "9: the question has no answers"},
        BadBank{"a stray line among the answers",
                "Сұрақ\nA. a\nB. b\nwhat is this\nC. c\nD. d\nE. e\nANSWER: A\n",
                "4: expected an answer such as \"C. text\" or the line \"ANSWER: C\""},
        BadBank{"the same letter twice", "Сұрақ\nA. a\nB. b\nB. c\nD. d\nE. e\nANSWER: A\n",
                "4: answer B appears twice"},
        BadBank{"an empty answer", "Сұрақ\nA. a\nB.\nC. c\nD. d\nE. e\nANSWER: A\n",
                "3: answer B is empty"},
        BadBank{"a character the encoding cannot hold",
                kOkQuestion + "Сұрақ №5\nA. a\nB. b\nC. c\nD. d\nE. e\nANSWER: A\n",
                "9: the question, character 7: holds '№' (U+2116), which the display encoding "
                "cannot hold"},
        BadBank{
            "guillemets in an answer", "Сұрақ\nA. a\nB. b\nC. «c»\nD. d\nE. e\nANSWER: A\n",
            "4: answer C, character 3: holds '»' (U+00BB), which the display encoding cannot hold"},
        BadBank{"invalid UTF-8", "Сұрақ\nA. a\nB. b\xC0\nC. c\nD. d\nE. e\nANSWER: A\n",
                "3: answer B, character 2: is not valid UTF-8"},
        BadBank{"a control character", "Сұрақ\nA. a\nB. b\x01\nC. c\nD. d\nE. e\nANSWER: A\n",
                "3: answer B, character 2: a control character (U+0001)"},
        BadBank{"a C1 control character",
                "Сұрақ\nA. a\nB. b\nC. c\xC2\x85\nD. d\nE. e\nANSWER: A\n",
                "4: answer C, character 2: holds (U+0085), which the display encoding cannot hold"},
        BadBank{"two equal answers", "Сұрақ\nA. бір\nB. екі\nC. бір\nD. d\nE. e\nANSWER: A\n",
                "4: answer C is the same as answer A"},
        BadBank{"a text too long",
                "Сұрақ " + std::string(260, 'x') + "\nA. a\nB. b\nC. c\nD. d\nE. e\nANSWER: A\n",
                "1: the question is 266 characters long; at most 254 fit"},
        BadBank{"no questions at all", "# only a comment\n\n", " holds no question"}));

TEST(AikenImport, EveryProblemOfABankIsReported) {
    testutil::TempDir dir;
    WriteText(
        dir.File("bank.txt"),
        "Бір\nA. a\nB. b\nC. c\nD. d\nANSWER: A\n\nЕкі\nA. a\nB. b\nC. c\nD. d\nE. №\nANSWER: A\n");
    const testutil::CommandResult r =
        Kazdata("import " + Quote(dir.File("bank.txt")) + " " + Quote(dir.File("k.dbf")));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("bank.txt:1: the question has 4 answers"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("bank.txt:13: answer E, character 1:"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("2 problems"), std::string::npos) << r.err;
    EXPECT_EQ(Listing(dir.Path()), (std::set<std::string>{"bank.txt"}));
}

}  // namespace
