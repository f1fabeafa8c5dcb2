#include "app/KazForm.h"

#include "app/DisplayFonts.h"
#include "app/ErrorBox.h"
#include "app/FormStyle.h"
#include "app/ScreenScale.h"
#include "app/texts/KazTexts.h"
#include "controls/FcLabel.h"
#include "controls/FcShapeBtn.h"

TKazForm::TKazForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("KazForm"));
    StyleForm(this, FrameKind::Dialog, 409, 140);
    setWindowTitle(Disp(kaztexts::kKazCaption));

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

    RunHandler([this] { FormCreate(); });
}

void TKazForm::SetMessage(std::string_view displayText) {
    QString text = Disp(displayText);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    text.replace(QLatin1Char('\r'), QStringLiteral("\r\n"));
    QLabel->SetCaption(text);
}

void TKazForm::FormCreate() { ScaleFormToScreen(this); }

void TKazForm::fcShapeBtn2Click() { accept(); }
