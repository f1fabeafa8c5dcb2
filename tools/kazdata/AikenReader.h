#pragma once
// Moodle's Aiken format, as a teacher exports a bank or writes one by hand:
//
//   Question text (one line, or several that are joined with a blank)
//   A. first answer            (the letter, "." or ")", then a blank)
//   B) second answer
//   ...
//   ANSWER: B
//
// with blank lines between questions. A question here needs exactly five answers; the
// one the ANSWER line names becomes the right answer, the others keep their order.
// Lines starting with "#" between questions are comments (ours; Moodle has none).

#include <string_view>
#include <vector>

#include "tools/kazdata/Problem.h"
#include "tools/kazdata/Question.h"

namespace kazdata {

class AikenReader {
  public:
    // Reads every question of `content`; answers false when anything is wrong, with every
    // problem found (the rest of a broken question is skipped up to the next blank line).
    static bool Read(std::string_view content, std::vector<Question>& questions,
                     Problems& problems);
};

}  // namespace kazdata
