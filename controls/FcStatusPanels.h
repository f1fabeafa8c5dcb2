#pragma once
// The ordered panels of a status bar.

#include "controls/FcCollection.h"
#include "controls/FcStatusPanel.h"

class TfcStatusPanels : public TfcCollection<TfcStatusPanel> {
public:
    explicit TfcStatusPanels(TfcCustomStatusBar* bar) : bar_(bar) {}
    TfcCustomStatusBar* StatusBar() const { return bar_; }
    TfcStatusPanel* Add();
    // The last panel with exactly this name, or none.
    TfcStatusPanel* FindPanel(const QString& name) const;

protected:
    void Changed() override;

private:
    TfcCustomStatusBar* bar_;
};
