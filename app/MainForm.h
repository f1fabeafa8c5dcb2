#pragma once
// The main window: the variant, the candidate's name with the names memory, and the
// buttons for the test, the review, the results, the About text and leaving.

#include "dataset/RidedezDataSet.h"

#include <QWidget>

class QComboBox;
class TfcLabel;
class TfcShapeBtn;

class TMainForm : public QWidget {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    TfcLabel* fcLabel1 = nullptr;
    TfcLabel* fcLabel2 = nullptr;
    QComboBox* VarCombo = nullptr;
    QComboBox* ComboName = nullptr;
    TfcShapeBtn* fcShapeBtn1 = nullptr;
    TfcShapeBtn* fcShapeBtn2 = nullptr;
    TfcShapeBtn* fcShapeBtn3 = nullptr;
    TfcShapeBtn* fcShapeBtn4 = nullptr;
    TfcShapeBtn* fcShapeBtn5 = nullptr;

    TRidedezDataSet NameTable;
    TRidedezDataSet InfoTable;

    // The chosen variant ("1" to "30") and the typed name, as display bytes.
    std::string VariantText() const;
    std::string NameText() const;

public slots:
    void FormCreate();
    void ComboNameEnter();
    void ComboNameExit();
    void fcShapeBtn1Click();
    void fcShapeBtn2Click();
    void fcShapeBtn3Click();
    void fcShapeBtn4Click();
    void fcShapeBtn5Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    TfcShapeBtn* makeButton(const char* name, std::string_view text, int top);
    bool centred_ = false;
};
