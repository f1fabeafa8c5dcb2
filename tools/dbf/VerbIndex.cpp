// dbf index: builds an index file, adds a tag to a bag, or deletes one.

#include <memory>
#include <string>

#include "engine/Exception.h"
#include "engine/platform/Paths.h"
#include "index/core/GSobjIndexFile.h"
#include "index/core/IndexFileFactory.h"
#include "tools/dbf/CommandLine.h"
#include "tools/dbf/IndexTools.h"
#include "tools/dbf/Verbs.h"

namespace dbftool {
namespace {

int RunIndex(const Args& args) {
    const CommandLine line = ParseCommandLine({{"FILE", "INDEXFILE"},
                                               "",
                                               {{"--key", true},
                                                {"--for", true},
                                                {"--unique", false},
                                                {"--descending", false},
                                                {"--tag", true},
                                                {"--delete-tag", true}}},
                                              args);
    const std::string& file = line.Positional(0);
    const std::string& indexPath = line.Positional(1);
    const bool bag = HoldsTags(indexPath);
    const bool deleting = line.Has("--delete-tag");
    if (deleting && (line.Has("--key") || line.Has("--for") || line.Has("--unique") || line.Has("--descending") ||
                     line.Has("--tag")))
        throw UsageError{"--delete-tag takes no other option"};
    if (!deleting && !line.Has("--key")) throw UsageError{"--key is required"};
    if (!deleting && bag && !line.Has("--tag")) throw UsageError{"--tag is required for a file of several tags"};
    if (deleting && !bag) throw UsageError{"--delete-tag needs a file of several tags (CDX or MDX)"};
    const std::string extension = platform::ExtensionPart(indexPath);
    if (!IndexFormatKnown(extension))
        throw UsageError{"'" + indexPath + "' does not end in the extension of an index format (.ntx, .ndx, .cdx, .mdx)"};

    auto table = ToolTable::Open(file, true, false, false);
    if (deleting) {
        auto index = OpenIndexForTable(*table, indexPath, true);
        const std::string name = line.Value("--delete-tag");
        if (!index->DeleteTag(name)) throw ERidedezError("'" + indexPath + "' has no tag " + name);
        return 0;
    }
    const std::string tag = line.Value("--tag");
    std::unique_ptr<GSobjIndexFile> index;
    if (bag && platform::FileExists(platform::ResolveCase(platform::ExpandPath(indexPath)))) {
        index = OpenIndexForTable(*table, indexPath, true);
        if (index->FindTag(tag)) index->DeleteTag(tag);
    } else {
        index = CreateIndexFileOfFormat(extension, table.get(), indexPath, false);
        if (!index || !index->Opened()) throw ERidedezError("'" + indexPath + "' cannot be created");
    }
    index->SetLockProtocol(table->LockProtocol());
    if (!index->CreateTag(tag, line.Value("--key"), line.Value("--for"), line.Has("--unique"),
                          !line.Has("--descending")))
        throw ERidedezError("the tag cannot be made in '" + indexPath + "'");
    index.reset();
    table->CloseTable();
    return 0;
}

const bool registered = RegisterVerb(
    {"index",
     "dbf index FILE INDEXFILE --key EXPR [--for EXPR] [--unique] [--descending] [--tag NAME]\n"
     "       dbf index FILE INDEXFILE --delete-tag NAME",
     "    Builds an index of the table in INDEXFILE, its format chosen by the extension\n"
     "    (.ntx, .ndx, .cdx, .mdx), on the key expression EXPR: only the records for which\n"
     "    the --for condition is true, one record per key with --unique, largest key first\n"
     "    with --descending. A single-tag file (NTX, NDX) is made anew; a file of several\n"
     "    tags (CDX, MDX) takes the tag named by --tag, which is required there, and keeps\n"
     "    its other tags (a tag of the same name is replaced). --delete-tag removes a tag\n"
     "    from such a file. The table is opened exclusively.\n",
     RunIndex});

}  // namespace
}  // namespace dbftool
