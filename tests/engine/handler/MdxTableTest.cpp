// A table with its production MDX file: the file named like the table marks its header,
// the table opens it with itself, walks and seeks in its tags (a descending one too),
// keeps every tag true on writes, renames it with itself, and can be opened without it.

#include <gtest/gtest.h>

#include <filesystem>

#include "HandlerTestSupport.h"
#include "engine/Exception.h"
#include "index/core/GSobjIndexFile.h"
#include "index/mdx/GSobjMDXFile.h"
#include "index/mdx/MdxLayout.h"

using namespace handlertest;

namespace {

class MdxTable : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.File("people.dbf");
        CreatePeople(path);
        auto table = GSO_dBHandler::Open(path, true, false);
        const char* names[] = {"Delta", "alpha", "Charlie", "Bravo", "Echo", "Alpha"};
        const double amounts[] = {4, -1.5, 3, 2, 5, 10};
        for (int i = 0; i < 6; ++i) Append(*table, {names[i], amounts[i], "2020010" + std::to_string(i + 1), i % 2 == 0});
        GSobjMDXFile f(table.get(), true, true, false, true, dir.File("people.mdx"));
        f.CreateTag("NAME", "UPPER(NAME)", "", false, true);
        f.CreateTag("AMT_D", "AMOUNT", "", false, false);
        f.CreateTag("ACT", "BDATE", "ACTIVE", false, true);
    }
    testutil::TempDir dir;
    std::string path;
};

}  // namespace

TEST_F(MdxTable, TheProductionMdxOpensWithTheTableAndFollowsItsWrites) {
    EXPECT_EQ(testutil::ReadBytes(path)[28] & 1, 1);
    auto table = GSO_dBHandler::Open(path, true, false);
    ASSERT_EQ(table->SelectTag("AMT_D", false), 1);  // slot 1: the production index
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{6, 5, 1, 3, 4, 2}));
    EXPECT_EQ(WalkTable(*table, true), (std::vector<int32_t>{2, 4, 3, 1, 5, 6}));
    Append(*table, {"Foxtrot", 7.25, "20200107", true});
    table->GoRecord(2);
    table->PutNumberByName("AMOUNT", 99);
    table->PutRecord(2);
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{2, 6, 7, 5, 1, 3, 4}));
    ASSERT_EQ(table->SelectTag("NAME", false), 1);  // slot 1: the production index
    EXPECT_TRUE(table->SeekKey("CHARLIE"));
    EXPECT_EQ(table->RecordNumber(), 3);
    ASSERT_EQ(table->SelectTag("ACT", false), 1);  // slot 1: the production index
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{1, 3, 5, 7}));
    table->CloseTable();
    table = GSO_dBHandler::Open(path, true, false);
    ASSERT_EQ(table->SelectTag("amt_d", false), 1);  // slot 1: the production index
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{2, 6, 7, 5, 1, 3, 4}));
}

TEST_F(MdxTable, RenamingTheTableRenamesItsMdxAndTheNameInside) {
    auto table = GSO_dBHandler::Open(path, true, false);
    ASSERT_TRUE(table->Rename(dir.File("staff.dbf")));
    table->CloseTable();
    EXPECT_TRUE(std::filesystem::exists(dir.File("staff.mdx")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("people.mdx")));
    const auto bytes = testutil::ReadBytes(dir.File("staff.mdx"));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[mdx::kTableNameAt]), 6), std::string("STAFF\0", 6));
    auto again = GSO_dBHandler::Open(dir.File("staff.dbf"), true, false);
    ASSERT_EQ(again->SelectTag("NAME", false), 1);  // slot 1: the production index
    EXPECT_EQ(WalkTable(*again), (std::vector<int32_t>{2, 6, 4, 3, 1, 5}));
}

TEST_F(MdxTable, AMissingProductionMdxIsReportedUnlessLeftOut) {
    std::filesystem::remove(dir.File("people.mdx"));
    EXPECT_NE(ErrorOf([&] { GSO_dBHandler::Open(path, true, false); }).find("PEOPLE.MDX"), std::string::npos);
    auto table = GSO_dBHandler::Open(path, true, false, gsOpenNoProductionIndex);
    EXPECT_EQ(table->SelectTag("NAME", false), -1);
    EXPECT_EQ(WalkTable(*table).size(), 6u);
}
