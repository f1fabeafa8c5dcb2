#include "app/MistakesForm.h"

#include "app/DisplayFonts.h"
#include "app/ErrorBox.h"
#include "app/ModalRunner.h"
#include "app/MoreTexts.h"
#include "app/QuestionPage.h"
#include "app/RadioGroup.h"
#include "app/ScreenScale.h"
#include "app/texts/KazTexts.h"
#include "controls/FcLabel.h"
#include "controls/FcShapeBtn.h"
#include "controls/FcStatusBar.h"

#include <QKeyEvent>

namespace {

QString Letter(int item) { return QString(QChar(u'A' + item)); }

}  // namespace

TMistakesForm::TMistakesForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("MistakesForm"));
    const QuestionPage page = BuildQuestionPage(this);
    setWindowTitle(Disp(kaztexts::kMistakesCaption));
    Bevel1 = page.Bevel1;
    QuestNoLabel = page.QuestNoLabel;
    QuestLabel = page.QuestLabel;
    AnswerLabels = page.Answers;
    RadioGroup = page.RadioGroup;
    OKBtn = page.OKBtn;
    CloseBtn = page.CloseBtn;
    StatusBar = page.StatusBar;
    connect(RadioGroup, &TRadioGroup::clicked, this, [this] { RunHandler([this] { RadioGroupClick(); }); });
    OKBtn->OnClick = [this] { RunHandler([this] { OKBtnClick(); }); };
    CloseBtn->OnClick = [this] { RunHandler([this] { CloseBtnClick(); }); };
    RunHandler([this] { FormCreate(); });
}

TMistakesForm::~TMistakesForm() = default;

QColor TMistakesForm::RightColor() { return QColor(0x00, 0x80, 0x00); }
QColor TMistakesForm::ChosenColor() { return QColor(0xC0, 0x00, 0x00); }

void TMistakesForm::FormCreate() { ScaleFormToScreen(this); }

void TMistakesForm::Execute(const std::vector<WrongAnswer>& mistakes, int questionCount) {
    if (mistakes.empty()) return;
    mistakes_ = mistakes;
    questionCount_ = questionCount;
    StatusBar->Panels()[0]->SetText(Disp(std::string(kaztexts::kMistakesCountPrefix) +
                                         std::to_string(mistakes_.size()) + " / " + std::to_string(questionCount_)));
    ShowMistake(0);
    ShowModal(*this);
}

void TMistakesForm::ShowMistake(int i) {
    if (i < 0 || i >= Count()) return;
    current_ = i;
    const WrongAnswer& m = mistakes_[size_t(i)];
    QuestNoLabel->SetCaption(Disp(std::string(kaztexts::kQuestNoPrefix) + std::to_string(m.questionNo)));
    QuestLabel->SetCaption(m.question);
    const QColor text = palette().color(QPalette::WindowText);
    for (int k = 0; k < 5; ++k) {
        TfcLabel* l = AnswerLabels[size_t(k)];
        l->SetCaption(m.answers[size_t(k)]);
        const bool right = k == m.rightItem, chosen = k == m.chosenItem;
        SetWidgetColor(l, QPalette::WindowText, right ? RightColor() : chosen ? ChosenColor() : text);
        QFont f = l->font();
        f.setBold(right || chosen);
        f.setStrikeOut(chosen);
        l->setFont(f);
        l->update();
    }
    RadioGroup->SetItemIndex(m.chosenItem);
    StatusBar->Panels()[1]->SetText(Disp(std::string(kaztexts::kMistakesYours)) + Letter(m.chosenItem) +
                                    Disp(std::string(kaztexts::kMistakesRight)) + Letter(m.rightItem));
}

void TMistakesForm::OKBtnClick() {
    if (current_ + 1 < Count()) {
        ShowMistake(current_ + 1);
        return;
    }
    CloseBtnClick();
}

void TMistakesForm::CloseBtnClick() { done(QDialog::Accepted); }

void TMistakesForm::RadioGroupClick() {
    // Read-only: the candidate's choice stays chosen.
    if (current_ >= 0 && current_ < Count()) RadioGroup->SetItemIndex(mistakes_[size_t(current_)].chosenItem);
}

void TMistakesForm::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        RunHandler([this] { OKBtnClick(); });
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}
