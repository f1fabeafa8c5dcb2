#pragma once
// The test window: one question of the chosen variant per screen, its five answers in
// an arrangement drawn at random, scoring in test mode and the right answer marked in
// review mode.

#include "dataset/RidedezDataSet.h"
#include "engine/platform/Clock.h"

#include "app/WrongAnswer.h"

#include <QDialog>
#include <array>
#include <vector>

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
    // The questions of the last scored run answered wrongly, as they were shown.
    const std::vector<WrongAnswer>& WrongAnswers() const { return wrongAnswers_; }

    // Starts a run of the chosen variant and shows the window modally. When the run
    // cannot start (the question table is missing, empty or not a question table) the
    // error is shown and the window stays closed.
    void Execute();

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
    // Tells the user when the table's header counts other records than its file holds.
    void warnOfDamagedTable(const std::string& tableName);
    // Records the result (test mode), shows the final message and closes the run.
    void finishRun(int rightCount);
    // Keeps a wrong answer of a scored run for the review of the mistakes.
    void noteAnswer(int chosen, bool right);
    void endRun();

    int questionCount_ = 0;
    int questionNo_ = 0;
    bool running_ = false;
    std::vector<WrongAnswer> wrongAnswers_;
};
