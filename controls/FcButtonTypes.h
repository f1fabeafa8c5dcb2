#pragma once
// Settings of the buttons: kinds, layouts, options, shading styles, the bevel colours and
// the offsets of glyph, caption and image.

#include "controls/FcColor.h"
#include <QFlags>
#include <functional>

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };
enum TfcShadeStyle { fbsNormal, fbsRaised, fbsHighlight, fbsFlat };
enum TfcButtonOption {
    boFocusable = 0x1,
    boOverrideActionGlyph = 0x2,
    boToggleOnUp = 0x4,
    boFocusRect = 0x8,
    boAutoBold = 0x10,
};
Q_DECLARE_FLAGS(TfcButtonOptions, TfcButtonOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TfcButtonOptions)

// Modal results handed to the parent dialog.
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7, mrAll = 8 };

// Base of the small setting groups: tells the button when one of its values changes.
class TfcButtonSettings {
public:
    void SetOnChange(std::function<void()> fn) { onChange_ = std::move(fn); }

protected:
    template <class T> void assign(T& field, const T& value) {
        if (field == value) return;
        field = value;
        if (onChange_) onChange_();
    }

private:
    std::function<void()> onChange_;
};

// The bevel colours.
class TfcShadeColors : public TfcButtonSettings {
public:
    TfcColor Btn3DLight() const { return light3d_; }
    TfcColor BtnHighlight() const { return highlight_; }
    TfcColor BtnShadow() const { return shadow_; }
    TfcColor BtnBlack() const { return black_; }
    TfcColor BtnFocus() const { return focus_; }
    TfcColor Shadow() const { return dropShadow_; }
    void SetBtn3DLight(TfcColor c) { assign(light3d_, c); }
    void SetBtnHighlight(TfcColor c) { assign(highlight_, c); }
    void SetBtnShadow(TfcColor c) { assign(shadow_, c); }
    void SetBtnBlack(TfcColor c) { assign(black_, c); }
    void SetBtnFocus(TfcColor c) { assign(focus_, c); }
    void SetShadow(TfcColor c) { assign(dropShadow_, c); }

private:
    TfcColor light3d_ = fcColors::cl3DLight;
    TfcColor highlight_ = fcColors::clBtnHighlight;
    TfcColor shadow_ = fcColors::clBtnShadow;
    TfcColor black_ = Qt::black;
    TfcColor focus_ = Qt::black;
    TfcColor dropShadow_ = Qt::black;
};

// Offsets added to the glyph and caption positions, and to both while the button is down.
class TfcOffsets : public TfcButtonSettings {
public:
    int GlyphX() const { return glyphX_; }
    int GlyphY() const { return glyphY_; }
    int TextX() const { return textX_; }
    int TextY() const { return textY_; }
    int TextDownX() const { return textDownX_; }
    int TextDownY() const { return textDownY_; }
    void SetGlyphX(int v) { assign(glyphX_, v); }
    void SetGlyphY(int v) { assign(glyphY_, v); }
    void SetTextX(int v) { assign(textX_, v); }
    void SetTextY(int v) { assign(textY_, v); }
    void SetTextDownX(int v) { assign(textDownX_, v); }
    void SetTextDownY(int v) { assign(textDownY_, v); }

private:
    int glyphX_ = 0, glyphY_ = 0, textX_ = 0, textY_ = 0, textDownX_ = 1, textDownY_ = 1;
};

// With the offset of an image button's picture while down.
class TfcImgDownOffsets : public TfcOffsets {
public:
    int ImageDownX() const { return imageDownX_; }
    int ImageDownY() const { return imageDownY_; }
    void SetImageDownX(int v) { assign(imageDownX_, v); }
    void SetImageDownY(int v) { assign(imageDownY_, v); }

private:
    int imageDownX_ = 2, imageDownY_ = 2;
};
