#pragma once
// What the status panels show of the system: the logged-on user, the computer's name and
// the application's current hint (the status tip of the widget under the pointer).

#include <QString>
#include <functional>

// The name of the logged-on user; empty when it cannot be read.
QString fcUserName();
// The computer's host name; empty when it cannot be read.
QString fcComputerName();

namespace TfcApplicationHint {
QString Current();
// Sets the hint (the application's status-tip watch does this) and tells the listener.
void Set(const QString& hint);
void SetListener(std::function<void()> listener);
// Installs the application-wide status-tip watch (once).
void InstallWatch();
}  // namespace TfcApplicationHint
