#include "controls/FcShapeBevel.h"

#include <QPainter>
#include <cstdlib>
#include <vector>

namespace {

struct Edge {
    QPoint a, b, step;
    bool topLeft;
};

std::vector<Edge> edgesOf(const QPolygon& poly) {
    std::vector<Edge> edges;
    const int n = poly.size();
    for (int i = 0; i < n; ++i) {
        const QPoint a = poly[i], b = poly[(i + 1) % n];
        if (a == b) continue;
        const QPoint mid((a.x() + b.x()) / 2, (a.y() + b.y()) / 2);
        const bool wide = std::abs(b.x() - a.x()) > std::abs(b.y() - a.y());
        const QPoint probe = wide ? mid + QPoint(0, 1) : mid + QPoint(1, 0);
        const bool inside = poly.containsPoint(probe, Qt::OddEvenFill);
        QPoint step = wide ? QPoint(0, 1) : QPoint(1, 0);
        if (!inside) step = -step;
        edges.push_back({a, b, step, inside});
    }
    return edges;
}

}  // namespace

void fcDrawPolygonBevel(QPainter& p, const QPolygon& poly, const QRegion& shape, const TfcBevelColors& c, bool down,
                        bool focused) {
    if (poly.size() < 2) return;
    const std::vector<Edge> edges = edgesOf(poly);
    const int k = focused ? 1 : 0;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setClipRegion(shape);
    // Top and left edges first, so that the dark lines win the two mixed corners.
    auto pass = [&](int depth, const QColor& lightSide, const QColor& darkSide) {
        for (bool topLeft : {true, false})
            for (const Edge& e : edges) {
                if (e.topLeft != topLeft) continue;
                p.setPen(QPen(topLeft ? lightSide : darkSide, 0));
                p.drawLine(e.a + e.step * depth, e.b + e.step * depth);
            }
    };
    if (!down) {
        pass(k + 1, c.light3d, c.shadow);
        pass(k, c.highlight, c.black);
    } else {
        pass(k + 1, c.shadow, c.light3d);
        pass(k, c.black, c.highlight);
    }
    if (k) {
        p.setPen(QPen(c.focus, 0));
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(poly);
    }
    p.restore();
}

void fcDrawFigureBevel(QImage& img, QRgb key, const TfcBevelColors& c, bool down, bool focused) {
    const int w = img.width(), h = img.height();
    const QRgb keyRgb = key | 0xff000000;
    const int off = focused ? 1 : 0;
    const QRgb first = (down ? c.black : c.highlight).rgb(), second = (down ? c.shadow : c.light3d).rgb();
    const QRgb last = (down ? c.highlight : c.black).rgb(), beforeLast = (down ? c.light3d : c.shadow).rgb();
    const QRgb outline = c.black.rgb();
    std::vector<QPoint> run;
    auto finish = [&] {
        const int n = int(run.size());
        auto set = [&](int i, QRgb col) {
            if (i >= 0 && i < n) img.setPixel(run[i], col);
        };
        set(off + 1, second);
        set(n - 2 - off, beforeLast);
        set(off, first);
        set(n - 1 - off, last);
        if (focused) {
            set(0, outline);
            set(n - 1, outline);
        }
        run.clear();
    };
    auto walk = [&](int x, int y) {
        for (; x < w && y < h; ++x, ++y) {
            if ((img.pixel(x, y) | 0xff000000) == keyRgb) {
                if (!run.empty()) finish();
            } else {
                run.push_back(QPoint(x, y));
            }
        }
        if (!run.empty()) finish();
    };
    for (int x = w - 1; x >= 0; --x) walk(x, 0);
    for (int y = 1; y < h; ++y) walk(0, y);
}
