#include "controls/FcStatusPanels.h"

#include "controls/FcCustomStatusBar.h"

TfcStatusPanel* TfcStatusPanels::Add() { return AddItem(std::make_unique<TfcStatusPanel>(this)); }

TfcStatusPanel* TfcStatusPanels::FindPanel(const QString& name) const {
    for (int i = Count() - 1; i >= 0; --i)
        if (Items(i)->Name() == name) return Items(i);
    return nullptr;
}

void TfcStatusPanels::Changed() {
    if (!bar_) return;
    bar_->UpdatePanelWidths();
    bar_->UpdateTimers();
}
