// dBase III memo files: placement, end markers, rewrites, reads bounded by the buffer.

#include "memo_helpers.h"

using memotest::MakeTable;
using memotest::OpenMemo;
using memotest::Pattern;
using testutil::TempDir;

namespace {

uint32_t NextFree(const std::string& memoPath) {
    std::vector<uint8_t> b = testutil::ReadBytes(memoPath);
    return gsBytes::Get32LE(b.data());
}

TEST(MemoDbt3, RoundTripOfManyLengths) {
    TempDir dir;
    const std::string table = MakeTable(dir, "t3.dbf", 0x83);
    auto memo = OpenMemo(table, 0x83);
    const size_t lengths[] = {1,    2,    509,  510,  511,   512,   513,   1021,  1022,  1023,
                              1024, 1025, 1536, 5000, 32767, 32768, 32769, 65519, 65520, 70000,
                              200000};
    std::vector<std::pair<int32_t, std::string>> written;
    for (size_t n : lengths) {
        std::string text = Pattern(n, static_cast<unsigned>(n));
        int32_t block = memo->MemoWrite(0, text.data(), static_cast<int32_t>(text.size()));
        ASSERT_GT(block, 0) << n;
        written.emplace_back(block, text);
    }
    for (const auto& [block, text] : written) {
        EXPECT_EQ(memo->MemoLength(block), static_cast<int32_t>(text.size()));
        EXPECT_TRUE(memo->MemoText(block) == text) << "length " << text.size();
    }
}

TEST(MemoDbt3, FiveHundredTenBytesFillOneBlockWithTheMarkerAtItsEnd) {
    TempDir dir;
    const std::string table = MakeTable(dir, "t.dbf", 0x83);
    auto memo = OpenMemo(table, 0x83);
    std::string text = Pattern(510, 1);
    EXPECT_EQ(memo->MemoWrite(0, text.data(), 510), 1);
    EXPECT_EQ(memo->MemoWrite(0, "x", 1), 2);
    memo->Close();
    std::vector<uint8_t> b = testutil::ReadBytes(memotest::MemoFile(table, 0x83));
    EXPECT_EQ(b[512 + 510], 0x1A);
    EXPECT_EQ(b[512 + 511], 0x1A);
    EXPECT_EQ(b[1024], 'x');
}

TEST(MemoDbt3, FiveHundredElevenBytesTakeTwoBlocksWithOneMarkerByte) {
    TempDir dir;
    const std::string table = MakeTable(dir, "t.dbf", 0x83);
    const std::string path = memotest::MemoFile(table, 0x83);
    auto memo = OpenMemo(table, 0x83);
    std::string text = Pattern(511, 2);
    EXPECT_EQ(memo->MemoWrite(0, text.data(), 511), 1);
    EXPECT_EQ(NextFree(path), 3u);
    EXPECT_EQ(memo->MemoLength(1), 511);
    std::vector<uint8_t> b = testutil::ReadBytes(path);
    EXPECT_EQ(b[512 + 511], 0x1A);
    EXPECT_EQ(memo->MemoWrite(0, "y", 1), 3);
}

TEST(MemoDbt3, FiveHundredTwelveBytesPutTheMarkerIntoTheNextBlock) {
    TempDir dir;
    const std::string table = MakeTable(dir, "t.dbf", 0x83);
    const std::string path = memotest::MemoFile(table, 0x83);
    auto memo = OpenMemo(table, 0x83);
    std::string text = Pattern(512, 3);
    EXPECT_EQ(memo->MemoWrite(0, text.data(), 512), 1);
    std::vector<uint8_t> b = testutil::ReadBytes(path);
    ASSERT_EQ(b.size(), 3u * 512);
    EXPECT_EQ(b[1024], 0x1A);
    EXPECT_EQ(b[1025], 0x1A);
    EXPECT_EQ(b[1026], 0x00);
    EXPECT_EQ(memo->MemoText(1), text);
    EXPECT_EQ(NextFree(path), 3u);
}

TEST(MemoDbt3, EmptyTextForAFieldWithoutMemoWritesNothing) {
    TempDir dir;
    const std::string table = MakeTable(dir, "t.dbf", 0x83);
    const std::string path = memotest::MemoFile(table, 0x83);
    std::vector<uint8_t> before = testutil::ReadBytes(path);
    auto memo = OpenMemo(table, 0x83);
    EXPECT_EQ(memo->MemoWrite(0, "", 0), 0);
    memo->Close();
    EXPECT_EQ(testutil::ReadBytes(path), before);
}

TEST(MemoDbt3, ShorterRewriteStaysLongerOneMovesToTheEnd) {
    TempDir dir;
    const std::string table = MakeTable(dir, "t.dbf", 0x83);
    const std::string path = memotest::MemoFile(table, 0x83);
    auto memo = OpenMemo(table, 0x83);
    std::string a = Pattern(2000, 4);
    int32_t b1 = memo->MemoWrite(0, a.data(), 2000);
    int32_t b2 = memo->MemoWrite(0, "second", 6);
    std::string shorter = Pattern(900, 5);
    EXPECT_EQ(memo->MemoWrite(b1, shorter.data(), 900), b1);
    EXPECT_EQ(memo->MemoText(b1), shorter);
    EXPECT_EQ(memo->MemoText(b2), "second");
    // Empty text in place of a memo: an empty memo in the same blocks.
    EXPECT_EQ(memo->MemoWrite(b2, "", 0), b2);
    EXPECT_EQ(memo->MemoLength(b2), 0);
    const uint32_t end = NextFree(path);
    std::string longer = Pattern(3000, 6);
    EXPECT_EQ(memo->MemoWrite(b1, longer.data(), 3000), static_cast<int32_t>(end));
    EXPECT_EQ(NextFree(path), end + 6);
    EXPECT_EQ(memo->MemoText(static_cast<int32_t>(end)), longer);
}

TEST(MemoDbt3, ReadsOnlyWhatTheBufferHolds) {
    TempDir dir;
    const std::string table = MakeTable(dir, "t.dbf", 0x83);
    auto memo = OpenMemo(table, 0x83);
    std::string text = Pattern(1000, 7);
    int32_t block = memo->MemoWrite(0, text.data(), 1000);
    std::vector<char> buf(120, '#');
    int32_t count = 100;
    memo->MemoRead(block, buf.data(), count);
    EXPECT_EQ(count, 100);
    EXPECT_EQ(std::string(buf.data(), 100), text.substr(0, 100));
    EXPECT_EQ(std::string(buf.data() + 100, 20), std::string(20, '#'));
    count = 0;
    memo->MemoRead(block, buf.data(), count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(buf[0], text[0]);
    count = 10;
    memo->MemoRead(0, buf.data(), count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(buf[0], '\0');
    EXPECT_EQ(buf[1], text[1]);
}

TEST(MemoDbt3, MemoWithoutMarkerReadsToTheEndOfTheFile) {
    TempDir dir;
    const std::string table = MakeTable(dir, "t.dbf", 0x83);
    const std::string path = memotest::MemoFile(table, 0x83);
    std::vector<uint8_t> b = testutil::ReadBytes(path);
    std::string text = Pattern(70000, 8);
    b.insert(b.end(), text.begin(), text.end());
    testutil::WriteBytes(path, b);
    auto memo = OpenMemo(table, 0x83);
    EXPECT_EQ(memo->MemoLength(1), 70000);
    EXPECT_TRUE(memo->MemoText(1) == text);
    // A new memo goes after the data, although the header still says block 1.
    const int32_t placed = memo->MemoWrite(0, "z", 1);
    EXPECT_EQ(placed, (512 + 70000 + 511) / 512);
    EXPECT_EQ(memo->MemoText(placed), "z");
    EXPECT_TRUE(memo->MemoText(1).compare(0, text.size(), text) == 0);
}

TEST(MemoDbt3, RenameMovesTheFileAndWritesTheNameIntoTheHeader) {
    TempDir dir;
    const std::string table = MakeTable(dir, "old.dbf", 0x83);
    auto memo = OpenMemo(table, 0x83);
    int32_t block = memo->MemoWrite(0, "kept", 4);
    memo->MemoRename(dir.File("averylongname.dbf"));
    EXPECT_EQ(memo->MemoText(block), "kept");
    memo->Close();
    EXPECT_FALSE(platform::FileExists(dir.File("old.dbt")));
    std::vector<uint8_t> b = testutil::ReadBytes(dir.File("averylongname.dbt"));
    ASSERT_GE(b.size(), 17u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(b.data() + 8), 9), std::string("AVERYLON\0", 9));
}

TEST(MemoDbt3, MissingMemoFileIsFileNotFound) {
    TempDir dir;
    CreateDBFTable(dir.File("plain.dbf"), 0x83, {ParseFieldDef("NOTE:M")});
    std::remove(dir.File("plain.dbt").c_str());
    std::string msg = memotest::ErrorText([&] { memotest::OpenMemo(dir.File("plain.dbf"), 0x83); });
    EXPECT_EQ(msg, "File not found - " + dir.File("plain.dbt"));
}

TEST(MemoDbt3, VersionsWithoutMemoFilesGetNoMemoObject) {
    TempDir dir;
    EXPECT_EQ(CreateMemoObject(nullptr, dir.File("x.dbf"), 0x03, true, false), nullptr);
    EXPECT_EQ(MemoPathFor(dir.File("x.dbf"), 0x03), "");
    EXPECT_EQ(MemoPathFor(dir.File("Kaz1.dbf"), 0x83), dir.File("Kaz1.dbt"));
    EXPECT_EQ(MemoPathFor(dir.File("K.DBF"), 0x8B), dir.File("K.DBT"));
    EXPECT_EQ(MemoPathFor(dir.File("K.dbf"), 0xF5), dir.File("K.fpt"));
    EXPECT_EQ(MemoPathFor(dir.File("K.dbf"), 0x30), dir.File("K.fpt"));
}

TEST(MemoDbt3, FindsTheMemoFileWhateverItsCase) {
    TempDir dir;
    const std::string table = MakeTable(dir, "case.dbf", 0x83);
    ASSERT_EQ(std::rename(dir.File("case.dbt").c_str(), dir.File("CASE.DBT").c_str()), 0);
    auto memo = OpenMemo(table, 0x83);
    int32_t block = memo->MemoWrite(0, "found", 5);
    EXPECT_EQ(memo->MemoText(block), "found");
}

// An owner that records what it is told and then raises, as the table object does.
class RecordingOwner : public GSO_DiskFile {
public:
    RecordingOwner() : GSO_DiskFile("/tmp/owner.dbf", false, false) {}
    [[noreturn]] void ReportError(int code, int subcode, const std::string& detail) override {
        codes.push_back(code);
        subcodes.push_back(subcode);
        details.push_back(detail);
        throw ERidedezError("owner saw " + std::to_string(code));
    }
    std::vector<int> codes, subcodes;
    std::vector<std::string> details;
};

TEST(MemoDbt3, ErrorsGoToTheOwningTable) {
    TempDir dir;
    const std::string table = MakeTable(dir, "t.dbf", 0x83);
    RecordingOwner owner;
    auto memo = CreateMemoObject(&owner, table, 0x83, true, false);
    EXPECT_EQ(memotest::ErrorText([&] { memo->MemoLength(99); }), "owner saw 1005");
    ASSERT_EQ(owner.codes.size(), 1u);
    EXPECT_EQ(owner.subcodes[0], 6199);
    EXPECT_NE(owner.details[0].find("block 99 lies beyond the end of the file"), std::string::npos);
    std::remove(dir.File("t.dbt").c_str());
    EXPECT_EQ(memotest::ErrorText([&] { CreateMemoObject(&owner, table, 0x83, true, false); }),
              "owner saw 2");
    EXPECT_EQ(owner.subcodes.back(), 6101);
}

}  // namespace
