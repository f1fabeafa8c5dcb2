// The production index: a table whose header says it has one opens it into slot 1; a
// missing one is an error unless the table is opened without it.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "HandlerTestSupport.h"
#include "engine/platform/Paths.h"
#include "index/core/GSobjIndexFile.h"
#include "index/core/GSobjIndexTag.h"

using namespace handlertest;

namespace {

void SetProductionFlag(const std::string& path, bool on) {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekg(28);
    char flags = 0;
    f.read(&flags, 1);
    flags = static_cast<char>(on ? (flags | 1) : (flags & ~1));
    f.seekp(28);
    f.write(&flags, 1);
}

class ProductionIndex : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.File("Staff.dbf");
        CreatePeople(path);
        auto t = GSO_dBHandler::Open(path, true, false);
        Append(*t, {"Mary", 3, "", true});
        Append(*t, {"Adam", 1, "", false});
        Append(*t, {"Zoe", 2, "", true});
        BuildIndex(*t, dir.File("STAFF.CDX"), "NAME", "", false, true, "NAME");
        BuildIndex(*t, dir.File("STAFF.CDX"), "AMOUNT", "", false, true, "AMOUNT");
        t.reset();
        SetProductionFlag(path, true);
    }
    testutil::TempDir dir;
    std::string path;
};

TEST_F(ProductionIndex, OpensIntoTheFirstSlotAndIsKeptUpToDate) {
    auto t = GSO_dBHandler::Open(path, true, false);
    ASSERT_TRUE(t->HasIndexFiles());
    EXPECT_EQ(t->IndexFile(1)->TagCount(), 2u);
    EXPECT_EQ(t->SelectedTag(), nullptr);  // the order stays physical
    Append(*t, {"Bob", 0.5, "", true});
    EXPECT_EQ(t->SelectTag("NAME", false), 1);
    EXPECT_EQ(WalkTable(*t), (std::vector<int32_t>{2, 4, 1, 3}));
    t.reset();
    auto again = GSO_dBHandler::Open(path, true, false);
    EXPECT_EQ(again->SelectTag("AMOUNT", false), 1);
    EXPECT_EQ(WalkTable(*again), (std::vector<int32_t>{4, 2, 3, 1}));
    // Other files go into the later slots.
    BuildIndex(*again, dir.File("extra.ntx"), "NAME");
    EXPECT_EQ(again->OpenIndexFile("extra.ntx"), 0);
    EXPECT_EQ(again->IndexFileSlot("extra.ntx"), 2);
}

TEST_F(ProductionIndex, AMissingFileIsAnErrorUnlessOpenedWithoutIt) {
    std::filesystem::remove(dir.File("STAFF.CDX"));
    const std::string expected =
        "File not found - " + platform::IdentityKey(platform::ChangeExtension(platform::ExpandPath(path), ".MDX"));
    EXPECT_EQ(ErrorOf([&] { GSO_dBHandler::Open(path, true, false); }), expected);
    auto t = GSO_dBHandler::Open(path, true, false, gsOpenNoProductionIndex);
    EXPECT_FALSE(t->HasIndexFiles());
    EXPECT_EQ(t->RecordCount(), 3);
}

TEST_F(ProductionIndex, WithoutTheFlagNothingIsOpened) {
    SetProductionFlag(path, false);
    auto t = GSO_dBHandler::Open(path, true, false);
    EXPECT_FALSE(t->HasIndexFiles());
}

TEST(ProductionIndexFixtures, HarbourTablesOpenWithTheirCdx) {
    testutil::TempDir dir;
    const std::string from = std::string(XB_SHARED_DIR) + "/fixtures/harbour/cdx/";
    for (const char* f : {"main.dbf", "main.cdx", "main.fpt"})
        std::filesystem::copy_file(from + f, dir.File(f));
    auto t = GSO_dBHandler::Open(dir.File("main.dbf"), false, true);
    ASSERT_TRUE(t->HasIndexFiles());
    ASSERT_GT(t->IndexFile(1)->TagCount(), 0u);
    GSobjIndexTag* first = t->TagByNumber(1);
    ASSERT_NE(first, nullptr);
    EXPECT_GT(t->SelectTag(first->Name(), false), 0);
    EXPECT_EQ(WalkTable(*t).size(), WalkTable(*t, true).size());
}

}  // namespace
