// dbf recode: converts every text and memo field of a table from one code page to
// another, through a copy: the table and its memo file stay untouched until the
// converted copies are complete, which are then renamed over them.

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "engine/DiskFile.h"
#include "engine/ErrorCodes.h"
#include "engine/ErrorHandler.h"
#include "engine/MemoFactory.h"
#include "engine/dBHandler.h"
#include "engine/platform/Paths.h"
#include "engine/platform/ReplaceFile.h"
#include "engine/platform/FileSystem.h"
#include "tools/dbf/CodePage.h"
#include "tools/dbf/CommandLine.h"
#include "tools/dbf/Verbs.h"

namespace dbftool {
namespace {

// Copies a file whole through the engine's disk files.
void CopyFile(const std::string& from, const std::string& to) {
    GSO_DiskFile in(from, false, false);
    in.Open();
    GSO_DiskFile out(to, true, false);
    out.CreateNew();
    const int64_t size = in.FileSize();
    std::string chunk(1 << 16, '\0');
    for (int64_t at = 0; at < size;) {
        const int32_t n = static_cast<int32_t>(std::min<int64_t>(size - at, chunk.size()));
        in.ReadAt(at, chunk.data(), n);
        out.WriteAt(at, chunk.data(), n);
        at += n;
    }
    out.Flush();
}

// The copies being converted; removed unless they were put in place.
struct Copies {
    std::string table, memo;
    bool placed = false;
    ~Copies() {
        if (placed) return;
        if (!table.empty()) platform::RemoveFile(table);
        if (!memo.empty()) platform::RemoveFile(memo);
    }
};

std::string Hex(char32_t ch) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(ch));
    return buf;
}

// Converts the C fields and the text memos (M) of every record of `table`, deleted ones
// too. Answers the number of records changed.
long Convert(GSO_dBHandler& table, const CodePage& from, const CodePage& to) {
    const int fields = table.FieldCount();
    long changed = 0;
    table.SetUseDeleted(true);
    for (int32_t r = 1; r <= table.RecordCount(); ++r) {
        table.GoRecord(r);
        bool dirty = false;
        for (int n = 1; n <= fields; ++n) {
            const char type = table.FieldType(n);
            std::string bytes, out;
            if (type == 'C') {
                uint8_t* p = table.CurrentBuffer() + table.FieldOffset(n);
                bytes.assign(reinterpret_cast<const char*>(p), static_cast<size_t>(table.FieldLength(n)));
            } else if (type == 'M' && table.MemoFile(n) != nullptr) {
                if (table.MemoBlockNumber(n) == 0) continue;
                bytes = table.MemoText(n);
            } else {
                continue;
            }
            char32_t bad = 0;
            if (!from.Page().Recode(bytes, to.Page(), out, bad)) {
                throw std::runtime_error("record " + std::to_string(r) + ", field " + table.FieldName(n) +
                                         ": " + Hex(bad) + " has no place in code page " + to.Name() +
                                         "; nothing was changed");
            }
            if (out == bytes) continue;
            dirty = true;
            if (type == 'C') {
                std::copy(out.begin(), out.end(), table.CurrentBuffer() + table.FieldOffset(n));
            } else {
                table.MemoWrite(n, out.data(), static_cast<int32_t>(out.size()));
            }
        }
        if (dirty) {
            table.PutRecord(r);
            ++changed;
        }
    }
    return changed;
}

int RunRecode(const Args& args) {
    const CommandLine line =
        ParseCommandLine({{"FILE"}, "", {{"--from", true}, {"--to", true}}}, args);
    if (!line.Has("--from") || !line.Has("--to")) throw UsageError{"--from and --to are both needed"};
    CodePage from, to;
    for (const char* option : {"--from", "--to"}) {
        const std::string name = line.Value(option);
        if (!CodePage::FromName(name, std::string(option) == "--from" ? from : to)) {
            throw UsageError{"unknown code page '" + name + "'"};
        }
    }

    // Held exclusively while the copy is converted, so that nobody writes the original
    // meanwhile.
    auto original = GSO_dBHandler::Open(line.Positional(0), false, false);
    const std::string tablePath = original->RealPath();
    const std::string memoPath = MemoPathFor(tablePath, original->Version());
    const bool hasMemo = !memoPath.empty() && platform::FileExists(memoPath);
    Copies copies;
    copies.table = platform::TemporarySibling(tablePath);
    CopyFile(tablePath, copies.table);
    if (hasMemo) {
        copies.memo = MemoPathFor(copies.table, original->Version());
        CopyFile(platform::ResolveCase(memoPath), copies.memo);
    }
    long changed = 0;
    {
        auto copy = GSO_dBHandler::Open(copies.table, true, false);
        changed = Convert(*copy, from, to);
    }
    // The memo file first: the table never stands beside a memo file of the other kind
    // for longer than the two renames.
    if (hasMemo) {
        if (int rc = platform::ReplaceFile(copies.memo, platform::ResolveCase(memoPath))) {
            ReportEngineError(rc, gsSub::kRename, memoPath);
        }
    }
    if (int rc = platform::ReplaceFile(copies.table, tablePath)) {
        ReportEngineError(rc, gsSub::kRename, tablePath);
    }
    copies.placed = true;
    original.reset();
    std::fprintf(stderr, "dbf recode: %ld record(s) converted from %s to %s\n", changed, from.Name(),
                 to.Name());
    return 0;
}

const bool registered = RegisterVerb(
    {"recode", "dbf recode FILE --from CODEPAGE --to CODEPAGE",
     "    Converts the text of every C field and every text memo (M) of every record,\n"
     "    deleted ones too, from one code page to another (1251, 866, kazakh, kz1048,\n"
     "    pt154, latin1): for example a question table between the test program's Kazakh\n"
     "    places (kazakh) and KZ-1048. The work is done on a copy; the table and its memo\n"
     "    file are replaced only when the copy is complete. A character the target code\n"
     "    page lacks stops it with the record and field named, and nothing changes.\n",
     RunRecode});

}  // namespace
}  // namespace dbftool
