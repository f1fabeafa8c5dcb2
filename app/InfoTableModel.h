#pragma once
// The results grid's view of a dataset: one row per visible record, fetched in blocks
// as the grid scrolls to them (so a huge table opens at once), read-only. The columns
// are the log's NAME, VARIANT, COUNT, TRUECOUNT and DATE; the row of the dataset's
// current record carries the record indicator.

#include <QAbstractTableModel>
#include <QFont>
#include <QVector>

class TRidedezDataSet;

class TInfoTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumns = 5;
    static constexpr int kBlock = 200;

    explicit TInfoTableModel(QObject* parent = nullptr);

    // Shows `dataset` (or nothing) from its first record again.
    void SetDataSet(TRidedezDataSet* dataset);
    TRidedezDataSet* DataSet() const { return dataset_; }
    // Re-reads the table from the start.
    void Reload();
    // The row of the dataset's current record, fetching up to it; -1 when none.
    int CurrentRow();
    // Makes the record of `row` the current one (the grid's cursor moved there): the
    // indicator follows. Answers its record number (0 for no such row).
    int SetCurrentRow(int row);
    // The row that carries the indicator, among the rows fetched (-1 when none).
    int IndicatorRow() const;
    // Cell and title fonts grow and shrink with the window (its scale factor).
    void SetFontScale(double factor);
    // The record number shown in a row.
    int RecNoOfRow(int row) const;
    int FetchedRows() const { return int(rows_.size()); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // The cell font of a column, and the font of the column titles.
    static QFont ColumnFont(int column);
    static QFont TitleFont();
    QFont ScaledColumnFont(int column) const;
    QFont ScaledTitleFont() const;

private:
    struct Row {
        int recNo = 0;
        QString cells[kColumns];
    };
    // Reads the next block; answers the rows read.
    int fetchBlock();

    TRidedezDataSet* dataset_ = nullptr;
    QVector<Row> rows_;
    int nextRecNo_ = 1;
    bool atEnd_ = true;
    int currentRecNo_ = 0;
    double fontScale_ = 1.0;
};
