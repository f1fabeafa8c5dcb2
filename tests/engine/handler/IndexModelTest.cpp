// A long run of random appends, rewrites (with and without key changes), deletes and
// recalls on a table with NTX, NDX and CDX files open through it; after every batch each
// tag, walked through the table both ways, must hold exactly the records a sorted model
// says, in key order, and match a fresh rebuild of the same definition.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <filesystem>

#include "HandlerTestSupport.h"
#include "index/core/GSobjIndexFile.h"
#include "index/core/GSobjIndexTag.h"

using namespace handlertest;

namespace {

enum class Kind { Name, Amount, Date };

struct TagDef {
    std::string file;  // file name; CDX tags share one file
    std::string tag;   // tag name
    Kind kind;
    bool descending = false;
    bool unique = false;
    bool forActive = false;
};

const std::vector<TagDef> kTags = {
    {"n_name.ntx", "N_NAME", Kind::Name},
    {"n_amtd.ntx", "N_AMTD", Kind::Amount, true},
    {"n_datef.ntx", "N_DATEF", Kind::Date, false, false, true},
    {"n_nameu.ntx", "N_NAMEU", Kind::Name, false, true},
    {"n_namedf.ntx", "N_NAMEDF", Kind::Name, true, false, true},
    {"d_amt.ndx", "D_AMT", Kind::Amount},
    {"d_date.ndx", "D_DATE", Kind::Date},
    {"d_nameu.ndx", "D_NAMEU", Kind::Name, false, true},
    {"m.cdx", "CNAME", Kind::Name},
    {"m.cdx", "CAMTD", Kind::Amount, true},
    {"m.cdx", "CDATEF", Kind::Date, false, false, true},
    {"m.cdx", "CUNIQ", Kind::Name, false, true},
};

std::string KeyText(Kind k) { return k == Kind::Name ? "NAME" : k == Kind::Amount ? "AMOUNT" : "BDATE"; }

std::string Extension(const std::string& file) { return file.substr(file.size() - 4); }

Person RandomPerson(std::mt19937& rng) {
    static const char* const kStarts[] = {"SMITH", "SM", "JONES", "AB", "ZED", "BROWN", "COLE", "K"};
    Person p;
    p.name = kStarts[rng() % 8];
    const int extra = static_cast<int>(rng() % 4);
    for (int i = 0; i < extra && p.name.size() < 10; ++i) p.name.push_back(static_cast<char>('A' + rng() % 4));
    p.amount = static_cast<double>(static_cast<int>(rng() % 4001) - 2000) / 4.0;
    p.date = rng() % 8 == 0 ? "" : std::to_string(19600101 + (rng() % 60) * 10000 + (rng() % 12) * 100 + rng() % 28);
    p.active = rng() % 3 != 0;
    return p;
}

class IndexModel : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.File("model.dbf");
        CreatePeople(path);
        table = GSO_dBHandler::Open(path, true, false);
        std::mt19937 rng(7);
        for (int i = 0; i < 300; ++i) AppendPerson(RandomPerson(rng));
        for (const TagDef& d : kTags) Build(d, d.file);
        std::set<std::string> files;
        std::string list;
        for (const TagDef& d : kTags)
            if (files.insert(d.file).second) list += d.file + " ";
        ASSERT_EQ(table->OpenIndexList(list, ""), 0);
    }

    void Build(const TagDef& d, const std::string& file) {
        BuildIndex(*table, dir.File(file), KeyText(d.kind), d.forActive ? "ACTIVE" : "", d.unique, !d.descending,
                   Extension(file) == ".cdx" ? d.tag : "");
    }

    void AppendPerson(const Person& p) {
        Append(*table, p);
        people.push_back(p);
        deleted.push_back(false);
    }

    // The model's order of two records for a tag: -1, 0 or 1.
    int Compare(const TagDef& d, int32_t a, int32_t b) const {
        const Person& x = people[static_cast<size_t>(a - 1)];
        const Person& y = people[static_cast<size_t>(b - 1)];
        int c = 0;
        switch (d.kind) {
            case Kind::Name: c = x.name.compare(y.name); break;
            case Kind::Amount: c = x.amount < y.amount ? -1 : x.amount > y.amount ? 1 : 0; break;
            case Kind::Date: {
                // NDX files keep the blank date above every date, the others below.
                const bool last = Extension(d.file) == ".ndx";
                std::string u = x.date.empty() ? (last ? "99999999" : "00000000") : x.date;
                std::string v = y.date.empty() ? (last ? "99999999" : "00000000") : y.date;
                c = u.compare(v);
                break;
            }
        }
        c = c < 0 ? -1 : c > 0 ? 1 : 0;
        return d.descending ? -c : c;
    }

    bool InFor(const TagDef& d, int32_t r) const { return !d.forActive || people[static_cast<size_t>(r - 1)].active; }

    void CheckTag(const TagDef& d, int batch) {
        SCOPED_TRACE(d.tag + " after batch " + std::to_string(batch));
        ASSERT_GT(table->SelectTag(d.tag, false), 0);
        const std::vector<int32_t> walk = WalkTable(*table);
        std::vector<int32_t> back = WalkTable(*table, true);
        std::reverse(back.begin(), back.end());
        EXPECT_EQ(walk, back);
        for (size_t i = 1; i < walk.size(); ++i) {
            const int c = Compare(d, walk[i - 1], walk[i]);
            ASSERT_LE(c, d.unique ? -1 : 0) << "records " << walk[i - 1] << " and " << walk[i];
        }
        std::set<int32_t> got(walk.begin(), walk.end());
        ASSERT_EQ(got.size(), walk.size()) << "a record twice";
        if (d.unique) {
            // Every key is held by the record it names.
            for (int32_t r : walk) ASSERT_TRUE(InFor(d, r));
        } else {
            std::set<int32_t> want;
            for (int32_t r = 1; r <= static_cast<int32_t>(people.size()); ++r)
                if (InFor(d, r)) want.insert(r);
            ASSERT_EQ(got, want);
        }
    }

    // The file kept up to date against a fresh rebuild: the same keys in the same order,
    // and for each key the same records (equal keys may differ in arrival order).
    void CompareWithRebuild(const TagDef& d, int slot) {
        SCOPED_TRACE(d.tag + " against a rebuild");
        const std::string fresh = "fresh" + Extension(d.file);
        Build(d, fresh);
        std::unique_ptr<GSobjIndexFile> other;
        if (Extension(fresh) == ".ntx") other = std::make_unique<GSobjNTXFile>(table.get(), false, false, false, true, dir.File(fresh));
        if (Extension(fresh) == ".ndx") other = std::make_unique<GSobjNDXFile>(table.get(), false, false, false, true, dir.File(fresh));
        if (Extension(fresh) == ".cdx") other = std::make_unique<GSobjCDXFile>(table.get(), false, false, false, true, dir.File(fresh));
        GSobjIndexTag* rebuilt = other->FindTag(Extension(fresh) == ".cdx" ? d.tag : "FRESH");
        GSobjIndexTag* kept = table->IndexFile(slot)->FindTag(d.tag);
        ASSERT_TRUE(rebuilt && kept);
        auto walk = [](GSobjIndexTag& t) {
            std::vector<std::pair<std::string, std::set<int32_t>>> out;
            for (int32_t r = t.MoveTo(-3); r != 0; r = t.MoveTo(-1)) {
                const std::string key = t.CurrentEntry().AsText();
                if (out.empty() || out.back().first != key) out.push_back({key, {}});
                out.back().second.insert(r);
            }
            return out;
        };
        if (d.unique) {
            // Unique tags keep the first record of a key that arrived; a rebuild keeps the
            // lowest-numbered. Keys of the kept file are a subset of the rebuild's.
            auto k = walk(*kept), f = walk(*rebuilt);
            std::set<std::string> fk;
            for (auto& e : f) fk.insert(e.first);
            for (auto& e : k) EXPECT_TRUE(fk.count(e.first)) << e.first;
        } else {
            EXPECT_EQ(walk(*kept), walk(*rebuilt));
        }
        other.reset();
        std::filesystem::remove(dir.File(fresh));
    }

    testutil::TempDir dir;
    std::string path;
    std::unique_ptr<GSO_dBHandler> table;
    std::vector<Person> people;
    std::vector<bool> deleted;
};

TEST_F(IndexModel, RandomEditsKeepEveryTagInModelOrder) {
    std::mt19937 rng(20260);
    int appends = 0, rewrites = 0, sameKey = 0, deletes = 0, recalls = 0, moves = 0;
    for (int batch = 1; batch <= 6; ++batch) {
        // Some writes happen while a tag is selected and walked.
        const TagDef& walked = kTags[rng() % kTags.size()];
        ASSERT_GT(table->SelectTag(walked.tag, false), 0);
        for (int op = 0; op < 400; ++op) {
            const int32_t count = static_cast<int32_t>(people.size());
            const int32_t r = 1 + static_cast<int32_t>(rng() % static_cast<uint32_t>(count));
            const unsigned what = rng() % 100;
            if (what < 30) {
                AppendPerson(RandomPerson(rng));
                ++appends;
            } else if (what < 55) {
                table->GoRecord(r);
                Person p = RandomPerson(rng);
                Store(*table, p);
                table->PutRecord(r);
                people[static_cast<size_t>(r - 1)] = p;
                ++rewrites;
            } else if (what < 65) {
                // Nothing but the FOR field changes, or nothing at all.
                table->GoRecord(r);
                Person& p = people[static_cast<size_t>(r - 1)];
                if (rng() % 2) p.active = !p.active;
                Store(*table, p);
                table->PutRecord(r);
                ++sameKey;
            } else if (what < 75) {
                table->GoRecord(r);
                table->DeleteRecord();
                deleted[static_cast<size_t>(r - 1)] = true;
                ++deletes;
            } else if (what < 85) {
                table->GoRecord(r);
                table->RecallRecord();
                deleted[static_cast<size_t>(r - 1)] = false;
                ++recalls;
            } else {
                table->GoRecord(rng() % 2 ? gsMoveNext : gsMovePrior);
                ++moves;
            }
        }
        for (const TagDef& d : kTags) CheckTag(d, batch);
        if (HasFatalFailure()) return;
    }
    // Every tag against a fresh rebuild, then the same after closing and reopening.
    std::map<std::string, int> slots;
    for (const TagDef& d : kTags) {
        const int slot = table->SelectTag(d.tag, false);
        ASSERT_GT(slot, 0);
        table->SelectTag("", false);
        CompareWithRebuild(d, slot);
    }
    std::set<std::string> files;
    std::string list;
    for (const TagDef& d : kTags)
        if (files.insert(d.file).second) list += d.file + " ";
    table->CloseIndexFiles();
    ASSERT_EQ(table->OpenIndexList(list, ""), 0);
    for (const TagDef& d : kTags) CheckTag(d, 7);
    RecordProperty("appends", appends);
    RecordProperty("rewrites", rewrites);
    RecordProperty("same_key_rewrites", sameKey);
    RecordProperty("deletes", deletes);
    RecordProperty("recalls", recalls);
    RecordProperty("moves", moves);
}

}  // namespace
