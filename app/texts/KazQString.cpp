#include "app/texts/KazQString.h"

#include <QList>

#include "app/texts/DisplayText.h"

namespace kaztexts {

QString ToQString(std::string_view display) {
    const std::u32string chars = DisplayText::ToUnicode(display);
    return QString::fromUcs4(chars.data(), static_cast<qsizetype>(chars.size()));
}

std::string FromQString(const QString& text, std::vector<TextRefusal>* refused) {
    // toUcs4 turns a lone surrogate into U+FFFD, which the encoding refuses.
    const QList<uint> ucs4 = text.toUcs4();
    std::u32string chars;
    chars.reserve(static_cast<size_t>(ucs4.size()));
    for (uint c : ucs4) chars.push_back(static_cast<char32_t>(c));
    EncodedText encoded = DisplayText::FromUnicode(chars);
    if (refused) *refused = std::move(encoded.refused);
    return std::move(encoded.bytes);
}

}  // namespace kaztexts
