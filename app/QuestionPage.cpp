#include "app/QuestionPage.h"

#include "app/DisplayFonts.h"
#include "app/FormStyle.h"
#include "app/RadioGroup.h"
#include "app/texts/KazTexts.h"
#include "controls/FcLabel.h"
#include "controls/FcShapeBtn.h"
#include "controls/FcStatusBar.h"

#include <QDialog>
#include <QFrame>

namespace {

TfcLabel* MakeTextLabel(QDialog* form, const char* name, int left, int top, int width, int height) {
    auto* l = new TfcLabel(form);
    l->setObjectName(QString::fromLatin1(name));
    StyleLabel(l, 17, form->palette().color(QPalette::WindowText));
    l->SetAutoSize(false);
    l->TextOptions().SetWordWrap(true);
    l->TextOptions().SetStyle(fclsDefault);
    Place(l, left, top, width, height);
    return l;
}

TfcShapeBtn* MakeButton(QDialog* form, const char* name, std::string_view text, int left) {
    auto* b = new TfcShapeBtn(form);
    b->setObjectName(QString::fromLatin1(name));
    StyleShapeButton(b, text, false, false);
    b->SetShape(bsRoundRect);
    Place(b, left, 475, 170, 35);
    return b;
}

}  // namespace

QuestionPage BuildQuestionPage(QDialog* form) {
    QuestionPage p;
    StyleForm(form, FrameKind::Dialog, 789, 542);

    p.Bevel1 = new QFrame(form);
    p.Bevel1->setObjectName(QStringLiteral("Bevel1"));
    p.Bevel1->setFrameShape(QFrame::Box);
    p.Bevel1->setFrameShadow(QFrame::Sunken);
    Place(p.Bevel1, 90, 108, 668, 357);

    p.QuestNoLabel = new TfcLabel(form);
    p.QuestNoLabel->setObjectName(QStringLiteral("QuestNoLabel"));
    StyleLabel(p.QuestNoLabel, 20, kMaroon);
    p.QuestNoLabel->TextOptions().SetStyle(fclsLowered);
    Place(p.QuestNoLabel, 17, 5, 158, 22);
    p.QuestNoLabel->SetAutoSize(true);
    p.QuestNoLabel->SetCaption(Disp(kaztexts::kQuestNoFirst));

    p.QuestLabel = MakeTextLabel(form, "QuestLabel", 35, 35, 725, 71);
    p.Answers = {MakeTextLabel(form, "ALabel", 100, 137, 653, 56), MakeTextLabel(form, "BLabel", 100, 205, 652, 56),
                 MakeTextLabel(form, "CLabel", 100, 273, 653, 56), MakeTextLabel(form, "DLabel", 100, 341, 653, 56),
                 MakeTextLabel(form, "ELabel", 100, 409, 655, 52)};

    p.RadioGroup = new TRadioGroup(form);
    p.RadioGroup->setObjectName(QStringLiteral("RadioGroup"));
    p.RadioGroup->setFont(ArialFont(19, true));
    Place(p.RadioGroup, 30, 98, 54, 366);
    QStringList letters;
    for (std::string_view l : kaztexts::kAnswerLetters) letters << Disp(l);
    p.RadioGroup->SetItems(letters);

    p.OKBtn = MakeButton(form, "OKBtn", kaztexts::kBtnNext, 218);
    p.CloseBtn = MakeButton(form, "CloseBtn", kaztexts::kBtnExit, 402);

    p.StatusBar = new TfcStatusBar(form);
    p.StatusBar->setObjectName(QStringLiteral("StatusBar"));
    p.StatusBar->setFont(KazakhFont(19));
    p.StatusBar->SetSizeGrip(false);
    p.StatusBar->SetSimplePanel(false);
    Place(p.StatusBar, 0, 517, 789, 25);
    const std::pair<const char*, std::pair<const char*, std::string_view>> panels[] = {
        {"Panel1", {"350", kaztexts::kStatusCountPrefix}}, {"Panel2", {"50", kaztexts::kStatusRightPrefix}}};
    for (const auto& [name, rest] : panels) {
        TfcStatusPanel* panel = p.StatusBar->Panels().Add();
        panel->SetName(QString::fromLatin1(name));
        panel->SetWidth(QString::fromLatin1(rest.first));
        panel->SetFont(KazakhFont(15));
        panel->TextOptions().SetStyle(fclsLowered);
        panel->TextOptions().SetAlignment(taLeftJustify);
        panel->TextOptions().SetVAlignment(vaTop);
        panel->SetText(Disp(rest.second));
    }
    return p;
}
