#include "tools/dbf/CodePage.h"

namespace dbftool {

bool CodePage::FromName(const std::string& name, CodePage& out) {
    xbtext::CodePageId id;
    if (!xbtext::CodePage::FromName(name, id)) return false;
    out = CodePage(id);
    return true;
}

CodePage CodePage::FromLanguageDriver(uint8_t ldid) {
    switch (ldid) {
        case 0x26:
        case 0x65: return CodePage(xbtext::CodePageId::Cp866);
        case 0xC9: return CodePage(xbtext::CodePageId::Cp1251);
        default: return CodePage(xbtext::CodePageId::Latin1);
    }
}

bool CodePage::Encode(const std::string& utf8, std::string& bytes, uint32_t& bad) const {
    char32_t c = 0;
    if (page_->Encode(utf8, bytes, c)) return true;
    bad = static_cast<uint32_t>(c);
    return false;
}

const char* CodePageNames() { return "1251|866|kazakh|kz1048|pt154|latin1"; }

}  // namespace dbftool
