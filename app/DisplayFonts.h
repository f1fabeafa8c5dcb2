#pragma once
// Fonts and colours of the windows. Heights are character heights in design units; the
// Kazakh font falls back to one that has every Kazakh letter.

#include <QColor>
#include <QFont>
#include <QString>
#include <string_view>

class QWidget;

QFont KazakhFont(int height, bool bold = false);
QFont ArialFont(int height, bool bold = false);
QFont NamedFont(std::string_view family, int height, bool bold = false);

// The program's colours.
inline const QColor kMaroon(0x80, 0x00, 0x00);
inline const QColor kNavy(0x00, 0x00, 0x80);

// A display text for Qt.
QString Disp(std::string_view displayBytes);

// Sets one palette colour of a widget.
void SetWidgetColor(QWidget* w, int role, const QColor& c);
