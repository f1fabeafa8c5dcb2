// Damaged and hostile NTX files give the engine's error 2112, never a crash, a read
// outside a buffer or an endless walk.

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "IndexTestSupport.h"
#include "engine/Exception.h"
#include "engine/RunErrors.h"
#include "index/ntx/GSobjNTXFile.h"
#include "index/ntx/GSobjNTXTag.h"
#include "index/ntx/NtxLayout.h"

using namespace indextest;

namespace {

class NtxHostile : public ::testing::Test {
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
            GSobjNTXFile f(table.get(), true, true, false, true, dir.File("good.ntx"));
            f.CreateTag("", "NAME", "", false, true);
        }
        good = testutil::ReadBytes(dir.File("good.ntx"));
        root = ntx::Get32(&good[ntx::kRootAt]);
    }

    // Item `slot` of the page at `page` in `bytes`.
    static uint8_t* Item(std::vector<uint8_t>& bytes, uint32_t page, int slot) {
        uint8_t* p = &bytes[page];
        return p + ntx::Get16(p + ntx::kOffsetTableAt + 2 * static_cast<size_t>(slot));
    }

    // Opens the damaged bytes and walks, seeks and inserts; expects error 2112 from one
    // of them when `mustFail`. Seeks first, in a file opened afresh, meet the damage in
    // their search through the pages.
    void Expect2112(const std::vector<uint8_t>& bytes, bool mustFail = true) {
        testutil::WriteBytes(dir.File("bad.ntx"), bytes);
        std::string message;
        try {
            GSobjNTXFile f(table.get(), false, false, false, true, dir.File("bad.ntx"));
            for (const char* text : {"", "A", "M", "ZZZZZZZZZZ"}) {
                TgsVariant key(256);
                key.SetText(text);
                f.Tag(0)->Seek(key);
            }
        } catch (const ERidedezError& e) {
            message = e.what();
        }
        if (mustFail) {
            EXPECT_NE(message.find("2112"), std::string::npos) << "seeking first: " << message;
        }
        message.clear();
        try {
            GSobjNTXFile f(table.get(), false, false, false, true, dir.File("bad.ntx"));
            GSobjIndexTag& tag = *f.Tag(0);
            int steps = 0;
            for (int32_t r = tag.MoveTo(-3); r != 0 && steps < 100000; r = tag.MoveTo(-1)) ++steps;
            for (int32_t r = tag.MoveTo(-4); r != 0 && steps < 200000; r = tag.MoveTo(-2)) ++steps;
            TgsVariant key(256);
            key.SetText("M");
            tag.Seek(key);
            table->GoRecord(5);
            f.UpdateTagsForRecord(5, true);
        } catch (const ERidedezError& e) {
            message = e.what();
        }
        if (mustFail) {
            EXPECT_NE(message.find("2112"), std::string::npos) << message;
        }
    }

    testutil::TempDir dir;
    std::string path;
    std::unique_ptr<IndexedTable> table;
    std::vector<uint8_t> good;
    uint32_t root = 0;
};

}  // namespace

TEST_F(NtxHostile, TheUndamagedFileWorks) {
    ASSERT_GT(good.size(), 60000u);
    testutil::WriteBytes(dir.File("bad.ntx"), good);
    GSobjNTXFile f(table.get(), false, false, false, true, dir.File("bad.ntx"));
    EXPECT_EQ(Walk(*f.Tag(0)).size(), 3000u);
    EXPECT_NE(ntx::Get32(Item(good, root, 0) + ntx::kItemChildAt), 0u) << "the root is a branch";
}

TEST_F(NtxHostile, HeaderSizesThatDoNotFitThePage) {
    auto bad = good;
    ntx::Put16(&bad[ntx::kKeyLengthAt], 0);
    Expect2112(bad);
    bad = good;
    ntx::Put16(&bad[ntx::kMaxItemsAt], 500);
    Expect2112(bad);
    bad = good;
    ntx::Put16(&bad[ntx::kItemSizeAt], 9);
    Expect2112(bad);
    bad = good;
    ntx::Put16(&bad[ntx::kKeyLengthAt], 0xFFFF);
    ntx::Put16(&bad[ntx::kItemSizeAt], 0xFFFF);
    Expect2112(bad);
    bad = good;
    ntx::Put32(&bad[ntx::kRootAt], static_cast<uint32_t>(bad.size()) + 1024);
    Expect2112(bad);
    bad = good;
    ntx::Put32(&bad[ntx::kRootAt], 1500);
    Expect2112(bad);
    bad.assign(good.begin(), good.begin() + 600);
    Expect2112(bad);
}

TEST_F(NtxHostile, PagesWithCountsOrOffsetsOutsideThePage) {
    auto bad = good;
    ntx::Put16(&bad[root + ntx::kCountAt], 51);
    Expect2112(bad);
    bad = good;
    ntx::Put16(&bad[root + ntx::kOffsetTableAt + 2], 1020);
    Expect2112(bad);
    bad = good;
    ntx::Put16(&bad[root + ntx::kOffsetTableAt], 0xFFFF);
    Expect2112(bad);
}

TEST_F(NtxHostile, ChildLinksOutsideTheFileOrBackUpThePath) {
    auto bad = good;
    ntx::Put32(Item(bad, root, 0) + ntx::kItemChildAt, static_cast<uint32_t>(bad.size()) + 4096);
    Expect2112(bad);
    bad = good;
    ntx::Put32(Item(bad, root, 0) + ntx::kItemChildAt, 1500);
    Expect2112(bad);
    bad = good;
    ntx::Put32(Item(bad, root, 0) + ntx::kItemChildAt, root);  // the root's child is the root
    Expect2112(bad);
    bad = good;
    const uint32_t child = ntx::Get32(Item(bad, root, 0) + ntx::kItemChildAt);
    ntx::Put32(Item(bad, child, 0) + ntx::kItemChildAt, root);  // a grandchild link to the root
    Expect2112(bad);
}

TEST_F(NtxHostile, TreeDeeperThanThirtyTwoLevels) {
    // 40 branch pages, each with no items and a pointer to the next, over one leaf.
    std::vector<uint8_t> bad(good.begin(), good.begin() + 1024);
    const int levels = 40;
    bad.resize(static_cast<size_t>(1024 * (levels + 2)), 0);
    for (int i = 0; i <= levels; ++i) {
        uint8_t* p = &bad[static_cast<size_t>(1024 * (i + 1))];
        for (int s = 0; s <= 50; ++s) ntx::Put16(p + 2 + 2 * s, static_cast<uint32_t>(4 + 100 + s * 18));
        if (i < levels) ntx::Put32(p + 104, static_cast<uint32_t>(1024 * (i + 2)));
    }
    ntx::Put32(&bad[ntx::kRootAt], 1024);
    Expect2112(bad);
}

TEST_F(NtxHostile, RandomDamageNeverCrashes) {
    std::mt19937 rng(11);
    int failures = 0;
    for (int round = 0; round < 150; ++round) {
        auto bad = good;
        const int flips = 1 + static_cast<int>(rng() % 8);
        for (int i = 0; i < flips; ++i) {
            // Mostly page heads and offset tables, where damage matters most.
            size_t page = 1024 * (1 + rng() % (bad.size() / 1024 - 1));
            size_t at = page + (rng() % 3 == 0 ? rng() % 1024 : rng() % 120);
            bad[at] = static_cast<uint8_t>(rng());
        }
        testutil::WriteBytes(dir.File("bad.ntx"), bad);
        try {
            Expect2112(bad, false);
        } catch (const ERunError&) {
            ++failures;
        }
    }
    SUCCEED() << failures;
}
