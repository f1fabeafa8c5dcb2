// TRidedezDataSet: the filter, Locate and Lookup.

#include <cmath>
#include <cstdio>

#include "dataset/Messages.h"
#include "dataset/RidedezDataSet.h"
#include "engine/Exception.h"
#include "engine/platform/Locale.h"
#include "index/core/GSobjIndexFile.h"
#include "index/core/GSobjIndexTag.h"

namespace {

// Sets the table object's search options, exact-match flag and order for the length of
// a search, and puts them back afterwards.
class SearchSettings {
public:
    explicit SearchSettings(DBFObject& t) : t_(t), options_(t.SearchOptions()), exact_(t.ExactMatch()) {}
    ~SearchSettings() {
        t_.SetSearchOptions(options_);
        t_.SetExactMatch(exact_);
    }
    SearchSettings(const SearchSettings&) = delete;
    SearchSettings& operator=(const SearchSettings&) = delete;

private:
    DBFObject& t_;
    uint16_t options_;
    bool exact_;
};

std::string TrimmedUpper(const std::string& s) {
    size_t b = s.find_first_not_of(' ');
    size_t e = s.find_last_not_of(' ');
    std::string t = b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
    return platform::CurrentLocale().UpperCase(t);
}

}  // namespace

// ---- the filter ------------------------------------------------------------------------------

void TRidedezDataSet::ApplyFilterExpression(const std::string& expression, TFilterOptions options) {
    DBFObject& t = OpenTable();
    TRecordPointer own(t, nullptr);
    if (expression.empty()) {
        // No expression: OnFilterRecord alone decides.
        t.SetFilterActive(false);
        return;
    }
    const std::string previous = t.FilterText();
    const bool previousWanted = t.FilterWanted();
    t.SetFilterActive(true);
    try {
        t.SetFilter(expression, Has(options, TFilterOption::foCaseInsensitive),
                    !Has(options, TFilterOption::foNoPartialCompare));
    } catch (...) {
        // A refused expression leaves the filter that was in force (none when that one
        // cannot be built again either).
        try {
            if (previous.empty()) {
                t.SetFilterActive(false);
            } else {
                t.SetFilter(previous, Has(filterOptions_, TFilterOption::foCaseInsensitive),
                            !Has(filterOptions_, TFilterOption::foNoPartialCompare));
                t.SetFilterActive(previousWanted);
            }
        } catch (...) {
            t.SetFilterActive(false);
        }
        throw;
    }
}

void TRidedezDataSet::SetFilter(const std::string& expression) {
    if (Active() && filtered_) {
        CheckBrowseMode();
        ApplyFilterExpression(expression, filterOptions_);
        filter_ = expression;
        First();
        return;
    }
    filter_ = expression;
}

void TRidedezDataSet::SetFilterOptions(TFilterOptions options) {
    if (Active() && filtered_) {
        CheckBrowseMode();
        ApplyFilterExpression(filter_, options);
        filterOptions_ = options;
        First();
        return;
    }
    filterOptions_ = options;
}

void TRidedezDataSet::SetFiltered(bool on) {
    if (!Active()) {
        filtered_ = on;
        return;
    }
    CheckBrowseMode();
    if (on != filtered_) {
        DBFObject& t = OpenTable();
        if (on) {
            ApplyFilterExpression(filter_, filterOptions_);
            filtered_ = true;
        } else {
            filtered_ = false;
            t.SetFilterActive(false);
        }
    }
    First();
}

// ---- Locate and Lookup -----------------------------------------------------------------------

int TRidedezDataSet::TagForField(const std::string& fieldName) {
    DBFObject& t = OpenTable();
    const std::string wanted = TrimmedUpper(fieldName);
    int n = 0;
    for (int slot = 1; slot <= gsMaxIndexFiles; ++slot) {
        GSobjIndexFile* f = t.IndexFile(slot);
        if (!f) continue;
        for (size_t i = 0; i < f->TagCount(); ++i) {
            ++n;
            const GSobjIndexTag* tag = f->Tag(i);
            if (tag->HasFor()) continue;
            // The key as stored first (cheap), then as its expression reads.
            const std::string& stored = tag->KeyExpression();
            if (stored.size() < wanted.size()) continue;
            if (TrimmedUpper(stored.substr(0, stored.find('\0'))) == wanted ||
                TrimmedUpper(tag->KeyExpressionText()) == wanted) {
                return n;
            }
        }
    }
    return 0;
}

std::string TRidedezDataSet::KeyText(const TFieldValue& value, const TField& field) const {
    if (const auto* d = std::get_if<TDateValue>(&value)) {
        if (d->value == 0) return "";
        int y, m, dd;
        DecodeDate(d->value, y, m, dd);
        char buf[16];
        std::snprintf(buf, sizeof buf, "%04d%02d%02d", y, m, dd);
        return buf;
    }
    if (const auto* b = std::get_if<bool>(&value)) return *b ? "T" : "F";
    std::string text = ValueToText(value);
    if (field.transliterate) TranslateInPlace(text, true);
    return text;
}

bool TRidedezDataSet::SearchRecords(const TField& field, const std::string& text, bool partial,
                                    bool caseInsensitive, bool wholeKey) {
    DBFObject& t = OpenTable();
    SearchSettings restore(t);
    // Through a tag on the field when it can answer the question: it compares case as
    // it is, and choosing it would drop a range in force.
    const int tagNo = caseInsensitive || rangeSet_ ? 0 : TagForField(field.FieldName());
    if (tagNo > 0) {
        GSobjIndexTag* tag = t.TagByNumber(tagNo);
        GSobjIndexTag* remembered = t.SelectedTag();
        const std::string rememberedName = remembered ? t.SelectedTagName() : std::string();
        const bool borrowed = tag != remembered;
        const int32_t from = t.RecordNumber();
        if (borrowed) t.SelectTag(tag->Name(), true);
        t.SetExactMatch(wholeKey);
        bool found = false;
        int32_t at = 0;
        try {
            found = t.SeekKey(text);
            at = t.RecordNumber();
        } catch (...) {
            if (borrowed) t.SelectTag(rememberedName, false);
            if (from > 0) t.GoRecord(from);
            throw;
        }
        if (borrowed) {
            t.SelectTag(rememberedName, false);
            RestoreRange();
        }
        const int32_t target = found ? at : from;
        if (target > 0 && (borrowed || t.RecordNumber() != target || t.Eof())) t.GoRecord(target);
        return found;
    }
    uint16_t options = gsSearch::kNotInMiddle;
    std::string pattern = text;
    if (partial) {
        options |= gsSearch::kWildcard;
        pattern += '*';
    } else {
        options |= gsSearch::kWholeValue;
    }
    if (caseInsensitive) options |= gsSearch::kCaseInsensitive;
    // Within a range the records are read in the range's order.
    if (rangeSet_) options |= gsSearch::kKeepTag | gsSearch::kNormalMode;
    t.SetSearchOptions(options);
    int fieldNo = field.FieldNo();
    int32_t start = 0;
    return t.SearchValue(pattern, fieldNo, 0, start);
}

bool TRidedezDataSet::Locate(const std::string& keyFields, const TFieldValue& keyValues, TLocateOptions options) {
    DBFObject& t = OpenTable();
    if (t.RecordCount() == 0) t.RefreshHeader();  // another program may have added some
    if (t.RecordCount() == 0) return false;
    CheckBrowseMode();
    const TField& field = FieldByName(keyFields);
    const std::string text = KeyText(keyValues, field);
    TRecordPointer own(t, nullptr);
    SyncTableToActive();
    DoBeforeScroll();
    const bool found = SearchRecords(field, text, Has(options, TLocateOption::loPartialKey),
                                     Has(options, TLocateOption::loCaseInsensitive),
                                     !Has(options, TLocateOption::loPartialKey));
    if (found) {
        firstPending_ = lastPending_ = false;
        rereadExact_ = true;
        Resync();
        rereadExact_ = false;
        DoAfterScroll();
    }
    return found;
}

TFieldValue TRidedezDataSet::Lookup(const std::string& keyFields, const TFieldValue& keyValues,
                                    const std::string& resultFields) {
    DBFObject& t = OpenTable();
    if (t.RecordCount() == 0) t.RefreshHeader();
    if (t.RecordCount() == 0) return false;
    CheckBrowseMode();
    const TField& field = FieldByName(keyFields);
    FieldByName(resultFields);  // "Field '%s' not found" before anything moves
    const std::string text = IsNullValue(keyValues) ? std::string() : KeyText(keyValues, field);
    TRecordPointer own(t, nullptr);
    SyncTableToActive();
    const int32_t from = t.RecordNumber();
    struct GoBack {
        DBFObject& t;
        int32_t from;
        ~GoBack() {
            try {
                if (from > 0) t.GoRecord(from);
            } catch (...) {
                // The next move of the dataset puts the table object right.
            }
        }
    } goBack{t, from};
    if (!SearchRecords(field, text, false, false, true)) return TNull{};
    std::string result = t.GetDisplayTextByName(resultFields);
    TranslateInPlace(result, false);
    return result;
}
