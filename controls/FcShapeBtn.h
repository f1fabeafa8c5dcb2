#pragma once
// The push button of the application's windows.

#include "controls/FcCustomShapeBtn.h"

class TfcShapeBtn : public TfcCustomShapeBtn {
    Q_OBJECT
public:
    using TfcCustomShapeBtn::TfcCustomShapeBtn;
};
