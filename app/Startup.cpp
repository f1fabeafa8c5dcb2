#include "app/Startup.h"

#include "app/AppState.h"
#include "app/DisplayFonts.h"
#include "app/InfoForm.h"
#include "app/KazApplication.h"
#include "app/KazForm.h"
#include "app/MainForm.h"
#include "app/MistakesForm.h"
#include "app/ScreenshotTour.h"
#include "app/TestForm.h"
#include "app/texts/KazTexts.h"

void CreateForms() {
    MainForm = new TMainForm;
    KazForm = new TKazForm;
    TestForm = new TTestForm;
    InfoForm = new TInfoForm;
    MistakesForm = new TMistakesForm;
}

void DestroyForms() {
    delete MistakesForm;
    MistakesForm = nullptr;
    delete InfoForm;
    InfoForm = nullptr;
    delete TestForm;
    TestForm = nullptr;
    delete KazForm;
    KazForm = nullptr;
    delete MainForm;
    MainForm = nullptr;
}

int RunProgram(int argc, char** argv) {
    TKazApplication app(argc, argv);
    QApplication::setApplicationName(Disp(kaztexts::kAppTitle));
    CreateForms();
    MainForm->show();
    StartScreenshotTourFromEnvironment();
    const int rc = app.exec();
    DestroyForms();
    return rc;
}
