#pragma once
// Turns the questions read from a source into display bytes, checking what a variant
// table needs: no text empty, every character one the display encoding holds, every text
// short enough for its field, and five different answers.

#include <vector>

#include "tools/kazdata/EncodedQuestion.h"
#include "tools/kazdata/Problem.h"
#include "tools/kazdata/Question.h"

namespace kazdata {

class QuestionCheck {
  public:
    // The widest text a field of a variant table holds, in bytes.
    static constexpr size_t kMaxLength = 254;

    // Answers false when anything is wrong, with every problem found.
    static bool Encode(const std::vector<Question>& questions, std::vector<EncodedQuestion>& out,
                       Problems& problems);
};

}  // namespace kazdata
