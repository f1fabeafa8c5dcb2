#pragma once
// Shared by the table order tests: a table of people in a temporary folder, index files
// built on it, and the walks of the table in its current order.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "engine/DbfCreate.h"
#include "engine/dBHandler.h"
#include "index/cdx/GSobjCDXFile.h"
#include "index/mdx/GSobjMDXFile.h"
#include "index/ndx/GSobjNDXFile.h"
#include "index/ntx/GSobjNTXFile.h"

namespace handlertest {

// NAME C(10), AMOUNT N(8,2), BDATE D, ACTIVE L.
inline void CreatePeople(const std::string& path) {
    TgsCreateOptions opt;
    opt.overwrite = true;
    CreateDBFTable(path, 0x03,
                   {{"NAME", 'C', 10, 0}, {"AMOUNT", 'N', 8, 2}, {"BDATE", 'D', 8, 0}, {"ACTIVE", 'L', 1, 0}},
                   opt);
}

struct Person {
    std::string name;
    double amount = 0;
    std::string date;  // yyyymmdd or blank
    bool active = false;
};

inline void Store(GSO_dBHandler& t, const Person& p) {
    t.PutTextByName("NAME", p.name);
    t.PutNumberByName("AMOUNT", p.amount);
    t.PutTextByName("BDATE", p.date);
    t.PutLogicalByName("ACTIVE", p.active);
}

inline void Append(GSO_dBHandler& t, const Person& p) {
    t.BlankRecord();
    Store(t, p);
    t.AddRecord();
}

inline std::string Trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

inline std::string NameOf(GSO_dBHandler& t) { return Trimmed(t.GetTextByName("NAME")); }

// Builds an index file with one tag (or a CDX tag named `tag`) on the open table `t`
// and closes it again, so that the table opens it as a user would.
inline void BuildIndex(GSO_dBHandler& t, const std::string& path, const std::string& key,
                       const std::string& forText = "", bool unique = false, bool ascending = true,
                       const std::string& tag = "") {
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::unique_ptr<GSobjIndexFile> f;
    if (ext == ".NTX") f = std::make_unique<GSobjNTXFile>(&t, true, true, false, true, path);
    if (ext == ".NDX") f = std::make_unique<GSobjNDXFile>(&t, true, true, false, true, path);
    if (ext == ".CDX") f = std::make_unique<GSobjCDXFile>(&t, false, true, false, true, path);
    if (ext == ".MDX") f = std::make_unique<GSobjMDXFile>(&t, false, true, false, true, path);
    ASSERT_TRUE(f) << path;
    f->CreateTag(tag, key, forText, unique, ascending);
}

// The record numbers of the table walked from the top (or the bottom) in its order.
inline std::vector<int32_t> WalkTable(GSO_dBHandler& t, bool backwards = false) {
    std::vector<int32_t> out;
    t.GoRecord(backwards ? gsMoveBottom : gsMoveTop);
    while (!t.Eof() && !t.Bof()) {
        out.push_back(t.RecordNumber());
        if (out.size() > 1000000) break;
        t.GoRecord(backwards ? gsMovePrior : gsMoveNext);
    }
    return out;
}

inline std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "<no exception>";
}

}  // namespace handlertest
