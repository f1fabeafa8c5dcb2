// Locate and Lookup, through a tag and by reading the records: the same answers either
// way on random tables, the cursor kept by Lookup, and the progress of a search.

#include <random>

#include "IndexHelpers.h"

using namespace dstest;

namespace {

const std::vector<std::vector<std::string>> kPeople = {
    {"Maria", "41", "Almaty"}, {"Bolat", "25", "Astana"}, {"Dana", "33", "Almaty"},
    {"Arman", "19", "Taraz"},  {"Erlan", "52", "Astana"}, {"Caila", "30", "Oral"}};

constexpr TLocateOptions kPartial = static_cast<unsigned>(TLocateOption::loPartialKey);
constexpr TLocateOptions kNoCase = static_cast<unsigned>(TLocateOption::loCaseInsensitive);

}  // namespace

TEST(DatasetLocate, AnEmptyTableAnswersFalseWithoutTouchingIt) {
    testutil::TempDir dir;
    PeopleTable(dir, {});
    TRidedezDataSet ds;
    OpenIn(ds, dir, "PEOPLE.DBF");
    int scrolls = 0;
    ds.beforeScroll = [&](TDataSet&) { ++scrolls; };
    EXPECT_FALSE(ds.Locate("NAME", Text("Dana"), 0));
    EXPECT_EQ(ds.Lookup("NAME", Text("Dana"), "AGE"), TFieldValue(false));
    EXPECT_EQ(scrolls, 0);
    EXPECT_TRUE(ds.Eof());
}

TEST(DatasetLocate, WithoutATagByValueStartOfFieldAndCase) {
    testutil::TempDir dir;
    PeopleTable(dir, kPeople);
    TRidedezDataSet ds;
    OpenIn(ds, dir, "PEOPLE.DBF");
    std::vector<std::vector<int>> reports;
    ds.onStatus = [&](int a, int b, int c) { reports.push_back({a, b, c}); };
    EXPECT_TRUE(ds.Locate("NAME", Text("Dana"), 0));
    EXPECT_EQ(ds.RecNo(), 3);
    EXPECT_EQ(ds.FieldByName("CITY").AsString(), "Almaty");
    // The progress of the search: start, one report per record passed, end.
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports.front(), (std::vector<int>{-1, 21, 6}));
    EXPECT_EQ(reports.back()[0], 0);
    // The whole value unless partial; the start of the field when partial.
    EXPECT_FALSE(ds.Locate("NAME", Text("Dan"), 0));
    EXPECT_EQ(ds.RecNo(), 3);
    EXPECT_TRUE(ds.Locate("NAME", Text("Er"), kPartial));
    EXPECT_EQ(ds.RecNo(), 5);
    EXPECT_FALSE(ds.Locate("NAME", Text("rlan"), kPartial));
    EXPECT_EQ(ds.RecNo(), 5);
    EXPECT_FALSE(ds.Locate("NAME", Text("caila"), 0));
    EXPECT_TRUE(ds.Locate("NAME", Text("caila"), kNoCase));
    EXPECT_EQ(ds.RecNo(), 6);
    EXPECT_TRUE(ds.Locate("city", Text("ASTANA"), kNoCase));
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_TRUE(ds.Locate("AGE", Integer(19), 0));
    EXPECT_EQ(ds.RecNo(), 4);
    EXPECT_FALSE(ds.Locate("AGE", Integer(20), 0));
    EXPECT_EQ(ErrorText([&] { ds.Locate("NOFIELD", Text("x"), 0); }), "Field 'NOFIELD' not found");
}

TEST(DatasetLocate, TextIsLookedForInTheCodePageOfTheFile) {
    testutil::TempDir dir;
    const std::string path = dir.File("NAMES.DBF");
    CreateDBFTable(path, 0x03, Defs({"NAME:C:10"}));
    TRidedezDataSet ds;
    OpenIn(ds, dir, "NAMES.DBF");  // translated to OEM
    for (const char* n : {"\xC0\xF1\xE5\xEB\xFC", "\xC8\xE2\xE0\xED"}) ds.AppendRecord({Text(n)});  // Асель, Иван
    EXPECT_TRUE(ds.Locate("NAME", Text("\xC8\xE2\xE0\xED"), 0));
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(ds.Lookup("NAME", Text("\xC0\xF1\xE5\xEB\xFC"), "NAME"), TFieldValue(Text("\xC0\xF1\xE5\xEB\xFC")));
    // Through a tag, and in a range, the same.
    ds.Close();
    ds.SetIndexFiles(BuildIndexes(IndexFormat::NTX, path, {{"NAME", "NAME", ""}}));
    ds.Open();
    EXPECT_TRUE(ds.Locate("NAME", Text("\xC8\xE2\xE0\xED"), 0));
    EXPECT_EQ(ds.RecNo(), 2);
    ds.SetIndexName("NAME");
    ds.SetRange("\xC8", "\xC8");  // names beginning with И
    EXPECT_EQ(RecNos(ds), (std::vector<int32_t>{2}));
}

namespace {

// A random table RAND.DBF: NAME from the letters A to C (1 to 4 of them, so many
// repeat and many begin others), AGE from 0 to 40.
struct RandomTable {
    std::vector<std::string> names;
    std::vector<int> ages;
};

RandomTable MakeRandomTable(const testutil::TempDir& dir, unsigned seed, int n) {
    std::mt19937 rng(seed);
    RandomTable t;
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < n; ++i) {
        std::string name;
        const int len = 1 + static_cast<int>(rng() % 4);
        for (int k = 0; k < len; ++k) name += static_cast<char>('A' + rng() % 3);
        const int age = static_cast<int>(rng() % 41);
        t.names.push_back(name);
        t.ages.push_back(age);
        rows.push_back({name, std::to_string(age), "X"});
    }
    const std::string path = dir.File("RAND.DBF");
    CreateDBFTable(path, 0x03, Defs({"NAME:C:6", "AGE:N:3", "CITY:C:4"}));
    AppendRaw(path, rows);
    return t;
}

void OpenShared(TRidedezDataSet& ds, const testutil::TempDir& dir, const std::vector<std::string>& indexFiles = {}) {
    ds.SetDatabaseName(dir.Path());
    ds.SetTableName("RAND.DBF");
    ds.SetIndexFiles(indexFiles);
    ds.SetExclusive(false);
    ds.Open();
}

class SearchBothWays : public ::testing::TestWithParam<IndexFormat> {};

}  // namespace

TEST_P(SearchBothWays, LocateAndLookupGiveTheSameRecordsWithAndWithoutATag) {
    testutil::TempDir dir;
    const RandomTable t = MakeRandomTable(dir, 1234u + static_cast<unsigned>(GetParam()), 300);
    const auto entries = BuildIndexes(GetParam(), dir.File("RAND.DBF"), {{"NAME", "NAME", ""}, {"AGE", "AGE", ""}});
    TRidedezDataSet plain, indexed;
    OpenShared(plain, dir);
    OpenShared(indexed, dir, entries);
    ASSERT_EQ(indexed.IndexTagCount(), 2);

    std::mt19937 rng(99);
    const std::vector<std::string> keys = {"A", "B", "C", "AB", "BA", "CCC", "ABCA", "CAB", "BBBB", "D", "AAAA"};
    for (const std::string& key : keys) {
        // The first record holding the key, and the first beginning with it in physical
        // order; the smallest name beginning with it.
        int32_t exact = 0, prefix = 0;
        std::string smallest;
        for (size_t i = 0; i < t.names.size(); ++i) {
            if (!exact && t.names[i] == key) exact = static_cast<int32_t>(i + 1);
            if (t.names[i].rfind(key, 0) == 0) {
                if (!prefix) prefix = static_cast<int32_t>(i + 1);
                if (smallest.empty() || t.names[i] < smallest) smallest = t.names[i];
            }
        }
        SCOPED_TRACE(key);
        plain.SetRecNo(1 + static_cast<int32_t>(rng() % 300));
        indexed.SetRecNo(plain.RecNo());
        EXPECT_EQ(plain.Locate("NAME", Text(key), 0), exact != 0);
        EXPECT_EQ(indexed.Locate("NAME", Text(key), 0), exact != 0);
        if (exact) {
            EXPECT_EQ(plain.RecNo(), exact);
            EXPECT_EQ(indexed.RecNo(), exact);
            // The tag was only borrowed.
            EXPECT_EQ(indexed.CurrentTagName(), "");
        }
        EXPECT_EQ(plain.Locate("NAME", Text(key), kPartial), prefix != 0);
        EXPECT_EQ(indexed.Locate("NAME", Text(key), kPartial), prefix != 0);
        if (prefix) {
            // Record order finds the first such record, key order the smallest key.
            EXPECT_EQ(plain.RecNo(), prefix);
            EXPECT_EQ(indexed.FieldByName("NAME").AsString(), smallest);
        }
        // Lookup: the same answer, and the cursor stays.
        const int32_t here = plain.RecNo(), thereToo = indexed.RecNo();
        const TFieldValue a = plain.Lookup("NAME", Text(key), "AGE");
        const TFieldValue b = indexed.Lookup("NAME", Text(key), "AGE");
        EXPECT_EQ(a, b);
        if (exact) {
            EXPECT_EQ(a, TFieldValue(Text(std::to_string(t.ages[static_cast<size_t>(exact - 1)]))));
        } else {
            EXPECT_TRUE(IsNullValue(a));
        }
        EXPECT_EQ(plain.RecNo(), here);
        EXPECT_EQ(indexed.RecNo(), thereToo);
        plain.Next();
        indexed.Next();
        EXPECT_EQ(plain.RecNo(), here < 300 ? here + 1 : here);
        EXPECT_EQ(indexed.RecNo(), thereToo < 300 ? thereToo + 1 : thereToo);
    }
    for (int age : {0, 7, 19, 40, 41}) {
        int32_t first = 0;
        for (size_t i = 0; i < t.ages.size() && !first; ++i)
            if (t.ages[i] == age) first = static_cast<int32_t>(i + 1);
        SCOPED_TRACE(age);
        EXPECT_EQ(plain.Locate("AGE", Integer(age), 0), first != 0);
        EXPECT_EQ(indexed.Locate("AGE", Integer(age), 0), first != 0);
        if (first) {
            EXPECT_EQ(plain.RecNo(), first);
            EXPECT_EQ(indexed.RecNo(), first);
        }
    }
}

TEST_P(SearchBothWays, LookupLeavesTheCursorWhereItWasFoundOrNot) {
    testutil::TempDir dir;
    PeopleTable(dir, kPeople);
    const auto entries = BuildIndexes(GetParam(), dir.File("PEOPLE.DBF"), {{"NAME", "NAME", ""}, {"AGE", "AGE", ""}});
    TRidedezDataSet ds;
    Configure(ds, dir, "PEOPLE.DBF");
    ds.SetIndexFiles(entries);
    ds.SetIndexName("AGE");
    OpenIn(ds, dir, "PEOPLE.DBF");
    ds.Next();
    ASSERT_EQ(ds.RecNo(), 2);
    int scrolls = 0;
    ds.afterScroll = [&](TDataSet&) { ++scrolls; };
    EXPECT_EQ(ds.Lookup("NAME", Text("Erlan"), "CITY"), TFieldValue(Text("Astana")));
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(ds.Lookup("NAME", Text("Erl"), "CITY"), TFieldValue(Null()));  // the whole key
    EXPECT_EQ(ds.Lookup("NAME", Text("Nobody"), "CITY"), TFieldValue(Null()));
    EXPECT_EQ(ds.Lookup("CITY", Text("Oral"), "AGE"), TFieldValue(Text("30")));
    EXPECT_EQ(ds.Lookup("NAME", Null(), "CITY"), TFieldValue(Null()));
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(scrolls, 0);
    EXPECT_EQ(ds.CurrentTagName(), "AGE");
    ds.Next();
    EXPECT_EQ(ds.FieldByName("NAME").AsString(), "Caila");  // 25 is followed by 30
    ds.Prior();
    ds.Prior();
    EXPECT_EQ(ds.FieldByName("NAME").AsString(), "Arman");
    EXPECT_EQ(ErrorText([&] { ds.Lookup("NAME", Text("Dana"), "NOFIELD"); }), "Field 'NOFIELD' not found");
}

TEST_P(SearchBothWays, LocateThroughATagKeepsTheOrderAndARange) {
    testutil::TempDir dir;
    PeopleTable(dir, kPeople);
    const auto entries = BuildIndexes(GetParam(), dir.File("PEOPLE.DBF"), {{"NAME", "NAME", ""}, {"CITY", "CITY", ""}});
    TRidedezDataSet ds;
    Configure(ds, dir, "PEOPLE.DBF");
    ds.SetIndexFiles(entries);
    ds.SetIndexName("CITY");
    OpenIn(ds, dir, "PEOPLE.DBF");
    EXPECT_TRUE(ds.Locate("NAME", Text("Erlan"), 0));
    EXPECT_EQ(ds.RecNo(), 5);
    EXPECT_EQ(ds.CurrentTagName(), "CITY");
    ds.Next();  // Astana, then Oral
    EXPECT_EQ(ds.FieldByName("NAME").AsString(), "Caila");
    // Within a range only the records of the range are found.
    ds.SetRange("Astana", "Astana");
    EXPECT_FALSE(ds.Locate("NAME", Text("Maria"), 0));
    EXPECT_TRUE(ds.Locate("NAME", Text("Erlan"), 0));
    EXPECT_EQ(RecNos(ds), (std::vector<int32_t>{2, 5}));
}

INSTANTIATE_TEST_SUITE_P(Formats, SearchBothWays, ::testing::Values(IndexFormat::NDX, IndexFormat::NTX, IndexFormat::CDX, IndexFormat::MDX),
                         [](const auto& info) { return FormatName(info.param); });
