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

    // Offers the button "Қателерді қарау" beside "Мейлi" (after a scored test with wrong
    // answers), or takes it away again.
    void OfferReview(bool on);
    // Whether the dialog was last closed by "Қателерді қарау".
    bool ReviewChosen() const { return reviewChosen_; }

    TfcLabel* QLabel = nullptr;
    TfcShapeBtn* fcShapeBtn2 = nullptr;
    TfcShapeBtn* ReviewBtn = nullptr;

public slots:
    void FormCreate();
    void fcShapeBtn2Click();
    void ReviewBtnClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    bool reviewChosen_ = false;
};
