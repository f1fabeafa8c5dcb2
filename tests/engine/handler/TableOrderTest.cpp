// The table's index slots and order: opening index files by extension and by list,
// choosing a tag, walking the table in its order both ways, the upkeep of every open
// index file on writes, renaming and rebuilding.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "HandlerTestSupport.h"
#include "engine/Exception.h"
#include "engine/platform/Paths.h"
#include <fstream>
#include "index/core/GSobjIndexFile.h"
#include "index/core/GSobjIndexTag.h"

using namespace handlertest;

namespace {

class TableOrder : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.File("people.dbf");
        CreatePeople(path);
        table = GSO_dBHandler::Open(path, true, false);
        const char* names[] = {"Delta", "alpha", "Charlie", "Bravo", "Echo", "Alpha"};
        const double amounts[] = {4, -1.5, 3, 2, 5, 10};
        for (int i = 0; i < 6; ++i) Append(*table, {names[i], amounts[i], "2020010" + std::to_string(i + 1), i % 2 == 0});
    }
    testutil::TempDir dir;
    std::string path;
    std::unique_ptr<GSO_dBHandler> table;
};

TEST_F(TableOrder, OpensEachFormatByExtensionAndWalksInKeyOrder) {
    BuildIndex(*table, dir.File("byname.ntx"), "UPPER(NAME)");
    BuildIndex(*table, dir.File("byamt.ndx"), "AMOUNT");
    BuildIndex(*table, dir.File("people.cdx"), "BDATE", "", false, false, "BYDATE");
    EXPECT_EQ(table->OpenIndexFile("byname.ntx"), gsIndexOpened);
    EXPECT_EQ(table->OpenIndexFile(dir.File("byamt")), gsIndexOpened);  // .NDX by default
    EXPECT_EQ(table->OpenIndexFile("PEOPLE.CDX"), gsIndexOpened);       // found whatever its case
    EXPECT_TRUE(table->HasIndexFiles());
    EXPECT_EQ(table->IndexFileCount(), 3);

    EXPECT_EQ(table->SelectTag("byname", false), 1);
    EXPECT_EQ(table->SelectedTagName(), "BYNAME");
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{2, 6, 4, 3, 1, 5}));
    EXPECT_EQ(WalkTable(*table, true), (std::vector<int32_t>{5, 1, 3, 4, 6, 2}));
    EXPECT_EQ(table->SelectTag("BYAMT", false), 2);
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{2, 4, 3, 1, 5, 6}));
    EXPECT_EQ(table->SelectTag(" bydate ", false), 3);
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{6, 5, 4, 3, 2, 1}));  // descending

    // An unknown tag changes nothing.
    EXPECT_EQ(table->SelectTag("NOSUCH", true), -1);
    EXPECT_EQ(table->SelectedTagName(), "BYDATE");
    // No name: physical order.
    EXPECT_EQ(table->SelectTag("", false), 0);
    EXPECT_EQ(table->SelectedTag(), nullptr);
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));

    ASSERT_NE(table->TagByNumber(3), nullptr);
    EXPECT_EQ(table->TagByNumber(3)->Name(), "BYDATE");
    EXPECT_EQ(table->TagByNumber(1)->Name(), "BYNAME");
    EXPECT_EQ(table->TagByNumber(0), nullptr);
    EXPECT_EQ(table->TagByNumber(4), nullptr);
    EXPECT_EQ(table->IndexFileSlot("BYAMT.NDX"), 2);
    EXPECT_EQ(table->IndexFileSlot("other.ntx"), 0);

    table->CloseIndexFiles();
    EXPECT_FALSE(table->HasIndexFiles());
    EXPECT_EQ(table->SelectedTag(), nullptr);
}

TEST_F(TableOrder, SelectingKeepsThePositionWhenAsked) {
    BuildIndex(*table, dir.File("byname.ntx"), "UPPER(NAME)");
    ASSERT_EQ(table->OpenIndexFile("byname.ntx"), 0);
    table->GoRecord(3);  // Charlie
    EXPECT_EQ(table->SelectTag("BYNAME", true), 1);
    EXPECT_EQ(table->RecordNumber(), 3);
    table->GoRecord(gsMoveNext);
    EXPECT_EQ(NameOf(*table), "Delta");
    // Moved by record number, the next movement goes on from that record's key.
    table->GoRecord(6);
    table->GoRecord(gsMoveNext);
    EXPECT_EQ(table->RecordNumber(), 4);
    table->GoRecord(gsMovePrior);
    table->GoRecord(gsMovePrior);
    EXPECT_EQ(table->RecordNumber(), 2);
    table->GoRecord(gsMovePrior);
    EXPECT_TRUE(table->Bof());
    EXPECT_EQ(table->SelectTag("BYNAME", false), 1);
    EXPECT_EQ(table->RecordNumber(), 2);
}

TEST_F(TableOrder, UnknownExtensionAndMissingFileReportFileNotFound) {
    const std::string shown = platform::IdentityKey(dir.File("people.idx"));
    std::ofstream(dir.File("people.idx")) << "not an index";
    EXPECT_EQ(ErrorOf([&] { table->OpenIndexFile("people.idx"); }), "File not found - " + shown);
    EXPECT_EQ(ErrorOf([&] { table->OpenIndexFile("missing.ntx"); }),
              "File not found - " + platform::IdentityKey(dir.File("missing.ntx")));
    EXPECT_EQ(table->IndexFileCount(), 0);
    EXPECT_EQ(table->OpenIndexFile("   "), gsIndexNothingOpened);
}

TEST_F(TableOrder, DamagedIndexFileReports2112AndIsNotAdded) {
    std::ofstream(dir.File("bad.ntx"), std::ios::binary) << std::string(1024, '\x7f');
    const std::string message = ErrorOf([&] { table->OpenIndexFile("bad.ntx"); });
    EXPECT_NE(message.find("2112"), std::string::npos) << message;
    EXPECT_EQ(table->IndexFileCount(), 0);
}

TEST_F(TableOrder, OpenIndexListSplitsNamesAndStopsAtOneOpenTwice) {
    BuildIndex(*table, dir.File("a.ntx"), "NAME");
    BuildIndex(*table, dir.File("b c.ntx"), "AMOUNT");
    EXPECT_EQ(table->OpenIndexList("a.ntx, \"b c.ntx\";  ,", "B C"), gsIndexOpened);
    EXPECT_EQ(table->IndexFileCount(), 2);
    EXPECT_EQ(table->SelectedTagName(), "B C");
    // The list closes what was open first; a name given twice stops it with no tag chosen.
    EXPECT_EQ(table->OpenIndexList("a.ntx;A.NTX b c.ntx", "A"), gsIndexNothingOpened);
    EXPECT_EQ(table->IndexFileCount(), 1);
    EXPECT_EQ(table->SelectedTag(), nullptr);
    EXPECT_EQ(table->OpenIndexList("", "A"), gsIndexNothingOpened);
    EXPECT_EQ(table->IndexFileCount(), 0);
}

TEST_F(TableOrder, WritesKeepEveryOpenIndexFileTrue) {
    BuildIndex(*table, dir.File("byname.ntx"), "UPPER(NAME)");
    BuildIndex(*table, dir.File("byamt.ndx"), "AMOUNT");
    ASSERT_EQ(table->OpenIndexList("byname.ntx byamt.ndx", "BYNAME"), 0);
    Append(*table, {"Aaron", 7, "", true});  // record 7
    table->GoRecord(1);
    table->PutTextByName("NAME", "Zulu");
    table->PutRecord(1);
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{7, 2, 6, 4, 3, 5, 1}));
    EXPECT_EQ(table->SelectTag("BYAMT", false), 2);
    table->GoRecord(5);
    table->PutNumberByName("AMOUNT", -9);
    table->PutRecord(5);
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{5, 2, 4, 3, 1, 7, 6}));
    // Reopened, the files say the same.
    table->CloseIndexFiles();
    ASSERT_EQ(table->OpenIndexList("byname.ntx byamt.ndx", "BYNAME"), 0);
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{7, 2, 6, 4, 3, 5, 1}));
}

// An NTX file opened exclusively gets its change counter with the table's flush and at
// the close, not at every update; the pages reach the file at once either way.
TEST_F(TableOrder, AnExclusiveNtxFileGetsItsCounterAtTheFlushAndTheClose) {
    const std::string file = dir.File("byname.ntx");
    BuildIndex(*table, file, "UPPER(NAME)");
    const auto counter = [&] { return testutil::ReadBytes(file)[2] | testutil::ReadBytes(file)[3] << 8; };
    const int built = counter();
    ASSERT_EQ(table->OpenIndexList("byname.ntx", "BYNAME"), 0);
    Append(*table, {"Aaron", 7, "", true});
    Append(*table, {"Zed", 8, "", true});
    table->Flush();
    EXPECT_EQ(counter(), built + 2);
    table->GoRecord(1);
    table->PutTextByName("NAME", "Omega");
    table->PutRecord(1);
    table->CloseIndexFiles();
    EXPECT_EQ(counter(), built + 3);
    ASSERT_EQ(table->OpenIndexList("byname.ntx", "BYNAME"), 0);
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{7, 2, 6, 4, 3, 5, 1, 8}));
}

TEST_F(TableOrder, HiddenRecordsArePassedInTagOrder) {
    BuildIndex(*table, dir.File("byname.ntx"), "UPPER(NAME)");
    ASSERT_EQ(table->OpenIndexList("byname.ntx", "BYNAME"), 0);
    table->GoRecord(6);
    table->DeleteRecord();
    table->GoRecord(4);
    table->DeleteRecord();
    table->SetUseDeleted(false);
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{2, 3, 1, 5}));
    EXPECT_EQ(WalkTable(*table, true), (std::vector<int32_t>{5, 1, 3, 2}));
    table->SkipRecords(-2);
    EXPECT_TRUE(table->Bof());
    table->GoRecord(gsMoveTop);
    table->SkipRecords(2);
    EXPECT_EQ(table->RecordNumber(), 1);
}

TEST_F(TableOrder, ReindexAndPackRebuildTheFiles) {
    BuildIndex(*table, dir.File("byname.ntx"), "UPPER(NAME)");
    BuildIndex(*table, dir.File("byamt.ndx"), "AMOUNT");
    ASSERT_EQ(table->OpenIndexList("byname.ntx byamt.ndx", "BYNAME"), 0);
    table->Reindex();
    EXPECT_EQ(table->SelectedTagName(), "BYNAME");
    EXPECT_EQ(table->RecordNumber(), 2);
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{2, 6, 4, 3, 1, 5}));
    table->GoRecord(2);
    table->DeleteRecord();
    table->GoRecord(5);
    table->DeleteRecord();
    table->PackTable();  // old 1, 3, 4, 6 become 1, 2, 3, 4
    EXPECT_EQ(table->RecordCount(), 4);
    EXPECT_EQ(table->SelectedTagName(), "BYNAME");
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{4, 3, 2, 1}));
    EXPECT_EQ(table->SelectTag("BYAMT", false), 2);
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{3, 2, 1, 4}));
}

TEST_F(TableOrder, RenameTakesAlongTheIndexFilesNamedLikeTheTable) {
    BuildIndex(*table, dir.File("people.ntx"), "NAME");
    BuildIndex(*table, dir.File("other.ntx"), "AMOUNT");
    ASSERT_EQ(table->OpenIndexList("people.ntx other.ntx", "PEOPLE"), 0);
    ASSERT_TRUE(table->Rename(dir.File("staff.dbf")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("staff.ntx")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("people.ntx")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("other.ntx")));
    Append(*table, {"Aardvark", 1, "", false});
    table->CloseTable();
    auto again = GSO_dBHandler::Open(dir.File("staff.dbf"), true, false);
    ASSERT_EQ(again->OpenIndexList("staff.ntx", "STAFF"), 0);
    again->GoRecord(gsMoveTop);
    EXPECT_EQ(again->RecordNumber(), 7);
}

}  // namespace

namespace {

// Sets the record number of the NTX entry whose key is `key` (the four bytes before it).
void PatchNtxRecord(const std::string& file, const std::string& key, uint32_t record) {
    std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    const size_t at = bytes.find(key);
    ASSERT_NE(at, std::string::npos);
    ASSERT_GE(at, 4u);
    f.seekp(static_cast<std::streamoff>(at - 4));
    const char le[4] = {static_cast<char>(record), static_cast<char>(record >> 8), static_cast<char>(record >> 16),
                        static_cast<char>(record >> 24)};
    f.write(le, 4);
}

TEST_F(TableOrder, EntriesNamingNoRecordAreCleanErrors) {
    BuildIndex(*table, dir.File("byname.ntx"), "NAME");
    PatchNtxRecord(dir.File("byname.ntx"), "Charlie   ", 0);
    PatchNtxRecord(dir.File("byname.ntx"), "Echo      ", 5000);
    ASSERT_EQ(table->OpenIndexList("byname.ntx", ""), 0);
    ASSERT_EQ(table->SelectTag("BYNAME", false), 1);
    // Alpha, Bravo, Charlie (record 0), Delta, Echo (record 5000), alpha.
    table->GoRecord(gsMoveTop);
    table->GoRecord(gsMoveNext);
    std::string message = ErrorOf([&] { table->GoRecord(gsMoveNext); });
    EXPECT_NE(message.find("2112"), std::string::npos) << message;
    // A record far beyond the table is the table's beyond-the-end error.
    table->GoRecord(gsMoveBottom);
    EXPECT_EQ(table->RecordNumber(), 2);
    message = ErrorOf([&] { table->GoRecord(gsMovePrior); });
    EXPECT_EQ(message.rfind("dBase record request beyond EOF - ", 0), 0u) << message;
}

}  // namespace
