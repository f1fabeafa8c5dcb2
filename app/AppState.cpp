#include "app/AppState.h"

bool TestMode = false;
QString LastEnteredName;

TMainForm* MainForm = nullptr;
TKazForm* KazForm = nullptr;
TTestForm* TestForm = nullptr;
TInfoForm* InfoForm = nullptr;
TMistakesForm* MistakesForm = nullptr;
