#include "controls/FcStatusBarText.h"

#include "controls/FcCustomStatusBar.h"

void TfcStatusBarText::assign(QString& field, const QString& t) {
    if (field == t) return;
    field = t;
    if (bar_) bar_->update();
}
