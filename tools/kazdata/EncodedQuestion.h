#pragma once
// One question ready for a variant table: its six texts as display bytes, in field order
// Input, A (the right answer), B, C, D, E.

#include <array>
#include <string>

namespace kazdata {

struct EncodedQuestion {
    std::array<std::string, 6> fields;
};

}  // namespace kazdata
