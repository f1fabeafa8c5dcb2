#include <cstdio>

#include "engine/DbfCreate.h"
#include "tools/dbf/Verbs.h"

namespace dbftool {
namespace {

int RunCreate(const Args& args) {
    std::string file;
    int version = 0x03;
    bool overwrite = false;
    int ldid = 0;
    std::vector<TgsFieldDef> fields;
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
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--version" || a == "--language-driver") {
            if (i + 1 >= args.size()) throw UsageError{a + " needs a value"};
            int v = byteValue(args[++i], a == "--version" ? "version" : "language driver");
            (a == "--version" ? version : ldid) = v;
        } else if (a == "--force") {
            overwrite = true;
        } else if (a.rfind("--", 0) == 0) {
            throw UsageError{"unknown option " + a};
        } else if (file.empty()) {
            file = a;
        } else {
            fields.push_back(ParseFieldDef(a));
        }
    }
    if (file.empty()) throw UsageError{"no FILE given"};
    if (fields.empty()) throw UsageError{"no fields given"};
    TgsCreateOptions options;
    options.languageDriver = static_cast<uint8_t>(ldid);
    options.overwrite = overwrite;
    CreateDBFTable(file, static_cast<uint8_t>(version), fields, options);
    return 0;
}

const bool registered = RegisterVerb(
    {"create",
     "dbf create FILE [--version 0x03|0x30|0x83|0x8B|0xF5] [--language-driver N] [--force] "
     "NAME:TYPE[:LENGTH[:DECIMALS]]...",
     "    Creates an empty table and, for versions with memo fields, its empty memo file\n"
     "    (.DBT for 0x83 and 0x8B, .FPT for 0xF5 and 0x30). Types C N F D L M, and for 0x30\n"
     "    also I T Y B G; D L M I T Y B G take their fixed lengths. --force replaces an\n"
     "    existing table; without it an existing file is an error.\n",
     RunCreate});

}  // namespace
}  // namespace dbftool
