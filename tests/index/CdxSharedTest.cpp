// A CDX file opened shared keeps the pages it read while the directory's change counter
// stays the same: a writer moves the counter on only once its pages are written, a
// reader that read while a write was under way does not trust those pages afterwards,
// and a rebuild by another object is seen at the next seek.

#include <gtest/gtest.h>

#include "IndexTestSupport.h"
#include "index/cdx/CdxLayout.h"
#include "index/cdx/GSobjCDXFile.h"
#include "index/cdx/GSobjCDXTag.h"

using namespace indextest;

namespace {

uint32_t CounterOnDisk(const std::string& bag) {
    const std::vector<uint8_t> bytes = testutil::ReadBytes(bag);
    return cdx::Get32(&bytes[cdx::kChangeCounterAt]);
}

int32_t SeekIn(GSobjCDXFile& f, const std::string& name) {
    TgsVariant key(gsKeyCapacity);
    key.SetText(name);
    return f.FindTag("NAME")->Seek(key);
}

class CdxShared : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.File("people.dbf");
        bag = dir.File("people.cdx");
        CreatePeople(path);
        auto t = IndexedTable::Open(path);
        // Enough names for a tree of several levels.
        for (int i = 0; i < 3000; ++i) Append(*t, {"N" + std::to_string(100000 + i * 7), static_cast<double>(i), "", true});
        GSobjCDXFile f(t.get(), true, true, false, true, bag);
        f.CreateTag("NAME", "NAME", "", false, true);
    }
    testutil::TempDir dir;
    std::string path;
    std::string bag;
};

TEST_F(CdxShared, PagesReadWhileAWriteWasUnderWayAreNotTrustedAfterIt) {
    auto writerTable = IndexedTable::Open(path, true);
    auto readerTable = IndexedTable::Open(path, true);
    GSobjCDXFile writer(writerTable.get(), false, false, true, true, bag);
    GSobjCDXFile reader(readerTable.get(), false, false, true, true, bag);
    ASSERT_TRUE(reader.KeepsPages());
    EXPECT_EQ(SeekIn(reader, "N100700"), 101);
    const uint32_t before = CounterOnDisk(bag);
    // A key goes in under the writer's lock; its leaf is written at once.
    ASSERT_TRUE(writer.LockIndexFile());
    GSobjIndexKeyData entry(gsKeyCapacity);
    entry.SetText("N100700A");
    entry.link = 2999;
    ASSERT_TRUE(writer.FindTag("NAME")->InsertKey(entry));
    writer.FindTag("NAME")->ReleasePath();
    // While the write is under way the counter has not moved: the reader still answers
    // from the pages it holds.
    EXPECT_EQ(CounterOnDisk(bag), before);
    EXPECT_EQ(SeekIn(reader, "N100700A"), 0);
    // Letting go of the lock moves the counter on, and the reader reads afresh.
    writer.UnlockIndexFile();
    EXPECT_NE(CounterOnDisk(bag), before);
    EXPECT_EQ(SeekIn(reader, "N100700A"), 2999);
    EXPECT_EQ(SeekIn(reader, "N100700"), 101);
}

TEST_F(CdxShared, EveryWriteOfAnotherObjectIsSeenAtTheNextSeek) {
    auto writerTable = IndexedTable::Open(path, true);
    auto readerTable = IndexedTable::Open(path, true);
    GSobjCDXFile writer(writerTable.get(), false, false, true, true, bag);
    GSobjCDXFile reader(readerTable.get(), false, false, true, true, bag);
    writerTable->files = {&writer};
    std::vector<std::string> names(3001);
    for (int i = 0; i < 3000; ++i) names[static_cast<size_t>(i + 1)] = "N" + std::to_string(100000 + i * 7);
    for (int round = 0; round < 40; ++round) {
        // Rewrites under the lock, as the table makes them.
        for (int k = 0; k < 5; ++k) {
            const int32_t r = 1 + (round * 613 + k * 97) % 3000;
            ASSERT_TRUE(writer.LockIndexFile());
            writerTable->GoRecord(r);
            names[static_cast<size_t>(r)] = "M" + std::to_string(round) + "_" + std::to_string(k);
            writerTable->PutTextByName("NAME", names[static_cast<size_t>(r)]);
            writerTable->PutRecord(r);
            writer.FindTag("NAME")->ReleasePath();
            writer.UnlockIndexFile();
        }
        // The reader finds every name where it now is, and the old names no more.
        for (int32_t r = 1 + round; r <= 3000; r += 37) EXPECT_EQ(SeekIn(reader, names[static_cast<size_t>(r)]), r);
        for (int k = 0; k < 5; ++k) {
            const int32_t r = 1 + (round * 613 + k * 97) % 3000;
            EXPECT_EQ(SeekIn(reader, names[static_cast<size_t>(r)]), r) << names[static_cast<size_t>(r)];
            if (round == 0) {
                EXPECT_EQ(SeekIn(reader, "N" + std::to_string(100000 + (r - 1) * 7)), 0);
            }
        }
    }
    writerTable->files.clear();
}

TEST_F(CdxShared, ARebuildByAnotherObjectIsSeenAndMovesTheCounterOn) {
    auto writerTable = IndexedTable::Open(path, true);
    auto readerTable = IndexedTable::Open(path, true);
    GSobjCDXFile reader(readerTable.get(), false, false, true, true, bag);
    EXPECT_EQ(SeekIn(reader, "N100007"), 2);
    const uint32_t before = CounterOnDisk(bag);
    // Records the index does not know yet, taken in by a rebuild under the index lock.
    for (int i = 0; i < 50; ++i) Append(*writerTable, {"R" + std::to_string(i), static_cast<double>(i), "", true});
    {
        GSobjCDXFile writer(writerTable.get(), false, false, true, true, bag);
        ASSERT_TRUE(writer.LockIndexFile());
        writer.Reindex();
        writer.UnlockIndexFile();
    }
    EXPECT_NE(CounterOnDisk(bag), before);
    EXPECT_EQ(SeekIn(reader, "R7"), 3008);
    EXPECT_EQ(SeekIn(reader, "N100007"), 2);
    EXPECT_EQ(Walk(*reader.FindTag("NAME")).size(), 3050u);
}

TEST_F(CdxShared, AWriterWithAnOldCounterStillMovesItPastTheFilesValue) {
    auto firstTable = IndexedTable::Open(path, true);
    auto secondTable = IndexedTable::Open(path, true);
    GSobjCDXFile first(firstTable.get(), false, false, true, true, bag);
    GSobjCDXFile second(secondTable.get(), false, false, true, true, bag);
    secondTable->files = {&second};
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(second.LockIndexFile());
        Append(*secondTable, {"S" + std::to_string(i), static_cast<double>(i), "", true});
        second.UnlockIndexFile();
    }
    secondTable->files.clear();
    // The first object still holds the counter it read on opening.
    const uint32_t reached = CounterOnDisk(bag);
    ASSERT_GT(reached, first.ChangeCounter());
    firstTable->files = {&first};
    ASSERT_TRUE(first.LockIndexFile());
    Append(*firstTable, {"F", 1, "", true});
    first.UnlockIndexFile();
    firstTable->files.clear();
    EXPECT_GT(CounterOnDisk(bag), reached);
    EXPECT_EQ(SeekIn(second, "F"), 3006);
    EXPECT_EQ(SeekIn(second, "S4"), 3005);
}

TEST_F(CdxShared, ExclusiveFilesKeepTheirCounterAsBefore) {
    auto t = IndexedTable::Open(path);
    GSobjCDXFile f(t.get(), false, false, false, true, bag);
    t->files = {&f};
    const uint32_t before = f.ChangeCounter();
    Append(*t, {"X", 1, "", true});
    t->files.clear();
    f.FindTag("NAME")->ReleasePath();
    EXPECT_EQ(CounterOnDisk(bag), before + 1);
}

}  // namespace
