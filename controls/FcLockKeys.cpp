#include "controls/FcLockKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>
#include <optional>

#include "controls/FcXkbIndicators.h"

namespace {

// The keyboard's own state. Insert has no indicator: it is toggled by every Insert press
// that reaches the application.
class PlatformSource : public TfcLockKeySource {
public:
    bool insertOn = false;

    bool IsOn(TfcLockKey key) const override {
        if (key == lkInsert) return insertOn;
        return fcXkbIndicator(key).value_or(false);
    }

    void Toggle(TfcLockKey key) override {
        if (key == lkInsert) insertOn = !insertOn;
        else fcXkbToggle(key);
        TfcLockKeys::Notify(key);
    }
};

PlatformSource& platform() {
    static PlatformSource source;
    return source;
}

std::shared_ptr<TfcLockKeySource>& injected() {
    static std::shared_ptr<TfcLockKeySource> source;
    return source;
}

std::function<void(TfcLockKey)>& listener() {
    static std::function<void(TfcLockKey)> fn;
    return fn;
}

class KeyboardWatch : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if ((e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) && watched->isWidgetType()) {
            auto* ke = static_cast<QKeyEvent*>(e);
            // A key event visits every widget up the parent chain; take it at its first
            // receiver, the focus widget (or the window when nothing has the focus).
            QWidget* first = QApplication::focusWidget();
            auto* w = static_cast<QWidget*>(watched);
            if (ke->isAutoRepeat() || (first ? w != first : !w->isWindow())) return false;
            std::optional<TfcLockKey> key;
            switch (ke->key()) {
            case Qt::Key_Insert: key = lkInsert; break;
            case Qt::Key_CapsLock: key = lkCapsLock; break;
            case Qt::Key_NumLock: key = lkNumLock; break;
            case Qt::Key_ScrollLock: key = lkScrollLock; break;
            default: break;
            }
            if (key) {
                if (*key == lkInsert && e->type() == QEvent::KeyPress) platform().insertOn = !platform().insertOn;
                // The indicators change after the key has been handled: look once the
                // event loop comes round.
                TfcLockKey k = *key;
                QTimer::singleShot(0, qApp, [k] { TfcLockKeys::Notify(k); });
            }
        }
        return false;
    }
};

}  // namespace

namespace TfcLockKeys {

TfcLockKeySource& Source() { return injected() ? *injected() : platform(); }

void SetSource(std::shared_ptr<TfcLockKeySource> source) {
    injected() = std::move(source);
    for (TfcLockKey k : {lkInsert, lkCapsLock, lkNumLock, lkScrollLock}) Notify(k);
}

void SetListener(std::function<void(TfcLockKey)> fn) { listener() = std::move(fn); }

void Notify(TfcLockKey key) {
    if (listener()) listener()(key);
}

void InstallKeyboardWatch() {
    static KeyboardWatch* watch = nullptr;
    if (watch || !qApp) return;
    watch = new KeyboardWatch;
    watch->setParent(qApp);
    qApp->installEventFilter(watch);
}

}  // namespace TfcLockKeys
