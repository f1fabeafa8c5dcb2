// CDX files we build and update: the leaf bit layout and compression, the file's shape,
// built tags against a sorted model and against Harbour's reading of the same file, both
// sibling chains through splits, tag replacement and removal, and a long run of random
// edits kept true in every tag of one bag.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <set>
#include <sstream>

#include "IndexTestSupport.h"
#include "engine/Exception.h"
#include "index/cdx/CdxLayout.h"
#include "index/cdx/GSobjCDXFile.h"
#include "index/cdx/GSobjCDXTag.h"
#include "index/core/GSobjIndexKey.h"

using namespace indextest;

namespace {

std::string RandomName(std::mt19937& rng) {
    static const char* const kStarts[] = {"Smith", "Sm", "Jones", "Ab", "Zed", "Brown", "Cole", ""};
    std::string s = kStarts[rng() % 8];
    int extra = static_cast<int>(rng() % 5);
    for (int i = 0; i < extra && s.size() < 10; ++i) s.push_back(static_cast<char>('a' + rng() % 26));
    return s;
}

Person RandomPerson(std::mt19937& rng) {
    Person p;
    p.name = RandomName(rng);
    p.amount = static_cast<double>(static_cast<int>(rng() % 200001) - 100000) / 100.0;
    p.date = rng() % 10 == 0 ? "" : std::to_string(19500101 + (rng() % 70) * 10000 + (rng() % 12) * 100 + rng() % 28);
    p.active = rng() % 2 == 0;
    return p;
}

// Harbour's walk of one tag of a CDX bag.
PeerWalk HarbourCdxWalk(const std::string& table, const std::string& bag, const std::string& tag) {
    PeerWalk w;
    testutil::CommandResult r =
        testutil::Run("'" + kHbPeer + "' walk DBFCDX '" + table + "' '" + bag + "' '" + tag + "'");
    w.status = r.status;
    w.err = r.err;
    std::istringstream lines(r.out);
    std::string line;
    bool first = true;
    while (std::getline(lines, line)) {
        if (first) {
            first = false;
            auto at = line.find("\"keycount\": ");
            if (at != std::string::npos) w.keycount = std::stol(line.substr(at + 12));
            continue;
        }
        if (line.size() > 1 && line[0] == '[') w.records.push_back(std::stoi(line.substr(1)));
    }
    return w;
}

// Follows every level's sibling chain from its leftmost node: each node's left pointer
// names the node before it, the last has none, and the leaves hold the walk's records.
void ExpectSiblingChainsIntact(GSobjCDXTag& tag, const std::vector<int32_t>& records) {
    tag.ReleasePath();
    int32_t leftmost = tag.RootPage();
    std::vector<int32_t> leafRecords;
    for (int level = 0; level < cdx::kMaxDepth; ++level) {
        GSobjIndexKey first(&tag, nullptr);
        first.LoadPage(leftmost);
        const bool leaves = !first.IsBranch();
        const int32_t below = leaves ? 0 : first.entries.front().link;
        int32_t previous = cdx::kNoSibling;
        int32_t at = leftmost;
        size_t steps = 0;
        while (at != cdx::kNoSibling) {
            ASSERT_LT(++steps, 100000u) << "sibling chain does not end";
            GSobjIndexKey node(&tag, nullptr);
            node.LoadPage(at);
            EXPECT_EQ(node.formatWord1, previous) << "left sibling of " << at;
            EXPECT_EQ(node.IsBranch(), !leaves);
            if (leaves)
                for (const auto& e : node.entries) leafRecords.push_back(e.link);
            previous = at;
            at = node.formatWord2;
        }
        if (leaves) break;
        leftmost = below;
    }
    std::vector<int32_t> stored = records;
    if (tag.DescendingOrder()) std::reverse(stored.begin(), stored.end());
    EXPECT_EQ(leafRecords, stored);
}

class CdxBuild : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.File("people.dbf");
        CreatePeople(path);
        table = IndexedTable::Open(path);
    }
    std::unique_ptr<GSobjCDXFile> Open(const std::string& name, bool create = false) {
        return std::make_unique<GSobjCDXFile>(table.get(), create, create, false, true, dir.File(name));
    }
    void Fill(int n, unsigned seed) {
        std::mt19937 rng(seed);
        for (int i = 0; i < n; ++i) {
            people.push_back(RandomPerson(rng));
            Append(*table, people.back());
        }
    }
    // The tag's keys in its order from the model: ascending by key and record number,
    // a descending tag the reverse.
    std::vector<std::pair<std::string, int32_t>> Model(GSobjCDXTag& tag,
                                                        const std::function<bool(const Person&)>& inFor) {
        std::vector<std::pair<std::string, int32_t>> m;
        std::set<std::string> seen;
        for (size_t i = 0; i < people.size(); ++i) {
            if (inFor && !inFor(people[i])) continue;
            TgsVariant k(256);
            const Person& p = people[i];
            if (tag.KeyType() == 'N') {
                k.SetNumber(p.amount);
            } else if (tag.KeyType() == 'D') {
                k.SetText(p.date);
            } else {
                k.SetText(p.name);
            }
            tag.PrepareKey(k);
            m.emplace_back(k.AsText(), static_cast<int32_t>(i + 1));
        }
        std::sort(m.begin(), m.end());
        if (tag.Unique()) {
            std::vector<std::pair<std::string, int32_t>> u;
            for (auto& e : m)
                if (u.empty() || u.back().first != e.first) u.push_back(e);
            m = u;
        }
        if (tag.DescendingOrder()) std::reverse(m.begin(), m.end());
        return m;
    }
    void ExpectMatchesModel(GSobjIndexTag& base, const std::function<bool(const Person&)>& inFor = nullptr) {
        auto& tag = static_cast<GSobjCDXTag&>(base);
        SCOPED_TRACE(tag.Name());
        auto model = Model(tag, inFor);
        auto walk = Walk(tag);
        ASSERT_EQ(walk.size(), model.size());
        for (size_t i = 0; i < walk.size(); ++i) {
            ASSERT_EQ(walk[i].second, model[i].first) << i;
            if (!tag.Unique()) {
                ASSERT_EQ(walk[i].first, model[i].second) << i;
            }
        }
        auto back = WalkBack(tag);
        std::reverse(back.begin(), back.end());
        EXPECT_EQ(back, walk);
        ExpectSiblingChainsIntact(tag, Records(walk));
    }

    testutil::TempDir dir;
    std::string path;
    std::unique_ptr<IndexedTable> table;
    std::vector<Person> people;
};

}  // namespace

TEST(CdxLeaf, BitLayoutFollowsKeyLengthAndRecordCount) {
    cdx::LeafLayout small = cdx::ComputeLayout(10, 65535);
    EXPECT_EQ(small.dupBits, 4);
    EXPECT_EQ(small.trailBits, 4);
    EXPECT_EQ(small.bytes, 3);
    EXPECT_EQ(small.recordBits, 16);
    EXPECT_EQ(small.recordMask, 0xFFFFu);
    EXPECT_EQ(small.dupMask, 0x0F);
    cdx::LeafLayout big = cdx::ComputeLayout(10, 70000);
    EXPECT_EQ(big.bytes, 4);
    EXPECT_EQ(big.recordBits, 24);
    EXPECT_EQ(big.recordMask, 0xFFFFFFu);
    cdx::LeafLayout huge = cdx::ComputeLayout(10, 0x7FFFFFFF);
    EXPECT_EQ(huge.recordBits, 31);
    EXPECT_EQ(huge.recordMask, 0x7FFFFFFFu);
    EXPECT_EQ(cdx::ComputeLayout(240, 1).recordBits, 8);
}

TEST(CdxLeaf, SmithAndSmytheShareTwoBytes) {
    const cdx::LeafLayout l = cdx::ComputeLayout(10, 100);
    const uint8_t smith[] = "SMITH     ";
    const uint8_t smythe[] = "SMYTHE    ";
    cdx::PackedEntry e[2] = {{smith, 7, 5}, {smythe, 9, 4}};
    uint8_t page[cdx::kNodeSize] = {};
    ASSERT_TRUE(cdx::PackLeaf(l, 10, e, 2, page));
    // Entry i: record in the low 16 bits, then the duplicate and trailing counts.
    EXPECT_EQ(page[24] | page[25] << 8, 7);
    EXPECT_EQ(page[26], (5 << 4) | 0);
    EXPECT_EQ(page[27] | page[28] << 8, 9);
    EXPECT_EQ(page[29], (4 << 4) | 2);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(page + 507), 5), "SMITH");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(page + 503), 4), "YTHE");
    EXPECT_EQ(cdx::Get16(page + cdx::kFreeBytesAt), 488 - (3 + 5) - (3 + 4));
    EXPECT_EQ(page[cdx::kEntryBytesAt], 3);
    EXPECT_EQ(page[cdx::kRecordBitsAt], 16);
}

TEST(CdxKeys, NumbersBecomeSortableBytes) {
    const double values[] = {-1e9, -12.5, -1, -0.01, 0, 0.01, 1, 12.5, 1e9};
    for (size_t i = 0; i + 1 < std::size(values); ++i)
        EXPECT_LT(GSobjCDXTag::NumberKey(values[i]), GSobjCDXTag::NumberKey(values[i + 1])) << values[i];
    EXPECT_EQ(GSobjCDXTag::NumberKey(0), std::string("\x80\0\0\0\0\0\0\0", 8));
    EXPECT_EQ(GSobjCDXTag::NumberKey(-0.0), GSobjCDXTag::NumberKey(0));
    // 1.0 is 3FF0000000000000: sign bit set, and six zero bytes not stored.
    EXPECT_EQ(GSobjCDXTag::NumberKey(1), std::string("\xBF\xF0\0\0\0\0\0\0", 8));
}

TEST_F(CdxBuild, NewFileHoldsOnlyTheEmptyDirectory) {
    { auto f = Open("people.cdx", true); EXPECT_EQ(f->TagCount(), 0u); }
    auto bytes = testutil::ReadBytes(dir.File("people.cdx"));
    ASSERT_EQ(bytes.size(), 1536u);
    EXPECT_EQ(cdx::Get32(&bytes[0]), 1024u);
    EXPECT_EQ(bytes[cdx::kOptionsAt], 0xE0);
    EXPECT_EQ(cdx::Get16(&bytes[cdx::kKeyLengthAt]), 10);
    EXPECT_EQ(cdx::Get16(&bytes[1024]), 3);  // root leaf
    EXPECT_EQ(cdx::Get32(&bytes[1024 + 4]), 0xFFFFFFFFu);
    EXPECT_EQ(cdx::Get32(&bytes[1024 + 8]), 0xFFFFFFFFu);
    EXPECT_EQ(cdx::Get16(&bytes[1024 + cdx::kFreeBytesAt]), 488);
}

TEST_F(CdxBuild, BuiltTagsMatchTheModelAndHarbour) {
    Fill(3000, 1);
    table->GoRecord(7);
    table->DeleteRecord();
    struct Case {
        const char* tag;
        const char* key;
        const char* forText;
        bool unique, ascending;
    } cases[] = {{"NAME", "NAME", "", false, true},       {"AMOUNT", "AMOUNT", "", false, true},
                 {"BDATE", "BDATE", "", false, true},     {"NMFOR", "NAME", "ACTIVE", false, true},
                 {"NAME_U", "NAME", "", true, true},      {"NAME_D", "NAME", "", false, false},
                 {"AMT_D", "AMOUNT", "", false, false},   {"DATE_DU", "BDATE", "", true, false}};
    std::vector<std::vector<int32_t>> walks;
    {
        auto f = Open("people.cdx", true);
        for (const Case& c : cases) ASSERT_NE(f->CreateTag(c.tag, c.key, c.forText, c.unique, c.ascending), nullptr);
        ASSERT_EQ(f->TagCount(), std::size(cases));
        auto active = [](const Person& p) { return p.active; };
        for (const Case& c : cases) {
            ExpectMatchesModel(*f->FindTag(c.tag), std::string(c.forText).empty() ? std::function<bool(const Person&)>() : active);
            walks.push_back(Records(Walk(*f->FindTag(c.tag))));
        }
        // A descending tag's first record holds the highest key.
        GSobjIndexTag* d = f->FindTag("AMT_D");
        const int32_t top = d->MoveTo(-3);
        const auto highest = std::max_element(people.begin(), people.end(),
                                              [](const Person& a, const Person& b) { return a.amount < b.amount; });
        EXPECT_EQ(people[static_cast<size_t>(top - 1)].amount, highest->amount);
    }
    auto f = Open("people.cdx");
    ASSERT_EQ(f->TagCount(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].tag);
        EXPECT_EQ(Records(Walk(*f->FindTag(cases[i].tag))), walks[i]);
        PeerWalk peer = HarbourCdxWalk(path, dir.File("people.cdx"), cases[i].tag);
        ASSERT_EQ(peer.status, 0) << peer.err;
        EXPECT_EQ(peer.records, walks[i]);
    }
}

TEST_F(CdxBuild, InsertsSplitLeavesAndBranchesWithIntactSiblingChains) {
    auto f = Open("people.cdx", true);
    f->CreateTag("NAME", "NAME", "", false, true);
    f->CreateTag("AMT_D", "AMOUNT", "", false, false);
    table->files = {f.get()};
    Fill(4000, 2);
    ExpectMatchesModel(*f->FindTag("NAME"));
    ExpectMatchesModel(*f->FindTag("AMT_D"));
    table->files.clear();
    const auto walk = Records(Walk(*f->FindTag("NAME")));
    f.reset();
    PeerWalk peer = HarbourCdxWalk(path, dir.File("people.cdx"), "NAME");
    ASSERT_EQ(peer.status, 0) << peer.err;
    EXPECT_EQ(peer.records, walk);
}

TEST_F(CdxBuild, ReplacingATagKeepsTagsWhoseNamesBeginWithIt) {
    Fill(50, 3);
    auto f = Open("people.cdx", true);
    f->CreateTag("NAME_INC", "NAME", "", false, true);
    f->CreateTag("NAME", "AMOUNT", "", false, true);
    f->CreateTag("name", "NAME", "", false, false);
    ASSERT_EQ(f->TagCount(), 2u);
    EXPECT_NE(f->FindTag("NAME_INC"), nullptr);
    EXPECT_EQ(f->FindTag("NAME")->KeyType(), 'C');
    f.reset();
    f = Open("people.cdx");
    ASSERT_EQ(f->TagCount(), 2u);
    EXPECT_TRUE(static_cast<GSobjCDXTag*>(f->FindTag("NAME"))->DescendingOrder());
    EXPECT_EQ(Walk(*f->FindTag("NAME_INC")).size(), 50u);
}

TEST_F(CdxBuild, DeletingTheLastTagLeavesTheEmptyDirectory) {
    Fill(300, 4);
    auto f = Open("people.cdx", true);
    f->CreateTag("NAME", "NAME", "", false, true);
    f->CreateTag("AMOUNT", "AMOUNT", "", false, true);
    EXPECT_FALSE(f->DeleteTag("NAM"));
    EXPECT_TRUE(f->DeleteTag("name"));
    ASSERT_EQ(f->TagCount(), 1u);
    f.reset();
    f = Open("people.cdx");
    ASSERT_EQ(f->TagCount(), 1u);
    EXPECT_EQ(Walk(*f->FindTag("AMOUNT")).size(), 300u);
    EXPECT_TRUE(f->DeleteTag("AMOUNT"));
    f.reset();
    EXPECT_EQ(testutil::ReadBytes(dir.File("people.cdx")).size(), 1536u);
    f = Open("people.cdx");
    EXPECT_EQ(f->TagCount(), 0u);
}

TEST_F(CdxBuild, ReindexRewritesEveryTagCompactly) {
    auto f = Open("people.cdx", true);
    f->CreateTag("NAME", "NAME", "", false, true);
    f->CreateTag("BDATE", "BDATE", "", false, false);
    table->files = {f.get()};
    Fill(1500, 5);
    table->files.clear();
    const auto name = Walk(*f->FindTag("NAME"));
    const auto date = Walk(*f->FindTag("BDATE"));
    const auto before = testutil::ReadBytes(dir.File("people.cdx")).size();
    f->Reindex();
    EXPECT_EQ(Walk(*f->FindTag("NAME")), name);
    EXPECT_EQ(Walk(*f->FindTag("BDATE")), date);
    f.reset();
    EXPECT_LT(testutil::ReadBytes(dir.File("people.cdx")).size(), before);
    f = Open("people.cdx");
    EXPECT_EQ(Walk(*f->FindTag("NAME")), name);
    ExpectMatchesModel(*f->FindTag("BDATE"));
}

TEST_F(CdxBuild, ChangeCounterAdvancesWithEveryRecordWrite) {
    Fill(10, 6);
    auto f = Open("people.cdx", true);
    f->CreateTag("NAME", "NAME", "", false, true);
    table->files = {f.get()};
    const uint32_t before = f->ChangeCounter();
    Append(*table, Person{"Zz", 1, "", true});
    Append(*table, Person{"Aa", 2, "", true});
    EXPECT_EQ(f->ChangeCounter(), before + 2);
    auto bytes = testutil::ReadBytes(dir.File("people.cdx"));
    EXPECT_EQ(cdx::Get32(&bytes[cdx::kChangeCounterAt]), before + 2);
    table->files.clear();
}

TEST_F(CdxBuild, RandomEditsKeepEveryTagTrue) {
    auto f = Open("people.cdx", true);
    f->CreateTag("NAME", "NAME", "", false, true);
    f->CreateTag("AMOUNT", "AMOUNT", "", false, true);
    f->CreateTag("BDATE_D", "BDATE", "", false, false);
    f->CreateTag("NMFOR", "NAME", "ACTIVE", false, true);
    f->CreateTag("NAME_U", "NAME", "", true, true);
    table->files = {f.get()};
    std::mt19937 rng(7);
    auto active = [](const Person& p) { return p.active; };
    int appends = 0, rewrites = 0, deletes = 0;
    for (int batch = 0; batch < 5; ++batch) {
        for (int i = 0; i < 500; ++i) {
            unsigned what = rng() % 10;
            if (people.empty() || what < 5) {
                people.push_back(RandomPerson(rng));
                Append(*table, people.back());
                ++appends;
            } else if (what < 9) {
                int32_t r = static_cast<int32_t>(rng() % people.size()) + 1;
                table->GoRecord(r);
                Person p = RandomPerson(rng);
                if (what == 8) p.name = people[static_cast<size_t>(r - 1)].name;
                people[static_cast<size_t>(r - 1)] = p;
                Store(*table, p);
                table->PutRecord(r);
                ++rewrites;
            } else {
                int32_t r = static_cast<int32_t>(rng() % people.size()) + 1;
                table->GoRecord(r);
                if (table->IsDeleted()) {
                    table->RecallRecord();
                } else {
                    table->DeleteRecord();
                }
                ++deletes;
            }
        }
        SCOPED_TRACE("batch " + std::to_string(batch));
        ExpectMatchesModel(*f->FindTag("NAME"));
        ExpectMatchesModel(*f->FindTag("AMOUNT"));
        ExpectMatchesModel(*f->FindTag("BDATE_D"));
        ExpectMatchesModel(*f->FindTag("NMFOR"), active);
    }
    EXPECT_GT(rewrites, 800);
    EXPECT_GT(deletes, 150);
    EXPECT_GT(appends, 1000);
    table->files.clear();
    const char* tags[] = {"NAME", "AMOUNT", "BDATE_D", "NMFOR"};
    std::vector<std::vector<std::pair<int32_t, std::string>>> walks;
    for (const char* t : tags) walks.push_back(Walk(*f->FindTag(t)));
    f.reset();
    for (size_t i = 0; i < std::size(tags); ++i) {
        SCOPED_TRACE(tags[i]);
        PeerWalk peer = HarbourCdxWalk(path, dir.File("people.cdx"), tags[i]);
        ASSERT_EQ(peer.status, 0) << peer.err;
        EXPECT_EQ(peer.records, Records(walks[i]));
    }
    f = Open("people.cdx");
    for (size_t i = 0; i < std::size(tags); ++i) EXPECT_EQ(Walk(*f->FindTag(tags[i])), walks[i]);
    f->Reindex();
    for (size_t i = 0; i < std::size(tags); ++i) EXPECT_EQ(Walk(*f->FindTag(tags[i])), walks[i]);
}

TEST_F(CdxBuild, EmptiedNodesLeaveTheSiblingChains) {
    for (int i = 0; i < 3000; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "K%05d", i);
        people.push_back(Person{name, static_cast<double>(i), "", true});
        Append(*table, people.back());
    }
    auto f = Open("people.cdx", true);
    f->CreateTag("NAME", "NAME", "", false, true);
    f->CreateTag("NAME_D", "NAME", "", false, false);
    table->files = {f.get()};
    // Records 500 to 1700 move to the end of the order: whole leaves and a branch empty.
    for (int32_t r = 500; r <= 1700; ++r) {
        table->GoRecord(r);
        people[static_cast<size_t>(r - 1)].name = "Z" + people[static_cast<size_t>(r - 1)].name;
        Store(*table, people[static_cast<size_t>(r - 1)]);
        table->PutRecord(r);
    }
    table->files.clear();
    ExpectMatchesModel(*f->FindTag("NAME"));
    ExpectMatchesModel(*f->FindTag("NAME_D"));
    const auto walk = Records(Walk(*f->FindTag("NAME")));
    f.reset();
    PeerWalk peer = HarbourCdxWalk(path, dir.File("people.cdx"), "NAME");
    ASSERT_EQ(peer.status, 0) << peer.err;
    EXPECT_EQ(peer.records, walk);
}

TEST_F(CdxBuild, TagsAddedToAndRemovedFromAnExistingBagKeepTheDirectoryTrue) {
    Fill(800, 8);
    {
        auto f = Open("people.cdx", true);
        f->CreateTag("NAME", "NAME", "", false, true);
        f->CreateTag("AMOUNT", "AMOUNT", "", false, true);
    }
    {
        auto f = Open("people.cdx");
        ASSERT_EQ(f->TagCount(), 2u);
        f->CreateTag("BDATE", "BDATE", "", false, true);
        f->CreateTag("NAME_D", "NAME", "", false, false);
        EXPECT_EQ(f->TagCount(), 4u);
    }
    auto f = Open("people.cdx");
    ASSERT_EQ(f->TagCount(), 4u);
    EXPECT_TRUE(f->DeleteTag("amount"));
    f.reset();
    f = Open("people.cdx");
    ASSERT_EQ(f->TagCount(), 3u);
    EXPECT_EQ(f->FindTag("AMOUNT"), nullptr);
    // The directory walks in name order and names each remaining tag once.
    std::vector<std::string> names;
    for (int32_t r = f->Directory()->MoveTo(-3); r != 0; r = f->Directory()->MoveTo(-1))
        names.push_back(f->Directory()->CurrentEntry().AsText());
    EXPECT_EQ(names, (std::vector<std::string>{"BDATE", "NAME", "NAME_D"}));
    std::vector<std::vector<int32_t>> walks;
    for (const char* t : {"BDATE", "NAME", "NAME_D"}) {
        ExpectMatchesModel(*f->FindTag(t));
        walks.push_back(Records(Walk(*f->FindTag(t))));
    }
    f.reset();
    size_t i = 0;
    for (const char* t : {"BDATE", "NAME", "NAME_D"}) {
        SCOPED_TRACE(t);
        PeerWalk peer = HarbourCdxWalk(path, dir.File("people.cdx"), t);
        ASSERT_EQ(peer.status, 0) << peer.err;
        EXPECT_EQ(peer.records, walks[i++]);
    }
    testutil::CommandResult tags = testutil::Run("'" + kHbPeer + "' tags DBFCDX '" + path + "' '" + dir.File("people.cdx") + "'");
    ASSERT_EQ(tags.status, 0) << tags.err;
    EXPECT_EQ(tags.out.find("AMOUNT"), std::string::npos) << tags.out;
    EXPECT_NE(tags.out.find("NAME_D"), std::string::npos) << tags.out;
}

TEST_F(CdxBuild, ATagAddedToHarboursBagWalksInHarbour) {
    Fill(600, 9);
    table.reset();
    testutil::CommandResult built = testutil::Run("'" + kHbPeer + "' index DBFCDX '" + path + "' '" +
                                                  dir.File("people.cdx") + "' NAME NAME '' 0 0");
    ASSERT_EQ(built.status, 0) << built.err;
    table = IndexedTable::Open(path);
    auto f = Open("people.cdx");
    ASSERT_EQ(f->TagCount(), 1u);
    f->CreateTag("AMT_D", "AMOUNT", "", false, false);
    ExpectMatchesModel(*f->FindTag("AMT_D"));
    ExpectMatchesModel(*f->FindTag("NAME"));
    const auto walk = Records(Walk(*f->FindTag("AMT_D")));
    f.reset();
    PeerWalk peer = HarbourCdxWalk(path, dir.File("people.cdx"), "AMT_D");
    ASSERT_EQ(peer.status, 0) << peer.err;
    EXPECT_EQ(peer.records, walk);
}

TEST_F(CdxBuild, ProductionMarkFollowsTheBagNamedLikeTheTable) {
    Fill(20, 10);
    auto flags = [&] { return testutil::ReadBytes(path)[28] & 1; };
    {
        auto other = Open("other.cdx", true);
        other->CreateTag("NAME", "NAME", "", false, true);
    }
    EXPECT_EQ(flags(), 0);
    auto f = Open("PEOPLE.CDX", true);
    EXPECT_EQ(flags(), 0);
    f->CreateTag("NAME", "NAME", "", false, true);
    EXPECT_EQ(flags(), 1);
    f->CreateTag("AMOUNT", "AMOUNT", "", false, true);
    EXPECT_TRUE(f->DeleteTag("NAME"));
    EXPECT_EQ(flags(), 1);
    EXPECT_TRUE(f->DeleteTag("AMOUNT"));
    EXPECT_EQ(flags(), 0);
    f->CreateTag("NAME", "NAME", "", false, true);
    f.reset();
    // Harbour opens the marked table with its production bag.
    table.reset();
    EXPECT_EQ(flags(), 1);
    PeerWalk peer = HarbourCdxWalk(path, dir.File("PEOPLE.CDX"), "NAME");
    ASSERT_EQ(peer.status, 0) << peer.err;
    EXPECT_EQ(peer.records.size(), 20u);
}
