#pragma once
// The label of the application's windows.

#include "controls/FcCustomLabel.h"

class TfcLabel : public TfcCustomLabel {
    Q_OBJECT
public:
    using TfcCustomLabel::TfcCustomLabel;
};
