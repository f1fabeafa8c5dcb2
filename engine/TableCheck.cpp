#include "engine/TableCheck.h"

#include <algorithm>
#include <climits>
#include <exception>

#include "engine/ByteOrder.h"
#include "engine/dBaseFld.h"

namespace {
constexpr uint8_t kEndMarker = 0x1A;
constexpr int64_t kCountAt = 4;
}  // namespace

TgsTableCheck TgsTableChecker::Check(GSO_dBaseFld& table) {
    TgsTableCheck result;
    auto problem = [&result](const std::string& text) {
        if (result.problems.size() < kMaxProblems) {
            result.problems.push_back(text);
        } else if (result.problems.size() == kMaxProblems) {
            result.problems.push_back("and more problems");
        }
    };
    try {
        table.RefreshHeader();
    } catch (const std::exception& e) {
        problem(std::string("the header cannot be read again: ") + e.what());
    }
    // The count as the header stores it: opening a table whose file ends early counts only
    // its whole records.
    result.records = table.RecordCount();
    uint8_t stored[4] = {};
    if (table.ReadAt(kCountAt, stored, sizeof stored) == sizeof stored) {
        const uint32_t count = gsBytes::Get32LE(stored);
        if (count <= static_cast<uint32_t>(INT32_MAX)) result.records = static_cast<int32_t>(count);
    }
    const int64_t size = table.FileSize();
    const int64_t start = table.HeaderLength();
    const int64_t length = table.RecordLength();
    if (length > 0 && size >= start) result.wholeRecords = (size - start) / length;
    const int64_t end = start + int64_t{result.records} * length;
    if (size < start) {
        problem("the file (" + std::to_string(size) + " bytes) is shorter than its header (" + std::to_string(start) +
                " bytes)");
    } else if (result.wholeRecords < result.records) {
        problem("the header counts " + std::to_string(result.records) + " records but the file holds " +
                std::to_string(result.wholeRecords));
    } else if (result.wholeRecords > result.records) {
        // Records an interrupted append wrote before it could count them: nobody reads
        // them, and the next append writes over them.
        result.notes.push_back("the file holds " + std::to_string(result.wholeRecords - result.records) +
                               " whole records past the " + std::to_string(result.records) +
                               " the header counts (left by an interrupted append)");
    } else if (size == end) {
        result.notes.push_back("the file ends without the end marker");
    } else {
        uint8_t marker = 0;
        if (table.ReadAt(end, &marker, 1) != 1 || marker != kEndMarker)
            problem("the byte after the last record is " + std::to_string(marker) + ", not the end marker 26");
    }

    // Memo references: each one must lead to a memo inside the memo file.
    std::vector<int> memoFields;
    for (int n = 1; n <= table.FieldCount(); ++n)
        if (table.IsMemoField(n)) memoFields.push_back(n);
    if (memoFields.empty()) return result;
    const int32_t readable = static_cast<int32_t>(
        std::min<int64_t>(std::min<int64_t>(result.records, result.wholeRecords), table.RecordCount()));
    for (int32_t r = 1; r <= readable; ++r) {
        try {
            table.GoRecord(r);
        } catch (const std::exception& e) {
            problem("record " + std::to_string(r) + " cannot be read: " + e.what());
            continue;
        }
        for (int n : memoFields) {
            try {
                if (table.MemoBlockNumber(n) <= 0) continue;
                ++result.memos;
                table.MemoText(n);
            } catch (const std::exception& e) {
                problem("record " + std::to_string(r) + ", field " + table.FieldName(n) + ": " + e.what());
            }
        }
    }
    return result;
}
