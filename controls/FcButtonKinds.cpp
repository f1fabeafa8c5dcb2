#include "controls/FcButtonKinds.h"

#include <QPainter>
#include <QPainterPath>

QString fcKindCaption(TBitBtnKind kind) {
    switch (kind) {
    case bkCustom: return {};
    case bkOK: return QStringLiteral("OK");
    case bkCancel: return QStringLiteral("Cancel");
    case bkHelp: return QStringLiteral("&Help");
    case bkYes: return QStringLiteral("&Yes");
    case bkNo: return QStringLiteral("&No");
    case bkClose: return QStringLiteral("&Close");
    case bkAbort: return QStringLiteral("Abort");
    case bkRetry: return QStringLiteral("&Retry");
    case bkIgnore: return QStringLiteral("&Ignore");
    case bkAll: return QStringLiteral("&All");
    }
    return {};
}

int fcKindModalResult(TBitBtnKind kind) {
    switch (kind) {
    case bkOK: return mrOk;
    case bkCancel: return mrCancel;
    case bkAbort: return mrAbort;
    case bkRetry: return mrRetry;
    case bkIgnore: return mrIgnore;
    case bkYes: return mrYes;
    case bkNo: return mrNo;
    case bkAll: return mrAll;
    default: return mrNone;
    }
}

bool fcKindIsDefault(TBitBtnKind kind) { return kind == bkOK || kind == bkYes; }
bool fcKindIsCancel(TBitBtnKind kind) { return kind == bkCancel || kind == bkNo; }

namespace {

const int kSize = 18;

void check(QPainter& p) {
    QPainterPath path;
    path.moveTo(3, 9);
    path.lineTo(7, 13);
    path.lineTo(15, 4);
    p.drawPath(path);
}

void cross(QPainter& p) {
    p.drawLine(4, 4, 14, 14);
    p.drawLine(14, 4, 4, 14);
}

// Draws the symbol of a kind with the pen colour `c`.
void symbol(QPainter& p, TBitBtnKind kind, const QColor& c) {
    QPen pen(c, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    switch (kind) {
    case bkOK:
    case bkYes: check(p); break;
    case bkCancel: cross(p); break;
    case bkNo:
        p.drawEllipse(QRectF(3, 3, 12, 12));
        p.drawLine(QPointF(5, 13), QPointF(13, 5));
        break;
    case bkAbort:
        p.drawEllipse(QRectF(2, 2, 14, 14));
        p.setPen(QPen(c, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(6, 6, 12, 12);
        p.drawLine(12, 6, 6, 12);
        break;
    case bkHelp: {
        QFont f("DejaVu Sans");
        f.setPixelSize(15);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case bkClose:
        p.setPen(QPen(c, 1.5));
        p.drawRect(QRectF(4, 2, 9, 14));
        p.setBrush(c);
        p.drawEllipse(QRectF(10, 8.5, 2, 2));
        break;
    case bkRetry:
        p.drawArc(QRectF(3, 3, 12, 12), 60 * 16, 270 * 16);
        p.setBrush(c);
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF({QPointF(10, 1), QPointF(15, 4.5), QPointF(10, 8)}));
        break;
    case bkIgnore:
        p.drawLine(3, 9, 14, 9);
        p.drawLine(10, 5, 14, 9);
        p.drawLine(10, 13, 14, 9);
        break;
    case bkAll:
        p.setPen(QPen(c, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(1, 9), QPointF(4, 12), QPointF(10, 5)}));
        p.drawPolyline(QPolygonF({QPointF(7, 9), QPointF(10, 12), QPointF(17, 5)}));
        break;
    case bkCustom: break;
    }
}

QColor symbolColor(TBitBtnKind kind) {
    switch (kind) {
    case bkOK:
    case bkYes:
    case bkAll:
    case bkRetry: return QColor(0, 128, 0);
    case bkCancel:
    case bkNo:
    case bkAbort: return QColor(192, 0, 0);
    case bkHelp:
    case bkIgnore: return QColor(0, 0, 160);
    case bkClose: return QColor(128, 64, 0);
    case bkCustom: break;
    }
    return Qt::black;
}

}  // namespace

QPixmap fcKindGlyph(TBitBtnKind kind) {
    if (kind == bkCustom) return {};
    QImage img(2 * kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    symbol(p, kind, symbolColor(kind));
    // The disabled image: embossed grey, a white copy down and right under a grey one.
    p.translate(kSize + 1, 1);
    symbol(p, kind, Qt::white);
    p.translate(-1, -1);
    symbol(p, kind, QColor(128, 128, 128));
    p.end();
    return QPixmap::fromImage(img);
}
