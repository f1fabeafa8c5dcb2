// The dataset's index files, tags and ranges through NDX, NTX, CDX and MDX files, and the
// failures of each.

#include "IndexHelpers.h"
#include "dataset/Messages.h"

using namespace dstest;

namespace {

const std::vector<std::vector<std::string>> kPeople = {
    {"Maria", "41", "Almaty"}, {"Bolat", "25", "Astana"}, {"Dana", "33", "Almaty"},
    {"Arman", "19", "Taraz"},  {"Erlan", "52", "Astana"}, {"Caila", "30", "Oral"}};

class DatasetIndex : public ::testing::TestWithParam<IndexFormat> {
protected:
    void SetUp() override {
        path = PeopleTable(dir, kPeople);
        // NDX files have no conditions; the tags of a CDX file go by name.
        const std::string old = GetParam() == IndexFormat::NDX ? "" : "AGE > 30";
        entries = BuildIndexes(GetParam(), path, {{"BYAGE", "AGE", ""}, {"BYNAME", "NAME", ""}, {"OLD", "NAME", old}});
    }
    void Open() {
        Configure(ds, dir, "PEOPLE.DBF");
        ds.SetIndexFiles(entries);
        ds.Open();
    }
    testutil::TempDir dir;
    std::string path;
    std::vector<std::string> entries;
    TRidedezDataSet ds;
};

}  // namespace

TEST_P(DatasetIndex, TagsAreNumberedThroughTheFilesAndDescribed) {
    Open();
    ASSERT_EQ(ds.IndexTagCount(), 3);
    EXPECT_EQ(ds.IndexTagName(1), "BYAGE");
    EXPECT_EQ(ds.IndexTagName(2), "BYNAME");
    EXPECT_EQ(ds.IndexTagName(3), "OLD");
    EXPECT_EQ(ds.IndexTagExpression(1), "AGE");
    EXPECT_EQ(ds.IndexTagExpression(3), "NAME");
    EXPECT_EQ(ds.IndexTagCondition(1), "");
    EXPECT_EQ(ds.IndexTagCondition(3), GetParam() == IndexFormat::NDX ? "" : "AGE > 30");
    EXPECT_EQ(ds.IndexTagName(0), "");
    EXPECT_EQ(ds.IndexTagName(4), "");
    EXPECT_EQ(ds.IndexTagExpression(-1), "");
    EXPECT_EQ(ds.CurrentTagName(), "");
}

TEST_P(DatasetIndex, IndexNameGivesTheOrderAndEmptyGivesRecordOrderBack) {
    ds.SetIndexName("byname");
    Open();
    EXPECT_EQ(ds.CurrentTagName(), "BYNAME");
    EXPECT_EQ(RecNos(ds), (std::vector<int32_t>{4, 2, 6, 3, 5, 1}));
    EXPECT_FALSE(ds.IsSequenced());
    ds.SetIndexName("BYAGE");
    EXPECT_EQ(RecNos(ds), (std::vector<int32_t>{4, 2, 6, 3, 1, 5}));
    ds.SetIndexName("OLD");  // a tag with a condition holds only its records
    if (GetParam() != IndexFormat::NDX) {
        EXPECT_EQ(RecNos(ds), (std::vector<int32_t>{3, 5, 1}));
    }
    ds.SetIndexName("");
    EXPECT_EQ(ds.CurrentTagName(), "");
    EXPECT_TRUE(ds.IsSequenced());
    EXPECT_EQ(RecNos(ds), (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));
}

TEST_P(DatasetIndex, ANewIndexNameKeepsTheCurrentRecord) {
    Open();
    ds.SetRecNo(3);
    int scrolls = 0;
    ds.afterScroll = [&](TDataSet&) { ++scrolls; };
    ds.SetIndexName("BYAGE");
    EXPECT_EQ(ds.RecNo(), 3);
    EXPECT_EQ(scrolls, 1);
    ds.Next();
    EXPECT_EQ(ds.RecNo(), 1);  // 33 is followed by 41
    ds.SetIndexName("BYNAME");
    EXPECT_EQ(ds.RecNo(), 1);
    ds.Prior();
    EXPECT_EQ(ds.FieldByName("NAME").AsString(), "Erlan");
    // Moves by number and by bookmark go on in the tag's order from there.
    ds.SetRecNo(6);
    ds.Next();
    EXPECT_EQ(ds.FieldByName("NAME").AsString(), "Dana");
    const TBookmark mark = ds.GetBookmark();
    ds.First();
    ds.GotoBookmark(mark);
    ds.Prior();
    EXPECT_EQ(ds.FieldByName("NAME").AsString(), "Caila");
}

TEST_P(DatasetIndex, AnUnknownTagIsRefusedAndChangesNothing) {
    Open();
    ds.SetIndexName("BYAGE");
    ds.SetRecNo(5);
    EXPECT_EQ(ErrorText([&] { ds.SetIndexName("NOSUCHTAG"); }), "Index tag NOSUCHTAG is not assigned");
    EXPECT_EQ(ErrorKind([&] { ds.SetIndexName("NOSUCHTAG"); }), 'D');
    EXPECT_EQ(ds.IndexName(), "BYAGE");
    EXPECT_EQ(ds.CurrentTagName(), "BYAGE");
    EXPECT_EQ(ds.RecNo(), 5);
    ds.Close();
    ds.SetIndexName("NOSUCHTAG");
    EXPECT_EQ(ErrorText([&] { ds.Open(); }), "Index tag NOSUCHTAG is not assigned");
    EXPECT_FALSE(ds.Active());
}

TEST_P(DatasetIndex, RangesNarrowToTheKeysBetweenTheBounds) {
    ds.SetIndexName("BYNAME");
    Open();
    ds.SetRange("B", "D");
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(Walk(ds), (std::vector<std::string>{"Bolat@2", "Caila@6", "Dana@3"}));
    ds.SetRange("Caila", "Caila");
    EXPECT_EQ(Walk(ds), (std::vector<std::string>{"Caila@6"}));
    ds.SetRange("X", "Z");
    EXPECT_TRUE(ds.Eof());
    EXPECT_TRUE(ds.IsEmpty());
    ds.SetRange("", "");
    EXPECT_EQ(RecNos(ds).size(), 6u);
    // Without a tag nothing is narrowed.
    ds.SetIndexName("");
    ds.SetRange("B", "D");
    EXPECT_EQ(RecNos(ds).size(), 6u);
}

TEST_P(DatasetIndex, IndexFilesChangedOnAnOpenDataset) {
    OpenIn(ds, dir, "PEOPLE.DBF");
    EXPECT_EQ(ds.IndexTagCount(), 0);
    EXPECT_EQ(ErrorText([&] { ds.SetIndexName("BYAGE"); }), "Index tag BYAGE is not assigned");
    EXPECT_EQ(ds.IndexName(), "");
    ds.SetRecNo(3);
    ds.SetIndexFiles(entries);
    EXPECT_EQ(ds.IndexTagCount(), 3);
    EXPECT_EQ(ds.RecNo(), 3);
    ds.SetIndexName("BYAGE");
    EXPECT_EQ(ds.RecNo(), 3);
    EXPECT_EQ(RecNos(ds).front(), 4);
    ds.SetIndexFiles({});
    EXPECT_EQ(ds.IndexTagCount(), 0);
    EXPECT_EQ(ds.IndexName(), "");
    EXPECT_EQ(RecNos(ds), (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));
}

TEST_P(DatasetIndex, MissingAndDamagedIndexFilesAreNamedInTheError) {
    const std::string upperDir = platform::CurrentLocale().UpperCase(dir.Path());
    OpenIn(ds, dir, "PEOPLE.DBF");
    const std::string missing = std::string("MISSING") + Extension(GetParam());
    EXPECT_EQ(ErrorText([&] { ds.SetIndexFiles({missing}); }), "Cannot find file " + upperDir + "/" + missing);
    EXPECT_EQ(ErrorKind([&] { ds.SetIndexFiles({"OTHER"}); }), 'D');
    EXPECT_TRUE(ds.Active());
    EXPECT_EQ(RecNos(ds).size(), 6u);

    // A file that is not an index of its kind.
    const std::string bad = std::string("BAD") + Extension(GetParam());
    testutil::WriteBytes(dir.File(bad), std::vector<uint8_t>(2048, 0x7f));
    EXPECT_EQ(ErrorText([&] { ds.SetIndexFiles({bad}); }), "Error getting " + upperDir + "/" + bad);
    ds.Close();
    EXPECT_EQ(ErrorKind([&] { ds.Open(); }), 'D');
    EXPECT_FALSE(ds.Active());
    ds.SetIndexFiles({missing});
    EXPECT_EQ(ErrorText([&] { ds.Open(); }), "Cannot find file " + upperDir + "/" + missing);
}

TEST_P(DatasetIndex, TagOperationsNeedAnOpenDataset) {
    const char* closed = "Не могу выполнить эту операцию над закрытой базой данных";
    EXPECT_EQ(ErrorText([&] { ds.IndexTagCount(); }), closed);
    EXPECT_EQ(ErrorText([&] { ds.IndexTagName(1); }), closed);
    EXPECT_EQ(ErrorText([&] { ds.IndexTagExpression(1); }), closed);
    EXPECT_EQ(ErrorText([&] { ds.IndexTagCondition(1); }), closed);
    EXPECT_EQ(ErrorText([&] { ds.CurrentTagName(); }), closed);
    EXPECT_EQ(ErrorKind([&] { ds.CurrentTagName(); }), 'D');
}

INSTANTIATE_TEST_SUITE_P(Formats, DatasetIndex, ::testing::Values(IndexFormat::NDX, IndexFormat::NTX, IndexFormat::CDX, IndexFormat::MDX),
                         [](const auto& info) { return FormatName(info.param); });

TEST(DatasetIndexFiles, AnEntryWithoutExtensionIsAnNdxFileInTheTableDirectory) {
    testutil::TempDir dir;
    const std::string path = PeopleTable(dir, kPeople);
    BuildIndexes(IndexFormat::NDX, path, {{"AGES", "AGE", ""}});
    TRidedezDataSet ds;
    Configure(ds, dir, "PEOPLE.DBF");
    ds.SetIndexFiles({"ages"});  // found whatever the case of its name
    ds.SetIndexName("AGES");
    // Opened from elsewhere: the directory is the table's, not the working one.
    OpenIn(ds, dir, "PEOPLE.DBF");
    EXPECT_EQ(ds.IndexTagCount(), 1);
    EXPECT_EQ(ds.IndexTagName(1), "AGES");
    EXPECT_EQ(RecNos(ds), (std::vector<int32_t>{4, 2, 6, 3, 1, 5}));
}

TEST(DatasetIndexFiles, AnEntryWithADirectoryOfItsOwnIsTakenThere) {
    testutil::TempDir dir, other;
    const std::string path = PeopleTable(dir, kPeople);
    BuildIndexes(IndexFormat::NTX, path, {{"AGES", "AGE", ""}});
    ASSERT_EQ(std::rename(dir.File("AGES.NTX").c_str(), other.File("AGES.NTX").c_str()), 0);
    TRidedezDataSet ds;
    Configure(ds, dir, "PEOPLE.DBF");
    ds.SetIndexFiles({other.File("AGES.NTX")});
    ds.SetIndexName("AGES");
    OpenIn(ds, dir, "PEOPLE.DBF");
    EXPECT_EQ(RecNos(ds), (std::vector<int32_t>{4, 2, 6, 3, 1, 5}));
    // The same name in the table's directory is not there.
    EXPECT_EQ(ErrorText([&] { ds.SetIndexFiles({"AGES.NTX"}); }),
              "Cannot find file " + platform::CurrentLocale().UpperCase(dir.Path()) + "/AGES.NTX");
}
