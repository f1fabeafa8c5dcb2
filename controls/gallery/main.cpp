// The controls' gallery: renders every label style and effect, every button shape in its
// states, the button kinds and status bars with each panel style into PNG files.
//
//   fc_gallery OUTPUT_FOLDER      (runs on the offscreen platform unless told otherwise)

#include "Gallery.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QLabel>
#include <QPainter>
#include <QStyleFactory>
#include <QWidget>
#include <cstdio>

bool saveSheet(QWidget& sheet, const QString& folder, const QString& name) {
    sheet.show();
    QCoreApplication::processEvents();
    QImage img(sheet.size(), QImage::Format_RGB32);
    img.fill(sheet.palette().color(QPalette::Window));
    sheet.render(&img);
    const QString path = QDir(folder).filePath(name);
    if (!img.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

void note(QWidget* sheet, int x, int y, const QString& text) {
    auto* l = new QLabel(text, sheet);
    QFont f("DejaVu Sans");
    f.setPixelSize(10);
    l->setFont(f);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, QColor(90, 90, 90));
    l->setPalette(pal);
    l->move(x, y);
    l->adjustSize();
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    // The classic grey desktop palette, so that bevels and embossed text stand out.
    QPalette pal = QApplication::palette();
    const QColor face(212, 208, 200);
    for (auto role : {QPalette::Window, QPalette::Button}) pal.setColor(role, face);
    pal.setColor(QPalette::Light, Qt::white);
    pal.setColor(QPalette::Midlight, QColor(232, 230, 226));
    pal.setColor(QPalette::Dark, QColor(128, 128, 128));
    pal.setColor(QPalette::Mid, QColor(160, 160, 160));
    pal.setColor(QPalette::Shadow, QColor(64, 64, 64));
    QApplication::setPalette(pal);
    QFont font("DejaVu Sans");
    font.setPixelSize(13);
    QApplication::setFont(font);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    bool ok = labelSheet(folder);
    ok = buttonSheet(folder) && ok;
    ok = kindSheet(folder) && ok;
    ok = statusSheet(folder) && ok;
    return ok ? 0 : 1;
}
