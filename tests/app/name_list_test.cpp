// The names memory's list on real files, through the program's own function: past eight
// names the oldest goes (one per entry into the name box), the file is packed, and the
// kept names keep their OEM bytes.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TestUtil.h"
#include "app/tables/NameMemory.h"
#include "dataset/RidedezDataSet.h"
#include "engine/DbfCreate.h"
#include "engine/dBHandler.h"

namespace {

// "Асель" in Windows-1251 followed by the number.
std::string NameOf(int i) { return "\xC0\xF1\xE5\xEB\xFC" + std::to_string(i); }

int64_t FileSize(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

void OpenNames(TRidedezDataSet& names, const std::string& dir, const std::string& table) {
    names.SetDatabaseName(dir);
    names.SetTableName(table);
    names.SetExclusive(true);
    names.SetTranslateASCII(true);
    names.SetUseDeleted(false);
    names.Open();
}

void NameMemory(int stored, int listed) {
    testutil::TempDir dir;
    CreateDBFTable(dir.File("NAME.DBF"), 0x03, {{"Name", 'C', 15, 0}});
    TRidedezDataSet names;
    OpenNames(names, dir.Path(), "NAME.DBF");
    for (int i = 1; i <= stored; ++i) names.AppendRecord({Text(NameOf(i))});
    ASSERT_EQ(names.RecordCount(), stored);

    const std::vector<std::string> list = TakeNameList(names);
    ASSERT_EQ(static_cast<int>(list.size()), listed);
    for (int i = 0; i < listed; ++i) EXPECT_EQ(list[size_t(i)], NameOf(i + 2 + (stored - 1 - listed)));
    EXPECT_EQ(names.RecordCount(), listed);
    // The file holds exactly the kept records and the end mark.
    const int64_t recLen = names.Table()->RecordLength();
    const int64_t headLen = names.Table()->HeaderLength();
    names.Close();
    EXPECT_EQ(FileSize(dir.File("NAME.DBF")), headLen + listed * recLen + 1);
    // The oldest is gone from the file; the others kept their OEM bytes ("Асель" in 866).
    auto t = GSO_dBHandler::Open(dir.File("NAME.DBF"), false, true);
    t->GoRecord(1);
    EXPECT_EQ(t->GetText(1).substr(0, 5), "\x80\xE1\xA5\xAB\xEC");
    std::string rest = t->GetText(1).substr(5);
    rest.erase(rest.find_last_not_of(' ') + 1);
    EXPECT_EQ(rest, std::to_string(stored - listed + 1));
}

}  // namespace

TEST(NameList, NineNamesLoseTheOldestAndListEight) { NameMemory(9, 8); }

TEST(NameList, TwelveNamesListElevenAtOneEntry) { NameMemory(12, 11); }

TEST(NameList, EightNamesAreAllListedAndNothingIsPacked) { NameMemory(8, 8); }

TEST(NameList, SecondEntryIntoTheBoxShrinksTwelveNamesAgain) {
    testutil::TempDir dir;
    CreateDBFTable(dir.File("NAME.DBF"), 0x03, {{"Name", 'C', 15, 0}});
    TRidedezDataSet names;
    OpenNames(names, dir.Path(), "NAME");
    EXPECT_EQ(names.TableName(), "NAME.DBF");
    for (int i = 1; i <= 12; ++i) names.AppendRecord({Text(NameOf(i))});
    EXPECT_EQ(TakeNameList(names).size(), 11u);
    const std::vector<std::string> second = TakeNameList(names);
    ASSERT_EQ(second.size(), 10u);
    EXPECT_EQ(second.front(), NameOf(3));
    EXPECT_EQ(second.back(), NameOf(12));
}

TEST(NameList, AnEmptyTableListsNothingAndStoresTheFirstNameOnce) {
    testutil::TempDir dir;
    CreateDBFTable(dir.File("NAME.DBF"), 0x03, {{"Name", 'C', 15, 0}});
    TRidedezDataSet names;
    OpenNames(names, dir.Path(), "NAME.DBF");
    EXPECT_TRUE(TakeNameList(names).empty());
    StoreName(names, "Dana");
    StoreName(names, "Dana");
    EXPECT_EQ(TakeNameList(names), std::vector<std::string>{"Dana"});
}
