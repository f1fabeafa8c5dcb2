// What the table object must survive: several processes appending to one shared table, a
// writer killed at any moment, two processes writing memos to one shared memo file,
// packing with memos of every kind, and an append that would pass the 2 GiB limit.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "engine/DbfCreate.h"
#include "engine/Exception.h"
#include "engine/FieldText.h"
#include "engine/Memo.h"
#include "engine/dBHandler.h"

namespace {

using testutil::Spawn;
using testutil::TempDir;
using testutil::Wait;

int64_t SizeOf(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
}

uint32_t StoredCount(const std::string& path) {
    const auto b = testutil::ReadBytes(path);
    if (b.size() < 8) return 0;
    return b[4] | (b[5] << 8) | (b[6] << 16) | (static_cast<uint32_t>(b[7]) << 24);
}

// ---- four appenders -------------------------------------------------------------------

TEST(TableReliability, FourProcessesAppendingToOneSharedTableWriteEveryRecordOnce) {
    TempDir dir;
    const std::string path = dir.File("app.dbf");
    CreateDBFTable(path, 0x03, {{"W", 'N', 2, 0}, {"I", 'N', 6, 0}, {"TXT", 'C', 40, 0}});
    constexpr int kWriters = 4, kRecords = 5000;
    std::vector<pid_t> kids;
    for (int w = 0; w < kWriters; ++w) {
        kids.push_back(Spawn([&, w] {
            auto t = GSO_dBHandler::Open(path, true, true);
            for (int i = 0; i < kRecords; ++i) {
                t->BlankRecord();
                t->PutNumber(1, w);
                t->PutNumber(2, i);
                t->PutText(3, "writer " + std::to_string(w) + " record " + std::to_string(i));
                t->AddRecord();
            }
            t->CloseTable();
            return 0;
        }));
    }
    for (pid_t k : kids) EXPECT_EQ(Wait(k), 0);

    auto t = GSO_dBHandler::Open(path, false, false);
    ASSERT_EQ(t->RecordCount(), kWriters * kRecords);
    EXPECT_EQ(StoredCount(path), static_cast<uint32_t>(kWriters * kRecords));
    EXPECT_EQ(SizeOf(path), t->HeaderLength() + static_cast<int64_t>(t->RecordLength()) * kWriters * kRecords + 1);
    std::set<std::pair<int, int>> seen;
    t->SetReadAhead(true);
    for (t->GoRecord(gsMoveTop); !t->Eof(); t->GoRecord(gsMoveNext)) {
        const int w = static_cast<int>(t->GetNumber(1)), i = static_cast<int>(t->GetNumber(2));
        ASSERT_EQ(TrimRightBlanks(t->GetText(3)), "writer " + std::to_string(w) + " record " + std::to_string(i))
            << "record " << t->RecordNumber();
        EXPECT_TRUE(seen.insert({w, i}).second) << "record " << t->RecordNumber() << " repeats " << w << "/" << i;
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(kWriters * kRecords));
}

// ---- a writer killed at random moments ------------------------------------------------

// Record r, version v: every field follows from (r, v), so a torn or misplaced record
// shows.
std::string Pattern(int r, int v) {
    std::string s;
    for (int k = 0; k < 150; ++k) s += static_cast<char>('A' + (r * 7 + v * 13 + k) % 26);
    return s;
}

void FillImage(GSO_dBHandler& t, int r, int v) {
    t.BlankRecord();
    t.PutNumber(1, r);
    t.PutNumber(2, v);
    t.PutText(3, Pattern(r, v));
    t.PutNumber(4, (r * 31 + v * 17) % 100000);
}

// The stored bytes of image (r, v), deletion flag included.
std::string ImageBytes(int r, int v) {
    return " " + FormatFieldNumber(r, 8, 0) + FormatFieldNumber(v, 8, 0) + Pattern(r, v) +
           FormatFieldNumber((r * 31 + v * 17) % 100000, 6, 0);
}

// Whether `raw` (record r at file offset `at`) is a whole image of r, or the one torn
// form the system can leave: a write that crosses a page boundary, cut off by the kill
// at that boundary (the new image before it, the old one after it). Sets `torn`.
bool OldOrNewImage(const std::string& raw, int r, int64_t at, int& version, bool& torn) {
    torn = false;
    double stored = 0;
    if (raw.size() < 17 || !ParseFieldNumber(raw.substr(9, 8), stored)) stored = -10;
    const int v = static_cast<int>(stored);
    if (v >= 0 && raw == ImageBytes(r, v)) {
        version = v;
        return true;
    }
    constexpr int64_t kPage = 4096;
    const size_t cut = static_cast<size_t>(kPage - at % kPage);
    if (cut >= raw.size()) return false;
    // The version field may lie on either side of the cut.
    for (int fresh = std::max(1, v - 1); fresh <= v + 1; ++fresh) {
        const std::string now = ImageBytes(r, fresh), before = ImageBytes(r, fresh - 1);
        if (raw.compare(0, cut, now, 0, cut) == 0 && raw.compare(cut, std::string::npos, before, cut) == 0) {
            version = fresh;
            torn = true;
            return true;
        }
    }
    return false;
}

TEST(TableReliability, AWriterKilledAtRandomMomentsLeavesOnlyWholeOldOrNewRecords) {
    TempDir dir;
    const std::string path = dir.File("kill.dbf");
    CreateDBFTable(path, 0x03, {{"R", 'N', 8, 0}, {"V", 'N', 8, 0}, {"PAD", 'C', 150, 0}, {"CHK", 'N', 6, 0}});
    {
        auto t = GSO_dBHandler::Open(path, true, false);
        for (int r = 1; r <= 40; ++r) {
            FillImage(*t, r, 0);
            t->AddRecord();
        }
    }
    std::mt19937 rng(20261208);
    constexpr int kKills = 40;
    int killedWhileRunning = 0;
    int tornAtPageBoundary = 0;
    std::map<int, int> lastVersion;  // the highest version seen per record, never going back
    for (int round = 0; round < kKills; ++round) {
        const unsigned seed = rng();
        const pid_t kid = Spawn([&] {
            std::mt19937 local(seed);
            auto t = GSO_dBHandler::Open(path, true, round % 2 == 1);
            for (;;) {
                const int count = t->RecordCount();
                if (local() % 3 == 0) {
                    FillImage(*t, count + 1, 0);
                    t->AddRecord();
                } else {
                    const int r = 1 + static_cast<int>(local() % static_cast<unsigned>(count));
                    t->GoRecord(r);
                    const int v = static_cast<int>(t->GetNumber(2)) + 1;
                    FillImage(*t, r, v);
                    t->PutRecord(r);
                }
            }
            return 0;
        });
        usleep(2000 + static_cast<useconds_t>(rng() % 25000));
        kill(kid, SIGKILL);
        if (Wait(kid) == 128 + SIGKILL) ++killedWhileRunning;

        auto t = GSO_dBHandler::Open(path, true, false);
        const int64_t size = SizeOf(path);
        const int count = t->RecordCount();
        ASSERT_EQ(count, (size - t->HeaderLength()) / t->RecordLength()) << "round " << round;
        // The header's count lags by at most the one record whose header write was cut off.
        const uint32_t stored = StoredCount(path);
        EXPECT_TRUE(stored == static_cast<uint32_t>(count) || stored + 1 == static_cast<uint32_t>(count))
            << "round " << round << ": header says " << stored << ", file holds " << count;
        for (int r = 1; r <= count; ++r) {
            t->GoRecord(r);
            const std::string raw(reinterpret_cast<const char*>(t->CurrentBuffer()), t->RecordLength());
            int v = -1;
            bool torn = false;
            ASSERT_TRUE(OldOrNewImage(raw, r, t->HeaderLength() + static_cast<int64_t>(r - 1) * t->RecordLength(), v, torn))
                << "round " << round << " record " << r << ": " << raw;
            if (torn) {
                ++tornAtPageBoundary;
                // Repair it as a program would, so that later rounds start from whole images.
                FillImage(*t, r, v);
                t->PutRecord(r);
            }
            ASSERT_GE(v, lastVersion[r]) << "record " << r << " went back to an older image";
            lastVersion[r] = v;
        }
    }
    EXPECT_EQ(killedWhileRunning, kKills);
    // A write that crosses a page boundary is not atomic under SIGKILL on this system;
    // it is rare (the kill must land inside that one write), so report what was seen.
    RecordProperty("torn_at_page_boundary", tornAtPageBoundary);
    std::printf("kills: %d, records torn at a page boundary: %d\n", kKills, tornAtPageBoundary);
}

// ---- two processes writing memos --------------------------------------------------------

std::string MemoText(int w, int i, int v) {
    std::string s = "w" + std::to_string(w) + " i" + std::to_string(i) + " v" + std::to_string(v) + ":";
    const int len = 1 + (i * 397 + w * 101 + v * 53) % 2600;
    while (static_cast<int>(s.size()) < len) s += static_cast<char>('a' + (s.size() + i + w) % 26);
    return s.substr(0, static_cast<size_t>(len));
}

class SharedMemoWriters : public ::testing::TestWithParam<uint8_t> {};

TEST_P(SharedMemoWriters, TwoProcessesWritingOneMemoFileKeepEveryMemoIntact) {
    TempDir dir;
    const std::string path = dir.File("memo.dbf");
    CreateDBFTable(path, GetParam(), {{"W", 'N', 2, 0}, {"I", 'N', 6, 0}, {"V", 'N', 4, 0}, {"NOTES", 'M', 0, 0}});
    constexpr int kWriters = 2, kRecords = 150;
    std::vector<pid_t> kids;
    for (int w = 0; w < kWriters; ++w) {
        kids.push_back(Spawn([&, w] {
            auto t = GSO_dBHandler::Open(path, true, true);
            std::vector<int> mine;
            for (int i = 0; i < kRecords; ++i) {
                t->BlankRecord();
                t->PutNumber(1, w);
                t->PutNumber(2, i);
                t->PutNumber(3, 0);
                const std::string text = MemoText(w, i, 0);
                t->MemoWrite(4, text.data(), static_cast<int32_t>(text.size()));
                t->AddRecord();
                mine.push_back(t->RecordNumber());
                if (i % 3 == 2) {
                    // Rewrite an earlier memo of this writer: its blocks go back to the
                    // free chain (dBase IV) or are reused in place while others write.
                    const int r = mine[static_cast<size_t>(i / 2)];
                    t->GoRecord(r);
                    const int ii = static_cast<int>(t->GetNumber(2));
                    const int v = static_cast<int>(t->GetNumber(3)) + 1;
                    const std::string again = MemoText(w, ii, v);
                    t->MemoWrite(4, again.data(), static_cast<int32_t>(again.size()));
                    t->PutNumber(3, v);
                    t->PutRecord(r);
                }
            }
            t->CloseTable();
            return 0;
        }));
    }
    for (pid_t k : kids) EXPECT_EQ(Wait(k), 0);
    auto t = GSO_dBHandler::Open(path, false, false);
    ASSERT_EQ(t->RecordCount(), kWriters * kRecords);
    std::set<int32_t> blocks;
    for (int r = 1; r <= t->RecordCount(); ++r) {
        t->GoRecord(r);
        const int w = static_cast<int>(t->GetNumber(1)), i = static_cast<int>(t->GetNumber(2)),
                  v = static_cast<int>(t->GetNumber(3));
        EXPECT_EQ(t->MemoText(4), MemoText(w, i, v)) << "record " << r;
        EXPECT_TRUE(blocks.insert(static_cast<int32_t>(t->GetNumber(4))).second) << "block shared, record " << r;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryMemoKind, SharedMemoWriters, ::testing::Values(0x83, 0x8B, 0xF5),
                         [](const auto& info) { return "v" + std::to_string(info.param); });

// ---- pack with memos ------------------------------------------------------------------

class PackWithMemos : public ::testing::TestWithParam<uint8_t> {};

TEST_P(PackWithMemos, KeepsTheMemosOfKeptRecordsAndFreesTheOthers) {
    TempDir dir;
    const std::string path = dir.File("pack.dbf");
    CreateDBFTable(path, GetParam(), {{"I", 'N', 4, 0}, {"NOTES", 'M', 0, 0}});
    auto t = GSO_dBHandler::Open(path, true, false);
    auto text = [](int i) { return std::string(static_cast<size_t>(100 + i * 300), static_cast<char>('a' + i)); };
    for (int i = 1; i <= 10; ++i) {
        t->BlankRecord();
        t->PutNumber(1, i);
        const std::string s = text(i);
        t->MemoWrite(2, s.data(), static_cast<int32_t>(s.size()));
        t->AddRecord();
    }
    std::vector<int32_t> freed;
    for (int r : {2, 4, 7}) {
        t->GoRecord(r);
        freed.push_back(static_cast<int32_t>(t->GetNumber(2)));
        t->DeleteRecord();
    }
    t->PackTable();
    ASSERT_EQ(t->RecordCount(), 7);
    const std::vector<int> kept = {1, 3, 5, 6, 8, 9, 10};
    for (int r = 1; r <= 7; ++r) {
        t->GoRecord(r);
        const int i = static_cast<int>(t->GetNumber(1));
        EXPECT_EQ(i, kept[static_cast<size_t>(r - 1)]);
        EXPECT_EQ(t->MemoText(2), text(i)) << "record " << r;
    }
    EXPECT_EQ(SizeOf(path), t->HeaderLength() + 7 * t->RecordLength() + 1);
    if (GetParam() == 0x8B) {
        // The freed runs are chained, the last freed first; a new memo that fits takes
        // the head of the chain (first fit), the next one the run after it.
        GSobjMemo* memo = t->MemoFile(2);
        ASSERT_NE(memo, nullptr);
        const auto dbt = testutil::ReadBytes(dir.File("pack.dbt"));
        const int32_t head = dbt[0] | (dbt[1] << 8) | (dbt[2] << 16) | (dbt[3] << 24);
        EXPECT_EQ(head, freed[2]);
        t->BlankRecord();
        t->PutNumber(1, 11);
        const std::string small(50, 'z');
        t->MemoWrite(2, small.data(), static_cast<int32_t>(small.size()));
        EXPECT_EQ(static_cast<int32_t>(t->GetNumber(2)), freed[2]);
        t->AddRecord();
        t->BlankRecord();
        t->MemoWrite(2, small.data(), static_cast<int32_t>(small.size()));
        // The first run (record 7's, 2,200 bytes) had room left after the first memo.
        EXPECT_EQ(static_cast<int32_t>(t->GetNumber(2)), freed[2] + 1);
        t->AddRecord();
        t->GoRecord(8);
        EXPECT_EQ(t->MemoText(2), small);
        t->GoRecord(3);
        EXPECT_EQ(t->MemoText(2), text(5));
    }
}

INSTANTIATE_TEST_SUITE_P(EveryMemoKind, PackWithMemos, ::testing::Values(0x83, 0x8B, 0xF5, 0x30),
                         [](const auto& info) { return "v" + std::to_string(info.param); });

// ---- the 2 GiB limit ------------------------------------------------------------------

TEST(TableReliability, AnAppendPastTwoGibFailsAndLeavesTheFileAsItWas) {
    TempDir dir;
    const std::string path = dir.File("big.dbf");
    CreateDBFTable(path, 0x03, {{"A", 'C', 100, 0}});
    int64_t hdr = 0, rec = 0;
    {
        auto t = GSO_dBHandler::Open(path, false, false);
        hdr = t->HeaderLength();
        rec = t->RecordLength();
    }
    // As many whole records as fit so that the next record and its end mark do not.
    const int64_t k = (0x7FFFFFFFLL - 1 - hdr) / rec;
    ASSERT_GT(hdr + (k + 1) * rec + 1, 0x7FFFFFFFLL);
    const int fd = open(path.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    if (ftruncate(fd, hdr + k * rec) != 0) {
        close(fd);
        GTEST_SKIP() << "no sparse files here";
    }
    const char eof = 0x1A;
    ASSERT_EQ(pwrite(fd, &eof, 1, hdr + k * rec), 1);
    close(fd);
    const int64_t sizeBefore = SizeOf(path);
    const auto headBefore = [&] {
        std::vector<uint8_t> b(static_cast<size_t>(hdr));
        const int f = open(path.c_str(), O_RDONLY);
        const ssize_t got = f >= 0 ? pread(f, b.data(), b.size(), 0) : -1;
        if (f >= 0) close(f);
        b.resize(got > 0 ? static_cast<size_t>(got) : 0);
        return b;
    };
    std::vector<uint8_t> head = headBefore();
    {
        auto t = GSO_dBHandler::Open(path, true, false);
        ASSERT_EQ(t->RecordCount(), k);
        t->BlankRecord();
        t->PutText(1, "one too many");
        try {
            t->AddRecord();
            ADD_FAILURE() << "the append past 2 GiB succeeded";
        } catch (const ERidedezError& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
        EXPECT_EQ(t->RecordCount(), k);
        t->CloseTable();
    }
    EXPECT_EQ(SizeOf(path), sizeBefore);
    EXPECT_EQ(headBefore(), head);
    // The same through the tool.
    auto r = testutil::Run(std::string(XB_DBF_TOOL) + " append " + path, "{\"A\": \"x\"}\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("line 1: "), std::string::npos) << r.err;
    EXPECT_EQ(SizeOf(path), sizeBefore);
}

}  // namespace

// ---- hostile memo block numbers -------------------------------------------------------

TEST(TableReliability, AMemoBlockNumberOutside32BitsIsACleanError) {
    TempDir dir;
    int round = 0;
    for (const char* stored : {"9999999999", "     -5e10", "     1e999", "    -1e300"}) {
        SCOPED_TRACE(stored);
        const std::string path = dir.File("hostile" + std::to_string(++round) + ".dbf");
        CreateDBFTable(path, 0x83, {{"NOTES", 'M', 0, 0}});
        {
            auto t = GSO_dBHandler::Open(path, true, false);
            t->BlankRecord();
            t->PutText(1, stored);
            t->AddRecord();
        }
        {
            auto r = testutil::Run(std::string(XB_DBF_TOOL) + " dump --deleted " + path);
            EXPECT_EQ(r.status, 1);
            EXPECT_NE(r.err.find("memo block number"), std::string::npos) << r.err;
        }
        auto t = GSO_dBHandler::Open(path, true, false);
        t->GoRecord(gsMoveTop);
        EXPECT_THROW(t->MemoText(1), ERidedezError);
        EXPECT_THROW(t->MemoSize(1), ERidedezError);
        char buf[8];
        EXPECT_THROW(t->MemoRead(1, buf, sizeof buf), ERidedezError);
        EXPECT_THROW(t->MemoWrite(1, "x", 1), ERidedezError);
        try {
            t->MemoText(1);
        } catch (const ERidedezError& e) {
            EXPECT_NE(std::string(e.what()).find("hostile" + std::to_string(round) + "->NOTES: the memo block number"),
                      std::string::npos)
                << e.what();
        }
        ASSERT_EQ(t->GetText(1), std::string(stored));
        // Packing meets the same number in a deleted record: the record goes, its blocks
        // (there are none) are not reclaimed, and the pack is not stopped half way.
        t->DeleteRecord();
        t->PackTable();
        EXPECT_EQ(t->RecordCount(), 0);
        t->CloseTable();
        auto r = testutil::Run(std::string(XB_DBF_TOOL) + " dump --deleted " + path);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "");
    }
}
