// Every button shape in its up, down, focused and disabled states, and the button kinds.

#include "Gallery.h"
#include "controls/FcShapeBtn.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <QPainter>
#include <QWidget>
#include <cstdio>

namespace {

const char* shapeName(TfcButtonShape s) {
    switch (s) {
    case bsRoundRect: return "bsRoundRect";
    case bsEllipse: return "bsEllipse";
    case bsTriangle: return "bsTriangle";
    case bsArrow: return "bsArrow";
    case bsDiamond: return "bsDiamond";
    case bsRect: return "bsRect";
    case bsStar: return "bsStar";
    case bsTrapezoid: return "bsTrapezoid";
    case bsCustom: return "bsCustom";
    }
    return "";
}

// Holds the left button down over the middle of the button.
void press(TfcShapeBtn* b) {
    const QPointF mid(b->width() / 2.0, b->height() / 2.0 + 4);
    QMouseEvent e(QEvent::MouseButtonPress, mid, b->mapToGlobal(mid), Qt::LeftButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(b, &e);
}

}  // namespace

bool buttonSheet(const QString& folder) {
    QWidget sheet;
    const int cellW = 150, cellH = 92;
    sheet.resize(40 + 4 * cellW + 110, 30 + 9 * cellH);
    const QStringList states = {"up", "down", "focused", "disabled"};
    for (int c = 0; c < 4; ++c) note(&sheet, 130 + c * cellW + 40, 8, states[c]);
    TfcShapeBtn* focusMe = nullptr;
    for (int s = bsRoundRect; s <= bsCustom; ++s) {
        const auto shape = TfcButtonShape(s);
        const int y = 30 + s * cellH;
        note(&sheet, 10, y + 28, shapeName(shape));
        for (int c = 0; c < 4; ++c) {
            auto* b = new TfcShapeBtn(&sheet);
            b->setGeometry(130 + c * cellW, y, 130, shape == bsRoundRect || shape == bsRect ? 35 : 70);
            b->SetOptions(boFocusable | boFocusRect);
            b->TextOptions().SetStyle(fclsRaised);
            b->SetCaption(shape == bsStar ? "" : "&Press");
            if (shape == bsArrow || shape == bsTriangle || shape == bsTrapezoid) b->Offsets().SetTextY(10);
            if (shape == bsCustom) b->SetPointList({"0, HEIGHT / 2", "WIDTH / 3, 0", "WIDTH, 0", "WIDTH - WIDTH / 3, HEIGHT", "0, HEIGHT"});
            b->SetShape(shape);
            if (shape == bsArrow && c == 0) b->SetOrientation(soUp);
            if (c == 1) press(b);
            if (c == 2) focusMe = b;
            if (c == 3) b->setEnabled(false);
        }
    }
    sheet.show();
    sheet.activateWindow();
    QApplication::setActiveWindow(&sheet);
    QCoreApplication::processEvents();
    if (focusMe) focusMe->setFocus();
    // Every focused-column button looks focused: the default bevel, plus a real focus
    // on one of them for the focus rectangle.
    for (auto* b : sheet.findChildren<TfcShapeBtn*>())
        if (b->x() == 130 + 2 * cellW) b->SetDefault(true);
    // Orientations of the arrow on the right.
    const TfcShapeOrientation orient[] = {soUp, soRight, soDown, soLeft};
    const char* names[] = {"soUp", "soRight", "soDown", "soLeft"};
    for (int i = 0; i < 4; ++i) {
        auto* b = new TfcShapeBtn(&sheet);
        b->setGeometry(130 + 4 * cellW, 30 + i * 110, 70, 70);
        b->SetShape(bsArrow);
        b->SetOrientation(orient[i]);
        note(&sheet, 130 + 4 * cellW, 30 + i * 110 + 74, names[i]);
    }
    if (!saveSheet(sheet, folder, "buttons.png")) return false;
    // The rounded and plain rectangles up and down, four times enlarged, to judge the
    // bevel pixel by pixel.
    QImage whole(sheet.size(), QImage::Format_RGB32);
    sheet.render(&whole);
    QImage zoom(2 * 150 * 4, 2 * 45 * 4, QImage::Format_RGB32);
    QPainter p(&zoom);
    const QRect rows[] = {QRect(125, 25, 300, 45), QRect(125, 30 + 5 * cellH - 5, 300, 45)};
    for (int r = 0; r < 2; ++r)
        p.drawImage(QRect(0, r * 45 * 4, 300 * 4, 45 * 4), whole.copy(rows[r]));
    p.end();
    const QString path = folder + "/buttons-zoom.png";
    if (!zoom.save(path)) return false;
    std::printf("%s\n", qPrintable(path));
    return true;
}

bool kindSheet(const QString& folder) {
    QWidget sheet;
    sheet.resize(560, 250);
    const TBitBtnKind kinds[] = {bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll};
    for (int i = 0; i < 10; ++i) {
        auto* b = new TfcShapeBtn(&sheet);
        b->setGeometry(20 + (i % 5) * 106, 20 + (i / 5) * 50, 96, 30);
        b->SetKind(kinds[i]);
        if (i % 2) b->SetShape(bsRoundRect);
    }
    // Disabled kinds show the second image.
    for (int i = 0; i < 5; ++i) {
        auto* b = new TfcShapeBtn(&sheet);
        b->setGeometry(20 + i * 106, 130, 96, 30);
        b->SetKind(kinds[i]);
        b->setEnabled(false);
    }
    // A grouped toggle that is down is dithered; boAutoBold makes its caption bold.
    for (int i = 0; i < 3; ++i) {
        auto* b = new TfcShapeBtn(&sheet);
        b->setGeometry(20 + i * 106, 190, 96, 30);
        b->SetGroupIndex(1);
        b->SetOptions(boAutoBold);
        b->SetCaption(QStringLiteral("Group %1").arg(i + 1));
        if (i == 1) b->SetDown(true);
    }
    note(&sheet, 20, 110, "enabled kinds above, disabled below; a group of toggles at the bottom");
    return saveSheet(sheet, folder, "kinds.png");
}
