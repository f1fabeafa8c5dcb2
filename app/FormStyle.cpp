#include "app/FormStyle.h"

#include "app/DisplayFonts.h"
#include "controls/FcLabel.h"
#include "controls/FcShapeBtn.h"

#include <QWidget>

void StyleForm(QWidget* form, FrameKind kind, int clientWidth, int clientHeight) {
    Qt::WindowFlags flags = kind == FrameKind::Dialog
                                ? Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                                : Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                      Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
    form->setWindowFlags(flags);
    form->setFixedSize(clientWidth, clientHeight);
    form->setFont(ArialFont(15));
    QPalette p = form->palette();
    p.setColor(QPalette::Window, p.color(QPalette::Button));
    form->setPalette(p);
    form->setAutoFillBackground(true);
}

void StyleShapeButton(TfcShapeBtn* b, std::string_view text, bool focusable, bool focusRect) {
    b->setFont(KazakhFont(20));
    SetWidgetColor(b, QPalette::ButtonText, kNavy);
    b->SetCaption(Disp(text));
    b->SetColor(fcColors::clBtnFace);
    b->SetDitherColor(Qt::white);
    b->SetRoundRectBias(25);
    b->SetShadeStyle(fbsHighlight);
    TfcButtonOptions o;
    if (focusable) o |= boFocusable;
    if (focusRect) o |= boFocusRect;
    b->SetOptions(o);
    b->TextOptions().SetStyle(fclsRaised);
    b->TextOptions().SetAlignment(taCenter);
    b->TextOptions().SetVAlignment(vaVCenter);
}

void StyleLabel(TfcLabel* l, int height, const QColor& color) {
    l->setFont(KazakhFont(height));
    SetWidgetColor(l, QPalette::WindowText, color);
    l->TextOptions().SetAlignment(taLeftJustify);
    l->TextOptions().SetVAlignment(vaTop);
}

void Place(QWidget* w, int left, int top, int width, int height) { w->setGeometry(left, top, width, height); }
