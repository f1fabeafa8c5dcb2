#pragma once
// The one routine through which the program shows its own messages.

#include <string_view>

// Puts `displayText` into the message dialog and shows it modally.
void ShowKazMessage(std::string_view displayText);
