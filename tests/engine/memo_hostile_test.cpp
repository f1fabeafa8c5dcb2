// Damaged and hostile memo files: every fault is a clean error 1005 (or the range error
// for a memo too large), with nothing written and nothing read outside a buffer.

#include <sys/stat.h>
#include <unistd.h>

#include "engine/RunErrors.h"
#include "memo_helpers.h"

using memotest::MakeTable;
using memotest::OpenMemo;
using memotest::Pattern;
using testutil::TempDir;

namespace {

uint32_t FirstWord(const std::string& path) {
    uint8_t b[4] = {};
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f != nullptr) {
        if (std::fread(b, 1, 4, f) != 4) b[0] = b[1] = b[2] = b[3] = 0xEE;
        std::fclose(f);
    }
    return gsBytes::Get32LE(b);
}

const std::string kFormat = "dBase memo record has format error - ";

// A table of `version` whose memo file is replaced by `bytes`.
std::string WithMemoFile(const TempDir& dir, uint8_t version, const std::vector<uint8_t>& bytes) {
    static int serial = 0;
    const std::string table = MakeTable(dir, "h" + std::to_string(++serial) + ".dbf", version);
    testutil::WriteBytes(memotest::MemoFile(table, version), bytes);
    return table;
}

std::vector<uint8_t> ValidMemoFile(uint8_t version, const std::string& text) {
    TempDir dir;
    const std::string table = MakeTable(dir, "v.dbf", version);
    auto memo = OpenMemo(table, version);
    memo->MemoWrite(0, text.data(), static_cast<int32_t>(text.size()));
    memo->Close();
    return testutil::ReadBytes(memotest::MemoFile(table, version));
}

// Expects a format error whose detail holds `what`.
void ExpectFormatError(const std::function<void()>& f, const std::string& what) {
    std::string msg = memotest::ErrorText(f);
    EXPECT_EQ(msg.rfind(kFormat, 0), 0u) << msg;
    EXPECT_NE(msg.find(what), std::string::npos) << msg;
}

TEST(MemoHostile, BlockNumbersOutsideTheFile) {
    for (uint8_t v : {0x83, 0x8B, 0xF5}) {
        TempDir dir;
        const std::string table = MakeTable(dir, "t.dbf", v);
        auto memo = OpenMemo(table, v);
        char buf[16];
        int32_t count = 16;
        ExpectFormatError([&] { memo->MemoRead(5000, buf, count); }, "beyond the end of the file");
        ExpectFormatError([&] { memo->MemoLength(0x7FFFFFFF); }, "beyond the end of the file");
        ExpectFormatError([&] { memo->MemoLength(-3); }, "block -3");
        ExpectFormatError([&] { memo->MemoWrite(-3, "x", 1); }, "block number -3");
        ExpectFormatError([&] { memo->MemoWrite(77, "x", 1); }, "beyond the end of the file");
    }
}

TEST(MemoHostile, Dbt4BlockWithoutMarkOrWithImpossibleLength) {
    std::vector<uint8_t> b = ValidMemoFile(0x8B, "text");
    TempDir dir;
    std::vector<uint8_t> noMark = b;
    noMark[512] = 0x00;
    std::string table = WithMemoFile(dir, 0x8B, noMark);
    ExpectFormatError([&] { OpenMemo(table, 0x8B)->MemoLength(1); }, "no FF FF");
    ExpectFormatError([&] { OpenMemo(table, 0x8B)->MemoFree(1); }, "not a memo in use");
    std::vector<uint8_t> longer = b;
    gsBytes::Put32LE(longer.data() + 516, 100000);
    testutil::WriteBytes(memotest::MemoFile(table, 0x8B), longer);
    ExpectFormatError([&] { OpenMemo(table, 0x8B)->MemoLength(1); }, "past the end of the file");
    ExpectFormatError([&] { OpenMemo(table, 0x8B)->MemoFree(1); }, "does not fit the file");
    gsBytes::Put32LE(longer.data() + 516, 0xFFFFFFFFu);
    testutil::WriteBytes(memotest::MemoFile(table, 0x8B), longer);
    ExpectFormatError([&] { OpenMemo(table, 0x8B)->MemoLength(1); }, "absurd length");
    gsBytes::Put32LE(longer.data() + 516, 3);
    testutil::WriteBytes(memotest::MemoFile(table, 0x8B), longer);
    ExpectFormatError([&] { OpenMemo(table, 0x8B)->MemoLength(1); }, "less than its own header");
}

TEST(MemoHostile, FptBlockOfAnotherTypeOrLength) {
    std::vector<uint8_t> b = ValidMemoFile(0xF5, "text");
    TempDir dir;
    std::vector<uint8_t> freed = b;
    gsBytes::Put32BE(freed.data() + 512, 1001);
    std::string table = WithMemoFile(dir, 0xF5, freed);
    ExpectFormatError([&] { OpenMemo(table, 0xF5)->MemoLength(8); }, "type 1001");
    std::vector<uint8_t> longer = b;
    gsBytes::Put32BE(longer.data() + 516, 0x7FFFFFF0u);
    testutil::WriteBytes(memotest::MemoFile(table, 0xF5), longer);
    auto memo = OpenMemo(table, 0xF5);
    std::vector<char> buf(64, '#');
    int32_t count = 64;
    ExpectFormatError([&] { memo->MemoRead(8, buf.data(), count); }, "past the end of the file");
    EXPECT_EQ(buf[0], '#');
    ExpectFormatError([&] { memo->MemoLength(3); }, "memo blocks start at 8");
}

TEST(MemoHostile, BadBlockSizesAndCutHeaders) {
    TempDir dir;
    std::vector<uint8_t> fpt(512, 0);
    std::string table = WithMemoFile(dir, 0xF5, fpt);
    ExpectFormatError([&] { OpenMemo(table, 0xF5); }, "block size is 0");
    table = WithMemoFile(dir, 0xF5, std::vector<uint8_t>(5, 0));
    ExpectFormatError([&] { OpenMemo(table, 0xF5); }, "header is cut off");
    table = WithMemoFile(dir, 0x8B, std::vector<uint8_t>(512, 0));
    ExpectFormatError([&] { OpenMemo(table, 0x8B); }, "block size 0 is not usable");
    std::vector<uint8_t> huge(512, 0);
    gsBytes::Put32LE(huge.data() + 20, 0x40000000u);
    table = WithMemoFile(dir, 0x8B, huge);
    ExpectFormatError([&] { OpenMemo(table, 0x8B); }, "block size 1073741824 is not usable");
    EXPECT_EQ(testutil::ReadBytes(memotest::MemoFile(table, 0x8B)).size(), 512u);
    table = WithMemoFile(dir, 0x8B, std::vector<uint8_t>(10, 0));
    ExpectFormatError([&] { OpenMemo(table, 0x8B); }, "header is cut off");
    table = WithMemoFile(dir, 0x83, std::vector<uint8_t>(2, 0));
    auto memo = OpenMemo(table, 0x83);
    ExpectFormatError([&] { memo->MemoWrite(0, "x", 1); }, "header is cut off");
}

TEST(MemoHostile, FreeChainsThatLoopOrLeaveTheFile) {
    TempDir dir;
    const std::string table = MakeTable(dir, "c.dbf", 0x8B);
    const std::string path = memotest::MemoFile(table, 0x8B);
    // Header -> 1 -> 2 -> 1 ...: two free runs of one block pointing at each other.
    std::vector<uint8_t> b(4 * 512, 0);
    gsBytes::Put32LE(b.data(), 1);
    gsBytes::Put32LE(b.data() + 20, 512);
    gsBytes::Put32LE(b.data() + 512, 2);
    gsBytes::Put32LE(b.data() + 516, 1);
    gsBytes::Put32LE(b.data() + 1024, 1);
    gsBytes::Put32LE(b.data() + 1028, 1);
    testutil::WriteBytes(path, b);
    std::string big = Pattern(2000, 1);
    ExpectFormatError([&] { OpenMemo(table, 0x8B)->MemoWrite(0, big.data(), 2000); }, "circle");
    EXPECT_EQ(testutil::ReadBytes(path), b);
    // A run whose next link points far outside the file.
    gsBytes::Put32LE(b.data() + 1024, 999999);
    testutil::WriteBytes(path, b);
    ExpectFormatError([&] { OpenMemo(table, 0x8B)->MemoWrite(0, big.data(), 2000); },
                      "points to block 999999, outside the file");
    EXPECT_EQ(testutil::ReadBytes(path), b);
    // A run longer than the file, a run of no blocks, a chain head past the end.
    gsBytes::Put32LE(b.data() + 1024, 4);
    gsBytes::Put32LE(b.data() + 1028, 50);
    testutil::WriteBytes(path, b);
    ExpectFormatError([&] { OpenMemo(table, 0x8B)->MemoWrite(0, big.data(), 2000); }, "does not fit the file");
    gsBytes::Put32LE(b.data() + 1028, 0);
    testutil::WriteBytes(path, b);
    ExpectFormatError([&] { OpenMemo(table, 0x8B)->MemoWrite(0, big.data(), 2000); }, "of 0 blocks");
    gsBytes::Put32LE(b.data(), 40);
    testutil::WriteBytes(path, b);
    ExpectFormatError([&] { OpenMemo(table, 0x8B)->MemoWrite(0, "x", 1); }, "block 40, outside the file");
    EXPECT_EQ(testutil::ReadBytes(path), b);
}

TEST(MemoHostile, HeaderThatLagsBehindTheDataDoesNotOverwriteMemos) {
    for (uint8_t v : {0x83, 0xF5}) {
        TempDir dir;
        const std::string table = MakeTable(dir, "lag.dbf", v);
        const std::string path = memotest::MemoFile(table, v);
        auto memo = OpenMemo(table, v);
        std::string a = Pattern(3000, 2);
        const int32_t b1 = memo->MemoWrite(0, a.data(), 3000);
        memo->Close();
        // The next-free word is set back to the first block, as if the memo were not there.
        std::vector<uint8_t> b = testutil::ReadBytes(path);
        if (v == 0x83) gsBytes::Put32LE(b.data(), 0); else gsBytes::Put32BE(b.data(), 1);
        testutil::WriteBytes(path, b);
        memo = OpenMemo(table, v);
        const int32_t b2 = memo->MemoWrite(0, "new", 3);
        EXPECT_GT(b2, b1);
        EXPECT_TRUE(memo->MemoText(b1) == a);
        EXPECT_EQ(memo->MemoText(b2), "new");
    }
}

TEST(MemoHostile, NextFreeWordBeyondTheSizeLimit) {
    TempDir dir;
    const std::string table = MakeTable(dir, "far.dbf", 0x83);
    const std::string path = memotest::MemoFile(table, 0x83);
    std::vector<uint8_t> b = testutil::ReadBytes(path);
    gsBytes::Put32LE(b.data(), 0xFFFFFFF0u);
    testutil::WriteBytes(path, b);
    ExpectFormatError([&] { OpenMemo(table, 0x83)->MemoWrite(0, "x", 1); }, "beyond the 2 GiB limit");
    EXPECT_EQ(testutil::ReadBytes(path), b);
    // Far ahead of the data: refused before it can blow the file up.
    gsBytes::Put32LE(b.data(), 1 + 65535 + 1);
    testutil::WriteBytes(path, b);
    ExpectFormatError([&] { OpenMemo(table, 0x83)->MemoWrite(0, "x", 1); }, "far beyond the end of the file");
    EXPECT_EQ(testutil::ReadBytes(path), b);
}

TEST(MemoHostile, MemoThatWouldPassTwoGigabytesIsRefused) {
    TempDir dir;
    const std::string table = MakeTable(dir, "near.dbf", 0x83);
    const std::string path = memotest::MemoFile(table, 0x83);
    // A sparse file just below 2 GiB whose header points at its end.
    const int64_t size = (0x7FFFFFFFLL / 512 - 2) * 512;
    ASSERT_EQ(truncate(path.c_str(), size), 0);
    std::vector<uint8_t> word(4);
    gsBytes::Put32LE(word.data(), static_cast<uint32_t>(size / 512));
    {
        GSO_DiskFile f(path, true, false);
        f.Open();
        f.WriteAt(0, word.data(), 4);
    }
    std::string text = Pattern(5000, 3);
    std::string msg = memotest::ErrorText([&] { OpenMemo(table, 0x83)->MemoWrite(0, text.data(), 5000); });
    EXPECT_NE(msg.find("Ridedez Error 223, SubCode 1102"), std::string::npos) << msg;
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, size);
    EXPECT_EQ(FirstWord(path), static_cast<uint32_t>(size / 512));
    // A small memo still fits.
    auto memo = OpenMemo(table, 0x83);
    const int32_t block = memo->MemoWrite(0, "last", 4);
    EXPECT_EQ(block, size / 512);
    EXPECT_EQ(memo->MemoText(block), "last");
    memo->Close();
    unlink(path.c_str());
}

TEST(MemoHostile, MemoOfTooManyBlocksIsARangeErrorAndWritesNothing) {
    TempDir dir;
    const std::string table = MakeTable(dir, "big.dbf", 0xF5);
    const std::string path = memotest::MemoFile(table, 0xF5);
    const std::vector<uint8_t> before = testutil::ReadBytes(path);
    auto memo = OpenMemo(table, 0xF5);  // 64-byte blocks: 65,535 blocks hold just under 4 MiB
    std::string text(65535 * 64, 'a');
    EXPECT_THROW(memo->MemoWrite(0, text.data(), static_cast<int32_t>(text.size())), ERangeError);
    EXPECT_EQ(testutil::ReadBytes(path), before);
    EXPECT_THROW(memo->MemoWrite(0, "x", -1), ERangeError);
}

TEST(MemoHostile, Dbt3WithoutAnyMarkerIsBoundedByTheFile) {
    TempDir dir;
    std::vector<uint8_t> b(512, 0);
    b[0] = 2;
    b.resize(512 + 777, 'q');
    const std::string table = WithMemoFile(dir, 0x83, b);
    auto memo = OpenMemo(table, 0x83);
    EXPECT_EQ(memo->MemoLength(1), 777);
    std::vector<char> buf(1000, '#');
    int32_t count = 1000;
    memo->MemoRead(1, buf.data(), count);
    EXPECT_EQ(count, 777);
    EXPECT_EQ(buf[776], 'q');
    EXPECT_EQ(buf[777], '#');
}

}  // namespace
