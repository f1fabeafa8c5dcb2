#pragma once
// The outlines of the shape button: the polygon of each shape in a box, turned by the
// button's orientation.

#include <QPolygon>
#include <QSize>
#include <QStringList>

enum TfcButtonShape { bsRoundRect, bsEllipse, bsTriangle, bsArrow, bsDiamond, bsRect, bsStar, bsTrapezoid, bsCustom };
enum TfcShapeOrientation { soLeft, soRight, soUp, soDown };

// Round rectangles and ellipses are drawn as figures, the others as polygons.
inline bool fcIsFigure(TfcButtonShape s) { return s == bsRoundRect || s == bsEllipse; }

// The points of a polygon shape upright (soUp) in a box of `size`; for bsCustom the
// points of `pointList` (nothing for fewer than three lines; errors of the point
// expressions propagate). Figures give no points.
QPolygon fcShapePoints(TfcButtonShape shape, QSize size, const QStringList& pointList = {});

// Turns the points clockwise by quarter turns inside the same box.
QPolygon fcOrientPoints(const QPolygon& points, TfcShapeOrientation o, QSize size);
