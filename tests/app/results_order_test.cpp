// The results window's search and orders: the grid narrowed to one candidate, the log
// in the order chosen through INFO.CDX, a result appended while the window shows, and
// an order file that is missing, damaged or stale.

#include "AppFixture.h"

#include "app/InfoTableModel.h"
#include "app/MoreTexts.h"
#include "app/tables/ResultsIndex.h"
#include "app/tables/ResultsLog.h"
#include "app/texts/KazQString.h"
#include "index/cdx/GSobjCDXFile.h"

#include <algorithm>

#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>

using namespace apptest;

namespace {

// "Асель" in the program's display bytes.
const std::string kAsel = "\xC0\xF1\xE5\xEB\xFC";

class ResultsOrder : public AppTest {
protected:
    void MakeLog() {
        MakeInfoTable({{"Bolat", "10", 25, 20, EncodeDate(2024, 5, 18)},
                       {"Aigul", "2", 30, 6, EncodeDate(2024, 5, 10)},
                       {kAsel, "30", 10, 9, EncodeDate(2024, 5, 19)},
                       {"aigul", "7", 12, 3, EncodeDate(2024, 5, 12)},
                       {"Dana", "2", 20, 11, EncodeDate(2024, 5, 11)}});
    }
    // Clicks the title of column `c`.
    void ClickTitle(int c) {
        QHeaderView* h = InfoForm->DBGrid1->horizontalHeader();
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                          QPoint(h->sectionViewportPosition(c) + h->sectionSize(c) / 2, h->height() / 2));
    }
    void Show() {
        Click(MainForm->fcShapeBtn3);
        ASSERT_TRUE(InfoForm->isVisible());
    }
    // Column `c` of every row, fetched to the end.
    std::vector<std::string> Column(int c) {
        TInfoTableModel* m = InfoForm->Model();
        while (m->canFetchMore({})) m->fetchMore({});
        std::vector<std::string> out;
        for (int r = 0; r < m->rowCount(); ++r) out.push_back(kaztexts::FromQString(m->data(m->index(r, c)).toString()));
        return out;
    }
    // The keys of a tag of INFO.CDX in its order (the file read afresh).
    std::vector<int32_t> TagRecords(const std::string& tagName) {
        auto table = GSO_dBHandler::Open(File("INFO.DBF"), false, true);
        GSobjCDXFile f(table.get(), false, false, true, false, File("INFO.CDX"));
        std::vector<int32_t> out;
        GSobjIndexTag* tag = f.FindTag(tagName);
        if (!tag) return out;
        for (int32_t r = tag->MoveTo(-3); r != 0 && out.size() < 100000; r = tag->MoveTo(-1)) out.push_back(r);
        return out;
    }
};

}  // namespace

TEST_F(ResultsOrder, TypingPartOfANameShowsOnlyThatCandidatesRows) {
    MakeLog();
    StartProgram();
    Show();
    ASSERT_EQ(Column(0).size(), 5u);
    InfoForm->SearchEdit->setFocus();
    TypeText(InfoForm->SearchEdit, QStringLiteral("GU"));
    ASSERT_TRUE(errors.empty()) << errors.front().toStdString();
    // Either case, anywhere in the name; the grid stays on the first row shown.
    EXPECT_EQ(Column(0), (std::vector<std::string>{"Aigul", "aigul"}));
    EXPECT_EQ(InfoForm->DBGrid1->currentIndex().row(), 0);
    EXPECT_EQ(MainForm->InfoTable.FieldByName("NAME").AsString(), "Aigul");
    // Letters outside ASCII, typed in lower case.
    InfoForm->SearchEdit->clear();
    TypeText(InfoForm->SearchEdit, QString::fromUtf8("сел"));
    EXPECT_EQ(Column(0), (std::vector<std::string>{kAsel}));
    TypeText(InfoForm->SearchEdit, QStringLiteral("x"));
    EXPECT_TRUE(Column(0).empty());
    EXPECT_EQ(InfoForm->DBGrid1->model()->rowCount(), 0);
    InfoForm->SearchEdit->clear();
    EXPECT_EQ(Column(0).size(), 5u);
    ASSERT_TRUE(errors.empty());
    // Closing the window leaves the log whole and in record order for the program.
    TypeText(InfoForm->SearchEdit, QStringLiteral("Dana"));
    Click(InfoForm->CloseBtn);
    EXPECT_FALSE(MainForm->InfoTable.Filtered());
    EXPECT_EQ(MainForm->InfoTable.IndexName(), "");
    EXPECT_EQ(MainForm->InfoTable.RecordCount(), 5);
    // And it opens again without the old search.
    Show();
    EXPECT_TRUE(InfoForm->SearchEdit->text().isEmpty());
    EXPECT_EQ(Column(0).size(), 5u);
}

TEST_F(ResultsOrder, ChangingTheOrderReordersTheRows) {
    MakeLog();
    StartProgram();
    Show();
    QAbstractItemModel* m = InfoForm->DBGrid1->model();
    QHeaderView* titles = InfoForm->DBGrid1->horizontalHeader();
    EXPECT_EQ(kaztexts::FromQString(m->headerData(0, Qt::Horizontal, Qt::ToolTipRole).toString()),
              kaztexts::kOrderByName);
    EXPECT_EQ(kaztexts::FromQString(m->headerData(4, Qt::Horizontal, Qt::ToolTipRole).toString()),
              kaztexts::kOrderByDate);
    EXPECT_FALSE(m->headerData(2, Qt::Horizontal, Qt::ToolTipRole).isValid());
    // By date at first, through the order file built in the data directory.
    EXPECT_EQ(titles->sortIndicatorSection(), 4);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"Aigul", "Dana", "aigul", "Bolat", kAsel}));
    EXPECT_EQ(access(File("INFO.CDX").c_str(), F_OK), 0);
    ClickTitle(0);
    EXPECT_EQ(titles->sortIndicatorSection(), 0);
    // Names in the order of their stored bytes (capitals first), then by date.
    EXPECT_EQ(Column(0), (std::vector<std::string>{"Aigul", "Bolat", "Dana", "aigul", kAsel}));
    ClickTitle(1);
    ClickTitle(1);  // a second click keeps the order
    EXPECT_EQ(titles->sortIndicatorOrder(), Qt::AscendingOrder);
    // Variants by their number, not their text.
    EXPECT_EQ(Column(1), (std::vector<std::string>{"2", "2", "7", "10", "30"}));
    EXPECT_EQ(Column(0)[0], "Aigul");  // the same variant by date
    // Searching keeps the order.
    TypeText(InfoForm->SearchEdit, QStringLiteral("aig"));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"2", "7"}));
    // The counts' titles give no order.
    ClickTitle(3);
    EXPECT_EQ(titles->sortIndicatorSection(), 1);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"2", "7"}));
    ClickTitle(4);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"Aigul", "aigul"}));
    ASSERT_TRUE(errors.empty()) << errors.front().toStdString();
}

TEST_F(ResultsOrder, AResultAppendedWhileTheWindowShowsAppearsInItsPlace) {
    MakeLog();
    StartProgram();
    Show();
    ClickTitle(0);
    ASSERT_EQ(Column(0).size(), 5u);
    // A scored test ends while the window is open (the log is written by the program).
    RecordResult(MainForm->InfoTable, "Bolat", "3", 15, 14);
    EXPECT_TRUE(InfoForm->Model()->ReloadPending());
    QCoreApplication::processEvents();
    EXPECT_EQ(Column(0), (std::vector<std::string>{"Aigul", "Bolat", "Bolat", "Dana", "aigul", kAsel}));
    EXPECT_EQ(Column(1)[2], "3");  // after Bolat's earlier result
    // The grid is on the record just appended, which is the log's current one.
    EXPECT_EQ(InfoForm->DBGrid1->currentIndex().row(), 2);
    EXPECT_EQ(MainForm->InfoTable.RecNo(), 6);
    EXPECT_EQ(MainForm->InfoTable.IndexName(), "BYNAME");
    // The engine kept the order file up to date: every tag holds the new record.
    EXPECT_EQ(TagRecords("BYNAME"), (std::vector<int32_t>{2, 1, 6, 5, 4, 3}));
    EXPECT_EQ(TagRecords("BYDATE").back(), 6);
    EXPECT_EQ(TagRecords("BYVARIANT").size(), 6u);
    ASSERT_TRUE(errors.empty()) << errors.front().toStdString();
}

TEST_F(ResultsOrder, ThePurgesPackRebuildsTheOrderFile) {
    MakeLog();
    StartProgram();
    Show();
    Click(InfoForm->CloseBtn);
    SetNow(2024, 6, 11);  // the results of 10 and 11 May are a month old
    RecordResult(MainForm->InfoTable, "Zere", "1", 10, 10);
    EXPECT_EQ(ReadLog().size(), 4u);
    // Bolat, Асель, aigul and Zere are records 1 to 4 now.
    EXPECT_EQ(TagRecords("BYDATE"), (std::vector<int32_t>{3, 1, 2, 4}));
    EXPECT_EQ(TagRecords("BYNAME"), (std::vector<int32_t>{1, 4, 3, 2}));
    Show();
    EXPECT_EQ(Column(0), (std::vector<std::string>{"aigul", "Bolat", kAsel, "Zere"}));
}

TEST_F(ResultsOrder, AMissingDamagedOrStaleOrderFileIsBuiltAgain) {
    MakeLog();
    // Damaged: bytes that are no CDX file.
    testutil::WriteBytes(File("INFO.CDX"), std::vector<uint8_t>(1536, 0x5A));
    StartProgram();
    EXPECT_TRUE(MainForm->InfoTable.IndexFiles().empty());  // not opened at start
    Show();
    ASSERT_TRUE(errors.empty()) << errors.front().toStdString();
    EXPECT_EQ(Column(0).size(), 5u);
    EXPECT_EQ(TagRecords("BYDATE"), (std::vector<int32_t>{2, 5, 4, 1, 3}));
    Click(InfoForm->CloseBtn);
    DestroyForms();

    // Stale: records appended by another program that did not keep it (one that ignores
    // the production-index mark, which is cleared for it here).
    {
        auto header = testutil::ReadBytes(File("INFO.DBF"));
        ASSERT_NE(header[28] & 1, 0);  // marked by the program's own order file
        header[28] = static_cast<uint8_t>(header[28] & ~1);
        testutil::WriteBytes(File("INFO.DBF"), header);
        TRidedezDataSet t;
        t.SetTableName("INFO.DBF");
        t.Open();
        t.AppendRecord({Text("Nurlan"), Text("4"), Integer(5), Integer(5), DateOf(EncodeDate(2024, 5, 1))});
    }
    CreateForms();
    MainForm->show();
    EXPECT_TRUE(MainForm->InfoTable.IndexFiles().empty());
    Show();
    EXPECT_EQ(Column(0).front(), "Nurlan");
    EXPECT_EQ(TagRecords("BYDATE").size(), 6u);
    Click(InfoForm->CloseBtn);
    DestroyForms();

    // Sound: opened at start and kept from then on.
    CreateForms();
    MainForm->show();
    EXPECT_EQ(MainForm->InfoTable.IndexFiles().size(), 1u);
    ASSERT_TRUE(errors.empty()) << errors.front().toStdString();
}

TEST_F(ResultsOrder, AnOrderFileTheCheckerFindsDamagedIsBuiltAgain) {
    MakeLog();
    StartProgram();
    Show();
    Click(InfoForm->CloseBtn);
    DestroyForms();
    const std::vector<int32_t> byName = TagRecords("BYNAME");
    ASSERT_EQ(byName.size(), 5u);

    // A key changed in its leaf: every tag still holds one key per record, but one of them
    // is no longer its record's key.
    auto bytes = testutil::ReadBytes(File("INFO.CDX"));
    const std::string bolat = "Bolat", spoilt = "Bolbt";
    auto at = std::search(bytes.begin(), bytes.end(), bolat.begin(), bolat.end());
    ASSERT_NE(at, bytes.end());
    std::copy(spoilt.begin(), spoilt.end(), at);
    testutil::WriteBytes(File("INFO.CDX"), bytes);
    EXPECT_EQ(TagRecords("BYNAME").size(), 5u);

    CreateForms();
    MainForm->show();
    EXPECT_TRUE(MainForm->InfoTable.IndexFiles().empty());  // not opened at start
    Show();
    ASSERT_TRUE(errors.empty()) << errors.front().toStdString();
    EXPECT_EQ(MainForm->InfoTable.IndexFiles().size(), 1u);
    bytes = testutil::ReadBytes(File("INFO.CDX"));
    EXPECT_EQ(std::search(bytes.begin(), bytes.end(), spoilt.begin(), spoilt.end()), bytes.end());
    EXPECT_EQ(TagRecords("BYNAME"), byName);
    EXPECT_EQ(Column(0).size(), 5u);
}
