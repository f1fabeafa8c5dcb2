#include "controls/FcCustomImageBtn.h"

#include <QBitmap>
#include <QPainter>

TfcCustomImageBtn::TfcCustomImageBtn(QWidget* parent) : TfcCustomBitBtn(parent) {}

void TfcCustomImageBtn::SetDitherColor(TfcColor c) {
    if (ditherColor_ == c) return;
    ditherColor_ = c;
    update();
}

QColor TfcCustomImageBtn::FaceColor() const { return Color().resolveOr(palette(), palette().color(QPalette::Button)); }

QBrush TfcCustomImageBtn::FaceBrush(bool down) const {
    const QColor face = FaceColor();
    auto dither = ditherColor_.resolve(palette());
    if (!down || GroupIndex() == 0 || !dither) return QBrush(face);
    QImage pattern(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) pattern.setPixel(x, y, ((x + y) % 2 ? *dither : face).rgb());
    return QBrush(pattern);
}

QRegion TfcCustomImageBtn::ButtonRegion(bool down) {
    QImage img(size(), QImage::Format_RGB32);
    DrawButtonImage(img, down, false);
    const QRgb key = KeyColor().rgb();
    QRegion region;
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        int x = 0;
        while (x < img.width()) {
            while (x < img.width() && (line[x] | 0xff000000) == (key | 0xff000000)) ++x;
            int start = x;
            while (x < img.width() && (line[x] | 0xff000000) != (key | 0xff000000)) ++x;
            if (x > start) region += QRect(start, y, x - start, 1);
        }
    }
    return region;
}
