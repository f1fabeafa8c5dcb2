#include "app/tables/NameMemory.h"

#include "dataset/RidedezDataSet.h"

namespace {
const char* const kNameField = "Name";
}

std::vector<std::string> TakeNameList(TRidedezDataSet& names) {
    std::vector<std::string> list;
    if (names.RecordCount() == 0) return list;
    names.First();
    if (names.RecordCount() > 8) {
        names.Delete();
        names.Pack();
        names.First();
    }
    for (; !names.Eof(); names.Next()) list.push_back(names.FieldByName(kNameField).AsString());
    return list;
}

void StoreName(TRidedezDataSet& names, const std::string& name) {
    if (names.RecordCount() == 0) names.AppendRecord({Text(name)});
    const std::string stored = names.Translate(names.Translate(name, true), false);
    for (names.First(); !names.Eof(); names.Next()) {
        const std::string value = names.FieldByName(kNameField).AsString();
        if (value == name || value == stored) return;
    }
    names.AppendRecord({Text(name)});
}

bool IsBlankText(const std::string& text) {
    for (unsigned char c : text)
        if (c > ' ') return false;
    return true;
}
