#pragma once
// The test window: one question of the chosen variant per screen, its five answers in
// an arrangement drawn at random, scoring in test mode and the right answer marked in
// review mode.

#include "dataset/RidedezDataSet.h"
#include "engine/platform/Clock.h"

#include <QDialog>
#include <array>

class QFrame;
class TfcLabel;
class TfcShapeBtn;
class TfcStatusBar;
class TRadioGroup;

class TTestForm : public QDialog {
    Q_OBJECT
public:
    explicit TTestForm(QWidget* parent = nullptr);
    ~TTestForm() override;

    QFrame* Bevel1 = nullptr;
    TfcLabel* QuestNoLabel = nullptr;
    TfcLabel* QuestLabel = nullptr;
    TfcLabel* ALabel = nullptr;
    TfcLabel* BLabel = nullptr;
    TfcLabel* CLabel = nullptr;
    TfcLabel* DLabel = nullptr;
    TfcLabel* ELabel = nullptr;
    TRadioGroup* RadioGroup = nullptr;
    TfcShapeBtn* OKBtn = nullptr;
    TfcShapeBtn* CloseBtn = nullptr;
    TfcStatusBar* StatusBar = nullptr;

    TRidedezDataSet TestTable;

    // The run: position of the right answer (1 to 5), right answers so far, the start.
    int RightAnswerPos = 1;
    int RightCount = 0;
    platform::DateTime StartTime;
    // The questions of the table (its visible records) and the number of the one shown.
    int QuestionCount() const { return questionCount_; }
    int QuestionNo() const { return questionNo_; }
    bool Running() const { return running_; }

    std::array<TfcLabel*, 5> AnswerLabels() const { return {ALabel, BLabel, CLabel, DLabel, ELabel}; }

public slots:
    void FormCreate();
    void FormShow();
    void ShowQuestion();
    void OKBtnClick();
    void CloseBtnClick();
    void FormKeyPress(char key);
    void RadioGroupClick();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void buildControls();
    TfcLabel* makeTextLabel(const char* name, int left, int top, int width, int height);
    // Records the result (test mode), shows the final message and closes the run.
    void finishRun(int rightCount);
    void endRun();

    int questionCount_ = 0;
    int questionNo_ = 0;
    bool running_ = false;
};
