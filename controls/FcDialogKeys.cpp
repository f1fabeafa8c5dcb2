#include "controls/FcDialogKeys.h"

#include "controls/FcCustomBitBtn.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

class DialogKeys : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::KeyPress) return false;
        auto* ke = static_cast<QKeyEvent*>(e);
        if (ke->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) return false;
        const bool enter = ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter;
        const bool escape = ke->key() == Qt::Key_Escape;
        if (!enter && !escape) return false;
        auto* window = qobject_cast<QWidget*>(watched);
        if (!window) return false;
        // A focused shape button answers Enter itself.
        if (enter && qobject_cast<TfcCustomBitBtn*>(QApplication::focusWidget())) return false;
        for (TfcCustomBitBtn* b : window->findChildren<TfcCustomBitBtn*>()) {
            if (b->window() != window || !b->isEnabled() || !b->isVisible()) continue;
            if ((enter && b->Default()) || (escape && b->Cancel())) {
                b->Click();
                return true;
            }
        }
        return false;
    }
};

}  // namespace

void fcWatchDialogKeys(QWidget* window) {
    static DialogKeys* filter = new DialogKeys;
    if (window) window->installEventFilter(filter);
}
