// The review of one's mistakes after a scored test: only the questions answered wrongly,
// each as it was shown with the choice and the right answer marked, read-only, and
// nothing written to the log.

#include "AppFixture.h"

#include "app/FinalMessage.h"
#include "app/MistakesForm.h"
#include "app/MoreTexts.h"
#include "app/texts/KazQString.h"
#include "app/texts/KazTexts.h"

#include <QAbstractItemView>
#include <QTimer>
#include <QWindow>

using namespace apptest;

namespace {

std::string Bytes(const QString& s) { return kaztexts::FromQString(s); }

class MistakesTest : public AppTest {
protected:
    // The message dialog runs its own loop and is left by `button`; the other windows
    // are only shown, as everywhere in these tests.
    void RunMessagesLeftBy(const char* buttonName) {
        SetModalRunner([this, buttonName](QDialog& d) {
            modalShown.push_back(&d);
            if (&d != KazForm) {
                d.show();
                return;
            }
            QTimer::singleShot(0, [buttonName] {
                sawReviewButton = KazForm->ReviewBtn->isVisible();
                Click(KazForm->findChild<TfcShapeBtn*>(QString::fromLatin1(buttonName)));
            });
            d.exec();
        });
    }
    static inline bool sawReviewButton = false;
};

}  // namespace

TEST_F(MistakesTest, OnlyTheWrongAnswersAreWalkedAsShownWithBothMarksAndNothingIsLogged) {
    const auto qs = MakeQuestions(5);
    MakeQuestionTable("1", qs);
    StartProgram();
    MainForm->ComboName->setEditText(QStringLiteral("Ann"));
    random_->positions = {2, 5, 1, 4, 3};
    RunMessagesLeftBy("ReviewBtn");
    Click(MainForm->fcShapeBtn1);
    // Right, wrong (E chosen... the item after the right one), right, wrong, right.
    const int chosen[5] = {-1, 0, -1, 2, -1};
    std::vector<std::array<QString, 5>> shown;
    for (int q = 0; q < 5; ++q) {
        std::array<QString, 5> labels;
        for (size_t i = 0; i < 5; ++i) labels[i] = TestForm->AnswerLabels()[i]->Caption();
        shown.push_back(labels);
        ClickAnswer(chosen[q] < 0 ? RightItem() : chosen[q]);
        Click(TestForm->OKBtn);
    }
    EXPECT_TRUE(sawReviewButton);
    EXPECT_FALSE(TestForm->isVisible());
    EXPECT_FALSE(KazForm->isVisible());
    // The final message was the usual one, and the log has the one record of the run.
    EXPECT_EQ(Bytes(KazForm->QLabel->Caption()).substr(0, kaztexts::kFinalGiven.size() + 1),
              std::string(kaztexts::kFinalGiven) + "5");
    const auto log = ReadLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].truecount, 3);
    const auto logBytes = testutil::ReadBytes(File("INFO.DBF"));

    ASSERT_TRUE(MistakesForm->isVisible());
    EXPECT_EQ(Bytes(MistakesForm->windowTitle()), kaztexts::kMistakesCaption);
    ASSERT_EQ(MistakesForm->Count(), 2);
    const int wrongQuestions[2] = {2, 4};
    for (int k = 0; k < 2; ++k) {
        SCOPED_TRACE(k);
        const int q = wrongQuestions[k] - 1;
        const int right = TestForm->WrongAnswers()[size_t(k)].rightItem;
        EXPECT_EQ(Bytes(MistakesForm->QuestNoLabel->Caption()),
                  std::string(kaztexts::kQuestNoPrefix) + std::to_string(q + 1));
        EXPECT_EQ(Bytes(MistakesForm->QuestLabel->Caption()), qs[size_t(q)].input);
        for (size_t i = 0; i < 5; ++i) EXPECT_EQ(MistakesForm->AnswerLabels[i]->Caption(), shown[size_t(q)][i]);
        // The right answer is field "A" in the arrangement that was shown.
        EXPECT_EQ(Bytes(MistakesForm->AnswerLabels[size_t(right)]->Caption()), qs[size_t(q)].a);
        EXPECT_EQ(MistakesForm->RadioGroup->ItemIndex(), chosen[q]);
        auto color = [](TfcLabel* l) { return l->palette().color(QPalette::WindowText); };
        EXPECT_EQ(color(MistakesForm->AnswerLabels[size_t(right)]), TMistakesForm::RightColor());
        EXPECT_EQ(color(MistakesForm->AnswerLabels[size_t(chosen[q])]), TMistakesForm::ChosenColor());
        EXPECT_EQ(Bytes(MistakesForm->StatusBar->Panels()[1]->Text()),
                  std::string(kaztexts::kMistakesYours) + char('A' + chosen[q]) +
                      std::string(kaztexts::kMistakesRight) + char('A' + right));
        // Read-only: another choice goes back to the candidate's.
        ClickAnswer((chosen[q] + 1) % 5);
        EXPECT_EQ(MistakesForm->RadioGroup->ItemIndex(), chosen[q]);
        // The picture shows the green right answer.
        const QImage img = MistakesForm->grab().toImage();
        const QRect r = MistakesForm->AnswerLabels[size_t(right)]->geometry();
        int green = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor c(img.pixel(x, y));
                if (c.green() > 90 && c.red() < 60 && c.blue() < 60) ++green;
            }
        EXPECT_GT(green, 20);
        Click(MistakesForm->OKBtn);
    }
    EXPECT_FALSE(MistakesForm->isVisible());
    EXPECT_EQ(testutil::ReadBytes(File("INFO.DBF")), logBytes);
    EXPECT_TRUE(errors.empty());
}

TEST_F(MistakesTest, MeileiClosesAsBeforeAndAFaultlessRunOffersNoReview) {
    MakeQuestionTable("1", MakeQuestions(2));
    StartProgram();
    MainForm->ComboName->setEditText(QStringLiteral("Ann"));
    RunMessagesLeftBy("fcShapeBtn2");
    Click(MainForm->fcShapeBtn1);
    ClickAnswer(WrongItem());
    Click(TestForm->OKBtn);
    ClickAnswer(RightItem());
    Click(TestForm->OKBtn);
    EXPECT_TRUE(sawReviewButton);
    EXPECT_FALSE(TestForm->isVisible());
    EXPECT_FALSE(MistakesForm->isVisible());

    Click(MainForm->fcShapeBtn1);
    ClickAnswer(RightItem());
    Click(TestForm->OKBtn);
    ClickAnswer(RightItem());
    Click(TestForm->OKBtn);
    EXPECT_FALSE(sawReviewButton);
    EXPECT_FALSE(MistakesForm->isVisible());
    EXPECT_EQ(ReadLog().size(), 2u);
    // Other messages never offer it.
    SetModalRunner([this](QDialog& d) { modalShown.push_back(&d); d.show(); });
    Click(MainForm->fcShapeBtn4);
    EXPECT_FALSE(KazForm->ReviewBtn->isVisible());
    EXPECT_EQ(KazForm->fcShapeBtn2->x(), 163);
}

TEST_F(MistakesTest, TheMessageDialogsCaptionIsEmptyToTheEyeButNotLeftToTheApplicationName) {
    StartProgram();
    // An empty title makes the window system show the application's name; a blank is
    // shown as nothing.
    EXPECT_FALSE(KazForm->windowTitle().isEmpty());
    EXPECT_TRUE(KazForm->windowTitle().trimmed().isEmpty());
    SetModalRunner([](QDialog& d) { d.show(); });
    Click(MainForm->fcShapeBtn4);
    ASSERT_NE(KazForm->windowHandle(), nullptr);
    EXPECT_TRUE(KazForm->windowHandle()->title().trimmed().isEmpty());
    EXPECT_FALSE(KazForm->windowHandle()->title().isEmpty());
}

TEST_F(MistakesTest, TheVariantAndNameListsDrawInTheBoxesFont) {
    StartProgram({"Aigul"});
    MainForm->ComboName->setFocus(Qt::TabFocusReason);  // fills the list of names
    for (QComboBox* box : {MainForm->VarCombo, MainForm->ComboName}) {
        SCOPED_TRACE(box->objectName().toStdString());
        EXPECT_EQ(box->font().pixelSize(), 19);
        EXPECT_EQ(box->view()->font().pixelSize(), 19);
        EXPECT_EQ(box->view()->font().families(), box->font().families());
        box->showPopup();
        ASSERT_TRUE(box->view()->isVisible());
        // The rows are tall enough for the font, and their text is drawn in it.
        const QModelIndex first = box->model()->index(0, 0);
        EXPECT_GE(box->view()->visualRect(first).height(), 19);
        // What a person sees: the letters of the first row are as tall as the box's
        // (the capitals of a 19-pixel font are some 13 pixels high).
        const QImage img = box->view()->viewport()->grab().toImage();
        const QRect row = box->view()->visualRect(first);
        const QColor background(img.pixel(row.right() - 2, row.center().y()));
        int top = -1, bottom = -1;
        for (int y = row.top(); y <= row.bottom() && y < img.height(); ++y)
            for (int x = row.left(); x < row.left() + row.width() / 2 && x < img.width(); ++x) {
                const QColor c(img.pixel(x, y));
                if (std::abs(c.lightness() - background.lightness()) > 100) {
                    if (top < 0) top = y;
                    bottom = y;
                    break;
                }
            }
        ASSERT_GE(top, 0);
        EXPECT_GE(bottom - top + 1, 12);
        box->hidePopup();
    }
}
