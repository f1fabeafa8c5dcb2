// The builders' gathered page writes: pages that follow each other go out together, a page
// elsewhere (ahead, behind, or beyond the gathering size) sends the gathered ones first,
// nothing reaches the file before it is sent, and every page lands where it was written.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <vector>

#include "IndexTestSupport.h"
#include "index/ndx/GSobjNDXFile.h"
#include "index/ndx/NdxLayout.h"
#include "index/ntx/GSobjNTXFile.h"
#include "index/sort/TgsPageWriteBehind.h"

using namespace indextest;

namespace {

constexpr int32_t kPage = 1024;

std::vector<uint8_t> Page(int seed) {
    std::vector<uint8_t> p(kPage);
    for (int i = 0; i < kPage; ++i) p[static_cast<size_t>(i)] = static_cast<uint8_t>(seed * 31 + i);
    return p;
}

class PageWriteBehind : public ::testing::Test {
protected:
    void SetUp() override {
        CreatePeople(dir.File("people.dbf"));
        table = IndexedTable::Open(dir.File("people.dbf"));
        file = std::make_unique<GSobjNTXFile>(table.get(), true, true, false, true, dir.File("pages.ntx"));
        file->CreateTag("", "NAME", "", false, true);
    }
    std::vector<uint8_t> Read(int64_t at, int32_t size = kPage) {
        std::vector<uint8_t> p(static_cast<size_t>(size));
        if (!file->ReadBlock(at, p.data(), size)) p.clear();
        return p;
    }
    testutil::TempDir dir;
    std::unique_ptr<IndexedTable> table;
    std::unique_ptr<GSobjNTXFile> file;
};

TEST_F(PageWriteBehind, PagesLandWhereTheyWereWrittenInAnyOrder) {
    const int64_t base = 64 * kPage;  // past the tag's own pages
    std::map<int64_t, int> written;
    TgsPageWriteBehind writer(*file, 1);
    auto write = [&](int64_t slot, int seed) {
        const auto p = Page(seed);
        writer.Write(base + slot * kPage, p.data(), p.size());
        written[base + slot * kPage] = seed;
    };
    write(0, 1);
    write(1, 2);
    write(2, 3);
    // Gathered, not yet in the file.
    EXPECT_NE(Read(base), Page(1));
    write(10, 4);   // ahead with a gap: the first three go out
    EXPECT_EQ(Read(base + 2 * kPage), Page(3));
    write(5, 5);    // behind
    write(6, 6);
    // More than one gathering's worth in one stretch.
    const int many = static_cast<int>(TgsPageWriteBehind::kGatherBytes / kPage) + 7;
    for (int i = 0; i < many; ++i) write(20 + i, 100 + i);
    write(3, 7);    // back into the first stretch's gap
    writer.Flush();
    for (const auto& [at, seed] : written) EXPECT_EQ(Read(at), Page(seed)) << "page at " << at;
    // A page of the gap nobody wrote reads as nothing written there.
    EXPECT_NE(Read(base + 4 * kPage), Page(5));
}

TEST_F(PageWriteBehind, PositionsCountInTheFilesOwnUnits) {
    // NDX pages are numbered: page n begins n * 512 bytes in, and two numbers follow each other.
    GSobjNDXFile ndx(table.get(), true, true, false, true, dir.File("pages.ndx"));
    ndx.CreateTag("", "NAME", "", false, true);
    const int64_t base = 64;
    TgsPageWriteBehind writer(ndx, ndx::kPageSize);
    std::vector<std::vector<uint8_t>> pages;
    for (int i = 0; i < 3; ++i) {
        pages.push_back(Page(20 + i));
        pages.back().resize(ndx::kPageSize);
        writer.Write(base + i, pages.back().data(), pages.back().size());
    }
    writer.Flush();
    for (int i = 0; i < 3; ++i) {
        std::vector<uint8_t> read(ndx::kPageSize);
        ASSERT_TRUE(ndx.ReadBlock(base + i, read.data(), ndx::kPageSize));
        EXPECT_EQ(read, pages[static_cast<size_t>(i)]) << "page " << base + i;
    }
}

}  // namespace
