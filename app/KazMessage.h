#pragma once
// The one routine through which the program shows its own messages.

#include <string_view>

// Puts `displayText` into the message dialog and shows it modally.
void ShowKazMessage(std::string_view displayText);

// The final message of a scored test: as ShowKazMessage, with the button
// "Қателерді қарау" when `offerReview`. Answers whether the user chose that button.
bool ShowFinalKazMessage(std::string_view displayText, bool offerReview);
