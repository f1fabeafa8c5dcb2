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
#include "app/tables/ResultsIndex.h"
#include "app/tables/ResultsSearch.h"
#include "engine/Exception.h"
#include "app/texts/KazQString.h"
#include "app/texts/KazTexts.h"
#include "controls/FcLabel.h"
#include "controls/FcShapeBtn.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QFontMetrics>
#include <QSaveFile>
#include <QHeaderView>
#include <QHideEvent>
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
    DBGrid1->horizontalHeader()->setSectionsClickable(true);
    DBGrid1->horizontalHeader()->setSortIndicatorShown(true);
    connect(DBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { RunHandler([this, column] { DBGrid1TitleClick(column); }); });
    DBGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DBGrid1->verticalHeader()->setDefaultSectionSize(QFontMetrics(ArialFont(19, true)).height() + 4);
    DBGrid1->verticalHeader()->setMinimumWidth(12);
    Place(DBGrid1, 26, 55, 617, 340);
    for (int c = 0; c < TInfoTableModel::kColumns; ++c) DBGrid1->setColumnWidth(c, DesignColumnWidth(c));
    connect(model_, &TInfoTableModel::Reloaded, this, [this] { RunHandler([this] { ShowCurrent(); }); });
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

    SearchEdit = new QLineEdit(this);
    SearchEdit->setObjectName(QStringLiteral("SearchEdit"));
    SearchEdit->setFont(ArialFont(17, true));
    SearchEdit->setMaxLength(15);
    SearchEdit->setClearButtonEnabled(true);
    SearchEdit->setPlaceholderText(Disp(kaztexts::kSearchHint));
    SetWidgetColor(SearchEdit, QPalette::Text, kNavy);
    Place(SearchEdit, 26, 420, 210, 29);
    connect(SearchEdit, &QLineEdit::textChanged, this, [this] { RunHandler([this] { SearchEditChange(); }); });

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
    if (recNo > 0 && info && info->Active() && info->RecNo() != recNo)
        model_->OwnChange([&] { info->SetRecNo(recNo); });
}

TRidedezDataSet* TInfoForm::OpenLog() const {
    TRidedezDataSet* info = MainForm ? &MainForm->InfoTable : nullptr;
    return info && info->Active() ? info : nullptr;
}

void TInfoForm::ShowCurrent() {
    model_->Reload();
    const int row = model_->CurrentRow();
    if (row >= 0) {
        // Setting the grid's cursor is not a move of the log's.
        model_->OwnChange([&] { DBGrid1->setCurrentIndex(model_->index(row, 0)); });
        DBGrid1->scrollTo(model_->index(row, 0));
    }
}

void TInfoForm::SearchEditChange() {
    TRidedezDataSet* info = OpenLog();
    if (!info || !isVisible()) return;
    const std::string text = kaztexts::FromQString(SearchEdit->text());
    model_->OwnChange([&] { SetResultsSearch(*info, text); });
    ShowCurrent();
}

int TInfoForm::OrderColumn() const {
    switch (static_cast<TResultsOrder>(order_)) {
        case TResultsOrder::roName: return 0;
        case TResultsOrder::roVariant: return 1;
        default: return 4;
    }
}

void TInfoForm::DBGrid1TitleClick(int column) {
    switch (column) {
        case 0: order_ = static_cast<int>(TResultsOrder::roName); break;
        case 1: order_ = static_cast<int>(TResultsOrder::roVariant); break;
        case 4: order_ = static_cast<int>(TResultsOrder::roDate); break;
        default: break;  // the counts give no order
    }
    ApplyOrder();
    ShowCurrent();
}

void TInfoForm::ApplyOrder() {
    DBGrid1->horizontalHeader()->setSortIndicator(OrderColumn(), Qt::AscendingOrder);
    TRidedezDataSet* info = OpenLog();
    if (!info || !isVisible()) return;
    model_->OwnChange([&] { SetResultsOrder(*info, static_cast<TResultsOrder>(order_)); });
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
        {
            const QSignalBlocker quiet(SearchEdit);
            SearchEdit->clear();
        }
        ApplyOrder();
        model_->SetDataSet(info);
        ShowCurrent();
    });
}

void TInfoForm::hideEvent(QHideEvent* e) {
    QDialog::hideEvent(e);
    if (e->spontaneous()) return;
    // The rest of the program sees the log as it keeps it: every record, in record order.
    RunHandler([this] {
        if (TRidedezDataSet* info = OpenLog()) {
            model_->OwnChange([&] {
                SetResultsSearch(*info, "");
                info->SetIndexName("");
            });
        }
    });
}
