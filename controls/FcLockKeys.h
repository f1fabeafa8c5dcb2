#pragma once
// The toggle state of the lock keys (Insert, Caps Lock, Num Lock, Scroll Lock). The state
// comes from a source that tests can replace; the platform's source reads the keyboard
// indicators through XKB under X11 and tracks Insert itself. A keyboard watch on the
// application tells every status bar when one of these keys passes.

#include <functional>
#include <memory>

enum TfcLockKey { lkInsert, lkCapsLock, lkNumLock, lkScrollLock };

class TfcLockKeySource {
public:
    virtual ~TfcLockKeySource() = default;
    virtual bool IsOn(TfcLockKey key) const = 0;
    // Toggles the key as a key press and release would.
    virtual void Toggle(TfcLockKey key) = 0;
};

namespace TfcLockKeys {

// The source in use: the platform's unless one was injected.
TfcLockKeySource& Source();
// Replaces the source (nullptr restores the platform's). Every status bar repaints its
// lock-key panels.
void SetSource(std::shared_ptr<TfcLockKeySource> source);
// Called with the key whenever a lock key passes or the source changes state.
void SetListener(std::function<void(TfcLockKey)> listener);
// Tells the listener that a key's state may have changed.
void Notify(TfcLockKey key);
// Installs the application-wide keyboard watch (once).
void InstallKeyboardWatch();

}  // namespace TfcLockKeys
