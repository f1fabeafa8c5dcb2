#pragma once
// What is wrong with a source, at which line; a list of them is a reader's report.

#include <string>
#include <vector>

namespace kazdata {

struct Problem {
    long line = 0;  // 1-based; 0 for the file as a whole
    std::string message;
};

using Problems = std::vector<Problem>;

}  // namespace kazdata
