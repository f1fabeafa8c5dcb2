#include "controls/FcXkbIndicators.h"

#ifdef FC_HAVE_X11
// Qt first: the X11 headers define macros (KeyPress, None, Bool) that clash with Qt's names.
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <X11/XKBlib.h>
#include <X11/keysym.h>

namespace {

Display* display() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

const char* indicatorName(TfcLockKey key) {
    switch (key) {
    case lkCapsLock: return "Caps Lock";
    case lkNumLock: return "Num Lock";
    case lkScrollLock: return "Scroll Lock";
    case lkInsert: break;
    }
    return nullptr;
}

}  // namespace

std::optional<bool> fcXkbIndicator(TfcLockKey key) {
    Display* d = display();
    const char* name = indicatorName(key);
    if (!d || !name) return std::nullopt;
    Atom atom = XInternAtom(d, name, True);
    Bool on = False;
    if (atom == None || !XkbGetNamedIndicator(d, atom, nullptr, &on, nullptr, nullptr)) return std::nullopt;
    return on != False;
}

bool fcXkbToggle(TfcLockKey key) {
    Display* d = display();
    if (!d || key == lkInsert) return false;
    unsigned mask = key == lkCapsLock ? LockMask
                  : key == lkNumLock  ? XkbKeysymToModifiers(d, XK_Num_Lock)
                                      : XkbKeysymToModifiers(d, XK_Scroll_Lock);
    if (!mask) return false;
    const bool on = fcXkbIndicator(key).value_or(false);
    XkbLockModifiers(d, XkbUseCoreKbd, mask, on ? 0 : mask);
    XFlush(d);
    return true;
}

#else

std::optional<bool> fcXkbIndicator(TfcLockKey) { return std::nullopt; }
bool fcXkbToggle(TfcLockKey) { return false; }

#endif
