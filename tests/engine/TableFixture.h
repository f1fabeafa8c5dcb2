#pragma once
// A small table in a temporary folder for the table-object tests.

#include <memory>
#include <string>
#include <vector>

#include "engine/DbfCreate.h"
#include "engine/dBHandler.h"
#include "TestUtil.h"

namespace tabletest {

inline std::vector<TgsFieldDef> PeopleFields() {
    return {{"NAME", 'C', 10, 0}, {"AMOUNT", 'N', 8, 2}, {"BDATE", 'D', 0, 0}, {"ACTIVE", 'L', 0, 0}};
}

// Creates `path` with `records` records named "R1", "R2", ... and amounts 1.5 x n.
inline void MakePeople(const std::string& path, int records, uint8_t version = 0x03) {
    std::vector<TgsFieldDef> fields = PeopleFields();
    if (version != 0x03) fields.push_back({"NOTES", 'M', 0, 0});
    TgsCreateOptions opt;
    opt.overwrite = true;
    CreateDBFTable(path, version, fields, opt);
    auto t = GSO_dBHandler::Open(path, true, false);
    for (int i = 1; i <= records; ++i) {
        t->BlankRecord();
        t->PutTextByName("NAME", "R" + std::to_string(i));
        t->PutNumberByName("AMOUNT", 1.5 * i);
        t->AddRecord();
    }
}

inline std::string NameOf(GSO_dBHandler& t) {
    std::string s = t.GetTextByName("NAME");
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

inline std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "<no exception>";
}

}  // namespace tabletest
