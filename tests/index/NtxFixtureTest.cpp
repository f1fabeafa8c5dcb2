// Harbour's NTX files: every order walks to Harbour's order and keys in both directions,
// and every seek probe lands where Harbour's did.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "engine/dBHandler.h"
#include "index/ntx/GSobjNTXFile.h"
#include "index/ntx/GSobjNTXTag.h"

namespace {

const std::string kNtxDir = std::string(XB_SHARED_DIR) + "/fixtures/harbour/ntx/";
const std::string kBigDir = std::string(XB_SHARED_DIR) + "/fixtures/harbour/big/";

// Prints each order of an expectation file as lines:
//   O bag nentries        then per entry  E recno kind value
//   S kind value soft found eof recno     per seek probe
// where kind is s (hex of the text's bytes), n (a number) or b (0 or 1).
const char* kExtract = R"PY(
import json, sys
d = json.load(open(sys.argv[1]))
def val(v):
    if isinstance(v, bool): return 'b %d' % (1 if v else 0)
    if isinstance(v, (int, float)): return 'n %r' % float(v)
    return 's ' + (v.encode('latin-1').hex() or '-')
for o in d['orders']:
    keys = o.get('keys')
    print('O', o['bag'], len(o['order']))
    for i, r in enumerate(o['order']):
        print('E', r, val(keys[i]) if keys else 'x -')
    for s in o.get('seeks', []):
        print('S', val(s['value']), int(s['softseek']), int(s['found']), int(s['eof']),
              s['recno'] if s['recno'] is not None else 0)
)PY";

struct Value {
    char kind = 'x';
    std::string text;
    double number = 0;
    bool logical = false;
};

struct Probe {
    Value value;
    bool soft = false, found = false, eof = false;
    int32_t recno = 0;
};

struct Order {
    std::string bag;
    std::vector<std::pair<int32_t, Value>> entries;
    std::vector<Probe> seeks;
};

std::string FromHex(const std::string& hex) {
    std::string out;
    if (hex == "-") return out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

Value ReadValue(std::istringstream& in) {
    Value v;
    std::string raw;
    in >> v.kind >> raw;
    if (v.kind == 's') v.text = FromHex(raw);
    if (v.kind == 'n') v.number = std::stod(raw);
    if (v.kind == 'b') v.logical = raw == "1";
    return v;
}

std::vector<Order> LoadOrders(const std::string& json) {
    testutil::TempDir dir;
    const std::string script = dir.File("extract.py");
    testutil::WriteBytes(script, std::vector<uint8_t>(kExtract, kExtract + std::strlen(kExtract)));
    testutil::CommandResult r = testutil::Run("/usr/bin/python3 '" + script + "' '" + json + "'");
    EXPECT_EQ(r.status, 0);
    std::vector<Order> orders;
    std::istringstream lines(r.out);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        std::string tag;
        in >> tag;
        if (tag == "O") {
            orders.emplace_back();
            in >> orders.back().bag;
        } else if (tag == "E") {
            int32_t rec = 0;
            in >> rec;
            orders.back().entries.emplace_back(rec, ReadValue(in));
        } else if (tag == "S") {
            Probe p;
            p.value = ReadValue(in);
            int soft = 0, found = 0, eof = 0;
            in >> soft >> found >> eof >> p.recno;
            p.soft = soft, p.found = found, p.eof = eof;
            orders.back().seeks.push_back(p);
        }
    }
    return orders;
}

TgsVariant AsVariant(const Value& v) {
    TgsVariant k(256);
    if (v.kind == 'n') k.SetNumber(v.number);
    if (v.kind == 'b') k.SetLogical(v.logical);
    if (v.kind == 's') k.SetText(v.text);
    return k;
}

// The key a value has in the tag: what the tag makes of it for a search.
std::string StoredKey(GSobjIndexTag& tag, const Value& v) {
    TgsVariant k = AsVariant(v);
    tag.PrepareKey(k);
    return k.AsText();
}

void CheckOrder(GSO_dBHandler& table, const std::string& ntxPath, const Order& order) {
    SCOPED_TRACE(order.bag);
    GSobjNTXFile file(&table, false, false, false, false, ntxPath);
    ASSERT_TRUE(file.Opened());
    GSobjIndexTag* tag = file.Tag(0);
    ASSERT_NE(tag, nullptr);
    const bool checkKeys = !order.entries.empty() && order.entries.front().second.kind != 'x';

    std::vector<int32_t> forward;
    std::vector<std::string> keys;
    for (int32_t r = tag->MoveTo(-3); r != 0; r = tag->MoveTo(-1)) {
        forward.push_back(r);
        keys.push_back(tag->CurrentEntry().AsText());
        ASSERT_LE(forward.size(), order.entries.size() + 1) << "walk does not end";
    }
    EXPECT_TRUE(tag->Eof());
    ASSERT_EQ(forward.size(), order.entries.size());
    for (size_t i = 0; i < forward.size(); ++i) {
        ASSERT_EQ(forward[i], order.entries[i].first) << "entry " << i;
        if (checkKeys) {
            ASSERT_EQ(keys[i], StoredKey(*tag, order.entries[i].second)) << "entry " << i;
        }
    }
    std::vector<int32_t> backward;
    for (int32_t r = tag->MoveTo(-4); r != 0; r = tag->MoveTo(-2)) {
        backward.push_back(r);
        ASSERT_LE(backward.size(), order.entries.size() + 1) << "walk does not end";
    }
    EXPECT_TRUE(tag->Bof());
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ(backward, forward);

    // Seeks through the pages and through the path's nodes alike.
    for (const bool throughPages : {true, false}) {
        tag->SetPageSearch(throughPages);
        for (const Probe& p : order.seeks) {
            SCOPED_TRACE("seek " + (p.value.kind == 'n' ? std::to_string(p.value.number) : p.value.text) +
                         (p.soft ? " soft" : "") + (throughPages ? "" : " through the path"));
            int32_t r = tag->Seek(AsVariant(p.value));
            bool found = r != 0;
            bool eof = false;
            int32_t at = r;
            if (!found) {
                if (tag->Eof() || !p.soft) {
                    eof = true;
                    at = 0;
                } else {
                    at = tag->CurrentEntry().link;
                }
            }
            EXPECT_EQ(found, p.found);
            EXPECT_EQ(eof, p.eof);
            EXPECT_EQ(at, p.recno);
        }
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
