#pragma once
// The program-wide state: the mode switch read by the test window, the name typed when
// the name box last lost the focus, and the windows created at start-up.

#include <QString>

class TMainForm;
class TKazForm;
class TTestForm;
class TInfoForm;
class TMistakesForm;

// True for a scored test, false for a review of the right answers.
extern bool TestMode;
// The name box's text when it last lost the keyboard focus.
extern QString LastEnteredName;

extern TMainForm* MainForm;
extern TKazForm* KazForm;
extern TTestForm* TestForm;
extern TInfoForm* InfoForm;
// The review of one's wrong answers, offered after a scored test.
extern TMistakesForm* MistakesForm;
