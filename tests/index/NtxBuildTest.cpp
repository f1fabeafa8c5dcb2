// NTX files we build and update: key encodings, sizes, the built order against a sorted
// model and against Harbour's reading of the same file, splits, the change counter, and
// a long run of random edits kept true in every tag.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <map>
#include <random>

#include "IndexTestSupport.h"
#include "engine/Exception.h"
#include "engine/platform/Paths.h"
#include "index/core/IndexCheck.h"
#include "index/ntx/GSobjNTXFile.h"
#include "index/ntx/GSobjNTXTag.h"
#include "index/ntx/NtxLayout.h"

using namespace indextest;
namespace fs = std::filesystem;

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

class NtxBuild : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.File("people.dbf");
        CreatePeople(path);
        table = IndexedTable::Open(path);
    }
    std::unique_ptr<GSobjNTXFile> Create(const std::string& name, const std::string& key,
                                         const std::string& forText = "", bool unique = false,
                                         bool ascending = true) {
        auto f = std::make_unique<GSobjNTXFile>(table.get(), true, true, false, true, dir.File(name));
        f->CreateTag("", key, forText, unique, ascending);
        return f;
    }
    std::unique_ptr<GSobjNTXFile> Reopen(const std::string& name) {
        return std::make_unique<GSobjNTXFile>(table.get(), false, false, false, true, dir.File(name));
    }
    void Fill(int n, unsigned seed) {
        std::mt19937 rng(seed);
        for (int i = 0; i < n; ++i) {
            people.push_back(RandomPerson(rng));
            Append(*table, people.back());
        }
    }
    // The records of a tag in key order (ties by record number), from the model.
    std::vector<std::pair<std::string, int32_t>> Model(GSobjIndexTag& tag, const std::function<bool(const Person&)>& inFor) {
        std::vector<std::pair<std::string, int32_t>> m;
        for (size_t i = 0; i < people.size(); ++i) {
            if (inFor && !inFor(people[i])) continue;
            TgsVariant k(256);
            const Person& p = people[i];
            if (tag.KeyType() == 'N') {
                k.SetNumber(p.amount);
            } else if (tag.KeyType() == 'D') {
                k.SetText(p.date.empty() ? "00000000" : p.date);
            } else {
                k.SetText(p.name);
            }
            tag.PrepareKey(k);
            m.emplace_back(k.AsText(), static_cast<int32_t>(i + 1));
        }
        std::sort(m.begin(), m.end());
        if (tag.Descending()) std::stable_sort(m.begin(), m.end(), [](auto& a, auto& b) { return a.first > b.first; });
        return m;
    }
    // The walk has the model's keys in order and the model's pairs.
    void ExpectMatchesModel(GSobjIndexTag& tag, const std::function<bool(const Person&)>& inFor = nullptr,
                            bool tiesByRecord = false) {
        auto model = Model(tag, inFor);
        auto walk = Walk(tag);
        ASSERT_EQ(walk.size(), model.size());
        for (size_t i = 0; i < walk.size(); ++i) ASSERT_EQ(walk[i].first == 0 ? "" : walk[i].second, model[i].first) << i;
        auto back = WalkBack(tag);
        std::reverse(back.begin(), back.end());
        EXPECT_EQ(back, walk);
        std::vector<std::pair<std::string, int32_t>> pairs;
        for (auto& [r, k] : walk) pairs.emplace_back(k, r);
        if (tiesByRecord) {
            EXPECT_EQ(pairs, model);
        } else {
            std::sort(pairs.begin(), pairs.end());
            auto sortedModel = model;
            std::sort(sortedModel.begin(), sortedModel.end());
            EXPECT_EQ(pairs, sortedModel);
        }
    }

    testutil::TempDir dir;
    std::string path;
    std::unique_ptr<IndexedTable> table;
    std::vector<Person> people;
};

}  // namespace

TEST(NtxKeys, NumbersBecomeSortableDigitStrings) {
    EXPECT_EQ(GSobjNTXTag::NumberKey(12.5, 6, 2), "012.50");
    EXPECT_EQ(GSobjNTXTag::NumberKey(-12.5, 6, 2), ",+*.',");
    EXPECT_EQ(GSobjNTXTag::NumberKey(0, 5, 0), "00000");
    EXPECT_EQ(GSobjNTXTag::NumberKey(-0.0, 5, 0), "00000");
    EXPECT_LT(GSobjNTXTag::NumberKey(-99, 5, 0), GSobjNTXTag::NumberKey(-1, 5, 0));
    EXPECT_LT(GSobjNTXTag::NumberKey(-1, 5, 0), GSobjNTXTag::NumberKey(0, 5, 0));
    EXPECT_EQ(GSobjNTXTag::NumberKey(123456, 5, 0), "*****");
}

TEST(NtxKeys, NumberDigitsRoundAsTheCLibraryDoes) {
    // Ties round on the exact binary value, to even: 0.5 and 2.5 go down, 1.5 up; 1.005 and
    // 999999.995 are stored a little below their ties, 0.125 exactly on it.
    EXPECT_EQ(GSobjNTXTag::NumberKey(0.5, 3, 0), "000");
    EXPECT_EQ(GSobjNTXTag::NumberKey(1.5, 3, 0), "002");
    EXPECT_EQ(GSobjNTXTag::NumberKey(2.5, 3, 0), "002");
    EXPECT_EQ(GSobjNTXTag::NumberKey(1.005, 5, 2), "01.00");
    EXPECT_EQ(GSobjNTXTag::NumberKey(0.125, 5, 2), "00.12");
    EXPECT_EQ(GSobjNTXTag::NumberKey(999999.995, 10, 2), "0999999.99");
    EXPECT_EQ(GSobjNTXTag::NumberKey(99999.999, 8, 2), "********");
    EXPECT_EQ(GSobjNTXTag::NumberKey(7, 4, 3), "****");  // wider than the key
    EXPECT_EQ(GSobjNTXTag::NumberKey(1e12 + 0.25, 16, 1), "01000000000000.2");
    // Amounts as N(10,2) fields hold them, and others, against printf's own digits.
    std::mt19937 rng(5);
    char buf[64];
    for (int i = 0; i < 20000; ++i) {
        const int decimals = static_cast<int>(rng() % 5);
        const double v = static_cast<double>(rng() % 2000000000) / std::pow(10.0, static_cast<int>(rng() % 7));
        std::snprintf(buf, sizeof buf, "%12.*f", decimals, v);
        std::string want(buf);
        for (char& c : want)
            if (c == ' ') c = '0';
        if (want.size() > 12) want.assign(12, '*');
        ASSERT_EQ(GSobjNTXTag::NumberKey(v, 12, decimals), want) << v << " " << decimals;
    }
}

TEST(NtxKeys, PageSizesFollowTheKeyLength) {
    EXPECT_EQ(ntx::MaxItems(10), 50);
    EXPECT_EQ(ntx::MaxItems(8), 54);
    EXPECT_EQ(ntx::MaxItems(20), 32);
}

TEST_F(NtxBuild, EmptyTableGivesHeaderAndOneEmptyPage) {
    auto f = Create("name.ntx", "NAME");
    GSobjIndexTag* tag = f->Tag(0);
    EXPECT_EQ(tag->MoveTo(-3), 0);
    EXPECT_TRUE(tag->Bof());
    EXPECT_TRUE(tag->Eof());
    f.reset();
    auto bytes = testutil::ReadBytes(dir.File("name.ntx"));
    ASSERT_EQ(bytes.size(), 2048u);
    EXPECT_EQ(ntx::Get32(&bytes[ntx::kRootAt]), 1024u);
    EXPECT_EQ(ntx::Get16(&bytes[ntx::kKeyLengthAt]), 10);
    EXPECT_EQ(ntx::Get16(&bytes[ntx::kMaxItemsAt]), 50);
    EXPECT_EQ(ntx::Get16(&bytes[ntx::kHalfItemsAt]), 25);
    EXPECT_EQ(ntx::Get16(&bytes[ntx::kItemSizeAt]), 18);
}

TEST_F(NtxBuild, ResetFileLeavesTwoPagesAndCounterOne) {
    Fill(300, 1);
    auto f = Create("name.ntx", "NAME");
    f->ResetFile();
    f.reset();
    auto bytes = testutil::ReadBytes(dir.File("name.ntx"));
    ASSERT_EQ(bytes.size(), 2048u);
    EXPECT_EQ(ntx::Get32(&bytes[ntx::kRootAt]), 1024u);
    EXPECT_EQ(ntx::Get16(&bytes[ntx::kChangeCounterAt]), 1);
}

TEST_F(NtxBuild, BuiltOrdersMatchTheModelAndHarbour) {
    Fill(3000, 2);
    struct Case {
        const char* file;
        const char* key;
        const char* forText;
        bool unique;
        bool ascending;
    };
    const Case cases[] = {{"name.ntx", "NAME", "", false, true},   {"amt.ntx", "AMOUNT", "", false, true},
                          {"bdate.ntx", "BDATE", "", false, true}, {"nmfor.ntx", "NAME", "ACTIVE", false, true},
                          {"named.ntx", "NAME", "", false, false}, {"amtd.ntx", "AMOUNT", "", false, false},
                          {"nameu.ntx", "NAME", "", true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        auto f = Create(c.file, c.key, c.forText, c.unique, c.ascending);
        GSobjIndexTag& tag = *f->Tag(0);
        if (c.unique) {
            auto walk = Walk(tag);
            std::map<std::string, int32_t> firsts;
            for (size_t i = 0; i < people.size(); ++i) firsts.emplace(people[i].name, static_cast<int32_t>(i + 1));
            ASSERT_EQ(walk.size(), firsts.size());
            size_t i = 0;
            for (auto& [k, r] : firsts) {
                EXPECT_EQ(walk[i].first, r);
                EXPECT_EQ(walk[i].second, k);
                ++i;
            }
        } else {
            std::function<bool(const Person&)> inFor;
            if (*c.forText) inFor = [](const Person& p) { return p.active; };
            ExpectMatchesModel(tag, inFor, c.ascending);
        }
        auto ours = Records(Walk(tag));
        f.reset();
        PeerWalk peer = HarbourWalk(path, dir.File(c.file));
        ASSERT_EQ(peer.status, 0) << peer.err;
        EXPECT_EQ(peer.records, ours);
    }
}

TEST_F(NtxBuild, BuildReportsItsTwoPhasesToTheTable) {
    Fill(5, 6);
    table->reports.clear();
    auto f = Create("nmfor.ntx", "NAME", "ACTIVE");
    const int keys = static_cast<int>(std::count_if(people.begin(), people.end(), [](auto& p) { return p.active; }));
    std::vector<std::vector<int>> want = {{-1, gsStatusIndexKeys, 5}};
    for (int r = 1; r <= 5; ++r) want.push_back({gsStatusIndexKeys, r, 0});
    want.push_back({0, 0, 0});
    want.push_back({-1, gsStatusIndexPages, keys});
    for (int k = 1; k <= keys; ++k) want.push_back({gsStatusIndexPages, k, 0});
    want.push_back({0, 0, 0});
    EXPECT_EQ(table->reports, want);
}

TEST_F(NtxBuild, ExactlyOneKeyMoreThanAFullLeafKeepsEveryKey) {
    // 51 keys of length 10: the 51st separates a full leaf from an empty last one.
    std::mt19937 rng(3);
    for (int i = 0; i < 51; ++i) {
        people.push_back(RandomPerson(rng));
        Append(*table, people.back());
    }
    auto f = Create("name.ntx", "NAME");
    ExpectMatchesModel(*f->Tag(0), nullptr, true);
    auto ours = Records(Walk(*f->Tag(0)));
    f.reset();
    PeerWalk peer = HarbourWalk(path, dir.File("name.ntx"));
    ASSERT_EQ(peer.status, 0) << peer.err;
    EXPECT_EQ(peer.records, ours);
}

TEST_F(NtxBuild, InsertsSplitLeavesAndTheRootAndHarbourReadsTheResult) {
    auto f = Create("name.ntx", "NAME");
    table->files = {f.get()};
    std::mt19937 rng(4);
    int32_t firstRoot = 0;
    for (int i = 0; i < 400; ++i) {
        people.push_back(RandomPerson(rng));
        Append(*table, people.back());
        if (i == 0) firstRoot = f->Tag(0)->RootPage();
    }
    EXPECT_NE(f->Tag(0)->RootPage(), firstRoot) << "the root split";
    ExpectMatchesModel(*f->Tag(0));
    auto ours = Records(Walk(*f->Tag(0)));
    table->files.clear();
    f.reset();
    PeerWalk peer = HarbourWalk(path, dir.File("name.ntx"));
    ASSERT_EQ(peer.status, 0) << peer.err;
    EXPECT_EQ(peer.records, ours);
}

TEST_F(NtxBuild, SeekWithExactMatchingOffAndOnAndRanges) {
    for (const char* n : {"Brown", "Smith", "Smithers", "Small", "Cole", "Carter", "Baker", "Adams", "Dunn"}) {
        people.push_back({n, 1, "", true});
        Append(*table, people.back());
    }
    auto f = Create("name.ntx", "NAME");
    GSobjIndexTag& tag = *f->Tag(0);
    TgsVariant key(256);
    key.SetText("SM");
    table->SetExactMatch(false);
    EXPECT_EQ(tag.Seek(key), 0) << "keys are case-sensitive";
    key.SetText("Sm");
    EXPECT_EQ(tag.Seek(key), 4) << "first key beginning with Sm: Small";
    table->SetExactMatch(true);
    EXPECT_EQ(tag.Seek(key), 0);
    EXPECT_FALSE(tag.Eof());
    EXPECT_EQ(tag.CurrentEntry().AsText(), "Small") << "stays on the next greater key";
    key.SetText("Smith");
    EXPECT_EQ(tag.Seek(key), 2);
    key.SetText("Zz");
    EXPECT_EQ(tag.Seek(key), 0);
    EXPECT_TRUE(tag.Eof());

    TgsVariant low(256), high(256);
    low.SetText("B");
    high.SetText("C");
    tag.SetRange(&low, true, true, &high);
    std::vector<std::string> names;
    for (auto& [r, k] : Walk(tag)) names.push_back(k);
    EXPECT_EQ(names, (std::vector<std::string>{"Baker", "Brown", "Carter", "Cole"}));
    EXPECT_EQ(tag.MoveTo(-4), 5) << "last key beginning with C";
    EXPECT_EQ(tag.MoveTo(-1), 0);
    EXPECT_TRUE(tag.Eof());
    tag.ClearRange();
    EXPECT_EQ(Walk(tag).size(), 9u);
}

TEST_F(NtxBuild, RenamingFollowsTheTableAndKeepsTheOwnExtension) {
    Fill(100, 8);
    auto f = Create("people.ntx", "NAME");
    auto before = Walk(*f->Tag(0));
    ASSERT_TRUE(f->RenameFile(dir.File("renamed.dbf")));
    EXPECT_EQ(f->Name(), "RENAMED.NTX");
    EXPECT_FALSE(platform::FileExists(dir.File("people.ntx")));
    EXPECT_TRUE(platform::FileExists(dir.File("renamed.ntx")));
    EXPECT_EQ(Walk(*f->Tag(0)), before);
}

TEST_F(NtxBuild, ChangeCounterAdvancesAndWrapsToOne) {
    auto f = Create("name.ntx", "NAME");
    table->files = {f.get()};
    const auto inFile = [&] { return ntx::Get16(&testutil::ReadBytes(dir.File("name.ntx"))[ntx::kChangeCounterAt]); };
    EXPECT_EQ(f->ChangeCounter(), 1);
    Append(*table, {"One", 1, "", true});
    Append(*table, {"Two", 1, "", true});
    EXPECT_EQ(f->ChangeCounter(), 3);
    // Opened exclusively, the file gets the counter at the flush and at the close.
    f->WriteHeldHeader();
    EXPECT_EQ(inFile(), 3);
    f->SetChangeCounter(32766);
    Append(*table, {"Three", 1, "", true});
    Append(*table, {"Four", 1, "", true});
    EXPECT_EQ(f->ChangeCounter(), 1);
    table->files.clear();
    f.reset();
    EXPECT_EQ(inFile(), 1);
    // Shared, every update writes it at once for the programs watching it.
    auto shared = std::make_unique<GSobjNTXFile>(table.get(), false, false, true, true, dir.File("name.ntx"));
    table->files = {shared.get()};
    Append(*table, {"Five", 1, "", true});
    EXPECT_EQ(shared->ChangeCounter(), 2);
    EXPECT_EQ(inFile(), 2);
    table->files.clear();
}

TEST_F(NtxBuild, RandomEditsKeepEveryTagTrue) {
    auto name = Create("name.ntx", "NAME");
    auto amount = Create("amt.ntx", "AMOUNT");
    auto date = Create("bdate.ntx", "BDATE");
    auto nfor = Create("nmfor.ntx", "NAME", "ACTIVE", false, false);
    table->files = {name.get(), amount.get(), date.get(), nfor.get()};
    std::mt19937 rng(5);
    auto active = [](const Person& p) { return p.active; };
    int appends = 0, rewrites = 0, deletes = 0;
    for (int batch = 0; batch < 6; ++batch) {
        for (int i = 0; i < 400; ++i) {
            unsigned what = rng() % 10;
            if (people.empty() || what < 5) {
                people.push_back(RandomPerson(rng));
                Append(*table, people.back());
                ++appends;
            } else if (what < 9) {
                int32_t r = static_cast<int32_t>(rng() % people.size()) + 1;
                table->GoRecord(r);
                Person p = RandomPerson(rng);
                if (what == 8) p.name = people[static_cast<size_t>(r - 1)].name;  // key unchanged
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
        ExpectMatchesModel(*name->Tag(0));
        ExpectMatchesModel(*amount->Tag(0));
        ExpectMatchesModel(*date->Tag(0));
        ExpectMatchesModel(*nfor->Tag(0), active);
    }
    EXPECT_GT(rewrites, 500);
    EXPECT_GT(deletes, 100);
    EXPECT_GT(appends, 1000);
    // Harbour reads the edited files as we do, and a rebuild gives the same keys.
    table->files.clear();
    std::vector<std::vector<std::pair<int32_t, std::string>>> walks;
    for (auto* f : {name.get(), amount.get(), date.get(), nfor.get()}) walks.push_back(Walk(*f->Tag(0)));
    name.reset();
    amount.reset();
    date.reset();
    nfor.reset();
    const char* files[] = {"name.ntx", "amt.ntx", "bdate.ntx", "nmfor.ntx"};
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(files[i]);
        PeerWalk peer = HarbourWalk(path, dir.File(files[i]));
        ASSERT_EQ(peer.status, 0) << peer.err;
        EXPECT_EQ(peer.records, Records(walks[i]));
        auto f = Reopen(files[i]);
        EXPECT_EQ(Walk(*f->Tag(0)), walks[i]);
        f->Reindex();
        auto rebuilt = Walk(*f->Tag(0));
        ASSERT_EQ(rebuilt.size(), walks[i].size());
        for (size_t k = 0; k < rebuilt.size(); ++k) ASSERT_EQ(rebuilt[k].second, walks[i][k].second) << k;
    }
}

// Two objects of one exclusively opened file in this program read and write through the
// same page lines: what one writes, the other walks.
TEST_F(NtxBuild, TwoObjectsOfOneFileSeeEachOthersWrites) {
    Fill(300, 31);
    auto writer = Create("two.ntx", "NAME");
    auto reader = Reopen("two.ntx");
    ASSERT_NE(reader->Tag(0), nullptr);
    EXPECT_EQ(Walk(*reader->Tag(0)).size(), 300u);  // every page of the reader now in memory
    // A seek keeps the reader's root in memory; the writer's appends split it.
    TgsVariant probe;
    probe.SetText(people[7].name);
    EXPECT_NE(reader->Tag(0)->Seek(probe), 0);
    table->files.push_back(writer.get());
    std::mt19937 rng(32);
    for (int i = 0; i < 400; ++i) {
        people.push_back(RandomPerson(rng));
        Append(*table, people.back());
    }
    writer->Tag(0)->ReleasePath();
    // Every appended name is found by the reader, whose kept root is no longer the file's.
    for (size_t i = 300; i < people.size(); ++i) {
        probe.SetText(people[i].name);
        const int32_t found = reader->Tag(0)->Seek(probe);
        ASSERT_NE(found, 0) << people[i].name;
        EXPECT_EQ(people[static_cast<size_t>(found) - 1].name.substr(0, people[i].name.size()), people[i].name);
    }
    ExpectMatchesModel(*reader->Tag(0));
    table->files.clear();
    writer.reset();
    reader.reset();
    // A file made anew under the same name is not read from the lines of the old one.
    auto fresh = Create("two.ntx", "AMOUNT");
    auto again = Reopen("two.ntx");
    EXPECT_EQ(again->Tag(0)->KeyType(), 'N');
    ExpectMatchesModel(*again->Tag(0));
}

// ---- the direct way of inserting keys against the general way ---------------------------

namespace {

// Pairs of files of one order kept by one table: the first takes keys the direct way, the
// second the general way only. Both must walk alike, entry for entry, after any edits.
struct TwinFiles {
    std::unique_ptr<GSobjNTXFile> direct;
    std::unique_ptr<GSobjNTXFile> general;
};

void ExpectTwinsAlike(const std::vector<TwinFiles>& twins) {
    for (const TwinFiles& t : twins) {
        SCOPED_TRACE(t.direct->Name());
        const auto walk = Walk(*t.direct->Tag(0));
        EXPECT_EQ(walk, Walk(*t.general->Tag(0)));
        auto back = WalkBack(*t.direct->Tag(0));
        std::reverse(back.begin(), back.end());
        EXPECT_EQ(back, walk);
        for (const TgsTagCheck& check : TgsIndexCheck::CheckFile(*t.direct)) {
            EXPECT_TRUE(check.Ok()) << (check.problems.empty() ? "" : check.problems.front());
            EXPECT_EQ(check.keys, static_cast<int64_t>(walk.size()));
        }
    }
}

}  // namespace

TEST_F(NtxBuild, DirectInsertsPlaceEveryKeyWhereTheGeneralWayDoes) {
    Fill(300, 12);
    struct Order {
        const char* key;
        const char* forText;
        bool ascending;
    };
    const Order orders[] = {{"NAME", "", true}, {"NAME", "", false}, {"AMOUNT", "", false},
                            {"BDATE", "", true}, {"NAME", "ACTIVE", true}};
    std::vector<TwinFiles> twins;
    for (size_t i = 0; i < std::size(orders); ++i) {
        const std::string n = std::to_string(i);
        TwinFiles t{Create("direct" + n + ".ntx", orders[i].key, orders[i].forText, false, orders[i].ascending),
                    Create("general" + n + ".ntx", orders[i].key, orders[i].forText, false, orders[i].ascending)};
        t.general->Tag(0)->SetDirectInserts(false);
        table->files.push_back(t.direct.get());
        table->files.push_back(t.general.get());
        twins.push_back(std::move(t));
    }
    std::mt19937 rng(77);
    for (int batch = 0; batch < 4; ++batch) {
        for (int i = 0; i < 300; ++i) {
            const unsigned what = rng() % 10;
            if (what < 7) {
                // Many equal keys: a name or an amount already held, often.
                Person p = RandomPerson(rng);
                if (what < 3) p = people[rng() % people.size()];
                people.push_back(p);
                Append(*table, p);
            } else {
                const int32_t r = static_cast<int32_t>(rng() % people.size()) + 1;
                table->GoRecord(r);
                Person p = RandomPerson(rng);
                people[static_cast<size_t>(r - 1)] = p;
                Store(*table, p);
                table->PutRecord(r);
            }
        }
        SCOPED_TRACE("batch " + std::to_string(batch));
        ExpectTwinsAlike(twins);
        ExpectMatchesModel(*twins[0].direct->Tag(0));
        ExpectMatchesModel(*twins[4].direct->Tag(0), [](const Person& p) { return p.active; });
    }
    table->files.clear();
    // The direct way leaves its pages' items where other writers of the format do, not
    // where the general way writes them: the files differ, and Harbour walks ours alike.
    std::vector<std::vector<int32_t>> walks;
    for (const TwinFiles& t : twins) walks.push_back(Records(Walk(*t.direct->Tag(0))));
    twins.clear();
    EXPECT_NE(testutil::ReadBytes(dir.File("direct0.ntx")), testutil::ReadBytes(dir.File("general0.ntx")));
    for (size_t i = 0; i < walks.size(); ++i) {
        PeerWalk peer = HarbourWalk(path, dir.File("direct" + std::to_string(i) + ".ntx"));
        ASSERT_EQ(peer.status, 0) << peer.err;
        EXPECT_EQ(peer.records, walks[i]) << i;
    }
}

// Harbour's files, built at once and key by key (their items out of slot order): appends
// taken the direct way walk as the general way's, and Harbour walks the result alike.
TEST(NtxDirectInserts, HarbourFilesTakeAppendsAsTheGeneralWay) {
    const std::string fixtures = std::string(XB_SHARED_DIR) + "/fixtures/harbour/ntx/";
    testutil::TempDir dir;
    const std::string path = dir.File("main.dbf");
    fs::copy_file(fixtures + "main.dbf", path);
    fs::copy_file(fixtures + "main.dbt", dir.File("main.dbt"));
    for (const char* copy : {"main.dbf", "main.dbt"})
        fs::permissions(dir.File(copy), fs::perms::owner_write, fs::perm_options::add);
    auto table = IndexedTable::Open(path);
    const char* const names[] = {"name_inc", "name", "name_d", "amt_d", "nmfor", "cityamt"};
    std::vector<TwinFiles> twins;
    for (const char* name : names) {
        const std::string from = fixtures + name + ".ntx";
        fs::copy_file(from, dir.File(std::string(name) + "_a.ntx"));
        fs::copy_file(from, dir.File(std::string(name) + "_b.ntx"));
        fs::permissions(dir.File(std::string(name) + "_a.ntx"), fs::perms::owner_write, fs::perm_options::add);
        fs::permissions(dir.File(std::string(name) + "_b.ntx"), fs::perms::owner_write, fs::perm_options::add);
        TwinFiles t{std::make_unique<GSobjNTXFile>(table.get(), false, false, false, true, dir.File(std::string(name) + "_a.ntx")),
                    std::make_unique<GSobjNTXFile>(table.get(), false, false, false, true, dir.File(std::string(name) + "_b.ntx"))};
        t.general->Tag(0)->SetDirectInserts(false);
        table->files.push_back(t.direct.get());
        table->files.push_back(t.general.get());
        twins.push_back(std::move(t));
    }
    // Names and cities already held, so that equal keys meet the stored ones.
    std::vector<std::string> heldNames, heldCities;
    for (int32_t r = 1; r <= 50; ++r) {
        table->GoRecord(r);
        heldNames.push_back(table->GetTextByName("NAME"));
        heldCities.push_back(table->GetTextByName("CITY"));
    }
    std::mt19937 rng(9);
    for (int i = 0; i < 700; ++i) {
        table->BlankRecord();
        table->PutTextByName("NAME", rng() % 2 ? heldNames[rng() % heldNames.size()] : RandomName(rng));
        table->PutTextByName("CITY", heldCities[rng() % heldCities.size()]);
        table->PutNumberByName("AMOUNT", static_cast<double>(static_cast<int>(rng() % 2001) - 1000) / 4.0);
        table->PutTextByName("BDATE", std::to_string(19600101 + (rng() % 40) * 10000 + (rng() % 12) * 100 + rng() % 28));
        table->PutLogicalByName("ACTIVE", rng() % 2 == 0);
        table->AddRecord();
    }
    ExpectTwinsAlike(twins);
    table->files.clear();
    std::vector<std::vector<int32_t>> walks;
    for (const TwinFiles& t : twins) walks.push_back(Records(Walk(*t.direct->Tag(0))));
    twins.clear();
    table.reset();
    for (size_t i = 0; i < std::size(names); ++i) {
        PeerWalk peer = HarbourWalk(path, dir.File(std::string(names[i]) + "_a.ntx"));
        ASSERT_EQ(peer.status, 0) << peer.err;
        EXPECT_EQ(peer.records, walks[i]) << names[i];
    }
}
