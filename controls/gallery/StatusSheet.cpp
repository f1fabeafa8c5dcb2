// Status bars with each panel style.

#include "Gallery.h"
#include "controls/FcStatusBar.h"
#include "controls/FcSystemInfo.h"

#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QWidget>

namespace {

// Caps Lock and Insert on, the others off, so both looks show.
class ShownKeys : public TfcLockKeySource {
public:
    bool IsOn(TfcLockKey k) const override { return k == lkCapsLock || k == lkInsert; }
    void Toggle(TfcLockKey) override {}
};

TfcStatusBar* bar(QWidget* sheet, int y, int width = 860) {
    auto* b = new TfcStatusBar(sheet);
    b->SetAlignBottom(false);
    b->SetSizeGrip(false);
    b->setGeometry(20, y, width, 24);
    return b;
}

TfcStatusPanel* panel(TfcStatusBar* b, const QString& width, TfcStatusPanelStyle style, const QString& text = {}) {
    TfcStatusPanel* p = b->Panels().Add();
    p->SetWidth(width);
    p->SetStyle(style);
    p->SetText(text);
    return p;
}

}  // namespace

bool statusSheet(const QString& folder) {
    TfcLockKeys::SetSource(std::make_shared<ShownKeys>());
    TfcApplicationHint::Set("Hint: choose a variant");
    QWidget sheet;
    sheet.resize(900, 330);

    // The test window's bar: two lowered text panels, the second reaching the end.
    auto* b1 = bar(&sheet, 20);
    for (const QString& t : {QStringLiteral("Total number of questions: 25"), QStringLiteral("Right answers: 17")}) {
        TfcStatusPanel* p = panel(b1, b1->Panels().Count() ? "50" : "350", psTextOnly, t);
        p->TextOptions().SetAlignment(taLeftJustify);
        p->TextOptions().SetVAlignment(vaTop);
        p->TextOptions().SetStyle(fclsLowered);
    }
    note(&sheet, 20, 46, "psTextOnly lowered, 350 px and the last panel");

    auto* b2 = bar(&sheet, 80);
    panel(b2, "120", psCapsLock);
    panel(b2, "120", psNumLock);
    panel(b2, "120", psScrollLock);
    panel(b2, "120", psOverWrite);
    TfcStatusPanel* raised = panel(b2, "0", psTextOnly, "Raised, centred");
    raised->TextOptions().SetStyle(fclsRaised);
    raised->TextOptions().SetAlignment(taCenter);
    raised->SetBevel(pbRaised);
    note(&sheet, 20, 106, "psCapsLock (on), psNumLock, psScrollLock (off), psOverWrite (on), raised text in a raised part");

    auto* b3 = bar(&sheet, 140);
    panel(b3, "170", psDateTime);
    panel(b3, "100", psDate);
    panel(b3, "90", psTime);
    panel(b3, "230", psHint);
    panel(b3, "130", psUserName);
    panel(b3, "0", psComputerName);
    note(&sheet, 20, 166, "psDateTime, psDate, psTime, psHint, psUserName, psComputerName");

    auto* b4 = bar(&sheet, 200);
    QPixmap icon(16, 16);
    icon.fill(Qt::transparent);
    {
        QPainter p(&icon);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(0, 140, 0));
        p.setPen(Qt::NoPen);
        p.drawEllipse(1, 1, 14, 14);
    }
    b4->SetImages({icon});
    TfcStatusPanel* glyph = panel(b4, "150", psGlyph, "Connected");
    glyph->SetMargin(3);
    TfcStatusPanel* disabledGlyph = panel(b4, "150", psGlyph, "Disabled");
    disabledGlyph->SetMargin(3);
    disabledGlyph->SetEnabled(false);
    auto* edit = new QLineEdit("embedded line edit");
    TfcStatusPanel* control = panel(b4, "230", psTextOnly, "Find:");
    control->SetMargin(1);
    control->SetComponent(edit);
    auto* progress = new QProgressBar;
    progress->setValue(60);
    TfcStatusPanel* bar2 = panel(b4, "0", psTextOnly);
    bar2->SetMargin(1);
    bar2->SetComponent(progress);
    note(&sheet, 20, 226, "psGlyph (enabled, disabled), psControl with text, psControl");

    auto* b5 = bar(&sheet, 260, 420);
    auto* rich = new QPlainTextEdit(&sheet);
    rich->setPlainText("one\ntwo lines");
    rich->hide();
    TfcStatusPanel* caret = panel(b5, "50%", psTextOnly);
    caret->SetComponent(rich);
    QTextCursor c = rich->textCursor();
    c.setPosition(8);
    rich->setTextCursor(c);
    panel(b5, "0", psTextOnly, "50% and the rest");
    auto* b6 = bar(&sheet, 260, 420);
    b6->move(460, 260);
    b6->SetSimplePanel(true);
    b6->SetSimpleText("SimplePanel with SimpleText");
    note(&sheet, 20, 286, "psRichEditStatus at 50%");
    note(&sheet, 460, 286, "SimplePanel");

    const bool ok = saveSheet(sheet, folder, "statusbar.png");
    TfcLockKeys::SetSource(nullptr);
    return ok;
}
