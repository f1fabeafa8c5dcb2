#include <gtest/gtest.h>

#include "engine/platform/FaultFileSystem.h"
#include "engine/platform/LastError.h"
#include "engine/Exception.h"
#include "TableFixture.h"

using namespace tabletest;
using testutil::TempDir;

namespace {

TEST(TableMovement, EmptyTableSetsEofAndBof) {
    TempDir dir;
    MakePeople(dir.File("e.dbf"), 0);
    auto t = GSO_dBHandler::Open(dir.File("e.dbf"), true, false);
    EXPECT_EQ(t->RecordCount(), 0);
    EXPECT_EQ(t->RecordNumber(), 0);
    EXPECT_TRUE(t->Bof());
    t->GoRecord(gsMoveTop);
    EXPECT_TRUE(t->Eof());
    EXPECT_TRUE(t->Bof());
}

TEST(TableMovement, TopNextPriorBottom) {
    TempDir dir;
    MakePeople(dir.File("m.dbf"), 5);
    auto t = GSO_dBHandler::Open(dir.File("m.dbf"), true, false);
    std::vector<std::string> seen;
    for (t->GoRecord(gsMoveTop); !t->Eof(); t->GoRecord(gsMoveNext)) seen.push_back(NameOf(*t));
    EXPECT_EQ(seen, (std::vector<std::string>{"R1", "R2", "R3", "R4", "R5"}));
    t->GoRecord(gsMoveBottom);
    EXPECT_EQ(t->RecordNumber(), 5);
    t->GoRecord(gsMovePrior);
    EXPECT_EQ(NameOf(*t), "R4");
    t->GoRecord(1);
    t->GoRecord(gsMovePrior);
    EXPECT_TRUE(t->Bof());
    EXPECT_EQ(t->RecordNumber(), 1);
    EXPECT_EQ(NameOf(*t), "R1");  // the buffer keeps record 1
    t->GoRecord(gsMoveReread);
    EXPECT_EQ(NameOf(*t), "R1");
}

TEST(TableMovement, OnePastTheEndIsEofAndFurtherIsAnError) {
    TempDir dir;
    MakePeople(dir.File("p.dbf"), 3);
    auto t = GSO_dBHandler::Open(dir.File("p.dbf"), true, false);
    t->GoRecord(2);
    t->GoRecord(4);
    EXPECT_TRUE(t->Eof());
    EXPECT_EQ(t->RecordNumber(), 2);
    EXPECT_EQ(NameOf(*t), "");  // the visible movement leaves a blank record
    EXPECT_EQ(t->GetNumberByName("AMOUNT"), 0);
    EXPECT_EQ(ErrorOf([&] { t->GoRecord(5); }),
              "dBase record request beyond EOF - " + dir.File("p.dbf"));
    EXPECT_EQ(ErrorOf([&] { t->GoRecord(-6); }),
              "dBase record request beyond EOF - " + dir.File("p.dbf"));
}

TEST(TableMovement, HiddenDeletedRecords) {
    TempDir dir;
    MakePeople(dir.File("d.dbf"), 5);
    auto t = GSO_dBHandler::Open(dir.File("d.dbf"), true, false);
    t->GoRecord(1);
    t->DeleteRecord();
    t->GoRecord(2);
    t->DeleteRecord();
    t->GoRecord(5);
    t->DeleteRecord();
    t->SetUseDeleted(false);
    t->GoRecord(gsMoveTop);
    EXPECT_EQ(t->RecordNumber(), 3);
    t->GoRecord(2);  // by number a deleted record is still read
    EXPECT_EQ(t->RecordNumber(), 2);
    EXPECT_TRUE(t->IsDeleted());
    t->GoRecord(gsMoveBottom);
    EXPECT_EQ(t->RecordNumber(), 4);
    t->GoRecord(gsMoveNext);
    EXPECT_TRUE(t->Eof());
    t->GoRecord(3);
    t->GoRecord(gsMovePrior);
    EXPECT_TRUE(t->Bof());
    // Everything hidden: the top is the end.
    t->GoRecord(3);
    t->DeleteRecord();
    t->GoRecord(4);
    t->DeleteRecord();
    t->GoRecord(gsMoveTop);
    EXPECT_TRUE(t->Eof());
}

class HideOdd : public GSO_dBHandler {
public:
    using GSO_dBHandler::GSO_dBHandler;
    bool RecordVisible() override { return RecordNumber() % 2 == 0; }
};

TEST(TableMovement, RecordVisibleHookHidesRecords) {
    TempDir dir;
    MakePeople(dir.File("h.dbf"), 6);
    HideOdd t(dir.File("h.dbf"), false, true);
    t.OpenTable();
    std::vector<int32_t> seen;
    for (t.GoRecord(gsMoveTop); !t.Eof(); t.GoRecord(gsMoveNext)) seen.push_back(t.RecordNumber());
    EXPECT_EQ(seen, (std::vector<int32_t>{2, 4, 6}));
    t.SetMode(gsModeBulk);  // bulk movement ignores visibility until the next read
    t.GoRecord(gsMoveTop);
    EXPECT_EQ(t.RecordNumber(), 1);
    EXPECT_EQ(t.Mode(), gsModeNormal);
}

TEST(TableMovement, SkippingJumpsAndClamps) {
    TempDir dir;
    MakePeople(dir.File("s.dbf"), 100);
    auto t = GSO_dBHandler::Open(dir.File("s.dbf"), true, false);
    t->GoRecord(95);
    t->SkipRecords(10);
    EXPECT_EQ(t->RecordNumber(), 100);
    EXPECT_TRUE(t->Eof());
    t->GoRecord(3);
    t->SkipRecords(-5);
    EXPECT_EQ(t->RecordNumber(), 1);
    EXPECT_TRUE(t->Bof());
    t->GoRecord(10);
    t->SkipRecords(7);
    EXPECT_EQ(t->RecordNumber(), 17);
    EXPECT_FALSE(t->Eof());
    // With deleted records hidden the skip walks visible records one by one.
    t->GoRecord(18);
    t->DeleteRecord();
    t->SetUseDeleted(false);
    t->GoRecord(17);
    t->SkipRecords(2);
    EXPECT_EQ(t->RecordNumber(), 20);
}

TEST(TableMovement, ReadAheadServesTheSameRecords) {
    TempDir dir;
    MakePeople(dir.File("c.dbf"), 3000);
    auto t = GSO_dBHandler::Open(dir.File("c.dbf"), true, false);
    t->SetReadAhead(true);
    ASSERT_TRUE(t->ReadAheadActive());
    int n = 0;
    for (t->GoRecord(gsMoveTop); !t->Eof(); t->GoRecord(gsMoveNext)) {
        ++n;
        ASSERT_EQ(NameOf(*t), "R" + std::to_string(n));
    }
    EXPECT_EQ(n, 3000);
    // Writes through the cache are seen by later cached reads.
    t->GoRecord(1500);
    t->PutTextByName("NAME", "CHANGED");
    t->PutRecord(1500);
    t->GoRecord(1499);
    t->GoRecord(gsMoveNext);
    EXPECT_EQ(NameOf(*t), "CHANGED");
    t->AllowReadAhead(false);
    EXPECT_FALSE(t->ReadAheadActive());
    t->SetReadAhead(true);
    EXPECT_FALSE(t->ReadAheadActive());
}

TEST(TableMovement, ShortFileIsAReadErrorWithoutTheCache) {
    TempDir dir;
    std::string p = dir.File("short.dbf");
    MakePeople(p, 4);
    auto t = GSO_dBHandler::Open(p, false, true);
    ASSERT_EQ(truncate(p.c_str(), t->HeaderLength() + 2 * t->RecordLength() + 5), 0);
    platform::SetLastError(0);
    std::string msg = ErrorOf([&] { t->GoRecord(3); });
    EXPECT_EQ(msg, std::string("Ridedez Error 221, SubCode 1207.\r ") + p);
    // As after every I/O report, the system's last error is the reported code.
    EXPECT_EQ(platform::GetLastError(), 221);
}

TEST(TableMovement, AppendsByOthersBecomeVisibleInSharedUse) {
    TempDir dir;
    std::string p = dir.File("sh.dbf");
    MakePeople(p, 2);
    auto reader = GSO_dBHandler::Open(p, false, true);
    EXPECT_EQ(reader->RecordCount(), 2);
    pid_t pid = testutil::Spawn([&] {
        auto w = GSO_dBHandler::Open(p, true, true);
        w->BlankRecord();
        w->PutTextByName("NAME", "LATE");
        w->AddRecord();
        return 0;
    });
    ASSERT_EQ(testutil::Wait(pid), 0);
    reader->GoRecord(2);
    reader->GoRecord(gsMoveNext);
    EXPECT_FALSE(reader->Eof());
    EXPECT_EQ(NameOf(*reader), "LATE");
    EXPECT_EQ(reader->RecordCount(), 3);
}

// A table opened exclusively reads a record at the first use of the buffer, not at the
// movement: whatever uses it first sees the record moved to last, as if read at once.
TEST(TableMovement, RecordsReadAtFirstUseActAsReadAtTheMove) {
    TempDir dir;
    const std::string p = dir.File("d.dbf");
    MakePeople(p, 6);
    auto t = GSO_dBHandler::Open(p, true, false);
    ASSERT_TRUE(t->DeferredReads());
    t->GoRecord(2);
    t->GoRecord(4);
    EXPECT_EQ(NameOf(*t), "R4");
    // The deletion flag, a rewrite, an append and the saved copy each take the record
    // moved to, never the one in the buffer before.
    t->GoRecord(3);
    t->DeleteRecord();
    t->GoRecord(1);
    t->GoRecord(3);
    EXPECT_TRUE(t->IsDeleted());
    t->GoRecord(5);
    t->PutRecord(6);
    t->GoRecord(2);
    t->AddRecord();
    EXPECT_EQ(t->RecordCount(), 7);
    t->GoRecord(1);
    t->GoRecord(6);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(t->SavedCopy()) + 1, 2), "R5");
    EXPECT_EQ(NameOf(*t), "R5");
    t->GoRecord(7);
    EXPECT_EQ(NameOf(*t), "R2");
    EXPECT_FALSE(t->IsDeleted());
    // Pointing the table at a caller's buffer first completes the own buffer's record.
    t->GoRecord(4);
    std::vector<uint8_t> mine(t->RecordLength() + 1, ' ');
    t->SetCurrentBuffer(mine.data());
    t->GoRecord(1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(mine.data()) + 1, 2), "R1");
    t->SetCurrentBuffer(nullptr);
    EXPECT_EQ(NameOf(*t), "R4");
    // Hidden deleted records are still passed over by a skip that reads nothing else.
    t->SetUseDeleted(false);
    t->GoRecord(2);
    t->GoRecord(gsMoveNext);
    EXPECT_EQ(t->RecordNumber(), 4);
    EXPECT_EQ(NameOf(*t), "R4");
}

TEST(TableMovement, ARecordThatCannotBeReadAtFirstUseStopsEveryUseAndWrite) {
    TempDir dir;
    const std::string p = dir.File("lost.dbf");
    MakePeople(p, 3000);  // more than the file's read buffer holds
    platform::FaultFileSystem faults;
    platform::FaultFileSystem::Installed installed(faults);
    auto t = GSO_dBHandler::Open(p, true, false);
    t->GoRecord(1);
    EXPECT_EQ(NameOf(*t), "R1");
    faults.FailReads(true);
    t->GoRecord(2900);  // nothing read yet
    EXPECT_EQ(t->RecordNumber(), 2900);
    const std::string readError = std::string("Ridedez Error 112, SubCode 1101.\r ") + p;
    EXPECT_EQ(ErrorOf([&] { (void)t->GetTextByName("NAME"); }), readError);
    EXPECT_EQ(ErrorOf([&] { (void)t->IsDeleted(); }), readError);
    // Record 1's bytes are still in the buffer; writing them anywhere would store a
    // record the caller never had.
    EXPECT_EQ(ErrorOf([&] { t->PutRecord(2); }), readError);
    EXPECT_EQ(ErrorOf([&] { t->AddRecord(); }), readError);
    faults.FailReads(false);
    EXPECT_EQ(NameOf(*t), "R2900");
    EXPECT_EQ(t->RecordCount(), 3000);
    t->GoRecord(2);
    EXPECT_EQ(NameOf(*t), "R2");

    // With deferred reads off, the movement itself reports the failure.
    t->SetDeferredReads(false);
    faults.FailReads(true);
    EXPECT_EQ(ErrorOf([&] { t->GoRecord(2500); }), readError);
    faults.FailReads(false);
    EXPECT_EQ(t->RecordNumber(), 2);
}

}  // namespace
