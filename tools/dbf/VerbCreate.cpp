#include <cstdio>

#include "engine/DbfCreate.h"
#include "tools/dbf/CommandLine.h"
#include "tools/dbf/Verbs.h"

namespace dbftool {
namespace {

int RunCreate(const Args& args) {
    auto byteValue = [](const std::string& s, const char* what) {
        try {
            size_t used = 0;
            int v = std::stoi(s, &used, 0);
            if (used != s.size() || v < 0 || v > 255) throw 0;
            return v;
        } catch (...) {
            throw UsageError{std::string("bad ") + what + " '" + s + "'"};
        }
    };
    const CommandLine line = ParseCommandLine(
        {{"FILE"}, "FIELD", {{"--version", true}, {"--language-driver", true}, {"--force", false}}},
        args);
    const std::string& file = line.Positional(0);
    const int version = line.Has("--version") ? byteValue(line.Value("--version"), "version") : 0x03;
    const int ldid =
        line.Has("--language-driver") ? byteValue(line.Value("--language-driver"), "language driver") : 0;
    std::vector<TgsFieldDef> fields;
    for (size_t i = 1; i < line.Positionals().size(); ++i) fields.push_back(ParseFieldDef(line.Positional(i)));
    if (fields.empty()) throw UsageError{"no fields given"};
    TgsCreateOptions options;
    options.languageDriver = static_cast<uint8_t>(ldid);
    options.overwrite = line.Has("--force");
    CreateDBFTable(file, static_cast<uint8_t>(version), fields, options);
    return 0;
}

const bool registered = RegisterVerb(
    {"create",
     "dbf create FILE [--version 0x03|0x30|0x83|0x8B|0xF5] [--language-driver N] [--force] "
     "NAME:TYPE[:LENGTH[:DECIMALS]]...",
     "    Creates an empty table and, for versions with memo fields, its empty memo file\n"
     "    (.DBT for 0x83 and 0x8B, .FPT for 0xF5 and 0x30). Types C N F D L M, and for 0x30\n"
     "    also I T Y B G; D L M I T Y B G take their fixed lengths. An existing table or\n"
     "    memo file of that name, in any case, is an error unless --force replaces it.\n"
     "    Both files are written whole under temporary names, then renamed into place.\n",
     RunCreate});

}  // namespace
}  // namespace dbftool
