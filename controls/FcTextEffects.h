#pragma once
// The effect settings of the three-dimensional text: drop shadow, extruded gradient and
// the colours used while the owner is disabled. Each tells its text engine when it
// changes, saying whether the change alters the size of the text block.

#include "controls/FcColor.h"
#include <QPoint>
#include <functional>

enum TfcOrientation { fcTopLeft, fcTopRight, fcBottomLeft, fcBottomRight, fcTop, fcRight, fcLeft, fcBottom };

// The unit step of an orientation (x to the right, y downwards). The extrusion extends
// from the text opposite to the step; the same eight steps, in this order, are the
// directions of outlined text.
QPoint fcOrientationStep(TfcOrientation o);

// Base of the effect objects: the link back to the text engine.
class TfcEffect {
public:
    using ChangeFn = std::function<void(bool refit)>;
    void SetOnChange(ChangeFn fn) { onChange_ = std::move(fn); }

protected:
    template <class T> void assign(T& field, const T& value, bool refit) {
        if (field == value) return;
        field = value;
        if (onChange_) onChange_(refit);
    }

private:
    ChangeFn onChange_;
};

class TfcShadowEffects : public TfcEffect {
public:
    TfcColor Color() const { return color_; }
    bool Enabled() const { return enabled_; }
    int XOffset() const { return xOffset_; }
    int YOffset() const { return yOffset_; }
    void SetColor(TfcColor v) { assign(color_, v, false); }
    void SetEnabled(bool v) { assign(enabled_, v, true); }
    void SetXOffset(int v) { assign(xOffset_, v, true); }
    void SetYOffset(int v) { assign(yOffset_, v, true); }
    void Assign(const TfcShadowEffects& o);

private:
    TfcColor color_ = fcColors::clBtnShadow;
    bool enabled_ = false;
    int xOffset_ = 10;
    int yOffset_ = 10;
};

class TfcExtrudeEffects : public TfcEffect {
public:
    int Depth() const { return depth_; }
    bool Enabled() const { return enabled_; }
    TfcColor FarColor() const { return farColor_; }
    TfcColor NearColor() const { return nearColor_; }
    TfcOrientation Orientation() const { return orientation_; }
    bool Striated() const { return striated_; }
    void SetDepth(int v) { assign(depth_, v < 0 ? 0 : v, true); }
    void SetEnabled(bool v) { assign(enabled_, v, true); }
    void SetFarColor(TfcColor v) { assign(farColor_, v, false); }
    void SetNearColor(TfcColor v) { assign(nearColor_, v, false); }
    void SetOrientation(TfcOrientation v) { assign(orientation_, v, true); }
    void SetStriated(bool v) { assign(striated_, v, false); }
    void Assign(const TfcExtrudeEffects& o);

    // The size the extrusion adds to the text block, (Depth·|step x|, Depth·|step y|),
    // or nothing while disabled.
    QPoint Extent() const;
    // Colour of layer i (1 = farthest, Depth = nearest). Without `Striated` the layers
    // run evenly from the far colour to the near colour. With `Striated` the odd layers
    // keep that gradient and every even layer is the same colour with each component
    // divided by 4, giving dark grooves across the gradient.
    QColor LayerColor(int i, const QPalette& palette) const;

private:
    int depth_ = 10;
    bool enabled_ = false;
    TfcColor farColor_ = Qt::black;
    TfcColor nearColor_ = Qt::black;
    TfcOrientation orientation_ = fcBottomRight;
    bool striated_ = false;
};

class TfcDisabledColors : public TfcEffect {
public:
    TfcColor HighlightColor() const { return highlight_; }
    TfcColor ShadeColor() const { return shade_; }
    void SetHighlightColor(TfcColor v) { assign(highlight_, v, false); }
    void SetShadeColor(TfcColor v) { assign(shade_, v, false); }
    void Assign(const TfcDisabledColors& o);

private:
    TfcColor highlight_ = fcColors::clBtnHighlight;
    TfcColor shade_ = fcColors::clBtnShadow;
};

// v − 0.4999 rounded to the nearest integer: the floor of v, except just below an integer.
int fcFloored(double v);
