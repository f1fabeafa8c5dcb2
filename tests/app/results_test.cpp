// The results log: the purge before each append and the append itself.

#include "AppFixture.h"

#include "app/tables/ResultsLog.h"

using namespace apptest;

namespace {

class ResultsTest : public AppTest {
protected:
    void Run(const char* name = "Ann") {
        MainForm->ComboName->setEditText(QString::fromLatin1(name));
        Click(MainForm->fcShapeBtn1);
        while (TestForm->isVisible() && TestForm->Running()) {
            ClickAnswer(RightItem());
            Click(TestForm->OKBtn);
        }
        KazForm->hide();
    }
};

}  // namespace

TEST_F(ResultsTest, PurgeBoundaryAt30And31DaysWithTwoConsecutiveOldRecords) {
    MakeQuestionTable("1", MakeQuestions(1));
    const TDateTime today = EncodeDate(2024, 5, 20);
    MakeInfoTable({{"Keep40", "1", 1, 1, today - 30},
                   {"Old31a", "2", 1, 0, today - 31},
                   {"Old31b", "3", 1, 0, today - 31},
                   {"Keep30", "4", 1, 1, today - 30},
                   {"Old45", "5", 1, 1, today - 45},
                   {"NoDate", "6", 1, 1, 0},
                   {"Old32", "7", 1, 1, today - 32}});
    StartProgram();
    Run();
    ASSERT_TRUE(errors.empty()) << errors.front().toStdString();
    const auto log = ReadLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].name, "Keep40");
    EXPECT_EQ(log[1].name, "Keep30");
    EXPECT_EQ(log[2].name, "Ann");
    EXPECT_EQ(log[2].date, today);
    // Packed: the header counts the three records and the file has no deleted one.
    DestroyForms();
    const auto bytes = testutil::ReadBytes(File("INFO.DBF"));
    EXPECT_EQ(bytes[4], 3);
    EXPECT_EQ(testutil::ReadText(File("INFO.DBF")).find("Old"), std::string::npos);
}

TEST_F(ResultsTest, OnlyOldRecordsAreAllRemoved) {
    MakeQuestionTable("1", MakeQuestions(1));
    const TDateTime today = EncodeDate(2024, 5, 20);
    MakeInfoTable({{"Old1", "1", 1, 1, today - 40}, {"Old2", "1", 1, 1, today - 35}});
    StartProgram();
    Run();
    const auto log = ReadLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].name, "Ann");
}

TEST_F(ResultsTest, AtMidnightARecordOf31DaysStays) {
    MakeQuestionTable("1", MakeQuestions(1));
    SetNow(2024, 5, 20, 0, 0, 0);
    const TDateTime today = EncodeDate(2024, 5, 20);
    MakeInfoTable({{"Day31", "1", 1, 1, today - 31}, {"Day32", "1", 1, 1, today - 32}});
    StartProgram();
    Run();
    const auto log = ReadLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].name, "Day31");
}

TEST_F(ResultsTest, AnEmptyLogIsAppendedToWithoutAPack) {
    MakeQuestionTable("1", MakeQuestions(1));
    StartProgram();
    std::vector<int> operations;
    MainForm->InfoTable.onStatus = [&](int32_t s1, int32_t s2, int32_t) {
        if (s1 == -1) operations.push_back(s2);
    };
    Run();
    EXPECT_TRUE(operations.empty());
    EXPECT_EQ(ReadLog().size(), 1u);
    // With one record in the log, the next recording packs (operation 11).
    Run();
    EXPECT_EQ(operations, std::vector<int>{11});
    EXPECT_EQ(ReadLog().size(), 2u);
}

TEST_F(ResultsTest, ReviewsAndAbandonedRunsAddNothing) {
    MakeQuestionTable("1", MakeQuestions(2));
    StartProgram();
    Click(MainForm->fcShapeBtn2);
    ClickAnswer(0);
    Click(TestForm->OKBtn);
    Click(TestForm->OKBtn);
    EXPECT_FALSE(TestForm->isVisible());
    MainForm->ComboName->setEditText(QStringLiteral("Ann"));
    Click(MainForm->fcShapeBtn1);
    ClickAnswer(RightItem());
    Click(TestForm->OKBtn);
    Click(TestForm->CloseBtn);
    EXPECT_TRUE(ReadLog().empty());
}

TEST_F(ResultsTest, TheNameIsStoredUntrimmed) {
    MakeQuestionTable("1", MakeQuestions(1));
    StartProgram();
    Run(" Ann");
    ASSERT_EQ(ReadLog().size(), 1u);
    EXPECT_EQ(ReadLog()[0].name, " Ann");
}
