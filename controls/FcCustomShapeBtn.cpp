#include "controls/FcCustomShapeBtn.h"

#include "controls/FcShapeBevel.h"

#include <QPainter>

TfcCustomShapeBtn::TfcCustomShapeBtn(QWidget* parent) : TfcCustomImageBtn(parent) {}

void TfcCustomShapeBtn::rebuildPoints() {
    pointsSize_ = size();
    try {
        points_ = fcOrientPoints(fcShapePoints(shape_, size(), pointList_), orientation_, size());
    } catch (...) {
        shape_ = bsRect;
        points_ = fcShapePoints(bsRect, size());
        shapeChanged();
        throw;
    }
}

void TfcCustomShapeBtn::rebuildPointsQuietly() const {
    try {
        const_cast<TfcCustomShapeBtn*>(this)->rebuildPoints();
    } catch (...) {
        // The shape is a plain rectangle now; a size change has nobody to tell.
    }
}

const QPolygon& TfcCustomShapeBtn::Polygon() const {
    if (pointsSize_ != size()) rebuildPointsQuietly();
    return points_;
}

void TfcCustomShapeBtn::shapeChanged() {
    RecreateRegion();
    update();
}

void TfcCustomShapeBtn::SetShape(TfcButtonShape s) {
    if (shape_ == s) return;
    shape_ = s;
    rebuildPoints();
    shapeChanged();
}

void TfcCustomShapeBtn::SetOrientation(TfcShapeOrientation o) {
    if (orientation_ == o) return;
    orientation_ = o;
    rebuildPoints();
    shapeChanged();
}

void TfcCustomShapeBtn::SetPointList(const QStringList& lines) {
    if (pointList_ == lines) return;
    pointList_ = lines;
    if (shape_ != bsCustom) return;
    rebuildPoints();
    shapeChanged();
}

void TfcCustomShapeBtn::SetRoundRectBias(int v) {
    if (roundRectBias_ == v) return;
    roundRectBias_ = v;
    if (shape_ == bsRoundRect) shapeChanged();
}

void TfcCustomShapeBtn::resizeEvent(QResizeEvent* e) {
    rebuildPointsQuietly();
    TfcCustomImageBtn::resizeEvent(e);
}

void TfcCustomShapeBtn::DrawButtonImage(QImage& img, bool down, bool bevel) {
    const QColor key = KeyColor();
    img.fill(key);
    const int w1 = width() - 1, h1 = height() - 1;
    const QColor face = FaceColor();
    const QPalette pal = palette();
    TfcShadeColors& sc = ShadeColors();
    const TfcBevelColors colors{sc.Btn3DLight().resolveOr(pal, Qt::lightGray), sc.BtnHighlight().resolveOr(pal, Qt::white),
                                sc.BtnShadow().resolveOr(pal, Qt::gray), sc.BtnBlack().resolveOr(pal, Qt::black),
                                sc.BtnFocus().resolveOr(pal, Qt::black)};
    const bool focused = IsFocusedOrDefault();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(FaceBrush(down));
    if (IsFigure()) {
        p.setPen(QPen(face, 0));
        if (shape_ == bsRoundRect)
            p.drawRoundedRect(QRect(0, 0, w1, h1), roundRectBias_ / 2.0, roundRectBias_ / 2.0);
        else
            p.drawEllipse(QRect(0, 0, w1, h1));
        p.end();
        if (bevel) fcDrawFigureBevel(img, key.rgb(), colors, down, focused);
        return;
    }
    const QPolygon& poly = Polygon();
    if (poly.size() < 3) return;
    p.setPen(QPen(bevel ? DitherColor().resolveOr(pal, face) : face, 0));
    p.drawPolygon(poly);
    if (bevel) fcDrawPolygonBevel(p, poly, CurrentRegion(), colors, down, focused);
}
