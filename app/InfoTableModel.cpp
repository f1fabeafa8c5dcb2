#include "app/InfoTableModel.h"

#include "app/DisplayFonts.h"
#include "app/MoreTexts.h"
#include "app/texts/KazTexts.h"
#include "dataset/RidedezDataSet.h"

#include <QBrush>
#include <QTimer>

namespace {
const char* const kFields[TInfoTableModel::kColumns] = {"NAME", "VARIANT", "COUNT", "TRUECOUNT", "DATE"};
}

TInfoTableModel::TInfoTableModel(QObject* parent) : QAbstractTableModel(parent) { link_.SetDataSource(&source_); }

void TInfoTableModel::SetDataSet(TRidedezDataSet* dataset) {
    dataset_ = dataset;
    source_.SetDataSet(dataset);
    Reload();
}

void TInfoTableModel::DataChanged() {
    if (!source_.DataSet()) dataset_ = nullptr;  // the dataset is gone
    if (ownChange_ || reloadPending_) return;
    reloadPending_ = true;
    // All the changes of one handler (a purge deletes many records) make one reading.
    QTimer::singleShot(0, this, [this] { ReloadNow(); });
}

void TInfoTableModel::ReloadNow() {
    if (!reloadPending_) return;
    Reload();
    emit Reloaded();
}

void TInfoTableModel::CursorMoved() {
    if (ownChange_ || !dataset_ || !dataset_->Active() || dataset_->IsEmpty()) return;
    const int old = IndicatorRow();
    currentRecNo_ = dataset_->RecNo();
    const int row = IndicatorRow();
    if (old >= 0) emit headerDataChanged(Qt::Vertical, old, old);
    if (row >= 0) emit headerDataChanged(Qt::Vertical, row, row);
}

void TInfoTableModel::Reload() {
    reloadPending_ = false;
    // Rows go and come; the columns (and the widths the grid gave them) stay.
    if (!rows_.isEmpty()) {
        beginRemoveRows({}, 0, int(rows_.size()) - 1);
        rows_.clear();
        endRemoveRows();
    }
    lastRecNo_ = 0;
    atEnd_ = !dataset_ || !dataset_->Active();
    currentRecNo_ = 0;
    if (!atEnd_ && !dataset_->IsEmpty()) currentRecNo_ = dataset_->RecNo();
    fetchBlock();
}

int TInfoTableModel::fetchBlock() {
    if (atEnd_) return 0;
    QVector<Row> block;
    int last = lastRecNo_;
    const int32_t n = dataset_->ScanInOrder(lastRecNo_, kBlock, [&](int32_t recNo) {
        Row r;
        r.recNo = recNo;
        for (int c = 0; c < kColumns; ++c) {
            TField& f = dataset_->FieldByName(kFields[c]);
            r.cells[c] = Disp(c == 4 ? f.DisplayText() : f.AsString());
        }
        block.push_back(r);
        last = recNo;
        return true;
    });
    if (n < kBlock) atEnd_ = true;
    lastRecNo_ = last;
    if (!block.isEmpty()) {
        beginInsertRows({}, int(rows_.size()), int(rows_.size() + block.size() - 1));
        rows_ += block;
        endInsertRows();
    }
    return int(block.size());
}

int TInfoTableModel::CurrentRow() {
    if (currentRecNo_ <= 0) return -1;
    int from = 0;
    for (;;) {
        const int row = FindRow(currentRecNo_, from);
        if (row >= 0) return row;
        from = int(rows_.size());
        if (fetchBlock() == 0) return -1;
    }
}

int TInfoTableModel::FindRow(int recNo, int from) const {
    for (int i = from; i < rows_.size(); ++i)
        if (rows_[i].recNo == recNo) return i;
    return -1;
}

int TInfoTableModel::SetCurrentRow(int row) {
    const int recNo = RecNoOfRow(row);
    if (recNo <= 0 || recNo == currentRecNo_) return recNo;
    const int old = IndicatorRow();
    currentRecNo_ = recNo;
    if (old >= 0) emit headerDataChanged(Qt::Vertical, old, old);
    emit headerDataChanged(Qt::Vertical, row, row);
    return recNo;
}

int TInfoTableModel::IndicatorRow() const { return FindRow(currentRecNo_); }

namespace {
QFont Scaled(QFont f, double factor) {
    if (factor != 1.0 && f.pixelSize() > 0) f.setPixelSize(std::max(1, int(f.pixelSize() * factor + 0.5)));
    return f;
}
}  // namespace

void TInfoTableModel::SetFontScale(double factor) {
    fontScale_ = factor > 0 ? factor : 1.0;
    if (!rows_.isEmpty()) emit dataChanged(index(0, 0), index(int(rows_.size()) - 1, kColumns - 1), {Qt::FontRole});
    emit headerDataChanged(Qt::Horizontal, 0, kColumns - 1);
}

QFont TInfoTableModel::ScaledColumnFont(int column) const { return Scaled(ColumnFont(column), fontScale_); }
QFont TInfoTableModel::ScaledTitleFont() const { return Scaled(TitleFont(), fontScale_); }

int TInfoTableModel::RecNoOfRow(int row) const { return row >= 0 && row < rows_.size() ? rows_[row].recNo : 0; }

int TInfoTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

int TInfoTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QFont TInfoTableModel::ColumnFont(int column) {
    switch (column) {
        case 0:
        case 1:
        case 3: return ArialFont(17, true);
        default: return ArialFont(19, true);
    }
}

QFont TInfoTableModel::TitleFont() { return KazakhFont(15, true); }

QVariant TInfoTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size()) return {};
    const int c = index.column();
    switch (role) {
        case Qt::DisplayRole: return rows_[index.row()].cells[c];
        case Qt::FontRole: return ScaledColumnFont(c);
        case Qt::ForegroundRole:
            if (c == 0 || c == 1) return QBrush(kNavy);
            if (c == 3) return QBrush(kMaroon);
            return {};
        case Qt::TextAlignmentRole:
            return int((c == 2 || c == 3 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        default: return {};
    }
}

QVariant TInfoTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole)
            return section >= 0 && section < rows_.size() && rows_[section].recNo == currentRecNo_
                       ? QString(QChar(0x25B6))
                       : QString();
        return {};
    }
    static constexpr std::string_view kTitles[kColumns] = {kaztexts::kGridName, kaztexts::kGridVariant,
                                                           kaztexts::kGridCount, kaztexts::kGridAnswers,
                                                           kaztexts::kGridDate};
    if (section < 0 || section >= kColumns) return {};
    // The titles that choose an order say which.
    static constexpr std::string_view kOrders[kColumns] = {kaztexts::kOrderByName, kaztexts::kOrderByVariant, {}, {},
                                                           kaztexts::kOrderByDate};
    switch (role) {
        case Qt::DisplayRole: return Disp(kTitles[section]);
        case Qt::ToolTipRole: return kOrders[section].empty() ? QVariant() : QVariant(Disp(kOrders[section]));
        case Qt::FontRole: return ScaledTitleFont();
        case Qt::ForegroundRole: return QBrush(kNavy);
        default: return {};
    }
}

Qt::ItemFlags TInfoTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

bool TInfoTableModel::canFetchMore(const QModelIndex& parent) const { return !parent.isValid() && !atEnd_; }

void TInfoTableModel::fetchMore(const QModelIndex& parent) {
    if (!parent.isValid()) fetchBlock();
}
