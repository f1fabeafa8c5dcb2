#include "app/tables/ResultsIndex.h"

#include <array>

#include "dataset/RidedezDataSet.h"
#include "engine/Exception.h"
#include "engine/platform/FileSystem.h"
#include "engine/platform/Paths.h"
#include "index/cdx/GSobjCDXFile.h"
#include "index/core/GSobjIndexTag.h"
#include "index/core/IndexCheck.h"

namespace {

struct OrderTag {
    const char* tag;
    const char* key;
};

constexpr std::array<OrderTag, kResultsOrders> kTags = {{
    {"BYDATE", "DTOS(DATE)"},
    {"BYNAME", "NAME+DTOS(DATE)"},
    {"BYVARIANT", "STR(VAL(VARIANT),2)+DTOS(DATE)"},
}};

std::string IndexEntry(TRidedezDataSet& info) {
    return platform::BaseNamePart(info.TableName()) + ".CDX";
}

bool IndexOpen(TRidedezDataSet& info) {
    const std::string entry = IndexEntry(info);
    for (const std::string& f : info.IndexFiles()) {
        if (platform::IdentityKey(f) == platform::IdentityKey(entry)) return true;
    }
    return false;
}

// Whether the checker finds every page and key of the open order file sound. Run when the
// file is opened, not on every append: it walks every tag against the whole table.
bool IndexFileChecksSound(TRidedezDataSet& info) {
    DBFObject* t = info.Table();
    for (int slot = 1; slot <= gsMaxIndexFiles; ++slot) {
        GSobjIndexFile* f = t->IndexFile(slot);
        if (!f) continue;
        for (const TgsTagCheck& c : TgsIndexCheck::CheckFile(*f))
            if (!c.Ok()) return false;
    }
    return true;
}

std::string Squeezed(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c != ' ') out += c;
    }
    return platform::IdentityKey(out);
}

void BuildIndex(TRidedezDataSet& info) {
    info.SetIndexName("");
    info.SetIndexFiles({});
    DBFObject* t = info.Table();
    const std::string path = ResultsIndexPath(info);
    // A damaged file is replaced whole (by whatever spelling of its name it has).
    platform::RemoveFile(platform::ResolveCase(platform::ExpandPath(path)));
    GSobjCDXFile file(t, true, true, false, true, path);
    for (const OrderTag& o : kTags) file.CreateTag(o.tag, o.key, "", false, true);
}

}  // namespace

const char* ResultsOrderTag(TResultsOrder order) { return kTags[static_cast<size_t>(order)].tag; }
const char* ResultsOrderKey(TResultsOrder order) { return kTags[static_cast<size_t>(order)].key; }

std::string ResultsIndexPath(TRidedezDataSet& info) {
    return platform::DirectoryPart(info.TablePath()) + IndexEntry(info);
}

bool ResultsIndexSound(TRidedezDataSet& info) {
    if (!info.Active() || !IndexOpen(info)) return false;
    try {
        DBFObject* t = info.Table();
        t->RefreshHeader();
        const int32_t records = t->RecordCount();
        for (const OrderTag& o : kTags) {
            GSobjIndexTag* tag = nullptr;
            for (int n = 1; (tag = t->TagByNumber(n)) != nullptr; ++n) {
                if (tag->Name() == o.tag) break;
            }
            if (!tag || tag->HasFor() || Squeezed(tag->KeyExpressionText()) != Squeezed(o.key)) return false;
            // One key per record, deleted ones included.
            int32_t keys = 0;
            for (int32_t r = tag->MoveTo(-3); r != 0; r = tag->MoveTo(-1)) {
                if (r < 1 || r > records || ++keys > records) return false;
            }
            if (keys != records) return false;
        }
    } catch (const Exception&) {
        return false;  // a file that cannot be walked is built again
    }
    return true;
}

bool OpenResultsIndexIfSound(TRidedezDataSet& info) {
    if (!info.Active()) return false;
    if (IndexOpen(info)) return true;
    if (!platform::FileExists(ResultsIndexPath(info))) return false;
    try {
        info.SetIndexFiles({IndexEntry(info)});
    } catch (const Exception&) {
        // Unreadable: it stays closed until the results window builds it again.
        info.SetIndexFiles({});
        return false;
    }
    if (ResultsIndexSound(info) && IndexFileChecksSound(info)) return true;
    info.SetIndexName("");
    info.SetIndexFiles({});
    return false;
}

void EnsureResultsIndex(TRidedezDataSet& info) {
    if (!info.Active()) return;
    // Once open, the table keeps it up to date.
    if (OpenResultsIndexIfSound(info)) return;
    BuildIndex(info);
    info.SetIndexFiles({IndexEntry(info)});
}

void SetResultsOrder(TRidedezDataSet& info, TResultsOrder order) {
    EnsureResultsIndex(info);
    info.SetIndexName(ResultsOrderTag(order));
}
