#pragma once
// The keyboard indicators of the X11 display the application runs on, through XKB. On
// other platforms (and without the X11 headers) nothing is available.

#include "controls/FcLockKeys.h"
#include <optional>

// The indicator's state, or nothing when there is no X11 display or no such indicator.
std::optional<bool> fcXkbIndicator(TfcLockKey key);
// Locks or unlocks the key's modifier; false when that is not possible.
bool fcXkbToggle(TfcLockKey key);
