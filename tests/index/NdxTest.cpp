// NDX files: Xbase64's files walk in its order, files we build have the documented sizes
// and shapes, splits keep every key, random edits keep the order true, and damaged files
// give error 2112.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "IndexTestSupport.h"
#include "engine/Exception.h"
#include "engine/RunErrors.h"
#include "index/ndx/GSobjNDXFile.h"
#include "index/ndx/GSobjNDXTag.h"
#include "index/ndx/NdxLayout.h"

using namespace indextest;

namespace {

const std::string kDebian = std::string(XB_SHARED_DIR) + "/fixtures/debian/";

// "file walked-order key-then-record-order agree" per index of the fixture.
const char* kExtract = R"PY(
import json, sys
d = json.load(open(sys.argv[1]))
for f, i in d['indexes'].items():
    print(f, ','.join(map(str, i['order_walked_by_xbase64'])), ','.join(map(str, i['order_by_key_then_recno'])),
          int(i['agree']))
)PY";

std::vector<int32_t> Numbers(const std::string& csv) {
    std::vector<int32_t> out;
    std::istringstream in(csv);
    std::string n;
    while (std::getline(in, n, ',')) out.push_back(std::stoi(n));
    return out;
}

class NdxBuild : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.File("people.dbf");
        CreatePeople(path);
        table = IndexedTable::Open(path);
    }
    std::unique_ptr<GSobjNDXFile> Create(const std::string& name, const std::string& key, bool unique = false) {
        auto f = std::make_unique<GSobjNDXFile>(table.get(), true, true, false, true, dir.File(name));
        f->CreateTag("", key, "", unique, true);
        return f;
    }
    std::vector<uint8_t> Bytes(const std::string& name) { return testutil::ReadBytes(dir.File(name)); }

    testutil::TempDir dir;
    std::string path;
    std::unique_ptr<IndexedTable> table;
};

std::string RandomName(std::mt19937& rng) {
    static const char* const kStarts[] = {"Smith", "Sm", "Jones", "Ab", "Zed", "Brown", "Cole", ""};
    std::string s = kStarts[rng() % 8];
    int extra = static_cast<int>(rng() % 5);
    for (int i = 0; i < extra && s.size() < 10; ++i) s.push_back(static_cast<char>('a' + rng() % 26));
    return s;
}

}  // namespace

TEST(NdxFixture, XbaseOrdersWalkAsXbaseWalkedThem) {
    testutil::TempDir dir;
    const std::string script = dir.File("extract.py");
    testutil::WriteBytes(script, std::vector<uint8_t>(kExtract, kExtract + std::strlen(kExtract)));
    testutil::CommandResult r =
        testutil::Run("/usr/bin/python3 '" + script + "' '" + kDebian + "x03_idx.expected.json'");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(testutil::Run("cp " + kDebian + "x03_idx* '" + dir.Path() + "/' && chmod u+w '" + dir.Path() + "'/*").status, 0);
    auto table = GSO_dBHandler::Open(dir.File("x03_idx.dbf"), true, false);
    std::istringstream lines(r.out);
    std::string file, walked, byKey;
    int agree = 0, checked = 0;
    while (lines >> file >> walked >> byKey >> agree) {
        SCOPED_TRACE(file);
        if (!agree) continue;
        ++checked;
        GSobjNDXFile theirs(table.get(), false, false, false, false, dir.File(file));
        ASSERT_TRUE(theirs.Opened());
        auto walk = Walk(*theirs.Tag(0));
        EXPECT_EQ(Records(walk), Numbers(walked));
        auto back = WalkBack(*theirs.Tag(0));
        std::reverse(back.begin(), back.end());
        EXPECT_EQ(back, walk);
        // Rebuilt by us, the order is by key and then record number, except that our
        // blank dates (1.0E+100) sort after every real date.
        std::vector<int32_t> want = Numbers(byKey);
        if (theirs.Tag(0)->KeyType() == 'D') {
            std::stable_partition(want.begin(), want.end(), [&](int32_t rec) {
                table->GoRecord(rec);
                return table->GetTextByName("BDATE").find_first_not_of(' ') != std::string::npos;
            });
        }
        GSobjNDXFile ours(table.get(), true, true, false, true, dir.File("ours_" + file));
        ours.CreateTag("", theirs.Tag(0)->KeyExpression(), "", false, true);
        EXPECT_EQ(Records(Walk(*ours.Tag(0))), want);
    }
    EXPECT_EQ(checked, 3);
}

TEST_F(NdxBuild, EmptyTableGivesAThousandAndTwentyFourBytes) {
    auto f = Create("name.ndx", "NAME");
    EXPECT_EQ(f->Tag(0)->MoveTo(-3), 0);
    EXPECT_TRUE(f->Tag(0)->Bof());
    EXPECT_TRUE(f->Tag(0)->Eof());
    f.reset();
    auto b = Bytes("name.ndx");
    ASSERT_EQ(b.size(), 1024u);
    EXPECT_EQ(ndx::Get32(&b[ndx::kRootAt]), 1u);
    EXPECT_EQ(ndx::Get32(&b[ndx::kPageCountAt]), 2u);
    EXPECT_EQ(ndx::Get16(&b[ndx::kEntrySizeAt]), 20);
    EXPECT_EQ(ndx::Get16(&b[ndx::kMaxEntriesAt]), 25);
    EXPECT_EQ(ndx::Get16(&b[ndx::kKeyLengthAt]), 10);
}

TEST_F(NdxBuild, NumberAndDateSizes) {
    auto n = Create("amt.ndx", "AMOUNT");
    auto d = Create("bdate.ndx", "BDATE");
    n.reset();
    d.reset();
    auto b = Bytes("amt.ndx");
    EXPECT_EQ(ndx::Get16(&b[ndx::kEntrySizeAt]), 20);
    EXPECT_EQ(ndx::Get16(&b[ndx::kMaxEntriesAt]), 25);
    EXPECT_EQ(ndx::Get16(&b[ndx::kKeyLengthAt]), 8);
    EXPECT_EQ(ndx::Get16(&b[ndx::kKeyTypeAt]), 1);
    b = Bytes("bdate.ndx");
    EXPECT_EQ(ndx::Get16(&b[ndx::kEntrySizeAt]), 16);
    EXPECT_EQ(ndx::Get16(&b[ndx::kMaxEntriesAt]), 31);
}

TEST_F(NdxBuild, FullLeafSplitsThirteenAndThirteen) {
    auto f = Create("name.ndx", "NAME");
    table->files = {f.get()};
    for (int i = 0; i < 26; ++i) Append(*table, {std::string(1, static_cast<char>('A' + i)), 1, "", true});
    f->Tag(0)->ReleasePath();
    auto b = Bytes("name.ndx");
    const uint32_t root = ndx::Get32(&b[ndx::kRootAt]);
    ASSERT_NE(root, 1u) << "the root split";
    const uint8_t* r = &b[root * 512];
    EXPECT_EQ(ndx::Get16(r), 1) << "one separator and the pointer";
    const uint32_t left = ndx::Get32(r + 4), right = ndx::Get32(r + 4 + 20);
    EXPECT_EQ(ndx::Get16(&b[left * 512]), 13);
    EXPECT_EQ(ndx::Get16(&b[right * 512]), 13);
    EXPECT_EQ(right, 1u) << "the old page keeps the upper half";
    EXPECT_EQ(b[root * 512 + 4 + 8], 'M') << "the separator is the lower half's last key";
    auto walk = Walk(*f->Tag(0));
    ASSERT_EQ(walk.size(), 26u);
    for (int i = 0; i < 26; ++i) EXPECT_EQ(walk[static_cast<size_t>(i)].second, std::string(1, static_cast<char>('A' + i)));
    table->files.clear();
}

TEST_F(NdxBuild, TrailingBlanksDoNotCountAndBlankDatesSortLast) {
    Append(*table, {"AB", 1, "20200101", true});
    Append(*table, {"AB  ", 2, "", true});
    Append(*table, {"A", 3, "19991231", true});
    auto name = Create("name.ndx", "NAME");
    auto date = Create("bdate.ndx", "BDATE");
    TgsVariant key(256);
    key.SetText("AB  ");
    table->SetExactMatch(true);
    EXPECT_EQ(name->Tag(0)->Seek(key), 1);
    EXPECT_EQ(Records(Walk(*date->Tag(0))), (std::vector<int32_t>{3, 1, 2}));
}

TEST_F(NdxBuild, DuplicatesGoAfterTheirEqualsAndUniqueKeepsTheFirst) {
    auto f = Create("name.ndx", "NAME");
    auto u = Create("uname.ndx", "NAME", true);
    table->files = {f.get(), u.get()};
    Append(*table, {"Same", 1, "", true});
    Append(*table, {"Other", 1, "", true});
    Append(*table, {"Same", 1, "", true});
    EXPECT_EQ(Records(Walk(*f->Tag(0))), (std::vector<int32_t>{2, 1, 3}));
    EXPECT_EQ(Records(Walk(*u->Tag(0))), (std::vector<int32_t>{2, 1}));
    // Changing the first record's key does not bring the second into the unique tag.
    table->GoRecord(1);
    table->PutTextByName("NAME", "Zed");
    table->PutRecord(1);
    EXPECT_EQ(Records(Walk(*u->Tag(0))), (std::vector<int32_t>{2, 1}));
    EXPECT_EQ(Walk(*u->Tag(0))[1].second, "Zed");
    table->files.clear();
}

TEST_F(NdxBuild, RewritingARecordWithoutChangingItsKeyLeavesTheFileAlone) {
    for (int i = 0; i < 60; ++i) Append(*table, {"N" + std::to_string(i % 7), i * 1.0, "", true});
    auto f = Create("name.ndx", "NAME");
    table->files = {f.get()};
    const auto before = Bytes("name.ndx");
    table->GoRecord(30);
    table->PutNumberByName("AMOUNT", 999);
    table->PutRecord(30);
    f->Tag(0)->ReleasePath();
    EXPECT_EQ(Bytes("name.ndx"), before);
    table->GoRecord(30);
    table->PutTextByName("NAME", "Changed");
    table->PutRecord(30);
    f->Tag(0)->ReleasePath();
    EXPECT_NE(Bytes("name.ndx"), before);
    EXPECT_EQ(Walk(*f->Tag(0)).front(), (std::pair<int32_t, std::string>(30, "Changed")));
    EXPECT_EQ(Walk(*f->Tag(0)).size(), 60u);
    table->files.clear();
}

TEST_F(NdxBuild, RandomEditsKeepTheOrderTrueAndEqualToARebuild) {
    auto name = Create("name.ndx", "NAME");
    auto amount = Create("amt.ndx", "AMOUNT");
    auto date = Create("bdate.ndx", "BDATE");
    table->files = {name.get(), amount.get(), date.get()};
    std::mt19937 rng(21);
    std::vector<Person> people;
    auto random = [&] {
        Person p;
        p.name = RandomName(rng);
        p.amount = static_cast<double>(static_cast<int>(rng() % 20001) - 10000) / 100.0;
        p.date = rng() % 10 == 0 ? "" : std::to_string(19500101 + (rng() % 70) * 10000 + (rng() % 12) * 100 + rng() % 28);
        return p;
    };
    for (int batch = 0; batch < 5; ++batch) {
        for (int i = 0; i < 400; ++i) {
            if (people.empty() || rng() % 2 == 0) {
                people.push_back(random());
                Append(*table, people.back());
            } else {
                int32_t r = static_cast<int32_t>(rng() % people.size()) + 1;
                table->GoRecord(r);
                people[static_cast<size_t>(r - 1)] = random();
                Store(*table, people[static_cast<size_t>(r - 1)]);
                table->PutRecord(r);
            }
        }
        SCOPED_TRACE("batch " + std::to_string(batch));
        // Names: text order; amounts and dates: numeric order, blank dates last.
        std::vector<std::pair<std::string, int32_t>> byName;
        std::vector<std::pair<double, int32_t>> byAmount, byDate;
        for (size_t i = 0; i < people.size(); ++i) {
            const int32_t r = static_cast<int32_t>(i + 1);
            byName.emplace_back(people[i].name, r);
            byAmount.emplace_back(people[i].amount, r);
            byDate.emplace_back(people[i].date.empty() ? 1e100 : std::stod(people[i].date), r);
        }
        std::sort(byName.begin(), byName.end());
        std::sort(byAmount.begin(), byAmount.end());
        std::sort(byDate.begin(), byDate.end());
        auto check = [&](GSobjIndexTag& tag, auto model) {
            auto walk = Walk(tag);
            ASSERT_EQ(walk.size(), model.size());
            std::vector<int32_t> got = Records(walk), want;
            for (auto& m : model) want.push_back(m.second);
            // Equal keys keep their arrival order: compare key runs as sets.
            for (size_t a = 0, b; a < model.size(); a = b) {
                for (b = a; b < model.size() && model[b].first == model[a].first; ++b) {}
                std::vector<int32_t> g(got.begin() + static_cast<long>(a), got.begin() + static_cast<long>(b));
                std::vector<int32_t> w(want.begin() + static_cast<long>(a), want.begin() + static_cast<long>(b));
                std::sort(g.begin(), g.end());
                std::sort(w.begin(), w.end());
                ASSERT_EQ(g, w) << "keys from position " << a;
            }
            auto back = WalkBack(tag);
            std::reverse(back.begin(), back.end());
            EXPECT_EQ(back, walk);
        };
        check(*name->Tag(0), byName);
        check(*amount->Tag(0), byAmount);
        check(*date->Tag(0), byDate);
    }
    table->files.clear();
    for (auto* f : {name.get(), amount.get(), date.get()}) {
        auto before = Walk(*f->Tag(0));
        f->Reindex();
        auto after = Walk(*f->Tag(0));
        ASSERT_EQ(after.size(), before.size());
        for (size_t i = 0; i < after.size(); ++i) ASSERT_EQ(after[i].second, before[i].second) << i;
    }
}

TEST_F(NdxBuild, DamagedFilesGiveError2112) {
    std::mt19937 rng(5);
    for (int i = 0; i < 2000; ++i) Append(*table, {RandomName(rng), i * 1.0, "", true});
    { Create("good.ndx", "NAME"); }
    const auto good = Bytes("good.ndx");
    const uint32_t root = ndx::Get32(&good[ndx::kRootAt]);
    auto expect2112 = [&](std::vector<uint8_t> bad) {
        testutil::WriteBytes(dir.File("bad.ndx"), bad);
        std::string message;
        try {
            GSobjNDXFile f(table.get(), false, false, false, true, dir.File("bad.ndx"));
            int steps = 0;
            for (int32_t r = f.Tag(0)->MoveTo(-3); r != 0 && steps < 100000; r = f.Tag(0)->MoveTo(-1)) ++steps;
        } catch (const ERidedezError& e) {
            message = e.what();
        }
        EXPECT_NE(message.find("2112"), std::string::npos) << message;
    };
    auto bad = good;
    ndx::Put16(&bad[ndx::kMaxEntriesAt], 100);
    expect2112(bad);
    bad = good;
    ndx::Put16(&bad[ndx::kEntrySizeAt], 4);
    expect2112(bad);
    bad = good;
    ndx::Put32(&bad[ndx::kRootAt], 100000);
    expect2112(bad);
    bad = good;
    ndx::Put16(&bad[root * 512], 30);
    expect2112(bad);
    bad = good;
    ndx::Put32(&bad[root * 512 + 4], root);
    expect2112(bad);
    bad = good;
    ndx::Put32(&bad[root * 512 + 4], 99999);
    expect2112(bad);
    // Random damage: an error or a walk, never a crash.
    for (int round = 0; round < 100; ++round) {
        bad = good;
        for (int k = 0; k < 4; ++k) bad[512 + rng() % (bad.size() - 512)] = static_cast<uint8_t>(rng());
        testutil::WriteBytes(dir.File("bad.ndx"), bad);
        try {
            GSobjNDXFile f(table.get(), false, false, false, true, dir.File("bad.ndx"));
            int steps = 0;
            for (int32_t r = f.Tag(0)->MoveTo(-3); r != 0 && steps < 100000; r = f.Tag(0)->MoveTo(-1)) ++steps;
            table->GoRecord(7);
            f.UpdateTagsForRecord(7, true);
        } catch (const ERidedezError&) {
        }
    }
}
