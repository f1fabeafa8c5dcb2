// Table creation under failing writes and syncs, a crash that drops what was not synced,
// refused locks, and the fault file system's own behaviour.

#include <gtest/gtest.h>

#include "FaultHarness.h"
#include "engine/platform/LastError.h"
#include "engine/platform/Paths.h"

using namespace faulttest;
using platform::FaultFileSystem;

namespace {

std::vector<TgsFieldDef> Fields(bool memo) {
    std::vector<TgsFieldDef> f = {{"NAME", 'C', 10, 0}, {"AMOUNT", 'N', 8, 2}};
    if (memo) f.push_back({"NOTES", 'M', 0, 0});
    return f;
}

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.what();
    }
    return "<no exception>";
}

}  // namespace

// A creation that fails leaves no table and no memo file behind; one that succeeds
// leaves a table that opens empty.
TEST(CreateFaults, FailedCreationLeavesNothingBehind) {
    FaultFileSystem fs;
    FaultFileSystem::Installed installed(fs);
    struct Case {
        uint8_t version;
        bool memo;
        const char* memoExt;
    } cases[] = {{gsVersionDBase3, false, ""},
                 {gsVersionDBase3Memo, true, ".dbt"},
                 {gsVersionDBase4Memo, true, ".dbt"},
                 {gsVersionFoxPro, true, ".fpt"},
                 {gsVersionVisualFox, true, ".fpt"}};
    using WF = FaultFileSystem::WriteFault;
    int faults = 0;
    for (const Case& c : cases) {
        for (int kind = 0; kind < 3; ++kind) {  // failed write, short write, failed sync
            for (int n = 1; n < 100; ++n) {
                testutil::TempDir dir;
                const std::string path = dir.File("new.dbf");
                fs.Reset();
                if (kind == 2) {
                    fs.FailSync(n);
                } else {
                    fs.FailWrite(n, kind == 0 ? WF::Fail : WF::Short);
                }
                const std::string error =
                    ErrorOf([&] { CreateDBFTable(path, c.version, Fields(c.memo)); });
                const bool fired = fs.FaultsInjected() > 0;
                fs.Reset();
                const std::string where =
                    "version " + std::to_string(c.version) + " kind " + std::to_string(kind) +
                    " at " + std::to_string(n);
                if (!fired) {
                    EXPECT_EQ(error, "<no exception>") << where;
                    auto t = GSO_dBHandler::Open(path, false, false);
                    EXPECT_EQ(t->RecordCount(), 0) << where;
                    break;
                }
                ++faults;
                EXPECT_NE(error, "<no exception>") << where;
                EXPECT_FALSE(platform::FileExists(path)) << where << ": a half-made table is left";
                if (c.memo) {
                    EXPECT_FALSE(platform::FileExists(dir.File(std::string("new") + c.memoExt)))
                        << where << ": a half-made memo file is left";
                }
            }
        }
    }
    std::printf("[ faults ] %-28s %d faults\n", "create (5 versions x 3)", faults);
    EXPECT_GE(faults, 15);
}

// After a crash the table is what its last flush made durable: it opens, its count is
// its whole records, and the flushed records and memos are there unchanged.
TEST(CrashFaults, CrashAtEveryWriteKeepsWhatWasFlushed) {
    using WF = FaultFileSystem::WriteFault;
    int crashes = 0;
    for (uint8_t v : {gsVersionDBase3Memo, gsVersionDBase4Memo, gsVersionFoxPro}) {
        FaultFileSystem fs;
        FaultFileSystem::Installed installed(fs);
        for (int n = 1; n < 200; ++n) {
            testutil::TempDir dir;
            const std::string path = dir.File("c.dbf");
            CreateDBFTable(path, v, Fields(true));
            {
                auto t = GSO_dBHandler::Open(path, true, false);
                for (int r = 1; r <= 3; ++r) {
                    t->BlankRecord();
                    t->PutTextByName("NAME", "F" + std::to_string(r));
                    const std::string text(300 * r, static_cast<char>('a' + r));
                    t->MemoWrite(kMemoField, text.data(), static_cast<int32_t>(text.size()));
                    t->AddRecord();
                }
                t->Flush();
            }
            const Snapshot flushed = Take(path, v);
            fs.Reset();
            fs.FailWrite(n, WF::Short, true);  // the machine stops at write n
            bool raised = false;
            try {
                auto t = GSO_dBHandler::Open(path, true, false);
                for (int r = 4; r <= 6; ++r) {
                    t->BlankRecord();
                    t->PutTextByName("NAME", "U" + std::to_string(r));
                    const std::string text(500, static_cast<char>('a' + r));
                    t->MemoWrite(kMemoField, text.data(), static_cast<int32_t>(text.size()));
                    t->AddRecord();
                }
                t->GoRecord(2);
                const std::string longer(2000, 'L');
                t->MemoWrite(kMemoField, longer.data(), static_cast<int32_t>(longer.size()));
                t->PutRecord(2);
                t->CloseTable();
            } catch (const Exception&) {
                raised = true;
            }
            const bool fired = fs.FaultsInjected() > 0;
            ASSERT_EQ(fs.Crash(), 0);
            fs.Reset();
            if (!fired) {
                EXPECT_FALSE(raised);
                break;
            }
            ++crashes;
            const Snapshot after = Take(path, v);
            ASSERT_TRUE(after.opened) << after.error;
            EXPECT_EQ(after.count, after.wholeRecords);
            EXPECT_EQ(after.storedCount, static_cast<uint32_t>(after.wholeRecords));
            ASSERT_EQ(after.count, flushed.count) << "nothing unflushed survives a crash";
            EXPECT_EQ(after.records, flushed.records);
            EXPECT_EQ(after.memos, flushed.memos);
        }
    }
    std::printf("[ faults ] %-28s %d crashes\n", "crash (3 memo kinds)", crashes);
    EXPECT_GT(crashes, 10);
}

namespace {

// A handler whose index files cannot be locked.
class LockRefusingTable : public GSO_dBHandler {
public:
    using GSO_dBHandler::GSO_dBHandler;
    bool LockIndexFiles() override {
        ++attempts;
        platform::SetLastError(platform::kLockViolation);
        return false;
    }
    int attempts = 0;
};

}  // namespace

TEST(LockFaults, RefusedIndexLockFailsTheWriteAndWritesNothing) {
    testutil::TempDir dir;
    const std::string path = dir.File("l.dbf");
    CreateDBFTable(path, gsVersionDBase3, Fields(false));
    {
        auto t = GSO_dBHandler::Open(path, true, false);
        t->BlankRecord();
        t->PutTextByName("NAME", "KEEP");
        t->AddRecord();
    }
    const std::vector<uint8_t> before = testutil::ReadBytes(path);
    LockRefusingTable t(path, true, false);
    t.OpenTable();
    t.GoRecord(1);
    t.PutTextByName("NAME", "LOST");
    platform::SetLastError(0);
    EXPECT_NE(ErrorOf([&] { t.PutRecord(1); }).find("Record locked by another user"), std::string::npos);
    EXPECT_EQ(platform::GetLastError(), platform::kLockViolation);
    t.BlankRecord();
    EXPECT_NE(ErrorOf([&] { t.AddRecord(); }).find("Record locked by another user"), std::string::npos);
    EXPECT_EQ(t.attempts, 2);
    EXPECT_EQ(t.RecordCount(), 1);
    t.CloseTable();
    EXPECT_EQ(testutil::ReadBytes(path), before);
}

TEST(LockFaults, RefusedTableAndMemoLocksFailSharedWrites) {
    FaultFileSystem fs;
    FaultFileSystem::Installed installed(fs);
    testutil::TempDir dir;
    const std::string path = dir.File("s.dbf");
    CreateDBFTable(path, gsVersionDBase3Memo, Fields(true));
    {
        auto t = GSO_dBHandler::Open(path, true, false);
        t->BlankRecord();
        t->PutTextByName("NAME", "KEEP");
        t->AddRecord();
    }
    const std::vector<uint8_t> table = testutil::ReadBytes(path);
    const std::vector<uint8_t> memo = testutil::ReadBytes(dir.File("s.dbt"));
    auto t = GSO_dBHandler::Open(path, true, true);
    fs.RefuseLocks(true);
    t->BlankRecord();
    EXPECT_NE(ErrorOf([&] { t->AddRecord(); }).find("Record locked by another user"), std::string::npos);
    t->GoRecord(1);
    const std::string text(50, 'x');
    EXPECT_NE(ErrorOf([&] { t->MemoWrite(kMemoField, text.data(), 50); }), "<no exception>");
    EXPECT_GT(fs.FaultsInjected(), 0);
    fs.RefuseLocks(false);
    t->CloseTable();
    EXPECT_EQ(testutil::ReadBytes(path), table);
    EXPECT_EQ(testutil::ReadBytes(dir.File("s.dbt")), memo);
}

// The fault file system itself.
TEST(FaultFileSystem, ShortWritesHalfAndCrashRestoresTheSyncedContent) {
    FaultFileSystem fs;
    testutil::TempDir dir;
    const std::string path = dir.File("f.bin");
    ASSERT_EQ(fs.Create(path), 0);
    std::unique_ptr<platform::SysFile> f;
    ASSERT_EQ(fs.Open(path, true, false, f), 0);
    ASSERT_EQ(f->WriteAt(0, "synced", 6), 0);
    ASSERT_EQ(f->Sync(), 0);
    fs.FailWrite(2, FaultFileSystem::WriteFault::Short);
    ASSERT_EQ(f->WriteAt(6, "+more", 5), 0);
    EXPECT_EQ(f->WriteAt(0, "ABCDEFGH", 8), platform::kDiskFull);
    EXPECT_EQ(fs.FaultsInjected(), 1);
    EXPECT_EQ(testutil::ReadText(path), "ABCDed+more");  // half of the failed write landed
    ASSERT_EQ(f->Truncate(3), 0);
    f.reset();
    ASSERT_EQ(fs.Crash(), 0);
    EXPECT_EQ(testutil::ReadText(path), "synced");
}

TEST(FaultFileSystem, HandlesOpenAtACrashAreDeadAndLocksCanBeRefused) {
    FaultFileSystem fs;
    testutil::TempDir dir;
    const std::string path = dir.File("g.bin");
    ASSERT_EQ(fs.Create(path), 0);
    std::unique_ptr<platform::SysFile> f;
    ASSERT_EQ(fs.Open(path, true, true, f), 0);
    fs.RefuseLocks(true);
    EXPECT_EQ(f->LockRange(10, 1), platform::kLockViolation);
    fs.RefuseLocks(false);
    EXPECT_EQ(f->LockRange(10, 1), 0);
    EXPECT_EQ(f->UnlockRange(10, 1), 0);
    fs.FailSync(1, true);
    ASSERT_EQ(f->WriteAt(0, "x", 1), 0);
    EXPECT_EQ(f->Sync(), platform::kDiskFull);
    EXPECT_EQ(f->Sync(), platform::kDiskFull);  // sticky
    EXPECT_EQ(fs.Crash(), 0);
    EXPECT_EQ(f->WriteAt(0, "y", 1), platform::kInvalidHandle);
    EXPECT_EQ(testutil::ReadText(path), "");  // the write was never synced
}
