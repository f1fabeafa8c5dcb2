#pragma once
// Buttons drawn from an image: the dither colour of a grouped button that is down, and a
// window region made of the drawn pixels that are not the key colour.

#include "controls/FcCustomBitBtn.h"

class TfcCustomImageBtn : public TfcCustomBitBtn {
    Q_OBJECT
public:
    explicit TfcCustomImageBtn(QWidget* parent = nullptr);

    TfcColor DitherColor() const { return ditherColor_; }
    void SetDitherColor(TfcColor c);

protected:
    // The window region: the pixels of a drawing without bevel that are not the key
    // colour, as one-pixel-high runs.
    QRegion ButtonRegion(bool down) override;
    // The face brush: the face colour, or an 8 × 8 checkerboard of the dither colour and
    // the face colour for a grouped button that is down.
    QBrush FaceBrush(bool down) const;
    QColor FaceColor() const;

private:
    TfcColor ditherColor_ = Qt::white;
};
