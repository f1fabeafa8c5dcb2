#pragma once
// Shared by the index tests: a table that keeps the index files given to it up to date
// on every record write, table building, walks of a tag, and Harbour's walk of a file.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "TestUtil.h"
#include "engine/DbfCreate.h"
#include "engine/dBHandler.h"
#include "index/core/GSobjIndexFile.h"

namespace indextest {

const std::string kHbPeer = std::string(XB_SHARED_DIR) + "/peers/harbour/bin/hbpeer";

// A table that tells its index files of every record it writes, as the order layer will.
class IndexedTable : public GSO_dBHandler {
public:
    using GSO_dBHandler::GSO_dBHandler;
    static std::unique_ptr<IndexedTable> Open(const std::string& path, bool shared = false) {
        auto t = std::make_unique<IndexedTable>(path, true, shared);
        t->OpenTable();
        return t;
    }
    bool Notify(int code, int32_t argument) override {
        bool result = GSO_dBHandler::Notify(code, argument);
        if (code == 7)
            for (GSobjIndexFile* f : files) f->UpdateTagsForRecord(RecordNumber(), argument == 0);
        return result;
    }
    void StatusReport(int stat1, int stat2, int stat3) override {
        reports.push_back({stat1, stat2, stat3});
    }
    std::vector<GSobjIndexFile*> files;
    std::vector<std::vector<int>> reports;
};

// NAME C(10), AMOUNT N(8,2), BDATE D, ACTIVE L.
inline void CreatePeople(const std::string& path) {
    CreateDBFTable(path, 0x03,
                   {{"NAME", 'C', 10, 0}, {"AMOUNT", 'N', 8, 2}, {"BDATE", 'D', 8, 0}, {"ACTIVE", 'L', 1, 0}});
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

// (record, key text) from top to bottom.
inline std::vector<std::pair<int32_t, std::string>> Walk(GSobjIndexTag& tag) {
    std::vector<std::pair<int32_t, std::string>> out;
    for (int32_t r = tag.MoveTo(-3); r != 0; r = tag.MoveTo(-1)) {
        out.emplace_back(r, tag.CurrentEntry().AsText());
        if (out.size() > 10000000) break;
    }
    return out;
}

inline std::vector<std::pair<int32_t, std::string>> WalkBack(GSobjIndexTag& tag) {
    std::vector<std::pair<int32_t, std::string>> out;
    for (int32_t r = tag.MoveTo(-4); r != 0; r = tag.MoveTo(-2)) {
        out.emplace_back(r, tag.CurrentEntry().AsText());
        if (out.size() > 10000000) break;
    }
    return out;
}

// The record numbers of Harbour's walk of an NTX file; the status and the key count.
struct PeerWalk {
    int status = -1;
    long keycount = -1;
    std::vector<int32_t> records;
    std::string err;
};

inline PeerWalk HarbourWalk(const std::string& table, const std::string& ntx) {
    PeerWalk w;
    testutil::CommandResult r = testutil::Run("'" + kHbPeer + "' walk DBFNTX '" + table + "' '" + ntx + "'");
    w.status = r.status;
    w.err = r.err;
    std::istringstream lines(r.out);
    std::string line;
    bool first = true;
    while (std::getline(lines, line)) {
        if (first) {
            first = false;
            auto at = line.find("\"keycount\": ");
            if (at != std::string::npos) w.keycount = std::stol(line.substr(at + 12));
            continue;
        }
        if (line.size() > 1 && line[0] == '[') w.records.push_back(std::stoi(line.substr(1)));
    }
    return w;
}

inline std::vector<int32_t> Records(const std::vector<std::pair<int32_t, std::string>>& walk) {
    std::vector<int32_t> out;
    for (const auto& e : walk) out.push_back(e.first);
    return out;
}

}  // namespace indextest
