#include "app/InfoTableModel.h"

#include "app/DisplayFonts.h"
#include "app/texts/KazTexts.h"
#include "dataset/RidedezDataSet.h"

#include <QBrush>

namespace {
const char* const kFields[TInfoTableModel::kColumns] = {"NAME", "VARIANT", "COUNT", "TRUECOUNT", "DATE"};
}

TInfoTableModel::TInfoTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void TInfoTableModel::SetDataSet(TRidedezDataSet* dataset) {
    dataset_ = dataset;
    Reload();
}

void TInfoTableModel::Reload() {
    // Rows go and come; the columns (and the widths the grid gave them) stay.
    if (!rows_.isEmpty()) {
        beginRemoveRows({}, 0, int(rows_.size()) - 1);
        rows_.clear();
        endRemoveRows();
    }
    nextRecNo_ = 1;
    atEnd_ = !dataset_ || !dataset_->Active();
    currentRecNo_ = 0;
    if (!atEnd_ && !dataset_->IsEmpty()) currentRecNo_ = dataset_->RecNo();
    fetchBlock();
}

int TInfoTableModel::fetchBlock() {
    if (atEnd_) return 0;
    QVector<Row> block;
    int last = nextRecNo_ - 1;
    const int32_t n = dataset_->ScanRecords(nextRecNo_, kBlock, [&](int32_t recNo) {
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
    nextRecNo_ = last + 1;
    if (!block.isEmpty()) {
        beginInsertRows({}, int(rows_.size()), int(rows_.size() + block.size() - 1));
        rows_ += block;
        endInsertRows();
    }
    return int(block.size());
}

int TInfoTableModel::CurrentRow() {
    if (currentRecNo_ <= 0) return -1;
    for (;;) {
        if (!rows_.isEmpty() && rows_.back().recNo >= currentRecNo_) break;
        if (fetchBlock() == 0) break;
    }
    for (int i = 0; i < rows_.size(); ++i)
        if (rows_[i].recNo == currentRecNo_) return i;
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

int TInfoTableModel::IndicatorRow() const {
    for (int i = 0; i < rows_.size(); ++i)
        if (rows_[i].recNo == currentRecNo_) return i;
    return -1;
}

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
    switch (role) {
        case Qt::DisplayRole: return Disp(kTitles[section]);
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
