// Master and detail: the detail narrowed to the master's key at every move of the
// master, the link's cycles refused, and the data links underneath.

#include "IndexHelpers.h"
#include "dataset/Messages.h"

using namespace dstest;

namespace {

const char* kCycle = "Циклические связи не допускаются";

// CUST.DBF (ID C(3), NAME C(10)) and ORDERS.DBF (CUSTID C(3), ITEM C(10)) with an
// index on CUSTID.
class MasterDetail : public ::testing::TestWithParam<IndexFormat> {
protected:
    void SetUp() override {
        CreateDBFTable(dir.File("CUST.DBF"), 0x03, Defs({"ID:C:3", "NAME:C:10"}));
        AppendRaw(dir.File("CUST.DBF"), {{"1", "Aigul"}, {"10", "Bolat"}, {"2", "Dana"}, {"3", "Erlan"}});
        CreateDBFTable(dir.File("ORDERS.DBF"), 0x03, Defs({"CUSTID:C:3", "ITEM:C:10"}));
        AppendRaw(dir.File("ORDERS.DBF"), {{"2", "pen"}, {"1", "book"}, {"10", "lamp"}, {"1", "desk"},
                                           {"2", "ink"}, {"10", "chair"}, {"1", "cup"}});
        entries = BuildIndexes(GetParam(), dir.File("ORDERS.DBF"), {{"CUSTID", "CUSTID", ""}});
        OpenIn(master, dir, "CUST.DBF");
        Configure(detail, dir, "ORDERS.DBF");
        detail.SetIndexFiles(entries);
        detail.SetIndexName("CUSTID");
        detail.SetMasterFields("ID");
    }
    std::vector<std::string> Items() {
        std::vector<std::string> out;
        for (detail.First(); !detail.Eof(); detail.Next()) out.push_back(detail.FieldByName("ITEM").AsString());
        return out;
    }
    testutil::TempDir dir;
    std::vector<std::string> entries;
    TRidedezDataSet master, detail;
    TDataSource masterSource{&master};
};

}  // namespace

TEST_P(MasterDetail, EachMoveOfTheMasterNarrowsTheDetail) {
    detail.SetMasterSource(&masterSource);
    OpenIn(detail, dir, "ORDERS.DBF");
    // At open: the master's first record.
    EXPECT_EQ(Items(), (std::vector<std::string>{"book", "desk", "cup"}));
    master.Next();  // "10": not the orders of "1" too
    EXPECT_EQ(detail.FieldByName("ITEM").AsString(), "lamp");
    EXPECT_EQ(Items(), (std::vector<std::string>{"lamp", "chair"}));
    master.Next();
    EXPECT_EQ(Items(), (std::vector<std::string>{"pen", "ink"}));
    master.Next();  // a customer without orders
    EXPECT_TRUE(detail.IsEmpty());
    EXPECT_TRUE(detail.Eof());
    master.First();
    EXPECT_EQ(Items(), (std::vector<std::string>{"book", "desk", "cup"}));
    master.Last();
    EXPECT_TRUE(detail.IsEmpty());
    master.SetRecNo(3);
    EXPECT_EQ(Items(), (std::vector<std::string>{"pen", "ink"}));
    EXPECT_TRUE(master.Locate("NAME", Text("Bolat"), 0));
    EXPECT_EQ(Items(), (std::vector<std::string>{"lamp", "chair"}));
    // An edit of the master's key narrows the detail to the new key.
    master.Edit();
    master.FieldByName("ID").SetAsString("2");
    EXPECT_EQ(Items(), (std::vector<std::string>{"pen", "ink"}));
    master.Cancel();
    EXPECT_EQ(Items(), (std::vector<std::string>{"lamp", "chair"}));
}

TEST_P(MasterDetail, AClosedOrUnlinkedMasterLeavesTheDetailWhole) {
    detail.SetMasterSource(&masterSource);
    OpenIn(detail, dir, "ORDERS.DBF");
    EXPECT_EQ(Items().size(), 3u);
    master.Close();
    EXPECT_EQ(Items().size(), 7u);
    master.Open();
    EXPECT_EQ(Items().size(), 3u);
    masterSource.SetEnabled(false);
    EXPECT_EQ(Items().size(), 7u);
    masterSource.SetEnabled(true);
    EXPECT_EQ(Items().size(), 3u);
    detail.SetMasterSource(nullptr);
    EXPECT_EQ(Items().size(), 7u);
    // A detail opened while the master is closed is whole.
    detail.SetMasterSource(&masterSource);
    detail.Close();
    master.Close();
    detail.Open();
    EXPECT_EQ(Items().size(), 7u);
}

TEST_P(MasterDetail, CyclesAreRefused) {
    detail.SetMasterSource(&masterSource);
    TDataSource detailSource(&detail);
    EXPECT_EQ(ErrorText([&] { master.SetMasterSource(&detailSource); }), kCycle);
    EXPECT_EQ(ErrorKind([&] { master.SetMasterSource(&detailSource); }), 'D');
    EXPECT_EQ(master.MasterSource(), nullptr);
    // Through a third dataset, and a dataset linked to itself.
    TRidedezDataSet third;
    third.SetMasterSource(&detailSource);
    TDataSource thirdSource(&third);
    EXPECT_EQ(ErrorText([&] { master.SetMasterSource(&thirdSource); }), kCycle);
    EXPECT_EQ(ErrorText([&] { detail.SetMasterSource(&detailSource); }), kCycle);
    EXPECT_EQ(detail.MasterSource(), &masterSource);
}

INSTANTIATE_TEST_SUITE_P(Formats, MasterDetail, ::testing::Values(IndexFormat::NDX, IndexFormat::NTX, IndexFormat::CDX, IndexFormat::MDX),
                         [](const auto& info) { return FormatName(info.param); });

namespace {

struct Recorder : TDataLink {
    std::vector<std::string> seen;

protected:
    void ActiveChanged() override { seen.push_back(Active() ? "active" : "inactive"); }
    void DataSetChanged() override { seen.push_back("changed"); }
    void DataSetScrolled() override { seen.push_back("scrolled"); }
    void RecordChanged(TField* f) override { seen.push_back("field " + (f ? f->FieldName() : std::string("?"))); }
};

}  // namespace

TEST(DataLinks, TellWhatHappensToTheDataSet) {
    testutil::TempDir dir;
    PeopleTable(dir, {{"Maria", "41", "Almaty"}, {"Bolat", "25", "Astana"}});
    auto ds = std::make_unique<TRidedezDataSet>();
    TDataSource source(ds.get());
    Recorder link;
    link.SetDataSource(&source);
    EXPECT_FALSE(link.Active());
    OpenIn(*ds, dir, "PEOPLE.DBF");
    EXPECT_EQ(link.seen, (std::vector<std::string>{"active"}));
    link.seen.clear();
    ds->Next();
    ds->Next();  // already at the end: no move
    ds->First();
    ds->Edit();
    ds->FieldByName("AGE").SetAsString("42");
    ds->Post();
    EXPECT_EQ(link.seen, (std::vector<std::string>{"scrolled", "changed", "field AGE", "changed"}));
    link.seen.clear();
    source.SetEnabled(false);
    ds->Next();
    source.SetEnabled(true);
    EXPECT_EQ(link.seen, (std::vector<std::string>{"inactive", "active"}));
    link.seen.clear();
    // The dataset goes first: the link is left inactive, with no dataset.
    ds.reset();
    EXPECT_EQ(link.seen, (std::vector<std::string>{"inactive"}));
    EXPECT_EQ(source.DataSet(), nullptr);
    EXPECT_EQ(link.DataSet(), nullptr);
}

TEST(DataLinks, ASourceGoingAwayLeavesItsLinksDetached) {
    testutil::TempDir dir;
    PeopleTable(dir, {{"Maria", "41", "Almaty"}});
    TRidedezDataSet ds;
    OpenIn(ds, dir, "PEOPLE.DBF");
    Recorder link;
    {
        TDataSource source(&ds);
        link.SetDataSource(&source);
        EXPECT_TRUE(link.Active());
    }
    EXPECT_EQ(link.DataSource(), nullptr);
    EXPECT_FALSE(link.Active());
    ds.First();  // nobody to tell, nothing dangling
    EXPECT_EQ(link.seen, (std::vector<std::string>{"active", "inactive"}));
}
