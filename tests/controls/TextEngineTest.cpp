// The three-dimensional text engine drawn into images: the copies of each style, shadow,
// extrusion, rotation, line pieces and the change notifications.

#include "FcTestApp.h"
#include "controls/FcText.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

const QColor kBack(255, 255, 255), kFace(0, 0, 255), kShade(255, 0, 0), kLight(0, 200, 0);

class Owner : public TfcTextOwner {
public:
    QFont font = fctest::crispFont(20);
    bool enabled = true;
    int refits = 0, repaints = 0;
    QFont fcTextFont() const override { return font; }
    QColor fcTextColor() const override { return kFace; }
    QPalette fcTextPalette() const override { return QPalette(); }
    bool fcTextEnabled() const override { return enabled; }
    void fcTextChanged(bool refit) override {
        if (refit) ++refits;
        ++repaints;
    }
};

struct Engine {
    Owner owner;
    TfcCaptionText text{&owner};
    Engine(const QString& caption = "Hg") {
        fctest::app();
        text.SetText(caption);
        text.SetShadeColor(kShade);
        text.SetHighlightColor(kLight);
        text.DisabledColors().SetShadeColor(QColor(90, 90, 90));
        text.DisabledColors().SetHighlightColor(QColor(250, 250, 0));
        owner.refits = owner.repaints = 0;
    }
    QImage draw(QSize size = QSize(200, 120)) {
        QImage img(size, QImage::Format_RGB32);
        img.fill(kBack);
        QPainter p(&img);
        text.SetDrawRect(QRect(QPoint(0, 0), size));
        text.Draw(p);
        return img;
    }
};

// Where the plain text lands, drawn in the default style with the same settings.
QRect faceBox(Engine& e) {
    TfcLabelStyle keep = e.text.Style();
    e.text.SetStyle(fclsDefault);
    QRect b = fctest::boxOf(e.draw(), kFace);
    e.text.SetStyle(keep);
    return b;
}

}  // namespace

TEST(TextEngine, DefaultsAreThoseOfANewEngine) {
    Engine e;
    TfcText fresh(nullptr);
    EXPECT_EQ(fresh.Alignment(), taLeftJustify);
    EXPECT_EQ(fresh.VAlignment(), vaTop);
    EXPECT_EQ(fresh.LineSpacing(), 5);
    EXPECT_EQ(fresh.Options(), TfcTextOptions(toShowAccel));
    EXPECT_EQ(fresh.Style(), fclsDefault);
    EXPECT_EQ(fresh.Rotation(), 0);
    EXPECT_FALSE(fresh.WordWrap());
    EXPECT_TRUE(fresh.OutlineColor() == TfcColor(Qt::black));
    EXPECT_TRUE(fresh.HighlightColor() == fcColors::clBtnHighlight);
    EXPECT_TRUE(fresh.ShadeColor() == fcColors::clBtnShadow);
    EXPECT_FALSE(fresh.Shadow().Enabled());
    EXPECT_EQ(fresh.Shadow().XOffset(), 10);
    EXPECT_EQ(fresh.Shadow().YOffset(), 10);
    EXPECT_EQ(fresh.ExtrudeEffects().Depth(), 10);
    EXPECT_EQ(fresh.ExtrudeEffects().Orientation(), fcBottomRight);
    EXPECT_FALSE(fresh.ExtrudeEffects().Striated());
}

TEST(TextEngine, LoweredCopiesSitUpLeftInShadeAndDownRightInHighlight) {
    Engine e;
    QRect face = faceBox(e);
    ASSERT_FALSE(face.isEmpty());
    e.text.SetStyle(fclsLowered);
    QImage img = e.draw();
    // The later copies cover part of the earlier ones, so compare the outer corners.
    QRect shade = fctest::boxOf(img, kShade), light = fctest::boxOf(img, kLight);
    EXPECT_EQ(shade.topLeft(), face.topLeft() - QPoint(1, 1));
    EXPECT_LE(shade.bottom(), face.bottom());
    EXPECT_EQ(light.bottomRight(), face.bottomRight() + QPoint(1, 1));
    EXPECT_GE(light.top(), face.top());
    EXPECT_EQ(fctest::boxOf(img, kFace), face);
    // A one-pixel colour column shows the exact copies: shade, face, light side by side.
    int y = face.top() + 3;
    int x = face.left();
    while (img.pixelColor(x, y) != kFace && x < face.right()) ++x;
    EXPECT_EQ(img.pixelColor(x - 1, y - 1), kShade);
}

TEST(TextEngine, RaisedIsTheReverseOfLowered) {
    Engine e;
    QRect face = faceBox(e);
    e.text.SetStyle(fclsRaised);
    QImage img = e.draw();
    EXPECT_EQ(fctest::boxOf(img, kLight).topLeft(), face.topLeft() - QPoint(1, 1));
    EXPECT_EQ(fctest::boxOf(img, kShade).bottomRight(), face.bottomRight() + QPoint(1, 1));
    EXPECT_LE(fctest::boxOf(img, kLight).bottom(), face.bottom());
}

TEST(TextEngine, RaisedWithoutHighlightDrawsOnlyShadeAndText) {
    Engine e;
    QRect face = faceBox(e);
    e.text.SetStyle(fclsRaised);
    e.text.SetHighlightColor(fcColors::clNone);
    QImage img = e.draw();
    EXPECT_EQ(fctest::countColor(img, kLight), 0);
    EXPECT_EQ(fctest::boxOf(img, kShade), face.translated(1, 1));
    EXPECT_EQ(fctest::boxOf(img, kFace), face);
}

TEST(TextEngine, DisabledDefaultShowsLightCopyUnderShadeText) {
    Engine e;
    QRect face = faceBox(e);
    e.owner.enabled = false;
    QImage img = e.draw();
    EXPECT_EQ(fctest::countColor(img, kFace), 0);
    EXPECT_EQ(fctest::countColor(img, kShade), 0);
    EXPECT_EQ(fctest::boxOf(img, QColor(90, 90, 90)), face);
    EXPECT_EQ(fctest::boxOf(img, QColor(250, 250, 0)), face.translated(1, 1));
}

TEST(TextEngine, OutlineDrawsEightCopiesAroundTheText) {
    Engine e;
    e.text.SetOutlineColor(kShade);
    e.text.SetStyle(fclsOutline);
    QImage img = e.draw();
    QRect face = fctest::boxOf(img, kFace);
    ASSERT_FALSE(face.isEmpty());
    EXPECT_EQ(fctest::boxOf(img, kShade), face.adjusted(-1, -1, 1, 1));
    // Each of the eight directions shows: ring pixels exist just beyond every side.
    for (int o = fcTopLeft; o <= fcBottom; ++o) {
        QPoint s = fcOrientationStep(TfcOrientation(o));
        bool seen = false;
        for (int y = face.top(); y <= face.bottom() && !seen; ++y)
            for (int x = face.left(); x <= face.right() && !seen; ++x)
                if (img.pixelColor(x, y) == kFace && img.pixelColor(x + s.x(), y + s.y()) == kShade) seen = true;
        EXPECT_TRUE(seen) << "direction " << o;
    }
    // The outline adds two pixels to the block.
    EXPECT_EQ(e.text.EffectsSize(false), e.text.TextBlockSize() + QSize(2, 2));
}

TEST(TextEngine, DisabledOutlineUsesDisabledColours) {
    Engine e;
    e.text.SetOutlineColor(kShade);
    e.text.SetStyle(fclsOutline);
    e.owner.enabled = false;
    QImage img = e.draw();
    EXPECT_EQ(fctest::countColor(img, kShade) + fctest::countColor(img, kFace), 0);
    QRect face = fctest::boxOf(img, QColor(250, 250, 0));
    EXPECT_EQ(fctest::boxOf(img, QColor(90, 90, 90)), face.adjusted(-1, -1, 1, 1));
}

TEST(TextEngine, ShadowLiesAtItsOffsets) {
    Engine e;
    e.text.Shadow().SetColor(kShade);
    e.text.Shadow().SetEnabled(true);
    e.text.Shadow().SetXOffset(6);
    e.text.Shadow().SetYOffset(4);
    QImage img = e.draw();
    QRect face = fctest::boxOf(img, kFace);
    QRect shadow = fctest::boxOf(img, kShade);
    EXPECT_EQ(shadow.bottomRight(), face.bottomRight() + QPoint(6, 4));
    EXPECT_EQ(shadow.right() - face.right(), 6);
    // A negative offset puts the shadow up and left, and the block grows by the offsets.
    e.text.Shadow().SetXOffset(-6);
    img = e.draw();
    face = fctest::boxOf(img, kFace);
    shadow = fctest::boxOf(img, kShade);
    EXPECT_EQ(shadow.left(), face.left() - 6);
    EXPECT_EQ(e.text.EffectsSize(false), e.text.TextBlockSize() + QSize(6, 4));
}

TEST(TextEngine, ExtrusionLayersRunFromFarToNearBehindTheText) {
    Engine e("I");
    auto& x = e.text.ExtrudeEffects();
    x.SetDepth(4);
    x.SetFarColor(QColor(200, 0, 0));
    x.SetNearColor(QColor(0, 0, 200));
    x.SetEnabled(true);
    QImage img = e.draw();
    QRect face = fctest::boxOf(img, kFace);
    ASSERT_FALSE(face.isEmpty());
    // fcBottomRight: the layers extend down and right; layer i is Depth − i steps away.
    for (int i = 1; i <= 3; ++i) {
        QColor c = x.LayerColor(i, QPalette());
        QRect layer = fctest::boxOf(img, c);
        EXPECT_EQ(layer.bottomRight(), face.bottomRight() + QPoint(4 - i, 4 - i)) << "layer " << i;
    }
    EXPECT_EQ(x.LayerColor(1, QPalette()), QColor(150, 0, 50));
    EXPECT_EQ(x.LayerColor(2, QPalette()), QColor(100, 0, 100));
    EXPECT_EQ(x.LayerColor(4, QPalette()), QColor(0, 0, 200));
    EXPECT_EQ(e.text.EffectsSize(false), e.text.TextBlockSize() + QSize(4, 4));

    // fcTopLeft puts them on the other side.
    x.SetOrientation(fcTopLeft);
    img = e.draw();
    face = fctest::boxOf(img, kFace);
    EXPECT_EQ(fctest::boxOf(img, x.LayerColor(1, QPalette())).topLeft(), face.topLeft() - QPoint(3, 3));
    // A vertical extrusion only adds height.
    x.SetOrientation(fcTop);
    EXPECT_EQ(e.text.EffectsSize(false), e.text.TextBlockSize() + QSize(0, 4));
}

TEST(TextEngine, StriatedExtrusionDarkensEveryEvenLayer) {
    TfcExtrudeEffects x;
    x.SetDepth(10);
    x.SetFarColor(QColor(0, 0, 0));
    x.SetNearColor(QColor(200, 100, 40));
    EXPECT_EQ(x.LayerColor(5, QPalette()), QColor(100, 50, 20));
    x.SetStriated(true);
    EXPECT_EQ(x.LayerColor(5, QPalette()), QColor(100, 50, 20));
    EXPECT_EQ(x.LayerColor(6, QPalette()), QColor(120 / 4, 60 / 4, 24 / 4));
}

TEST(TextEngine, ShadowAgainstTheExtrusionDoesNotEnlargeTheBlock) {
    Engine e;
    e.text.ExtrudeEffects().SetEnabled(true);  // fcBottomRight, step (−1, −1)
    e.text.Shadow().SetEnabled(true);          // offsets (10, 10): against the step
    EXPECT_EQ(e.text.EffectiveShadowOffset(), QPoint(0, 0));
    e.text.Shadow().SetXOffset(-3);
    EXPECT_EQ(e.text.EffectiveShadowOffset(), QPoint(-3, 0));
}

TEST(TextEngine, RotatedBoundingBox) {
    Engine e("WWWWWW");
    QSize block = e.text.TextBlockSize();
    e.text.SetRotation(90);
    EXPECT_EQ(e.text.EffectsSize(false), QSize(block.height(), block.width()));
    e.text.SetRotation(30);
    double s = 0.5, c = std::sqrt(3.0) / 2;
    EXPECT_EQ(e.text.EffectsSize(false),
              QSize(fcFloored(s * block.height() + c * block.width()), fcFloored(c * block.height() + s * block.width())));
    // Drawn at 90 degrees the text stands upright: taller than wide.
    e.text.SetRotation(90);
    e.text.SetAlignment(taCenter);
    e.text.SetVAlignment(vaVCenter);
    QRect box = fctest::boxOf(e.draw(QSize(200, 200)), kFace);
    EXPECT_GT(box.height(), 2 * box.width());
    EXPECT_NEAR(box.center().x(), 100, 4);
    EXPECT_NEAR(box.center().y(), 100, 4);
}

TEST(TextEngine, RotationIsStoredModulo360) {
    Engine e;
    e.text.SetRotation(-90);
    EXPECT_EQ(e.text.Rotation(), 270);
    e.text.SetRotation(450);
    EXPECT_EQ(e.text.Rotation(), 90);
    e.text.SetRotation(-360);
    EXPECT_EQ(e.text.Rotation(), 360);
    QImage at360 = e.draw();
    e.text.SetRotation(0);
    EXPECT_EQ(e.draw(), at360);
    // Rotation notifies even when unchanged.
    e.owner.refits = 0;
    e.text.SetRotation(0);
    EXPECT_EQ(e.owner.refits, 1);
}

TEST(TextEngine, LineSpacingSeparatesCrLfPieces) {
    Engine e("H\r\nH");
    e.text.SetLineSpacing(0);
    QFontMetrics fm(e.owner.font);
    EXPECT_EQ(e.text.Pieces().size(), 2);
    EXPECT_EQ(e.text.TextBlockSize().height(), 2 * fm.height());
    QRect tight = fctest::boxOf(e.draw(), kFace);
    e.text.SetLineSpacing(5);
    EXPECT_EQ(e.text.TextBlockSize().height(), 2 * fm.height() + 5);
    QRect spaced = fctest::boxOf(e.draw(), kFace);
    EXPECT_EQ(spaced.top(), tight.top());
    EXPECT_EQ(spaced.bottom(), tight.bottom() + 5);
    // The second line starts a full line lower when there is no gap.
    Engine one("H");
    EXPECT_EQ(tight.height(), fctest::boxOf(one.draw(), kFace).height() + fm.height());
}

TEST(TextEngine, LoneCarriageReturnBreaksWithoutSpacing) {
    Engine e("H\rH");
    QFontMetrics fm(e.owner.font);
    EXPECT_EQ(e.text.Pieces().size(), 1);
    EXPECT_EQ(e.text.TextBlockSize().height(), 2 * fm.height());
    QRect box = fctest::boxOf(e.draw(), kFace);
    Engine one("H");
    EXPECT_EQ(box.height(), fctest::boxOf(one.draw(), kFace).height() + fm.height());
}

TEST(TextEngine, EmptyTextDrawsNothing) {
    Engine e("");
    e.text.SetStyle(fclsLowered);
    EXPECT_TRUE(e.text.Pieces().isEmpty());
    EXPECT_EQ(e.text.TextBlockSize(), QSize(0, 0));
    QImage img = e.draw();
    EXPECT_EQ(fctest::countColor(img, kBack), img.width() * img.height());
}

TEST(TextEngine, AcceleratorMarkersAreNotMeasured) {
    Engine a("&File"), b("File");
    EXPECT_EQ(a.text.TextBlockSize(), b.text.TextBlockSize());
    Engine c("R&&D"), d("R&D");
    d.text.SetOptions({});
    EXPECT_EQ(c.text.TextBlockSize(), d.text.TextBlockSize());
}

TEST(TextEngine, AlignmentsPlaceTheBlock) {
    Engine e;
    QRect left = fctest::boxOf(e.draw(), kFace);
    EXPECT_LE(left.left(), 2);
    EXPECT_LE(left.top(), 6);
    e.text.SetAlignment(taRightJustify);
    e.text.SetVAlignment(vaBottom);
    QRect right = fctest::boxOf(e.draw(), kFace);
    EXPECT_EQ(right.size(), left.size());
    EXPECT_GE(right.right(), 196);
    EXPECT_GE(right.bottom(), 110);
    e.text.SetAlignment(taCenter);
    e.text.SetVAlignment(vaVCenter);
    QRect mid = fctest::boxOf(e.draw(), kFace);
    EXPECT_NEAR(mid.center().x(), 100, 2);
    EXPECT_NEAR(mid.center().y(), 60, 4);
}

TEST(TextEngine, EllipsisShortensTextThatDoesNotFit) {
    Engine e("A rather long caption");
    e.text.SetOptions(toShowEllipsis);
    QImage narrow = e.draw(QSize(60, 30));
    // Without the ellipsis the text runs over the right edge of the rectangle.
    e.text.SetOptions({});
    QImage full = e.draw(QSize(60, 30));
    EXPECT_NE(narrow, full);
    EXPECT_LT(fctest::countColor(narrow, kFace), fctest::countColor(full, kFace));
}

TEST(TextEngine, SizeChangesRefitAndColourChangesOnlyRepaint) {
    Engine e;
    e.text.SetLineSpacing(5);  // unchanged
    e.text.SetStyle(fclsDefault);
    e.text.SetShadeColor(kShade);
    EXPECT_EQ(e.owner.repaints, 0);
    e.text.SetLineSpacing(2);
    EXPECT_EQ(e.owner.refits, 1);
    e.text.Shadow().SetXOffset(3);
    e.text.ExtrudeEffects().SetOrientation(fcTop);
    EXPECT_EQ(e.owner.refits, 3);
    e.text.SetOutlineColor(kLight);
    e.text.SetAlignment(taCenter);
    e.text.SetWordWrap(true);
    e.text.Shadow().SetColor(kLight);
    e.text.DisabledColors().SetShadeColor(kLight);
    EXPECT_EQ(e.owner.refits, 3);
    EXPECT_EQ(e.owner.repaints, 8);
}

TEST(TextEngine, AssignCopiesEverySetting) {
    Engine a, b;
    a.text.SetStyle(fclsOutline);
    a.text.SetRotation(45);
    a.text.SetLineSpacing(9);
    a.text.Shadow().SetEnabled(true);
    a.text.ExtrudeEffects().SetDepth(3);
    b.text.Assign(a.text);
    EXPECT_EQ(b.text.Style(), fclsOutline);
    EXPECT_EQ(b.text.Rotation(), 45);
    EXPECT_EQ(b.text.LineSpacing(), 9);
    EXPECT_TRUE(b.text.Shadow().Enabled());
    EXPECT_EQ(b.text.ExtrudeEffects().Depth(), 3);
    EXPECT_EQ(b.text.Text(), a.text.Text());
}
