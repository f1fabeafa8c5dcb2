#include "app/tables/ResultsSearch.h"

#include "dataset/RidedezDataSet.h"
#include "engine/platform/Locale.h"

namespace {

std::string Trimmed(const std::string& s) {
    const size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

}  // namespace

bool NameMatches(const std::string& name, const std::string& text) {
    const platform::Locale& loc = platform::CurrentLocale();
    return loc.UpperCase(name).find(loc.UpperCase(text)) != std::string::npos;
}

void SetResultsSearch(TRidedezDataSet& info, const std::string& text) {
    const std::string typed = Trimmed(text);
    if (typed.empty()) {
        info.SetFiltered(false);
        info.onFilterRecord = nullptr;
        return;
    }
    // Compared as the log gives names back: letters that its code page cannot hold
    // come back as their stand-ins, in the name and in the text alike.
    const std::string wanted = info.Translate(info.Translate(typed, true), false);
    info.onFilterRecord = [wanted](TDataSet& ds, bool& accept) {
        accept = NameMatches(ds.FieldByName("NAME").AsString(), wanted);
    };
    // Switched on, or (already on) the records are read again under the new text.
    info.SetFiltered(true);
}
