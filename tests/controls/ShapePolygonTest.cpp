// Polygon points of every shape, their orientations, and the custom point expressions.

#include "controls/EInvalidOperation.h"
#include "controls/FcPointExpression.h"
#include "controls/FcShapePolygon.h"

#include <gtest/gtest.h>

namespace {
QPolygon P(std::initializer_list<QPoint> pts) { return QPolygon(QList<QPoint>(pts)); }
std::string errorOf(const QString& expr) {
    try {
        fcEvalPointExpression(expr);
    } catch (const EInvalidOperation& e) {
        return std::string("invalid: ") + e.what();
    } catch (const EFcConvertError& e) {
        return std::string("convert: ") + e.what();
    }
    return "no error";
}
}  // namespace

TEST(ShapePolygon, RectTriangleDiamondOnTheDefaultButton) {
    QSize s(75, 25);  // W′ 74, H′ 24
    EXPECT_EQ(fcShapePoints(bsRect, s), P({{0, 0}, {74, 0}, {74, 24}, {0, 24}}));
    EXPECT_EQ(fcShapePoints(bsTriangle, s), P({{37, 0}, {74, 24}, {0, 24}}));
    EXPECT_EQ(fcShapePoints(bsDiamond, s), P({{37, 0}, {74, 12}, {37, 24}, {0, 12}}));
    EXPECT_EQ(fcShapePoints(bsArrow, s), P({{0, 8}, {37, 0}, {74, 8}, {56, 8}, {56, 24}, {18, 24}, {18, 8}}));
    EXPECT_EQ(fcShapePoints(bsTrapezoid, s), P({{12, 0}, {62, 0}, {74, 24}, {0, 24}}));
}

TEST(ShapePolygon, OtherSizes) {
    QSize s(101, 41);  // W′ 100, H′ 40
    EXPECT_EQ(fcShapePoints(bsTriangle, s), P({{50, 0}, {100, 40}, {0, 40}}));
    EXPECT_EQ(fcShapePoints(bsTrapezoid, s), P({{20, 0}, {80, 0}, {100, 40}, {0, 40}}));
    // A tall box takes the trapezoid's inset from the width.
    EXPECT_EQ(fcShapePoints(bsTrapezoid, QSize(41, 101)), P({{10, 0}, {30, 0}, {40, 100}, {0, 100}}));
    EXPECT_EQ(fcShapePoints(bsArrow, QSize(9, 10)), P({{0, 3}, {4, 0}, {8, 3}, {6, 3}, {6, 9}, {2, 9}, {2, 3}}));
    EXPECT_EQ(fcShapePoints(bsRect, QSize(1, 1)), P({{0, 0}, {0, 0}, {0, 0}, {0, 0}}));
}

TEST(ShapePolygon, StarHasTenPoints) {
    EXPECT_EQ(fcShapePoints(bsStar, QSize(101, 41)),
              P({{50, 0}, {55, 15}, {100, 15}, {58, 24}, {62, 40}, {50, 31}, {38, 40}, {42, 24}, {0, 15}, {45, 15}}));
    QPolygon big = fcShapePoints(bsStar, QSize(201, 201));
    ASSERT_EQ(big.size(), 10);
    EXPECT_EQ(big[0], QPoint(100, 0));
    // Symmetric about the vertical middle.
    for (int i = 1; i < 5; ++i) EXPECT_EQ(big[i].x() + big[10 - i].x(), 200) << i;
    EXPECT_EQ(big[4].y(), 200);
}

TEST(ShapePolygon, FiguresHaveNoPoints) {
    EXPECT_TRUE(fcShapePoints(bsRoundRect, QSize(75, 25)).isEmpty());
    EXPECT_TRUE(fcShapePoints(bsEllipse, QSize(75, 25)).isEmpty());
    EXPECT_TRUE(fcIsFigure(bsRoundRect));
    EXPECT_TRUE(fcIsFigure(bsEllipse));
    EXPECT_FALSE(fcIsFigure(bsStar));
}

TEST(ShapePolygon, OrientationTurnsClockwiseInTheSameBox) {
    QSize s(101, 41);
    QPolygon up = fcShapePoints(bsTriangle, s);
    EXPECT_EQ(fcOrientPoints(up, soUp, s), up);
    EXPECT_EQ(fcOrientPoints(up, soRight, s), P({{100, 20}, {0, 40}, {0, 0}}));
    EXPECT_EQ(fcOrientPoints(up, soDown, s), P({{50, 40}, {0, 0}, {100, 0}}));
    EXPECT_EQ(fcOrientPoints(up, soLeft, s), P({{0, 20}, {100, 0}, {100, 40}}));
    // A box one pixel high is left as it is.
    QPolygon flat = fcShapePoints(bsTriangle, QSize(20, 1));
    EXPECT_EQ(fcOrientPoints(flat, soRight, QSize(20, 1)), flat);
}

TEST(PointExpression, Arithmetic) {
    EXPECT_EQ(fcEvalPointExpression("2 + 3 * 4"), 14);
    EXPECT_EQ(fcEvalPointExpression("10 - 2 - 3"), 5);
    EXPECT_EQ(fcEvalPointExpression("2 * 3 / 4"), 1);
    EXPECT_EQ(fcEvalPointExpression("8 / 2 * 3"), 12);
    EXPECT_EQ(fcEvalPointExpression("3 - 5 * 2"), -7);
    EXPECT_EQ(fcEvalPointExpression("0 - 5 * 2 + 1"), -9);
    EXPECT_EQ(fcEvalPointExpression("0 - 7 / 2"), -3);
    EXPECT_EQ(fcEvalPointExpression("2+3*4"), 14);
    EXPECT_EQ(fcEvalPointExpression("  42  "), 42);
}

TEST(PointExpression, Errors) {
    EXPECT_EQ(errorOf("7 / 0"), "invalid: Divide By Zero Error");
    EXPECT_EQ(errorOf("2 + x"), "invalid: Only alpha characters \"+\", \"-\", \"x\", and \"/\" are allowed.");
    EXPECT_EQ(errorOf("- 5"), "convert: '' is not a valid integer value");
    EXPECT_EQ(errorOf("5 +"), "convert: '' is not a valid integer value");
    EXPECT_EQ(errorOf("2 3"), "convert: '2 3' is not a valid integer value");
    EXPECT_EQ(errorOf(""), "convert: '' is not a valid integer value");
    EXPECT_EQ(errorOf("99999 * 99999"), "convert: '9999800001' is not a valid integer value");
}

TEST(PointExpression, CustomPointLines) {
    EXPECT_EQ(fcParseCustomPoint("WIDTH / 2, HEIGHT - 4", 100, 40), QPoint(50, 36));
    EXPECT_EQ(fcParseCustomPoint("width/2,height-4", 100, 40), QPoint(50, 36));
    EXPECT_EQ(fcParseCustomPoint("0, 0", 100, 40), QPoint(0, 0));
    EXPECT_EQ(fcParseCustomPoint("3 ,  4", 100, 40), QPoint(3, 4));
    try {
        fcParseCustomPoint("10 20", 100, 40);
        ADD_FAILURE() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(),
                     "Invalid Custom Points Format.  X and Y Coordinates must be separated by a comma and space.");
    }
}

TEST(PointExpression, CustomPolygonNeedsThreeLines) {
    QSize s(101, 41);
    EXPECT_TRUE(fcShapePoints(bsCustom, s, {"0, 0", "WIDTH, 0"}).isEmpty());
    EXPECT_EQ(fcShapePoints(bsCustom, s, {"0, 0", "WIDTH, HEIGHT", "0, HEIGHT"}), P({{0, 0}, {100, 40}, {0, 40}}));
    EXPECT_THROW(fcShapePoints(bsCustom, s, {"0, 0", "WIDTH HEIGHT", "0, HEIGHT"}), EInvalidOperation);
}
