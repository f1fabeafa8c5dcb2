// dBase IV memo files: block headers, the free chain, first fit, freeing and reuse.

#include "engine/Memo4.h"
#include "memo_helpers.h"

using memotest::MakeTable;
using memotest::OpenMemo;
using memotest::Pattern;
using testutil::TempDir;

namespace {

// A dBase IV table whose memo file uses `blockSize`.
std::string MakeTable4(const TempDir& dir, const std::string& name, uint32_t blockSize) {
    const std::string table = MakeTable(dir, name, 0x8B);
    const std::string memo = memotest::MemoFile(table, 0x8B);
    std::vector<uint8_t> b = testutil::ReadBytes(memo);
    gsBytes::Put32LE(b.data() + 20, blockSize);
    gsBytes::Put32LE(b.data(), std::max<uint32_t>(1, static_cast<uint32_t>(b.size()) / blockSize));
    testutil::WriteBytes(memo, b);
    return table;
}

std::vector<uint8_t> Bytes(const std::string& table) {
    return testutil::ReadBytes(memotest::MemoFile(table, 0x8B));
}

uint32_t Word(const std::vector<uint8_t>& b, size_t at) { return gsBytes::Get32LE(b.data() + at); }

TEST(MemoDbt4, RoundTripOfManyLengthsAndBlockSizes) {
    for (uint32_t bs : {32u, 64u, 512u, 1024u}) {
        TempDir dir;
        const std::string table = MakeTable4(dir, "t4.dbf", bs);
        auto memo = OpenMemo(table, 0x8B);
        ASSERT_EQ(memo->BlockSize(), static_cast<int32_t>(bs));
        std::vector<size_t> lengths = {0, 1, 2, 100, 70000, 200000};
        for (int64_t k : {1, 2, 3}) {
            for (int64_t d : {-9, -8, -7, -1, 0, 1}) {
                if (k * bs + d >= 0) lengths.push_back(static_cast<size_t>(k * bs + d));
            }
        }
        std::vector<std::pair<int32_t, std::string>> written;
        for (size_t n : lengths) {
            if (n / bs + 2 > 65535) continue;
            std::string text = Pattern(n, static_cast<unsigned>(n + bs));
            int32_t block = memo->MemoWrite(0, text.data(), static_cast<int32_t>(n));
            written.emplace_back(block, text);
        }
        // An empty text for a field without memo writes nothing; all others got blocks.
        for (const auto& [block, text] : written) {
            EXPECT_EQ(block == 0, text.empty());
            EXPECT_EQ(memo->MemoLength(block), static_cast<int32_t>(text.size()));
            EXPECT_TRUE(memo->MemoText(block) == text) << "bs " << bs << " length " << text.size();
        }
        // The file always ends on a block boundary, at the end of the last allocation.
        memo->Close();
        std::vector<uint8_t> b = Bytes(table);
        EXPECT_EQ(b.size() % bs, 0u);
        EXPECT_EQ(Word(b, 0), b.size() / bs);
    }
}

TEST(MemoDbt4, BlockHeaderAndZeroPadding) {
    TempDir dir;
    const std::string table = MakeTable4(dir, "t.dbf", 512);
    auto memo = OpenMemo(table, 0x8B);
    EXPECT_EQ(memo->MemoWrite(0, "hello", 5), 1);
    memo->Close();
    std::vector<uint8_t> b = Bytes(table);
    ASSERT_EQ(b.size(), 1024u);
    const uint8_t head[] = {0xFF, 0xFF, 0x08, 0x00, 13, 0, 0, 0};
    EXPECT_TRUE(std::equal(head, head + 8, b.begin() + 512));
    EXPECT_EQ(std::string(b.begin() + 520, b.begin() + 525), "hello");
    EXPECT_TRUE(std::all_of(b.begin() + 525, b.end(), [](uint8_t c) { return c == 0; }));
    EXPECT_EQ(Word(b, 0), 2u);
}

TEST(MemoDbt4, FreedBlocksHeadTheChainAndAreReusedFirstFit) {
    TempDir dir;
    const std::string table = MakeTable4(dir, "t.dbf", 512);
    auto memo = OpenMemo(table, 0x8B);
    std::string a = Pattern(3000, 1);  // needs 6 blocks: 1..6
    ASSERT_EQ(memo->MemoWrite(0, a.data(), 3000), 1);
    ASSERT_EQ(memo->MemoWrite(0, "bee", 3), 7);
    memo->MemoFree(1);
    std::vector<uint8_t> b = Bytes(table);
    EXPECT_EQ(Word(b, 0), 1u);
    EXPECT_EQ(Word(b, 4), 0u);
    EXPECT_EQ(Word(b, 512), 8u);      // next: the end of the file, no other run
    EXPECT_EQ(Word(b, 512 + 4), 6u);  // the run's blocks
    // A small memo takes the head of the run; the rest of the run stays free.
    std::string c = Pattern(100, 2);
    EXPECT_EQ(memo->MemoWrite(0, c.data(), 100), 1);
    b = Bytes(table);
    EXPECT_EQ(Word(b, 0), 2u);
    EXPECT_EQ(Word(b, 2 * 512), 8u);
    EXPECT_EQ(Word(b, 2 * 512 + 4), 5u);
    // A memo that fits the rest exactly takes it all and the chain is empty again.
    std::string d = Pattern(5 * 512 - 9, 3);
    EXPECT_EQ(memo->MemoWrite(0, d.data(), static_cast<int32_t>(d.size())), 2);
    b = Bytes(table);
    EXPECT_EQ(Word(b, 0), 8u);
    EXPECT_EQ(b.size(), 8u * 512);
    EXPECT_EQ(memo->MemoText(1), c);
    EXPECT_TRUE(memo->MemoText(2) == d);
    EXPECT_EQ(memo->MemoText(7), "bee");
}

TEST(MemoDbt4, RewriteOfTheSameLengthReturnsToItsOwnBlocks) {
    TempDir dir;
    const std::string table = MakeTable4(dir, "t.dbf", 512);
    auto memo = OpenMemo(table, 0x8B);
    std::string a = Pattern(1000, 4);
    int32_t b1 = memo->MemoWrite(0, a.data(), 1000);
    int32_t b2 = memo->MemoWrite(0, "other", 5);
    std::string a2 = Pattern(1000, 5);
    EXPECT_EQ(memo->MemoWrite(b1, a2.data(), 1000), b1);
    EXPECT_EQ(memo->MemoText(b1), a2);
    EXPECT_EQ(memo->MemoText(b2), "other");
    EXPECT_EQ(Word(Bytes(table), 0), 4u);  // chain empty: blocks 1-2, 3, end at 4
}

TEST(MemoDbt4, TextFillingWholeBlocksNeedsOneMoreAndLeavesTheFreedRunInTheChain) {
    TempDir dir;
    const std::string table = MakeTable4(dir, "t.dbf", 512);
    auto memo = OpenMemo(table, 0x8B);
    std::string a = Pattern(1016, 6);  // 1016 + 8 = 1024: two blocks allocated as three
    int32_t b1 = memo->MemoWrite(0, a.data(), 1016);
    EXPECT_EQ(b1, 1);
    EXPECT_EQ(Bytes(table).size(), 4u * 512);  // the whole allocation is in the file
    int32_t b2 = memo->MemoWrite(0, "x", 1);
    EXPECT_EQ(b2, 4);
    // Freed: a run of two blocks (1024 / 512); the rewrite needs three and goes to the end.
    std::string a2 = Pattern(1016, 7);
    EXPECT_EQ(memo->MemoWrite(b1, a2.data(), 1016), 5);
    std::vector<uint8_t> b = Bytes(table);
    EXPECT_EQ(Word(b, 0), 1u);
    EXPECT_EQ(Word(b, 512), 8u);
    EXPECT_EQ(Word(b, 512 + 4), 2u);
    EXPECT_EQ(memo->MemoText(5), a2);
    // The freed run is still taken by a memo that fits it.
    EXPECT_EQ(memo->MemoWrite(0, "small", 5), 1);
}

TEST(MemoDbt4, FirstFitSkipsRunsTooSmallAndLinksAroundTheOneTaken) {
    TempDir dir;
    const std::string table = MakeTable4(dir, "t.dbf", 512);
    auto memo = OpenMemo(table, 0x8B);
    std::string big = Pattern(2000, 8);     // 4 blocks
    std::string small = Pattern(100, 9);    // 1 block
    int32_t s1 = memo->MemoWrite(0, small.data(), 100);  // 1
    int32_t k1 = memo->MemoWrite(0, "keep", 4);          // 2
    int32_t g1 = memo->MemoWrite(0, big.data(), 2000);   // 3..6
    int32_t k2 = memo->MemoWrite(0, "keep2", 5);         // 7
    memo->MemoFree(g1);
    memo->MemoFree(s1);  // chain: 1 (1 block) -> 3 (4 blocks) -> end
    std::string mid = Pattern(1500, 10);  // 3 blocks: skips 1, takes 3..5, remainder 6
    EXPECT_EQ(memo->MemoWrite(0, mid.data(), 1500), 3);
    std::vector<uint8_t> b = Bytes(table);
    EXPECT_EQ(Word(b, 0), 1u);
    EXPECT_EQ(Word(b, 512), 6u);  // the small run now links to the remainder
    EXPECT_EQ(Word(b, 512 + 4), 1u);
    EXPECT_EQ(Word(b, 6 * 512), 8u);
    EXPECT_EQ(Word(b, 6 * 512 + 4), 1u);
    // Too large for every run: goes to the end and the last run's link follows the end.
    EXPECT_EQ(memo->MemoWrite(0, big.data(), 2000), 8);
    b = Bytes(table);
    EXPECT_EQ(Word(b, 6 * 512), 12u);
    EXPECT_EQ(b.size(), 12u * 512);
    EXPECT_EQ(memo->MemoText(k1), "keep");
    EXPECT_EQ(memo->MemoText(k2), "keep2");
    EXPECT_EQ(memo->MemoText(3), mid);
    EXPECT_EQ(memo->MemoText(8), big);
}

TEST(MemoDbt4, PackLikeReleaseMakesRoomThatNewMemosReuse) {
    TempDir dir;
    const std::string table = MakeTable4(dir, "t.dbf", 512);
    auto memo = OpenMemo(table, 0x8B);
    std::vector<int32_t> blocks;
    std::vector<std::string> texts;
    for (int i = 0; i < 20; ++i) {
        texts.push_back(Pattern(static_cast<size_t>(100 + 97 * i), static_cast<unsigned>(i)));
        blocks.push_back(memo->MemoWrite(0, texts.back().data(), static_cast<int32_t>(texts.back().size())));
    }
    const size_t sizeBefore = Bytes(table).size();
    for (int i = 0; i < 20; i += 2) memo->MemoFree(blocks[i]);  // the "deleted records"
    // Written back largest first, each finds a run at the head of the chain.
    for (int i = 18; i >= 0; i -= 2) {
        std::string t = Pattern(texts[i].size(), static_cast<unsigned>(i + 100));
        int32_t nb = memo->MemoWrite(0, t.data(), static_cast<int32_t>(t.size()));
        EXPECT_LT(nb, static_cast<int32_t>(sizeBefore / 512)) << "memo " << i << " went to the end";
        blocks[i] = nb;
        texts[i] = t;
    }
    EXPECT_EQ(Bytes(table).size(), sizeBefore);
    for (int i = 0; i < 20; ++i) EXPECT_TRUE(memo->MemoText(blocks[i]) == texts[i]) << i;
}

TEST(MemoDbt4, FreeingTwiceIsRefusedAndLeavesTheChainAsItWas) {
    TempDir dir;
    const std::string table = MakeTable4(dir, "t.dbf", 512);
    auto memo = OpenMemo(table, 0x8B);
    int32_t b1 = memo->MemoWrite(0, "one", 3);
    memo->MemoFree(b1);
    std::vector<uint8_t> before = Bytes(table);
    std::string msg = memotest::ErrorText([&] { memo->MemoFree(b1); });
    EXPECT_NE(msg.find("dBase memo record has format error - "), std::string::npos) << msg;
    EXPECT_NE(msg.find("not a memo in use"), std::string::npos) << msg;
    EXPECT_EQ(Bytes(table), before);
    EXPECT_EQ(memo->MemoWrite(0, "two", 3), b1);
}

TEST(MemoDbt4, ShortFileIsExtendedToOneBlockWhenOpened) {
    TempDir dir;
    const std::string table = MakeTable(dir, "t.dbf", 0x8B);
    const std::string path = memotest::MemoFile(table, 0x8B);
    std::vector<uint8_t> b = testutil::ReadBytes(path);
    b.resize(32);
    testutil::WriteBytes(path, b);
    auto memo = OpenMemo(table, 0x8B);
    memo->Close();
    std::vector<uint8_t> after = testutil::ReadBytes(path);
    ASSERT_EQ(after.size(), 512u);
    EXPECT_TRUE(std::equal(b.begin(), b.end(), after.begin()));
}

TEST(MemoDbt4, RenameWritesTheNameIntoTheHeader) {
    TempDir dir;
    const std::string table = MakeTable4(dir, "a.dbf", 512);
    auto memo = OpenMemo(table, 0x8B);
    memo->MemoRename(dir.File("renamed.dbf"));
    memo->Close();
    std::vector<uint8_t> b = testutil::ReadBytes(dir.File("renamed.dbt"));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(b.data() + 8), 9), std::string("RENAMED\0\0", 9));
    EXPECT_EQ(Word(b, 20), 512u);
}

}  // namespace
