#include "app/MainForm.h"

#include "app/AppState.h"
#include "app/DisplayFonts.h"
#include "app/ErrorBox.h"
#include "app/FormStyle.h"
#include "app/InfoForm.h"
#include "app/tables/ResultsIndex.h"
#include "app/KazMessage.h"
#include "app/ModalRunner.h"
#include "app/tables/NameMemory.h"
#include "app/tables/ResultsLog.h"
#include "app/ScreenScale.h"
#include "app/TestForm.h"
#include "app/texts/KazQString.h"
#include "app/texts/KazTexts.h"
#include "controls/FcLabel.h"
#include "controls/FcShapeBtn.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListView>
#include <QScreen>

namespace {

void ConfigureTable(TRidedezDataSet& t, const char* name) {
    t.SetTableName(name);
    t.SetExclusive(true);
    t.SetTranslateASCII(true);
    t.SetUseDeleted(false);
    t.SetLockProtocol(TgsLokProtocol::Default);
    t.SetUserID(0);
}

void StyleCombo(QComboBox* c) {
    c->setFont(ArialFont(19));
    SetWidgetColor(c, QPalette::Text, kNavy);
    SetWidgetColor(c, QPalette::ButtonText, kNavy);
    c->setView(new QListView(c));
    SetWidgetColor(c->view(), QPalette::Text, kNavy);
    SetComboItemHeight(c, 22);
}

}  // namespace

TMainForm::TMainForm(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MainForm"));
    ConfigureTable(NameTable, "NAME.DBF");
    ConfigureTable(InfoTable, "INFO.DBF");
    AddResultFields(InfoTable);
    buildControls();
    RunHandler([this] { FormCreate(); });
}

TMainForm::~TMainForm() = default;

void TMainForm::buildControls() {
    StyleForm(this, FrameKind::Main, 421, 345);
    setWindowTitle(Disp(kaztexts::kMainCaption));

    fcLabel1 = new TfcLabel(this);
    fcLabel1->setObjectName(QStringLiteral("fcLabel1"));
    StyleLabel(fcLabel1, 20, kMaroon);
    fcLabel1->TextOptions().SetStyle(fclsLowered);
    fcLabel1->TextOptions().SetLineSpacing(0);
    fcLabel1->SetCaption(Disp(kaztexts::kMainLabel1));
    Place(fcLabel1, 34, 13, 280, 44);

    fcLabel2 = new TfcLabel(this);
    fcLabel2->setObjectName(QStringLiteral("fcLabel2"));
    StyleLabel(fcLabel2, 20, kMaroon);
    fcLabel2->TextOptions().SetStyle(fclsLowered);
    fcLabel2->TextOptions().SetLineSpacing(0);
    fcLabel2->SetCaption(Disp(kaztexts::kMainLabel2));
    Place(fcLabel2, 34, 72, 129, 22);

    VarCombo = new QComboBox(this);
    VarCombo->setObjectName(QStringLiteral("VarCombo"));
    StyleCombo(VarCombo);
    for (std::string_view item : kaztexts::kVariantItems) VarCombo->addItem(Disp(item));
    Place(VarCombo, 336, 19, 56, 30);

    ComboName = new QComboBox(this);
    ComboName->setObjectName(QStringLiteral("ComboName"));
    ComboName->setEditable(true);
    ComboName->setInsertPolicy(QComboBox::NoInsert);
    // The name is kept exactly as typed: no completion that changes it (a remembered name
    // is taken only by choosing it from the list).
    ComboName->setCompleter(nullptr);
    StyleCombo(ComboName);
    ComboName->lineEdit()->setMaxLength(15);
    Place(ComboName, 170, 68, 222, 30);
    ComboName->installEventFilter(this);

    fcShapeBtn1 = makeButton("fcShapeBtn1", kaztexts::kBtnTest, 121);
    fcShapeBtn2 = makeButton("fcShapeBtn2", kaztexts::kBtnReview, 164);
    fcShapeBtn3 = makeButton("fcShapeBtn3", kaztexts::kBtnResults, 206);
    fcShapeBtn4 = makeButton("fcShapeBtn4", kaztexts::kBtnAbout, 249);
    fcShapeBtn5 = makeButton("fcShapeBtn5", kaztexts::kBtnExit, 291);
    fcShapeBtn1->OnClick = [this] { RunHandler([this] { fcShapeBtn1Click(); }); };
    fcShapeBtn2->OnClick = [this] { RunHandler([this] { fcShapeBtn2Click(); }); };
    fcShapeBtn3->OnClick = [this] { RunHandler([this] { fcShapeBtn3Click(); }); };
    fcShapeBtn4->OnClick = [this] { RunHandler([this] { fcShapeBtn4Click(); }); };
    fcShapeBtn5->OnClick = [this] { RunHandler([this] { fcShapeBtn5Click(); }); };

    setTabOrder(VarCombo, fcShapeBtn1);
    setTabOrder(fcShapeBtn1, fcShapeBtn2);
    setTabOrder(fcShapeBtn2, fcShapeBtn3);
    setTabOrder(fcShapeBtn3, fcShapeBtn4);
    setTabOrder(fcShapeBtn4, fcShapeBtn5);
    setTabOrder(fcShapeBtn5, ComboName);
    VarCombo->setFocus();
}

TfcShapeBtn* TMainForm::makeButton(const char* name, std::string_view text, int top) {
    auto* b = new TfcShapeBtn(this);
    b->setObjectName(QString::fromLatin1(name));
    StyleShapeButton(b, text, true, true);
    b->SetShape(bsRect);
    Place(b, 94, top, 239, 35);
    return b;
}

std::string TMainForm::VariantText() const { return kaztexts::FromQString(VarCombo->currentText()); }
std::string TMainForm::NameText() const { return kaztexts::FromQString(ComboName->currentText()); }

void TMainForm::FormCreate() {
    LastEnteredName.clear();
    VarCombo->setCurrentIndex(0);
    NameTable.Open();
    InfoTable.Open();
    // The log's order file, when there is a sound one, is kept up to date from the start.
    OpenResultsIndexIfSound(InfoTable);
    ScaleFormToScreen(this);
}

void TMainForm::ComboNameEnter() {
    const QString saved = ComboName->currentText();
    ComboName->clear();
    // Without its table (its opening failed and was reported) the box only keeps its text.
    if (NameTable.Active()) {
        try {
            for (const std::string& name : TakeNameList(NameTable)) ComboName->addItem(Disp(name));
        } catch (...) {
            ComboName->setEditText(saved);
            throw;
        }
    }
    ComboName->setEditText(saved);
}

void TMainForm::ComboNameExit() {
    const QString text = ComboName->currentText();
    if (text != LastEnteredName) {
        const std::string name = kaztexts::FromQString(text);
        if (!IsBlankText(name) && NameTable.Active()) StoreName(NameTable, name);
    }
    LastEnteredName = text;
}

void TMainForm::fcShapeBtn1Click() {
    TestMode = true;
    if (IsBlankText(NameText())) {
        ShowKazMessage(kaztexts::kMsgNoName);
        return;
    }
    TestForm->Execute();
}

void TMainForm::fcShapeBtn2Click() {
    TestMode = false;
    TestForm->Execute();
}

void TMainForm::fcShapeBtn3Click() { ShowModal(*InfoForm); }

void TMainForm::fcShapeBtn4Click() { ShowKazMessage(kaztexts::kAboutText); }

void TMainForm::fcShapeBtn5Click() { close(); }

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ComboName && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        // Opening the drop-down list or switching windows neither enters nor leaves the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            if (event->type() == QEvent::FocusIn)
                RunHandler([this] { ComboNameEnter(); });
            else
                RunHandler([this] { ComboNameExit(); });
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TMainForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (centred_) return;
    centred_ = true;
    if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        const QRect area = s->availableGeometry();
        move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
}
