// Start-up, the error box at the event-loop boundary, the About text, leaving, a second
// copy of the program beside a running one, and the real modal loops.

#include "AppFixture.h"

#include "app/KazMessage.h"
#include "app/texts/KazQString.h"
#include "app/texts/KazTexts.h"

#include <QTimer>

using namespace apptest;

TEST_F(AppTest, StartUpOpensBothTablesAndSelectsTheFirstVariant) {
    StartProgram();
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(MainForm->NameTable.Active());
    EXPECT_TRUE(MainForm->InfoTable.Active());
    EXPECT_TRUE(MainForm->NameTable.Exclusive());
    EXPECT_TRUE(MainForm->InfoTable.TranslateASCII());
    EXPECT_FALSE(TestForm->TestTable.Exclusive());
    EXPECT_FALSE(TestForm->TestTable.TranslateASCII());
    EXPECT_EQ(MainForm->VarCombo->currentText(), QStringLiteral("1"));
    EXPECT_EQ(MainForm->VarCombo->count(), 30);
    EXPECT_EQ(MainForm->VarCombo->itemText(29), QStringLiteral("30"));
    EXPECT_FALSE(MainForm->VarCombo->isEditable());
    EXPECT_TRUE(LastEnteredName.isEmpty());
    EXPECT_EQ(kaztexts::FromQString(MainForm->windowTitle()), kaztexts::kMainCaption);
    EXPECT_EQ(QApplication::focusWidget(), MainForm->VarCombo);
    EXPECT_FALSE(KazForm->isVisible());
    EXPECT_FALSE(TestForm->isVisible());
    EXPECT_FALSE(InfoForm->isVisible());
    // Tab order: the variant box, the five buttons, the name box.
    QWidget* expected[] = {MainForm->fcShapeBtn1, MainForm->fcShapeBtn2, MainForm->fcShapeBtn3,
                           MainForm->fcShapeBtn4, MainForm->fcShapeBtn5, MainForm->ComboName};
    QWidget* w = MainForm->VarCombo;
    for (QWidget* next : expected) {
        w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(MainForm) || w->window() != MainForm ||
               w->parentWidget() != MainForm)
            w = w->nextInFocusChain();
        EXPECT_EQ(w, next) << next->objectName().toStdString();
    }
}

TEST_F(AppTest, AboutAndExit) {
    StartProgram();
    Click(MainForm->fcShapeBtn4);
    ASSERT_TRUE(KazForm->isVisible());
    const std::string shown = kaztexts::FromQString(KazForm->QLabel->Caption());
    EXPECT_EQ(shown, std::string(kaztexts::kAboutLine1) + "\r\n" + std::string(kaztexts::kAboutLine2) + "\r\n" +
                         std::string(kaztexts::kAboutLine3));
    KazForm->close();  // the close box does what the button does
    EXPECT_FALSE(KazForm->isVisible());
    Click(MainForm->fcShapeBtn5);
    EXPECT_FALSE(MainForm->isVisible());
}

TEST_F(AppTest, AnErrorThatReachesTheEventLoopIsShownAndTheProgramGoesOn) {
    StartProgram();
    struct Thrower : QObject {
        bool event(QEvent* e) override {
            if (e->type() == QEvent::User) throw ERidedezError("disk on fire");
            return QObject::event(e);
        }
    } thrower;
    QEvent ev(QEvent::User);
    EXPECT_FALSE(QApplication::sendEvent(&thrower, &ev));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], QStringLiteral("disk on fire"));
    // The windows still work.
    Click(MainForm->fcShapeBtn4);
    EXPECT_TRUE(KazForm->isVisible());
}

TEST_F(AppTest, ASecondCopyBesideARunningOneReportsNameDbfAndLeavesItIntact) {
    MakeNameTable({"Aigul", "Bolat"});
    MakeInfoTable({{"Aigul", "1", 3, 2, EncodeDate(2024, 5, 19)}});
    const auto names = testutil::ReadBytes(File("NAME.DBF"));
    const auto info = testutil::ReadBytes(File("INFO.DBF"));
    testutil::Pipe ready, done;
    const pid_t running = testutil::Spawn([&] {
        // The running copy: both tables open exclusively, as its main window holds them.
        TRidedezDataSet n, i;
        n.SetTableName("NAME.DBF");
        n.SetExclusive(true);
        n.Open();
        i.SetTableName("INFO.DBF");
        i.SetExclusive(true);
        i.Open();
        ready.Send('r');
        done.Receive();
        return 0;
    });
    ASSERT_EQ(ready.Receive(), 'r');
    CreateForms();
    MainForm->show();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].indexOf(QStringLiteral("NAME.DBF")), -1) << errors[0].toStdString();
    EXPECT_FALSE(MainForm->NameTable.Active());
    EXPECT_FALSE(MainForm->InfoTable.Active());
    // The name box works without its memory and stores nothing.
    MainForm->ComboName->setFocus(Qt::TabFocusReason);
    MainForm->ComboName->setEditText(QStringLiteral("Dana"));
    MainForm->VarCombo->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(errors.size(), 1u);
    done.Send('d');
    EXPECT_EQ(testutil::Wait(running), 0);
    DestroyForms();
    EXPECT_EQ(testutil::ReadBytes(File("NAME.DBF")), names);
    EXPECT_EQ(testutil::ReadBytes(File("INFO.DBF")), info);
}

TEST_F(AppTest, MessagesRunTheirOwnModalLoop) {
    StartProgram();
    SetModalRunner({});
    bool sawDialog = false;
    QTimer::singleShot(0, [&] {
        sawDialog = KazForm->isVisible() && KazForm->isModal();
        QTest::keyClick(KazForm->fcShapeBtn2, Qt::Key_Space);
    });
    ShowKazMessage(kaztexts::kMsgNoName);
    EXPECT_TRUE(sawDialog);
    EXPECT_FALSE(KazForm->isVisible());
    EXPECT_EQ(kaztexts::FromQString(KazForm->QLabel->Caption()), kaztexts::kMsgNoName);
}

TEST_F(AppTest, AScoredRunInRealModalLoopsEndsWithTheFinalMessage) {
    MakeQuestionTable("1", MakeQuestions(2));
    StartProgram();
    SetModalRunner({});
    MainForm->ComboName->setEditText(QStringLiteral("Ann"));
    std::string message;
    QTimer::singleShot(0, [&] {
        ClickAnswer(RightItem());
        Click(TestForm->OKBtn);
        ClickAnswer(RightItem());
        // The last OK opens the message dialog's loop inside the test window's.
        QTimer::singleShot(0, [&] {
            message = kaztexts::FromQString(KazForm->QLabel->Caption());
            QTest::keyClick(KazForm->fcShapeBtn2, Qt::Key_Return);
        });
        Click(TestForm->OKBtn);
    });
    Click(MainForm->fcShapeBtn1);
    EXPECT_FALSE(TestForm->isVisible());
    EXPECT_FALSE(KazForm->isVisible());
    EXPECT_EQ(message.substr(0, kaztexts::kFinalGiven.size() + 1), std::string(kaztexts::kFinalGiven) + "2");
    EXPECT_EQ(ReadLog().size(), 1u);
}
