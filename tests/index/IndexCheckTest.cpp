// The index checker: files other programs wrote and files we build check clean; damage
// of every kind it looks for is reported, and hostile trees (cycles, shared pages, chains
// deeper than the engine follows) end the walk with a finding instead of a crash.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "IndexTestSupport.h"
#include "engine/ByteOrder.h"
#include "engine/Exception.h"
#include "index/cdx/CdxLayout.h"
#include "index/cdx/GSobjCDXFile.h"
#include "index/core/IndexCheck.h"
#include "index/ndx/GSobjNDXFile.h"
#include "index/ntx/GSobjNTXFile.h"
#include "index/ntx/NtxLayout.h"

using namespace indextest;

namespace {

const std::string kHarbour = std::string(XB_SHARED_DIR) + "/fixtures/harbour/";

std::string Joined(const std::vector<TgsTagCheck>& checks) {
    std::string out;
    for (const TgsTagCheck& c : checks)
        for (const std::string& p : c.problems) out += c.tag + ": " + p + "\n";
    return out;
}

// A copy of a fixture folder's files in `dir`: other tests open the fixtures exclusively.
std::string CopyOf(const testutil::TempDir& dir, const std::string& folder, const std::vector<std::string>& names) {
    for (const std::string& n : names) testutil::WriteBytes(dir.File(n), testutil::ReadBytes(kHarbour + folder + n));
    return dir.Path() + "/";
}

bool Mentions(const std::vector<TgsTagCheck>& checks, const std::string& words) {
    return Joined(checks).find(words) != std::string::npos;
}

TEST(IndexCheckPeerFiles, HarbourNtxFilesCheckClean) {
    testutil::TempDir dir;
    std::vector<std::string> files = {"main.dbf", "main.dbt"};
    for (const char* name : {"active", "amount", "amt_d", "bdate", "city_u", "cityamt", "date_du", "id", "name",
                             "name866", "name_d", "name_inc", "nmfor", "qty"})
        files.push_back(std::string(name) + ".ntx");
    const std::string at = CopyOf(dir, "ntx/", files);
    auto table = GSO_dBHandler::Open(at + "main.dbf", false, true);
    // (nmdt.ntx is left out: its key applies UPPER to Windows-1251 text, which Harbour's
    // default code page leaves in lower case and ours does not.)
    for (const char* name : {"active", "amount", "amt_d", "bdate", "city_u", "cityamt", "date_du", "id", "name",
                             "name866", "name_d", "name_inc", "nmfor", "qty"}) {
        SCOPED_TRACE(name);
        GSobjNTXFile f(table.get(), false, false, true, false, at + name + ".ntx");
        const auto checks = TgsIndexCheck::CheckFile(f);
        ASSERT_EQ(checks.size(), 1u);
        EXPECT_EQ(Joined(checks), "");
        GSobjIndexTag* tag = f.Tag(0);
        if (tag->HasFor() || tag->Unique()) {
            EXPECT_LE(checks[0].keys, table->RecordCount());
        } else {
            EXPECT_EQ(checks[0].keys, table->RecordCount());
        }
    }
}

TEST(IndexCheckPeerFiles, HarbourCdxFilesCheckClean) {
    for (const char* folder : {"cdx/", "cdx_vfp/"}) {
        SCOPED_TRACE(folder);
        testutil::TempDir dir;
        const std::string at = CopyOf(dir, folder, {"main.dbf", "main.fpt", "main.cdx"});
        auto table = GSO_dBHandler::Open(at + "main.dbf", false, true);
        GSobjCDXFile f(table.get(), false, false, true, false, at + "main.cdx");
        auto checks = TgsIndexCheck::CheckFile(f);
        ASSERT_GT(checks.size(), 2u);
        EXPECT_EQ(checks[0].tag, "(directory)");
        EXPECT_EQ(checks[0].keys, static_cast<int64_t>(f.TagCount()));
        checks.erase(std::remove_if(checks.begin(), checks.end(), [](const TgsTagCheck& c) { return c.tag == "NMDT"; }),
                     checks.end());
        EXPECT_EQ(Joined(checks), "");
    }
    testutil::TempDir dir;
    const std::string at = CopyOf(dir, "big/", {"big.dbf", "big.cdx", "big_name.ntx"});
    auto big = GSO_dBHandler::Open(at + "big.dbf", false, true);
    GSobjCDXFile bag(big.get(), false, false, true, false, at + "big.cdx");
    const auto checks = TgsIndexCheck::CheckFile(bag);
    EXPECT_EQ(Joined(checks), "");
    for (const TgsTagCheck& c : checks) EXPECT_GE(c.depth, 1);
    GSobjNTXFile ntx(big.get(), false, false, true, false, at + "big_name.ntx");
    const auto ntxChecks = TgsIndexCheck::CheckFile(ntx);
    EXPECT_EQ(Joined(ntxChecks), "");
    EXPECT_EQ(ntxChecks[0].keys, big->RecordCount());
    EXPECT_GE(ntxChecks[0].depth, 2);
}

class IndexCheckBuilt : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.File("people.dbf");
        CreatePeople(path);
        table = IndexedTable::Open(path);
        std::mt19937 rng(7);
        for (int i = 0; i < 3000; ++i) {
            Person p;
            p.name = "N" + std::to_string(rng() % 1000);
            p.amount = static_cast<double>(static_cast<int>(rng() % 20000) - 10000) / 10.0;
            p.date = std::to_string(19600101 + (rng() % 50) * 10000 + (rng() % 12) * 100 + rng() % 28);
            p.active = rng() % 3 != 0;
            Append(*table, p);
        }
    }

    // Rewrites record `r`'s NAME without telling any index.
    void RenameBehindIndex(int32_t r, const std::string& name) {
        table->files.clear();
        table->GoRecord(r);
        table->PutTextByName("NAME", name);
        table->PutRecord(r);
    }

    int32_t Root(const std::string& ntxPath) {
        auto bytes = testutil::ReadBytes(ntxPath);
        return static_cast<int32_t>(gsBytes::Get32LE(bytes.data() + ntx::kRootAt));
    }

    // The page of the NTX file reached from the root by the first item's links.
    int32_t FirstLeaf(const std::string& ntxPath) {
        auto bytes = testutil::ReadBytes(ntxPath);
        int32_t page = Root(ntxPath);
        for (;;) {
            const uint8_t* p = bytes.data() + page;
            const uint16_t first = gsBytes::Get16LE(p + ntx::kOffsetTableAt);
            const uint32_t child = gsBytes::Get32LE(p + first + ntx::kItemChildAt);
            if (child == 0) return page;
            page = static_cast<int32_t>(child);
        }
    }

    testutil::TempDir dir;
    std::string path;
    std::unique_ptr<IndexedTable> table;
};

TEST_F(IndexCheckBuilt, BuiltFilesOfEveryFormatCheckClean) {
    GSobjNTXFile ntx(table.get(), true, true, false, true, dir.File("name.ntx"));
    ntx.CreateTag("", "NAME", "ACTIVE", false, false);
    GSobjNDXFile ndx(table.get(), true, true, false, true, dir.File("amount.ndx"));
    ndx.CreateTag("", "AMOUNT", "", false, true);
    GSobjCDXFile cdx(table.get(), true, true, false, true, dir.File("people.cdx"));
    cdx.CreateTag("NAME", "NAME", "", false, true);
    cdx.CreateTag("UNAME", "NAME", "", true, false);
    cdx.CreateTag("BDATE", "BDATE", "ACTIVE", false, true);
    cdx.CreateTag("AMOUNT", "AMOUNT", "", false, false);
    for (GSobjIndexFile* f : std::vector<GSobjIndexFile*>{&ntx, &ndx, &cdx}) {
        SCOPED_TRACE(f->Name());
        const auto checks = TgsIndexCheck::CheckFile(*f);
        EXPECT_EQ(Joined(checks), "");
        for (const TgsTagCheck& c : checks) EXPECT_GE(c.depth, c.tag == "(directory)" ? 1 : 2) << c.tag;
    }
    // Keys added by appends and edits keep every file clean; a unique tag holds one record
    // per key.
    table->files = {&ntx, &ndx, &cdx};
    for (int i = 0; i < 400; ++i) Append(*table, {"Z" + std::to_string(i % 37), i * 1.5, "20200101", i % 2 == 0});
    for (int32_t r = 1; r <= 400; r += 7) {
        table->GoRecord(r);
        table->PutTextByName("NAME", "M" + std::to_string(r % 11));
        table->PutLogicalByName("ACTIVE", r % 2 == 0);
        table->PutRecord(r);
    }
    for (GSobjIndexFile* f : table->files) {
        SCOPED_TRACE(f->Name());
        EXPECT_EQ(Joined(TgsIndexCheck::CheckFile(*f)), "");
    }
    const auto unique = TgsIndexCheck::CheckTag(*cdx.FindTag("UNAME"));
    EXPECT_LT(unique.keys, table->RecordCount());
}

TEST_F(IndexCheckBuilt, KeysThatDifferFromTheirRecordsAndMissingRecordsAreReported) {
    auto ntx = std::make_unique<GSobjNTXFile>(table.get(), true, true, false, true, dir.File("name.ntx"));
    ntx->CreateTag("", "NAME", "", false, true);
    auto cdx = std::make_unique<GSobjCDXFile>(table.get(), true, true, false, true, dir.File("people.cdx"));
    cdx->CreateTag("NAME", "NAME", "", false, true);
    cdx->CreateTag("ACT", "NAME", "ACTIVE", false, true);
    RenameBehindIndex(17, "CHANGED");
    table->GoRecord(18);
    const bool wasActive = table->GetLogicalByName("ACTIVE");
    table->PutLogicalByName("ACTIVE", !wasActive);
    table->PutRecord(18);
    Append(*table, {"LATE", 1, "", true});
    for (GSobjIndexFile* f : std::vector<GSobjIndexFile*>{ntx.get(), cdx.get()}) {
        SCOPED_TRACE(f->Name());
        const auto checks = TgsIndexCheck::CheckFile(*f);
        EXPECT_TRUE(Mentions(checks, "record 17 is stored with key")) << Joined(checks);
        EXPECT_TRUE(Mentions(checks, "record 3001 (key \"LATE\") is missing")) << Joined(checks);
    }
    const std::string act = Joined({TgsIndexCheck::CheckTag(*cdx->FindTag("ACT"))});
    EXPECT_NE(act.find(wasActive ? "record 18 is in the index though its FOR condition is false"
                                 : "record 18 (key"),
              std::string::npos)
        << act;
    // A rebuild mends them.
    ntx->Reindex();
    cdx->Reindex();
    EXPECT_EQ(Joined(TgsIndexCheck::CheckFile(*ntx)), "");
    EXPECT_EQ(Joined(TgsIndexCheck::CheckFile(*cdx)), "");
}

TEST_F(IndexCheckBuilt, NtxPagesOutOfOrderSharedOrCyclicAreReported) {
    const std::string file = dir.File("name.ntx");
    {
        GSobjNTXFile ntx(table.get(), true, true, false, true, file);
        ntx.CreateTag("", "NAME", "", false, true);
    }
    const auto clean = testutil::ReadBytes(file);
    auto check = [&](const std::vector<uint8_t>& bytes) {
        testutil::WriteBytes(file, bytes);
        GSobjNTXFile ntx(table.get(), false, false, false, false, file);
        return TgsIndexCheck::CheckFile(ntx);
    };
    // Two keys of a leaf exchanged.
    {
        auto bytes = clean;
        uint8_t* p = bytes.data() + FirstLeaf(file);
        const size_t last = ntx::kOffsetTableAt + 2 * static_cast<size_t>(gsBytes::Get16LE(p + ntx::kCountAt) - 1);
        std::swap(p[ntx::kOffsetTableAt], p[last]);
        std::swap(p[ntx::kOffsetTableAt + 1], p[last + 1]);
        EXPECT_TRUE(Mentions(check(bytes), "out of order"));
    }
    // A branch item pointing back at the root, and one sharing its neighbour's child.
    const int32_t root = Root(file);
    for (int kind = 0; kind < 2; ++kind) {
        auto bytes = clean;
        uint8_t* p = bytes.data() + root;
        const uint16_t second = gsBytes::Get16LE(p + ntx::kOffsetTableAt + 2);
        const uint16_t first = gsBytes::Get16LE(p + ntx::kOffsetTableAt);
        const uint32_t target = kind == 0 ? static_cast<uint32_t>(root) : gsBytes::Get32LE(p + first);
        gsBytes::Put32LE(p + second + ntx::kItemChildAt, target);
        const auto checks = check(bytes);
        EXPECT_TRUE(Mentions(checks, "reached twice") || Mentions(checks, "cannot be read")) << Joined(checks);
    }
    // Items sharing their bytes.
    {
        auto bytes = clean;
        uint8_t* p = bytes.data() + FirstLeaf(file);
        p[ntx::kOffsetTableAt + 2] = p[ntx::kOffsetTableAt];
        p[ntx::kOffsetTableAt + 3] = p[ntx::kOffsetTableAt + 1];
        EXPECT_TRUE(Mentions(check(bytes), "overlap"));
    }
    // A chain of 40 branch pages, each with one child: deeper than the engine follows.
    {
        auto bytes = clean;
        const size_t base = (bytes.size() + ntx::kPageSize - 1) / ntx::kPageSize * ntx::kPageSize;
        bytes.resize(base + 41 * ntx::kPageSize, 0);
        for (int i = 0; i <= 40; ++i) {
            uint8_t* p = bytes.data() + base + static_cast<size_t>(i) * ntx::kPageSize;
            const size_t item = 200;
            gsBytes::Put16LE(p + ntx::kOffsetTableAt, static_cast<uint16_t>(item));
            if (i < 40) gsBytes::Put32LE(p + item, static_cast<uint32_t>(base + static_cast<size_t>(i + 1) * ntx::kPageSize));
        }
        gsBytes::Put32LE(bytes.data() + ntx::kRootAt, static_cast<uint32_t>(base));
        const auto checks = check(bytes);
        EXPECT_TRUE(Mentions(checks, "deeper than 32 levels")) << Joined(checks);
    }
}

TEST_F(IndexCheckBuilt, CdxLeafLayoutsFreeBytesRootMarksAndSiblingChainsAreReported) {
    const std::string file = dir.File("people.cdx");
    int32_t root = 0;
    {
        GSobjCDXFile cdx(table.get(), true, true, false, true, file);
        cdx.CreateTag("NAME", "NAME", "", false, true);
        EXPECT_EQ(Joined(TgsIndexCheck::CheckFile(cdx)), "");
        root = cdx.FindTag("NAME")->RootPage();
    }
    const auto clean = testutil::ReadBytes(file);
    auto check = [&](const std::vector<uint8_t>& bytes) {
        testutil::WriteBytes(file, bytes);
        GSobjCDXFile cdx(table.get(), false, false, false, false, file);
        return TgsIndexCheck::CheckFile(cdx);
    };
    ASSERT_EQ(gsBytes::Get16LE(clean.data() + root) & cdx::kAttrLeaf, 0);
    const int32_t firstChild = static_cast<int32_t>(cdx::Get32BE(clean.data() + root + cdx::kBranchEntriesAt + 10 + 4));
    // Find the leftmost leaf.
    int32_t leaf = firstChild;
    while ((gsBytes::Get16LE(clean.data() + leaf) & cdx::kAttrLeaf) == 0)
        leaf = static_cast<int32_t>(cdx::Get32BE(clean.data() + leaf + cdx::kBranchEntriesAt + 10 + 4));
    {
        auto bytes = clean;
        gsBytes::Put32LE(bytes.data() + leaf + cdx::kRightAt, static_cast<uint32_t>(leaf));
        EXPECT_TRUE(Mentions(check(bytes), "right sibling"));
    }
    {
        auto bytes = clean;
        gsBytes::Put16LE(bytes.data() + leaf + cdx::kFreeBytesAt,
                         static_cast<uint16_t>(gsBytes::Get16LE(bytes.data() + leaf + cdx::kFreeBytesAt) + 1));
        EXPECT_TRUE(Mentions(check(bytes), "free bytes recorded"));
    }
    {
        auto bytes = clean;
        bytes[static_cast<size_t>(leaf) + cdx::kRecordBitsAt] ^= 1;
        EXPECT_TRUE(Mentions(check(bytes), "bit layout"));
    }
    {
        auto bytes = clean;
        gsBytes::Put16LE(bytes.data() + root, 0);  // the root loses its mark
        EXPECT_TRUE(Mentions(check(bytes), "not marked as one"));
    }
    {
        auto bytes = clean;  // a branch key below its child's keys
        bytes[static_cast<size_t>(root) + cdx::kBranchEntriesAt] = '0';
        EXPECT_TRUE(Mentions(check(bytes), "above its key"));
    }
}

TEST_F(IndexCheckBuilt, GarbageNeverRaisesFromTheChecker) {
    const std::string file = dir.File("name.ntx");
    {
        GSobjNTXFile ntx(table.get(), true, true, false, true, file);
        ntx.CreateTag("", "NAME", "", false, true);
    }
    const auto clean = testutil::ReadBytes(file);
    std::mt19937 rng(11);
    int reported = 0;
    for (int round = 0; round < 200; ++round) {
        auto bytes = clean;
        for (int k = 0; k < 20; ++k)
            bytes[ntx::kPageSize + rng() % (bytes.size() - ntx::kPageSize)] = static_cast<uint8_t>(rng());
        testutil::WriteBytes(file, bytes);
        GSobjNTXFile ntx(table.get(), false, false, false, false, file);
        std::vector<TgsTagCheck> checks;
        EXPECT_NO_THROW(checks = TgsIndexCheck::CheckFile(ntx));
        if (!Joined(checks).empty()) ++reported;
    }
    EXPECT_GT(reported, 150);

    // The same for a CDX bag: what opens is checked without a crash or an exception.
    const std::string bag = dir.File("t.cdx");
    {
        GSobjCDXFile cdx(table.get(), true, true, false, true, bag);
        cdx.CreateTag("NAME", "NAME", "", false, true);
        cdx.CreateTag("AMOUNT", "AMOUNT", "ACTIVE", true, false);
    }
    const auto cleanBag = testutil::ReadBytes(bag);
    int opened = 0;
    reported = 0;
    for (int round = 0; round < 300; ++round) {
        auto bytes = cleanBag;
        for (int k = 0; k < 12; ++k) bytes[1024 + rng() % (bytes.size() - 1024)] = static_cast<uint8_t>(rng());
        testutil::WriteBytes(bag, bytes);
        std::unique_ptr<GSobjCDXFile> cdx;
        try {
            cdx = std::make_unique<GSobjCDXFile>(table.get(), false, false, false, false, bag);
        } catch (const Exception&) {
            continue;
        }
        ++opened;
        std::vector<TgsTagCheck> checks;
        EXPECT_NO_THROW(checks = TgsIndexCheck::CheckFile(*cdx));
        if (!Joined(checks).empty()) ++reported;
    }
    EXPECT_GT(opened, 100);
    EXPECT_GT(reported, opened / 2);
}

}  // namespace
