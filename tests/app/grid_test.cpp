// The results window: its grid over the live log, read-only, lazy, on the current record.

#include "AppFixture.h"

#include "app/InfoTableModel.h"
#include "app/SaveFileChooser.h"
#include "app/texts/KazQString.h"
#include "app/texts/KazTexts.h"

#include <QHeaderView>
#include <QTableView>
#include <sys/stat.h>

using namespace apptest;

TEST_F(AppTest, ResultsGridShowsTheLogReadOnlyOnTheRecordJustAppended) {
    MakeQuestionTable("1", MakeQuestions(1));
    MakeInfoTable({{"Aigul", "2", 25, 20, EncodeDate(2024, 5, 18)}, {"Bolat", "3", 30, 6, EncodeDate(2024, 5, 19)}});
    StartProgram();
    MainForm->ComboName->setEditText(QString::fromUtf8("Иван"));
    Click(MainForm->fcShapeBtn1);
    ClickAnswer(RightItem());
    Click(TestForm->OKBtn);
    KazForm->hide();

    Click(MainForm->fcShapeBtn3);
    ASSERT_TRUE(InfoForm->isVisible());
    ASSERT_TRUE(errors.empty());
    QAbstractItemModel* m = InfoForm->DBGrid1->model();
    ASSERT_EQ(m->rowCount(), 3);
    ASSERT_EQ(m->columnCount(), 5);
    const std::string_view titles[] = {kaztexts::kGridName, kaztexts::kGridVariant, kaztexts::kGridCount,
                                       kaztexts::kGridAnswers, kaztexts::kGridDate};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(kaztexts::FromQString(m->headerData(c, Qt::Horizontal).toString()), titles[c]);
        const QFont f = m->headerData(c, Qt::Horizontal, Qt::FontRole).value<QFont>();
        EXPECT_TRUE(f.bold());
        EXPECT_EQ(f.pixelSize(), 15);
        EXPECT_EQ(f.families().front(), QStringLiteral("Helv/Kazakh"));
    }
    EXPECT_EQ(m->data(m->index(0, 0)).toString(), QStringLiteral("Aigul"));
    EXPECT_EQ(m->data(m->index(1, 2)).toString(), QStringLiteral("30"));
    EXPECT_EQ(m->data(m->index(1, 3)).toString(), QStringLiteral("6"));
    EXPECT_EQ(m->data(m->index(2, 0)).toString(), QString::fromUtf8("Иван"));
    EXPECT_EQ(m->data(m->index(2, 1)).toString(), QStringLiteral("1"));
    EXPECT_EQ(m->data(m->index(2, 4)).toString(), QStringLiteral("20.05.2024"));
    EXPECT_EQ(m->data(m->index(0, 0), Qt::FontRole).value<QFont>().pixelSize(), 17);
    EXPECT_EQ(m->data(m->index(0, 2), Qt::FontRole).value<QFont>().pixelSize(), 19);
    EXPECT_EQ(m->data(m->index(0, 3), Qt::ForegroundRole).value<QBrush>().color(), QColor(0x80, 0, 0));
    EXPECT_EQ(m->data(m->index(0, 1), Qt::ForegroundRole).value<QBrush>().color(), QColor(0, 0, 0x80));
    EXPECT_EQ(InfoForm->DBGrid1->columnWidth(0), 176);
    for (int c = 1; c < 5; ++c) EXPECT_GE(InfoForm->DBGrid1->columnWidth(c), 20);

    // Positioned on the current record, the one just appended.
    EXPECT_EQ(InfoForm->DBGrid1->currentIndex().row(), 2);
    EXPECT_EQ(m->headerData(2, Qt::Vertical).toString(), QString(QChar(0x25B6)));
    EXPECT_TRUE(m->headerData(0, Qt::Vertical).toString().isEmpty());

    // No editing, by keys or by double click.
    EXPECT_FALSE(m->flags(m->index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_EQ(InfoForm->DBGrid1->editTriggers(), QAbstractItemView::NoEditTriggers);
    QTest::keyClick(InfoForm->DBGrid1, Qt::Key_F2);
    QTest::keyClick(InfoForm->DBGrid1, Qt::Key_Delete);
    EXPECT_EQ(ReadLog().size(), 3u);

    Click(InfoForm->CloseBtn);
    EXPECT_FALSE(InfoForm->isVisible());
}

TEST_F(AppTest, ResultsGridFetchesALargeLogInBlocks) {
    std::vector<LogRecord> many;
    for (int i = 0; i < 1000; ++i) many.push_back({"N" + std::to_string(i), "1", 10, i % 10, EncodeDate(2024, 5, 19)});
    MakeInfoTable(many);
    StartProgram();
    MainForm->InfoTable.First();
    Click(MainForm->fcShapeBtn3);
    auto* model = InfoForm->Model();
    EXPECT_EQ(model->FetchedRows(), TInfoTableModel::kBlock);
    EXPECT_TRUE(model->canFetchMore({}));
    model->fetchMore({});
    EXPECT_EQ(model->FetchedRows(), 2 * TInfoTableModel::kBlock);
    EXPECT_EQ(model->data(model->index(399, 0)).toString(), QStringLiteral("N399"));
    while (model->canFetchMore({})) model->fetchMore({});
    EXPECT_EQ(model->rowCount(), 1000);
    EXPECT_EQ(model->RecNoOfRow(999), 1000);
    // The reading did not move the dataset.
    EXPECT_EQ(MainForm->InfoTable.RecNo(), 1);
    Click(InfoForm->CloseBtn);
}

TEST_F(AppTest, ResultsWindowWithoutItsLogShowsAnEmptyGrid) {
    MakeNameTable({});
    CreateForms();
    errors.clear();
    MainForm->show();
    Click(MainForm->fcShapeBtn3);
    EXPECT_TRUE(InfoForm->isVisible());
    EXPECT_EQ(InfoForm->DBGrid1->model()->rowCount(), 0);
    EXPECT_TRUE(errors.empty());
}

TEST_F(AppTest, TheRecordIndicatorFollowsTheRowClickedAndMovesTheLog) {
    MakeInfoTable({{"Aigul", "2", 25, 20, EncodeDate(2024, 5, 18)},
                   {"Bolat", "3", 30, 6, EncodeDate(2024, 5, 19)},
                   {"Dana", "4", 10, 9, EncodeDate(2024, 5, 19)}});
    StartProgram();
    MainForm->InfoTable.Last();
    Click(MainForm->fcShapeBtn3);
    QAbstractItemModel* m = InfoForm->DBGrid1->model();
    const QString mark(QChar(0x25B6));
    ASSERT_EQ(m->headerData(2, Qt::Vertical).toString(), mark);
    // A click on the first row's cell moves the mark and the log's current record there.
    QTableView* grid = InfoForm->DBGrid1;
    const QRect cell = grid->visualRect(m->index(0, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(grid->currentIndex().row(), 0);
    EXPECT_EQ(m->headerData(0, Qt::Vertical).toString(), mark);
    EXPECT_TRUE(m->headerData(2, Qt::Vertical).toString().isEmpty());
    EXPECT_EQ(MainForm->InfoTable.RecNo(), 1);
    // So do the keys.
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(m->headerData(1, Qt::Vertical).toString(), mark);
    EXPECT_TRUE(m->headerData(0, Qt::Vertical).toString().isEmpty());
    EXPECT_EQ(MainForm->InfoTable.RecNo(), 2);
    // The mark is drawn in the indicator column of the clicked row.
    grid->viewport()->repaint();
    EXPECT_TRUE(errors.empty());
}

TEST_F(AppTest, ResultsExportToCsvThroughTheSaveDialog) {
    MakeInfoTable({{"\xC0\xF1\xBA\xE0\xF0", "2", 25, 20, EncodeDate(2024, 5, 18)},  // "Асқар"
                   {"Bolat, Jr \"B\"", "30", 30, 6, EncodeDate(2024, 5, 19)}});
    StartProgram();
    Click(MainForm->fcShapeBtn3);
    QString asked;
    const std::string out = File("export/results");
    ASSERT_EQ(mkdir(File("export").c_str(), 0700), 0);
    SetSaveFileChooser([&](QWidget*, const QString& caption, const QString& proposed, const QString&) {
        asked = caption;
        EXPECT_TRUE(proposed.endsWith(QStringLiteral(".csv")));
        return QString::fromStdString(out);
    });
    Click(InfoForm->ExportBtn);
    SetSaveFileChooser({});
    ASSERT_TRUE(errors.empty()) << errors.front().toStdString();
    EXPECT_FALSE(asked.isEmpty());
    // The name had no suffix: ".csv" is added.
    EXPECT_EQ(testutil::ReadText(out + ".csv"),
              "NAME,VARIANT,COUNT,TRUECOUNT,DATE\r\n"
              "\xD0\x90\xD1\x81\xD2\x9B\xD0\xB0\xD1\x80,2,25,20,2024-05-18\r\n"
              "\"Bolat, Jr \"\"B\"\"\",30,30,6,2024-05-19\r\n");
    // A cancelled dialog writes nothing; a folder that cannot be written is an error.
    SetSaveFileChooser([](QWidget*, const QString&, const QString&, const QString&) { return QString(); });
    Click(InfoForm->ExportBtn);
    EXPECT_TRUE(errors.empty());
    SetSaveFileChooser([&](QWidget*, const QString&, const QString&, const QString&) {
        return QString::fromStdString(File("no-such-folder/r.csv"));
    });
    Click(InfoForm->ExportBtn);
    SetSaveFileChooser({});
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].indexOf(QStringLiteral("r.csv")), -1) << errors[0].toStdString();
    EXPECT_EQ(ReadLog().size(), 2u);
}
