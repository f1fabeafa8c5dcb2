#pragma once
// What Harbour made of its own fixture index files (the .expected.json beside them): each
// order's records and keys in order, and where each seek probe landed. Loads the file and
// checks one of our tags against an order: the walk both ways, the keys, and the probes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "TestUtil.h"
#include "index/core/GSobjIndexTag.h"

namespace harbourexpected {

// Prints each order of an expectation file as lines:
//   O tag bag nentries keycount   then per entry  E recno kind value
//   S kind value soft found eof recno             per seek probe
// where bag is the index file's base name, keycount is -1 when the file does not give it,
// and kind is s (hex of the text's bytes), n (a number) or b (0 or 1).
inline const char* const kExtract = R"PY(
import json, sys
d = json.load(open(sys.argv[1]))
def val(v):
    if isinstance(v, bool): return 'b %d' % (1 if v else 0)
    if isinstance(v, (int, float)): return 'n %r' % float(v)
    return 's ' + (v.encode('latin-1').hex() or '-')
for o in d['orders']:
    keys = o.get('keys')
    print('O', o['tag'], o['bag'], len(o['order']), o.get('keycount', -1))
    for i, r in enumerate(o['order']):
        print('E', r, val(keys[i]) if keys else 'x -')
    for s in o.get('seeks', []):
        print('S', val(s['value']), int(s['softseek']), int(s['found']), int(s['eof']),
              s['recno'] if s['recno'] is not None else 0)
)PY";

struct Value {
    char kind = 'x';  // x: the file gives no key
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
    std::string tag;
    std::string bag;
    long keycount = -1;
    std::vector<std::pair<int32_t, Value>> entries;
    std::vector<Probe> seeks;
};

inline std::string FromHex(const std::string& hex) {
    std::string out;
    if (hex == "-") return out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

inline Value ReadValue(std::istringstream& in) {
    Value v;
    std::string raw;
    in >> v.kind >> raw;
    if (v.kind == 's') v.text = FromHex(raw);
    if (v.kind == 'n') v.number = std::stod(raw);
    if (v.kind == 'b') v.logical = raw == "1";
    return v;
}

inline std::vector<Order> LoadOrders(const std::string& json) {
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
        std::string kind;
        in >> kind;
        if (kind == "O") {
            orders.emplace_back();
            size_t n = 0;
            in >> orders.back().tag >> orders.back().bag >> n >> orders.back().keycount;
        } else if (kind == "E") {
            int32_t rec = 0;
            in >> rec;
            orders.back().entries.emplace_back(rec, ReadValue(in));
        } else if (kind == "S") {
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

inline TgsVariant AsVariant(const Value& v) {
    TgsVariant k(256);
    if (v.kind == 'n') k.SetNumber(v.number);
    if (v.kind == 'b') k.SetLogical(v.logical);
    if (v.kind == 's') k.SetText(v.text);
    return k;
}

// The key a value has in the tag: what the tag makes of it for a search.
inline std::string StoredKey(GSobjIndexTag& tag, const Value& v) {
    TgsVariant k = AsVariant(v);
    tag.PrepareKey(k);
    return k.AsText();
}

// The tag walks to the order's records (and keys, when given) forwards, and backwards to
// the same records reversed.
inline void CheckWalk(GSobjIndexTag& tag, const Order& order) {
    const bool checkKeys = !order.entries.empty() && order.entries.front().second.kind != 'x';
    std::vector<int32_t> forward;
    std::vector<std::string> keys;
    for (int32_t r = tag.MoveTo(-3); r != 0; r = tag.MoveTo(-1)) {
        forward.push_back(r);
        keys.push_back(tag.CurrentEntry().AsText());
        ASSERT_LE(forward.size(), order.entries.size() + 1) << "walk does not end";
    }
    EXPECT_TRUE(tag.Eof());
    ASSERT_EQ(forward.size(), order.entries.size());
    if (order.keycount >= 0) {
        ASSERT_EQ(static_cast<long>(forward.size()), order.keycount);
    }
    for (size_t i = 0; i < forward.size(); ++i) {
        ASSERT_EQ(forward[i], order.entries[i].first) << "entry " << i;
        if (checkKeys) {
            ASSERT_EQ(keys[i], StoredKey(tag, order.entries[i].second)) << "entry " << i;
        }
    }
    std::vector<int32_t> backward;
    for (int32_t r = tag.MoveTo(-4); r != 0; r = tag.MoveTo(-2)) {
        backward.push_back(r);
        ASSERT_LE(backward.size(), order.entries.size() + 1) << "walk does not end";
    }
    EXPECT_TRUE(tag.Bof());
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ(backward, forward);
}

// Every probe finds what Harbour found, or leaves the tag at the end or (soft) on the
// entry where Harbour stopped.
inline void CheckSeeks(GSobjIndexTag& tag, const Order& order, const std::string& how = "") {
    for (const Probe& p : order.seeks) {
        SCOPED_TRACE("seek " + (p.value.kind == 'n' ? std::to_string(p.value.number) : p.value.text) +
                     (p.soft ? " soft" : "") + how);
        const int32_t r = tag.Seek(AsVariant(p.value));
        const bool found = r != 0;
        bool eof = false;
        int32_t at = r;
        if (!found) {
            if (tag.Eof() || !p.soft) {
                eof = true;
                at = 0;
            } else {
                at = tag.CurrentEntry().link;
            }
        }
        EXPECT_EQ(found, p.found);
        EXPECT_EQ(eof, p.eof);
        EXPECT_EQ(at, p.recno);
    }
}

}  // namespace harbourexpected
