#include "controls/FcShapePolygon.h"

#include "controls/FcPointExpression.h"

#include <cmath>
#include <numbers>

namespace {

QPolygon star(int w, int h) {
    const double r18 = 18 * std::numbers::pi / 180, r36 = 36 * std::numbers::pi / 180;
    const int q = int(std::trunc(h / std::cos(r18)));
    const int d = int(std::trunc(q / (2 * std::sin(r18) + 2)));
    const int e = int(std::trunc(std::cos(r18) * d));
    const int f = int(std::trunc(h * std::tan(r18)));
    const int g = w / 2;
    const int hh = (q - 2 * d) / 2;
    const int m = q - 2 * d;
    QPoint p1(g + hh, e);
    QPoint p3(p1.x() + int(std::trunc(m * std::sin(r18))), e + int(std::trunc(std::cos(r18) * m)));
    return QPolygon({QPoint(g, 0), p1, QPoint(w, e), p3, QPoint(g + f, h),
                     QPoint(g, h - int(std::trunc(d * std::sin(r36)))), QPoint(g - f, h), QPoint(w - p3.x(), p3.y()),
                     QPoint(0, e), QPoint(w - p1.x(), e)});
}

}  // namespace

QPolygon fcShapePoints(TfcButtonShape shape, QSize size, const QStringList& pointList) {
    const int w = size.width() - 1, h = size.height() - 1;
    switch (shape) {
    case bsRect: return QPolygon({QPoint(0, 0), QPoint(w, 0), QPoint(w, h), QPoint(0, h)});
    case bsTriangle: return QPolygon({QPoint(w / 2, 0), QPoint(w, h), QPoint(0, h)});
    case bsDiamond: return QPolygon({QPoint(w / 2, 0), QPoint(w, h / 2), QPoint(w / 2, h), QPoint(0, h / 2)});
    case bsArrow:
        return QPolygon({QPoint(0, h / 3), QPoint(w / 2, 0), QPoint(w, h / 3), QPoint(w - w / 4, h / 3),
                         QPoint(w - w / 4, h), QPoint(w / 4, h), QPoint(w / 4, h / 3)});
    case bsTrapezoid: {
        int k = std::min(h / 2, w / 4);
        return QPolygon({QPoint(k, 0), QPoint(w - k, 0), QPoint(w, h), QPoint(0, h)});
    }
    case bsStar: return star(w, h);
    case bsCustom: {
        if (pointList.size() < 3) return {};
        QPolygon points;
        for (const QString& line : pointList) points << fcParseCustomPoint(line, w, h);
        return points;
    }
    case bsRoundRect:
    case bsEllipse: break;
    }
    return {};
}

QPolygon fcOrientPoints(const QPolygon& points, TfcShapeOrientation o, QSize size) {
    const int w = size.width() - 1, h = size.height() - 1;
    int turns = o == soRight ? 1 : o == soDown ? 2 : o == soLeft ? 3 : 0;
    // A box one pixel thin has nothing to turn (and the mapping would divide by zero).
    if (w <= 0 || h <= 0) return points;
    QPolygon r = points;
    for (int t = 0; t < turns; ++t)
        for (QPoint& p : r) p = QPoint(w - w * p.y() / h, h * p.x() / w);
    return r;
}
