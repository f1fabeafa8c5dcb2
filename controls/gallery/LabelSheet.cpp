// Every label style and effect, enabled and disabled.

#include "Gallery.h"
#include "controls/FcLabel.h"

#include <QWidget>
#include <functional>

namespace {

struct Sample {
    QString name;
    std::function<void(TfcLabel&)> setup;
};

}  // namespace

bool labelSheet(const QString& folder) {
    QWidget sheet;
    sheet.resize(900, 760);
    QFont big("DejaVu Sans");
    big.setPixelSize(26);
    big.setBold(true);
    const QList<Sample> samples = {
        {"fclsDefault", [](TfcLabel&) {}},
        {"fclsLowered", [](TfcLabel& l) { l.TextOptions().SetStyle(fclsLowered); }},
        {"fclsRaised", [](TfcLabel& l) { l.TextOptions().SetStyle(fclsRaised); }},
        {"fclsOutline", [](TfcLabel& l) {
             l.TextOptions().SetStyle(fclsOutline);
             QPalette p = l.palette();
             p.setColor(QPalette::WindowText, QColor(255, 220, 0));
             l.setPalette(p);
         }},
        {"Shadow (10, 10)", [](TfcLabel& l) { l.TextOptions().Shadow().SetEnabled(true); }},
        {"Shadow (-4, 4) raised", [](TfcLabel& l) {
             l.TextOptions().SetStyle(fclsRaised);
             l.TextOptions().Shadow().SetEnabled(true);
             l.TextOptions().Shadow().SetXOffset(-4);
             l.TextOptions().Shadow().SetYOffset(4);
         }},
        {"Extrusion, bottom right", [](TfcLabel& l) {
             auto& x = l.TextOptions().ExtrudeEffects();
             x.SetEnabled(true);
             x.SetFarColor(QColor(40, 40, 120));
             x.SetNearColor(QColor(150, 170, 255));
         }},
        {"Extrusion, top left, striated", [](TfcLabel& l) {
             auto& x = l.TextOptions().ExtrudeEffects();
             x.SetEnabled(true);
             x.SetOrientation(fcTopLeft);
             x.SetStriated(true);
             x.SetFarColor(QColor(120, 30, 0));
             x.SetNearColor(QColor(255, 170, 60));
         }},
        {"Extrusion, right, depth 6", [](TfcLabel& l) {
             auto& x = l.TextOptions().ExtrudeEffects();
             x.SetEnabled(true);
             x.SetDepth(6);
             x.SetOrientation(fcRight);
             x.SetFarColor(QColor(0, 90, 0));
             x.SetNearColor(QColor(120, 220, 120));
         }},
        {"Rotation 30, lowered", [](TfcLabel& l) {
             l.TextOptions().SetStyle(fclsLowered);
             l.TextOptions().SetRotation(30);
         }},
        {"Two lines, LineSpacing 5", [](TfcLabel& l) { l.SetCaption("First line\r\nSecond line"); }},
        {"Disabled default", [](TfcLabel& l) { l.setEnabled(false); }},
        {"Disabled lowered", [](TfcLabel& l) {
             l.TextOptions().SetStyle(fclsLowered);
             l.setEnabled(false);
         }},
        {"Disabled outline", [](TfcLabel& l) {
             l.TextOptions().SetStyle(fclsOutline);
             l.setEnabled(false);
         }},
        {"Rotation 90", [](TfcLabel& l) {
             l.TextOptions().SetRotation(90);
             l.SetCaption("Up");
         }},
    };
    int i = 0;
    for (const Sample& s : samples) {
        const int col = i % 3, row = i / 3;
        const int x = 20 + col * 290, y = 20 + row * 148;
        auto* l = new TfcLabel(&sheet);
        l->setFont(big);
        l->move(x, y);
        l->SetCaption("Kazakh test");
        s.setup(*l);
        note(&sheet, x, y + 120, s.name);
        ++i;
    }
    return saveSheet(sheet, folder, "labels.png");
}
