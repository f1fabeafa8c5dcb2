#include "app/KazForm.h"

#include "app/DisplayFonts.h"
#include "app/ErrorBox.h"
#include "app/FormStyle.h"
#include "app/ScreenScale.h"
#include "app/MoreTexts.h"
#include "app/texts/KazTexts.h"
#include "controls/FcLabel.h"
#include "controls/FcShapeBtn.h"

#include <QShowEvent>

TKazForm::TKazForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("KazForm"));
    StyleForm(this, FrameKind::Dialog, 409, 140);
    // An empty title would make the window system show the application's name instead.
    setWindowTitle(Disp(kaztexts::kKazCaption).isEmpty() ? QStringLiteral(" ") : Disp(kaztexts::kKazCaption));

    QLabel = new TfcLabel(this);
    QLabel->setObjectName(QStringLiteral("QLabel"));
    StyleLabel(QLabel, 20, Qt::black);
    QLabel->SetAutoSize(false);
    QLabel->TextOptions().SetWordWrap(true);
    QLabel->TextOptions().SetStyle(fclsLowered);
    // Three lines (the final score) must fit the label's fixed height in the fallback
    // font too, whose lines are taller than the Kazakh font's.
    QLabel->TextOptions().SetLineSpacing(0);
    Place(QLabel, 17, 12, 387, 74);
    QLabel->SetCaption(Disp(kaztexts::kKazLabelSample));

    fcShapeBtn2 = new TfcShapeBtn(this);
    fcShapeBtn2->setObjectName(QStringLiteral("fcShapeBtn2"));
    StyleShapeButton(fcShapeBtn2, kaztexts::kBtnOk, true, false);
    fcShapeBtn2->SetShape(bsRoundRect);
    Place(fcShapeBtn2, 163, 91, 107, 35);
    fcShapeBtn2->OnClick = [this] { RunHandler([this] { fcShapeBtn2Click(); }); };
    setFocusProxy(fcShapeBtn2);

    ReviewBtn = new TfcShapeBtn(this);
    ReviewBtn->setObjectName(QStringLiteral("ReviewBtn"));
    StyleShapeButton(ReviewBtn, kaztexts::kBtnMistakes, true, false);
    ReviewBtn->SetShape(bsRoundRect);
    Place(ReviewBtn, 162, 91, 220, 35);
    ReviewBtn->hide();
    ReviewBtn->OnClick = [this] { RunHandler([this] { ReviewBtnClick(); }); };
    setTabOrder(fcShapeBtn2, ReviewBtn);

    RunHandler([this] { FormCreate(); });
}

void TKazForm::SetMessage(std::string_view displayText) {
    QString text = Disp(displayText);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    text.replace(QLatin1Char('\r'), QStringLiteral("\r\n"));
    // Three whole lines (the final score) must show in the fallback font too, whose lines
    // may be taller than the label at some sizes: it takes the room of three lines, down
    // to the button at most. Longer texts are cut at the bottom.
    const ScaleRatio r = FormScale(this);
    QLabel->resize(QLabel->width(), ScaleValue(74, r));
    QLabel->SetCaption(QStringLiteral("X\r\nX\r\nX"));
    FitLabelToText(QLabel, ScaleValue(89, r));
    QLabel->SetCaption(text);
}

void TKazForm::FormCreate() { ScaleFormToScreen(this); }

void TKazForm::OfferReview(bool on) {
    PlaceScaled(fcShapeBtn2, on ? 40 : 163, 91, 107, 35);
    ReviewBtn->setVisible(on);
}

void TKazForm::fcShapeBtn2Click() { accept(); }

void TKazForm::ReviewBtnClick() {
    reviewChosen_ = true;
    accept();
}

void TKazForm::showEvent(QShowEvent* e) {
    reviewChosen_ = false;
    QDialog::showEvent(e);
    fcShapeBtn2->setFocus(Qt::OtherFocusReason);
}
