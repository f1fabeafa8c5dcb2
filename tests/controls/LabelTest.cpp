// The label: auto-size, right edge, transparency, the accelerator and repaint economy.

#include "FcTestApp.h"
#include "controls/FcLabel.h"

#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

}  // namespace

TEST(Label, NewLabelDefaults) {
    fctest::app();
    TfcLabel l;
    EXPECT_EQ(l.size(), QSize(65, 17));
    EXPECT_TRUE(l.AutoSize());
    EXPECT_FALSE(l.Transparent());
    EXPECT_TRUE(l.ParentColor());
    EXPECT_EQ(l.FocusControl(), nullptr);
}

TEST(Label, AutoSizeFitsTheText) {
    fctest::app();
    TfcLabel l;
    l.setFont(fctest::crispFont(16));
    l.SetCaption("Hello");
    QFontMetrics fm(l.font());
    EXPECT_EQ(l.size(), QSize(fm.boundingRect(QRect(), Qt::AlignLeft, "Hello").width(), fm.height()));
    // Style and effects that enlarge the block re-fit the label at once.
    QSize plain = l.size();
    l.TextOptions().SetStyle(fclsOutline);
    EXPECT_EQ(l.size(), plain + QSize(2, 2));
    l.TextOptions().Shadow().SetEnabled(true);
    EXPECT_EQ(l.size(), plain + QSize(12, 12));
    // A font change re-fits too.
    l.setFont(fctest::crispFont(30));
    EXPECT_GT(l.height(), plain.height() + 12);
}

TEST(Label, EmptyCaptionSizesToTheEffectsOnly) {
    fctest::app();
    TfcLabel l;
    l.SetCaption("Some text");
    l.TextOptions().Shadow().SetEnabled(true);
    l.SetCaption("");
    EXPECT_EQ(l.size(), QSize(10, 10));
    l.TextOptions().Shadow().SetEnabled(false);
    EXPECT_EQ(l.size(), QSize(0, 0));
}

TEST(Label, RightJustifiedAutoSizeKeepsTheRightEdge) {
    fctest::app();
    QWidget parent;
    parent.resize(400, 100);
    TfcLabel l(&parent);
    l.TextOptions().SetAlignment(taRightJustify);
    l.move(300, 10);
    l.SetCaption("Short");
    int right = l.geometry().right();
    l.SetCaption("A much longer caption");
    EXPECT_EQ(l.geometry().right(), right);
    EXPECT_LT(l.x(), 300 - 40);
    // Left-justified labels keep their left edge instead.
    TfcLabel left(&parent);
    left.move(20, 40);
    left.SetCaption("Short");
    left.SetCaption("A much longer caption");
    EXPECT_EQ(left.x(), 20);
}

TEST(Label, AutoSizeOffKeepsTheSize) {
    fctest::app();
    TfcLabel l;
    l.SetAutoSize(false);
    l.SetCaption("A caption longer than sixty-five pixels");
    EXPECT_EQ(l.size(), QSize(65, 17));
}

TEST(Label, OpaqueFillsWithColourTransparentShowsTheParent) {
    fctest::app();
    QWidget parent;
    parent.resize(100, 40);
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, QColor(0, 128, 0));
    parent.setPalette(pal);
    parent.setAutoFillBackground(true);
    TfcLabel l(&parent);
    l.SetAutoSize(false);
    l.setGeometry(10, 10, 60, 20);
    // By default the label takes the parent's colour.
    QImage img = fctest::grab(parent);
    EXPECT_EQ(img.pixelColor(12, 12), QColor(0, 128, 0));
    l.SetColor(QColor(200, 0, 0));
    EXPECT_FALSE(l.ParentColor());
    img = fctest::grab(parent);
    EXPECT_EQ(img.pixelColor(12, 12), QColor(200, 0, 0));
    EXPECT_EQ(img.pixelColor(5, 5), QColor(0, 128, 0));
    l.SetTransparent(true);
    img = fctest::grab(parent);
    EXPECT_EQ(img.pixelColor(12, 12), QColor(0, 128, 0));
}

TEST(Label, DrawsItsCaptionInTheFontColour) {
    fctest::app();
    TfcLabel l;
    l.setFont(fctest::crispFont(16));
    QPalette pal = l.palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 255));
    l.setPalette(pal);
    l.SetCaption("Text");
    QImage img = fctest::grab(l);
    EXPECT_GT(fctest::countColor(img, QColor(0, 0, 255)), 20);
    l.SetCaption("");
    l.SetAutoSize(false);
    l.resize(50, 20);
    EXPECT_EQ(fctest::countColor(fctest::grab(l), QColor(0, 0, 255)), 0);
}

TEST(Label, AcceleratorFocusesTheFocusControl) {
    fctest::app();
    QWidget window;
    window.resize(200, 100);
    TfcLabel l(&window);
    l.SetCaption("&Name");
    QLineEdit edit(&window);
    edit.move(0, 40);
    QLineEdit other(&window);
    other.move(0, 70);
    l.SetFocusControl(&edit);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other.setFocus();
    QTest::keyClick(&other, Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(edit.hasFocus());
    // A disabled label, or one whose "&" is shown literally, does nothing.
    other.setFocus();
    l.setEnabled(false);
    QTest::keyClick(&other, Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(other.hasFocus());
    l.setEnabled(true);
    l.TextOptions().SetOptions({});
    QTest::keyClick(&other, Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(other.hasFocus());
}

TEST(Label, SameCaptionTwiceDoesNotRepaint) {
    fctest::app();
    QWidget window;
    window.resize(200, 60);
    TfcLabel l(&window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    PaintCounter counter;
    l.installEventFilter(&counter);
    l.SetCaption("One");
    QCoreApplication::processEvents();
    EXPECT_GE(counter.paints, 1);
    counter.paints = 0;
    l.SetCaption("One");
    l.TextOptions().SetStyle(fclsDefault);
    l.TextOptions().SetAlignment(taLeftJustify);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);
}

TEST(Label, ClickAndMouseEvents) {
    fctest::app();
    QWidget window;
    window.resize(200, 60);
    TfcLabel l(&window);
    l.SetCaption("Click me");
    int clicks = 0, doubles = 0;
    l.OnClick = [&] { ++clicks; };
    l.OnDblClick = [&] { ++doubles; };
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(&l, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(clicks, 1);
    QTest::mouseDClick(&l, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(doubles, 1);
}
