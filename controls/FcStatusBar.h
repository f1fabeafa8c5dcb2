#pragma once
// The status bar of the application's windows.

#include "controls/FcCustomStatusBar.h"

class TfcStatusBar : public TfcCustomStatusBar {
    Q_OBJECT
public:
    using TfcCustomStatusBar::TfcCustomStatusBar;
};
