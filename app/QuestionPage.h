#pragma once
// The controls of a question screen, shared by the test window and the review of one's
// wrong answers: the question number, the question, five answers beside a radio group
// A to E in a bevel, the buttons "Келесi сЅрає" and "Шы№у", and a two-panel status bar.

#include <array>

class QDialog;
class QFrame;
class TfcLabel;
class TfcShapeBtn;
class TfcStatusBar;
class TRadioGroup;

struct QuestionPage {
    QFrame* Bevel1 = nullptr;
    TfcLabel* QuestNoLabel = nullptr;
    TfcLabel* QuestLabel = nullptr;
    std::array<TfcLabel*, 5> Answers{};
    TRadioGroup* RadioGroup = nullptr;
    TfcShapeBtn* OKBtn = nullptr;
    TfcShapeBtn* CloseBtn = nullptr;
    TfcStatusBar* StatusBar = nullptr;
};

// Styles `form` as the question window and builds its controls, in design units.
QuestionPage BuildQuestionPage(QDialog* form);
