#include "app/TestForm.h"

#include "app/AppState.h"
#include "app/Arrangement.h"
#include "app/DisplayFonts.h"
#include "app/Elapsed.h"
#include "app/ErrorBox.h"
#include "app/FinalMessage.h"
#include "app/FormStyle.h"
#include "app/KazMessage.h"
#include "app/MainForm.h"
#include "app/MistakesForm.h"
#include "app/ModalRunner.h"
#include "app/MoreTexts.h"
#include "app/QuestionPage.h"
#include "app/RadioGroup.h"
#include "app/RandomSource.h"
#include "app/tables/ResultsLog.h"
#include "app/tables/TableCheck.h"
#include "app/ScreenScale.h"
#include "app/texts/KazTexts.h"
#include "controls/FcLabel.h"
#include "controls/FcShapeBtn.h"
#include "controls/FcStatusBar.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>

#include <climits>

namespace {

QString Numbered(std::string_view prefix, int64_t n) { return Disp(std::string(prefix) + std::to_string(n)); }

}  // namespace

TTestForm::TTestForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TestForm"));
    TestTable.SetExclusive(false);
    TestTable.SetTranslateASCII(false);
    TestTable.SetUseDeleted(false);
    TestTable.SetLockProtocol(TgsLokProtocol::Default);
    TestTable.SetUserID(0);
    buildControls();
    RunHandler([this] { FormCreate(); });
}

TTestForm::~TTestForm() = default;

void TTestForm::buildControls() {
    const QuestionPage page = BuildQuestionPage(this);
    setWindowTitle(Disp(kaztexts::kTestCaptionTest));
    Bevel1 = page.Bevel1;
    QuestNoLabel = page.QuestNoLabel;
    QuestLabel = page.QuestLabel;
    ALabel = page.Answers[0];
    BLabel = page.Answers[1];
    CLabel = page.Answers[2];
    DLabel = page.Answers[3];
    ELabel = page.Answers[4];
    RadioGroup = page.RadioGroup;
    OKBtn = page.OKBtn;
    CloseBtn = page.CloseBtn;
    StatusBar = page.StatusBar;
    connect(RadioGroup, &TRadioGroup::clicked, this, [this] { RunHandler([this] { RadioGroupClick(); }); });
    OKBtn->OnClick = [this] { RunHandler([this] { OKBtnClick(); }); };
    CloseBtn->OnClick = [this] { RunHandler([this] { CloseBtnClick(); }); };
}

void TTestForm::FormCreate() { ScaleFormToScreen(this); }

void TTestForm::Execute() {
    if (!RunHandler([this] { FormShow(); })) {
        endRun();
        return;
    }
    ShowModal(*this);
}

void TTestForm::FormShow() {
    running_ = false;
    wrongAnswers_.clear();
    StartTime = platform::Now();
    RadioGroup->SetItemIndex(0);
    RadioGroup->FocusItem();
    RadioGroup->SetItemIndex(-1);

    if (TestTable.Active()) TestTable.Close();
    const std::string tableName = "Kaz" + MainForm->VariantText() + ".dbf";
    TestTable.SetTableName(tableName);
    TestTable.Open();
    // The run walks the visible records: deleted ones are neither asked nor counted.
    questionCount_ = TestTable.ScanRecords(1, INT_MAX, [](int32_t) { return true; });
    if (questionCount_ == 0) {
        TestTable.Close();
        throw Exception("The question table " + tableName + " holds no questions");
    }
    questionNo_ = 1;
    TestTable.First();
    ShowQuestion();
    RightCount = 0;
    StatusBar->Panels()[0]->SetText(Numbered(kaztexts::kStatusCountPrefix, questionCount_));
    if (TestMode) {
        StatusBar->Panels()[1]->SetText(Disp(kaztexts::kStatusRightFirst));
        setWindowTitle(Disp(kaztexts::kTestCaptionTest));
    } else {
        StatusBar->Panels()[1]->SetText(Disp(kaztexts::kStatusReview));
        setWindowTitle(Disp(kaztexts::kTestCaptionReview));
    }
    QuestNoLabel->SetCaption(Disp(kaztexts::kQuestNoFirst));
    warnOfDamagedTable(tableName);
    // The time spent reading a warning is not the candidate's.
    StartTime = platform::Now();
    running_ = true;
}

void TTestForm::warnOfDamagedTable(const std::string& tableName) {
    const RecordCountCheck check = CheckRecordCount(*TestTable.Table());
    if (check.Agrees()) return;
    const std::string n = std::to_string(questionCount_);
    ShowKazMessage(tableName + std::string(kaztexts::kDamagedTableSuffix) + "\r" +
                   std::string(kaztexts::kDamagedHeaderPrefix) + std::to_string(check.headerCount) +
                   std::string(kaztexts::kDamagedHeaderMiddle) + std::to_string(check.wholeRecords) + ".\r" +
                   std::string(kaztexts::kDamagedRunPrefix) + n + std::string(kaztexts::kDamagedRunSuffix));
}

void TTestForm::ShowQuestion() {
    QuestLabel->SetCaption(Disp(TestTable.FieldByName("Input").AsString()));
    RightAnswerPos = DrawRightAnswerPos();
    const std::array<char, 5> fields = ArrangementFor(RightAnswerPos);
    const std::array<TfcLabel*, 5> labels = AnswerLabels();
    for (size_t i = 0; i < labels.size(); ++i)
        labels[i]->SetCaption(Disp(TestTable.FieldByName(std::string(1, fields[i])).AsString()));
    if (!TestMode) RadioGroup->SetItemIndex(RightAnswerPos - 1);
}

void TTestForm::OKBtnClick() {
    if (!running_) return;
    const int chosen = RadioGroup->ItemIndex();
    if (chosen < 0) {
        ShowKazMessage(kaztexts::kMsgNoAnswer);
        RadioGroup->SetItemIndex(-1);
        return;
    }
    const int point = chosen + 1 == RightAnswerPos ? 1 : 0;
    if (TestMode) noteAnswer(chosen, point != 0);
    if (questionNo_ < questionCount_) {
        RightCount += point;
        TestTable.Next();
        if (!TestTable.Eof()) {
            ++questionNo_;
            QuestNoLabel->SetCaption(Numbered(kaztexts::kQuestNoPrefix, questionNo_));
            ShowQuestion();
            if (TestMode) {
                StatusBar->Panels()[1]->SetText(Numbered(kaztexts::kStatusRightPrefix, RightCount));
                RadioGroup->SetItemIndex(-1);
            }
            return;
        }
        // Records went away under the run (the table is shared): it ends here.
        questionCount_ = questionNo_;
        finishRun(RightCount);
        return;
    }
    finishRun(RightCount + point);
}

void TTestForm::noteAnswer(int chosen, bool right) {
    // The last answer may come again after its recording failed: the latest one counts.
    if (!wrongAnswers_.empty() && wrongAnswers_.back().questionNo == questionNo_) wrongAnswers_.pop_back();
    if (right) return;
    WrongAnswer w;
    w.questionNo = questionNo_;
    w.question = QuestLabel->Caption();
    const std::array<TfcLabel*, 5> labels = AnswerLabels();
    for (size_t i = 0; i < labels.size(); ++i) w.answers[i] = labels[i]->Caption();
    w.rightItem = RightAnswerPos - 1;
    w.chosenItem = chosen;
    wrongAnswers_.push_back(w);
}

void TTestForm::finishRun(int rightCount) {
    if (TestMode) {
        // The last answer counts once, even when recording fails and OK is pressed again.
        RecordResult(MainForm->InfoTable, MainForm->NameText(), MainForm->VariantText(), questionCount_, rightCount);
        RightCount = rightCount;
        const int64_t elapsed = MillisecondsOf(platform::Now()) - MillisecondsOf(StartTime);
        const bool review =
            ShowFinalKazMessage(FinalMessage(questionCount_, RightCount, elapsed), !wrongAnswers_.empty());
        TestTable.Close();
        running_ = false;
        done(QDialog::Accepted);
        if (review && MistakesForm) MistakesForm->Execute(wrongAnswers_, questionCount_);
        return;
    }
    RightCount = rightCount;
    TestTable.Close();
    running_ = false;
    done(QDialog::Accepted);
}

void TTestForm::endRun() {
    running_ = false;
    if (TestTable.Active()) TestTable.Close();
    RadioGroup->SetItemIndex(-1);
}

void TTestForm::CloseBtnClick() {
    endRun();
    done(QDialog::Rejected);
}

void TTestForm::FormKeyPress(char key) {
    if (key == 13 && RadioGroup->ItemIndex() >= 0) OKBtnClick();
}

void TTestForm::RadioGroupClick() {
    if (!TestMode && running_) RadioGroup->SetItemIndex(RightAnswerPos - 1);
}

void TTestForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    // The run was started before the window was shown; the focus goes to the answers.
    if (!e->spontaneous() && running_) RadioGroup->FocusItem();
}

void TTestForm::closeEvent(QCloseEvent* e) {
    RunHandler([this] { endRun(); });
    QDialog::closeEvent(e);
}

void TTestForm::keyPressEvent(QKeyEvent* e) {
    // The answer items leave Enter alone, so every Enter pressed in the window arrives
    // here; Escape does not end a test.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        RunHandler([this] { FormKeyPress(13); });
        e->accept();
        return;
    }
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}
