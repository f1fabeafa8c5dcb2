#pragma once
// What a table's header says of its records against what its file holds. A table cut
// short (or whose header was never brought up to date) is read by the whole records of
// its file; the disagreement is worth telling the user about.

#include <cstdint>

class GSO_dBaseDBF;

struct RecordCountCheck {
    int64_t headerCount = 0;   // the record count in the header
    int32_t wholeRecords = 0;  // the whole records the file holds after its header
    bool Agrees() const { return headerCount == wholeRecords; }
};

// For an open table.
RecordCountCheck CheckRecordCount(const GSO_dBaseDBF& table);
