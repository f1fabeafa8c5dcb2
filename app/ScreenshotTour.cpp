#include "app/ScreenshotTour.h"

#include "app/AppState.h"
#include "app/ErrorBox.h"
#include "app/InfoForm.h"
#include "app/KazForm.h"
#include "app/MainForm.h"
#include "app/RadioGroup.h"
#include "app/TestForm.h"
#include "controls/FcShapeBtn.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPixmap>
#include <QRadioButton>
#include <QTimer>
#include <cstdio>

namespace {

constexpr int kSettle = 400;  // lets the window system map and paint a window

QString gDir;

void Save(QWidget* w, const char* name) {
    const QString path = QDir(gDir).filePath(QString::fromLatin1(name));
    const bool ok = w->grab().save(path);
    std::fprintf(stderr, "%s %s\n", ok ? "saved" : "could not save", qPrintable(path));
}

void Later(std::function<void()> step) { QTimer::singleShot(kSettle, qApp, std::move(step)); }

void ChooseRightAnswer() {
    if (QRadioButton* b = TestForm->RadioGroup->Item(TestForm->RightAnswerPos - 1)) b->click();
}

void FinalMessage() {
    Save(KazForm, "4-final-message.png");
    KazForm->fcShapeBtn2->Click();
}

void ScoredQuestion() {
    ChooseRightAnswer();
    Save(TestForm, "2-test-question.png");
    while (TestForm->Running() && TestForm->QuestionNo() < TestForm->QuestionCount()) {
        ChooseRightAnswer();
        TestForm->OKBtn->Click();
    }
    ChooseRightAnswer();
    Later(FinalMessage);
    TestForm->OKBtn->Click();
}

void ReviewQuestion() {
    TestForm->OKBtn->Click();  // the second question, with its right answer marked
    Save(TestForm, "3-review-question.png");
    TestForm->CloseBtn->Click();
}

void Results() {
    Save(InfoForm, "5-results.png");
    InfoForm->CloseBtn->Click();
}

void Tour() {
    MainForm->ComboName->setEditText(QString::fromUtf8("Асқар Нұрланұлы").left(15));
    MainForm->VarCombo->setCurrentIndex(0);
    Save(MainForm, "1-main.png");
    Later(ScoredQuestion);
    MainForm->fcShapeBtn1->Click();
    Later(ReviewQuestion);
    MainForm->fcShapeBtn2->Click();
    Later(Results);
    MainForm->fcShapeBtn3->Click();
    MainForm->close();
}

}  // namespace

bool StartScreenshotTourFromEnvironment() {
    const QByteArray dir = qgetenv("KAZTEST_SCREENSHOT_DIR");
    if (dir.isEmpty() || !MainForm) return false;
    gDir = QString::fromLocal8Bit(dir);
    QDir().mkpath(gDir);
    Later([] { RunHandler(Tour); });
    return true;
}
