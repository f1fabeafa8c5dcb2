#include "FcTestApp.h"

#include <QPainter>
#include <QStyleFactory>
#include <gtest/gtest.h>

namespace fctest {

QApplication& app() {
    static int argc = 1;
    static char name[] = "test_controls";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        auto* a = new QApplication(argc, argv);
        QApplication::setStyle(QStyleFactory::create("Fusion"));
        return a;
    }();
    return *instance;
}

QFont crispFont(int pixelSize, bool bold) {
    QFont f("DejaVu Sans");
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setStyleStrategy(QFont::NoAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

QImage grab(QWidget& w) {
    QImage img(w.size(), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    w.render(&img, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    return img;
}

int countColor(const QImage& img, const QColor& c, QRect r) {
    if (r.isNull()) r = img.rect();
    r &= img.rect();
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixelColor(x, y).rgb() == c.rgb() && img.pixelColor(x, y).alpha() == 255) ++n;
    return n;
}

QRect boxOf(const QImage& img, const QColor& c) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y).rgb() == c.rgb() && img.pixelColor(x, y).alpha() == 255)
                box |= QRect(x, y, 1, 1);
    return box;
}

namespace {
class AppEnvironment : public ::testing::Environment {
public:
    void SetUp() override { app(); }
};
const auto* env = ::testing::AddGlobalTestEnvironment(new AppEnvironment);
}  // namespace

}  // namespace fctest
