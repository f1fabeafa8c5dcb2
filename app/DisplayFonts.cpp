#include "app/DisplayFonts.h"

#include "app/texts/KazQString.h"
#include "app/texts/KazTexts.h"

#include <QWidget>

QFont NamedFont(std::string_view family, int height, bool bold) {
    QFont f;
    const QString name = QString::fromLatin1(family.data(), qsizetype(family.size()));
    if (family == kaztexts::kKazakhFont) {
        // The fallback's narrow face first: the windows were laid out for a narrower
        // font than the full one, whose texts would be cut at the labels' edges.
        const QString fallback =
            QString::fromLatin1(kaztexts::kKazakhFallbackFont.data(), qsizetype(kaztexts::kKazakhFallbackFont.size()));
        f.setFamilies({name, fallback + QStringLiteral(" Condensed"), fallback});
    }
    else
        f.setFamilies({name, QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    f.setPixelSize(height);
    f.setBold(bold);
    return f;
}

QFont KazakhFont(int height, bool bold) { return NamedFont(kaztexts::kKazakhFont, height, bold); }
QFont ArialFont(int height, bool bold) { return NamedFont(kaztexts::kBaseFont, height, bold); }

QString Disp(std::string_view displayBytes) { return kaztexts::ToQString(displayBytes); }

void SetWidgetColor(QWidget* w, int role, const QColor& c) {
    QPalette p = w->palette();
    p.setColor(QPalette::ColorRole(role), c);
    w->setPalette(p);
}
