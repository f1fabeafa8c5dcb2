// Damaged and hostile CDX files give the engine's error 2112 (or another engine error),
// never a crash, a read outside a buffer or an endless walk.

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "IndexTestSupport.h"
#include "engine/Exception.h"
#include "index/cdx/CdxLayout.h"
#include "index/cdx/GSobjCDXFile.h"
#include "index/cdx/GSobjCDXTag.h"

using namespace indextest;

namespace {

class CdxHostile : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.File("people.dbf");
        CreatePeople(path);
        table = IndexedTable::Open(path);
        std::mt19937 rng(9);
        for (int i = 0; i < 3000; ++i) {
            std::string name;
            for (int k = 0; k < 8; ++k) name.push_back(static_cast<char>('A' + rng() % 26));
            Append(*table, {name, static_cast<double>(i), "", i % 2 == 0});
        }
        {
            GSobjCDXFile f(table.get(), true, true, false, true, dir.File("good.cdx"));
            f.CreateTag("NAME", "NAME", "", false, true);
            f.CreateTag("AMOUNT", "AMOUNT", "", false, false);
            nameHeader = static_cast<uint32_t>(f.FindTag("NAME")->HeaderPosition());
        }
        good = testutil::ReadBytes(dir.File("good.cdx"));
        nameRoot = cdx::Get32(&good[nameHeader + cdx::kRootAt]);
        directoryRoot = cdx::Get32(&good[cdx::kRootAt]);
    }

    // The first leaf of the NAME tag.
    uint32_t FirstLeaf() const {
        uint32_t at = nameRoot;
        while (cdx::Get16(&good[at]) < cdx::kAttrLeaf) at = cdx::Get32BE(&good[at + cdx::kBranchEntriesAt + 10 + 4]);
        return at;
    }

    // Opens the damaged bytes and walks every tag both ways, seeks and inserts; expects
    // error 2112 from one of them when `mustFail`. Returns the engine's message.
    std::string Expect2112(const std::vector<uint8_t>& bytes, bool mustFail = true) {
        testutil::WriteBytes(dir.File("bad.cdx"), bytes);
        std::string message;
        try {
            GSobjCDXFile f(table.get(), false, false, false, true, dir.File("bad.cdx"));
            for (size_t i = 0; i < f.TagCount(); ++i) {
                GSobjIndexTag& tag = *f.Tag(i);
                int steps = 0;
                for (int32_t r = tag.MoveTo(-3); r != 0 && steps < 100000; r = tag.MoveTo(-1)) ++steps;
                for (int32_t r = tag.MoveTo(-4); r != 0 && steps < 200000; r = tag.MoveTo(-2)) ++steps;
                EXPECT_LT(steps, 200000);
                TgsVariant key(256);
                key.SetText("M");
                tag.Seek(key);
            }
            table->GoRecord(5);
            f.UpdateTagsForRecord(5, true);
        } catch (const ERidedezError& e) {
            message = e.what();
        }
        if (mustFail) {
            EXPECT_NE(message.find("2112"), std::string::npos) << message;
        }
        return message;
    }

    testutil::TempDir dir;
    std::string path;
    std::unique_ptr<IndexedTable> table;
    std::vector<uint8_t> good;
    uint32_t nameHeader = 0, nameRoot = 0, directoryRoot = 0;
};

}  // namespace

TEST_F(CdxHostile, TheUndamagedFileWorks) {
    EXPECT_EQ(Expect2112(good, false), "");
    EXPECT_LT(cdx::Get16(&good[nameRoot]), cdx::kAttrLeaf) << "the root is a branch";
    const uint32_t child = cdx::Get32BE(&good[nameRoot + cdx::kBranchEntriesAt + 10 + 4]);
    EXPECT_EQ(cdx::Get16(&good[child]), cdx::kAttrBranch) << "three levels";
    EXPECT_EQ(cdx::Get16(&good[FirstLeaf()]), cdx::kAttrLeaf);
}

TEST_F(CdxHostile, DirectoryRootZeroBeyondTheFileOrOffTheGrid) {
    auto bad = good;
    cdx::Put32(&bad[cdx::kRootAt], 0);
    Expect2112(bad);
    bad = good;
    cdx::Put32(&bad[cdx::kRootAt], static_cast<uint32_t>(bad.size()));
    Expect2112(bad);
    bad = good;
    cdx::Put32(&bad[cdx::kRootAt], 1000);
    Expect2112(bad);
    bad = good;
    cdx::Put16(&bad[cdx::kKeyLengthAt], 241);
    Expect2112(bad);
    bad = good;
    cdx::Put32(&bad[nameHeader + cdx::kRootAt], 0);
    Expect2112(bad);
    bad.assign(good.begin(), good.begin() + 700);
    Expect2112(bad);
}

TEST_F(CdxHostile, DirectoryNamingItselfOrAHeaderOutsideTheFile) {
    const int B = good[directoryRoot + cdx::kEntryBytesAt];
    const uint32_t mask = cdx::Get32(&good[directoryRoot + cdx::kRecordMaskAt]);
    auto setRecord = [&](std::vector<uint8_t>& bytes, uint32_t record) {
        uint8_t* e = &bytes[directoryRoot + cdx::kLeafEntriesAt];
        uint32_t v = cdx::Get32(e);
        v = (v & ~mask) | (record & mask);
        for (int b = 0; b < std::min(B, 4); ++b) e[b] = static_cast<uint8_t>(v >> (8 * b));
    };
    auto bad = good;
    setRecord(bad, 0);
    EXPECT_NE(Expect2112(bad), "") << "itself";
    bad = good;
    setRecord(bad, static_cast<uint32_t>(good.size()) - 512);
    EXPECT_NE(Expect2112(bad), "") << "outside";
    bad = good;
    setRecord(bad, 700);
    EXPECT_NE(Expect2112(bad), "") << "off the grid";
}

TEST_F(CdxHostile, LeavesClaimingAnyWidthsMasksAndCounts) {
    const uint32_t leaf = FirstLeaf();
    for (uint8_t bytes : {0, 1, 2, 9, 255}) {
        auto bad = good;
        bad[leaf + cdx::kEntryBytesAt] = bytes;
        Expect2112(bad);
    }
    auto bad = good;
    cdx::Put16(&bad[leaf + cdx::kCountAt], 0xFFFF);
    Expect2112(bad);
    bad = good;
    bad[leaf + cdx::kDupBitsAt] = 15;
    bad[leaf + cdx::kTrailBitsAt] = 15;
    Expect2112(bad);
    // Counts that claim more key bytes than the leaf holds.
    bad = good;
    bad[leaf + cdx::kTrailMaskAt] = 0xFF;
    bad[leaf + cdx::kDupMaskAt] = 0xFF;
    bad[leaf + cdx::kTrailBitsAt] = 8;
    bad[leaf + cdx::kDupBitsAt] = 8;
    Expect2112(bad);
    // Masks and free bytes are only read, never trusted: the walk stays bounded.
    bad = good;
    cdx::Put32(&bad[leaf + cdx::kRecordMaskAt], 0xFFFFFFFF);
    cdx::Put16(&bad[leaf + cdx::kFreeBytesAt], 0xFFFF);
    Expect2112(bad, false);
    bad = good;
    cdx::Put16(&bad[leaf + cdx::kAttributesAt], 7);
    Expect2112(bad);
}

TEST_F(CdxHostile, BranchesWithBadCountsOrLinks) {
    auto bad = good;
    cdx::Put16(&bad[nameRoot + cdx::kCountAt], 0);
    Expect2112(bad);
    bad = good;
    cdx::Put16(&bad[nameRoot + cdx::kCountAt], 500 / 18 + 1);
    Expect2112(bad);
    bad = good;
    cdx::Put32BE(&bad[nameRoot + cdx::kBranchEntriesAt + 10 + 4], nameRoot);  // the root's child is the root
    Expect2112(bad);
    bad = good;
    cdx::Put32BE(&bad[nameRoot + cdx::kBranchEntriesAt + 10 + 4], static_cast<uint32_t>(good.size()) + 512);
    Expect2112(bad);
    bad = good;
    cdx::Put32BE(&bad[nameRoot + cdx::kBranchEntriesAt + 10 + 4], 700);
    Expect2112(bad);
}

TEST_F(CdxHostile, SiblingCyclesAreNeverFollowed) {
    auto bad = good;
    const uint32_t leaf = FirstLeaf();
    cdx::Put32(&bad[leaf + cdx::kRightAt], leaf);
    cdx::Put32(&bad[leaf + cdx::kLeftAt], leaf);
    EXPECT_EQ(Expect2112(bad, false), "");
}

TEST_F(CdxHostile, GeneralCollationTagsAreReadButNotUpdated) {
    auto bad = good;
    std::memcpy(&bad[nameHeader + cdx::kCollationAt], "GENERAL", 7);
    bad[nameHeader + cdx::kSignatureAt] = cdx::kSignatureGeneral;
    testutil::WriteBytes(dir.File("general.cdx"), bad);
    GSobjCDXFile f(table.get(), false, false, false, true, dir.File("general.cdx"));
    auto* tag = static_cast<GSobjCDXTag*>(f.FindTag("NAME"));
    ASSERT_NE(tag, nullptr);
    EXPECT_EQ(tag->Collation(), cdx::kCollationGeneral);
    EXPECT_EQ(Walk(*tag).size(), 3000u);
    table->GoRecord(5);
    try {
        f.UpdateTagsForRecord(5, true);
        ADD_FAILURE() << "a GENERAL tag was updated";
    } catch (const ERidedezError& e) {
        EXPECT_NE(std::string(e.what()).find("GENERAL"), std::string::npos) << e.what();
    }
}

TEST_F(CdxHostile, ClosingAfterARefusedUpdateLeavesTheRefusedTagAsItWas) {
    auto bad = good;
    std::memcpy(&bad[nameHeader + cdx::kCollationAt], "GENERAL", 7);
    testutil::WriteBytes(dir.File("general.cdx"), bad);
    {
        GSobjCDXFile f(table.get(), false, false, false, true, dir.File("general.cdx"));
        table->GoRecord(5);
        EXPECT_THROW(f.UpdateTagsForRecord(5, true), ERidedezError);
        // The file closes with the refused tag's path still loaded.
    }
    GSobjCDXFile f(table.get(), false, false, false, true, dir.File("general.cdx"));
    EXPECT_EQ(Walk(*f.FindTag("NAME")).size(), 3000u);
}

TEST_F(CdxHostile, ABagWithAGeneralTagRefusesUpdatesBeforeTouchingAnyTag) {
    auto bad = good;
    std::memcpy(&bad[nameHeader + cdx::kCollationAt], "GENERAL", 7);
    testutil::WriteBytes(dir.File("general.cdx"), bad);
    {
        GSobjCDXFile f(table.get(), false, false, false, true, dir.File("general.cdx"));
        table->GoRecord(5);
        EXPECT_THROW(f.UpdateTagsForRecord(5, true), ERidedezError);
        EXPECT_THROW(f.Reindex(), ERidedezError);
    }
    // The other tag of the bag was left as it was too.
    EXPECT_EQ(testutil::ReadBytes(dir.File("general.cdx")), bad);
    GSobjCDXFile f(table.get(), false, false, false, true, dir.File("general.cdx"));
    EXPECT_EQ(Walk(*f.FindTag("AMOUNT")).size(), 3000u);
}

TEST_F(CdxHostile, RandomDamageGivesOnlyEngineErrors) {
    std::mt19937 rng(11);
    for (int round = 0; round < 150; ++round) {
        auto bad = good;
        const int hits = 1 + static_cast<int>(rng() % 8);
        for (int h = 0; h < hits; ++h) bad[rng() % bad.size()] = static_cast<uint8_t>(rng());
        // Some rounds damage the nodes near the roots, where a walk goes first.
        if (round % 3 == 0) bad[nameRoot + rng() % 512] = static_cast<uint8_t>(rng());
        if (round % 3 == 1) bad[FirstLeaf() + rng() % 512] = static_cast<uint8_t>(rng());
        Expect2112(bad, false);
    }
}
