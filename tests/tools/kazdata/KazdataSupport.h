#pragma once
// Helpers of the kazdata tests: running the tool, reading a variant table back through
// the engine, and listing a folder.

#include <array>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "app/texts/DisplayText.h"
#include "engine/dBHandler.h"

namespace kazdatatest {

inline const std::string kTool = XB_KAZDATA_TOOL;

inline std::string Quote(const std::string& s) {
    return "'" + s + "'";
}

inline testutil::CommandResult Kazdata(const std::string& arguments) {
    return testutil::Run(Quote(kTool) + " " + arguments);
}

inline void WriteText(const std::string& path, const std::string& text) {
    testutil::WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

// The names in a folder.
inline std::set<std::string> Listing(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

struct Field {
    std::string name;
    char type;
    int length;
};

struct Table {
    std::vector<Field> fields;
    // Each record's Input, A, B, C, D, E, as UTF-8 without the trailing blanks.
    std::vector<std::array<std::string, 6>> records;
};

inline std::string TrimRight(std::string s) {
    const size_t end = s.find_last_not_of(' ');
    s.erase(end == std::string::npos ? 0 : end + 1);
    return s;
}

// Reads a question table through the engine (fields looked up by the names the program uses).
inline Table ReadVariant(const std::string& path) {
    Table t;
    std::unique_ptr<GSO_dBHandler> table = GSO_dBHandler::Open(path, false, true);
    for (int i = 1; i <= table->FieldCount(); ++i) {
        t.fields.push_back(Field{table->FieldName(i), table->FieldType(i), table->FieldLength(i)});
    }
    static const char* const names[6] = {"Input", "A", "B", "C", "D", "E"};
    table->GoRecord(gsMoveTop);
    while (!table->Eof()) {
        std::array<std::string, 6> r;
        for (int i = 0; i < 6; ++i) {
            r[i] = kaztexts::DisplayText::ToUtf8(TrimRight(table->GetTextByName(names[i])));
        }
        t.records.push_back(r);
        table->GoRecord(gsMoveNext);
    }
    return t;
}

}  // namespace kazdatatest
