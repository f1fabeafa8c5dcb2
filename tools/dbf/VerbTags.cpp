// dbf tags: what each tag of index files holds, one JSON object per tag.

#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

#include "index/core/GSobjIndexFile.h"
#include "index/core/GSobjIndexTag.h"
#include "index/core/IndexCheck.h"
#include "tools/dbf/CodePage.h"
#include "tools/dbf/CommandLine.h"
#include "tools/dbf/IndexTools.h"
#include "tools/dbf/Verbs.h"

namespace dbftool {
namespace {

int RunTags(const Args& args) {
    const CommandLine line = ParseCommandLine({{"FILE", "INDEXFILE"}, "INDEXFILE", {}}, args);
    auto table = ToolTable::Open(line.Positional(0), false, true, false);
    const CodePage codePage = CodePage::FromLanguageDriver(table->Header().LanguageDriver());
    for (size_t i = 1; i < line.Positionals().size(); ++i) {
        const std::string& path = line.Positional(i);
        auto file = OpenIndexForTable(*table, path, false);
        for (size_t t = 0; t < file->TagCount(); ++t) {
            GSobjIndexTag* tag = file->Tag(t);
            // Keys are counted by the checker's walk, which no damaged file can make endless.
            const TgsTagCheck walk = TgsIndexCheck::CheckTag(*tag, false);
            nlohmann::ordered_json o;
            o["file"] = path;
            o["tag"] = codePage.Decode(tag->Name());
            o["key"] = codePage.Decode(tag->KeyExpressionText());
            o["for"] = codePage.Decode(tag->ForExpressionText());
            o["unique"] = tag->Unique();
            o["descending"] = !tag->Ascending();
            o["key_type"] = std::string(1, tag->KeyType());
            o["key_length"] = tag->KeyLength();
            o["keys"] = walk.keys;
            if (!walk.Ok()) o["damaged"] = true;
            std::printf("%s\n", o.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
        }
    }
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "dbf tags: cannot write the output\n");
        return 1;
    }
    return 0;
}

const bool registered = RegisterVerb(
    {"tags", "dbf tags FILE INDEXFILE...",
     "    Prints one JSON object per tag of each index file: \"file\", \"tag\", \"key\" and\n"
     "    \"for\" (the expressions), \"unique\", \"descending\", \"key_type\" (C, N or D),\n"
     "    \"key_length\" and \"keys\" (the entries it holds); \"damaged\": true when its\n"
     "    pages do not form a sound tree (dbf check says why).\n",
     RunTags});

}  // namespace
}  // namespace dbftool
