// dbf check: checks a table and its index files and prints a JSON report.

#include <cstdio>
#include <exception>
#include <string>

#include <nlohmann/json.hpp>

#include "engine/TableCheck.h"
#include "index/core/GSobjIndexFile.h"
#include "index/core/IndexCheck.h"
#include "tools/dbf/CodePage.h"
#include "tools/dbf/CommandLine.h"
#include "tools/dbf/IndexTools.h"
#include "tools/dbf/Verbs.h"

namespace dbftool {
namespace {

nlohmann::ordered_json Texts(const std::vector<std::string>& lines, const CodePage& codePage) {
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (const std::string& l : lines) out.push_back(codePage.Decode(l));
    return out;
}

int RunCheck(const Args& args) {
    const CommandLine line = ParseCommandLine({{"FILE"}, "INDEXFILE", {}}, args);
    const std::string& file = line.Positional(0);
    auto table = ToolTable::Open(file, false, true, false);
    const CodePage codePage = CodePage::FromLanguageDriver(table->Header().LanguageDriver());
    bool ok = true;
    nlohmann::ordered_json report;
    report["file"] = file;
    {
        const TgsTableCheck t = TgsTableChecker::Check(*table);
        nlohmann::ordered_json o;
        o["records"] = t.records;
        o["whole_records"] = t.wholeRecords;
        o["memos"] = t.memos;
        o["ok"] = t.Ok();
        o["problems"] = Texts(t.problems, codePage);
        if (!t.notes.empty()) o["notes"] = Texts(t.notes, codePage);
        report["table"] = o;
        ok = ok && t.Ok();
    }
    nlohmann::ordered_json indexes = nlohmann::ordered_json::array();
    for (size_t i = 1; i < line.Positionals().size(); ++i) {
        const std::string& path = line.Positional(i);
        nlohmann::ordered_json f;
        f["file"] = path;
        try {
            auto index = OpenIndexForTable(*table, path, false);
            nlohmann::ordered_json tags = nlohmann::ordered_json::array();
            bool fileOk = true;
            for (const TgsTagCheck& c : TgsIndexCheck::CheckFile(*index)) {
                nlohmann::ordered_json o;
                o["tag"] = codePage.Decode(c.tag);
                o["keys"] = c.keys;
                o["pages"] = c.pages;
                o["depth"] = c.depth;
                o["ok"] = c.Ok();
                o["problems"] = Texts(c.problems, codePage);
                if (!c.notes.empty()) o["notes"] = Texts(c.notes, codePage);
                tags.push_back(o);
                fileOk = fileOk && c.Ok();
            }
            f["ok"] = fileOk;
            f["tags"] = tags;
            ok = ok && fileOk;
        } catch (const std::exception& e) {
            f["ok"] = false;
            f["problems"] = nlohmann::ordered_json::array({std::string("cannot be opened: ") + e.what()});
            ok = false;
        }
        indexes.push_back(f);
    }
    report["indexes"] = indexes;
    report["ok"] = ok;
    std::printf("%s\n", report.dump(2, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "dbf check: cannot write the output\n");
        return 1;
    }
    return ok ? 0 : 1;
}

const bool registered = RegisterVerb(
    {"check", "dbf check FILE [INDEXFILE...]",
     "    Checks the table (the header's record count against the file's size, the end\n"
     "    marker, every memo reference inside its memo file) and each tag of the index\n"
     "    files (page structure, links inside the file, no cycle or shared page, depth,\n"
     "    key order, every key equal to its record's key, every record present once or\n"
     "    left out by its FOR condition or a unique key; for CDX also the leaf layouts,\n"
     "    free-byte counts and sibling chains) and prints a JSON report: \"ok\", and per\n"
     "    part its \"problems\" (and \"notes\" that are not damage). Exit status 0 when\n"
     "    all is well, 1 when anything is wrong. dbf reindex mends the index files.\n",
     RunCheck});

}  // namespace
}  // namespace dbftool
