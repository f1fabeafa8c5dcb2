// Damaged and hostile MDX files give the engine's error 2112 (or another engine error),
// never a crash, a read outside a buffer or an endless walk: any tag count, block size,
// slot layout, tag header position, key length, entry size, block count or child link.

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "IndexTestSupport.h"
#include "engine/Exception.h"
#include "index/mdx/GSobjMDXFile.h"
#include "index/mdx/GSobjMDXTag.h"
#include "index/mdx/MdxLayout.h"

using namespace indextest;

namespace {

class MdxHostile : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.File("people.dbf");
        CreatePeople(path);
        table = IndexedTable::Open(path);
        std::mt19937 rng(9);
        for (int i = 0; i < 3000; ++i) {
            std::string name;
            for (int k = 0; k < 8; ++k) name.push_back(static_cast<char>('A' + rng() % 26));
            Append(*table, {name, static_cast<double>(i) - 1500.5, i % 3 ? "20010203" : "", i % 2 == 0});
        }
        {
            GSobjMDXFile f(table.get(), true, true, false, true, dir.File("good.mdx"));
            f.CreateTag("NAME", "NAME", "", false, true);
            f.CreateTag("AMOUNT", "AMOUNT", "ACTIVE", false, false);
            nameHeader = static_cast<size_t>(f.FindTag("NAME")->HeaderPosition()) * 512;
        }
        good = testutil::ReadBytes(dir.File("good.mdx"));
        nameRoot = mdx::Get32(&good[nameHeader + mdx::kRootAt]);
    }
    size_t RootAt() const { return static_cast<size_t>(nameRoot) * 512; }

    // Opens the damaged bytes, walks every tag both ways, seeks and inserts; expects error
    // 2112 from one of them when `mustFail`. Returns the engine's message.
    std::string Expect2112(const std::vector<uint8_t>& bytes, bool mustFail = true) {
        testutil::WriteBytes(dir.File("bad.mdx"), bytes);
        std::string message;
        try {
            GSobjMDXFile f(table.get(), false, false, false, true, dir.File("bad.mdx"));
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
        } catch (const Exception& e) {
            message = e.what();
        }
        if (mustFail) {
            EXPECT_NE(message.find("2112"), std::string::npos) << message;
        }
        return message;
    }
    std::vector<uint8_t> With(size_t at, std::initializer_list<uint8_t> bytes) const {
        auto bad = good;
        std::copy(bytes.begin(), bytes.end(), bad.begin() + static_cast<long>(at));
        return bad;
    }
    std::vector<uint8_t> With32(size_t at, uint32_t v) const {
        auto bad = good;
        mdx::Put32(&bad[at], v);
        return bad;
    }
    std::vector<uint8_t> With16(size_t at, uint32_t v) const {
        auto bad = good;
        mdx::Put16(&bad[at], v);
        return bad;
    }

    testutil::TempDir dir;
    std::string path;
    std::unique_ptr<IndexedTable> table;
    std::vector<uint8_t> good;
    size_t nameHeader = 0;
    uint32_t nameRoot = 0;
};

}  // namespace

TEST_F(MdxHostile, TheUndamagedFileWorks) {
    EXPECT_EQ(Expect2112(good, false), "");
    GSobjMDXFile f(table.get(), false, false, false, true, dir.File("good.mdx"));
    EXPECT_EQ(Walk(*f.FindTag("NAME")).size(), 3000u);
    // The root of the name tag is a branch block.
    EXPECT_NE(mdx::Get32(&good[RootAt() + 8 + mdx::Get32(&good[RootAt()]) * 16]), 0u);
}

TEST_F(MdxHostile, FileHeadersOfAnyShape) {
    Expect2112(std::vector<uint8_t>(good.begin(), good.begin() + 100));
    Expect2112(std::vector<uint8_t>(good.begin(), good.begin() + 1500));
    Expect2112(std::vector<uint8_t>());
    for (uint32_t size : {0u, 512u, 1000u, 2048u, 0xFFFFu}) Expect2112(With16(mdx::kBlockSizeAt, size));
    for (uint32_t units : {0u, 1u, 3u, 64u, 0xFFFFu}) Expect2112(With16(mdx::kUnitsPerBlockAt, units));
    Expect2112(With(mdx::kSlotSizeAt, {16}));
    Expect2112(With(mdx::kSlotSizeAt, {255}));
    Expect2112(With(mdx::kSlotCountAt, {0}));
    Expect2112(With(mdx::kSlotCountAt, {2}));
    for (uint32_t count : {48u, 255u, 0xFFFFu}) Expect2112(With16(mdx::kTagCountAt, count));
}

TEST_F(MdxHostile, TagTablePositionsInsideTheHeaderAreaOutsideTheFileOrShared) {
    const size_t slot1 = mdx::kTagTableAt + mdx::kSlotSize;
    const size_t slot2 = slot1 + mdx::kSlotSize;
    for (uint32_t at : {0u, 1u, 3u, 0x7FFFFFFFu, 0xFFFFFFFFu, static_cast<uint32_t>(good.size() / 512) - 1,
                        static_cast<uint32_t>(good.size() / 512)})
        Expect2112(With32(slot1 + mdx::kSlotHeaderAt, at));
    // Two tags naming one header block: the tag table points at itself.
    Expect2112(With32(slot2 + mdx::kSlotHeaderAt, mdx::Get32(&good[slot1 + mdx::kSlotHeaderAt])));
    // Thread bytes are never followed: a thread naming its own slot changes nothing.
    EXPECT_EQ(Expect2112(With(slot1 + mdx::kSlotRightThreadAt, {1}), false), "");
}

TEST_F(MdxHostile, TagHeadersOfAnyShape) {
    for (uint32_t length : {0u, 240u, 500u, 0xFFFFu}) Expect2112(With16(nameHeader + mdx::kKeyLengthAt, length));
    for (uint32_t entry : {0u, 4u, 13u, 600u, 0xFFFFu}) Expect2112(With16(nameHeader + mdx::kEntrySizeAt, entry));
    for (uint32_t max : {0u, 1u, 63u, 0xFFFFu}) Expect2112(With16(nameHeader + mdx::kMaxEntriesAt, max));
    Expect2112(With(nameHeader + mdx::kKeyTypeAt, {'X'}));
    Expect2112(With(nameHeader + mdx::kKeyTypeAt, {'N'}));  // a number key must be 12 bytes
    for (uint32_t root : {0u, 2u, 0xFFFFFFu, 0xFFFFFFFFu}) Expect2112(With32(nameHeader + mdx::kRootAt, root));
}

TEST_F(MdxHostile, KeyBlocksWithAnyCountOrLink) {
    const size_t root = RootAt();
    for (uint32_t count : {63u, 200u, 0x7FFFFFFFu, 0xFFFFFFFFu}) Expect2112(With32(root + mdx::kCountAt, count));
    // A child that is the block itself, its header, the header area, or past the end.
    for (uint32_t child : {nameRoot, static_cast<uint32_t>(nameHeader / 512), 2u, 0x7FFFFFFFu})
        Expect2112(With32(root + mdx::kEntriesAt + mdx::kEntryLinkAt, child));
    // A leaf whose count runs past its block.
    const uint32_t leaf = mdx::Get32(&good[root + mdx::kEntriesAt]);
    Expect2112(With32(static_cast<size_t>(leaf) * 512 + mdx::kCountAt, 64));
}

TEST_F(MdxHostile, ACycleBetweenBranchesIsRefused) {
    // Make the name tag three levels deep by hand: its root's first child becomes the root
    // of a copy, which points back at the root.
    auto bad = good;
    const size_t root = RootAt();
    const size_t end = bad.size();
    bad.resize(end + 1024);
    std::memcpy(&bad[end], &bad[root], 1024);
    mdx::Put32(&bad[end + mdx::kEntriesAt], nameRoot);
    mdx::Put32(&bad[root + mdx::kEntriesAt], static_cast<uint32_t>(end / 512));
    Expect2112(bad);
}

TEST_F(MdxHostile, RandomDamageGivesOnlyEngineErrors) {
    std::mt19937 rng(11);
    for (int round = 0; round < 150; ++round) {
        auto bad = good;
        const int hits = 1 + static_cast<int>(rng() % 8);
        for (int h = 0; h < hits; ++h) bad[rng() % bad.size()] = static_cast<uint8_t>(rng());
        // Some rounds damage the header area, the tag header or the root, which are read first.
        if (round % 3 == 0) bad[rng() % 2048] = static_cast<uint8_t>(rng());
        if (round % 3 == 1) bad[nameHeader + rng() % 256] = static_cast<uint8_t>(rng());
        if (round % 3 == 2) bad[RootAt() + rng() % 1024] = static_cast<uint8_t>(rng());
        Expect2112(bad, false);
    }
}
