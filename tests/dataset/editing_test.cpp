// Editing, appending, deleting, recalling and packing, and the record lock between
// programs.

#include "DsHelpers.h"
#include "dataset/DateTime.h"
#include "engine/FieldText.h"

using dstest::ErrorKind;
using dstest::ErrorText;

namespace {

std::string NumberedTable(const testutil::TempDir& dir, int n, const std::string& name = "T.DBF") {
    const std::string path = dir.File(name);
    CreateDBFTable(path, 0x03, dstest::Defs({"N:C:5", "Q:N:4", "D:D"}));
    std::vector<std::vector<std::string>> rows;
    for (int i = 1; i <= n; ++i) rows.push_back({std::to_string(i), std::to_string(i), "20240101"});
    dstest::AppendRaw(path, rows);
    return path;
}

void OpenIn(TRidedezDataSet& ds, const testutil::TempDir& dir, bool exclusive = true) {
    ds.SetDatabaseName(dir.Path());
    ds.SetTableName("T.DBF");
    ds.SetExclusive(exclusive);
    ds.Open();
}

std::vector<int> RecNos(TRidedezDataSet& ds) {
    std::vector<int> out;
    for (ds.First(); !ds.Eof(); ds.Next()) out.push_back(ds.RecNo());
    return out;
}

std::string RawField(const std::string& path, int32_t rec, int field) {
    auto t = GSO_dBHandler::Open(path, false, true);
    t->GoRecord(rec);
    return t->GetText(field);
}

}  // namespace

TEST(Editing, DeleteInsideANextWalkMakesTheNextRecordCurrent) {
    testutil::TempDir dir;
    NumberedTable(dir, 5);
    TRidedezDataSet ds;
    OpenIn(ds, dir);
    ds.First();
    ds.Next();
    ASSERT_EQ(ds.RecNo(), 2);
    ds.Delete();
    EXPECT_EQ(ds.RecNo(), 3);  // already on the next record
    EXPECT_FALSE(ds.Eof());
    ds.Next();  // so a following Next passes over record 3
    EXPECT_EQ(ds.RecNo(), 4);
    EXPECT_EQ(RecNos(ds), (std::vector<int>{1, 3, 4, 5}));
    EXPECT_EQ(ds.RecordCount(), 5);
}

TEST(Editing, DeletingTheLastOrTheOnlyRecord) {
    testutil::TempDir dir;
    NumberedTable(dir, 3);
    TRidedezDataSet ds;
    OpenIn(ds, dir);
    ds.Last();
    ds.Delete();
    EXPECT_EQ(ds.RecNo(), 2);  // the previous visible record
    ds.Delete();
    EXPECT_EQ(ds.RecNo(), 1);
    ds.Delete();
    EXPECT_TRUE(ds.IsEmpty());
    EXPECT_TRUE(ds.Eof() && ds.Bof());
    EXPECT_EQ(ds.RecNo(), 0);
    EXPECT_EQ(ErrorText([&] { ds.Delete(); }), "Не могу выполнить эту операцию над пустой базой данных");
    ds.Pack();
    EXPECT_EQ(ds.RecordCount(), 0);
    ds.First();
    EXPECT_TRUE(ds.Eof());
}

TEST(Editing, PackRemovesDeletedRecordsAndTheNextFirstSeesThePackedFile) {
    testutil::TempDir dir;
    std::string path = NumberedTable(dir, 6);
    TRidedezDataSet ds;
    OpenIn(ds, dir);
    ds.SetRecNo(2);
    ds.Delete();
    ds.SetRecNo(5);
    ds.Delete();
    ds.Pack();
    EXPECT_EQ(ds.RecordCount(), 4);
    std::vector<std::string> names;
    for (ds.First(); !ds.Eof(); ds.Next()) names.push_back(ds.Field(0).AsString() + "@" + std::to_string(ds.RecNo()));
    EXPECT_EQ(names, (std::vector<std::string>{"1@1", "3@2", "4@3", "6@4"}));
    ds.SetExactCount(true);
    EXPECT_EQ(ds.RecordCount(), 4);
    ds.Close();
    EXPECT_EQ(TrimRightBlanks(RawField(path, 4, 1)), "6");
}

TEST(Editing, PackOnASharedTableRaisesTheEngineError) {
    testutil::TempDir dir;
    std::string path = NumberedTable(dir, 2);
    TRidedezDataSet ds;
    OpenIn(ds, dir, false);
    ds.Delete();
    const std::string expected = "File access denied - " + platform::ResolveCase(platform::ExpandPath(
                                                               platform::CurrentLocale().UpperCase(dir.Path()) + "/T.DBF"));
    EXPECT_EQ(ErrorText([&] { ds.Pack(); }), expected);
    EXPECT_EQ(ErrorKind([&] { ds.Pack(); }), 'R');
    EXPECT_EQ(ds.RecordCount(), 2);
}

TEST(Editing, EditPostWritesInPlaceAndCancelDropsTheChange) {
    testutil::TempDir dir;
    std::string path = NumberedTable(dir, 3);
    TRidedezDataSet ds;
    OpenIn(ds, dir);
    ds.SetRecNo(2);
    ds.Edit();
    EXPECT_EQ(ds.State(), TDataSetState::dsEdit);
    ds.FieldByName("N").SetAsString("two and more");  // cut to the field's 5 bytes
    EXPECT_EQ(std::get<std::string>(ds.FieldByName("N").OldValue()), "2");
    EXPECT_TRUE(ds.Modified());
    ds.Post();
    EXPECT_EQ(ds.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(ds.FieldByName("N").AsString(), "two a");
    EXPECT_EQ(ds.RecordCount(), 3);
    EXPECT_EQ(RawField(path, 2, 1), "two a");

    ds.Edit();
    ds.FieldByName("Q").SetAsInteger(77);
    ds.Cancel();
    EXPECT_EQ(ds.FieldByName("Q").AsInteger(), 2);
    EXPECT_EQ(TrimLeftBlanks(RawField(path, 2, 2)), "2");
    EXPECT_EQ(ErrorText([&] { ds.FieldByName("Q").SetAsInteger(1); }), "Dataset not in edit or insert mode");
}

TEST(Editing, WritingANullDateStoresBlanks) {
    testutil::TempDir dir;
    std::string path = NumberedTable(dir, 1);
    TRidedezDataSet ds;
    OpenIn(ds, dir);
    ds.Edit();
    ds.FieldByName("D").Clear();
    ds.Post();
    EXPECT_TRUE(ds.FieldByName("D").IsNull());
    EXPECT_EQ(RawField(path, 1, 3), "        ");
    ds.Edit();
    ds.FieldByName("D").SetAsDateTime(EncodeDate(1999, 12, 31) + 0.75);  // the time is dropped
    ds.Post();
    EXPECT_EQ(RawField(path, 1, 3), "19991231");
    EXPECT_EQ(ds.FieldByName("D").AsDateTime(), EncodeDate(1999, 12, 31));
}

TEST(Editing, AppendRecordWithOneValueLeavesBlanksAndZeros) {
    testutil::TempDir dir;
    std::string path = NumberedTable(dir, 0);
    TRidedezDataSet ds;
    OpenIn(ds, dir);
    ds.AppendRecord({Text("only")});
    EXPECT_EQ(ds.RecordCount(), 1);
    EXPECT_EQ(RawField(path, 1, 1), "only ");
    EXPECT_EQ(RawField(path, 1, 2), "   0");
    EXPECT_EQ(RawField(path, 1, 3), "        ");
    EXPECT_EQ(ds.FieldByName("Q").AsInteger(), 0);
    EXPECT_TRUE(ds.FieldByName("D").IsNull());
    // The file ends with the new record and the end-of-file mark.
    std::vector<uint8_t> bytes = testutil::ReadBytes(path);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.back(), 0x1A);
    ds.AppendRecord({Null(), Integer(12), DateOf(EncodeDate(2020, 5, 6))});
    EXPECT_EQ(RawField(path, 2, 2), "  12");
    EXPECT_EQ(RawField(path, 2, 3), "20200506");
    EXPECT_EQ(ErrorText([&] { ds.AppendRecord({Text("a"), Integer(1), Null(), Text("extra")}); }),
              "More values than fields");
    EXPECT_EQ(ds.RecordCount(), 2);
    EXPECT_EQ(ds.State(), TDataSetState::dsBrowse);
}

TEST(Editing, AppendAndInsertAlwaysAddAtTheEnd) {
    testutil::TempDir dir;
    NumberedTable(dir, 3);
    TRidedezDataSet ds;
    int newRecords = 0;
    ds.onNewRecord = [&](TDataSet&) { ++newRecords; };
    OpenIn(ds, dir);
    ds.SetRecNo(2);
    ds.Insert();
    EXPECT_EQ(ds.State(), TDataSetState::dsInsert);
    EXPECT_TRUE(ds.FieldByName("N").IsNull());
    ds.FieldByName("N").SetAsString("new");
    ds.Post();
    EXPECT_EQ(ds.RecNo(), 4);
    EXPECT_EQ(ds.FieldByName("N").AsString(), "new");
    ds.SetRecNo(2);
    ds.Append();
    ds.FieldByName("N").SetAsString("gone");
    ds.Cancel();
    EXPECT_EQ(ds.RecNo(), 2);  // back where it was
    EXPECT_EQ(ds.FieldByName("N").AsString(), "2");
    EXPECT_EQ(ds.RecordCount(), 4);
    EXPECT_EQ(newRecords, 2);
    // Edit on an empty dataset inserts.
    TRidedezDataSet empty;
    testutil::TempDir dir2;
    NumberedTable(dir2, 0);
    OpenIn(empty, dir2);
    empty.Edit();
    EXPECT_EQ(empty.State(), TDataSetState::dsInsert);
    empty.Cancel();
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_TRUE(empty.Eof());
}

TEST(Editing, RecallRemovesTheMark) {
    testutil::TempDir dir;
    std::string path = NumberedTable(dir, 2);
    dstest::MarkDeleted(path, 1);
    TRidedezDataSet ds;
    ds.SetUseDeleted(true);
    OpenIn(ds, dir);
    ASSERT_EQ(ds.RecNo(), 1);
    ds.Recall();
    ds.SetUseDeleted(false);
    EXPECT_EQ(RecNos(ds), (std::vector<int>{1, 2}));
    ds.Close();
    EXPECT_EQ(testutil::ReadBytes(path)[static_cast<size_t>(GSO_dBHandler::Open(path, false, true)->HeaderLength())], ' ');
}

TEST(Editing, ClosingDropsAPendingEdit) {
    testutil::TempDir dir;
    std::string path = NumberedTable(dir, 1);
    TRidedezDataSet ds;
    OpenIn(ds, dir);
    ds.Edit();
    ds.FieldByName("N").SetAsString("zzz");
    ds.Close();
    EXPECT_EQ(TrimRightBlanks(RawField(path, 1, 1)), "1");
}

TEST(Editing, EditOfARecordLockedElsewhereFailsAndPostAndCancelRelease) {
    testutil::TempDir dir;
    NumberedTable(dir, 3);
    testutil::Pipe toChild, toParent;
    // The other program edits record 2 and holds it until told, then cancels; later it
    // tries to lock record 2 itself while this program edits it.
    pid_t pid = testutil::Spawn([&] {
        TRidedezDataSet other;
        OpenIn(other, dir, false);
        other.SetRecNo(2);
        other.Edit();
        toParent.Send('L');
        toChild.Receive();
        other.Cancel();
        toParent.Send('U');
        toChild.Receive();  // the parent edits record 2 now
        int rc = ErrorText([&] { other.Edit(); }) == "Record is locked by another user" ? 0 : 1;
        if (other.State() != TDataSetState::dsBrowse) rc = 2;
        toParent.Send('T');
        toChild.Receive();  // the parent posted
        other.Edit();
        other.FieldByName("N").SetAsString("child");
        other.Post();
        toParent.Send('P');
        return rc;
    });
    TRidedezDataSet ds;
    OpenIn(ds, dir, false);
    ASSERT_EQ(toParent.Receive(), 'L');
    ds.SetRecNo(2);
    EXPECT_EQ(ErrorText([&] { ds.Edit(); }), "Record is locked by another user");
    EXPECT_EQ(ds.State(), TDataSetState::dsBrowse);
    ds.SetRecNo(3);
    ds.Edit();  // another record is free
    ds.Cancel();
    toChild.Send('1');
    ASSERT_EQ(toParent.Receive(), 'U');
    ds.SetRecNo(2);
    ds.Edit();
    ds.FieldByName("N").SetAsString("mine");
    toChild.Send('2');
    ASSERT_EQ(toParent.Receive(), 'T');
    ds.Post();
    toChild.Send('3');
    EXPECT_EQ(toParent.Receive(), 'P');
    EXPECT_EQ(testutil::Wait(pid), 0);
    ds.Refresh();
    EXPECT_EQ(ds.FieldByName("N").AsString(), "child");
}

TEST(Editing, EditErrorEventCanRetryOrAbort) {
    testutil::TempDir dir;
    NumberedTable(dir, 1);
    testutil::Pipe toChild, toParent;
    pid_t pid = testutil::Spawn([&] {
        TRidedezDataSet other;
        OpenIn(other, dir, false);
        other.Edit();
        toParent.Send('L');
        toChild.Receive();
        other.Cancel();
        toParent.Send('U');
        return 0;
    });
    TRidedezDataSet ds;
    OpenIn(ds, dir, false);
    ASSERT_EQ(toParent.Receive(), 'L');
    int calls = 0;
    ds.onEditError = [&](TDataSet&, const EDatabaseError& e, TDataAction& action) {
        ++calls;
        EXPECT_STREQ(e.what(), "Record is locked by another user");
        if (calls == 1) {
            action = TDataAction::daAbort;
            return;
        }
        toChild.Send('1');  // the other program lets go; then try again
        EXPECT_EQ(toParent.Receive(), 'U');
        action = TDataAction::daRetry;
    };
    EXPECT_EQ(ErrorText([&] { ds.Edit(); }), "Operation aborted");
    ds.Edit();
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(ds.State(), TDataSetState::dsEdit);
    ds.Cancel();
    EXPECT_EQ(testutil::Wait(pid), 0);
}

TEST(Editing, DeleteWhileEditingDropsTheEditFirst) {
    testutil::TempDir dir;
    std::string path = NumberedTable(dir, 2);
    TRidedezDataSet ds;
    OpenIn(ds, dir);
    ds.Edit();
    ds.FieldByName("N").SetAsString("edited");
    ds.Delete();
    EXPECT_EQ(ds.RecNo(), 2);
    auto t = GSO_dBHandler::Open(path, false, true);
    t->GoRecord(1);
    EXPECT_TRUE(t->IsDeleted());
    EXPECT_EQ(TrimRightBlanks(t->GetText(1)), "1");  // the edit was not written
}
