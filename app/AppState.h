#pragma once
// The program-wide state: the mode switch read by the test window, the name typed when
// the name box last lost the focus, and the four windows created at start-up.

#include <QString>

class TMainForm;
class TKazForm;
class TTestForm;
class TInfoForm;

// True for a scored test, false for a review of the right answers.
extern bool TestMode;
// The name box's text when it last lost the keyboard focus.
extern QString LastEnteredName;

extern TMainForm* MainForm;
extern TKazForm* KazForm;
extern TTestForm* TestForm;
extern TInfoForm* InfoForm;
