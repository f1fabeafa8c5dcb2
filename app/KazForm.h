#pragma once
// The message dialog: one label with the message and the button "Мейлi".

#include <QDialog>
#include <string_view>

class TfcLabel;
class TfcShapeBtn;

class TKazForm : public QDialog {
    Q_OBJECT
public:
    explicit TKazForm(QWidget* parent = nullptr);

    // Replaces the message; a lone carriage return starts a new line as CR LF does.
    void SetMessage(std::string_view displayText);

    TfcLabel* QLabel = nullptr;
    TfcShapeBtn* fcShapeBtn2 = nullptr;

public slots:
    void FormCreate();
    void fcShapeBtn2Click();
};
