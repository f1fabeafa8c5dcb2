#pragma once
// One question of a bank as read from its source (UTF-8): the question text and its five
// answers, the right one first, with where each text stands in the source.

#include <array>
#include <string>

namespace kazdata {

struct Question {
    // texts[0] is the question, texts[1] the right answer, texts[2..5] the wrong ones.
    std::array<std::string, 6> texts;
    // The source line of each text, and what the source calls it ("answer C", "field 4").
    std::array<long, 6> lines{};
    std::array<std::string, 6> names;
};

}  // namespace kazdata
