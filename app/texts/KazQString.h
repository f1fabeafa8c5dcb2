#pragma once
// Display bytes and QString: what the windows draw and what the user types.

#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "app/texts/TextRefusal.h"

namespace kaztexts {

// The Unicode text of display bytes (every byte converts).
QString ToQString(std::string_view display);

// The display bytes of a typed text. A character the display encoding cannot hold is
// written as '?' and, when `refused` is given, listed there.
std::string FromQString(const QString& text, std::vector<TextRefusal>* refused = nullptr);

}  // namespace kaztexts
