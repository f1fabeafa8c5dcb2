// The test window driven by clicks and keys: a scored run, review mode, the messages,
// the end of a run and the tables that are odd or missing.

#include "AppFixture.h"

#include "app/Arrangement.h"
#include "app/MoreTexts.h"
#include "app/texts/KazQString.h"
#include "app/texts/KazTexts.h"

using namespace apptest;

namespace {

std::string Bytes(const QString& s) { return kaztexts::FromQString(s); }

class TestRunTest : public AppTest {
protected:
    void TypeName(const QString& name) {
        MainForm->ComboName->setEditText(QString());
        TypeText(MainForm->ComboName->lineEdit(), name);
    }
    std::string ShownMessage() const { return Bytes(KazForm->QLabel->Caption()).c_str(); }
    void CheckArrangement(const Question& q) {
        const auto fields = ArrangementFor(TestForm->RightAnswerPos);
        const auto labels = TestForm->AnswerLabels();
        for (size_t i = 0; i < 5; ++i) EXPECT_EQ(Bytes(labels[i]->Caption()), FieldOf(q, fields[i])) << i;
        EXPECT_EQ(Bytes(TestForm->QuestLabel->Caption()), q.input);
    }
    std::string Panel(int i) const { return Bytes(TestForm->StatusBar->Panels()[i]->Text()); }
};

}  // namespace

TEST_F(TestRunTest, ScoredRunOfThreeQuestionsAppendsOneRecordAndShowsTheFinalMessage) {
    const auto qs = MakeQuestions(3);
    MakeQuestionTable("1", qs);
    StartProgram();
    TypeName(QString::fromUtf8("Иванов"));
    random_->positions = {2, 5, 1};
    Click(MainForm->fcShapeBtn1);
    ASSERT_TRUE(errors.empty()) << errors.front().toStdString();
    ASSERT_TRUE(TestForm->isVisible());
    EXPECT_TRUE(TestMode);
    EXPECT_EQ(Bytes(TestForm->windowTitle()), kaztexts::kTestCaptionTest);
    EXPECT_EQ(Panel(0), std::string(kaztexts::kStatusCountPrefix) + "3");
    EXPECT_EQ(Panel(1), kaztexts::kStatusRightFirst);
    EXPECT_EQ(Bytes(TestForm->QuestNoLabel->Caption()), kaztexts::kQuestNoFirst);
    EXPECT_EQ(TestForm->RadioGroup->ItemIndex(), -1);
    EXPECT_EQ(TestForm->RightAnswerPos, 2);
    CheckArrangement(qs[0]);

    // Right, wrong, right; the elapsed time is 1 minute 5 seconds.
    ClickAnswer(RightItem());
    Click(TestForm->OKBtn);
    EXPECT_EQ(Bytes(TestForm->QuestNoLabel->Caption()), std::string(kaztexts::kQuestNoPrefix) + "2");
    EXPECT_EQ(Panel(1), std::string(kaztexts::kStatusRightPrefix) + "1");
    EXPECT_EQ(TestForm->RadioGroup->ItemIndex(), -1);
    EXPECT_EQ(TestForm->RightAnswerPos, 5);
    CheckArrangement(qs[1]);
    ClickAnswer(WrongItem());
    Click(TestForm->OKBtn);
    EXPECT_EQ(Panel(1), std::string(kaztexts::kStatusRightPrefix) + "1");
    CheckArrangement(qs[2]);
    EXPECT_TRUE(ReadLog().empty());
    SetNow(2024, 5, 20, 10, 1, 5);
    ClickAnswer(RightItem());
    Click(TestForm->OKBtn);

    EXPECT_FALSE(TestForm->isVisible());
    EXPECT_FALSE(TestForm->TestTable.Active());
    ASSERT_TRUE(KazForm->isVisible());
    const std::string expected = std::string(kaztexts::kFinalGiven) + "3" + std::string(kaztexts::kFinalQuestions) +
                                 "\r\n2" + std::string(kaztexts::kFinalSuffixIne) + "\r\n" +
                                 std::string(kaztexts::kFinalTime) + "0:01:05";
    EXPECT_EQ(ShownMessage(), expected);

    const auto log = ReadLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].name, "\xC8\xE2\xE0\xED\xEE\xE2");  // the name in Windows-1251, read back
    EXPECT_EQ(log[0].variant, "1");
    EXPECT_EQ(log[0].count, 3);
    EXPECT_EQ(log[0].truecount, 2);
    EXPECT_EQ(log[0].date, EncodeDate(2024, 5, 20));
    const auto raw = ReadLog(true);
    EXPECT_EQ(raw[0].name, "\x88\xA2\xA0\xAD\xAE\xA2");  // as stored: code page 866
    const std::string file = testutil::ReadText(File("INFO.DBF"));
    EXPECT_NE(file.find("\x88\xA2\xA0\xAD\xAE\xA2"), std::string::npos);
    EXPECT_NE(file.find("20240520"), std::string::npos);
    EXPECT_TRUE(errors.empty());

    // "Мейлi" closes the message.
    Click(KazForm->fcShapeBtn2);
    EXPECT_FALSE(KazForm->isVisible());
}

TEST_F(TestRunTest, ReviewModeMarksTheRightAnswerIgnoresOtherClicksAndWritesNothing) {
    const auto qs = MakeQuestions(3);
    MakeQuestionTable("1", qs);
    StartProgram();
    const auto before = testutil::ReadBytes(File("INFO.DBF"));
    random_->positions = {4, 1, 3};
    Click(MainForm->fcShapeBtn2);
    ASSERT_TRUE(TestForm->isVisible());
    EXPECT_FALSE(TestMode);
    EXPECT_EQ(Bytes(TestForm->windowTitle()), kaztexts::kTestCaptionReview);
    EXPECT_EQ(Panel(1), kaztexts::kStatusReview);
    for (int q = 0; q < 3; ++q) {
        CheckArrangement(qs[size_t(q)]);
        EXPECT_EQ(TestForm->RadioGroup->ItemIndex(), RightItem());
        for (int other = 0; other < 5; ++other) {
            ClickAnswer(other);
            EXPECT_EQ(TestForm->RadioGroup->ItemIndex(), RightItem()) << "question " << q << " item " << other;
        }
        QTest::keyClick(TestForm->RadioGroup->Item(RightItem()), Qt::Key_Down);
        EXPECT_EQ(TestForm->RadioGroup->ItemIndex(), RightItem());
        EXPECT_EQ(Panel(1), kaztexts::kStatusReview);
        Click(TestForm->OKBtn);
    }
    EXPECT_FALSE(TestForm->isVisible());
    EXPECT_FALSE(KazForm->isVisible());
    EXPECT_EQ(testutil::ReadBytes(File("INFO.DBF")), before);
    EXPECT_TRUE(errors.empty());
}

TEST_F(TestRunTest, EveryArrangementRowPutsFieldAAtItsPosition) {
    const auto qs = MakeQuestions(5);
    MakeQuestionTable("1", qs);
    StartProgram();
    TypeName("Ann");
    random_->positions = {1, 2, 3, 4, 5};
    Click(MainForm->fcShapeBtn1);
    for (int pos = 1; pos <= 5; ++pos) {
        ASSERT_EQ(TestForm->RightAnswerPos, pos);
        CheckArrangement(qs[size_t(pos - 1)]);
        EXPECT_EQ(Bytes(TestForm->AnswerLabels()[size_t(pos - 1)]->Caption()), qs[size_t(pos - 1)].a);
        ClickAnswer(RightItem());
        Click(TestForm->OKBtn);
    }
    // Every question re-seeds the source from the time of day (10:00:00.000).
    ASSERT_EQ(random_->seeds.size(), 5u);
    for (uint32_t s : random_->seeds) EXPECT_EQ(s, 36000000u);
    EXPECT_EQ(ReadLog().at(0).truecount, 5);
}

TEST_F(TestRunTest, EnterWithNoAnswerDoesNothingAndOkWithNoneShowsItsMessage) {
    MakeQuestionTable("1", MakeQuestions(2));
    StartProgram();
    TypeName("Ann");
    Click(MainForm->fcShapeBtn1);
    QApplication::setActiveWindow(TestForm);
    QTest::keyClick(TestForm->RadioGroup->Item(0), Qt::Key_Return);
    EXPECT_FALSE(KazForm->isVisible());
    EXPECT_EQ(TestForm->QuestionNo(), 1);
    Click(TestForm->OKBtn);
    ASSERT_TRUE(KazForm->isVisible());
    EXPECT_EQ(ShownMessage(), kaztexts::kMsgNoAnswer);
    EXPECT_EQ(TestForm->QuestionNo(), 1);
    EXPECT_EQ(TestForm->RadioGroup->ItemIndex(), -1);
    KazForm->hide();
    // With an answer chosen, Enter moves on like the button.
    ClickAnswer(RightItem());
    QTest::keyClick(TestForm->RadioGroup->Item(RightItem()), Qt::Key_Return);
    EXPECT_EQ(TestForm->QuestionNo(), 2);
    EXPECT_EQ(Panel(1), std::string(kaztexts::kStatusRightPrefix) + "1");
    ClickAnswer(WrongItem());
    QTest::keyClick(TestForm, Qt::Key_Enter);
    EXPECT_FALSE(TestForm->isVisible());
    EXPECT_EQ(ReadLog().at(0).truecount, 1);
}

TEST_F(TestRunTest, BlankNameBlocksOnlyTheScoredTest) {
    MakeQuestionTable("1", MakeQuestions(1));
    StartProgram();
    TypeName("   ");
    Click(MainForm->fcShapeBtn1);
    EXPECT_FALSE(TestForm->isVisible());
    ASSERT_TRUE(KazForm->isVisible());
    EXPECT_EQ(ShownMessage(), kaztexts::kMsgNoName);
    KazForm->hide();
    Click(MainForm->fcShapeBtn2);
    EXPECT_TRUE(TestForm->isVisible());
    EXPECT_FALSE(TestMode);
}

TEST_F(TestRunTest, OneQuestionVariantEndsAtTheFirstAnswer) {
    MakeQuestionTable("7", MakeQuestions(1));
    StartProgram();
    MainForm->VarCombo->setCurrentIndex(6);
    TypeName("Ann");
    Click(MainForm->fcShapeBtn1);
    ClickAnswer(WrongItem());
    Click(TestForm->OKBtn);
    EXPECT_FALSE(TestForm->isVisible());
    const std::string expected = std::string(kaztexts::kFinalGiven) + "1" + std::string(kaztexts::kFinalQuestions) +
                                 "\r\n0" + std::string(kaztexts::kFinalSuffixIne) + "\r\n" +
                                 std::string(kaztexts::kFinalTime) + "0:00:00";
    EXPECT_EQ(ShownMessage(), expected);
    const auto log = ReadLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].variant, "7");
    EXPECT_EQ(log[0].count, 1);
    EXPECT_EQ(log[0].truecount, 0);
}

TEST_F(TestRunTest, CloseButtonAndCloseBoxLeaveWithoutCountingAndTheNextRunStartsAtOne) {
    MakeQuestionTable("1", MakeQuestions(3));
    StartProgram();
    TypeName("Ann");
    Click(MainForm->fcShapeBtn1);
    ClickAnswer(RightItem());
    Click(TestForm->OKBtn);
    EXPECT_EQ(TestForm->QuestionNo(), 2);
    ClickAnswer(RightItem());
    TestForm->close();  // the frame's close box
    EXPECT_FALSE(TestForm->isVisible());
    EXPECT_FALSE(TestForm->TestTable.Active());
    EXPECT_EQ(TestForm->RadioGroup->ItemIndex(), -1);
    EXPECT_FALSE(KazForm->isVisible());

    Click(MainForm->fcShapeBtn1);
    ASSERT_TRUE(TestForm->isVisible());
    EXPECT_EQ(TestForm->QuestionNo(), 1);
    EXPECT_EQ(Bytes(TestForm->QuestNoLabel->Caption()), kaztexts::kQuestNoFirst);
    EXPECT_EQ(Panel(1), kaztexts::kStatusRightFirst);
    EXPECT_EQ(TestForm->RightCount, 0);
    Click(TestForm->CloseBtn);
    EXPECT_FALSE(TestForm->isVisible());
    EXPECT_TRUE(ReadLog().empty());
    EXPECT_TRUE(errors.empty());
}

namespace {

enum class Broken { Missing, EmptyFile, NoRecords, CutInHeader, NoInputField };

class BrokenTableTest : public TestRunTest, public ::testing::WithParamInterface<Broken> {
protected:
    void MakeBroken(Broken b) {
        switch (b) {
            case Broken::Missing: break;
            case Broken::EmptyFile: testutil::WriteBytes(File("Kaz1.dbf"), {}); break;
            case Broken::NoRecords: MakeQuestionTable("1", {}); break;
            case Broken::CutInHeader:
                MakeQuestionTable("1", MakeQuestions(3));
                ASSERT_EQ(truncate(File("Kaz1.dbf").c_str(), 70), 0);  // inside the field descriptors
                break;
            case Broken::NoInputField: {
                CreateDBFTable(File("Kaz1.dbf"), 0x03,
                               {{"Quest", 'C', 50, 0}, {"A", 'C', 20, 0}, {"B", 'C', 20, 0}, {"C", 'C', 20, 0},
                                {"D", 'C', 20, 0}, {"E", 'C', 20, 0}});
                TRidedezDataSet t;
                t.SetTableName("Kaz1.dbf");
                t.Open();
                t.AppendRecord({Text("q"), Text("a"), Text("b"), Text("c"), Text("d"), Text("e")});
                break;
            }
        }
    }
};

}  // namespace

TEST_P(BrokenTableTest, TheErrorLeavesNoStaleWindowAndTheNextVariantRuns) {
    const auto good = MakeQuestions(3);
    MakeQuestionTable("2", good);
    MakeBroken(GetParam());
    StartProgram();
    TypeName("Ann");
    // A run of variant 2 left by its close button: its question and count stay drawn.
    MainForm->VarCombo->setCurrentIndex(1);
    Click(MainForm->fcShapeBtn1);
    ASSERT_TRUE(TestForm->isVisible());
    ClickAnswer(RightItem());
    Click(TestForm->OKBtn);
    Click(TestForm->CloseBtn);
    ASSERT_FALSE(TestForm->isVisible());

    for (TfcShapeBtn* button : {MainForm->fcShapeBtn1, MainForm->fcShapeBtn2}) {
        MainForm->VarCombo->setCurrentIndex(0);
        errors.clear();
        Click(button);
        ASSERT_EQ(errors.size(), 1u);
        // The error names the table or the field that is missing.
        EXPECT_TRUE(errors[0].contains(QStringLiteral("kaz1"), Qt::CaseInsensitive) ||
                    errors[0].contains(QStringLiteral("Input")))
            << errors[0].toStdString();
        EXPECT_FALSE(TestForm->isVisible());
        EXPECT_FALSE(TestForm->Running());
        EXPECT_FALSE(TestForm->TestTable.Active());
        EXPECT_FALSE(KazForm->isVisible());
    }

    // The main window is ready for another variant, which starts at its first question.
    MainForm->VarCombo->setCurrentIndex(1);
    Click(MainForm->fcShapeBtn1);
    ASSERT_TRUE(TestForm->isVisible());
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_EQ(TestForm->QuestionNo(), 1);
    CheckArrangement(good[0]);
    for (int i = 0; i < 3; ++i) {
        ClickAnswer(RightItem());
        Click(TestForm->OKBtn);
    }
    EXPECT_FALSE(TestForm->isVisible());
    const auto log = ReadLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].variant, "2");
    EXPECT_EQ(log[0].truecount, 3);
}

INSTANTIATE_TEST_SUITE_P(Tables, BrokenTableTest,
                         ::testing::Values(Broken::Missing, Broken::EmptyFile, Broken::NoRecords,
                                           Broken::CutInHeader, Broken::NoInputField));

TEST_F(TestRunTest, ATableCutShortIsReportedBeforeTheTestWhichUsesItsWholeRecords) {
    const auto qs = MakeQuestions(21);
    MakeQuestionTable("1", qs);
    int64_t header = 0, length = 0;
    {
        TRidedezDataSet t;
        t.SetTableName("Kaz1.dbf");
        t.Open();
        header = t.Table()->HeaderLength();
        length = t.Table()->RecordLength();
    }
    // Four whole records and half of the fifth are left.
    ASSERT_EQ(truncate(File("Kaz1.dbf").c_str(), header + 4 * length + length / 2), 0);
    StartProgram();
    TypeName("Ann");
    Click(MainForm->fcShapeBtn1);
    ASSERT_TRUE(errors.empty()) << errors.front().toStdString();
    ASSERT_GE(modalShown.size(), 2u);
    EXPECT_EQ(modalShown[0], KazForm);  // the warning comes before the test
    EXPECT_EQ(modalShown[1], TestForm);
    EXPECT_EQ(ShownMessage(), "Kaz1.dbf" + std::string(kaztexts::kDamagedTableSuffix) + "\r\n" +
                                  std::string(kaztexts::kDamagedHeaderPrefix) + "21" +
                                  std::string(kaztexts::kDamagedHeaderMiddle) + "4.\r\n" +
                                  std::string(kaztexts::kDamagedRunPrefix) + "4" +
                                  std::string(kaztexts::kDamagedRunSuffix));
    KazForm->hide();
    EXPECT_EQ(TestForm->QuestionCount(), 4);
    EXPECT_EQ(Panel(0), std::string(kaztexts::kStatusCountPrefix) + "4");
    for (int i = 0; i < 4; ++i) {
        CheckArrangement(qs[size_t(i)]);
        ClickAnswer(RightItem());
        Click(TestForm->OKBtn);
    }
    EXPECT_FALSE(TestForm->isVisible());
    const auto log = ReadLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].count, 4);
    EXPECT_EQ(log[0].truecount, 4);
}

TEST_F(TestRunTest, AWholeTableGivesNoWarning) {
    MakeQuestionTable("1", MakeQuestions(2));
    StartProgram();
    TypeName("Ann");
    Click(MainForm->fcShapeBtn1);
    ASSERT_EQ(modalShown.size(), 1u);
    EXPECT_EQ(modalShown[0], TestForm);
    EXPECT_FALSE(KazForm->isVisible());
}

TEST_F(TestRunTest, ArrowKeysChooseTheAnswerAsInARadioGroup) {
    MakeQuestionTable("1", MakeQuestions(2));
    StartProgram();
    TypeName("Ann");
    Click(MainForm->fcShapeBtn1);
    QApplication::setActiveWindow(TestForm);
    TRadioGroup* g = TestForm->RadioGroup;
    ASSERT_EQ(g->ItemIndex(), -1);
    ASSERT_TRUE(g->Item(0)->hasFocus());
    QTest::keyClick(g->Item(0), Qt::Key_Down);
    EXPECT_EQ(g->ItemIndex(), 1);
    EXPECT_TRUE(g->Item(1)->hasFocus());
    QTest::keyClick(g->Item(1), Qt::Key_Right);
    EXPECT_EQ(g->ItemIndex(), 2);
    QTest::keyClick(g->Item(2), Qt::Key_Up);
    QTest::keyClick(g->Item(1), Qt::Key_Left);
    EXPECT_EQ(g->ItemIndex(), 0);
    QTest::keyClick(g->Item(0), Qt::Key_Up);  // round to the last
    EXPECT_EQ(g->ItemIndex(), 4);
    QTest::keyClick(g->Item(4), Qt::Key_Down);  // and back to the first
    EXPECT_EQ(g->ItemIndex(), 0);
    // Chosen by the keys alone, Enter takes the answer.
    const int target = RightItem();
    while (g->ItemIndex() != target) QTest::keyClick(g->Item(g->ItemIndex()), Qt::Key_Down);
    QTest::keyClick(g->Item(target), Qt::Key_Return);
    EXPECT_EQ(TestForm->QuestionNo(), 2);
    EXPECT_EQ(Panel(1), std::string(kaztexts::kStatusRightPrefix) + "1");
}

TEST_F(TestRunTest, DeletedRecordsAreNeitherAskedNorCountedAndADeletedLastRecordEndsTheRun) {
    const auto qs = MakeQuestions(4);
    MakeQuestionTable("1", qs);
    {
        TRidedezDataSet t;
        t.SetTableName("Kaz1.dbf");
        t.SetExclusive(true);
        t.Open();
        t.First();
        t.Next();
        t.Delete();  // question 2
        t.Last();
        t.Delete();  // question 4, the last record
    }
    StartProgram();
    TypeName("Ann");
    random_->positions = {1, 1};
    Click(MainForm->fcShapeBtn1);
    ASSERT_TRUE(errors.empty());
    EXPECT_EQ(TestForm->QuestionCount(), 2);
    EXPECT_EQ(Panel(0), std::string(kaztexts::kStatusCountPrefix) + "2");
    CheckArrangement(qs[0]);
    ClickAnswer(RightItem());
    Click(TestForm->OKBtn);
    EXPECT_EQ(Bytes(TestForm->QuestNoLabel->Caption()), std::string(kaztexts::kQuestNoPrefix) + "2");
    CheckArrangement(qs[2]);
    ClickAnswer(RightItem());
    Click(TestForm->OKBtn);
    EXPECT_FALSE(TestForm->isVisible());
    const auto log = ReadLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].count, 2);
    EXPECT_EQ(log[0].truecount, 2);
    EXPECT_EQ(ShownMessage().substr(0, kaztexts::kFinalGiven.size() + 1), std::string(kaztexts::kFinalGiven) + "2");
}

TEST_F(TestRunTest, MoreThan255RightAnswersDoNotWrapTheCount) {
    std::vector<Question> qs = MakeQuestions(260);
    MakeQuestionTable("1", qs);
    StartProgram();
    TypeName("Ann");
    Click(MainForm->fcShapeBtn1);
    for (int i = 0; i < 260; ++i) {
        ClickAnswer(RightItem());
        Click(TestForm->OKBtn);
    }
    EXPECT_FALSE(TestForm->isVisible());
    EXPECT_EQ(TestForm->RightCount, 260);
    const auto log = ReadLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].count, 260);
    EXPECT_EQ(log[0].truecount, 260);
    EXPECT_NE(ShownMessage().find("\r\n260-"), std::string::npos);
}

TEST_F(TestRunTest, LogThatFailedToOpenReportsTheErrorKeepsTheLastQuestionAndCountsItOnce) {
    MakeQuestionTable("1", MakeQuestions(2));
    MakeNameTable({});
    CreateForms();  // no INFO.DBF
    MainForm->show();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].indexOf(QStringLiteral("INFO.DBF")), -1) << errors[0].toStdString();
    errors.clear();
    EXPECT_TRUE(MainForm->NameTable.Active());
    EXPECT_FALSE(MainForm->InfoTable.Active());
    TypeName("Ann");
    Click(MainForm->fcShapeBtn1);
    ClickAnswer(RightItem());
    Click(TestForm->OKBtn);
    ClickAnswer(RightItem());
    Click(TestForm->OKBtn);
    ASSERT_EQ(errors.size(), 1u);  // the closed log's error
    EXPECT_FALSE(KazForm->isVisible());
    EXPECT_TRUE(TestForm->isVisible());
    EXPECT_EQ(TestForm->QuestionNo(), 2);
    Click(TestForm->OKBtn);
    EXPECT_EQ(errors.size(), 2u);
    EXPECT_EQ(TestForm->RightCount, 1);  // the last answer is not added twice
    EXPECT_NE(access(File("INFO.DBF").c_str(), F_OK), 0);  // nor is a log made up
    Click(TestForm->CloseBtn);
    EXPECT_FALSE(TestForm->isVisible());
}
