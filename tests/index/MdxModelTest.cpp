// MDX bags of several tags (unique, descending, FOR; text, number and date keys) over
// tables large enough for trees of several levels: built tags and tags kept up to date
// through thousands of appends, rewrites, deletes and recalls walk both ways as a sorted
// model says (equal keys in the order they came in), equal a fresh rebuild, survive reopening, and keep their back chains whole.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <set>

#include "IndexTestSupport.h"
#include "engine/Exception.h"
#include "index/core/GSobjIndexKey.h"
#include "index/mdx/GSobjMDXFile.h"
#include "index/mdx/GSobjMDXTag.h"
#include "index/mdx/MdxLayout.h"

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

// A key as bytes whose order is the tag's ascending order: text and number keys as held,
// dates (held as doubles) as their bits made sortable.
std::string Sortable(const TgsVariant& key) {
    if (key.Type() != TgsVariantType::Number) return std::string(reinterpret_cast<const char*>(key.Data()), key.Length());
    double v = key.AsNumber();
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    bits = (bits & 0x8000000000000000ull) ? ~bits : bits | 0x8000000000000000ull;
    std::string out;
    for (int i = 7; i >= 0; --i) out.push_back(static_cast<char>(bits >> (8 * i)));
    return out;
}

struct TagCase {
    const char* name;
    const char* key;
    const char* forText;
    bool unique, ascending;
};

const TagCase kCases[] = {
    {"NAME", "NAME", "", false, true},      {"AMOUNT", "AMOUNT", "", false, true},
    {"BDATE", "BDATE", "", false, true},    {"NMFOR", "NAME", "ACTIVE", false, true},
    {"NAME_U", "NAME", "", true, true},     {"NAME_D", "NAME", "", false, false},
    {"AMT_D", "AMOUNT", "", false, false},  {"DATE_DU", "BDATE", "", true, false},
    {"AMT_DF", "AMOUNT", "ACTIVE", false, false},
};

class MdxModel : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.File("people.dbf");
        CreatePeople(path);
        table = IndexedTable::Open(path);
    }
    std::unique_ptr<GSobjMDXFile> Open(bool create = false) {
        return std::make_unique<GSobjMDXFile>(table.get(), create, create, false, true, dir.File("people.mdx"));
    }
    void CreateAll(GSobjMDXFile& f) {
        for (const TagCase& c : kCases) ASSERT_NE(f.CreateTag(c.name, c.key, c.forText, c.unique, c.ascending), nullptr);
    }
    static const TagCase& CaseOf(const std::string& name) {
        for (const TagCase& c : kCases)
            if (name == c.name) return c;
        throw std::runtime_error("no case " + name);
    }
    // The tag's order from the model: by key (descending tags highest first), equal keys
    // by ascending record; a unique tag keeps one record per key.
    std::vector<std::pair<std::string, int32_t>> Model(GSobjMDXTag& tag) {
        const bool useFor = std::string(CaseOf(tag.Name()).forText) == "ACTIVE";
        std::vector<std::pair<std::string, int32_t>> m;
        for (size_t i = 0; i < people.size(); ++i) {
            const Person& p = people[i];
            if (useFor && !p.active) continue;
            TgsVariant k(256);
            if (tag.KeyType() == 'N') {
                k.SetNumber(p.amount);
            } else if (tag.KeyType() == 'D') {
                k.SetText(p.date);
            } else {
                k.SetText(p.name);
            }
            tag.PrepareKey(k);
            m.emplace_back(Sortable(k), static_cast<int32_t>(i + 1));
        }
        const bool descending = tag.Descending();
        std::stable_sort(m.begin(), m.end(), [&](const auto& a, const auto& b) {
            if (a.first != b.first) return descending ? a.first > b.first : a.first < b.first;
            return a.second < b.second;
        });
        if (tag.Unique()) {
            std::vector<std::pair<std::string, int32_t>> u;
            for (auto& e : m)
                if (u.empty() || u.back().first != e.first) u.push_back(e);
            m = u;
        }
        return m;
    }
    std::vector<std::pair<std::string, int32_t>> KeyedWalk(GSobjIndexTag& tag, bool backwards) {
        std::vector<std::pair<std::string, int32_t>> out;
        for (int32_t r = tag.MoveTo(backwards ? -4 : -3); r != 0; r = tag.MoveTo(backwards ? -2 : -1)) {
            out.emplace_back(Sortable(tag.CurrentEntry()), r);
            if (out.size() > 1000000) break;
        }
        if (backwards) std::reverse(out.begin(), out.end());
        return out;
    }
    static std::vector<std::pair<std::string, int32_t>> Normalized(std::vector<std::pair<std::string, int32_t>> w) {
        std::sort(w.begin(), w.end());
        return w;
    }
    // The walk holds the model's keys in order. Equal keys hold the model's records: in
    // ascending record order for a freshly built tag (`exactRecords`); after edits in the
    // order they came in, so only as a set. A unique tag is compared by its keys.
    void ExpectMatchesModel(GSobjIndexTag& base, bool exactRecords) {
        auto& tag = static_cast<GSobjMDXTag&>(base);
        SCOPED_TRACE(tag.Name());
        const auto model = Model(tag);
        const auto walk = KeyedWalk(tag, false);
        ASSERT_EQ(walk.size(), model.size());
        for (size_t i = 0; i < walk.size(); ++i) {
            ASSERT_EQ(walk[i].first, model[i].first) << i;
            if (exactRecords && !tag.Unique()) {
                ASSERT_EQ(walk[i].second, model[i].second) << i;
            }
        }
        if (!tag.Unique()) {
            EXPECT_EQ(Normalized(walk), Normalized(model));
        }
        EXPECT_EQ(KeyedWalk(tag, true), walk);
        ++checkedWalks;
    }
    // Follows the back chain from the tag's last block: it ends at the first block, never
    // repeats, and takes in every block of the tree.
    void ExpectBackChainWhole(GSobjMDXTag& tag) {
        SCOPED_TRACE(tag.Name());
        tag.ReleasePath();
        const auto bytes = testutil::ReadBytes(dir.File("people.mdx"));
        std::set<int32_t> chain;
        int32_t at = tag.LastBlock();
        int32_t last = 0;
        while (at != 0) {
            ASSERT_TRUE(chain.insert(at).second) << "the back chain repeats " << at;
            ASSERT_LE((static_cast<size_t>(at) + 2) * 512, bytes.size());
            last = at;
            at = static_cast<int32_t>(mdx::Get32(&bytes[static_cast<size_t>(at) * 512 + mdx::kBackChainAt]));
        }
        EXPECT_EQ(last, tag.FirstBlock());
        std::vector<int32_t> tree{tag.RootPage()};
        for (size_t i = 0; i < tree.size(); ++i) {
            EXPECT_TRUE(chain.count(tree[i])) << "block " << tree[i] << " is not in the chain";
            GSobjIndexKey node(&tag, nullptr);
            node.LoadPage(tree[i]);
            if (node.IsBranch())
                for (const auto& e : node.entries) tree.push_back(e.link);
        }
    }
    void Fill(int n, unsigned seed) {
        std::mt19937 rng(seed);
        for (int i = 0; i < n; ++i) {
            people.push_back(RandomPerson(rng));
            Append(*table, people.back());
        }
    }

    testutil::TempDir dir;
    std::string path;
    std::unique_ptr<IndexedTable> table;
    std::vector<Person> people;
    int checkedWalks = 0;
};

}  // namespace

TEST_F(MdxModel, BuiltTagsMatchTheModelAndReopen) {
    Fill(4000, 1);
    table->GoRecord(7);
    table->DeleteRecord();
    std::vector<std::vector<std::pair<std::string, int32_t>>> walks;
    {
        auto f = Open(true);
        CreateAll(*f);
        ASSERT_EQ(f->TagCount(), std::size(kCases));
        for (size_t i = 0; i < f->TagCount(); ++i) {
            ExpectMatchesModel(*f->Tag(i), true);
            ExpectBackChainWhole(*static_cast<GSobjMDXTag*>(f->Tag(i)));
            walks.push_back(KeyedWalk(*f->Tag(i), false));
        }
        // Three levels for text keys of ten: 62 keys a block.
        GSobjIndexTag* name = f->FindTag("NAME");
        name->MoveTo(-3);
        EXPECT_EQ(name->RootNode()->Deepest()->Depth(), 3);
    }
    auto f = Open();
    ASSERT_EQ(f->TagCount(), std::size(kCases));
    for (size_t i = 0; i < f->TagCount(); ++i) EXPECT_EQ(KeyedWalk(*f->Tag(i), false), walks[i]) << f->Tag(i)->Name();
}

TEST_F(MdxModel, RandomEditsKeepEveryTagTrue) {
    Fill(1500, 2);
    auto f = Open(true);
    CreateAll(*f);
    table->files = {f.get()};
    std::mt19937 rng(7);
    int appends = 0, rewrites = 0, deletes = 0;
    for (int batch = 0; batch < 4; ++batch) {
        for (int i = 0; i < 600; ++i) {
            const unsigned what = rng() % 10;
            if (what < 4) {
                people.push_back(RandomPerson(rng));
                Append(*table, people.back());
                ++appends;
            } else if (what < 9) {
                const int32_t r = static_cast<int32_t>(rng() % people.size()) + 1;
                table->GoRecord(r);
                Person p = RandomPerson(rng);
                if (what == 8) p.name = people[static_cast<size_t>(r - 1)].name;
                people[static_cast<size_t>(r - 1)] = p;
                Store(*table, p);
                table->PutRecord(r);
                ++rewrites;
            } else {
                const int32_t r = static_cast<int32_t>(rng() % people.size()) + 1;
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
        for (size_t t = 0; t < f->TagCount(); ++t)
            if (!f->Tag(t)->Unique()) ExpectMatchesModel(*f->Tag(t), false);
    }
    EXPECT_GT(appends, 800);
    EXPECT_GT(rewrites, 1000);
    EXPECT_GT(deletes, 150);
    table->files.clear();
    std::vector<std::vector<std::pair<std::string, int32_t>>> walks;
    for (size_t t = 0; t < f->TagCount(); ++t) {
        ExpectBackChainWhole(*static_cast<GSobjMDXTag*>(f->Tag(t)));
        walks.push_back(KeyedWalk(*f->Tag(t), false));
    }
    // Reopened, then rebuilt from the table: the same walks (unique tags by key).
    f.reset();
    f = Open();
    for (size_t t = 0; t < f->TagCount(); ++t) EXPECT_EQ(KeyedWalk(*f->Tag(t), false), walks[t]) << f->Tag(t)->Name();
    const auto grown = testutil::ReadBytes(dir.File("people.mdx")).size();
    f->Reindex();
    for (size_t t = 0; t < f->TagCount(); ++t) {
        GSobjIndexTag& tag = *f->Tag(t);
        SCOPED_TRACE(tag.Name());
        // The rebuild holds what the edits left: the same keys, equal ones by record.
        if (!tag.Unique()) {
            EXPECT_EQ(Normalized(KeyedWalk(tag, false)), Normalized(walks[t]));
        }
        ExpectMatchesModel(tag, true);
    }
    f.reset();
    EXPECT_LT(testutil::ReadBytes(dir.File("people.mdx")).size(), grown);
    std::printf("[ model ] %d appends, %d rewrites, %d deletes or recalls, %d walks checked\n", appends, rewrites,
                deletes, checkedWalks);
}

TEST_F(MdxModel, SeeksFindTheFirstEqualKeyEitherWay) {
    Fill(2000, 3);
    auto f = Open(true);
    CreateAll(*f);
    // Whole keys: with exact matching off a descending tag finds the highest key that
    // begins with the search key.
    table->SetExactMatch(true);
    std::mt19937 rng(5);
    for (const char* name : {"NAME", "NAME_D"}) {
        GSobjMDXTag& tag = *static_cast<GSobjMDXTag*>(f->FindTag(name));
        const auto model = Model(tag);
        for (int i = 0; i < 300; ++i) {
            const Person& p = people[rng() % people.size()];
            TgsVariant key(256);
            key.SetText(p.name);
            TgsVariant prepared(key);
            tag.PrepareKey(prepared);
            const std::string want = Sortable(prepared);
            auto first = std::find_if(model.begin(), model.end(), [&](const auto& e) { return e.first == want; });
            ASSERT_NE(first, model.end());
            EXPECT_EQ(tag.Seek(key), first->second) << p.name;
        }
    }
    for (const char* name : {"AMOUNT", "AMT_D"}) {
        GSobjMDXTag& tag = *static_cast<GSobjMDXTag*>(f->FindTag(name));
        const auto model = Model(tag);
        for (int i = 0; i < 300; ++i) {
            TgsVariant key(256);
            key.SetNumber(people[rng() % people.size()].amount);
            TgsVariant prepared(key);
            tag.PrepareKey(prepared);
            auto first = std::find_if(model.begin(), model.end(),
                                      [&](const auto& e) { return e.first == Sortable(prepared); });
            ASSERT_NE(first, model.end());
            EXPECT_EQ(tag.Seek(key), first->second);
        }
    }
}
