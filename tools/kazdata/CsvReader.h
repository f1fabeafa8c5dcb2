#pragma once
// A plain CSV bank, one question a record: the question, the right answer, then the four
// wrong answers. Fields are separated by a comma (or the separator given) and may be
// quoted with double quotes, a doubled quote standing for one; a quoted field may run
// over several lines. Blank lines are skipped; the first record may be a header line.

#include <string_view>
#include <vector>

#include "tools/kazdata/Problem.h"
#include "tools/kazdata/Question.h"

namespace kazdata {

class CsvReader {
  public:
    CsvReader(char separator, bool skipHeader) : separator_(separator), skipHeader_(skipHeader) {}

    // Reads every record; answers false when anything is wrong, with every problem found.
    bool Read(std::string_view content, std::vector<Question>& questions, Problems& problems) const;

  private:
    char separator_;
    bool skipHeader_;
};

}  // namespace kazdata
