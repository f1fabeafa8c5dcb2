// Edits that are never lost or crossed: memo changes reach the memo file only at Post,
// Delete and Recall respect record locks, RecNo, bookmarks, the alias file's byte-order
// mark and the shared record count.

#include "DsHelpers.h"
#include "dataset/AliasList.h"
#include "dataset/ApplicationErrors.h"
#include "dataset/Bookmark.h"
#include "dataset/Directories.h"
#include "dataset/Profile.h"
#include "engine/FieldText.h"
#include "engine/platform/ConfigDir.h"

using dstest::ErrorText;

namespace {

constexpr const char* kLocked = "Record is locked by another user";

// The four memo kinds: dBase III, dBase IV, FoxPro 2 and Visual FoxPro-style 0x30 tables.
class MemoKind : public ::testing::TestWithParam<int> {
protected:
    uint8_t Version() const { return static_cast<uint8_t>(GetParam()); }
    std::string MemoPath() const { return dir_.File(Version() == 0x83 || Version() == 0x8B ? "M.DBT" : "M.FPT"); }
    std::string Make() {
        const std::string path = dir_.File("M.DBF");
        CreateDBFTable(path, Version(), dstest::Defs({"NAME:C:10", "NOTE:M"}));
        return path;
    }
    void Open(TRidedezDataSet& ds, bool exclusive = true) {
        ds.SetDatabaseName(dir_.Path());
        ds.SetTableName("M.DBF");
        ds.SetExclusive(exclusive);
        ds.SetTranslateASCII(false);
        ds.Open();
    }
    // Record n's memo block number and memo text as the file holds them.
    int32_t BlockOf(int32_t n) {
        auto t = GSO_dBHandler::Open(dir_.File("M.DBF"), false, true);
        t->GoRecord(n);
        return t->MemoBlockNumber(2);
    }
    std::string MemoOf(int32_t n) {
        auto t = GSO_dBHandler::Open(dir_.File("M.DBF"), false, true);
        t->GoRecord(n);
        return t->MemoText(2);
    }
    void SetMemo(TRidedezDataSet& ds, const std::string& text) {
        std::unique_ptr<TBlobStream> s = ds.CreateBlobStream(ds.FieldByName("NOTE"), TBlobStreamMode::bmWrite);
        s->Write(text.data(), static_cast<int32_t>(text.size()));
    }

    testutil::TempDir dir_;
};

}  // namespace

TEST_P(MemoKind, CancelLeavesTheOldMemoAndItsBlocksExactlyAsTheyWere) {
    Make();
    const std::string original(3000, 'o');
    {
        TRidedezDataSet ds;
        Open(ds);
        ds.AppendRecord({Text("one"), Text(original)});
        const std::vector<uint8_t> before = testutil::ReadBytes(MemoPath());
        ds.Edit();
        SetMemo(ds, "CHANGED");
        EXPECT_EQ(ds.FieldByName("NOTE").AsString(), "CHANGED");  // the edit sees its own text
        ds.Cancel();
        EXPECT_EQ(ds.FieldByName("NOTE").AsString(), original);
        EXPECT_EQ(testutil::ReadBytes(MemoPath()), before);
        // The blocks of record 1 were not given away: a new memo goes elsewhere.
        ds.AppendRecord({Text("two"), Text("NEWCOMER")});
        ds.First();
        EXPECT_EQ(ds.FieldByName("NOTE").AsString(), original);
    }
    EXPECT_EQ(MemoOf(1), original);
    EXPECT_EQ(MemoOf(2), "NEWCOMER");
    EXPECT_NE(BlockOf(1), BlockOf(2));
}

TEST_P(MemoKind, ClosingDuringAnEditDropsTheMemoChange) {
    Make();
    {
        TRidedezDataSet ds;
        Open(ds);
        ds.AppendRecord({Text("one"), Text("kept")});
        ds.Edit();
        SetMemo(ds, "dropped");
        ds.Close();
    }
    EXPECT_EQ(MemoOf(1), "kept");
}

TEST_P(MemoKind, PostWritesTheNewMemoIntoBlocksNoRecordHeld) {
    Make();
    TRidedezDataSet ds;
    Open(ds);
    ds.AppendRecord({Text("one"), Text(std::string(700, 'a'))});
    ds.AppendRecord({Text("two"), Text("second")});
    const int32_t oldBlock = BlockOf(1);
    ds.First();
    ds.Edit();
    SetMemo(ds, "short now");
    // Nothing reaches the memo file before Post.
    EXPECT_EQ(MemoOf(1), std::string(700, 'a'));
    ds.Post();
    EXPECT_EQ(ds.FieldByName("NOTE").AsString(), "short now");
    EXPECT_EQ(MemoOf(1), "short now");
    EXPECT_EQ(MemoOf(2), "second");
    // Never written over the memo the record pointed at while it was being written.
    EXPECT_NE(BlockOf(1), oldBlock);
    if (Version() == 0x8B) {
        // dBase IV gives the old blocks back after the record is written: the next memo
        // takes them.
        ds.AppendRecord({Text("three"), Text("third")});
        EXPECT_EQ(BlockOf(3), oldBlock);
    }
    // Emptying a memo posts a record without one.
    ds.First();
    ds.Edit();
    SetMemo(ds, "");
    ds.Post();
    EXPECT_TRUE(ds.FieldByName("NOTE").IsNull());
    EXPECT_EQ(BlockOf(1), 0);
}

TEST_P(MemoKind, AFailedRecordWriteKeepsTheOldMemoAndTheEditPending) {
    Make();
    TRidedezDataSet ds;
    Open(ds, false);
    ds.AppendRecord({Text("one"), Text("old text")});
    const int32_t oldBlock = BlockOf(1);
    // Another program holds the header lock: the append of an inserted record fails.
    testutil::Pipe toChild, toParent;
    const std::string table = dir_.File("M.DBF");
    const pid_t child = testutil::Spawn([&] {
        auto other = GSO_dBHandler::Open(table, true, true);
        if (!other->LockHeader()) return 2;
        toParent.Send('l');
        toChild.Receive();
        other->Unlock();
        return 0;
    });
    ASSERT_EQ(toParent.Receive(), 'l');
    ds.Append();
    ds.FieldByName("NAME").SetAsString("two");
    SetMemo(ds, "new text");
    EXPECT_NE(ErrorText([&] { ds.Post(); }), "");
    EXPECT_EQ(ds.State(), TDataSetState::dsInsert);
    EXPECT_EQ(ds.FieldByName("NOTE").AsString(), "new text");
    EXPECT_EQ(ds.RecordCount(), 1);
    toChild.Send('u');
    EXPECT_EQ(testutil::Wait(child), 0);
    ds.Post();
    EXPECT_EQ(ds.RecordCount(), 2);
    EXPECT_EQ(MemoOf(1), "old text");
    EXPECT_EQ(BlockOf(1), oldBlock);
    EXPECT_EQ(MemoOf(2), "new text");
    EXPECT_NE(BlockOf(2), oldBlock);
}

INSTANTIATE_TEST_SUITE_P(FourKinds, MemoKind, ::testing::Values(0x83, 0x8B, 0xF5, 0x30));

// ---- record locks across two processes ------------------------------------------------------

namespace {

std::string SharedTable(const testutil::TempDir& dir) {
    const std::string path = dir.File("S.DBF");
    CreateDBFTable(path, 0x03, dstest::Defs({"NAME:C:10"}));
    dstest::AppendRaw(path, {{"one"}, {"two"}});
    return path;
}

void OpenShared(TRidedezDataSet& ds, const testutil::TempDir& dir) {
    ds.SetDatabaseName(dir.Path());
    ds.SetTableName("S.DBF");
    ds.SetExclusive(false);
    ds.SetTranslateASCII(false);
    ds.SetUseDeleted(true);
    ds.Open();
}

// A child that edits record 1 and holds it until told to post "child" into it.
pid_t EditInChild(const testutil::TempDir& dir, testutil::Pipe& toChild, testutil::Pipe& toParent) {
    return testutil::Spawn([&] {
        TRidedezDataSet ds;
        OpenShared(ds, dir);
        ds.Edit();
        toParent.Send('e');
        if (toChild.Receive() != 'p') return 2;
        ds.FieldByName("NAME").SetAsString("child");
        ds.Post();
        toParent.Send('d');
        return 0;
    });
}

}  // namespace

TEST(RecordLocks, DeleteAndRecallOfARecordHeldElsewhereFailAndLoseNothing) {
    testutil::TempDir dir;
    const std::string path = SharedTable(dir);
    dstest::MarkDeleted(path, 2);
    testutil::Pipe toChild, toParent;
    const pid_t child = EditInChild(dir, toChild, toParent);
    ASSERT_EQ(toParent.Receive(), 'e');
    TRidedezDataSet ds;
    OpenShared(ds, dir);
    EXPECT_EQ(ErrorText([&] { ds.Delete(); }), kLocked);
    EXPECT_EQ(ds.RecNo(), 1);
    EXPECT_EQ(ErrorText([&] { ds.Edit(); }), kLocked);
    EXPECT_EQ(ds.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(ErrorText([&] { ds.Recall(); }), kLocked);
    // Record 2 is free: its recall goes through, and the child's lock is not disturbed.
    ds.Next();
    ASSERT_EQ(ds.RecNo(), 2);
    ds.Recall();
    toChild.Send('p');
    EXPECT_EQ(toParent.Receive(), 'd');
    EXPECT_EQ(testutil::Wait(child), 0);
    auto t = GSO_dBHandler::Open(path, false, true);
    t->GoRecord(1);
    EXPECT_FALSE(t->IsDeleted());
    EXPECT_EQ(TrimRightBlanks(t->GetText(1)), "child");
    t->GoRecord(2);
    EXPECT_FALSE(t->IsDeleted());
}

TEST(RecordLocks, DeleteWritesTheMarkOnTheRecordAsItIsNowAndReleasesTheLock) {
    testutil::TempDir dir;
    const std::string path = SharedTable(dir);
    TRidedezDataSet ds;
    OpenShared(ds, dir);
    // Another program changes record 1 after this dataset read it.
    {
        auto t = GSO_dBHandler::Open(path, true, true);
        t->GoRecord(1);
        t->PutText(1, "changed");
        t->PutRecord(1);
    }
    ds.Delete();
    auto t = GSO_dBHandler::Open(path, true, true);
    t->GoRecord(1);
    EXPECT_TRUE(t->IsDeleted());
    EXPECT_EQ(TrimRightBlanks(t->GetText(1)), "changed");
    EXPECT_TRUE(t->LockRecord());  // nothing is left locked
    t->Unlock();
}

TEST(RecordLocks, AFailedEditLeavesTheRecordShownAsItWasAndALaterEditReadsUnderTheLock) {
    testutil::TempDir dir;
    SharedTable(dir);
    TRidedezDataSet ds;
    OpenShared(ds, dir);
    testutil::Pipe toChild, toParent;
    const pid_t child = EditInChild(dir, toChild, toParent);
    ASSERT_EQ(toParent.Receive(), 'e');
    // A writer that ignores the lock changes the record meanwhile: the failed Edit must
    // not have read it (it reads only under the lock), so the record shows as it was.
    {
        auto t = GSO_dBHandler::Open(dir.File("S.DBF"), true, true);
        t->GoRecord(1);
        t->PutText(1, "sneaked");
        t->PutRecord(1);
    }
    EXPECT_EQ(ErrorText([&] { ds.Edit(); }), kLocked);
    EXPECT_EQ(ds.FieldByName("NAME").AsString(), "one");
    toChild.Send('p');
    EXPECT_EQ(toParent.Receive(), 'd');
    EXPECT_EQ(testutil::Wait(child), 0);
    ds.Edit();
    EXPECT_EQ(ds.FieldByName("NAME").AsString(), "child");
    ds.FieldByName("NAME").SetAsString("parent");
    ds.Post();
    ds.Refresh();
    EXPECT_EQ(ds.FieldByName("NAME").AsString(), "parent");
}

// ---- cursor, bookmarks, aliases, record count -------------------------------------------

TEST(EditSafetyCursor, RecNoReadsTheRecordOfThatNumberVisibleOrNot) {
    testutil::TempDir dir;
    const std::string path = dir.File("T.DBF");
    CreateDBFTable(path, 0x03, dstest::Defs({"N:C:5"}));
    dstest::AppendRaw(path, {{"1"}, {"2"}, {"3"}, {"4"}});
    dstest::MarkDeleted(path, 3);
    TRidedezDataSet ds;
    ds.SetDatabaseName(dir.Path());
    ds.SetTableName("T.DBF");
    ds.Open();
    ds.SetRecNo(3);
    EXPECT_EQ(ds.RecNo(), 3);
    EXPECT_EQ(ds.Field(0).AsString(), "3");
    ds.Next();
    EXPECT_EQ(ds.RecNo(), 4);
}

TEST(EditSafetyCursor, NegativeAndMalformedBookmarksAreRefused) {
    testutil::TempDir dir;
    const std::string path = dir.File("T.DBF");
    CreateDBFTable(path, 0x03, dstest::Defs({"N:C:5"}));
    dstest::AppendRaw(path, {{"1"}, {"2"}});
    TRidedezDataSet ds;
    ds.SetDatabaseName(dir.Path());
    ds.SetTableName("T.DBF");
    ds.Open();
    ds.Next();
    for (const std::string& bad : {std::string("        -3") + '\0', std::string("-1"), std::string("1 2"),
                                   std::string("   "), std::string("99999999999")}) {
        EXPECT_EQ(ErrorText([&] { ds.GotoBookmark(bad); }), "Bookmark is invalid for table T.DBF") << bad;
        EXPECT_EQ(ds.RecNo(), 2) << bad;
    }
    int32_t n = 0;
    EXPECT_FALSE(ParseBookmark("        -3", n));
    ds.GotoBookmark(MakeBookmark(1));
    EXPECT_EQ(ds.RecNo(), 1);
}

TEST(EditSafetyAliases, AByteOrderMarkBeforeTheFirstSectionIsSkipped) {
    TProfileFile p = TProfileFile::FromText("\xEF\xBB\xBF[Alias]\r\nData=/srv/data\r\n");
    EXPECT_EQ(p.EntryNames("Alias"), (std::vector<std::string>{"Data"}));
    EXPECT_EQ(p.ReadString("Alias", "Data"), "/srv/data");
    // Only at the very start: elsewhere the bytes are part of the text.
    TProfileFile q = TProfileFile::FromText("[Alias]\nX=\xEF\xBB\xBF/a\n");
    EXPECT_EQ(q.ReadString("Alias", "X"), "\xEF\xBB\xBF/a");
    testutil::TempDir dir;
    const std::string text = "\xEF\xBB\xBF[Alias]\nBOMDATA=/srv/bom\n";
    testutil::WriteBytes(dir.File("ridedez.cfg"), std::vector<uint8_t>(text.begin(), text.end()));
    const std::string saved = platform::ConfigDirectory();
    platform::SetConfigDirectory(dir.Path());
    LoadAliasList();
    EXPECT_EQ(TableDirectory("bomdata"), "/SRV/BOM/");
    platform::SetConfigDirectory(saved);
    LoadAliasList();
}

TEST(EditSafetyCount, ASharedDatasetCountsRecordsOtherProgramsAppended) {
    testutil::TempDir dir;
    const std::string path = SharedTable(dir);
    TRidedezDataSet ds;
    OpenShared(ds, dir);
    EXPECT_EQ(ds.RecordCount(), 2);
    const pid_t child = testutil::Spawn([&] {
        auto t = GSO_dBHandler::Open(path, true, true);
        for (int i = 0; i < 3; ++i) {
            t->BlankRecord();
            t->PutText(1, "more");
            t->AddRecord();
        }
        return 0;
    });
    ASSERT_EQ(testutil::Wait(child), 0);
    EXPECT_EQ(ds.RecordCount(), 5);
}
