// dbf append: appends one record per JSON input line through the table object.

#include <cstdio>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "engine/Exception.h"
#include "engine/dBHandler.h"
#include "tools/dbf/CodePage.h"
#include "tools/dbf/CommandLine.h"
#include "tools/dbf/FieldPut.h"
#include "tools/dbf/JsonReader.h"
#include "tools/dbf/Verbs.h"

namespace dbftool {
namespace {

struct LineError {
    std::string message;
};

// Fills the record buffer from one parsed line and appends it.
void AppendLine(GSO_dBHandler& table, FieldPut& put, const CodePage& codePage,
                const std::vector<std::pair<std::string, JsonValue>>& members) {
    table.BlankRecord();
    std::vector<std::pair<int, std::string>> memos;
    bool markDeleted = false;
    for (const auto& [key, value] : members) {
        if (key == "_recno") continue;  // dump's own keys, so that its output can be fed back
        if (key == "_deleted") {
            if (value.kind != JsonValue::Kind::Bool) throw LineError{"_deleted takes true or false"};
            markDeleted = value.boolean;
            continue;
        }
        std::string name;
        uint32_t bad = 0;
        const int n = codePage.Encode(key, name, bad) ? table.FieldNumber(name) : 0;
        if (n == 0) throw LineError{"unknown field " + key};
        bool hasMemo = false;
        std::string memo;
        try {
            put.Put(n, value, hasMemo, memo);
        } catch (const ERidedezError& e) {
            throw LineError{"field " + table.FieldName(n) + ": " + e.what()};
        }
        if (hasMemo) memos.emplace_back(n, std::move(memo));
    }
    for (const auto& [n, text] : memos) {
        table.MemoWrite(n, text.data(), static_cast<int32_t>(text.size()));
    }
    table.AddRecord();
    if (markDeleted) table.DeleteRecord();
}

int RunAppend(const Args& args) {
    const CommandLine command =
        ParseCommandLine({{"FILE"}, "INDEXFILE", {{"--shared", false}, {"--codepage", true}, {"--index", true}}}, args);
    // "--index A B C": the index files are the option's value and the positionals after FILE.
    std::vector<std::string> indexFiles;
    if (command.Has("--index")) indexFiles.push_back(command.Value("--index"));
    for (size_t i = 1; i < command.Positionals().size(); ++i) {
        if (!command.Has("--index")) throw UsageError{"expected exactly one FILE"};
        indexFiles.push_back(command.Positional(i));
    }
    const std::string& file = command.Positional(0);
    const bool shared = command.Has("--shared");
    const bool codePageGiven = command.Has("--codepage");
    CodePage codePage;
    if (codePageGiven && !CodePage::FromName(command.Value("--codepage"), codePage)) {
        throw UsageError{"unknown code page '" + command.Value("--codepage") + "'"};
    }

    auto table = GSO_dBHandler::Open(file, true, shared);
    for (const std::string& index : indexFiles) table->OpenIndexFile(index);
    if (!codePageGiven) codePage = CodePage::FromLanguageDriver(table->Header().LanguageDriver());
    FieldPut put(*table, codePage);
    std::ios::sync_with_stdio(false);
    std::string line;
    std::vector<std::pair<std::string, JsonValue>> members;
    long lineNo = 0;
    long appended = 0;
    while (std::getline(std::cin, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        std::string error;
        try {
            if (!ParseJsonObject(line, members, error)) throw LineError{error};
            AppendLine(*table, put, codePage, members);
            ++appended;
        } catch (const LineError& e) {
            error = e.message;
        } catch (const FieldMismatch& e) {
            error = e.message;
        } catch (const std::exception& e) {
            error = e.what();
        }
        if (!error.empty()) {
            std::fprintf(stderr, "dbf append: line %ld: %s (%ld records appended before it)\n", lineNo,
                         error.c_str(), appended);
            return 1;
        }
    }
    table->CloseTable();
    return 0;
}

const bool registered = RegisterVerb(
    {"append",
     "dbf append FILE [--shared] [--codepage 1251|866|kazakh|kz1048|pt154|latin1] [--index INDEXFILE...]\n"
     "       < rows.jsonl",
     "    Appends one record per input line, each a JSON object of field values by name\n"
     "    in the forms dump writes (strings, numbers, \"yyyy-mm-dd\" dates, true/false,\n"
     "    memo texts, null for blank; \"_deleted\": true appends a deleted record, and\n"
     "    \"_recno\" is ignored). Text is encoded with the code page (default: the table's\n"
     "    language driver, else latin1). The table is opened exclusively, or shared with\n"
     "    --shared so that several appenders may run at once. The first line that does not\n"
     "    fit the table (unknown field, wrong type, number too wide, text too long) is\n"
     "    reported with its number and ends the run with status 1; the lines before it\n"
     "    stay appended. The table's production index and the index files named after\n"
     "    --index are kept up to date with every record; with --shared they are locked\n"
     "    for each append as the table's lock protocol places their locks.\n",
     RunAppend});

}  // namespace
}  // namespace dbftool
