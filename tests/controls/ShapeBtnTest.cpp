// The shape button: defaults, bevels drawn into images, shapes and regions, mouse and
// keyboard handling, kinds, groups and the custom point list.

#include "FcTestApp.h"
#include "controls/EInvalidOperation.h"
#include "controls/FcShapeBtn.h"

#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QColor kFace(192, 192, 192), kHi(255, 255, 255), kLight(224, 224, 224), kShadow(128, 128, 128),
    kBlack(0, 0, 0), kFocus(0, 0, 160), kText(0, 0, 255);

// A button with distinct bevel colours inside a shown window.
struct Fixture {
    QWidget window;
    TfcShapeBtn* btn;
    Fixture(QSize size = QSize(239, 35), const QString& caption = "Button") {
        fctest::app();
        window.resize(400, 200);
        btn = new TfcShapeBtn(&window);
        btn->move(20, 20);
        btn->resize(size);
        btn->setFont(fctest::crispFont(14));
        QPalette pal = btn->palette();
        pal.setColor(QPalette::ButtonText, kText);
        btn->setPalette(pal);
        btn->SetColor(kFace);
        auto& sc = btn->ShadeColors();
        sc.SetBtnHighlight(kHi);
        sc.SetBtn3DLight(kLight);
        sc.SetBtnShadow(kShadow);
        sc.SetBtnBlack(kBlack);
        sc.SetBtnFocus(kFocus);
        btn->SetCaption(caption);
    }
    void show() {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QImage image() { return fctest::grab(*btn); }
    QPoint mid() const { return QPoint(btn->width() / 2, btn->height() / 2); }
};

}  // namespace

TEST(ShapeBtn, NewButtonDefaults) {
    fctest::app();
    TfcShapeBtn b;
    EXPECT_EQ(b.size(), QSize(75, 25));
    EXPECT_EQ(b.Shape(), bsRect);
    EXPECT_EQ(b.Orientation(), soUp);
    EXPECT_EQ(b.RoundRectBias(), 25);
    EXPECT_EQ(b.ShadeStyle(), fbsHighlight);
    EXPECT_EQ(b.Spacing(), 4);
    EXPECT_EQ(b.Margin(), -1);
    EXPECT_EQ(b.NumGlyphs(), 1);
    EXPECT_EQ(b.Kind(), bkCustom);
    EXPECT_EQ(b.Layout(), blGlyphLeft);
    EXPECT_EQ(b.Style(), bsAutoDetect);
    EXPECT_EQ(b.ModalResult(), 0);
    EXPECT_EQ(b.GroupIndex(), 0);
    EXPECT_FALSE(b.Default() || b.Cancel() || b.Down() || b.AllowAllUp() || b.SmoothFont());
    EXPECT_EQ(b.Options(), TfcButtonOptions());
    EXPECT_EQ(b.focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(b.Color() == fcColors::clBtnFace);
    EXPECT_TRUE(b.DitherColor() == TfcColor(Qt::white));
    EXPECT_EQ(b.TextOptions().Alignment(), taCenter);
    EXPECT_EQ(b.TextOptions().VAlignment(), vaVCenter);
    EXPECT_EQ(b.Offsets().TextDownX(), 1);
    EXPECT_EQ(b.Offsets().TextDownY(), 1);
    EXPECT_EQ(b.Offsets().ImageDownX(), 2);
    EXPECT_EQ(b.Offsets().GlyphX(), 0);
    EXPECT_TRUE(b.ShadeColors().BtnBlack() == TfcColor(Qt::black));
    EXPECT_TRUE(b.ShadeColors().Btn3DLight() == fcColors::cl3DLight);
    b.SetOptions(boFocusable);
    EXPECT_EQ(b.focusPolicy(), Qt::StrongFocus);
}

TEST(ShapeBtn, RectangleBevelLightTopLeftDarkBottomRight) {
    Fixture f;
    QImage img = f.image();
    EXPECT_EQ(img.pixelColor(100, 0), kHi);
    EXPECT_EQ(img.pixelColor(100, 1), kLight);
    EXPECT_EQ(img.pixelColor(0, 17), kHi);
    EXPECT_EQ(img.pixelColor(1, 17), kLight);
    EXPECT_EQ(img.pixelColor(100, 34), kBlack);
    EXPECT_EQ(img.pixelColor(100, 33), kShadow);
    EXPECT_EQ(img.pixelColor(238, 17), kBlack);
    EXPECT_EQ(img.pixelColor(237, 17), kShadow);
    EXPECT_EQ(img.pixelColor(238, 0), kBlack);  // the mixed corners go dark
    EXPECT_EQ(img.pixelColor(0, 34), kBlack);
    EXPECT_EQ(img.pixelColor(10, 10), kFace);
    // The caption is centred.
    QRect text = fctest::boxOf(img, kText);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_NEAR(text.center().x(), 119, 2);
    EXPECT_NEAR(text.center().y(), 17, 3);
}

TEST(ShapeBtn, PressingSwapsTheEdgesAndMovesTheCaption) {
    Fixture f;
    f.show();
    QRect upText = fctest::boxOf(f.image(), kText);
    QTest::mousePress(f.btn, Qt::LeftButton, {}, f.mid());
    EXPECT_TRUE(f.btn->IsPressedLook());
    QImage img = f.image();
    EXPECT_EQ(img.pixelColor(100, 0), kBlack);
    EXPECT_EQ(img.pixelColor(100, 1), kShadow);
    EXPECT_EQ(img.pixelColor(100, 34), kHi);
    EXPECT_EQ(img.pixelColor(100, 33), kLight);
    EXPECT_EQ(img.pixelColor(238, 17), kHi);
    EXPECT_EQ(fctest::boxOf(img, kText), upText.translated(1, 1));
    QTest::mouseRelease(f.btn, Qt::LeftButton, {}, f.mid());
    EXPECT_FALSE(f.btn->IsPressedLook());
}

TEST(ShapeBtn, DefaultButtonHasFocusOutlineAndDeeperBevel) {
    Fixture f;
    f.btn->SetDefault(true);
    QImage img = f.image();
    EXPECT_EQ(img.pixelColor(100, 0), kFocus);
    EXPECT_EQ(img.pixelColor(100, 1), kHi);
    EXPECT_EQ(img.pixelColor(100, 2), kLight);
    EXPECT_EQ(img.pixelColor(100, 34), kFocus);
    EXPECT_EQ(img.pixelColor(100, 33), kBlack);
    EXPECT_EQ(img.pixelColor(100, 32), kShadow);
}

TEST(ShapeBtn, FlatStyleShowsTheBevelOnlyUnderThePointer) {
    Fixture f;
    f.btn->SetShadeStyle(fbsFlat);
    QImage img = f.image();
    EXPECT_EQ(img.pixelColor(100, 0), kFace);
    EXPECT_EQ(img.pixelColor(100, 34), kFace);
    QEnterEvent enter(QPointF(5, 5), QPointF(25, 25), QPointF(25, 25));
    QCoreApplication::sendEvent(f.btn, &enter);
    img = f.image();
    EXPECT_EQ(img.pixelColor(100, 0), kHi);
}

TEST(ShapeBtn, RoundedCornerIsOutsideTheShape) {
    Fixture f(QSize(170, 35));
    f.btn->SetShape(bsRoundRect);
    f.show();
    EXPECT_FALSE(f.btn->IsInsideShape(QPoint(1, 1)));
    EXPECT_FALSE(f.btn->IsInsideShape(QPoint(168, 33)));
    EXPECT_TRUE(f.btn->IsInsideShape(QPoint(85, 1)));
    EXPECT_FALSE(f.btn->mask().isEmpty());
    EXPECT_FALSE(f.btn->mask().contains(QPoint(0, 0)));
    int clicks = 0;
    f.btn->OnClick = [&] { ++clicks; };
    QTest::mousePress(f.btn, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_FALSE(f.btn->IsPressedLook());
    QTest::mouseRelease(f.btn, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(f.btn, Qt::LeftButton, {}, f.mid());
    EXPECT_EQ(clicks, 1);
    // Outside the shape nothing is painted; the figure bevel lights the top.
    QImage img = f.image();
    EXPECT_EQ(img.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(img.pixelColor(85, 0), kHi);
    EXPECT_EQ(img.pixelColor(85, 34), kBlack);
}

TEST(ShapeBtn, EllipseBevelAndRegion) {
    Fixture f(QSize(101, 61), "");
    f.btn->SetShape(bsEllipse);
    QImage img = f.image();
    EXPECT_EQ(img.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(img.pixelColor(50, 30), kFace);
    // Top of the ellipse light, bottom dark, with the second ring inside.
    int top = 0;
    while (img.pixelColor(50, top).alpha() == 0) ++top;
    EXPECT_EQ(img.pixelColor(50, top), kHi);
    EXPECT_EQ(img.pixelColor(51, top + 1), kLight);
    int bottom = 60;
    while (img.pixelColor(50, bottom).alpha() == 0) --bottom;
    EXPECT_EQ(img.pixelColor(50, bottom), kBlack);
    EXPECT_EQ(img.pixelColor(49, bottom - 1), kShadow);
    EXPECT_TRUE(f.btn->IsInsideShape(QPoint(50, 30)));
    EXPECT_FALSE(f.btn->IsInsideShape(QPoint(2, 2)));
}

TEST(ShapeBtn, TriangleAndOrientation) {
    Fixture f(QSize(101, 41), "");
    f.btn->SetShape(bsTriangle);
    EXPECT_EQ(f.btn->Polygon(), QPolygon({QPoint(50, 0), QPoint(100, 40), QPoint(0, 40)}));
    EXPECT_FALSE(f.btn->IsInsideShape(QPoint(2, 2)));
    EXPECT_TRUE(f.btn->IsInsideShape(QPoint(2, 39)));
    f.btn->SetOrientation(soDown);
    EXPECT_TRUE(f.btn->IsInsideShape(QPoint(2, 1)));
    EXPECT_FALSE(f.btn->IsInsideShape(QPoint(2, 39)));
    // A resize rebuilds the polygon and the region.
    f.btn->resize(201, 41);
    EXPECT_EQ(f.btn->Polygon(), QPolygon({QPoint(100, 40), QPoint(0, 0), QPoint(200, 0)}));
    EXPECT_TRUE(f.btn->IsInsideShape(QPoint(150, 2)));
}

TEST(ShapeBtn, DraggingOutAndReleasingGivesNoClick) {
    Fixture f;
    f.show();
    int clicks = 0;
    f.btn->OnClick = [&] { ++clicks; };
    QTest::mousePress(f.btn, Qt::LeftButton, {}, f.mid());
    EXPECT_TRUE(f.btn->IsPressedLook());
    QTest::mouseMove(f.btn, QPoint(300, 100));
    EXPECT_FALSE(f.btn->IsPressedLook());
    QTest::mouseMove(f.btn, f.mid());
    EXPECT_TRUE(f.btn->IsPressedLook());
    QTest::mouseMove(f.btn, QPoint(300, 100));
    QTest::mouseRelease(f.btn, Qt::LeftButton, {}, QPoint(300, 100));
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(f.btn->IsPressedLook());
}

TEST(ShapeBtn, SpaceAndEnterClickTheFocusedButton) {
    Fixture f;
    f.btn->SetOptions(boFocusable);
    f.show();
    f.btn->setFocus();
    ASSERT_TRUE(f.btn->hasFocus());
    int clicks = 0;
    f.btn->OnClick = [&] { ++clicks; };
    QTest::keyPress(f.btn, Qt::Key_Space);
    EXPECT_TRUE(f.btn->IsPressedLook());
    EXPECT_EQ(clicks, 0);
    QTest::keyRelease(f.btn, Qt::Key_Space);
    EXPECT_EQ(clicks, 1);
    QTest::keyClick(f.btn, Qt::Key_Return);
    EXPECT_EQ(clicks, 2);
    QTest::keyClick(f.btn, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(clicks, 3);
    QTest::keyClick(f.btn, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(clicks, 3);
}

TEST(ShapeBtn, UnfocusableButtonIsSkippedByTabButReactsToMouseAndEnter) {
    Fixture f;
    QLineEdit* a = new QLineEdit(&f.window);
    a->move(0, 100);
    QLineEdit* b = new QLineEdit(&f.window);
    b->move(0, 150);
    QWidget::setTabOrder(a, f.btn);
    QWidget::setTabOrder(f.btn, b);
    f.show();
    a->setFocus();
    QTest::keyClick(a, Qt::Key_Tab);
    EXPECT_TRUE(b->hasFocus());
    int clicks = 0;
    f.btn->OnClick = [&] { ++clicks; };
    QTest::mouseClick(f.btn, Qt::LeftButton, {}, f.mid());
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(b->hasFocus());  // the mouse does not take the focus either
    // Enter in the line edit clicks the default button.
    f.btn->SetDefault(true);
    QTest::keyClick(b, Qt::Key_Return);
    EXPECT_EQ(clicks, 2);
    // Not with a modifier, and not while the button is disabled.
    QTest::keyClick(b, Qt::Key_Return, Qt::ShiftModifier);
    f.btn->setEnabled(false);
    QTest::keyClick(b, Qt::Key_Return);
    EXPECT_EQ(clicks, 2);
}

TEST(ShapeBtn, EscapeClicksTheCancelButton) {
    Fixture f;
    auto* edit = new QLineEdit(&f.window);
    edit->move(0, 100);
    f.show();
    edit->setFocus();
    int clicks = 0;
    f.btn->OnClick = [&] { ++clicks; };
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(clicks, 0);
    f.btn->SetCancel(true);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(clicks, 1);
}

TEST(ShapeBtn, AcceleratorClicks) {
    Fixture f(QSize(100, 30), "&Go");
    auto* edit = new QLineEdit(&f.window);
    edit->move(0, 100);
    f.show();
    edit->setFocus();
    int clicks = 0;
    f.btn->OnClick = [&] { ++clicks; };
    QTest::keyClick(edit, Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
}

TEST(ShapeBtn, KindSetsRolesCaptionAndGlyph) {
    fctest::app();
    TfcShapeBtn b;
    b.SetKind(bkOK);
    EXPECT_EQ(b.Kind(), bkOK);
    EXPECT_TRUE(b.Default());
    EXPECT_FALSE(b.Cancel());
    EXPECT_EQ(b.ModalResult(), 1);
    EXPECT_EQ(b.Caption(), "OK");
    EXPECT_EQ(b.NumGlyphs(), 2);
    EXPECT_FALSE(b.Glyph().isNull());
    EXPECT_EQ(b.Glyph().width(), 2 * b.Glyph().height());
    b.SetDefault(false);
    EXPECT_EQ(b.Kind(), bkCustom);
    b.SetKind(bkNo);
    EXPECT_TRUE(b.Cancel());
    EXPECT_EQ(b.ModalResult(), 7);
    EXPECT_EQ(b.Caption(), "&No");
    b.SetModalResult(3);
    EXPECT_EQ(b.Kind(), bkCustom);
    b.SetKind(bkAll);
    EXPECT_EQ(b.ModalResult(), 8);
}

TEST(ShapeBtn, ModalResultIsHandedToTheDialog) {
    fctest::app();
    QDialog dialog;
    auto* ok = new TfcShapeBtn(&dialog);
    ok->SetKind(bkCancel);
    int clicks = 0;
    ok->OnClick = [&] { ++clicks; };
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(ok, Qt::LeftButton, {}, QPoint(30, 12));
    EXPECT_EQ(dialog.result(), 2);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(clicks, 1);
}

TEST(ShapeBtn, CloseKindClosesTheWindow) {
    Fixture f(QSize(80, 25), "");
    f.btn->SetKind(bkClose);
    f.show();
    int clicks = 0;
    f.btn->OnClick = [&] { ++clicks; };
    QTest::mouseClick(f.btn, Qt::LeftButton, {}, QPoint(40, 12));
    EXPECT_FALSE(f.window.isVisible());
    EXPECT_EQ(clicks, 0);
}

TEST(ShapeBtn, GroupedTogglesAndAllowAllUp) {
    Fixture f(QSize(60, 25), "A");
    auto* b2 = new TfcShapeBtn(&f.window);
    b2->move(100, 20);
    auto* other = new TfcShapeBtn(&f.window);  // another group
    other->move(200, 20);
    other->SetGroupIndex(2);
    other->SetDown(true);
    f.btn->SetGroupIndex(1);
    b2->SetGroupIndex(1);
    f.btn->SetOptions(boAutoBold);
    int changes = 0;
    f.btn->OnSelChange = [&] { ++changes; };
    f.show();
    QTest::mouseClick(f.btn, Qt::LeftButton, {}, QPoint(30, 12));
    EXPECT_TRUE(f.btn->Down());
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(f.btn->fcTextFont().bold());
    QTest::mouseClick(b2, Qt::LeftButton, {}, QPoint(30, 12));
    EXPECT_TRUE(b2->Down());
    EXPECT_FALSE(f.btn->Down());
    EXPECT_FALSE(f.btn->fcTextFont().bold());
    EXPECT_TRUE(other->Down());
    // A down button stays down when clicked, unless the group allows all up.
    QTest::mouseClick(b2, Qt::LeftButton, {}, QPoint(30, 12));
    EXPECT_TRUE(b2->Down());
    b2->SetAllowAllUp(true);
    EXPECT_TRUE(f.btn->AllowAllUp());
    QTest::mouseClick(b2, Qt::LeftButton, {}, QPoint(30, 12));
    EXPECT_FALSE(b2->Down());
    // Down from code only for grouped buttons.
    TfcShapeBtn loose;
    loose.SetDown(true);
    EXPECT_FALSE(loose.Down());
}

TEST(ShapeBtn, DownGroupedButtonIsDitheredWithACheckerboard) {
    Fixture f(QSize(60, 25), "");
    f.btn->SetGroupIndex(1);
    f.btn->SetDitherColor(QColor(255, 255, 0));
    f.btn->SetDown(true);
    QImage img = f.image();
    QColor a = img.pixelColor(20, 10), b = img.pixelColor(21, 10), c = img.pixelColor(21, 11);
    EXPECT_TRUE((a == QColor(255, 255, 0) && b == kFace) || (a == kFace && b == QColor(255, 255, 0)));
    EXPECT_EQ(a, c);
}

TEST(ShapeBtn, CustomPointListDrawsATriangle) {
    Fixture f(QSize(101, 41), "");
    f.btn->SetPointList({"0, 0", "WIDTH, HEIGHT", "0, HEIGHT"});
    f.btn->SetShape(bsCustom);
    EXPECT_EQ(f.btn->Shape(), bsCustom);
    EXPECT_EQ(f.btn->Polygon(), QPolygon({QPoint(0, 0), QPoint(100, 40), QPoint(0, 40)}));
    EXPECT_TRUE(f.btn->IsInsideShape(QPoint(2, 38)));
    EXPECT_FALSE(f.btn->IsInsideShape(QPoint(98, 2)));
    EXPECT_EQ(f.image().pixelColor(98, 2).alpha(), 0);
}

TEST(ShapeBtn, BadPointListFallsBackToRect) {
    Fixture f(QSize(101, 41), "");
    f.btn->SetShape(bsCustom);  // an empty list is no polygon, but no error
    try {
        f.btn->SetPointList({"0, 0", "100 40", "0, HEIGHT"});
        ADD_FAILURE() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(),
                     "Invalid Custom Points Format.  X and Y Coordinates must be separated by a comma and space.");
    }
    EXPECT_EQ(f.btn->Shape(), bsRect);
    EXPECT_EQ(f.btn->Polygon(), QPolygon({QPoint(0, 0), QPoint(100, 0), QPoint(100, 40), QPoint(0, 40)}));
    EXPECT_TRUE(f.btn->IsInsideShape(QPoint(98, 2)));
    // Setting the shape to bsCustom again with the bad list raises again.
    EXPECT_THROW(f.btn->SetShape(bsCustom), EInvalidOperation);
    EXPECT_EQ(f.btn->Shape(), bsRect);
    f.btn->SetPointList({"WIDTH / 0, 0", "1, 1", "2, 2"});
    try {
        f.btn->SetShape(bsCustom);
        ADD_FAILURE() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Divide By Zero Error");
    }
    EXPECT_EQ(f.btn->Shape(), bsRect);
}

TEST(ShapeBtn, CustomShapeWithTooFewPointsShowsNothing) {
    Fixture f(QSize(60, 30), "");
    f.btn->SetPointList({"0, 0", "WIDTH, HEIGHT"});
    f.btn->SetShape(bsCustom);
    QImage img = f.image();
    EXPECT_EQ(fctest::countColor(img, QColor(255, 0, 0)), 0);
    EXPECT_FALSE(f.btn->IsInsideShape(QPoint(30, 15)));
}

TEST(ShapeBtn, NumGlyphsIsClamped) {
    fctest::app();
    TfcShapeBtn b;
    b.SetNumGlyphs(0);
    EXPECT_EQ(b.NumGlyphs(), 1);
    b.SetNumGlyphs(9);
    EXPECT_EQ(b.NumGlyphs(), 4);
    b.SetMargin(-5);
    EXPECT_EQ(b.Margin(), -1);
}

TEST(ShapeBtn, GlyphAndCaptionLayout) {
    Fixture f(QSize(120, 40), "Go");
    QPixmap glyph(16, 16);
    glyph.fill(QColor(0, 160, 0));
    f.btn->SetGlyph(glyph);
    QImage img = f.image();
    QRect g = fctest::boxOf(img, QColor(0, 160, 0));
    QRect t = fctest::boxOf(img, kText);
    EXPECT_EQ(g.size(), QSize(16, 16));
    EXPECT_LT(g.right(), t.left());
    EXPECT_EQ(f.btn->CaptionRect().left() - f.btn->GlyphRect().right() - 1, 4);  // Spacing
    // The block is centred as a whole.
    QRect block = f.btn->CaptionRect() | f.btn->GlyphRect();
    EXPECT_NEAR(block.center().x(), 60, 1);
    f.btn->SetLayout(blGlyphTop);
    img = f.image();
    EXPECT_LT(fctest::boxOf(img, QColor(0, 160, 0)).bottom(), fctest::boxOf(img, kText).top());
    f.btn->SetLayout(blGlyphRight);
    img = f.image();
    EXPECT_GT(fctest::boxOf(img, QColor(0, 160, 0)).left(), fctest::boxOf(img, kText).right());
    // Left justified: the block starts at the margin.
    f.btn->TextOptions().SetAlignment(taLeftJustify);
    f.btn->SetLayout(blGlyphLeft);
    f.btn->SetMargin(10);
    f.image();
    EXPECT_EQ(f.btn->GlyphRect().left(), 10);
}

TEST(ShapeBtn, FocusRectangleSurroundsTheCaption) {
    Fixture f(QSize(120, 40), "Focus");
    f.btn->SetOptions(boFocusable | boFocusRect);
    f.btn->ShadeColors().SetBtnFocus(QColor(200, 0, 200));
    f.show();
    f.btn->setFocus();
    // The focused button's outline is in the focus colour too, so look inside the bevel.
    QImage img = f.image().copy(3, 3, 114, 34);
    QRect dots = fctest::boxOf(img, QColor(200, 0, 200)).translated(3, 3);
    EXPECT_EQ(dots, f.btn->CaptionRect().adjusted(-2, -2, 2, 2));
    EXPECT_GT(fctest::countColor(img, QColor(200, 0, 200)), 20);
    f.btn->SetOptions(boFocusable);
    EXPECT_EQ(fctest::countColor(f.image().copy(3, 3, 114, 34), QColor(200, 0, 200)), 0);
}
