#include <gtest/gtest.h>

#include "engine/Exception.h"
#include "engine/platform/Clock.h"
#include "engine/platform/Paths.h"
#include "TableFixture.h"

using namespace tabletest;
using testutil::TempDir;

namespace {

TEST(TableWrite, AppendWritesTheRecordTheMarkerAndTheHeader) {
    TempDir dir;
    std::string p = dir.File("a.dbf");
    MakePeople(p, 0);
    auto old = platform::SetClock(std::make_shared<platform::FixedClock>(
        platform::DateTime{2003, 4, 5, 6, 7, 8, 9}));
    {
        auto t = GSO_dBHandler::Open(p, true, false);
        t->BlankRecord();
        t->PutTextByName("NAME", "ONE");
        t->AddRecord();
        EXPECT_EQ(t->RecordNumber(), 1);
        EXPECT_FALSE(t->Eof());
    }
    platform::SetClock(old);
    std::vector<uint8_t> b = testutil::ReadBytes(p);
    const size_t hl = b[8] | (b[9] << 8), rl = b[10] | (b[11] << 8);
    ASSERT_EQ(b.size(), hl + rl + 1);
    EXPECT_EQ(b.back(), 0x1A);
    EXPECT_EQ(b[hl], ' ');
    EXPECT_EQ(std::string(b.begin() + hl + 1, b.begin() + hl + 4), "ONE");
    EXPECT_EQ(b[1], 3);
    EXPECT_EQ(b[2], 4);
    EXPECT_EQ(b[3], 5);
    EXPECT_EQ(b[4], 1);
}

TEST(TableWrite, MissingEndMarkerAndTrustedSize) {
    TempDir dir;
    std::string p = dir.File("nm.dbf");
    MakePeople(p, 3);
    std::vector<uint8_t> b = testutil::ReadBytes(p);
    b.pop_back();  // drop the 1A
    b[4] = 100;    // and claim more records than there are
    testutil::WriteBytes(p, b);
    {
        auto t = GSO_dBHandler::Open(p, true, false);
        EXPECT_EQ(t->RecordCount(), 3);
        t->BlankRecord();
        t->PutTextByName("NAME", "FOUR");
        t->PutRecord(0);  // record number 0 appends
        EXPECT_EQ(t->RecordCount(), 4);
    }
    b = testutil::ReadBytes(p);
    EXPECT_EQ(b.back(), 0x1A);
    EXPECT_EQ(b[4], 4);
    auto t = GSO_dBHandler::Open(p, false, false);
    t->GoRecord(4);
    EXPECT_EQ(NameOf(*t), "FOUR");
}

TEST(TableWrite, RewriteDeleteAndRecall) {
    TempDir dir;
    std::string p = dir.File("r.dbf");
    MakePeople(p, 3);
    auto t = GSO_dBHandler::Open(p, true, false);
    t->GoRecord(2);
    t->PutTextByName("NAME", "TWO");
    EXPECT_EQ(NameOf(*t), "TWO");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(t->SavedCopy()) + 1, 2), "R2");
    t->PutRecord(2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(t->SavedCopy()) + 1, 3), "TWO");
    t->DeleteRecord();
    t->GoRecord(1);
    t->GoRecord(2);
    EXPECT_TRUE(t->IsDeleted());
    t->RecallRecord();
    t->GoRecord(2);
    EXPECT_FALSE(t->IsDeleted());
    EXPECT_EQ(NameOf(*t), "TWO");
}

TEST(TableWrite, PackKeepsTheLiveRecords) {
    TempDir dir;
    std::string p = dir.File("pk.dbf");
    MakePeople(p, 5);
    auto t = GSO_dBHandler::Open(p, true, false);
    t->GoRecord(2);
    t->DeleteRecord();
    t->GoRecord(4);
    t->DeleteRecord();
    std::vector<std::tuple<int, int, int>> reports;
    struct Watch : GSO_dBHandler {
        using GSO_dBHandler::GSO_dBHandler;
        std::vector<std::tuple<int, int, int>>* out = nullptr;
        void StatusReport(int a, int b, int c) override { out->emplace_back(a, b, c); }
    };
    t.reset();
    Watch w(p, true, false);
    w.out = &reports;
    w.OpenTable();
    w.PackTable();
    EXPECT_EQ(w.RecordCount(), 3);
    EXPECT_EQ(w.RecordNumber(), 1);
    EXPECT_EQ(NameOf(w), "R1");
    w.GoRecord(2);
    EXPECT_EQ(NameOf(w), "R3");
    w.GoRecord(3);
    EXPECT_EQ(NameOf(w), "R5");
    EXPECT_EQ(testutil::ReadBytes(p)[4], 3);  // the header already holds the new count
    ASSERT_EQ(reports.size(), 7u);
    EXPECT_EQ(reports.front(), std::make_tuple(-1, 11, 5));
    EXPECT_EQ(reports[3], std::make_tuple(11, 3, 0));
    EXPECT_EQ(reports.back(), std::make_tuple(0, 0, 0));
    w.CloseTable();
    std::vector<uint8_t> b = testutil::ReadBytes(p);
    const size_t hl = b[8] | (b[9] << 8), rl = b[10] | (b[11] << 8);
    EXPECT_EQ(b.size(), hl + 3 * rl + 1);
    EXPECT_EQ(b.back(), 0x1A);
    EXPECT_EQ(b[4], 3);
}

TEST(TableWrite, PackingASharedTableIsRefused) {
    TempDir dir;
    std::string p = dir.File("ps.dbf");
    MakePeople(p, 2);
    auto t = GSO_dBHandler::Open(p, true, true);
    EXPECT_EQ(ErrorOf([&] { t->PackTable(); }), "File access denied - " + p);
    EXPECT_EQ(t->RecordCount(), 2);
}

TEST(TableWrite, LockRegionsFollowTheProtocol) {
    TempDir dir;
    std::string p = dir.File("lk.dbf");
    MakePeople(p, 3);
    auto t = GSO_dBHandler::Open(p, true, true);
    t->GoRecord(3);
    ASSERT_TRUE(t->LockRecord());
    EXPECT_EQ(t->LockOffset(), 0x40000000u + t->HeaderLength() + 2u * t->RecordLength());
    EXPECT_EQ(t->LockLength(), 1u);
    // One region at a time: the header cannot be locked beside the record.
    EXPECT_FALSE(t->LockHeader());
    EXPECT_TRUE(t->Unlock());
    t->SetLockProtocol(static_cast<int>(TgsLokProtocol::DB4Lock));
    t->GoRecord(1);
    ASSERT_TRUE(t->LockRecord());
    EXPECT_EQ(t->LockOffset(), 0xEFFFFFFDu);
    EXPECT_TRUE(t->Unlock());
    t->SetLockProtocol(static_cast<int>(TgsLokProtocol::ClipLock));
    ASSERT_TRUE(t->LockHeader());
    EXPECT_EQ(t->LockOffset(), 1000000000u);
    EXPECT_TRUE(t->Unlock());
    t->SetLockProtocol(7);  // unknown: constants stay, record locks fail
    EXPECT_FALSE(t->LockRecord());
    EXPECT_EQ(t->LockConstants().recordBase, 1000000000u);
}

TEST(TableWrite, TableLockHoldsBackHeaderWritesUntilUnlock) {
    TempDir dir;
    std::string p = dir.File("tl.dbf");
    MakePeople(p, 1);
    auto t = GSO_dBHandler::Open(p, true, true);
    ASSERT_TRUE(t->LockTable());
    EXPECT_TRUE(t->TableLocked());
    EXPECT_EQ(t->LockLength(), 0x3FFFFFFFu);
    EXPECT_TRUE(t->LockRecord());  // implied by the table lock
    t->BlankRecord();
    t->PutTextByName("NAME", "X");
    t->AddRecord();
    EXPECT_TRUE(t->TableLocked());  // appending keeps the table lock
    EXPECT_EQ(testutil::ReadBytes(p)[4], 1);  // header write deferred
    EXPECT_TRUE(t->HeaderDirty());
    EXPECT_TRUE(t->Unlock());
    EXPECT_FALSE(t->TableLocked());
    EXPECT_FALSE(t->HeaderDirty());
    EXPECT_EQ(testutil::ReadBytes(p)[4], 2);
    ASSERT_TRUE(t->LockTableFromStart());
    EXPECT_EQ(t->LockOffset(), 0u);
    EXPECT_TRUE(t->Unlock());
}

TEST(TableWrite, AppendWhileHoldingARecordLockInSharedUse) {
    TempDir dir;
    std::string p = dir.File("al.dbf");
    MakePeople(p, 2);
    auto t = GSO_dBHandler::Open(p, true, true);
    t->GoRecord(1);
    ASSERT_TRUE(t->LockRecord());
    t->BlankRecord();
    t->PutTextByName("NAME", "NEW");
    t->AddRecord();
    EXPECT_EQ(t->RecordCount(), 3);
    EXPECT_EQ(t->LockCount(), 1);  // the record lock is still held
    EXPECT_TRUE(t->Unlock());
}

TEST(TableWrite, AppendFailsCleanlyWhileAnotherProgramHoldsTheHeader) {
    TempDir dir;
    std::string p = dir.File("hl.dbf");
    MakePeople(p, 1);
    testutil::Pipe toChild, toParent;
    pid_t pid = testutil::Spawn([&] {
        auto other = GSO_dBHandler::Open(p, true, true);
        if (!other->LockHeader()) return 1;
        toParent.Send('L');
        toChild.Receive();
        return 0;
    });
    ASSERT_EQ(toParent.Receive(), 'L');
    auto t = GSO_dBHandler::Open(p, true, true);
    t->BlankRecord();
    std::string msg = ErrorOf([&] { t->AddRecord(); });
    EXPECT_EQ(msg, "Record locked by another user - " + p);
    EXPECT_EQ(t->RecordCount(), 1);
    toChild.Send('g');
    EXPECT_EQ(testutil::Wait(pid), 0);
    EXPECT_EQ(testutil::ReadBytes(p).size(), t->HeaderLength() + t->RecordLength() + 1u);
    t->AddRecord();  // the lock is free again
    EXPECT_EQ(t->RecordCount(), 2);
}

TEST(TableWrite, RenameTakesTheMemoFileAlong) {
    TempDir dir;
    std::string p = dir.File("old.dbf");
    MakePeople(p, 1, 0x83);
    {
        auto t = GSO_dBHandler::Open(p, true, false);
        t->GoRecord(1);
        std::string memo = "memo text";
        t->MemoWrite(5, memo.data(), static_cast<int32_t>(memo.size()));
        t->PutRecord(1);
        t->Rename(dir.File("new.dbf"));
        EXPECT_EQ(t->RealPath(), dir.File("new.dbf"));
    }
    EXPECT_FALSE(platform::FileExists(p));
    EXPECT_FALSE(platform::FileExists(dir.File("old.dbt")));
    ASSERT_TRUE(platform::FileExists(dir.File("new.dbt")));
    auto t = GSO_dBHandler::Open(dir.File("NEW.DBF"), false, false);
    t->GoRecord(1);
    EXPECT_EQ(t->MemoText(5), "memo text");
}

TEST(TableWrite, HeaderCountIsCorrectedAtTheNextWrite) {
    TempDir dir;
    std::string p = dir.File("hc.dbf");
    MakePeople(p, 97);
    std::vector<uint8_t> b = testutil::ReadBytes(p);
    b[4] = 100;
    testutil::WriteBytes(p, b);
    {
        auto t = GSO_dBHandler::Open(p, true, false);
        t->GoRecord(5);
        t->PutRecord(5);
    }
    EXPECT_EQ(testutil::ReadBytes(p)[4], 97);
}

}  // namespace

namespace {

TEST(TableWrite, PackGoesOnPastADamagedMemoReference) {
    TempDir dir;
    std::string p = dir.File("dm.dbf");
    MakePeople(p, 3, 0x8B);
    {
        auto t = GSO_dBHandler::Open(p, true, false);
        t->GoRecord(2);
        t->PutText(5, "9999");  // a block far beyond the memo file
        t->PutRecord(2);
        t->DeleteRecord();
        t->PackTable();
        EXPECT_EQ(t->RecordCount(), 2);
        t->GoRecord(2);
        EXPECT_EQ(NameOf(*t), "R3");
    }
    std::vector<uint8_t> b = testutil::ReadBytes(p);
    EXPECT_EQ(b[4], 2);
}

}  // namespace
