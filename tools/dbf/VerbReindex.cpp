// dbf reindex: rebuilds index files from the table.

#include <string>

#include "tools/dbf/CommandLine.h"
#include "tools/dbf/IndexTools.h"
#include "tools/dbf/Verbs.h"

namespace dbftool {
namespace {

int RunReindex(const Args& args) {
    const CommandLine line = ParseCommandLine({{"FILE", "INDEXFILE"}, "INDEXFILE", {}}, args);
    auto table = ToolTable::Open(line.Positional(0), true, false, false);
    for (size_t i = 1; i < line.Positionals().size(); ++i) table->OpenIndexFile(line.Positional(i));
    table->Reindex();
    table->CloseTable();
    return 0;
}

const bool registered = RegisterVerb(
    {"reindex", "dbf reindex FILE INDEXFILE...",
     "    Rebuilds every tag of the index files from the table, mending what dbf check\n"
     "    reports (the header of each file must still be readable). The table is opened\n"
     "    exclusively.\n",
     RunReindex});

}  // namespace
}  // namespace dbftool
