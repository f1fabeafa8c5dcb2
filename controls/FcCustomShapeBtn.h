#pragma once
// Buttons cut to a shape: plain or rounded rectangle, ellipse, triangle, arrow, diamond,
// star, trapezoid, or a polygon from a list of point expressions.

#include "controls/FcCustomImageBtn.h"
#include "controls/FcShapePolygon.h"
#include <QStringList>

class TfcCustomShapeBtn : public TfcCustomImageBtn {
    Q_OBJECT
public:
    explicit TfcCustomShapeBtn(QWidget* parent = nullptr);

    TfcButtonShape Shape() const { return shape_; }
    // For bsCustom the point list is evaluated at once; when a line fails the shape falls
    // back to bsRect and the error propagates.
    void SetShape(TfcButtonShape s);
    TfcShapeOrientation Orientation() const { return orientation_; }
    void SetOrientation(TfcShapeOrientation o);
    const QStringList& PointList() const { return pointList_; }
    void SetPointList(const QStringList& lines);
    int RoundRectBias() const { return roundRectBias_; }
    void SetRoundRectBias(int v);

    bool IsFigure() const { return fcIsFigure(shape_); }
    // The polygon of the current shape, size and orientation (empty for figures).
    const QPolygon& Polygon() const;

protected:
    void DrawButtonImage(QImage& img, bool down, bool bevel) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    // Rebuilds the polygon; errors of a custom point list propagate after the fall-back.
    void rebuildPoints();
    // As rebuildPoints(), falling back quietly (for size changes).
    void rebuildPointsQuietly() const;
    void shapeChanged();

    TfcButtonShape shape_ = bsRect;
    TfcShapeOrientation orientation_ = soUp;
    QStringList pointList_;
    int roundRectBias_ = 25;
    mutable QPolygon points_;
    mutable QSize pointsSize_{-1, -1};
};
