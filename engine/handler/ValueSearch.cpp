// The value search: a pass over the records, in physical order or the selected tag's,
// for a value in one field or in any field, with the options of the search options word.

#include <cstdlib>

#include "engine/DBFDate.h"
#include "engine/Exception.h"
#include "engine/dBHandler.h"
#include "engine/platform/Locale.h"
#include "index/core/TgsHugeSet.h"

namespace {

// What is looked for, prepared once from the search text.
struct SearchPattern {
    std::string text;          // upper case when comparing case-insensitively
    bool caseInsensitive = false;
    bool wholeValue = false;   // the trimmed field text equals the pattern
    bool anywhere = false;     // the pattern may stand anywhere in the field
    bool mayContinue = false;  // the field may go on after the pattern
    bool anyChar = false;      // "?" in the pattern matches any character
    bool hasDate = false;
    int32_t date = 0;
    bool hasNumber = false;
    double number = 0;
    bool logical = false;
};

SearchPattern MakePattern(const std::string& text, uint16_t options) {
    SearchPattern p;
    p.caseInsensitive = (options & gsSearch::kCaseInsensitive) != 0;
    p.text = p.caseInsensitive ? platform::CurrentLocale().UpperCase(text) : text;
    p.wholeValue = (options & gsSearch::kWholeValue) != 0;
    if (options & gsSearch::kWildcard) {
        if (!p.text.empty() && p.text.front() == '*') {
            p.anywhere = true;
            p.text.erase(0, 1);
            p.wholeValue = false;
        }
        if (!p.text.empty() && p.text.back() == '*') {
            p.mayContinue = true;
            p.text.pop_back();
            p.wholeValue = false;
        }
        if (p.text.find('?') != std::string::npos) {
            p.wholeValue = false;
            p.anyChar = !p.anywhere;
        }
    } else {
        p.anywhere = (options & gsSearch::kNotInMiddle) == 0;
        p.mayContinue = !p.wholeValue;
    }
    try {
        p.date = TgsDBFDate::Instance().JulianFromText(text);
        p.hasDate = p.date > 0;
    } catch (const Exception&) {
        p.hasDate = false;
    }
    char* end = nullptr;
    p.number = std::strtod(text.c_str(), &end);
    while (end && *end == ' ') ++end;
    p.hasNumber = end && end != text.c_str() && *end == 0;
    p.logical = std::string("TtYyJj").find(text[0]) != std::string::npos;
    return p;
}

std::string TrimRight(std::string s, size_t keep) {
    while (s.size() > keep && s.back() == ' ') s.pop_back();
    return s;
}

bool TextMatches(const SearchPattern& p, std::string field) {
    if (p.caseInsensitive) field = platform::CurrentLocale().UpperCase(field);
    if (field.size() < p.text.size()) return false;
    if (p.anyChar) {
        for (size_t i = 0; i < p.text.size(); ++i)
            if (p.text[i] == '?') field[i] = '?';
    }
    const std::string trimmed = TrimRight(field, p.text.size());
    if (p.wholeValue) return trimmed == p.text;
    if (!p.anywhere) {
        if (trimmed.compare(0, p.text.size(), p.text) != 0) return false;
        return p.mayContinue || trimmed.size() == p.text.size();
    }
    if (p.mayContinue) return trimmed.find(p.text) != std::string::npos;
    return trimmed.compare(trimmed.size() - p.text.size(), p.text.size(), p.text) == 0;
}

}  // namespace

bool GSO_dBHandler::SearchValue(const std::string& text, int& field, int32_t last, int32_t& start) {
    if (field < 0 || field > FieldCount() || text.empty()) return false;
    const uint16_t options = searchOptions_;
    const SearchPattern pattern = MakePattern(text, options);

    auto matches = [&](int n) {
        switch (FieldType(n)) {
            case 'C': return TextMatches(pattern, GetText(n));
            case 'D': return pattern.hasDate && GetDate(n) == pattern.date;
            case 'N':
            case 'F': return pattern.hasNumber && GetNumber(n) == pattern.number;
            case 'L': return field != 0 && GetLogical(n) == pattern.logical;
            default: return false;
        }
    };
    // A record the table hides is never a match, whichever mode the pass runs in.
    auto visible = [&] {
        return Visible() && (!FilterActive() || FilterBit(RecordNumber()));
    };

    StatusReport(gsStatus::kStart, gsStatus::kSearch, RecordCount());
    const int32_t remembered = RecordNumber();
    const bool cacheWas = ReadAheadActive();
    GSobjIndexTag* tag = tag_;
    int counter = 1;
    int matchField = 0;
    bool found = false;
    {
        struct Restore {
            GSO_dBHandler* t;
            GSobjIndexTag* tag;
            bool cache;
            ~Restore() {
                t->SetMode(gsModeNormal);
                t->tag_ = tag;
                t->SetReadAhead(cache);
            }
        } restore{this, tag, cacheWas};
        if (!(options & gsSearch::kNormalMode)) SetMode(gsModeBulk);
        if (!(options & gsSearch::kKeepTag)) tag_ = nullptr;
        if (!tag_) SetReadAhead(true);
        if (start == 0) {
            GoRecord(gsMoveTop);
        } else {
            GoRecord(start);
            if (!Eof()) GoRecord(gsMoveNext);
        }
        const int from = field == 0 ? 1 : field;
        const int to = field == 0 ? FieldCount() : field;
        while (!Eof() && RecordNumber() > 0) {
            const int32_t here = RecordNumber();
            if (last != 0 && tag_ == nullptr && here > last) break;
            if (visible()) {
                for (int n = from; n <= to && !found; ++n) {
                    if (matches(n)) {
                        found = true;
                        matchField = n;
                    }
                }
            }
            if (found || here == last) break;
            ++counter;
            StatusReport(gsStatus::kSearch, counter, 0);
            GoRecord(gsMoveNext);
        }
    }
    if (found) {
        start = RecordNumber();
        field = matchField;
        GoRecord(start);
    } else if (remembered >= 1 && remembered <= RecordCount()) {
        GoRecord(remembered);
    }
    StatusReport(gsStatus::kDone, counter, 0);
    return found;
}
