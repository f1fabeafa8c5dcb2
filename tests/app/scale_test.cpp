// Every window scales once, at creation, by the factor of the screen it starts on.

#include "AppFixture.h"

#include <QTableView>

using namespace apptest;

namespace {

class ScaleTest : public AppTest, public ::testing::WithParamInterface<std::tuple<int, int, int>> {};

}  // namespace

TEST_P(ScaleTest, WindowsAndControlsGrowByTheFactor) {
    const auto [width, dpi, m] = GetParam();
    SetScreenMetrics([w = width, d = dpi] { return ScreenMetrics{w, d}; });
    StartProgram();
    ASSERT_TRUE(errors.empty());
    auto s = [m = m](int v) { return ScaleValue(v, m); };
    EXPECT_EQ(MainForm->size(), QSize(s(421), s(345)));
    EXPECT_EQ(KazForm->size(), QSize(s(409), s(140)));
    EXPECT_EQ(TestForm->size(), QSize(s(789), s(542)));
    EXPECT_EQ(InfoForm->size(), QSize(s(669), s(469)));
    EXPECT_EQ(MainForm->fcShapeBtn3->geometry(), QRect(s(94), s(206), s(239), s(35)));
    EXPECT_EQ(MainForm->ComboName->geometry(), QRect(s(170), s(68), s(222), s(30)));
    EXPECT_EQ(MainForm->ComboName->font().pixelSize(), s(19));
    EXPECT_EQ(MainForm->fcShapeBtn1->font().pixelSize(), s(20));
    EXPECT_EQ(KazForm->QLabel->geometry(), QRect(s(17), s(12), s(387), s(74)));
    EXPECT_EQ(TestForm->ELabel->geometry(), QRect(s(100), s(409), s(655), s(52)));
    EXPECT_EQ(TestForm->ELabel->font().pixelSize(), s(17));
    EXPECT_EQ(TestForm->RadioGroup->font().pixelSize(), s(19));
    EXPECT_EQ(TestForm->StatusBar->Panels()[0]->Width(), QString::number(s(350)));
    EXPECT_EQ(TestForm->StatusBar->Panels()[0]->Font().pixelSize(), s(15));
    EXPECT_EQ(InfoForm->DBGrid1->columnWidth(0), s(176));
    EXPECT_EQ(InfoForm->DBGrid1->geometry(), QRect(s(26), s(55), s(617), s(340)));
}

INSTANTIATE_TEST_SUITE_P(Screens, ScaleTest,
                         ::testing::Values(std::make_tuple(640, 96, 97), std::make_tuple(800, 96, 122),
                                           std::make_tuple(1024, 96, 158), std::make_tuple(640, 120, 100),
                                           std::make_tuple(800, 120, 108), std::make_tuple(1024, 120, 138),
                                           std::make_tuple(1280, 96, 100), std::make_tuple(1280, 120, 100)));

TEST_F(AppTest, AWindowWhoseCreationFailedIsNotScaled) {
    SetScreenMetrics([] { return ScreenMetrics{800, 96}; });
    MakeInfoTable();  // no NAME.DBF
    CreateForms();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].indexOf(QStringLiteral("NAME.DBF")), -1) << errors[0].toStdString();
    EXPECT_FALSE(MainForm->NameTable.Active());
    EXPECT_FALSE(MainForm->InfoTable.Active());
    EXPECT_EQ(MainForm->size(), QSize(421, 345));
    EXPECT_EQ(KazForm->size(), QSize(499, 171));  // the others go on and scale
}
