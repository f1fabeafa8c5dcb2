// Key seeks (exact matching off and on, soft seek), ranges with prefix bounds, the
// filter bit set following edits, and the value search with its options and wildcards.

#include <gtest/gtest.h>

#include "HandlerTestSupport.h"
#include "engine/Exception.h"
#include "index/core/GSobjIndexTag.h"

using namespace handlertest;

namespace {

class Seeking : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.File("people.dbf");
        CreatePeople(path);
        table = GSO_dBHandler::Open(path, true, false);
        const char* names[] = {"SMITH", "JONES", "SMALL", "BROWN", "CLARK", "BAKER", "COLE", "SMYTHE"};
        for (int i = 0; i < 8; ++i)
            Append(*table, {names[i], 10.0 * (i + 1), "2021030" + std::to_string(i + 1), i % 3 == 0});
        BuildIndex(*table, dir.File("byname.ntx"), "NAME");
        ASSERT_EQ(table->OpenIndexList("byname.ntx", "BYNAME"), 0);
    }
    testutil::TempDir dir;
    std::string path;
    std::unique_ptr<GSO_dBHandler> table;
};

TEST_F(Seeking, PrefixFindsTheFirstKeyWhenExactMatchingIsOff) {
    EXPECT_TRUE(table->SeekKey("SM"));
    EXPECT_TRUE(table->Found());
    EXPECT_EQ(NameOf(*table), "SMALL");
    EXPECT_TRUE(table->SeekKey("SMITH"));
    EXPECT_EQ(table->RecordNumber(), 1);
    table->GoRecord(gsMoveNext);
    EXPECT_EQ(NameOf(*table), "SMYTHE");
}

TEST_F(Seeking, ExactMatchingRefusesAPrefix) {
    table->SetExactMatch(true);
    EXPECT_FALSE(table->SeekKey("SM"));
    EXPECT_FALSE(table->Found());
    EXPECT_TRUE(table->Eof());
    EXPECT_TRUE(table->SeekKey("SMITH"));
    EXPECT_EQ(table->RecordNumber(), 1);
}

TEST_F(Seeking, FailedSeekGoesToTheEndUnlessSoftSeekIsOn) {
    EXPECT_FALSE(table->SeekKey("D"));
    EXPECT_TRUE(table->Eof());
    table->SetSoftSeek(true);
    EXPECT_FALSE(table->SeekKey("D"));
    EXPECT_FALSE(table->Eof());
    EXPECT_EQ(NameOf(*table), "JONES");  // where D would be
    // Past every key even soft seek ends at the end.
    EXPECT_FALSE(table->SeekKey("ZZZ"));
    EXPECT_TRUE(table->Eof());
}

TEST_F(Seeking, SeekPassesHiddenRecords) {
    table->GoRecord(6);  // BAKER
    table->DeleteRecord();
    table->SetUseDeleted(false);
    table->SetSoftSeek(true);
    EXPECT_FALSE(table->SeekKey("BAKER"));  // lands on BROWN, which is not BAKER
    EXPECT_EQ(NameOf(*table), "BROWN");
    EXPECT_TRUE(table->SeekKey("B"));
    EXPECT_EQ(NameOf(*table), "BROWN");
}

TEST_F(Seeking, WithoutATagSeekEndsAtTheEnd) {
    table->SelectTag("", false);
    EXPECT_FALSE(table->SeekKey("SMITH"));
    EXPECT_TRUE(table->Eof());
}

TEST_F(Seeking, SeekKeyInTagAnswersWithoutMoving) {
    table->GoRecord(4);
    EXPECT_EQ(table->SeekKeyInTag("byname", "COLE"), 7);
    EXPECT_EQ(table->SeekKeyInTag("BYNAME", "CO"), 0);  // exact matching always
    EXPECT_EQ(table->SeekKeyInTag("NOSUCH", "COLE"), -1);
    EXPECT_EQ(table->RecordNumber(), 4);
    table->GoRecord(gsMoveNext);
    EXPECT_EQ(NameOf(*table), "CLARK");
}

TEST_F(Seeking, RangeOfPrefixBoundsHoldsEveryKeyBeginningWithThem) {
    table->SetRange("B", "C");
    EXPECT_EQ(NameOf(*table), "BAKER");
    std::vector<std::string> seen;
    for (table->GoRecord(gsMoveTop); !table->Eof(); table->GoRecord(gsMoveNext)) seen.push_back(NameOf(*table));
    EXPECT_EQ(seen, (std::vector<std::string>{"BAKER", "BROWN", "CLARK", "COLE"}));
    table->GoRecord(gsMoveBottom);
    EXPECT_EQ(NameOf(*table), "COLE");
    table->GoRecord(gsMovePrior);
    table->GoRecord(gsMovePrior);
    table->GoRecord(gsMovePrior);
    table->GoRecord(gsMovePrior);
    EXPECT_TRUE(table->Bof());
    // An empty range leaves BOF and a blank buffer.
    table->SetRange("X", "Y");
    EXPECT_TRUE(table->Bof());
    EXPECT_EQ(NameOf(*table), "");
    table->ClearRange();
    EXPECT_EQ(WalkTable(*table).size(), 8u);
}

TEST_F(Seeking, NumberAndDateTagsSeekTheirTypedText) {
    BuildIndex(*table, dir.File("byamt.ndx"), "AMOUNT");
    BuildIndex(*table, dir.File("bydate.ntx"), "BDATE");
    ASSERT_EQ(table->OpenIndexList("byamt.ndx bydate.ntx byname.ntx", "BYAMT"), 0);
    table->SetExactMatch(true);
    EXPECT_TRUE(table->SeekKey("30"));
    EXPECT_EQ(table->RecordNumber(), 3);
    table->SetSoftSeek(true);
    EXPECT_FALSE(table->SeekKey("35"));
    EXPECT_EQ(table->RecordNumber(), 4);
    ASSERT_EQ(table->SelectTag("BYDATE", false), 2);
    EXPECT_TRUE(table->SeekKey("20210305"));
    EXPECT_EQ(table->RecordNumber(), 5);
}

class Filtering : public Seeking {};

TEST_F(Filtering, ANonLogicalExpressionIsRefused) {
    EXPECT_EQ(ErrorOf([&] { table->SetFilter("NAME", false, false); }),
              "Filter expression must return boolean result");
    EXPECT_EQ(ErrorOf([&] { table->SetFilter("AMOUNT + 1", false, false); }),
              "Filter expression must return boolean result");
    table->SetFilterActive(true);
    EXPECT_EQ(WalkTable(*table).size(), 8u);  // no filter took effect
}

TEST_F(Filtering, WalksOnlyMatchingRecordsInBothOrders) {
    table->SetFilterActive(true);
    table->SetFilter("AMOUNT > 25 .AND. AMOUNT < 75", false, false);
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{6, 4, 5, 7, 3}));  // name order
    EXPECT_EQ(WalkTable(*table, true), (std::vector<int32_t>{3, 7, 5, 4, 6}));
    table->SelectTag("", false);
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{3, 4, 5, 6, 7}));
    EXPECT_EQ(WalkTable(*table, true), (std::vector<int32_t>{7, 6, 5, 4, 3}));
    table->SetFilterActive(false);
    EXPECT_EQ(WalkTable(*table).size(), 8u);
}

TEST_F(Filtering, TheBitSetFollowsEdits) {
    table->SetFilterActive(true);
    table->SetFilter("ACTIVE", false, false);
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{4, 7, 1}));
    table->GoRecord(4);
    table->PutLogicalByName("ACTIVE", false);
    table->PutRecord(4);
    table->GoRecord(2);
    table->PutLogicalByName("ACTIVE", true);
    table->PutRecord(2);
    Append(*table, {"ADAMS", 1, "", true});  // record 9
    Append(*table, {"ZED", 1, "", false});
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{9, 7, 2, 1}));
    table->SelectTag("", false);
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{1, 2, 7, 9}));
    // The same expression again keeps the bits; a new one rebuilds them.
    table->SetFilter("ACTIVE", false, false);
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{1, 2, 7, 9}));
    table->SetFilter("NAME = 'S*'", false, true);
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{1, 3, 8}));
    table->SetFilter("NAME = 's*'", true, true);
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{1, 3, 8}));
}

TEST_F(Filtering, PackingRenumbersTheBits) {
    table->SetFilterActive(true);
    table->SetFilter("ACTIVE", false, false);
    table->SelectTag("", false);
    table->GoRecord(2);
    table->DeleteRecord();
    table->PackTable();  // old 4 and 7 become 3 and 6
    EXPECT_EQ(WalkTable(*table), (std::vector<int32_t>{1, 3, 6}));
}

class Searching : public Seeking {
protected:
    bool Search(const std::string& text, uint16_t options, int& field, int32_t& start, int32_t last = 0) {
        table->SetSearchOptions(options);
        return table->SearchValue(text, field, last, start);
    }
};

TEST_F(Searching, WildcardsPlaceTheValue) {
    int field = 1;
    int32_t start = 0;
    // *IT* anywhere in the field.
    EXPECT_TRUE(Search("*IT*", gsSearch::kWildcard, field, start));
    EXPECT_EQ(start, 1);
    EXPECT_TRUE(Search("*YT*", gsSearch::kWildcard, field, start = 0));
    EXPECT_EQ(start, 8);
    // SM* only at the start; the next match after 1 is 3.
    start = 1;
    EXPECT_TRUE(Search("SM*", gsSearch::kWildcard, field, start));
    EXPECT_EQ(start, 3);
    EXPECT_EQ(table->RecordNumber(), 3);
    start = 0;
    EXPECT_FALSE(Search("MI*", gsSearch::kWildcard, field, start));
    // *ER at the end of the field text.
    start = 0;
    EXPECT_TRUE(Search("*ER", gsSearch::kWildcard, field, start));
    EXPECT_EQ(start, 6);
    // ? stands for any one character.
    start = 0;
    EXPECT_TRUE(Search("C?LE", gsSearch::kWildcard, field, start));
    EXPECT_EQ(start, 7);
    // Case folded when asked.
    start = 0;
    EXPECT_FALSE(Search("*own*", gsSearch::kWildcard, field, start));
    EXPECT_TRUE(Search("*own*", gsSearch::kWildcard | gsSearch::kCaseInsensitive, field, start));
    EXPECT_EQ(start, 4);
}

TEST_F(Searching, WholeValueAndPositionBits) {
    int field = 1;
    int32_t start = 0;
    EXPECT_TRUE(Search("MITH", 0, field, start));  // anywhere, may continue
    EXPECT_EQ(start, 1);
    start = 0;
    EXPECT_FALSE(Search("MITH", gsSearch::kNotInMiddle, field, start));
    start = 0;
    EXPECT_FALSE(Search("SMI", gsSearch::kWholeValue | gsSearch::kNotInMiddle, field, start));
    EXPECT_TRUE(Search("SMALL", gsSearch::kWholeValue | gsSearch::kNotInMiddle, field, start));
    EXPECT_EQ(start, 3);
    // The last record bounds the pass.
    start = 0;
    EXPECT_FALSE(Search("COLE", 0, field, start, 6));
}

TEST_F(Searching, AllFieldsAndTypedValues) {
    table->GoRecord(2);
    int field = 0;
    int32_t start = 0;
    EXPECT_TRUE(Search("40", 0, field, start));
    EXPECT_EQ(start, 4);
    EXPECT_EQ(field, 2);
    field = 3;
    start = 0;
    const std::string date = "20210307";
    EXPECT_TRUE(Search(date, 0, field, start));
    EXPECT_EQ(start, 7);
    field = 4;
    start = 1;
    EXPECT_TRUE(Search("T", 0, field, start));
    EXPECT_EQ(start, 4);
    // Not found: the table stays where it was.
    table->GoRecord(5);
    field = 0;
    start = 0;
    EXPECT_FALSE(Search("nowhere", 0, field, start));
    EXPECT_EQ(table->RecordNumber(), 5);
    EXPECT_EQ(start, 0);
    EXPECT_FALSE(Search("", 0, field, start));
    field = 9;
    EXPECT_FALSE(Search("X", 0, field, start));
}

TEST_F(Searching, ReportsItsProgressAndSkipsHiddenRecords) {
    struct Reporting : GSO_dBHandler {
        using GSO_dBHandler::GSO_dBHandler;
        void StatusReport(int a, int b, int c) override { reports.push_back({a, b, c}); }
        std::vector<std::vector<int>> reports;
    };
    table.reset();
    Reporting t(path, true, false);
    t.OpenTable();
    t.GoRecord(1);
    t.DeleteRecord();
    t.SetUseDeleted(false);
    t.SetSearchOptions(gsSearch::kWildcard);
    int field = 1;
    int32_t start = 0;
    ASSERT_TRUE(t.SearchValue("SM*", field, 0, start));
    EXPECT_EQ(start, 3);
    ASSERT_GE(t.reports.size(), 3u);
    EXPECT_EQ(t.reports.front(), (std::vector<int>{-1, 21, 8}));
    EXPECT_EQ(t.reports[1], (std::vector<int>{21, 2, 0}));
    EXPECT_EQ(t.reports.back(), (std::vector<int>{0, 3, 0}));
}

}  // namespace
