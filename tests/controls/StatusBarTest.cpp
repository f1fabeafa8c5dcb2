// The status bar: part widths, the width and name rules, lock-key panels with an injected
// keyboard state, automatic texts, embedded controls and repaint economy.

#include "FcTestApp.h"
#include "controls/EInvalidOperation.h"
#include "controls/FcStatusBar.h"
#include "controls/FcSystemInfo.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class FakeKeys : public TfcLockKeySource {
public:
    bool on[4] = {false, false, false, false};
    bool IsOn(TfcLockKey k) const override { return on[k]; }
    void Toggle(TfcLockKey k) override {
        on[k] = !on[k];
        TfcLockKeys::Notify(k);
    }
};

struct Paints : QObject {
    int count = 0;
    QRegion region;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            ++count;
            region += static_cast<QPaintEvent*>(e)->region();
        }
        return false;
    }
    void reset() {
        count = 0;
        region = QRegion();
    }
};

// A fixed-size window with a bar of the given width.
struct Fixture {
    QWidget window;
    TfcStatusBar* bar;
    explicit Fixture(int width = 500) {
        fctest::app();
        window.setFixedSize(width, 100);
        bar = new TfcStatusBar(&window);
        bar->setFont(fctest::crispFont(12));
    }
    void show() {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents();
    }
    TfcStatusPanel* add(const QString& width, const QString& text = {}) {
        TfcStatusPanel* p = bar->Panels().Add();
        p->SetWidth(width);
        p->SetText(text);
        return p;
    }
};

std::string widthError(TfcStatusPanel* p, const QString& w) {
    try {
        p->SetWidth(w);
    } catch (const EInvalidOperation& e) {
        return e.what();
    }
    return "accepted";
}

}  // namespace

TEST(StatusBar, NewBarAndPanelDefaults) {
    Fixture f;
    EXPECT_EQ(f.bar->height(), 20);
    EXPECT_EQ(f.bar->geometry(), QRect(0, 80, 500, 20));  // docked at the bottom
    EXPECT_TRUE(f.bar->SizeGrip());
    EXPECT_FALSE(f.bar->SimplePanel());
    EXPECT_EQ(f.bar->Panels().Count(), 0);
    EXPECT_EQ(f.bar->StatusBarText().CapsLock(), "Caps");
    EXPECT_EQ(f.bar->StatusBarText().Overwrite(), "Overwrite");
    EXPECT_EQ(f.bar->StatusBarText().NumLock(), "Num");
    EXPECT_EQ(f.bar->StatusBarText().ScrollLock(), "Scroll");
    EXPECT_TRUE(f.bar->Registered().contains(f.bar));
    TfcStatusPanel* p = f.bar->Panels().Add();
    EXPECT_EQ(p->Bevel(), pbLowered);
    EXPECT_TRUE(p->Color() == fcColors::clBtnFace);
    EXPECT_TRUE(p->Enabled());
    EXPECT_EQ(p->ImageIndex(), 0);
    EXPECT_EQ(p->Indent(), 0);
    EXPECT_EQ(p->Margin(), 0);
    EXPECT_EQ(p->Style(), psTextOnly);
    EXPECT_EQ(p->Width(), "50");
    EXPECT_EQ(p->Name(), "Panel0");
    EXPECT_EQ(p->Font(), f.bar->font());
    EXPECT_EQ(p->TextOptions().VAlignment(), vaVCenter);
    EXPECT_EQ(f.bar->Panels().Add()->Name(), "Panel1");
    f.bar->Panels().Delete(0);
    EXPECT_EQ(f.bar->Panels().Add()->Name(), "Panel0");
}

TEST(StatusBar, FixedAndPercentageWidths) {
    Fixture f(500);
    TfcStatusPanel* a = f.add("100");
    TfcStatusPanel* b = f.add("50%");
    EXPECT_EQ(a->PixelWidth(), 100);
    EXPECT_EQ(b->PixelWidth(), 200);
    EXPECT_EQ(f.bar->PartRect(1).left(), 100);
    // Percentages share the width the fixed panels leave, wherever they stand.
    TfcStatusPanel* c = f.add("25%");
    f.add("100");
    EXPECT_EQ(b->PixelWidth(), 150);
    EXPECT_EQ(c->PixelWidth(), 75);
    // A fixed panel never gets more than what is left.
    Fixture g(300);
    g.add("250");
    TfcStatusPanel* over = g.add("200");
    EXPECT_EQ(over->PixelWidth(), 50);
}

TEST(StatusBar, LastPanelReachesTheEndOfTheBar) {
    Fixture f(600);
    f.bar->SetSizeGrip(false);
    f.add("350", "Questions: ");
    f.add("50", "Right answers: ");
    EXPECT_EQ(f.bar->PartCount(), 2);
    QRect last = f.bar->PartRect(1);
    EXPECT_EQ(last.left(), 350);
    EXPECT_EQ(last.right(), 599);
    EXPECT_LT(f.bar->PartRect(0).right(), 350);
}

TEST(StatusBar, BarWithoutPanelsShowsOneEmptyPart) {
    Fixture f(300);
    EXPECT_EQ(f.bar->PartCount(), 1);
    EXPECT_EQ(f.bar->PartRect(0).left(), 0);
    EXPECT_EQ(f.bar->PartRect(0).right(), 299);
    QImage img = fctest::grab(*f.bar);
    EXPECT_EQ(img.pixelColor(150, 2).rgb(), f.bar->palette().color(QPalette::Dark).rgb());  // the sunken border
    EXPECT_EQ(img.pixelColor(150, 10).rgb(), f.bar->palette().color(QPalette::Button).rgb());
}

TEST(StatusBar, WidthMustBeAnIntegerOrAPercentage) {
    Fixture f;
    TfcStatusPanel* p = f.add("80");
    const std::string msg = "Width must be a valid, positive integer, or must be an integer followed by a \"%\" sign.";
    EXPECT_EQ(widthError(p, "abc"), msg);
    EXPECT_EQ(widthError(p, "12ab"), msg);
    EXPECT_EQ(widthError(p, "%"), msg);
    EXPECT_EQ(widthError(p, "-5"), msg);
    EXPECT_EQ(widthError(p, "5%%"), msg);
    EXPECT_EQ(p->Width(), "80");
    EXPECT_EQ(p->PixelWidth(), 80);
    EXPECT_EQ(widthError(p, "30%"), "accepted");
    EXPECT_EQ(p->Width(), "30%");
    EXPECT_EQ(p->PixelWidth(), 150);
    EXPECT_EQ(widthError(p, "0"), "accepted");
}

TEST(StatusBar, PanelNamesAreUnique) {
    Fixture f;
    TfcStatusPanel* a = f.add("50");
    TfcStatusPanel* b = f.add("50");
    try {
        b->SetName("Panel0");
        ADD_FAILURE() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "A panel named Panel0 already exists.");
    }
    EXPECT_EQ(b->Name(), "Panel1");
    b->SetName("Right");
    EXPECT_EQ(f.bar->Panels().FindPanel("Right"), b);
    EXPECT_EQ(f.bar->Panels().FindPanel("Panel0"), a);
    EXPECT_EQ(f.bar->Panels().FindPanel("Nothing"), nullptr);
}

TEST(StatusBar, CapsLockPanelFollowsTheInjectedKeyState) {
    auto keys = std::make_shared<FakeKeys>();
    TfcLockKeys::SetSource(keys);
    Fixture f(300);
    f.bar->SetSizeGrip(false);
    TfcStatusPanel* p = f.add("100");
    p->SetStyle(psCapsLock);
    p->SetFont(fctest::crispFont(13));
    p->SetFontColor(QColor(0, 0, 255));
    p->TextOptions().DisabledColors().SetShadeColor(QColor(200, 0, 0));
    p->TextOptions().DisabledColors().SetHighlightColor(QColor(0, 200, 0));
    QString drawn;
    p->OnDrawText = [&](TfcStatusPanel*, QString& t, bool&) { drawn = t; };
    QRect area = f.bar->PanelRect(0);
    keys->on[lkCapsLock] = true;
    QImage img = fctest::grab(*f.bar).copy(area);
    EXPECT_EQ(drawn, "Caps");
    EXPECT_TRUE(p->TextDrawnEnabled());
    EXPECT_GT(fctest::countColor(img, QColor(0, 0, 255)), 15);
    EXPECT_EQ(fctest::countColor(img, QColor(200, 0, 0)), 0);
    keys->on[lkCapsLock] = false;
    img = fctest::grab(*f.bar).copy(area);
    EXPECT_FALSE(p->TextDrawnEnabled());
    EXPECT_EQ(fctest::countColor(img, QColor(0, 0, 255)), 0);
    EXPECT_GT(fctest::countColor(img, QColor(200, 0, 0)), 15);
    EXPECT_GT(fctest::countColor(img, QColor(0, 200, 0)), 5);
    EXPECT_EQ(p->Text(), "");
    // The bar's text and the keyboard-state event decide what is drawn.
    f.bar->StatusBarText().SetCapsLock("CAPS");
    bool seenOn = true;
    f.bar->OnDrawKeyboardState = [&](TfcCustomStatusBar*, TfcStatusPanel*, bool on, QRect, QString& t) {
        seenOn = on;
        t += "!";
    };
    fctest::grab(*f.bar);
    EXPECT_FALSE(seenOn);
    EXPECT_EQ(drawn, "CAPS!");
    TfcLockKeys::SetSource(nullptr);
}

TEST(StatusBar, LockKeyChangeRepaintsOnlyMatchingPanels) {
    auto keys = std::make_shared<FakeKeys>();
    TfcLockKeys::SetSource(keys);
    Fixture f(400);
    f.add("100", "text");
    TfcStatusPanel* num = f.add("100");
    num->SetStyle(psNumLock);
    f.show();
    Paints paints;
    f.bar->installEventFilter(&paints);
    keys->Toggle(lkNumLock);
    QCoreApplication::processEvents();
    EXPECT_EQ(paints.count, 1);
    EXPECT_EQ(paints.region.boundingRect(), f.bar->PartRect(1));
    paints.reset();
    keys->Toggle(lkScrollLock);
    QCoreApplication::processEvents();
    EXPECT_EQ(paints.count, 0);
    // Double-clicking a lock-key panel toggles its key.
    QTest::mouseDClick(f.bar, Qt::LeftButton, {}, f.bar->PartRect(1).center());
    EXPECT_FALSE(keys->on[lkNumLock]);
    TfcLockKeys::SetSource(nullptr);
}

TEST(StatusBar, SameTextTwiceGivesNoRepaintAndNoEvent) {
    Fixture f(400);
    TfcStatusPanel* a = f.add("150", "First");
    f.add("100", "Second");
    int events = 0;
    QString reported;
    a->OnTextChanged = [&](TfcStatusPanel*, const QString& t) {
        ++events;
        reported = t;
    };
    f.show();
    Paints paints;
    f.bar->installEventFilter(&paints);
    a->SetText("Changed");
    QCoreApplication::processEvents();
    EXPECT_EQ(events, 1);
    EXPECT_EQ(reported, "Changed");
    EXPECT_EQ(paints.count, 1);
    // Only the panel's own part is repainted.
    EXPECT_EQ(paints.region.boundingRect(), f.bar->PartRect(0));
    paints.reset();
    a->SetText("Changed");
    QCoreApplication::processEvents();
    EXPECT_EQ(events, 1);
    EXPECT_EQ(paints.count, 0);
}

TEST(StatusBar, WidthOnlyResizeRepaintsTheRightEnd) {
    fctest::app();
    QWidget window;
    window.resize(500, 100);
    auto* bar = new TfcStatusBar(&window);
    // Resize the bar itself: a resized window repaints everything in it anyway.
    bar->SetAlignBottom(false);
    bar->setGeometry(0, 80, 400, 20);
    bar->Panels().Add()->SetWidth("150");
    bar->Panels().Add()->SetWidth("100");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    Paints paints;
    bar->installEventFilter(&paints);
    bar->resize(380, 20);
    QCoreApplication::processEvents();
    EXPECT_EQ(paints.region.boundingRect(), QRect(355, 0, 25, 20));
    paints.reset();
    bar->resize(420, 20);
    QCoreApplication::processEvents();
    EXPECT_EQ(paints.region.boundingRect(), QRect(355, 0, 65, 20));
    // A percentage panel needs the whole bar.
    bar->Panels()[1]->SetWidth("50%");
    QCoreApplication::processEvents();
    paints.reset();
    bar->resize(400, 20);
    QCoreApplication::processEvents();
    EXPECT_EQ(paints.region.boundingRect(), QRect(0, 0, 400, 20));
    EXPECT_EQ(bar->Panels()[1]->PixelWidth(), 125);
}

TEST(StatusBar, DisabledTextPanelUsesDisabledColours) {
    Fixture f(300);
    TfcStatusPanel* p = f.add("200", "Text");
    p->SetFont(fctest::crispFont(13));
    p->SetFontColor(QColor(0, 0, 255));
    p->TextOptions().SetStyle(fclsLowered);
    p->TextOptions().DisabledColors().SetShadeColor(QColor(200, 0, 0));
    QRect area = f.bar->PanelRect(0);
    EXPECT_GT(fctest::countColor(fctest::grab(*f.bar).copy(area), QColor(0, 0, 255)), 10);
    p->SetEnabled(false);
    QImage img = fctest::grab(*f.bar).copy(area);
    EXPECT_EQ(fctest::countColor(img, QColor(0, 0, 255)), 0);
    EXPECT_GT(fctest::countColor(img, QColor(200, 0, 0)), 10);
}

TEST(StatusBar, TextIsDrawnWithIndentAndAlignment) {
    Fixture f(400);
    f.bar->SetSizeGrip(false);
    TfcStatusPanel* p = f.add("200", "Text");
    p->SetFont(fctest::crispFont(13));
    p->SetFontColor(QColor(0, 0, 255));
    QRect box = fctest::boxOf(fctest::grab(*f.bar), QColor(0, 0, 255));
    EXPECT_LE(box.left(), f.bar->PanelRect(0).left() + 4);
    p->SetIndent(30);
    EXPECT_EQ(fctest::boxOf(fctest::grab(*f.bar), QColor(0, 0, 255)).left(), box.left() + 30);
    p->SetIndent(0);
    p->TextOptions().SetAlignment(taRightJustify);
    box = fctest::boxOf(fctest::grab(*f.bar), QColor(0, 0, 255));
    EXPECT_GE(box.right(), f.bar->PanelRect(0).right() - 4);
    EXPECT_LE(box.right(), f.bar->PanelRect(0).right() - 2);
}

TEST(StatusBar, DateAndTimePanelsFollowTheClock) {
    Fixture f(400);
    QDateTime now(QDate(2024, 3, 5), QTime(14, 7, 9));
    f.bar->SetClock([&] { return now; });
    TfcStatusPanel* p = f.add("200");
    EXPECT_FALSE(f.bar->DateTimeTimerActive());
    p->SetStyle(psTime);
    EXPECT_TRUE(f.bar->DateTimeTimerActive());
    EXPECT_TRUE(p->Text().contains("14"));
    EXPECT_TRUE(p->Text().contains("07"));
    EXPECT_TRUE(p->Text().contains("09"));
    EXPECT_FALSE(p->Text().contains("CET"));
    f.show();
    Paints paints;
    f.bar->installEventFilter(&paints);
    f.bar->DateTimeTick();
    QCoreApplication::processEvents();
    EXPECT_EQ(paints.count, 0);
    now = now.addSecs(1);
    f.bar->DateTimeTick();
    QCoreApplication::processEvents();
    EXPECT_EQ(paints.count, 1);
    EXPECT_TRUE(p->Text().contains("10"));
    p->SetStyle(psDateTime);
    fctest::grab(*f.bar);
    EXPECT_EQ(p->Text(), QLocale().toString(now.date(), QLocale::ShortFormat) + " " +
                             p->Text().section(' ', -1));
    p->SetStyle(psTextOnly);
    EXPECT_FALSE(f.bar->DateTimeTimerActive());
}

TEST(StatusBar, AutomaticTexts) {
    Fixture f(600);
    TfcStatusPanel* user = f.add("150");
    TfcStatusPanel* host = f.add("150");
    TfcStatusPanel* hint = f.add("150");
    user->SetStyle(psUserName);
    host->SetStyle(psComputerName);
    hint->SetStyle(psHint);
    QMap<TfcStatusPanel*, QString> drawn;
    for (TfcStatusPanel* p : {user, host, hint})
        p->OnDrawText = [&](TfcStatusPanel* panel, QString& t, bool&) { drawn[panel] = t; };
    TfcApplicationHint::Set("Choose a variant");
    fctest::grab(*f.bar);
    EXPECT_EQ(drawn[user], fcUserName());
    EXPECT_FALSE(fcUserName().isEmpty());
    EXPECT_EQ(drawn[host], QSysInfo::machineHostName());
    EXPECT_EQ(drawn[hint], "Choose a variant");
    // A widget's status tip becomes the hint.
    QWidget tipped(&f.window);
    tipped.setStatusTip("Status tip");
    QStatusTipEvent tip("Status tip");
    QCoreApplication::sendEvent(&tipped, &tip);
    EXPECT_EQ(TfcApplicationHint::Current(), "Status tip");
    TfcApplicationHint::Set("");
}

TEST(StatusBar, RichEditCaretPosition) {
    Fixture f(400);
    QPlainTextEdit edit;
    edit.setPlainText("first line\nsecond line");
    TfcStatusPanel* p = f.add("200");
    p->SetComponent(&edit);
    EXPECT_EQ(p->Style(), psRichEditStatus);
    QString drawn;
    p->OnDrawText = [&](TfcStatusPanel*, QString& t, bool&) { drawn = t; };
    QTextCursor c = edit.textCursor();
    c.setPosition(13);  // line 2, after "se"
    edit.setTextCursor(c);
    EXPECT_EQ(p->CaretLine(), 2);
    EXPECT_EQ(p->CaretColumn(), 3);
    fctest::grab(*f.bar);
    EXPECT_EQ(drawn, "Ln: 2, Col: 3");
    p->SetComponent(nullptr);
    EXPECT_EQ(p->Style(), psTextOnly);
}

TEST(StatusBar, EmbeddedControl) {
    Fixture f(400);
    TfcStatusPanel* p = f.add("200");
    p->SetMargin(2);
    EXPECT_THROW(p->SetComponent(f.bar), EInvalidOperation);
    try {
        p->SetComponent(f.bar);
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Control cannot equal parent StatusBar");
    }
    EXPECT_EQ(p->Style(), psTextOnly);
    auto* edit = new QLineEdit(&f.window);
    p->SetComponent(edit);
    EXPECT_EQ(p->Style(), psControl);
    EXPECT_EQ(edit->parentWidget(), f.bar);
    EXPECT_EQ(edit->geometry(), f.bar->PanelRect(0).adjusted(2, 2, -2, -2));
    // Text drawn first, the control after it.
    p->SetText("Find:");
    EXPECT_GT(edit->geometry().left(), f.bar->PanelRect(0).left() + 20);
    p->SetEnabled(false);
    EXPECT_FALSE(edit->isEnabled());
    // A control lives in one panel: taking it elsewhere empties the first panel.
    TfcStatusPanel* q = f.add("100");
    q->SetComponent(edit);
    EXPECT_EQ(p->Component(), nullptr);
    EXPECT_EQ(p->Style(), psTextOnly);
    q->SetComponent(nullptr);
    EXPECT_EQ(edit->parentWidget(), &f.window);
}

TEST(StatusBar, GlyphPanelDrawsImageThenText) {
    Fixture f(400);
    QPixmap green(10, 10);
    green.fill(QColor(0, 180, 0));
    f.bar->SetImages({green});
    TfcStatusPanel* p = f.add("200", "Img");
    p->SetStyle(psGlyph);
    p->SetMargin(3);
    p->SetFont(fctest::crispFont(12));
    p->SetFontColor(QColor(0, 0, 255));
    QImage img = fctest::grab(*f.bar);
    QRect r = f.bar->PanelRect(0);
    QRect g = fctest::boxOf(img, QColor(0, 180, 0));
    EXPECT_EQ(g.left(), r.left() + 3);
    EXPECT_EQ(g.size(), QSize(10, 10));
    EXPECT_GE(fctest::boxOf(img, QColor(0, 0, 255)).left(), r.left() + 10 + 5 + 2);
    p->SetImageIndex(3);  // outside the list: text only
    EXPECT_EQ(fctest::countColor(fctest::grab(*f.bar), QColor(0, 180, 0)), 0);
}

TEST(StatusBar, SimplePanelAndDrawPanelEvent) {
    Fixture f(300);
    f.add("100", "A");
    f.add("100", "B");
    QList<QRect> rects;
    f.bar->OnDrawPanel = [&](TfcCustomStatusBar*, TfcStatusPanel*, QRect r) { rects << r; };
    fctest::grab(*f.bar);
    ASSERT_EQ(rects.size(), 2);
    EXPECT_EQ(rects[1], f.bar->PanelRect(1));
    f.bar->SetSimplePanel(true);
    f.bar->SetSimpleText("Simple");
    EXPECT_EQ(f.bar->PartCount(), 1);
    QPalette pal = f.bar->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 255));
    f.bar->setPalette(pal);
    EXPECT_GT(fctest::countColor(fctest::grab(*f.bar), QColor(0, 0, 255)), 10);
}

TEST(StatusBar, SizeGripOnlyOnASizeableWindow) {
    fctest::app();
    QWidget sizeable;
    sizeable.resize(300, 100);
    auto* bar = new TfcStatusBar(&sizeable);
    bar->Panels().Add()->SetWidth("100");
    bar->Panels().Add()->SetWidth("100");
    EXPECT_TRUE(bar->SizeGripShown());
    EXPECT_LT(bar->PanelRect(1).right(), bar->PartRect(1).right() - 10);
    bar->SetSizeGrip(false);
    EXPECT_EQ(bar->PanelRect(1).right(), bar->PartRect(1).right() - 1);
    Fixture fixed;
    EXPECT_FALSE(fixed.bar->SizeGripShown());
}

TEST(StatusBar, MouseGoesToThePanelUnderIt) {
    Fixture f(400);
    TfcStatusPanel* a = f.add("100");
    TfcStatusPanel* b = f.add("100");
    b->SetHint("Second panel");
    int clicksA = 0, clicksB = 0;
    a->OnClick = [&](TfcStatusPanel*) { ++clicksA; };
    b->OnClick = [&](TfcStatusPanel*) { ++clicksB; };
    f.show();
    EXPECT_EQ(f.bar->PanelAt(QPoint(150, 10)), b);
    EXPECT_EQ(f.bar->PanelAt(QPoint(50, 10)), a);
    QTest::mouseClick(f.bar, Qt::LeftButton, {}, QPoint(150, 10));
    EXPECT_EQ(clicksB, 1);
    EXPECT_EQ(clicksA, 0);
    QTest::mouseMove(f.bar, QPoint(160, 10));
    EXPECT_EQ(f.bar->toolTip(), "Second panel");
}
