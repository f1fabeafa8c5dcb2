#pragma once
// Runs a write of the table object with a fault injected at every write (or sync) index in
// turn, until the write goes through without one, and checks the files after each fault:
// the table opens, its record count is its whole records, and every record and memo that
// the write did not touch reads as before.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "engine/ByteOrder.h"
#include "engine/DbfCreate.h"
#include "engine/Exception.h"
#include "engine/dBHandler.h"
#include "engine/platform/FaultFileSystem.h"

namespace faulttest {

using platform::FaultFileSystem;

// What a table holds, read without faults.
struct Snapshot {
    bool opened = false;
    std::string error;
    int32_t count = 0;          // the table object's record count
    int64_t wholeRecords = 0;   // (file size - header length) / record length
    uint32_t storedCount = 0;   // the count in the header bytes
    std::vector<std::string> records;  // raw record bytes, from record 1
    std::vector<std::string> memos;    // the memo of each record ("" without memo field)
};

inline bool HasMemoField(uint8_t version) { return version != gsVersionDBase3; }
constexpr int kMemoField = 3;

inline Snapshot Take(const std::string& path, uint8_t version) {
    Snapshot s;
    const std::vector<uint8_t> bytes = testutil::ReadBytes(path);
    if (bytes.size() >= 32) {
        const uint16_t headerLength = gsBytes::Get16LE(bytes.data() + 8);
        const uint16_t recordLength = gsBytes::Get16LE(bytes.data() + 10);
        s.storedCount = gsBytes::Get32LE(bytes.data() + 4);
        if (recordLength > 0 && static_cast<int64_t>(bytes.size()) >= headerLength) {
            s.wholeRecords = (static_cast<int64_t>(bytes.size()) - headerLength) / recordLength;
        }
    }
    try {
        auto t = GSO_dBHandler::Open(path, false, false);
        s.count = t->RecordCount();
        for (int32_t r = 1; r <= s.count; ++r) {
            t->GoRecord(r);
            s.records.emplace_back(reinterpret_cast<const char*>(t->CurrentBuffer()), t->RecordLength());
            std::string memo;
            if (HasMemoField(version)) {
                try {
                    memo = t->MemoText(kMemoField);
                } catch (const Exception& e) {
                    memo = std::string("<unreadable> ") + e.what();
                }
            }
            s.memos.push_back(memo);
        }
        s.opened = true;
    } catch (const Exception& e) {
        s.error = e.what();
    }
    return s;
}

// One write under test.
struct Scenario {
    std::string name;
    uint8_t version = gsVersionDBase3Memo;
    std::function<void(const std::string& path)> setup;  // makes the table, without faults
    std::function<void(GSO_dBHandler& table)> write;
    std::set<int32_t> written;  // records the write may change (beyond the old count too)
    bool appends = false;       // the count may grow by one
    bool packs = false;         // records move down; the live ones must all survive
    // The pack passes over a memo it cannot free (its blocks stay unreclaimed) and goes
    // on; a fault there is not raised, but the pack must then be complete.
    int32_t packedCount = -1;
};

// What one run of a scenario found.
struct Findings {
    int faults = 0;              // runs in which a fault was injected
    int reportedFailures = 0;    // of those, runs in which the write raised an error
    int storedCountDiffers = 0;  // the header's count differs from the whole records
    int writtenMemoLost = 0;     // the memo being written reads as neither old nor new
    int writes = 0;              // writes the operation makes without faults
    int passedOver = 0;          // faults in freeing a packed-away memo, passed over
};

inline std::string Describe(const std::string& name, const char* mode, const Findings& f) {
    char line[256];
    std::snprintf(line, sizeof line,
                  "%-26s %-15s %2d writes, %2d faults, %2d raised, %2d passed over, "
                  "%d header count behind, %d memo in writing unreadable",
                  name.c_str(), mode, f.writes, f.faults, f.reportedFailures, f.passedOver,
                  f.storedCountDiffers, f.writtenMemoLost);
    return line;
}

// Compares what a faulted write left with what was there before.
inline void Check(const Scenario& sc, const Snapshot& before, const Snapshot& after,
                  const std::string& where, Findings& found) {
    ASSERT_TRUE(after.opened) << where << ": the table does not open: " << after.error;
    EXPECT_EQ(after.count, after.wholeRecords) << where;
    // A header that counts more records than the file holds sends other programs past
    // its end; one that counts fewer only hides the last record until the next write.
    EXPECT_LE(after.storedCount, static_cast<uint64_t>(after.wholeRecords))
        << where << ": the header counts records the file does not hold";
    if (after.storedCount != static_cast<uint32_t>(after.wholeRecords)) ++found.storedCountDiffers;
    if (sc.packs) {
        // Every record that was not deleted is still in the table, with its memo.
        std::multiset<std::string> live;
        for (size_t i = 0; i < after.records.size(); ++i) {
            if (after.records[i][0] != '*') live.insert(after.records[i] + "|" + after.memos[i]);
        }
        for (size_t i = 0; i < before.records.size(); ++i) {
            if (before.records[i][0] == '*') continue;
            const std::string key = before.records[i] + "|" + before.memos[i];
            EXPECT_TRUE(live.count(key) > 0) << where << ": live record " << i + 1 << " is lost";
        }
        EXPECT_LE(after.count, before.count) << where;
        return;
    }
    if (sc.appends) {
        EXPECT_TRUE(after.count == before.count || after.count == before.count + 1) << where;
    } else {
        EXPECT_EQ(after.count, before.count) << where;
    }
    for (int32_t r = 1; r <= std::min(before.count, after.count); ++r) {
        const size_t i = static_cast<size_t>(r - 1);
        if (sc.written.count(r)) {
            if (after.memos[i].rfind("<unreadable>", 0) == 0) ++found.writtenMemoLost;
            continue;
        }
        EXPECT_EQ(after.records[i], before.records[i]) << where << ": record " << r << " changed";
        EXPECT_EQ(after.memos[i], before.memos[i]) << where << ": the memo of record " << r << " changed";
    }
}

enum class Target { Write, Sync };

// Injects the fault at write (or sync) 1, 2, ... until the write goes through untouched.
inline Findings RunWithFaults(const Scenario& sc, Target target, FaultFileSystem::WriteFault how,
                              bool sticky, const char* mode) {
    FaultFileSystem fs;
    FaultFileSystem::Installed installed(fs);
    Findings found;
    for (int n = 1; n < 2000; ++n) {
        testutil::TempDir dir;
        const std::string path = dir.File("t.dbf");
        fs.Reset();
        sc.setup(path);
        const Snapshot before = Take(path, sc.version);
        EXPECT_TRUE(before.opened) << before.error;
        fs.Reset();
        if (target == Target::Write) {
            fs.FailWrite(n, how, sticky);
        } else {
            fs.FailSync(n, sticky);
        }
        bool raised = false;
        try {
            auto t = GSO_dBHandler::Open(path, true, false);
            sc.write(*t);
            t->CloseTable();
        } catch (const Exception&) {
            raised = true;
        }
        const bool fired = fs.FaultsInjected() > 0;
        const int ops = target == Target::Write ? fs.Writes() : fs.Syncs();
        fs.Reset();
        const std::string where = sc.name + " " + mode + " at " + std::to_string(n);
        if (!fired) {
            EXPECT_FALSE(raised) << where << ": the write failed without a fault";
            found.writes = ops;
            break;
        }
        ++found.faults;
        const Snapshot after = Take(path, sc.version);
        if (raised) {
            ++found.reportedFailures;
        } else if (sc.packedCount >= 0 && after.count == sc.packedCount) {
            ++found.passedOver;
        } else {
            // A failed write the engine does not report would be a failure taken for success.
            ADD_FAILURE() << where << ": a fault was injected but no error was raised";
        }
        Check(sc, before, after, where, found);
        if (::testing::Test::HasFatalFailure()) break;
    }
    std::printf("[ faults ] %s\n", Describe(sc.name, mode, found).c_str());
    return found;
}

// The four ways a write can fail: nothing or half written, once or from then on.
inline std::vector<Findings> RunAllWriteFaults(const Scenario& sc) {
    using WF = FaultFileSystem::WriteFault;
    return {RunWithFaults(sc, Target::Write, WF::Fail, false, "fail-once"),
            RunWithFaults(sc, Target::Write, WF::Short, false, "short-once"),
            RunWithFaults(sc, Target::Write, WF::Fail, true, "fail-on"),
            RunWithFaults(sc, Target::Write, WF::Short, true, "short-then-fail")};
}

inline int TotalFaults(const std::vector<Findings>& all) {
    int n = 0;
    for (const Findings& f : all) n += f.faults;
    return n;
}

}  // namespace faulttest
