#include "engine/text/CodePage.h"

#include <algorithm>

#include "engine/text/CodePageTables.h"
#include "engine/text/Utf8.h"

namespace xbtext {

namespace {

struct NamedPage {
    const char* name;
    CodePageId id;
};

// The first name of each code page is the one Name() answers.
constexpr NamedPage kNames[] = {
    {"1251", CodePageId::Cp1251},        {"cp1251", CodePageId::Cp1251},
    {"866", CodePageId::Cp866},          {"cp866", CodePageId::Cp866},
    {"kazakh", CodePageId::KazakhDisplay},
    {"kz1048", CodePageId::Kz1048},      {"kz-1048", CodePageId::Kz1048},
    {"rk1048", CodePageId::Kz1048},
    {"pt154", CodePageId::Pt154},        {"ptcp154", CodePageId::Pt154},
    {"latin1", CodePageId::Latin1},      {"latin-1", CodePageId::Latin1},
};

}  // namespace

CodePage::CodePage(CodePageId id, const std::array<char32_t, 128>& high) : id_(id), high_(high) {
    for (size_t i = 0; i < reverse_.size(); ++i) {
        reverse_[i] = {high_[i], static_cast<uint8_t>(0x80 + i)};
    }
    std::sort(reverse_.begin(), reverse_.end());
}

const CodePage& CodePage::Of(CodePageId id) {
    static const CodePage pages[] = {
        CodePage(CodePageId::Cp1251, tables::kCp1251),
        CodePage(CodePageId::Cp866, tables::kCp866),
        CodePage(CodePageId::KazakhDisplay, tables::kKazakhDisplay),
        CodePage(CodePageId::Kz1048, tables::kKz1048),
        CodePage(CodePageId::Pt154, tables::kPt154),
        CodePage(CodePageId::Latin1, tables::kLatin1),
    };
    return pages[static_cast<size_t>(id)];
}

bool CodePage::FromName(std::string_view name, CodePageId& out) {
    for (const NamedPage& n : kNames) {
        if (name == n.name) {
            out = n.id;
            return true;
        }
    }
    return false;
}

const char* CodePage::Name() const {
    for (const NamedPage& n : kNames) {
        if (n.id == id_) return n.name;
    }
    return "";
}

std::optional<uint8_t> CodePage::FromUnicode(char32_t ch) const {
    if (ch < 0x80) return static_cast<uint8_t>(ch);
    auto it = std::lower_bound(
        reverse_.begin(), reverse_.end(), ch,
        [](const std::pair<char32_t, uint8_t>& e, char32_t c) { return e.first < c; });
    if (it == reverse_.end() || it->first != ch) return std::nullopt;
    return it->second;
}

std::string CodePage::Decode(std::string_view bytes) const {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) AppendUtf8(out, ToUnicode(static_cast<uint8_t>(c)));
    return out;
}

bool CodePage::Encode(std::string_view utf8, std::string& bytes, char32_t& bad) const {
    bytes.clear();
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t ch = 0;
        if (!NextUtf8(utf8, i, ch)) {
            bad = 0xFFFFFFFFu;
            return false;
        }
        std::optional<uint8_t> b = FromUnicode(ch);
        if (!b) {
            bad = ch;
            return false;
        }
        bytes.push_back(static_cast<char>(*b));
    }
    return true;
}

bool CodePage::Recode(std::string_view bytes, const CodePage& target, std::string& out,
                      char32_t& bad) const {
    out.clear();
    out.reserve(bytes.size());
    for (char c : bytes) {
        const char32_t ch = ToUnicode(static_cast<uint8_t>(c));
        std::optional<uint8_t> b = target.FromUnicode(ch);
        if (!b) {
            bad = ch;
            return false;
        }
        out.push_back(static_cast<char>(*b));
    }
    return true;
}

}  // namespace xbtext
