// dbf dump: every record of a table as JSON lines or CSV.

#include <cstdio>
#include <string>
#include <vector>

#include "engine/Exception.h"
#include "engine/dBHandler.h"
#include "index/core/GSobjIndexTag.h"
#include "tools/dbf/Cell.h"
#include "tools/dbf/CodePage.h"
#include "tools/dbf/CommandLine.h"
#include "tools/dbf/IndexTools.h"
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
    const CommandLine line = ParseCommandLine({{"FILE"},
                                               "",
                                               {{"--deleted", false},
                                                {"--format", true},
                                                {"--codepage", true},
                                                {"--index", true},
                                                {"--tag", true},
                                                {"--filter", true},
                                                {"--seek", true},
                                                {"--range", true, 2},
                                                {"--count", false}}},
                                              args);
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

    const bool indexed = line.Has("--index");
    if (!indexed && (line.Has("--tag") || line.Has("--seek") || line.Has("--range")))
        throw UsageError{"--tag, --seek and --range need --index"};
    if (line.Has("--seek") && line.Has("--range")) throw UsageError{"--seek and --range exclude each other"};
    const bool countOnly = line.Has("--count");

    auto table = ToolTable::Open(file, false, true, false);
    if (!codePageGiven) codePage = CodePage::FromLanguageDriver(table->Header().LanguageDriver());
    // Expressions and keys given on the command line are UTF-8; the table's are bytes.
    auto encoded = [&codePage](const std::string& option, const std::string& utf8) {
        std::string bytes;
        uint32_t bad = 0;
        if (!codePage.Encode(utf8, bytes, bad)) throw UsageError{option + " has a character the code page lacks"};
        return bytes;
    };
    if (indexed) {
        table->OpenIndexFile(line.Value("--index"));
        std::string tag = line.Value("--tag");
        if (tag.empty()) {
            GSobjIndexTag* first = table->TagByNumber(1);
            if (!first) throw ERidedezError("'" + line.Value("--index") + "' holds no tag");
            tag = first->Name();
        }
        if (table->SelectTag(encoded("--tag", tag), false) <= 0)
            throw ERidedezError("'" + line.Value("--index") + "' has no tag " + tag);
        if (line.Has("--seek")) {
            const std::string key = encoded("--seek", line.Value("--seek"));
            table->SetRange(key, key);
        } else if (line.Has("--range")) {
            const std::vector<std::string> range = line.Values("--range");
            table->SetRange(encoded("--range", range[0]), encoded("--range", range[1]));
        }
    } else {
        table->SetReadAhead(true);
    }
    if (line.Has("--filter")) {
        table->SetFilter(encoded("--filter", line.Value("--filter")), false, false);
        table->SetFilterActive(true);
    }
    CellReader reader(*table, codePage);
    const int fields = table->FieldCount();
    std::vector<std::string> names;
    for (int n = 1; n <= fields; ++n) names.push_back(codePage.Decode(table->FieldName(n)));

    std::string out;
    int64_t counted = 0;
    if (csv && !countOnly) {
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
        ++counted;
        if (countOnly) continue;
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
    if (countOnly) out = std::to_string(counted) + "\n";
    flushIfLarge(0);
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "dbf dump: cannot write the output\n");
        return 1;
    }
    return 0;
}

const bool registered = RegisterVerb(
    {"dump",
     "dbf dump FILE [--deleted] [--format jsonl|csv] [--codepage 1251|866|kazakh|kz1048|pt154|latin1]\n"
     "       [--index INDEXFILE [--tag NAME] [--seek KEY | --range LOW HIGH]] [--filter EXPR] [--count]",
     "    Prints the records in record order: one JSON object per line with \"_recno\",\n"
     "    \"_deleted\" and each field by name (jsonl, the default), or CSV with a header\n"
     "    line. Text is decoded to UTF-8 with the code page (default: the one the table's\n"
     "    language driver declares, else latin1; kazakh is 1251 with the Kazakh letters at\n"
     "    the test program's own places). Numbers are JSON numbers, dates\n"
     "    \"yyyy-mm-dd\", logicals true/false, memos their text, and date-times\n"
     "    \"yyyy-mm-ddThh:mm:ss.mmm\"; blank or '*'-filled numbers, blank or 00000000 dates\n"
     "    and blank or '?' logicals are null. Deleted records are left out unless\n"
     "    --deleted is given. With --index the records come in the order of the index\n"
     "    file's tag (--tag, else its first); --seek KEY keeps the records whose key\n"
     "    begins with KEY, --range LOW HIGH those whose key lies from LOW to HIGH (a key\n"
     "    that begins with a bound counts as equal to it). --filter keeps the records for\n"
     "    which the logical expression EXPR is true. --count prints only the number of\n"
     "    records that would be dumped.\n",
     RunDump});

}  // namespace
}  // namespace dbftool
