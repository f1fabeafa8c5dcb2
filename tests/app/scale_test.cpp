// Every window scales once, at creation: from the designs' 134 pixels per inch to the
// screen's, then by the factor of the screen it starts on, and down to the work area
// where it would still not fit.

#include "AppFixture.h"

#include "app/FinalMessage.h"
#include "app/InfoTableModel.h"
#include "app/MistakesForm.h"
#include "app/texts/KazQString.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QTableView>

using namespace apptest;

namespace {

// The design-to-screen factor of a screen named by the table's width and density.
ScaleRatio TableRatio(int width, int dpi) { return {int64_t(dpi) * ScaleFactorFor(width, dpi), 13400}; }

class ScaleTest : public AppTest, public ::testing::WithParamInterface<std::tuple<int, int, int>> {};

}  // namespace

TEST_P(ScaleTest, WindowsAndControlsGrowByTheDensityAndTheFactor) {
    const auto [width, height, dpi] = GetParam();
    SetScreenMetrics([w = width, h = height, d = dpi] { return ScreenMetrics{w, d, h}; });
    StartProgram();
    ASSERT_TRUE(errors.empty());
    const ScaleRatio r = TableRatio(width, dpi);
    auto s = [r](int v) { return ScaleValue(v, r); };
    auto rect = [r](int x, int y, int w, int h) { return ScaleRect(QRect(x, y, w, h), r); };
    EXPECT_EQ(MainForm->size(), QSize(s(421), s(345)));
    EXPECT_EQ(KazForm->size(), QSize(s(409), s(140)));
    EXPECT_EQ(TestForm->size(), QSize(s(789), s(542)));
    EXPECT_EQ(InfoForm->size(), QSize(s(669), s(469)));
    EXPECT_EQ(MainForm->fcShapeBtn3->geometry(), rect(94, 206, 239, 35));
    EXPECT_EQ(MainForm->ComboName->geometry(), rect(170, 68, 222, 30));
    EXPECT_EQ(MainForm->ComboName->font().pixelSize(), s(19));
    EXPECT_EQ(MainForm->fcShapeBtn1->font().pixelSize(), s(20));
    EXPECT_EQ(KazForm->QLabel->geometry().topLeft(), rect(17, 12, 387, 74).topLeft());
    EXPECT_EQ(KazForm->QLabel->width(), rect(17, 12, 387, 74).width());
    EXPECT_EQ(TestForm->ELabel->geometry(), rect(100, 409, 655, 52));
    EXPECT_EQ(TestForm->ELabel->font().pixelSize(), s(17));
    EXPECT_EQ(TestForm->RadioGroup->font().pixelSize(), s(19));
    EXPECT_EQ(TestForm->StatusBar->Panels()[0]->Width(), QString::number(s(350)));
    EXPECT_EQ(TestForm->StatusBar->Panels()[0]->Font().pixelSize(), s(15));
    EXPECT_EQ(InfoForm->DBGrid1->geometry(), rect(26, 55, 617, 340));
    EXPECT_EQ(InfoForm->DBGrid1->columnWidth(0), s(176));
    EXPECT_EQ(InfoForm->Model()->ScaledColumnFont(0).pixelSize(), s(17));
    // The drop-down lists draw in the boxes' font.
    EXPECT_EQ(MainForm->VarCombo->view()->font().pixelSize(), s(19));
    EXPECT_EQ(MainForm->ComboName->view()->font().family(), MainForm->ComboName->font().family());
}

// Width, height and pixels per inch of the screens the table names, and the 1280-wide
// screens it leaves alone; a 134-dpi screen keeps the design sizes.
INSTANTIATE_TEST_SUITE_P(Screens, ScaleTest,
                         ::testing::Values(std::make_tuple(640, 480, 96), std::make_tuple(800, 600, 96),
                                           std::make_tuple(1024, 768, 96), std::make_tuple(800, 600, 120),
                                           std::make_tuple(1024, 768, 120), std::make_tuple(1280, 1024, 96),
                                           std::make_tuple(1280, 1024, 120), std::make_tuple(1280, 1024, 134)));

TEST(ScreenScale, FactorsOfTheDensityAndTheTable) {
    // 96 dpi on a 1024-wide screen: 96/134 x 158/100.
    const ScaleRatio r = FormScaleFor(ScreenMetrics{1024, 96, 768}, 789, 542);
    EXPECT_NEAR(r.Value(), 96.0 / 134 * 1.58, 1e-9);
    EXPECT_EQ(ScaleValue(789, r), 893);
    // Without a known height nothing is fitted.
    EXPECT_NEAR(FormScaleFor(ScreenMetrics{1920, 192, 0}, 789, 542).Value(), 192.0 / 134, 1e-9);
    // Too big for the work area: the window shrinks to it, frame included.
    const ScreenMetrics small{800, 192, 600, 800, 560};
    const ScaleRatio fit = FormScaleFor(small, 789, 542);
    const FrameRoom room = EstimatedFrameRoom(192);
    EXPECT_LE(ScaleValue(789, fit) + room.width, 800);
    EXPECT_LE(ScaleValue(542, fit) + room.height, 560);
    EXPECT_EQ(ScaleValue(542, fit) + room.height, 560);  // as large as the height allows
    EXPECT_EQ(ScaleValue(-15, ScaleRatio{122, 100}), -18);
    EXPECT_EQ(ScaleValue(5, ScaleRatio{1, 2}), 3);  // half away from zero
}

namespace {

struct Screen {
    int width, height, percent;
};

// A school computer's screen at a system scaling, seen two ways: Qt's own scaling makes
// the window units device-independent (the screen looks smaller at 96 dpi), or the
// system reports the density and Qt leaves the pixels alone.
class FitTest : public AppTest, public ::testing::WithParamInterface<std::tuple<Screen, bool>> {
protected:
    ScreenMetrics Metrics() const {
        const auto [screen, qtScales] = GetParam();
        if (qtScales)
            return ScreenMetrics{screen.width * 100 / screen.percent, 96, screen.height * 100 / screen.percent};
        return ScreenMetrics{screen.width, 96 * screen.percent / 100, screen.height};
    }

    // The window with an estimated frame lies inside the screen; every control lies
    // inside the window, and every fixed text fits its control.
    void ExpectFits(QWidget* form, const ScreenMetrics& m) {
        SCOPED_TRACE(form->objectName().toStdString());
        const FrameRoom room = EstimatedFrameRoom(m.dpi);
        EXPECT_LE(form->width() + room.width, m.width);
        EXPECT_LE(form->height() + room.height, m.height);
        for (QWidget* w : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (w->isWindow() || w->isHidden()) continue;
            EXPECT_TRUE(form->rect().contains(w->geometry())) << w->objectName().toStdString();
            const QFontMetrics fm(w->font());
            if (auto* b = qobject_cast<TfcShapeBtn*>(w)) {
                EXPECT_LE(fm.horizontalAdvance(b->Caption()), b->width()) << w->objectName().toStdString();
            }
            if (auto* l = qobject_cast<TfcLabel*>(w)) {
                // Measured by the label's own text engine, as it draws.
                l->TextOptions().SetDrawRect(QRect(0, 0, l->width(), l->height()));
                const QSize need = l->TextOptions().EffectsSize(false);
                EXPECT_LE(need.width(), l->width()) << w->objectName().toStdString();
                EXPECT_LE(need.height(), l->height()) << w->objectName().toStdString();
            }
        }
    }
};

}  // namespace

TEST_P(FitTest, EveryWindowFitsTheScreenWithItsControlsAndTexts) {
    const ScreenMetrics m = Metrics();
    SetScreenMetrics([m] { return m; });
    MakeQuestionTable("1", MakeQuestions(2));
    StartProgram();
    ASSERT_TRUE(errors.empty());
    KazForm->SetMessage(FinalMessage(30, 25, 307000));
    for (QWidget* form : std::initializer_list<QWidget*>{MainForm, KazForm, TestForm, InfoForm, MistakesForm})
        ExpectFits(form, m);
    // The final message with the review offered fits as well.
    KazForm->OfferReview(true);
    ExpectFits(KazForm, m);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, FitTest,
    ::testing::Combine(::testing::Values(Screen{800, 600, 100}, Screen{800, 600, 150}, Screen{800, 600, 200},
                                         Screen{1024, 768, 100}, Screen{1024, 768, 150}, Screen{1024, 768, 200},
                                         Screen{1366, 768, 100}, Screen{1366, 768, 150}, Screen{1366, 768, 200},
                                         Screen{1920, 1080, 100}, Screen{1920, 1080, 150},
                                         Screen{1920, 1080, 200}, Screen{3840, 2160, 100},
                                         Screen{3840, 2160, 150}, Screen{3840, 2160, 200}),
                       ::testing::Bool()),
    [](const ::testing::TestParamInfo<std::tuple<Screen, bool>>& info) {
        const Screen s = std::get<0>(info.param);
        return std::to_string(s.width) + "x" + std::to_string(s.height) + "at" + std::to_string(s.percent) +
               (std::get<1>(info.param) ? "QtScaled" : "SystemDpi");
    });

TEST_F(AppTest, ScreensOfTheFaultFitNowAndKeepTheirSizesOnALargerOne) {
    // The test window was 1247 x 856 on a 1024 x 768 screen and 963 x 661 on 800 x 600.
    SetScreenMetrics([] { return ScreenMetrics{1024, 96, 768}; });
    StartProgram();
    EXPECT_EQ(TestForm->size(), QSize(893, 614));
    DestroyForms();
    SetScreenMetrics([] { return ScreenMetrics{800, 96, 600}; });
    CreateForms();
    EXPECT_EQ(TestForm->size(), QSize(690, 474));
    EXPECT_LE(TestForm->OKBtn->geometry().bottom(), TestForm->height());
    EXPECT_LE(TestForm->StatusBar->geometry().bottom(), TestForm->height());
}

TEST_F(AppTest, AWindowWhoseCreationFailedIsNotScaled) {
    SetScreenMetrics([] { return ScreenMetrics{800, 96, 600}; });
    MakeInfoTable();  // no NAME.DBF
    CreateForms();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].indexOf(QStringLiteral("NAME.DBF")), -1) << errors[0].toStdString();
    EXPECT_FALSE(MainForm->NameTable.Active());
    EXPECT_FALSE(MainForm->InfoTable.Active());
    EXPECT_EQ(MainForm->size(), QSize(421, 345));
    EXPECT_EQ(KazForm->size(), QSize(ScaleValue(409, TableRatio(800, 96)), ScaleValue(140, TableRatio(800, 96))));
}
