#pragma once
// The results window: the results log in a read-only grid.

#include "dataset/DataSource.h"

#include <QDialog>

class QTableView;
class TfcLabel;
class TfcShapeBtn;
class TInfoTableModel;

class TInfoForm : public QDialog {
    Q_OBJECT
public:
    explicit TInfoForm(QWidget* parent = nullptr);
    ~TInfoForm() override;

    TfcLabel* QuestNoLabel = nullptr;
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

protected:
    void showEvent(QShowEvent* e) override;

private:
    TInfoTableModel* model_ = nullptr;
};
