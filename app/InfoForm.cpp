#include "app/InfoForm.h"

#include "app/AppState.h"
#include "app/DisplayFonts.h"
#include "app/ErrorBox.h"
#include "app/FormStyle.h"
#include "app/InfoTableModel.h"
#include "app/MainForm.h"
#include "app/MoreTexts.h"
#include "app/SaveFileChooser.h"
#include "app/ScreenScale.h"
#include "app/tables/ResultsCsv.h"
#include "engine/Exception.h"
#include "app/texts/KazTexts.h"
#include "controls/FcLabel.h"
#include "controls/FcShapeBtn.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QSaveFile>
#include <QHeaderView>
#include <QShowEvent>
#include <QTableView>

TInfoForm::TInfoForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("InfoForm"));
    StyleForm(this, FrameKind::Dialog, 669, 469);
    setWindowTitle(Disp(kaztexts::kInfoCaption));

    QuestNoLabel = new TfcLabel(this);
    QuestNoLabel->setObjectName(QStringLiteral("QuestNoLabel"));
    StyleLabel(QuestNoLabel, 20, kMaroon);
    QuestNoLabel->TextOptions().SetStyle(fclsLowered);
    QuestNoLabel->SetCaption(Disp(kaztexts::kInfoHeading));
    Place(QuestNoLabel, 51, 12, 548, 22);

    model_ = new TInfoTableModel(this);
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setFont(ArialFont(19, true));
    DBGrid1->setModel(model_);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    DBGrid1->setTabKeyNavigation(true);
    DBGrid1->setShowGrid(true);
    DBGrid1->setWordWrap(false);
    DBGrid1->horizontalHeader()->setFont(NamedFont(kaztexts::kGridTitleBaseFont, 13));
    DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    DBGrid1->horizontalHeader()->setHighlightSections(false);
    DBGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DBGrid1->verticalHeader()->setDefaultSectionSize(QFontMetrics(ArialFont(19, true)).height() + 4);
    DBGrid1->verticalHeader()->setMinimumWidth(12);
    Place(DBGrid1, 26, 55, 617, 340);
    for (int c = 0; c < TInfoTableModel::kColumns; ++c) DBGrid1->setColumnWidth(c, DesignColumnWidth(c));
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) RunHandler([this, row = current.row()] { DBGrid1RowChanged(row); });
            });

    CloseBtn = new TfcShapeBtn(this);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    StyleShapeButton(CloseBtn, kaztexts::kBtnExit, false, false);
    CloseBtn->SetShape(bsRoundRect);
    Place(CloseBtn, 250, 417, 170, 35);
    CloseBtn->OnClick = [this] { RunHandler([this] { CloseBtnClick(); }); };

    ExportBtn = new TfcShapeBtn(this);
    ExportBtn->setObjectName(QStringLiteral("ExportBtn"));
    StyleShapeButton(ExportBtn, kaztexts::kBtnExport, false, false);
    ExportBtn->SetShape(bsRoundRect);
    Place(ExportBtn, 440, 417, 170, 35);
    ExportBtn->OnClick = [this] { RunHandler([this] { ExportBtnClick(); }); };

    RunHandler([this] { FormCreate(); });
}

TInfoForm::~TInfoForm() = default;

int TInfoForm::DesignColumnWidth(int column) {
    if (column == 0) return 176;
    // Display widths of the fields: text of 2, small integers 6, a date 10 characters.
    static constexpr int kChars[TInfoTableModel::kColumns] = {15, 2, 6, 6, 10};
    static constexpr std::string_view kTitles[TInfoTableModel::kColumns] = {
        kaztexts::kGridName, kaztexts::kGridVariant, kaztexts::kGridCount, kaztexts::kGridAnswers,
        kaztexts::kGridDate};
    const QFontMetrics cell(TInfoTableModel::ColumnFont(column));
    const QFontMetrics title(TInfoTableModel::TitleFont());
    const int byField = cell.horizontalAdvance(QLatin1Char('0')) * kChars[column] + 4;
    const int byTitle = title.horizontalAdvance(Disp(kTitles[column])) + 8;
    return std::max(byField, byTitle);
}

void TInfoForm::FormCreate() {
    ScaleFormToScreen(this);
    model_->SetFontScale(FormScale(this).Value());
}

void TInfoForm::DBGrid1RowChanged(int row) {
    // The grid's cursor is the dataset's: the record indicator follows the current row.
    const int recNo = model_->SetCurrentRow(row);
    TRidedezDataSet* info = model_->DataSet();
    if (recNo > 0 && info && info->Active() && info->RecNo() != recNo) info->SetRecNo(recNo);
}

void TInfoForm::CloseBtnClick() { done(QDialog::Accepted); }

void TInfoForm::ExportBtnClick() {
    TRidedezDataSet* info = MainForm ? &MainForm->InfoTable : nullptr;
    if (!info || !info->Active()) throw Exception("The results log INFO.DBF is not open");
    QString path = ChooseSaveFile(this, Disp(kaztexts::kExportCaption), QStringLiteral("results.csv"),
                                  Disp(kaztexts::kExportFilter));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".csv");
    const std::string csv = ResultsCsv(*info);
    // Written beside and renamed into place: a failure leaves no half-written file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv.data(), qint64(csv.size())) != qint64(csv.size()) ||
        !file.commit())
        throw Exception("Could not write " + path.toStdString() + ": " + file.errorString().toStdString());
}

void TInfoForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (e->spontaneous()) return;
    RunHandler([this] {
        TRidedezDataSet* info = MainForm ? &MainForm->InfoTable : nullptr;
        DataSource1.SetDataSet(info);
        model_->SetDataSet(info);
        const int row = model_->CurrentRow();
        if (row >= 0) {
            DBGrid1->setCurrentIndex(model_->index(row, 0));
            DBGrid1->scrollTo(model_->index(row, 0));
        }
    });
}
