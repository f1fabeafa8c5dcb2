// The names memory, driven by moving the focus into and out of the name box.

#include "AppFixture.h"

using namespace apptest;

namespace {

class NamesTest : public AppTest {
protected:
    void Enter() { MainForm->ComboName->setFocus(Qt::TabFocusReason); }
    void Leave() { MainForm->VarCombo->setFocus(Qt::TabFocusReason); }
    QStringList Listed() const {
        QStringList l;
        for (int i = 0; i < MainForm->ComboName->count(); ++i) l << MainForm->ComboName->itemText(i);
        return l;
    }
    static std::vector<std::string> Numbered(int n) {
        std::vector<std::string> v;
        for (int i = 1; i <= n; ++i) v.push_back("Name" + std::to_string(i));
        return v;
    }
};

}  // namespace

TEST_F(NamesTest, NineNamesLoseTheOldestAndListEight) {
    StartProgram(Numbered(9));
    ASSERT_TRUE(MainForm->isActiveWindow());
    MainForm->ComboName->setEditText(QStringLiteral("typed"));
    Enter();
    ASSERT_TRUE(errors.empty());
    QStringList expected;
    for (int i = 2; i <= 9; ++i) expected << QStringLiteral("Name%1").arg(i);
    EXPECT_EQ(Listed(), expected);
    EXPECT_EQ(MainForm->ComboName->currentText(), QStringLiteral("typed"));
    const std::vector<std::string> nine = Numbered(9);
    EXPECT_EQ(ReadNames(), std::vector<std::string>(nine.begin() + 1, nine.end()));
    // Packed: once the program ends, the header counts eight records again.
    DestroyForms();
    EXPECT_EQ(testutil::ReadBytes(File("NAME.DBF"))[4], 8);
}

TEST_F(NamesTest, TwelveNamesLoseOnePerEntry) {
    StartProgram(Numbered(12));
    Enter();
    EXPECT_EQ(Listed().size(), 11);
    EXPECT_EQ(Listed().front(), QStringLiteral("Name2"));
    Leave();  // unchanged empty text: nothing stored
    Enter();
    EXPECT_EQ(Listed().size(), 10);
    EXPECT_EQ(Listed().front(), QStringLiteral("Name3"));
    EXPECT_EQ(ReadNames().size(), 10u);
}

TEST_F(NamesTest, ANewNameIsStoredOnceOnLeavingAndACaseVariantIsNew) {
    StartProgram({"Aigul"});
    Enter();
    TypeText(MainForm->ComboName->lineEdit(), QString::fromUtf8("Иван"));
    Leave();
    EXPECT_EQ(ReadNames(), (std::vector<std::string>{"Aigul", "\xC8\xE2\xE0\xED"}));
    EXPECT_EQ(LastEnteredName, QString::fromUtf8("Иван"));
    // The same name again: found, not stored.
    Enter();
    MainForm->ComboName->setEditText(QStringLiteral("Aigul"));
    Leave();
    EXPECT_EQ(ReadNames().size(), 2u);
    Enter();
    MainForm->ComboName->setEditText(QStringLiteral("AIGUL"));
    Leave();
    EXPECT_EQ(ReadNames(), (std::vector<std::string>{"Aigul", "\xC8\xE2\xE0\xED", "AIGUL"}));
    // The file holds the OEM bytes.
    EXPECT_NE(testutil::ReadText(File("NAME.DBF")).find("\x88\xA2\xA0\xAD"), std::string::npos);
}

TEST_F(NamesTest, LeavingTheBoxUnchangedStoresNothingEvenForAnUnknownName) {
    StartProgram({"Aigul"});
    Enter();
    MainForm->ComboName->setEditText(QStringLiteral("Dana"));
    Leave();
    EXPECT_EQ(ReadNames().size(), 2u);
    Enter();
    Leave();
    EXPECT_EQ(ReadNames().size(), 2u);
    // The text the box held when it was last left is not stored again, even when the
    // table does not hold it.
    LastEnteredName = QStringLiteral("Bolat");
    Enter();
    MainForm->ComboName->setEditText(QStringLiteral("Bolat"));
    Leave();
    EXPECT_EQ(ReadNames(), (std::vector<std::string>{"Aigul", "Dana"}));
}

TEST_F(NamesTest, BlankNamesAreNotStoredAndAnEmptyTableListsNothing) {
    StartProgram();
    MainForm->ComboName->setEditText(QStringLiteral("kept"));
    Enter();
    EXPECT_EQ(MainForm->ComboName->count(), 0);
    EXPECT_EQ(MainForm->ComboName->currentText(), QStringLiteral("kept"));
    MainForm->ComboName->setEditText(QStringLiteral(" \t "));
    Leave();
    EXPECT_TRUE(ReadNames().empty());
    Enter();
    MainForm->ComboName->setEditText(QStringLiteral("Erlan"));
    Leave();
    EXPECT_EQ(ReadNames(), std::vector<std::string>{"Erlan"});
}

TEST_F(NamesTest, KazakhLettersThatTheFileCannotHoldAreNotStoredAgainAndAgain) {
    StartProgram();
    Enter();
    TypeText(MainForm->ComboName->lineEdit(), QString::fromUtf8("Асқар"));
    Leave();
    ASSERT_EQ(ReadNames().size(), 1u);
    Enter();
    MainForm->ComboName->setEditText(QStringLiteral("x"));
    Leave();
    Enter();
    MainForm->ComboName->setEditText(QString::fromUtf8("Асқар"));
    Leave();
    EXPECT_EQ(ReadNames().size(), 2u);  // "Асқар" and "x"
}

TEST_F(NamesTest, TheNameBoxTakesAtMostFifteenCharacters) {
    StartProgram();
    Enter();
    TypeText(MainForm->ComboName->lineEdit(), QStringLiteral("ABCDEFGHIJKLMNOPQRS"));
    EXPECT_EQ(MainForm->ComboName->currentText(), QStringLiteral("ABCDEFGHIJKLMNO"));
    Leave();
    EXPECT_EQ(ReadNames(), std::vector<std::string>{"ABCDEFGHIJKLMNO"});
}

TEST_F(NamesTest, AKazakhNameComesBackIntoTheListAsTyped) {
    StartProgram();
    const QString name = QString::fromUtf8("Әсем Ұлжанқызы");
    Enter();
    TypeText(MainForm->ComboName->lineEdit(), name);
    Leave();
    ASSERT_EQ(ReadNames().size(), 1u);
    MainForm->ComboName->setEditText(QString());
    Enter();
    ASSERT_EQ(MainForm->ComboName->count(), 1);
    EXPECT_EQ(MainForm->ComboName->itemText(0), name);
}

TEST_F(NamesTest, APrefixOfARememberedNameIsKeptAsTypedAndLogged) {
    MakeQuestionTable("1", MakeQuestions(1));
    StartProgram({"Name07", "\xC1\xE0\xF3\xFB\xF0\xE6\xE0\xED"});  // "Бауыржан"
    // "Name" typed key by key, then the test: the log has "Name", not "Name07".
    Enter();
    ASSERT_EQ(MainForm->ComboName->count(), 2);
    TypeText(MainForm->ComboName->lineEdit(), QStringLiteral("Name"));
    EXPECT_EQ(MainForm->ComboName->currentText(), QStringLiteral("Name"));
    Click(MainForm->fcShapeBtn1);
    ASSERT_TRUE(TestForm->isVisible());
    ClickAnswer(RightItem());
    Click(TestForm->OKBtn);
    ASSERT_EQ(ReadLog().size(), 1u);
    EXPECT_EQ(ReadLog()[0].name, "Name");
    KazForm->hide();

    // "Бауыр" and Tab keeps "Бауыр".
    MainForm->ComboName->setFocus(Qt::TabFocusReason);
    MainForm->ComboName->setEditText(QString());
    TypeText(MainForm->ComboName->lineEdit(), QString::fromUtf8("Бауыр"));
    QTest::keyClick(MainForm->ComboName->lineEdit(), Qt::Key_Tab);
    EXPECT_EQ(MainForm->ComboName->currentText(), QString::fromUtf8("Бауыр"));

    // "бауыржан" in small letters keeps its case in the box, the log and NAME.DBF;
    // Enter in the box takes no remembered name of another case either.
    MainForm->ComboName->setFocus(Qt::TabFocusReason);
    MainForm->ComboName->setEditText(QString());
    TypeText(MainForm->ComboName->lineEdit(), QString::fromUtf8("бауыржан"));
    QTest::keyClick(MainForm->ComboName->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(MainForm->ComboName->currentText(), QString::fromUtf8("бауыржан"));
    Leave();
    Click(MainForm->fcShapeBtn1);
    ClickAnswer(RightItem());
    Click(TestForm->OKBtn);
    const auto log = ReadLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].name, "\xE1\xE0\xF3\xFB\xF0\xE6\xE0\xED");
    const auto names = ReadNames();
    EXPECT_NE(std::find(names.begin(), names.end(), "\xE1\xE0\xF3\xFB\xF0\xE6\xE0\xED"), names.end());
    // The list still offers the remembered names, and choosing one takes it whole.
    Enter();
    const int i = MainForm->ComboName->findText(QStringLiteral("Name07"));
    ASSERT_GE(i, 0);
    MainForm->ComboName->setCurrentIndex(i);
    EXPECT_EQ(MainForm->ComboName->currentText(), QStringLiteral("Name07"));
}
