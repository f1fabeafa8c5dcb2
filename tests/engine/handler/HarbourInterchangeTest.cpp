// Index files shared with Harbour: NTX and CDX files we build and keep up to date through
// the table walk in Harbour as in ours, and files Harbour updated walk in ours as in
// Harbour's (and as a fresh rebuild, up to the order among equal keys).

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "HandlerTestSupport.h"
#include "index/core/GSobjIndexFile.h"
#include "index/core/GSobjIndexTag.h"

using namespace handlertest;

namespace {

const std::string kHbPeer = std::string(XB_SHARED_DIR) + "/peers/harbour/bin/hbpeer";

struct PeerEntry {
    int32_t record = 0;
    std::string key;  // the key as Harbour prints it (JSON)
};

// Harbour's walk of an order: its records and keys from top to bottom.
std::vector<PeerEntry> PeerWalk(const std::string& rdd, const std::string& table, const std::string& index,
                                const std::string& tag = "") {
    testutil::CommandResult r = testutil::Run("'" + kHbPeer + "' walk " + rdd + " '" + table + "' '" + index +
                                              "'" + (tag.empty() ? "" : " '" + tag + "'"));
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<PeerEntry> out;
    std::istringstream lines(r.out);
    std::string line;
    std::getline(lines, line);  // the order's description
    while (std::getline(lines, line)) {
        if (line.size() < 3 || line[0] != '[') continue;
        const size_t comma = line.find(',');
        PeerEntry e;
        e.record = std::stoi(line.substr(1, comma - 1));
        e.key = line.substr(comma + 1);
        while (!e.key.empty() && (e.key.front() == ' ')) e.key.erase(0, 1);
        while (!e.key.empty() && (e.key.back() == ']' || e.key.back() == ',')) e.key.pop_back();
        out.push_back(e);
    }
    return out;
}

std::vector<int32_t> Records(const std::vector<PeerEntry>& walk) {
    std::vector<int32_t> out;
    for (const PeerEntry& e : walk) out.push_back(e.record);
    return out;
}

// The walk grouped by key: each key in order with the set of its records.
std::vector<std::pair<std::string, std::set<int32_t>>> Grouped(const std::vector<PeerEntry>& walk) {
    std::vector<std::pair<std::string, std::set<int32_t>>> out;
    for (const PeerEntry& e : walk) {
        if (out.empty() || out.back().first != e.key) out.push_back({e.key, {}});
        out.back().second.insert(e.record);
    }
    return out;
}

Person RandomPerson(std::mt19937& rng) {
    static const char* const kStarts[] = {"SMITH", "SM", "JONES", "AB", "ZED", "BROWN", "COLE", "K"};
    Person p;
    p.name = kStarts[rng() % 8];
    const int extra = static_cast<int>(rng() % 4);
    for (int i = 0; i < extra; ++i) p.name.push_back(static_cast<char>('a' + rng() % 3));
    p.amount = static_cast<double>(static_cast<int>(rng() % 4001) - 2000) / 4.0;
    p.date = std::to_string(19600101 + (rng() % 60) * 10000 + (rng() % 12) * 100 + rng() % 28);
    p.active = rng() % 2 == 0;
    return p;
}

// Our own random edits through the table: appends, rewrites, deletes and recalls.
void EditThroughTable(GSO_dBHandler& t, unsigned seed, int count) {
    std::mt19937 rng(seed);
    for (int i = 0; i < count; ++i) {
        const int32_t r = 1 + static_cast<int32_t>(rng() % static_cast<uint32_t>(t.RecordCount()));
        switch (rng() % 5) {
            case 0:
            case 1: Append(t, RandomPerson(rng)); break;
            case 2:
                t.GoRecord(r);
                Store(t, RandomPerson(rng));
                t.PutRecord(r);
                break;
            case 3:
                t.GoRecord(r);
                t.DeleteRecord();
                break;
            default:
                t.GoRecord(r);
                t.RecallRecord();
                break;
        }
    }
}

class HarbourInterchange : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(kHbPeer)) GTEST_SKIP() << "hbpeer is not there";
        path = dir.File("people.dbf");
        CreatePeople(path);
        auto t = GSO_dBHandler::Open(path, true, false);
        std::mt19937 rng(99);
        for (int i = 0; i < 600; ++i) Append(*t, RandomPerson(rng));
    }
    // Our walk of a tag through the table, with each record's key as Harbour prints it.
    std::vector<PeerEntry> OurWalk(GSO_dBHandler& t, const std::string& tag, const std::string& field) {
        EXPECT_GT(t.SelectTag(tag, false), 0);
        std::vector<PeerEntry> out;
        for (int32_t r : WalkTable(t)) {
            t.GoRecord(r);
            std::string key = t.GetTextByName(field);
            if (field == "AMOUNT") {
                std::ostringstream s;
                s << t.GetNumberByName(field);
                key = s.str();
            } else if (field != "BDATE") {
                key = "\"" + key + "\"";
            } else {
                key = "\"" + key + "\"";
            }
            out.push_back({r, key});
        }
        return out;
    }
    testutil::TempDir dir;
    std::string path;
};

TEST_F(HarbourInterchange, NtxKeptByUsWalksInHarbourAndTheOtherWayRound) {
    {
        auto t = GSO_dBHandler::Open(path, true, false);
        BuildIndex(*t, dir.File("name.ntx"), "NAME");
        BuildIndex(*t, dir.File("amount.ntx"), "AMOUNT", "", false, false);
    }
    // Built by us: the same order and keys in Harbour.
    {
        auto t = GSO_dBHandler::Open(path, true, false);
        ASSERT_EQ(t->OpenIndexList("name.ntx amount.ntx", ""), 0);
        EXPECT_EQ(Records(PeerWalk("DBFNTX", path, dir.File("name.ntx"))), Records(OurWalk(*t, "NAME", "NAME")));
        std::vector<PeerEntry> peer = PeerWalk("DBFNTX", path, dir.File("name.ntx"));
        std::vector<PeerEntry> ours = OurWalk(*t, "NAME", "NAME");
        ASSERT_EQ(peer.size(), ours.size());
        for (size_t i = 0; i < peer.size(); ++i) EXPECT_EQ(peer[i].key, ours[i].key) << i;
        EXPECT_EQ(Records(PeerWalk("DBFNTX", path, dir.File("amount.ntx"))), Records(OurWalk(*t, "AMOUNT", "AMOUNT")));
        // Our edits through the table: Harbour still walks our files as we do.
        EditThroughTable(*t, 5, 700);
    }
    {
        auto t = GSO_dBHandler::Open(path, true, false);
        ASSERT_EQ(t->OpenIndexList("name.ntx amount.ntx", ""), 0);
        EXPECT_EQ(Records(PeerWalk("DBFNTX", path, dir.File("name.ntx"))), Records(OurWalk(*t, "NAME", "NAME")));
        EXPECT_EQ(Records(PeerWalk("DBFNTX", path, dir.File("amount.ntx"))), Records(OurWalk(*t, "AMOUNT", "AMOUNT")));
    }
    // Harbour's edits on our file: our walk equals Harbour's, and our rebuild but for the
    // order among equal keys.
    testutil::CommandResult r =
        testutil::Run("'" + kHbPeer + "' edit DBFNTX '" + path + "' '" + dir.File("name.ntx") + "' 17 800");
    ASSERT_EQ(r.status, 0) << r.err;
    auto t = GSO_dBHandler::Open(path, true, false);
    ASSERT_EQ(t->OpenIndexList("name.ntx", "NAME"), 0);
    const std::vector<PeerEntry> peer = PeerWalk("DBFNTX", path, dir.File("name.ntx"));
    const std::vector<PeerEntry> ours = OurWalk(*t, "NAME", "NAME");
    EXPECT_EQ(Records(peer), Records(ours));
    EXPECT_EQ(static_cast<int32_t>(ours.size()), t->RecordCount());
    BuildIndex(*t, dir.File("fresh.ntx"), "NAME");
    ASSERT_EQ(t->OpenIndexList("fresh.ntx", "FRESH"), 0);
    EXPECT_EQ(Grouped(OurWalk(*t, "FRESH", "NAME")), Grouped(ours));
    // Our edits after Harbour's, walked by Harbour once more.
    ASSERT_EQ(t->OpenIndexList("name.ntx", "NAME"), 0);
    EditThroughTable(*t, 23, 400);
    EXPECT_EQ(Records(PeerWalk("DBFNTX", path, dir.File("name.ntx"))), Records(OurWalk(*t, "NAME", "NAME")));
}

TEST_F(HarbourInterchange, CdxWithSeveralTagsKeptByEitherWalksAlike) {
    const std::string bag = dir.File("bag.cdx");
    {
        auto t = GSO_dBHandler::Open(path, true, false);
        BuildIndex(*t, bag, "NAME", "", false, true, "NAME");
        BuildIndex(*t, bag, "AMOUNT", "", false, false, "AMOUNT");
        BuildIndex(*t, bag, "BDATE", "ACTIVE", false, true, "BDATE");
        ASSERT_EQ(t->OpenIndexList("bag.cdx", ""), 0);
        for (const char* tag : {"NAME", "AMOUNT", "BDATE"})
            EXPECT_EQ(Records(PeerWalk("DBFCDX", path, bag, tag)), Records(OurWalk(*t, tag, tag))) << tag;
        EditThroughTable(*t, 8, 700);
        for (const char* tag : {"NAME", "AMOUNT", "BDATE"})
            EXPECT_EQ(Records(PeerWalk("DBFCDX", path, bag, tag)), Records(OurWalk(*t, tag, tag))) << tag;
    }
    testutil::CommandResult r = testutil::Run("'" + kHbPeer + "' edit DBFCDX '" + path + "' '" + bag + "' 31 800");
    ASSERT_EQ(r.status, 0) << r.err;
    auto t = GSO_dBHandler::Open(path, true, false);
    ASSERT_EQ(t->OpenIndexList("bag.cdx", ""), 0);
    for (const char* tag : {"NAME", "AMOUNT", "BDATE"}) {
        const std::vector<PeerEntry> ours = OurWalk(*t, tag, tag);
        EXPECT_EQ(Records(PeerWalk("DBFCDX", path, bag, tag)), Records(ours)) << tag;
    }
    // CDX keeps equal keys in record order: a rebuild is the same walk exactly.
    BuildIndex(*t, dir.File("fresh.cdx"), "NAME", "", false, true, "NAME");
    BuildIndex(*t, dir.File("fresh.cdx"), "AMOUNT", "", false, false, "AMOUNT");
    BuildIndex(*t, dir.File("fresh.cdx"), "BDATE", "ACTIVE", false, true, "BDATE");
    std::map<std::string, std::vector<int32_t>> kept;
    for (const char* tag : {"NAME", "AMOUNT", "BDATE"}) kept[tag] = Records(OurWalk(*t, tag, tag));
    ASSERT_EQ(t->OpenIndexList("fresh.cdx", ""), 0);
    for (const char* tag : {"NAME", "AMOUNT", "BDATE"}) EXPECT_EQ(Records(OurWalk(*t, tag, tag)), kept[tag]) << tag;
    ASSERT_EQ(t->OpenIndexList("bag.cdx", ""), 0);
    EditThroughTable(*t, 41, 400);
    for (const char* tag : {"NAME", "AMOUNT", "BDATE"})
        EXPECT_EQ(Records(PeerWalk("DBFCDX", path, bag, tag)), Records(OurWalk(*t, tag, tag))) << tag;
}

TEST_F(HarbourInterchange, SharedCdxSeeksFollowHarbourEditsBetweenThem) {
    const std::string bag = dir.File("bag.cdx");
    {
        auto t = GSO_dBHandler::Open(path, true, false);
        BuildIndex(*t, bag, "NAME", "", false, true, "NAME");
    }
    // Our table stays open shared, its pages read by seeks, while Harbour edits it shared.
    auto ours = GSO_dBHandler::Open(path, true, true);
    ASSERT_EQ(ours->OpenIndexList("bag.cdx", "NAME"), 0);
    auto seekAll = [&](GSO_dBHandler& t, const std::vector<std::string>& names) {
        std::vector<int32_t> out;
        for (const std::string& name : names) out.push_back(t.SeekKey(name) ? t.RecordNumber() : 0);
        return out;
    };
    std::vector<std::string> names;
    for (int32_t r : WalkTable(*ours)) {
        ours->GoRecord(r);
        names.push_back(NameOf(*ours));
    }
    seekAll(*ours, names);
    for (unsigned seed : {5u, 6u}) {
        testutil::CommandResult r = testutil::Run("'" + kHbPeer + "' edit DBFCDX '" + path + "' '" + bag + "' " +
                                                  std::to_string(seed) + " 300 1");
        ASSERT_EQ(r.status, 0) << r.err;
        auto fresh = GSO_dBHandler::Open(path, true, true);
        ASSERT_EQ(fresh->OpenIndexList("bag.cdx", "NAME"), 0);
        std::vector<std::string> now;
        for (int32_t rec : WalkTable(*fresh)) {
            fresh->GoRecord(rec);
            now.push_back(NameOf(*fresh));
        }
        now.insert(now.end(), names.begin(), names.end());
        EXPECT_EQ(seekAll(*ours, now), seekAll(*fresh, now)) << "after Harbour's edits from seed " << seed;
        EXPECT_EQ(WalkTable(*ours), Records(PeerWalk("DBFCDX", path, bag, "NAME")));
    }
}

}  // namespace
