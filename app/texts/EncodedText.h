#pragma once
// The display bytes made from a Unicode text, with every character that had no place in
// the display encoding (each stands as '?' in the bytes).

#include <string>
#include <vector>

#include "app/texts/TextRefusal.h"

namespace kaztexts {

struct EncodedText {
    std::string bytes;
    std::vector<TextRefusal> refused;

    bool Complete() const { return refused.empty(); }
};

}  // namespace kaztexts
