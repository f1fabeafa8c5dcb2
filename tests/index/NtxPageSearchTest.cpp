// Seeks that search the NTX pages where they lie give what the search through the path's
// nodes gives: the same answer, flags and current entry, and the same steps from there;
// and the steps after a seek go on from the entry it found.

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <random>
#include <set>

#include "IndexTestSupport.h"
#include "index/ntx/GSobjNTXFile.h"
#include "index/ntx/GSobjNTXTag.h"

using namespace indextest;

namespace {

// What a seek leaves: its answer, the flags, the current entry, and the records that the
// steps after it reach (next, then back twice).
struct SeekOutcome {
    int32_t answer = 0;
    bool eof = false;
    int32_t link = 0;
    int32_t compareRecord = 0;
    std::string key;
    std::vector<int32_t> steps;
    bool operator==(const SeekOutcome&) const = default;
};

std::ostream& operator<<(std::ostream& out, const SeekOutcome& o) {
    out << "answer " << o.answer << (o.eof ? " eof" : "") << " entry " << o.link << "/" << o.compareRecord << " '"
        << o.key << "' steps";
    for (int32_t s : o.steps) out << " " << s;
    return out;
}

SeekOutcome SeekAndStep(GSobjIndexTag& tag, const TgsVariant& key, bool throughPages) {
    tag.SetPageSearch(throughPages);
    SeekOutcome o;
    o.answer = tag.Seek(key);
    o.eof = tag.Eof();
    // A seek that runs past the end leaves the entry before it as it was.
    if (o.answer != 0 || !o.eof) {
        o.link = tag.CurrentEntry().link;
        o.compareRecord = tag.CurrentEntry().compareRecord;
        o.key = tag.CurrentEntry().AsText();
    }
    o.steps.push_back(tag.MoveTo(-1));
    o.steps.push_back(tag.MoveTo(-2));
    o.steps.push_back(tag.MoveTo(-2));
    tag.SetPageSearch(true);
    return o;
}

TgsVariant Text(const std::string& s) {
    TgsVariant v(256);
    v.SetText(s);
    return v;
}

// Names that share beginnings, blanks inside, bytes that sort below a blank, and none.
const char* const kAwkwardNames[] = {"ab", "ab\x01", "ab\x1f", "ab c", "ab!", "ab\x01z", "a", "", "Sm", "Smith",
                                     "Smith\x05", "Smith x", "\x7f", "\xff\xfe", "Zz"};

std::string RandomName(std::mt19937& rng) {
    static const char* const kStarts[] = {"Smith", "Sm", "Jones", "Ab", "Zed", "ab", "Cole", ""};
    std::string s = kStarts[rng() % 8];
    const int extra = static_cast<int>(rng() % 5);
    for (int i = 0; i < extra && s.size() < 10; ++i) s.push_back(static_cast<char>('a' + rng() % 26));
    return s;
}

class NtxPageSearch : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.File("people.dbf");
        CreatePeople(path);
        table = IndexedTable::Open(path);
    }
    void Fill(int n, unsigned seed) {
        std::mt19937 rng(seed);
        for (int i = 0; i < n; ++i) {
            Person p;
            p.name = i % 7 == 0 ? kAwkwardNames[rng() % std::size(kAwkwardNames)] : RandomName(rng);
            p.amount = static_cast<double>(static_cast<int>(rng() % 20001) - 10000) / 100.0;
            p.date = rng() % 9 == 0 ? "" : std::to_string(19500101 + (rng() % 70) * 10000 + (rng() % 12) * 100 + rng() % 28);
            p.active = rng() % 2 == 0;
            Append(*table, p);
        }
    }
    std::unique_ptr<GSobjNTXFile> Create(const std::string& name, const std::string& key, const std::string& forText,
                                         bool ascending) {
        auto f = std::make_unique<GSobjNTXFile>(table.get(), true, true, false, true, dir.File(name));
        f->CreateTag("", key, forText, false, ascending);
        return f;
    }
    // Every stored key, its beginnings when `withBeginnings`, and keys that are not there.
    static std::vector<std::string> Probes(GSobjIndexTag& tag, bool withBeginnings) {
        std::set<std::string> keys;
        for (const auto& [record, key] : Walk(tag)) {
            keys.insert(key);
            if (withBeginnings)
                for (size_t n = 1; n < std::min<size_t>(key.size(), 4); ++n) keys.insert(key.substr(0, n));
        }
        for (const char* s : kAwkwardNames) keys.insert(s);
        for (const char* s : {" ", "A", "Zzzzzzzzzzzzz", "\x01", "ab\x05", "Smithers", "-5", "19800101", "\xff"})
            keys.insert(s);
        return {keys.begin(), keys.end()};
    }
    // Seeks every probe both ways, with exact matching on and off.
    void ExpectBothWaysAlike(GSobjIndexTag& tag, const std::vector<std::string>& probes) {
        int seeks = 0;
        for (bool exact : {true, false}) {
            table->SetExactMatch(exact);
            for (const std::string& probe : probes) {
                const TgsVariant key = Text(probe);
                const SeekOutcome pages = SeekAndStep(tag, key, true);
                const SeekOutcome path = SeekAndStep(tag, key, false);
                ASSERT_EQ(pages, path) << "'" << probe << "'" << (exact ? " exact" : "");
                ++seeks;
            }
        }
        EXPECT_GT(seeks, 100);
    }

    testutil::TempDir dir;
    std::string path;
    std::unique_ptr<IndexedTable> table;
};

}  // namespace

TEST_F(NtxPageSearch, EveryKindOfOrderAnswersAsThePathsSearch) {
    Fill(1200, 3);
    struct Order {
        const char* file;
        const char* key;
        const char* forText;
        bool ascending;
        bool beginnings;
    };
    const Order orders[] = {{"name.ntx", "NAME", "", true, true},
                            {"named.ntx", "NAME", "", false, true},
                            {"namef.ntx", "NAME", "ACTIVE", true, false},
                            {"amount.ntx", "AMOUNT", "", true, false},
                            {"bdate.ntx", "BDATE", "", false, false}};
    std::vector<std::unique_ptr<GSobjNTXFile>> files;
    for (const Order& o : orders) files.push_back(Create(o.file, o.key, o.forText, o.ascending));
    // Built pages are full; pages split by inserts are half full.
    for (auto& f : files) table->files.push_back(f.get());
    Fill(400, 4);
    table->files.clear();
    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(orders[i].file);
        GSobjIndexTag& tag = *files[i]->Tag(0);
        tag.ReleasePath();
        ExpectBothWaysAlike(tag, Probes(tag, orders[i].beginnings));
    }
    // Number and date values are sought as such too.
    GSobjIndexTag& amount = *files[3]->Tag(0);
    for (double v : {-100.0, -12.34, 0.0, 0.01, 55.5, 99.99, 1e9}) {
        TgsVariant key(256);
        key.SetNumber(v);
        EXPECT_EQ(SeekAndStep(amount, key, true), SeekAndStep(amount, key, false)) << v;
    }
}

TEST_F(NtxPageSearch, SharedFilesAnswerAsThePathsSearch) {
    Fill(900, 5);
    Create("name.ntx", "NAME", "", true).reset();
    GSobjNTXFile shared(table.get(), false, false, true, true, dir.File("name.ntx"));
    ASSERT_FALSE(shared.KeepsPages());
    ExpectBothWaysAlike(*shared.Tag(0), Probes(*shared.Tag(0), true));
}

TEST_F(NtxPageSearch, StepsGoOnFromTheEntryFound) {
    Fill(1500, 6);
    auto f = Create("name.ntx", "NAME", "", true);
    GSobjIndexTag& tag = *f->Tag(0);
    const auto walk = Walk(tag);
    ASSERT_EQ(walk.size(), 1500u);
    table->SetExactMatch(true);
    for (size_t i = 0; i < walk.size(); i += 3) {
        // The first entry of a key is the one found; the next and prior are its neighbours.
        size_t first = i;
        while (first > 0 && walk[first - 1].second == walk[i].second) --first;
        ASSERT_EQ(tag.Seek(Text(walk[i].second)), walk[first].first) << i;
        EXPECT_EQ(tag.MoveTo(-1), first + 1 < walk.size() ? walk[first + 1].first : 0) << i;
        ASSERT_EQ(tag.Seek(Text(walk[i].second)), walk[first].first) << i;
        EXPECT_EQ(tag.MoveTo(-2), first > 0 ? walk[first - 1].first : 0) << i;
    }
    // A key past every stored one leaves the end: one step back is the last entry.
    EXPECT_EQ(tag.Seek(Text("\xff\xff\xff")), 0);
    EXPECT_TRUE(tag.Eof());
    EXPECT_EQ(tag.MoveTo(-1), 0);
    EXPECT_TRUE(tag.Eof());
}

TEST_F(NtxPageSearch, KeyLookupsAndInsertsAfterASeekKeepTheirPlaces) {
    Fill(800, 7);
    auto f = Create("name.ntx", "NAME", "", true);
    GSobjIndexTag& tag = *f->Tag(0);
    const auto walk = Walk(tag);
    table->SetExactMatch(true);
    const size_t at = 400;
    size_t first = at;
    while (first > 0 && walk[first - 1].second == walk[at].second) --first;
    ASSERT_EQ(tag.Seek(Text(walk[at].second)), walk[first].first);
    // A lookup of another key does not move the tag, nor change the key it sought.
    EXPECT_NE(tag.FindKey(Text(walk[10].second)), 0);
    EXPECT_EQ(tag.CurrentEntry().link, walk[first].first);
    EXPECT_EQ(tag.SoughtKey().AsText(), walk[at].second);
    EXPECT_EQ(tag.MoveTo(-1), walk[first + 1].first);
    // An insert after a seek goes where its key belongs, and the seek finds it.
    ASSERT_EQ(tag.Seek(Text(walk[at].second)), walk[first].first);
    table->files.push_back(f.get());
    Append(*table, {"Smithzzzzz", 1, "", true});
    table->files.clear();
    const int32_t added = table->RecordCount();
    EXPECT_EQ(tag.Seek(Text("Smithzzzzz")), added);
    const auto after = Walk(tag);
    ASSERT_EQ(after.size(), walk.size() + 1);
    const auto it = std::find(after.begin(), after.end(), std::make_pair(added, std::string("Smithzzzzz")));
    ASSERT_NE(it, after.end());
    EXPECT_EQ(tag.Seek(Text("Smithzzzzz")), added);
    EXPECT_EQ(tag.MoveTo(-1), it + 1 == after.end() ? 0 : (it + 1)->first);
}
