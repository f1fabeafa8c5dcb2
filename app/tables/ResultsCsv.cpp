#include "app/tables/ResultsCsv.h"

#include "app/texts/DataFiles.h"
#include "app/texts/DisplayText.h"
#include "dataset/DateTime.h"
#include "dataset/RidedezDataSet.h"

#include <climits>
#include <cstdio>

namespace {

std::string TrimRight(std::string s) {
    const size_t end = s.find_last_not_of(' ');
    s.erase(end == std::string::npos ? 0 : end + 1);
    return s;
}

std::string IsoDate(TField& f) {
    if (f.IsNull()) return {};
    int y = 0, m = 0, d = 0;
    DecodeDate(f.AsDateTime(), y, m, d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
    return buf;
}

}  // namespace

std::string CsvField(const std::string& utf8) {
    std::string text = utf8;
    if (!text.empty() && (text[0] == '=' || text[0] == '+' || text[0] == '-' || text[0] == '@' || text[0] == '\t' ||
                          text[0] == '\r'))
        text.insert(text.begin(), '\'');
    const bool quote = text.find_first_of(",\"\r\n") != std::string::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string ResultsCsv(TRidedezDataSet& info) {
    const auto& names = kaztexts::kInfoFields;
    std::string out;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i) out += ',';
        out += names[i];
    }
    out += "\r\n";
    info.ScanRecords(1, INT_MAX, [&](int32_t) {
        TField& name = info.FieldByName(std::string(names[0]));
        TField& variant = info.FieldByName(std::string(names[1]));
        TField& count = info.FieldByName(std::string(names[2]));
        TField& right = info.FieldByName(std::string(names[3]));
        TField& date = info.FieldByName(std::string(names[4]));
        out += CsvField(kaztexts::DisplayText::ToUtf8(TrimRight(name.AsString()))) + ',';
        out += CsvField(kaztexts::DisplayText::ToUtf8(TrimRight(variant.AsString()))) + ',';
        out += (count.IsNull() ? std::string() : std::to_string(count.AsInteger())) + ',';
        out += (right.IsNull() ? std::string() : std::to_string(right.AsInteger())) + ',';
        out += IsoDate(date) + "\r\n";
        return true;
    });
    return out;
}
