#pragma once
// Writes the program's tables through the engine: a variant's question table (fields
// Input, A, B, C, D, E, character fields, A the right answer) and the empty name memory
// NAME.DBF and results log INFO.DBF. Each table is written under a temporary name and
// renamed into place when complete; errors raise (the engine's ERidedezError, or
// std::runtime_error) and leave no file behind.

#include <string>
#include <vector>

#include "tools/kazdata/EncodedQuestion.h"

namespace kazdata {

class TableWriter {
  public:
    static void WriteVariant(const std::string& path,
                             const std::vector<EncodedQuestion>& questions);
    // NAME.DBF: Name C(15).
    static void WriteNameTable(const std::string& path);
    // INFO.DBF: NAME C(15), VARIANT C(2), COUNT N(3,0), TRUECOUNT N(3,0), DATE D.
    static void WriteInfoTable(const std::string& path);
};

}  // namespace kazdata
