#include "app/texts/DisplayText.h"

#include <optional>

#include "app/texts/KazEncoding.h"
#include "app/texts/Utf8.h"

namespace kaztexts {

std::u32string DisplayText::ToUnicode(std::string_view display) {
    std::u32string out;
    out.reserve(display.size());
    for (char c : display) out.push_back(KazEncoding::ToUnicode(static_cast<uint8_t>(c)));
    return out;
}

std::string DisplayText::ToUtf8(std::string_view display) {
    std::string out;
    out.reserve(display.size() * 2);
    for (char c : display) Utf8::Append(out, KazEncoding::ToUnicode(static_cast<uint8_t>(c)));
    return out;
}

EncodedText DisplayText::FromUnicode(std::u32string_view text) {
    EncodedText out;
    out.bytes.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        std::optional<uint8_t> b = KazEncoding::FromUnicode(text[i]);
        if (b) {
            out.bytes.push_back(static_cast<char>(*b));
        } else {
            out.bytes.push_back('?');
            out.refused.push_back(TextRefusal{i + 1, text[i], false});
        }
    }
    return out;
}

EncodedText DisplayText::FromUtf8(std::string_view utf8) {
    size_t bad = 0;
    std::optional<std::u32string> chars = Utf8::Decode(utf8, &bad);
    if (chars) return FromUnicode(*chars);
    // Convert the valid part, then refuse at the first wrong character.
    std::optional<std::u32string> head = Utf8::Decode(utf8.substr(0, bad));
    EncodedText out = FromUnicode(head ? *head : std::u32string());
    const size_t column = (head ? head->size() : 0) + 1;
    out.refused.push_back(TextRefusal{column, 0, true});
    return out;
}

}  // namespace kaztexts
