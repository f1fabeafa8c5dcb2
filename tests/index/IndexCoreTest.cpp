// The record bit set, the lock placement of the four protocols and the index lock with
// its retries against another process.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "IndexTestSupport.h"
#include "engine/Exception.h"
#include "engine/LockProtocol.h"
#include "index/core/TgsHugeSet.h"
#include "index/ntx/GSobjNTXFile.h"

using namespace indextest;

TEST(IndexCoreHugeSet, BitsAcrossBlocks) {
    TgsHugeSet set;
    EXPECT_EQ(set.Highest(), -1);
    EXPECT_FALSE(set.TestBit(0));
    set.SetBit(0, TgsBitOperation::Set);
    set.SetBit(7, TgsBitOperation::Set);
    set.SetBit(131071, TgsBitOperation::Set);
    set.SetBit(131072, TgsBitOperation::Set);
    EXPECT_EQ(set.BlockCount(), 2u);
    EXPECT_EQ(set.Highest(), 131072);
    EXPECT_TRUE(set.TestBit(0));
    EXPECT_TRUE(set.TestBit(7));
    EXPECT_FALSE(set.TestBit(8));
    EXPECT_TRUE(set.TestBit(131071));
    EXPECT_TRUE(set.TestBit(131072));
    EXPECT_FALSE(set.TestBit(131073)) << "above every set bit";
    EXPECT_FALSE(set.TestBit(2000000000));
    set.SetBit(7, TgsBitOperation::Toggle);
    EXPECT_FALSE(set.TestBit(7));
    set.SetBit(7, TgsBitOperation::Toggle);
    EXPECT_TRUE(set.TestBit(7));
    set.SetBit(0, TgsBitOperation::Clear);
    EXPECT_FALSE(set.TestBit(0));
    set.SetBit(-5, TgsBitOperation::Set);
    EXPECT_FALSE(set.TestBit(-5));
    set.ClearAll();
    EXPECT_EQ(set.Highest(), -1);
    EXPECT_FALSE(set.TestBit(7));
    set.SetBit(3, TgsBitOperation::Set);
    EXPECT_FALSE(set.TestBit(131072)) << "cleared blocks stay clear";
}

TEST(IndexCoreLock, PlacesOfTheFourProtocols) {
    auto at = [](TgsLokProtocol p) { return IndexLockPlace(static_cast<int>(p)); };
    EXPECT_EQ(at(TgsLokProtocol::Default).offset, 0x7FFFFFFDu);
    EXPECT_EQ(at(TgsLokProtocol::Default).length, 1u);
    EXPECT_EQ(at(TgsLokProtocol::DB4Lock).offset, 0xEFFFFFFEu);
    EXPECT_EQ(at(TgsLokProtocol::DB4Lock).length, 2u);
    EXPECT_EQ(at(TgsLokProtocol::ClipLock).offset, 1000000000u);
    EXPECT_EQ(at(TgsLokProtocol::FoxLock).offset, 0x7FFFFFFDu);
}

class IndexCoreLockProcess : public ::testing::Test {
protected:
    void SetUp() override {
        CreatePeople(dir.File("t.dbf"));
        auto table = IndexedTable::Open(dir.File("t.dbf"));
        Append(*table, {"A", 1, "", true});
        GSobjNTXFile f(table.get(), true, true, false, true, dir.File("name.ntx"));
        f.CreateTag("", "NAME", "", false, true);
    }
    // A child holds the index lock of `protocol` for `holdMs` milliseconds.
    pid_t Holder(testutil::Pipe& ready, int protocol, int holdMs) {
        return testutil::Spawn([&, protocol, holdMs] {
            GSobjNTXFile f(nullptr, false, false, true, true, dir.File("name.ntx"));
            f.SetLockProtocol(protocol);
            if (!f.LockIndexFile()) return 1;
            ready.Send('L');
            std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
            f.UnlockIndexFile();
            return 0;
        });
    }
    testutil::TempDir dir;
};

TEST_F(IndexCoreLockProcess, GivesUpAfterItsRetriesWithTheErrorText) {
    testutil::Pipe ready;
    pid_t child = Holder(ready, 0, 3000);
    ASSERT_EQ(ready.Receive(), 'L');
    GSobjNTXFile f(nullptr, false, false, true, true, dir.File("name.ntx"));
    f.SetLockProtocol(0);
    auto start = std::chrono::steady_clock::now();
    std::string message;
    try {
        f.LockIndexFile();
    } catch (const ERidedezError& e) {
        message = e.what();
    }
    auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_EQ(message, "Error 33 in Lock of NAME.NTX");
    EXPECT_GE(waited.count(), 1500) << "it retried for about two seconds";
    // Another protocol's region is free.
    f.SetLockProtocol(static_cast<int>(TgsLokProtocol::ClipLock));
    EXPECT_TRUE(f.LockIndexFile());
    f.UnlockIndexFile();
    EXPECT_EQ(testutil::Wait(child), 0);
}

TEST_F(IndexCoreLockProcess, SucceedsWhenTheOtherLetsGoDuringTheRetries) {
    testutil::Pipe ready;
    pid_t child = Holder(ready, 0, 300);
    ASSERT_EQ(ready.Receive(), 'L');
    GSobjNTXFile f(nullptr, false, false, true, true, dir.File("name.ntx"));
    f.SetLockProtocol(0);
    EXPECT_TRUE(f.LockIndexFile());
    f.UnlockIndexFile();
    EXPECT_EQ(testutil::Wait(child), 0);
}

TEST_F(IndexCoreLockProcess, ExclusiveFilesLockAtOnce) {
    GSobjNTXFile f(nullptr, false, false, false, true, dir.File("name.ntx"));
    EXPECT_TRUE(f.LockIndexFile());
    f.UnlockIndexFile();
}

TEST(IndexCoreShared, ReindexOfASharedFileUnderItsIndexLock) {
    testutil::TempDir dir;
    CreatePeople(dir.File("t.dbf"));
    auto table = IndexedTable::Open(dir.File("t.dbf"));
    for (int i = 0; i < 300; ++i) Append(*table, {"K" + std::to_string(i % 37), 1, "", true});
    { GSobjNTXFile f(table.get(), true, true, false, true, dir.File("name.ntx")); f.CreateTag("", "NAME", "", false, true); }
    GSobjNTXFile f(table.get(), false, false, true, true, dir.File("name.ntx"));
    ASSERT_TRUE(f.LockIndexFile());
    f.Reindex();
    EXPECT_EQ(Walk(*f.Tag(0)).size(), 300u);
    f.UnlockIndexFile();
}
