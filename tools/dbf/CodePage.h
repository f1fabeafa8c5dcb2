#pragma once
// The code page the tool converts a table's text with (one of the text module's). Text in
// tables is 8-bit bytes; on the tool's input and output it is UTF-8.

#include <cstdint>
#include <string>

#include "engine/text/CodePage.h"

namespace dbftool {

class CodePage {
public:
    // "1251", "866", "kazakh", "kz1048", "pt154" or "latin1" (see xbtext::CodePage);
    // false for any other name.
    static bool FromName(const std::string& name, CodePage& out);
    // The code page a table's language-driver byte declares, Latin-1 when it declares
    // none of the two Cyrillic ones.
    static CodePage FromLanguageDriver(uint8_t ldid);

    explicit CodePage(xbtext::CodePageId id = xbtext::CodePageId::Latin1)
        : page_(&xbtext::CodePage::Of(id)) {}
    const xbtext::CodePage& Page() const { return *page_; }
    const char* Name() const { return page_->Name(); }

    // Bytes to UTF-8 (every byte has a character, so this never fails).
    std::string Decode(const std::string& bytes) const { return page_->Decode(bytes); }
    // UTF-8 to bytes. False (with `bad` set to the offending code point, or to
    // 0xFFFFFFFF for malformed UTF-8) when a character has no byte in this code page.
    bool Encode(const std::string& utf8, std::string& bytes, uint32_t& bad) const;

private:
    const xbtext::CodePage* page_;
};

// The names --codepage takes, for usage lines: "1251|866|kazakh|kz1048|pt154|latin1".
const char* CodePageNames();

}  // namespace dbftool
