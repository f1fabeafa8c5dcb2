#pragma once
// The review of one's mistakes, offered after a scored test: a walk through only the
// questions answered wrongly, each as it was shown, with the candidate's choice chosen in
// the radio group and drawn in red, and the right answer drawn in green. Read-only;
// "Келесi сЅрає" goes on (and closes after the last), "Шы№у" leaves; nothing is logged.

#include "app/WrongAnswer.h"

#include <QDialog>
#include <array>
#include <vector>

class QFrame;
class TfcLabel;
class TfcShapeBtn;
class TfcStatusBar;
class TRadioGroup;

class TMistakesForm : public QDialog {
    Q_OBJECT
public:
    explicit TMistakesForm(QWidget* parent = nullptr);
    ~TMistakesForm() override;

    QFrame* Bevel1 = nullptr;
    TfcLabel* QuestNoLabel = nullptr;
    TfcLabel* QuestLabel = nullptr;
    std::array<TfcLabel*, 5> AnswerLabels{};
    TRadioGroup* RadioGroup = nullptr;
    TfcShapeBtn* OKBtn = nullptr;
    TfcShapeBtn* CloseBtn = nullptr;
    TfcStatusBar* StatusBar = nullptr;

    // The colours of the right answer and of the wrong choice.
    static QColor RightColor();
    static QColor ChosenColor();

    // Shows the walk modally over `mistakes` (nothing when there are none).
    void Execute(const std::vector<WrongAnswer>& mistakes, int questionCount);
    // The mistake shown (0-based) and how many there are.
    int Current() const { return current_; }
    int Count() const { return int(mistakes_.size()); }

public slots:
    void FormCreate();
    void ShowMistake(int i);
    void OKBtnClick();
    void CloseBtnClick();
    void RadioGroupClick();

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    std::vector<WrongAnswer> mistakes_;
    int questionCount_ = 0;
    int current_ = -1;
};
