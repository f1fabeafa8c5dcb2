// Memo fields of the three memo kinds through THCBlobStream, with translation.

#include "DsHelpers.h"
#include "dataset/ApplicationErrors.h"
#include "dataset/HCBlobStream.h"

using dstest::Bytes;
using dstest::ErrorText;
using dstest::Hex;

namespace {

class MemoKinds : public ::testing::TestWithParam<int> {};

std::string MakeMemoTable(const testutil::TempDir& dir, uint8_t version) {
    const std::string path = dir.File("M.DBF");
    CreateDBFTable(path, version, dstest::Defs({"NAME:C:10", "NOTE:M"}));
    return path;
}

std::string ReadAll(TBlobStream& s) {
    std::string out(static_cast<size_t>(s.Size()) + 10, '\0');
    out.resize(static_cast<size_t>(s.Read(out.data(), static_cast<int32_t>(out.size()))));
    return out;
}

}  // namespace

TEST_P(MemoKinds, WrittenAndReadThroughTheStreamWithTranslation) {
    const uint8_t version = static_cast<uint8_t>(GetParam());
    testutil::TempDir dir;
    const std::string path = MakeMemoTable(dir, version);
    const std::string ansi = Bytes("CFF0E8E2E5F2") + ", memo " + std::string(600, 'x');  // "Привет, memo ..."
    {
        TRidedezDataSet ds;
        dstest::ConfigureExclusive(ds, dir.Path(), "M.DBF");
        ds.Open();
        ds.Append();
        ds.FieldByName("NAME").SetAsString("one");
        TField& note = ds.FieldByName("NOTE");
        EXPECT_TRUE(note.IsNull());
        {
            std::unique_ptr<TBlobStream> s = ds.CreateBlobStream(note, TBlobStreamMode::bmWrite);
            EXPECT_EQ(s->Write(ansi.data(), 10), 10);
            EXPECT_EQ(s->Write(ansi.data() + 10, static_cast<int32_t>(ansi.size() - 10)), static_cast<int32_t>(ansi.size() - 10));
            EXPECT_EQ(s->Size(), static_cast<int32_t>(ansi.size()));
        }
        ds.Post();
        EXPECT_FALSE(note.IsNull());
        EXPECT_EQ(note.AsString(), ansi);
        ds.AppendRecord({Text("two"), Text("second memo")});
        EXPECT_EQ(ds.FieldByName("NOTE").AsString(), "second memo");
    }
    // The memo file holds the OEM bytes.
    auto t = GSO_dBHandler::Open(path, false, true);
    t->GoRecord(1);
    EXPECT_EQ(Hex(t->MemoText(2).substr(0, 6)), "8FE0A8A2A5E2");
    EXPECT_EQ(t->MemoText(2).substr(6), ansi.substr(6));
    t->GoRecord(2);
    EXPECT_EQ(t->MemoText(2), "second memo");
}

TEST_P(MemoKinds, ReadWriteStreamReplacesFromThePositionAndReadsStopAtTheEnd) {
    const uint8_t version = static_cast<uint8_t>(GetParam());
    testutil::TempDir dir;
    MakeMemoTable(dir, version);
    TRidedezDataSet ds;
    dstest::ConfigureExclusive(ds, dir.Path(), "M.DBF");
    ds.Open();
    ds.AppendRecord({Text("a"), Text("0123456789")});
    TField& note = ds.FieldByName("NOTE");
    {
        std::unique_ptr<TBlobStream> r = ds.CreateBlobStream(note, TBlobStreamMode::bmRead);
        char buf[64] = {};
        EXPECT_EQ(r->Seek(7, TSeekOrigin::soBeginning), 7);
        EXPECT_EQ(r->Read(buf, 50), 3);  // only what remains
        EXPECT_EQ(std::string(buf, 3), "789");
        EXPECT_EQ(r->Read(buf, 50), 0);
        EXPECT_EQ(r->Seek(-4, TSeekOrigin::soEnd), 6);
        EXPECT_EQ(r->Seek(1, TSeekOrigin::soCurrent), 7);
        EXPECT_EQ(ErrorText([&] { ds.CreateBlobStream(note, TBlobStreamMode::bmReadWrite); }),
                  "Dataset not in edit or insert mode");
    }
    ds.Edit();
    {
        std::unique_ptr<TBlobStream> s = ds.CreateBlobStream(note, TBlobStreamMode::bmReadWrite);
        EXPECT_EQ(ReadAll(*s), "0123456789");
        s->Seek(4, TSeekOrigin::soBeginning);
        s->Write("AB", 2);
        EXPECT_EQ(s->Size(), 6);
    }
    ds.Post();
    EXPECT_EQ(note.AsString(), "0123AB");
    // Emptying the memo leaves an empty memo.
    ds.Edit();
    ds.CreateBlobStream(note, TBlobStreamMode::bmWrite).reset();
    ds.Post();
    EXPECT_EQ(note.AsString(), "");
    EXPECT_EQ(ds.CreateBlobStream(note, TBlobStreamMode::bmRead)->Size(), 0);
}

INSTANTIATE_TEST_SUITE_P(DBase3DBase4FoxPro, MemoKinds, ::testing::Values(0x83, 0x8B, 0xF5));

TEST(Memo, UntranslatedDatasetKeepsTheBytes) {
    testutil::TempDir dir;
    const std::string path = MakeMemoTable(dir, 0x83);
    const std::string text = Bytes("CFF0E8E2E5F2");
    TRidedezDataSet ds;
    ds.SetDatabaseName(dir.Path());
    ds.SetTableName("M.DBF");
    ds.SetTranslateASCII(false);
    ds.Open();
    ds.AppendRecord({Text(text), Text(text)});
    EXPECT_EQ(ds.FieldByName("NOTE").AsString(), text);
    ds.Close();
    auto t = GSO_dBHandler::Open(path, false, true);
    t->GoRecord(1);
    EXPECT_EQ(t->MemoText(2), text);
    EXPECT_EQ(t->GetText(1).substr(0, 6), text);
}

TEST(Memo, AMemoThatCannotBeWrittenFailsThePostAndNothingIsWritten) {
    testutil::TempDir dir;
    // A dBase III table whose memo file has gone: the write cannot succeed.
    const std::string path = MakeMemoTable(dir, 0x83);
    TRidedezDataSet ds;
    dstest::ConfigureExclusive(ds, dir.Path(), "M.DBF");
    ds.Open();
    ASSERT_EQ(std::remove(dir.File("M.DBT").c_str()), 0);
    std::vector<std::string> reported;
    TApplicationExceptionHandler old =
        SetApplicationExceptionHandler([&](const std::exception& e) { reported.push_back(e.what()); });
    ds.Append();
    ds.FieldByName("NAME").SetAsString("x");
    {
        std::unique_ptr<TBlobStream> s = ds.CreateBlobStream(ds.FieldByName("NOTE"), TBlobStreamMode::bmWrite);
        s->Write("abc", 3);
    }
    SetApplicationExceptionHandler(old);
    // The stream only handed its text to the dataset; the memo file is needed at Post,
    // which fails to its caller and leaves the insert pending.
    EXPECT_TRUE(reported.empty());
    EXPECT_EQ(ds.FieldByName("NOTE").AsString(), "abc");
    const std::string error = ErrorText([&] { ds.Post(); });
    EXPECT_NE(error.find("M.DBT"), std::string::npos) << error;
    EXPECT_EQ(ds.State(), TDataSetState::dsInsert);
    EXPECT_EQ(ds.FieldByName("NOTE").AsString(), "abc");
    ds.Cancel();
    EXPECT_EQ(ds.RecordCount(), 0);
    // Commit outside the edit and insert states stores nothing and leaves nothing pending.
    THCBlobStream s(ds, ds.FieldByName("NOTE"), TBlobStreamMode::bmWrite);
    s.Write("abc", 3);
    EXPECT_EQ(ErrorText([&] { s.Commit(); }), "");
    EXPECT_FALSE(s.Modified());
    ds.Close();
    auto t = GSO_dBHandler::Open(path, false, true);
    EXPECT_EQ(t->RecordCount(), 0);
}
