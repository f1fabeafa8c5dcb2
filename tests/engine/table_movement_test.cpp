#include <gtest/gtest.h>

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

}  // namespace
