#pragma once
// The table checker: the header's record count against the file's size, the end marker
// after the last record, and every memo reference against its memo file. It reports what
// it finds as a list of problems and never raises for a damaged table.

#include <cstdint>
#include <string>
#include <vector>

class GSO_dBaseFld;

struct TgsTableCheck {
    int32_t records = 0;       // the header's count
    int64_t wholeRecords = 0;  // whole records the file's size holds
    int64_t memos = 0;         // memo references followed
    std::vector<std::string> problems;
    // Not damage: a file that ends without the end marker, as some writers leave it, or
    // records past the count that an interrupted append left.
    std::vector<std::string> notes;
    bool Ok() const { return problems.empty(); }
};

class TgsTableChecker {
public:
    static constexpr size_t kMaxProblems = 50;
    // Checks the open table (its position moves).
    static TgsTableCheck Check(GSO_dBaseFld& table);
};
