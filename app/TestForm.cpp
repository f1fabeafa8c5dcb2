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
#include "app/RadioGroup.h"
#include "app/RandomSource.h"
#include "app/ResultsLog.h"
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

TfcLabel* TTestForm::makeTextLabel(const char* name, int left, int top, int width, int height) {
    auto* l = new TfcLabel(this);
    l->setObjectName(QString::fromLatin1(name));
    StyleLabel(l, 17, palette().color(QPalette::WindowText));
    l->SetAutoSize(false);
    l->TextOptions().SetWordWrap(true);
    l->TextOptions().SetStyle(fclsDefault);
    Place(l, left, top, width, height);
    return l;
}

void TTestForm::buildControls() {
    StyleForm(this, FrameKind::Dialog, 789, 542);
    setWindowTitle(Disp(kaztexts::kTestCaptionTest));

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Place(Bevel1, 90, 108, 668, 357);

    QuestNoLabel = new TfcLabel(this);
    QuestNoLabel->setObjectName(QStringLiteral("QuestNoLabel"));
    StyleLabel(QuestNoLabel, 20, kMaroon);
    QuestNoLabel->TextOptions().SetStyle(fclsLowered);
    Place(QuestNoLabel, 17, 5, 158, 22);
    QuestNoLabel->SetAutoSize(true);
    QuestNoLabel->SetCaption(Disp(kaztexts::kQuestNoFirst));

    QuestLabel = makeTextLabel("QuestLabel", 35, 35, 725, 71);
    ALabel = makeTextLabel("ALabel", 100, 137, 653, 56);
    BLabel = makeTextLabel("BLabel", 100, 205, 652, 56);
    CLabel = makeTextLabel("CLabel", 100, 273, 653, 56);
    DLabel = makeTextLabel("DLabel", 100, 341, 653, 56);
    ELabel = makeTextLabel("ELabel", 100, 409, 655, 52);

    RadioGroup = new TRadioGroup(this);
    RadioGroup->setObjectName(QStringLiteral("RadioGroup"));
    RadioGroup->setFont(ArialFont(19, true));
    Place(RadioGroup, 30, 98, 54, 366);
    QStringList letters;
    for (std::string_view l : kaztexts::kAnswerLetters) letters << Disp(l);
    RadioGroup->SetItems(letters);
    connect(RadioGroup, &TRadioGroup::clicked, this, [this] { RunHandler([this] { RadioGroupClick(); }); });

    OKBtn = new TfcShapeBtn(this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    StyleShapeButton(OKBtn, kaztexts::kBtnNext, false, false);
    OKBtn->SetShape(bsRoundRect);
    Place(OKBtn, 218, 475, 170, 35);
    OKBtn->OnClick = [this] { RunHandler([this] { OKBtnClick(); }); };

    CloseBtn = new TfcShapeBtn(this);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    StyleShapeButton(CloseBtn, kaztexts::kBtnExit, false, false);
    CloseBtn->SetShape(bsRoundRect);
    Place(CloseBtn, 402, 475, 170, 35);
    CloseBtn->OnClick = [this] { RunHandler([this] { CloseBtnClick(); }); };

    StatusBar = new TfcStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setFont(KazakhFont(19));
    StatusBar->SetSizeGrip(false);
    StatusBar->SetSimplePanel(false);
    Place(StatusBar, 0, 517, 789, 25);
    const std::pair<const char*, std::pair<const char*, std::string_view>> panels[] = {
        {"Panel1", {"350", kaztexts::kStatusCountPrefix}}, {"Panel2", {"50", kaztexts::kStatusRightPrefix}}};
    for (const auto& [name, rest] : panels) {
        TfcStatusPanel* p = StatusBar->Panels().Add();
        p->SetName(QString::fromLatin1(name));
        p->SetWidth(QString::fromLatin1(rest.first));
        p->SetFont(KazakhFont(15));
        p->TextOptions().SetStyle(fclsLowered);
        p->TextOptions().SetAlignment(taLeftJustify);
        p->TextOptions().SetVAlignment(vaTop);
        p->SetText(Disp(rest.second));
    }
}

void TTestForm::FormCreate() { ScaleFormToScreen(this); }

void TTestForm::FormShow() {
    running_ = false;
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
    running_ = true;
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

void TTestForm::finishRun(int rightCount) {
    if (TestMode) {
        // The last answer counts once, even when recording fails and OK is pressed again.
        RecordResult(MainForm->InfoTable, MainForm->NameText(), MainForm->VariantText(), questionCount_, rightCount);
        RightCount = rightCount;
        const int64_t elapsed = MillisecondsOf(platform::Now()) - MillisecondsOf(StartTime);
        ShowKazMessage(FinalMessage(questionCount_, RightCount, elapsed));
    } else {
        RightCount = rightCount;
    }
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
    if (!e->spontaneous()) RunHandler([this] { FormShow(); });
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
