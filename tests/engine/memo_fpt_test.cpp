// FoxPro memo files: big-endian headers, placement by block size, in-place rewrites.

#include "memo_helpers.h"

using memotest::MakeTable;
using memotest::OpenMemo;
using memotest::Pattern;
using testutil::TempDir;

namespace {

std::vector<uint8_t> Bytes(const std::string& table) {
    return testutil::ReadBytes(memotest::MemoFile(table, 0xF5));
}

// A FoxPro table whose memo file uses `blockSize` (the header stays 512 bytes).
std::string MakeFpt(const TempDir& dir, const std::string& name, uint16_t blockSize) {
    const std::string table = MakeTable(dir, name, 0xF5);
    const std::string memo = memotest::MemoFile(table, 0xF5);
    std::vector<uint8_t> b = testutil::ReadBytes(memo);
    b[6] = static_cast<uint8_t>(blockSize >> 8);
    b[7] = static_cast<uint8_t>(blockSize);
    gsBytes::Put32BE(b.data(), (512 + blockSize - 1) / blockSize);
    testutil::WriteBytes(memo, b);
    return table;
}

TEST(MemoFpt, RoundTripOfManyLengthsAndBlockSizes) {
    for (uint16_t bs : {1, 33, 64, 512, 4096}) {
        TempDir dir;
        const std::string table = MakeFpt(dir, "f.dbf", bs);
        auto memo = OpenMemo(table, 0xF5);
        ASSERT_EQ(memo->BlockSize(), bs);
        std::vector<size_t> lengths = {1, 55, 56, 57, 63, 64, 65, 503, 504, 505, 5000, 40000};
        if (bs >= 64) lengths.push_back(300000);
        std::vector<std::pair<int32_t, std::string>> written;
        for (size_t n : lengths) {
            std::string text = Pattern(n, static_cast<unsigned>(n * 3 + bs));
            written.emplace_back(memo->MemoWrite(0, text.data(), static_cast<int32_t>(n)), text);
        }
        for (const auto& [block, text] : written) {
            EXPECT_GE(static_cast<int64_t>(block) * bs, 512);
            EXPECT_EQ(memo->MemoLength(block), static_cast<int32_t>(text.size()));
            EXPECT_TRUE(memo->MemoText(block) == text) << "bs " << bs << " length " << text.size();
        }
    }
}

TEST(MemoFpt, FiftySixBytesInSixtyFourByteBlocksTakeTwoBlocks) {
    TempDir dir;
    const std::string table = MakeTable(dir, "f.dbf", 0xF5);  // 64-byte blocks
    auto memo = OpenMemo(table, 0xF5);
    ASSERT_EQ(memo->BlockSize(), 64);
    std::string text = Pattern(56, 1);
    EXPECT_EQ(memo->MemoWrite(0, text.data(), 56), 8);
    EXPECT_EQ(memo->BlockCount(), 2);
    std::vector<uint8_t> b = Bytes(table);
    EXPECT_EQ(gsBytes::Get32BE(b.data()), 10u);
    EXPECT_EQ(gsBytes::Get32BE(b.data() + 512), 1u);   // type: text
    EXPECT_EQ(gsBytes::Get32BE(b.data() + 516), 56u);  // length
    EXPECT_EQ(std::string(b.begin() + 520, b.begin() + 576), text);
    EXPECT_EQ(memo->MemoWrite(0, "next", 4), 10);
}

TEST(MemoFpt, PartBlockIsPaddedWithZeros) {
    TempDir dir;
    const std::string table = MakeTable(dir, "f.dbf", 0xF5);
    auto memo = OpenMemo(table, 0xF5);
    EXPECT_EQ(memo->MemoWrite(0, "abc", 3), 8);
    memo->Close();
    std::vector<uint8_t> b = Bytes(table);
    ASSERT_EQ(b.size(), 512u + 64u);
    EXPECT_TRUE(std::all_of(b.begin() + 523, b.end(), [](uint8_t c) { return c == 0; }));
}

TEST(MemoFpt, RewriteStaysWhenItFitsAndMovesWhenLonger) {
    TempDir dir;
    const std::string table = MakeTable(dir, "f.dbf", 0xF5);
    auto memo = OpenMemo(table, 0xF5);
    std::string a = Pattern(500, 2);  // (8 + 500) / 64 -> 8 blocks
    int32_t b1 = memo->MemoWrite(0, a.data(), 500);
    int32_t b2 = memo->MemoWrite(0, "two", 3);
    std::string shorter = Pattern(300, 3);
    EXPECT_EQ(memo->MemoWrite(b1, shorter.data(), 300), b1);
    EXPECT_EQ(memo->MemoText(b1), shorter);
    std::string same = Pattern(300, 4);
    EXPECT_EQ(memo->MemoWrite(b1, same.data(), 300), b1);
    const uint32_t end = gsBytes::Get32BE(Bytes(table).data());
    std::string longer = Pattern(600, 5);
    EXPECT_EQ(memo->MemoWrite(b1, longer.data(), 600), static_cast<int32_t>(end));
    EXPECT_EQ(memo->MemoText(static_cast<int32_t>(end)), longer);
    EXPECT_EQ(memo->MemoText(b2), "two");
    // Freeing keeps nothing in this format.
    const std::vector<uint8_t> before = Bytes(table);
    memo->MemoFree(b2);
    EXPECT_EQ(Bytes(table), before);
}

TEST(MemoFpt, PictureBlocksAreReadAndEmptyTextReplacesAMemo) {
    TempDir dir;
    const std::string table = MakeTable(dir, "f.dbf", 0xF5);
    auto memo = OpenMemo(table, 0xF5);
    int32_t block = memo->MemoWrite(0, "picture", 7);
    memo->Close();
    std::vector<uint8_t> b = Bytes(table);
    gsBytes::Put32BE(b.data() + block * 64, 0);
    testutil::WriteBytes(memotest::MemoFile(table, 0xF5), b);
    memo = OpenMemo(table, 0xF5);
    EXPECT_EQ(memo->MemoText(block), "picture");
    EXPECT_EQ(memo->MemoWrite(block, "", 0), block);
    EXPECT_EQ(memo->MemoLength(block), 0);
    EXPECT_EQ(gsBytes::Get32BE(Bytes(table).data() + block * 64), 1u);
}

TEST(MemoFpt, RenameOnlyRenames) {
    TempDir dir;
    const std::string table = MakeTable(dir, "fox.dbf", 0xF5);
    auto memo = OpenMemo(table, 0xF5);
    int32_t block = memo->MemoWrite(0, "kept", 4);
    const std::vector<uint8_t> before = Bytes(table);
    memo->MemoRename(dir.File("other.dbf"));
    EXPECT_EQ(memo->MemoText(block), "kept");
    memo->Close();
    EXPECT_EQ(testutil::ReadBytes(dir.File("other.fpt")), before);
    EXPECT_FALSE(platform::FileExists(dir.File("fox.fpt")));
}

TEST(MemoFpt, Version30TablesUseTheSameMemoFile) {
    TempDir dir;
    const std::string table = MakeTable(dir, "v.dbf", 0x30);
    auto memo = OpenMemo(table, 0x30);
    std::string text = Pattern(1000, 6);
    int32_t block = memo->MemoWrite(0, text.data(), 1000);
    EXPECT_EQ(memo->MemoText(block), text);
    EXPECT_EQ(memo->Version(), 0x30);
}

}  // namespace
