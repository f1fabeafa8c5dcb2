// What the windows draw: colours of the texts and faces, and the message dialog's lines.

#include "AppFixture.h"

#include "app/FinalMessage.h"
#include "app/KazMessage.h"
#include "app/texts/KazTexts.h"

#include <QImage>

using namespace apptest;

namespace {

// Pixels of `img` inside `r` that satisfy `pred`.
template <class P> int CountPixels(const QImage& img, const QRect& r, P pred) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (pred(QColor(img.pixel(x, y)))) ++n;
    return n;
}

bool Maroonish(const QColor& c) { return c.red() > 90 && c.green() < 60 && c.blue() < 60; }
bool Navyish(const QColor& c) { return c.blue() > 90 && c.red() < 60 && c.green() < 60; }
bool Dark(const QColor& c) { return c.red() < 70 && c.green() < 70 && c.blue() < 70; }

// Runs of rows inside `r` that hold a dark pixel.
int TextBands(const QImage& img, const QRect& r) {
    int bands = 0;
    bool inBand = false;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        bool dark = false;
        for (int x = r.left(); x <= r.right() && !dark; ++x) dark = Dark(QColor(img.pixel(x, y)));
        if (dark && !inBand) ++bands;
        inBand = dark;
    }
    return bands;
}

}  // namespace

TEST_F(AppTest, MainWindowDrawsMaroonLabelsNavyCaptionsOnTheButtonFace) {
    StartProgram();
    const QImage img = MainForm->grab().toImage();
    ASSERT_EQ(img.size(), QSize(421, 345));
    EXPECT_GT(CountPixels(img, MainForm->fcLabel1->geometry(), Maroonish), 100);
    EXPECT_GT(CountPixels(img, MainForm->fcLabel2->geometry(), Maroonish), 30);
    EXPECT_EQ(CountPixels(img, MainForm->fcLabel1->geometry(), Navyish), 0);
    for (TfcShapeBtn* b : {MainForm->fcShapeBtn1, MainForm->fcShapeBtn5}) {
        EXPECT_GT(CountPixels(img, b->geometry(), Navyish), 30) << b->objectName().toStdString();
        EXPECT_EQ(CountPixels(img, b->geometry(), Maroonish), 0);
    }
    // The face between the controls is the button face.
    EXPECT_EQ(QColor(img.pixel(5, 340)), MainForm->palette().color(QPalette::Button));
}

TEST_F(AppTest, FinalMessageDrawsThreeLinesAndALongTextIsCutAtTheLabel) {
    StartProgram();
    ShowKazMessage(FinalMessage(30, 25, 307000));
    QImage img = KazForm->grab().toImage();
    const QRect label = KazForm->QLabel->geometry();
    EXPECT_EQ(TextBands(img, label), 3);
    EXPECT_GT(CountPixels(img, label, Dark), 200);
    KazForm->hide();

    std::string longText;
    for (int i = 0; i < 8; ++i) longText += std::string(kaztexts::kMsgNoAnswer) + " ";
    ShowKazMessage(longText);
    img = KazForm->grab().toImage();
    EXPECT_EQ(KazForm->size(), QSize(409, 140));
    EXPECT_GE(TextBands(img, label), 3);
    // Nothing is drawn between the label's bottom and the button.
    const QRect gap(label.left(), label.bottom() + 1, label.width(), KazForm->fcShapeBtn2->y() - label.bottom() - 1);
    EXPECT_EQ(CountPixels(img, gap, Dark), 0);
    // The button holds the focus and Space closes the dialog.
    EXPECT_EQ(KazForm->focusProxy(), KazForm->fcShapeBtn2);
    QTest::keyClick(KazForm->fcShapeBtn2, Qt::Key_Space);
    EXPECT_FALSE(KazForm->isVisible());
}

TEST_F(AppTest, ReviewQuestionDrawsTheTextsAndTheMarkedItem) {
    MakeQuestionTable("1", MakeQuestions(1));
    StartProgram();
    random_->positions = {3};
    Click(MainForm->fcShapeBtn2);
    const QImage img = TestForm->grab().toImage();
    EXPECT_GT(CountPixels(img, TestForm->QuestLabel->geometry(), Dark), 50);
    EXPECT_GT(CountPixels(img, TestForm->CLabel->geometry(), Dark), 50);
    EXPECT_GT(CountPixels(img, TestForm->QuestNoLabel->geometry(), Maroonish), 30);
    EXPECT_GT(CountPixels(img, TestForm->OKBtn->geometry(), Navyish), 30);
    // The marked item's indicator is darker than an unmarked one's.
    auto indicator = [&](int i) {
        QRadioButton* b = TestForm->RadioGroup->Item(i);
        const QPoint o = b->mapTo(TestForm, QPoint(0, 0));
        return CountPixels(img, QRect(o.x(), o.y() + b->height() / 2 - 8, 16, 16), Dark);
    };
    EXPECT_EQ(TestForm->RadioGroup->ItemIndex(), 2);
    EXPECT_GT(indicator(2), indicator(0));
}
