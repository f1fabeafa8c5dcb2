// Harbour's NTX files: every order walks to Harbour's order and keys in both directions,
// and every seek probe lands where Harbour's did.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "HarbourExpected.h"
#include "TestUtil.h"
#include "engine/dBHandler.h"
#include "index/ntx/GSobjNTXFile.h"
#include "index/ntx/GSobjNTXTag.h"

namespace {

using namespace harbourexpected;

const std::string kNtxDir = std::string(XB_SHARED_DIR) + "/fixtures/harbour/ntx/";
const std::string kBigDir = std::string(XB_SHARED_DIR) + "/fixtures/harbour/big/";

void CheckOrder(GSO_dBHandler& table, const std::string& ntxPath, const Order& order) {
    SCOPED_TRACE(order.bag);
    GSobjNTXFile file(&table, false, false, false, false, ntxPath);
    ASSERT_TRUE(file.Opened());
    GSobjIndexTag* tag = file.Tag(0);
    ASSERT_NE(tag, nullptr);
    CheckWalk(*tag, order);
    if (::testing::Test::HasFatalFailure()) return;
    // Seeks through the pages and through the path's nodes alike.
    for (const bool throughPages : {true, false}) {
        tag->SetPageSearch(throughPages);
        CheckSeeks(*tag, order, throughPages ? "" : " through the path");
    }
}

}  // namespace

TEST(NtxFixture, EveryHarbourOrderWalksAndSeeksAsHarbours) {
    testutil::TempDir dir;
    ASSERT_EQ(testutil::Run("cp " + kNtxDir + "* '" + dir.Path() + "/' && chmod u+w '" + dir.Path() + "'/*").status, 0);
    auto table = GSO_dBHandler::Open(dir.File("main.dbf"), false, false);
    table->SetExactMatch(false);
    std::vector<Order> orders = LoadOrders(kNtxDir + "main.ntx.expected.json");
    ASSERT_EQ(orders.size(), 15u);
    for (const Order& order : orders) CheckOrder(*table, dir.File(order.bag + ".ntx"), order);
}

TEST(NtxFixture, BigNameOrderOfSeventyThousandKeys) {
    // A copy: the table is opened exclusively, and other tests read the same fixture at the
    // same time.
    testutil::TempDir dir;
    ASSERT_EQ(testutil::Run("cp " + kBigDir + "big.dbf " + kBigDir + "big.cdx " + kBigDir + "big_name.ntx '" + dir.Path() +
                            "/' && chmod u+w '" + dir.Path() + "'/*")
                  .status,
              0);
    auto table = GSO_dBHandler::Open(dir.File("big.dbf"), false, false);
    std::vector<Order> orders = LoadOrders(kBigDir + "big.ntx.expected.json");
    ASSERT_EQ(orders.size(), 1u);
    ASSERT_EQ(orders[0].entries.size(), 70000u);
    CheckOrder(*table, dir.File("big_name.ntx"), orders[0]);
    // Every seventh key, sought through the pages and through the path's nodes, and the
    // step after each.
    GSobjNTXFile file(table.get(), false, false, false, false, dir.File("big_name.ntx"));
    GSobjIndexTag& tag = *file.Tag(0);
    for (size_t i = 0; i < orders[0].entries.size(); i += 7) {
        const TgsVariant key = AsVariant(orders[0].entries[i].second);
        int32_t answer[2] = {};
        int32_t next[2] = {};
        for (int way = 0; way < 2; ++way) {
            tag.SetPageSearch(way == 0);
            answer[way] = tag.Seek(key);
            next[way] = tag.MoveTo(-1);
        }
        ASSERT_NE(answer[0], 0) << i;
        ASSERT_EQ(answer[0], answer[1]) << i;
        ASSERT_EQ(next[0], next[1]) << i;
    }
}
