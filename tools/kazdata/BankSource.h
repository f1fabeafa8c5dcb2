#pragma once
// A question bank on disk, in one of the formats the tool reads, turned into questions
// ready for a variant table, or a report of everything wrong with it.

#include <string>
#include <vector>

#include "tools/kazdata/EncodedQuestion.h"
#include "tools/kazdata/Problem.h"

namespace kazdata {

struct BankFormat {
    enum class Kind { Aiken, Csv } kind = Kind::Aiken;
    char separator = ',';     // CSV only
    bool skipHeader = false;  // CSV only
};

class BankSource {
  public:
    // Reads and checks the file; answers false (with the problems) when it is unreadable
    // or anything in it is wrong, or it holds no question.
    static bool Load(const std::string& path, const BankFormat& format,
                     std::vector<EncodedQuestion>& questions, Problems& problems);
    // Prints the problems to standard error, one a line: "path:line: message".
    static void Print(const std::string& path, const Problems& problems);
};

}  // namespace kazdata
