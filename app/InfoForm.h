#pragma once
// The results window: the results log in a read-only grid, narrowed to the names that
// hold the text of the search box, in the order chosen by a click on the title of the
// date, name or variant column.

#include "dataset/DataSource.h"

#include <QDialog>

class QLineEdit;
class QTableView;
class TRidedezDataSet;
class TfcLabel;
class TfcShapeBtn;
class TInfoTableModel;

class TInfoForm : public QDialog {
    Q_OBJECT
public:
    explicit TInfoForm(QWidget* parent = nullptr);
    ~TInfoForm() override;

    TfcLabel* QuestNoLabel = nullptr;
    QLineEdit* SearchEdit = nullptr;
    QTableView* DBGrid1 = nullptr;
    TfcShapeBtn* CloseBtn = nullptr;
    // Writes the log to a CSV file chosen in the standard save dialog.
    TfcShapeBtn* ExportBtn = nullptr;
    TDataSource DataSource1;
    TInfoTableModel* Model() const { return model_; }

    // The width of a column in design units: NAME's is fixed, the others follow the
    // field's display width and the title.
    static int DesignColumnWidth(int column);

public slots:
    void FormCreate();
    void CloseBtnClick();
    void DBGrid1RowChanged(int row);
    void ExportBtnClick();
    void SearchEditChange();
    // A click on a column title: the name, variant and date columns choose the order.
    void DBGrid1TitleClick(int column);
    // The order shown (by date until a title is clicked).
    int OrderColumn() const;

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    // The log when it is open, else null.
    TRidedezDataSet* OpenLog() const;
    // Reads the grid again and puts its cursor on the log's current record.
    void ShowCurrent();
    // Shows the log in `order_`, the title of its column marked.
    void ApplyOrder();

    int order_ = 0;  // TResultsOrder

    TInfoTableModel* model_ = nullptr;
};
