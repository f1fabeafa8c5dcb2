// dbf dump: every record of a table as JSON lines or CSV.

#include <cstdio>
#include <string>

#include "engine/dBHandler.h"
#include "tools/dbf/Cell.h"
#include "tools/dbf/CodePage.h"
#include "tools/dbf/CommandLine.h"
#include "tools/dbf/Json.h"
#include "tools/dbf/Verbs.h"

namespace dbftool {
namespace {

std::string CsvQuoted(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string CellJson(const Cell& c) {
    switch (c.kind) {
        case Cell::Kind::Null: return "null";
        case Cell::Kind::Bool: return c.boolean ? "true" : "false";
        case Cell::Kind::Number: return c.text;
        default: return JsonString(c.text);
    }
}

std::string CellCsv(const Cell& c) {
    switch (c.kind) {
        case Cell::Kind::Null: return "";
        case Cell::Kind::Bool: return c.boolean ? "true" : "false";
        case Cell::Kind::Number: return c.text;
        default: return CsvQuoted(c.text);
    }
}

int RunDump(const Args& args) {
    const CommandLine line = ParseCommandLine(
        {{"FILE"}, "", {{"--deleted", false}, {"--format", true}, {"--codepage", true}}}, args);
    const std::string& file = line.Positional(0);
    const bool deleted = line.Has("--deleted");
    const std::string format = line.Value("--format", "jsonl");
    if (format != "jsonl" && format != "csv") throw UsageError{"unknown format '" + format + "'"};
    const bool csv = format == "csv";
    const bool codePageGiven = line.Has("--codepage");
    CodePage codePage;
    if (codePageGiven && !CodePage::FromName(line.Value("--codepage"), codePage)) {
        throw UsageError{"unknown code page '" + line.Value("--codepage") + "'"};
    }

    auto table = GSO_dBHandler::Open(file, false, true);
    if (!codePageGiven) codePage = CodePage::FromLanguageDriver(table->Header().LanguageDriver());
    table->SetReadAhead(true);
    CellReader reader(*table, codePage);
    const int fields = table->FieldCount();
    std::vector<std::string> names;
    for (int n = 1; n <= fields; ++n) names.push_back(codePage.Decode(table->FieldName(n)));

    std::string out;
    if (csv) {
        out = "_recno,_deleted";
        for (const std::string& name : names) out += "," + CsvQuoted(name);
        out += "\r\n";
    }
    auto flushIfLarge = [&out](size_t limit) {
        if (out.size() < limit) return;
        std::fwrite(out.data(), 1, out.size(), stdout);
        out.clear();
    };
    table->SetUseDeleted(true);
    for (table->GoRecord(gsMoveTop); !table->Eof(); table->GoRecord(gsMoveNext)) {
        const bool isDeleted = table->IsDeleted();
        if (isDeleted && !deleted) continue;
        const std::string recno = std::to_string(table->RecordNumber());
        if (csv) {
            out += recno + (isDeleted ? ",true" : ",false");
            for (int n = 1; n <= fields; ++n) out += "," + CellCsv(reader.Read(n));
            out += "\r\n";
        } else {
            out += "{\"_recno\": " + recno + ", \"_deleted\": " + (isDeleted ? "true" : "false");
            for (int n = 1; n <= fields; ++n) {
                out += ", " + JsonString(names[static_cast<size_t>(n - 1)]) + ": " + CellJson(reader.Read(n));
            }
            out += "}\n";
        }
        flushIfLarge(1 << 16);
    }
    flushIfLarge(0);
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "dbf dump: cannot write the output\n");
        return 1;
    }
    return 0;
}

const bool registered = RegisterVerb(
    {"dump", "dbf dump FILE [--deleted] [--format jsonl|csv] [--codepage 1251|866|kazakh|kz1048|pt154|latin1]",
     "    Prints the records in record order: one JSON object per line with \"_recno\",\n"
     "    \"_deleted\" and each field by name (jsonl, the default), or CSV with a header\n"
     "    line. Text is decoded to UTF-8 with the code page (default: the one the table's\n"
     "    language driver declares, else latin1; kazakh is 1251 with the Kazakh letters at\n"
     "    the test program's own places). Numbers are JSON numbers, dates\n"
     "    \"yyyy-mm-dd\", logicals true/false, memos their text, and date-times\n"
     "    \"yyyy-mm-ddThh:mm:ss.mmm\"; blank or '*'-filled numbers, blank or 00000000 dates\n"
     "    and blank or '?' logicals are null. Deleted records are left out unless\n"
     "    --deleted is given.\n",
     RunDump});

}  // namespace
}  // namespace dbftool
