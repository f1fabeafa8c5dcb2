// Harbour's CDX files: every tag walks to Harbour's order and keys in both directions,
// and every seek probe lands where Harbour's did.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "HarbourExpected.h"
#include "TestUtil.h"
#include "engine/dBHandler.h"
#include "index/cdx/GSobjCDXFile.h"
#include "index/cdx/GSobjCDXTag.h"

namespace {

using namespace harbourexpected;

const std::string kFixtures = std::string(XB_SHARED_DIR) + "/fixtures/harbour/";

void CheckOrder(GSobjCDXFile& file, const Order& order) {
    SCOPED_TRACE(order.tag);
    GSobjIndexTag* tag = file.FindTag(order.tag);
    ASSERT_NE(tag, nullptr);
    CheckWalk(*tag, order);
    if (::testing::Test::HasFatalFailure()) return;
    CheckSeeks(*tag, order);
}

void CheckSet(const std::string& set, const std::string& table, const std::string& bag, size_t tags) {
    // A copy: the table is opened exclusively, and other tests read the same fixture at the
    // same time.
    testutil::TempDir dir;
    ASSERT_EQ(testutil::Run("cp " + kFixtures + set + "/* '" + dir.Path() + "/' && chmod u+w '" + dir.Path() + "'/*")
                  .status,
              0);
    auto dbf = GSO_dBHandler::Open(dir.File(table), false, false);
    dbf->SetExactMatch(false);
    GSobjCDXFile file(dbf.get(), false, false, false, false, dir.File(bag));
    ASSERT_TRUE(file.Opened());
    std::vector<Order> orders = LoadOrders(kFixtures + set + "/" + bag + ".expected.json");
    ASSERT_EQ(orders.size(), tags);
    ASSERT_EQ(file.TagCount(), tags);
    for (const Order& order : orders) CheckOrder(file, order);
}

}  // namespace

TEST(CdxFixture, EveryHarbourTagWalksAndSeeksAsHarbours) { CheckSet("cdx", "main.dbf", "main.cdx", 15); }

TEST(CdxFixture, VisualFoxProTableTagsWalkAndSeekAsHarbours) { CheckSet("cdx_vfp", "main.dbf", "main.cdx", 15); }

TEST(CdxFixture, SeventyThousandRecordsInFourTags) { CheckSet("big", "big.dbf", "big.cdx", 4); }
