#pragma once
// The results grid's view of a dataset: one row per visible record in the dataset's
// order, fetched in blocks as the grid scrolls to them (so a huge table opens at once),
// read-only. The columns are the log's NAME, VARIANT, COUNT, TRUECOUNT and DATE; the row
// of the dataset's current record carries the record indicator. A change of the
// dataset's records made elsewhere (a result appended while the grid shows) makes the
// model read them again once control returns to the event loop.

#include <QAbstractTableModel>
#include <QFont>
#include <QVector>

#include "dataset/DataSource.h"

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
    // Whether a re-reading is waiting for the event loop.
    bool ReloadPending() const { return reloadPending_; }
    // Runs `change` on the dataset (a move or a new order of the window's own) without
    // taking its events for a change made elsewhere.
    template <class F>
    void OwnChange(F change) {
        const bool was = ownChange_;
        ownChange_ = true;
        struct Reset {
            bool& flag;
            bool value;
            ~Reset() { flag = value; }
        } reset{ownChange_, was};
        change();
    }
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

signals:
    // The rows were read again; the grid puts its cursor on CurrentRow().
    void Reloaded();

public:
    // The cell font of a column, and the font of the column titles.
    static QFont ColumnFont(int column);
    static QFont TitleFont();
    QFont ScaledColumnFont(int column) const;
    QFont ScaledTitleFont() const;

private:
    // Tells the model what happens to its dataset.
    class Link : public TDataLink {
    public:
        explicit Link(TInfoTableModel& model) : model_(model) {}

    protected:
        void ActiveChanged() override { model_.DataChanged(); }
        void DataSetChanged() override { model_.DataChanged(); }
        void DataSetScrolled() override { model_.CursorMoved(); }
        void RecordChanged(TField*) override {}

    private:
        TInfoTableModel& model_;
    };
    void DataChanged();
    void CursorMoved();
    void ReloadNow();
    // Index of the row showing `recNo` among rows [from, end), or -1.
    int FindRow(int recNo, int from = 0) const;

    struct Row {
        int recNo = 0;
        QString cells[kColumns];
    };
    // Reads the next block; answers the rows read.
    int fetchBlock();

    TRidedezDataSet* dataset_ = nullptr;
    QVector<Row> rows_;
    int lastRecNo_ = 0;  // the reading goes on after this record (0: from the first)
    TDataSource source_;
    Link link_{*this};
    bool ownChange_ = false;
    bool reloadPending_ = false;
    bool atEnd_ = true;
    int currentRecNo_ = 0;
    double fontScale_ = 1.0;
};
