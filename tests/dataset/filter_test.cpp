// Filter, FilterOptions and Filtered with OnFilterRecord: what is hidden, what is
// refused, and a filter that follows the edits made through the dataset.

#include "IndexHelpers.h"

using namespace dstest;

namespace {

const std::vector<std::vector<std::string>> kFive = {
    {"Maria", "41", "Almaty"}, {"Bolat", "25", "Astana"}, {"Dana", "33", "almaty"}, {"Arman", "19", "Taraz"},
    {"Erlan", "28", "Astana"}};
const char* kNotBoolean = "Filter expression must return boolean result";

class DatasetFilter : public ::testing::Test {
protected:
    void SetUp() override { PeopleTable(dir, kFive); }
    testutil::TempDir dir;
    TRidedezDataSet ds;
};

}  // namespace

TEST_F(DatasetFilter, AnExpressionHidesTheRecordsItDoesNotAccept) {
    OpenIn(ds, dir, "PEOPLE.DBF");
    ds.SetFilter("AGE > 30");
    EXPECT_EQ(RecNos(ds).size(), 5u);  // stored, not applied while Filtered is off
    ds.SetFiltered(true);
    EXPECT_EQ(RecNos(ds), (std::vector<int32_t>{1, 3}));
    EXPECT_FALSE(ds.IsSequenced());
    ds.Last();
    EXPECT_EQ(ds.RecNo(), 3);
    ds.SetFilter("AGE < 26");  // a new expression applies at once
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(RecNos(ds), (std::vector<int32_t>{2, 4}));
    ds.SetFiltered(false);
    EXPECT_EQ(RecNos(ds).size(), 5u);
    // Set before opening, it applies from the opening on.
    ds.Close();
    ds.SetFiltered(true);
    ds.Open();
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(RecNos(ds), (std::vector<int32_t>{2, 4}));
}

TEST_F(DatasetFilter, AnExpressionThatIsNotLogicalIsRefusedWhenSwitchedOn) {
    OpenIn(ds, dir, "PEOPLE.DBF");
    ds.SetFilter("NAME");
    EXPECT_EQ(ErrorText([&] { ds.SetFiltered(true); }), kNotBoolean);
    EXPECT_EQ(ErrorKind([&] { ds.SetFiltered(true); }), 'R');
    EXPECT_FALSE(ds.Filtered());
    EXPECT_EQ(RecNos(ds).size(), 5u);  // nothing hidden by the refused filter
    ds.SetFilter("AGE > 30");
    ds.SetFiltered(true);
    // A refused new expression leaves the one in force.
    EXPECT_EQ(ErrorText([&] { ds.SetFilter("AGE + 1"); }), kNotBoolean);
    EXPECT_EQ(ds.Filter(), "AGE > 30");
    EXPECT_EQ(RecNos(ds), (std::vector<int32_t>{1, 3}));
    // At opening, a refused filter fails the opening.
    ds.Close();
    ds.SetFilter("CITY");
    EXPECT_EQ(ErrorText([&] { ds.Open(); }), kNotBoolean);
    EXPECT_FALSE(ds.Active());
}

TEST_F(DatasetFilter, FilterOptionsChooseCaseAndPartialComparison) {
    OpenIn(ds, dir, "PEOPLE.DBF");
    ds.SetFilter("CITY = 'ALMATY'");
    ds.SetFiltered(true);
    EXPECT_TRUE(RecNos(ds).empty());
    ds.SetFilterOptions(static_cast<unsigned>(TFilterOption::foCaseInsensitive));
    EXPECT_EQ(RecNos(ds), (std::vector<int32_t>{1, 3}));
    ds.SetFilter("CITY = 'Ast*'");
    EXPECT_EQ(RecNos(ds), (std::vector<int32_t>{2, 5}));
    ds.SetFilterOptions(TFilterOption::foCaseInsensitive | TFilterOption::foNoPartialCompare);
    EXPECT_TRUE(RecNos(ds).empty());
}

TEST_F(DatasetFilter, OnFilterRecordDecidesWithTheExpression) {
    OpenIn(ds, dir, "PEOPLE.DBF");
    ds.onFilterRecord = [](TDataSet& d, bool& accept) {
        EXPECT_EQ(d.State(), TDataSetState::dsFilter);
        accept = d.FieldByName("NAME").AsString().find('r') != std::string::npos;
    };
    EXPECT_EQ(RecNos(ds).size(), 5u);  // not while Filtered is off
    ds.SetFiltered(true);
    EXPECT_EQ(RecNos(ds), (std::vector<int32_t>{1, 4, 5}));
    ds.onFilterRecord = [](TDataSet& d, bool& accept) { accept = d.FieldByName("CITY").AsString() == "Astana"; };
    ds.SetFilter("AGE > 26");  // both must accept
    EXPECT_EQ(RecNos(ds), (std::vector<int32_t>{5}));
    EXPECT_EQ(ds.State(), TDataSetState::dsBrowse);
}

TEST_F(DatasetFilter, TheFilterFollowsEditsMadeThroughTheDataset) {
    OpenIn(ds, dir, "PEOPLE.DBF");
    ds.SetFilter("AGE > 30");
    ds.SetFiltered(true);
    ASSERT_EQ(ds.RecNo(), 1);
    ds.Edit();
    ds.FieldByName("AGE").SetAsString("20");
    ds.Post();
    // Record 1 no longer passes: it is gone at the next move.
    EXPECT_EQ(RecNos(ds), (std::vector<int32_t>{3}));
    ds.SetRecNo(4);  // by number: hidden records can be reached
    ds.Edit();
    ds.FieldByName("AGE").SetAsString("60");
    ds.Post();
    ds.AppendRecord({Text("Zere"), Integer(35), Text("Oral")});
    ds.AppendRecord({Text("Ali"), Integer(5), Text("Oral")});
    EXPECT_EQ(RecNos(ds), (std::vector<int32_t>{3, 4, 6}));
    ds.SetFiltered(false);
    EXPECT_EQ(RecNos(ds).size(), 7u);
}

TEST_F(DatasetFilter, WithAnIndexOrderTheFilterStillHolds) {
    const auto entries = BuildIndexes(IndexFormat::CDX, dir.File("PEOPLE.DBF"), {{"NAME", "NAME", ""}});
    Configure(ds, dir, "PEOPLE.DBF");
    ds.SetIndexFiles(entries);
    ds.SetIndexName("NAME");
    ds.SetFilter("AGE < 30");
    ds.SetFiltered(true);
    OpenIn(ds, dir, "PEOPLE.DBF");
    EXPECT_EQ(Walk(ds), (std::vector<std::string>{"Arman@4", "Bolat@2", "Erlan@5"}));
    EXPECT_TRUE(ds.Locate("NAME", Text("Erlan"), 0));
    EXPECT_FALSE(ds.Locate("NAME", Text("Maria"), 0));  // hidden by the filter
    EXPECT_EQ(ds.RecNo(), 5);
}
