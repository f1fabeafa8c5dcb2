// Reading and writing NTX pages into and out of the framework's nodes.
//
// In memory the last entry of a node carries its parent's separator for it. An NTX branch
// item is itself a record's entry, so a leaf off the rightmost path is held with one extra
// last entry (a copy of the parent item pointing to it) and a branch with one extra entry
// for its rightmost child. On writing, that last entry is placed after the counted items.

#include <algorithm>
#include <cstring>
#include <vector>

#include "index/core/GSobjIndexFile.h"
#include "index/ntx/GSobjNTXFile.h"
#include "index/ntx/GSobjNTXTag.h"
#include "index/ntx/NtxLayout.h"

namespace {
const char kHighSentinel[] = "\xFF";
}  // namespace

void GSobjNTXTag::ReadPage(int32_t page, GSobjIndexKey& node) {
    if (page < ntx::kPageSize || page % ntx::kPageSize != 0 || !file_->BlockInFile(page, ntx::kPageSize))
        ReportInvalid();
    uint8_t buffer[ntx::kPageSize];
    const uint8_t* const p = file_->ViewBlock(page, ntx::kPageSize, buffer);
    if (!p) ReportInvalid();
    const int count = ntx::Get16(&p[ntx::kCountAt]);
    if (count > maxKeys_) ReportInvalid();
    auto item = [&](int slot) -> const uint8_t* {
        const size_t at = ntx::Get16(&p[ntx::kOffsetTableAt + 2 * static_cast<size_t>(slot)]);
        if (at < ntx::kOffsetTableAt || at + static_cast<size_t>(entrySize_) > static_cast<size_t>(ntx::kPageSize))
            ReportInvalid();
        return &p[at];
    };
    // An empty page may be all zeros, without an offset table: an empty leaf.
    const size_t firstAt = ntx::Get16(&p[ntx::kOffsetTableAt]);
    const bool branch = (count > 0 || firstAt != 0) && ntx::Get32(item(0) + ntx::kItemChildAt) != 0;
    node.kind = branch ? TgsNodeKind::Branch : TgsNodeKind::Leaf;
    node.entries.resize(static_cast<size_t>(count));
    GSobjIndexKeyData* const entries = node.entries.data();
    for (int i = 0; i < count; ++i) {
        const uint8_t* it = item(i);
        const uint8_t* key = it + ntx::kItemKeyAt;
        const size_t n = ntx::TrimmedKeyLength(key, static_cast<size_t>(keyLength_));
        GSobjIndexKeyData& e = entries[static_cast<size_t>(i)];
        e.SetText(reinterpret_cast<const char*>(key), n);
        e.compareRecord = static_cast<int32_t>(ntx::Get32(it + ntx::kItemRecordAt));
        e.link = branch ? static_cast<int32_t>(ntx::Get32(it + ntx::kItemChildAt)) : e.compareRecord;
        if (branch && e.link == 0) ReportInvalid();
    }
    GSobjIndexKey* parent = node.Parent();
    const GSobjIndexKeyData* parentItem =
        parent && parent->current >= 0 && parent->current <= parent->LastIndex()
            ? &parent->entries[static_cast<size_t>(parent->current)]
            : nullptr;
    if (branch) {
        const int32_t child = static_cast<int32_t>(ntx::Get32(item(count) + ntx::kItemChildAt));
        if (child == 0) ReportInvalid();
        node.entries.resize(static_cast<size_t>(count) + 1);
        GSobjIndexKeyData& e = node.entries.back();
        if (parentItem) {
            e = *parentItem;
        } else {
            e.SetText(kHighSentinel);
            e.compareRecord = 0;
        }
        e.link = child;
    } else if (parent && parentItem && !node.IsRightmost()) {
        node.entries.resize(static_cast<size_t>(count) + 1);
        GSobjIndexKeyData& e = node.entries.back();
        e = *parentItem;
        e.link = e.compareRecord;
    }
}

void GSobjNTXTag::WriteItem(uint8_t* page, int slot, int32_t child, int32_t record,
                            const TgsVariant& key) const {
    uint8_t* it = page + ntx::Get16(page + ntx::kOffsetTableAt + 2 * static_cast<size_t>(slot));
    ntx::Put32(it + ntx::kItemChildAt, static_cast<uint32_t>(child));
    ntx::Put32(it + ntx::kItemRecordAt, static_cast<uint32_t>(record));
    std::memset(it + ntx::kItemKeyAt, ' ', static_cast<size_t>(keyLength_));
    const size_t n = std::min(key.Length(), static_cast<size_t>(keyLength_));
    if (n > 0) std::memcpy(it + ntx::kItemKeyAt, key.Data(), n);
}

void GSobjNTXTag::WritePage(int32_t page, GSobjIndexKey& node) {
    const bool branch = node.IsBranch();
    std::vector<uint8_t> p(ntx::kPageSize);
    auto reset = [&] {
        std::fill(p.begin(), p.end(), 0);
        for (int i = 0; i <= maxKeys_; ++i)
            ntx::Put16(&p[ntx::kOffsetTableAt + 2 * static_cast<size_t>(i)],
                       static_cast<uint32_t>(4 + 2 * maxKeys_ + i * entrySize_));
    };
    auto place = [&](int slot, const GSobjIndexKeyData& e) {
        if (branch) {
            WriteItem(p.data(), slot, e.link, e.compareRecord, e);
        } else {
            WriteItem(p.data(), slot, 0, e.link, e);
        }
    };
    // A rightmost leaf counts every entry; other nodes hold one entry more than they count.
    const int uncounted = (!branch && node.IsRightmost()) ? 0 : 1;
    size_t from = 0;
    // Split while the rest does not fit: the first part (the larger half, at most a full
    // page) goes to a new page and its last entry becomes the separator in the parent.
    while (static_cast<int>(node.entries.size() - from) - uncounted > maxKeys_) {
        const size_t rest = node.entries.size() - from;
        size_t first = rest - rest / 2;
        first = std::min(first, static_cast<size_t>(maxKeys_) + 1);
        reset();
        for (size_t i = 0; i < first; ++i) place(static_cast<int>(i), node.entries[from + i]);
        ntx::Put16(&p[ntx::kCountAt], static_cast<uint32_t>(first - 1));
        const int32_t at = file_->AllocatePage();
        GSobjIndexKeyData separator = node.entries[from + first - 1];
        if (!branch) separator.compareRecord = separator.link;
        separator.link = at;
        file_->WriteBlock(at, p.data(), ntx::kPageSize);
        from += first;
        // The parent's entry for this page stays valid: the upper part keeps the page.
        node.PushSeparator(separator);
        if (node.kind == TgsNodeKind::NewRoot) node.kind = TgsNodeKind::Branch;
    }
    if (from > 0) node.entries.erase(node.entries.begin(), node.entries.begin() + static_cast<long>(from));
    if (node.current >= static_cast<int>(node.entries.size())) node.current = std::max(0, node.LastIndex());
    reset();
    for (size_t i = 0; i < node.entries.size(); ++i) place(static_cast<int>(i), node.entries[i]);
    int count = static_cast<int>(node.entries.size());
    if (!(node.kind == TgsNodeKind::Leaf && node.IsRightmost())) count -= 1;
    if (count < 0) count = 0;
    if (node.entries.empty() && branch) node.kind = TgsNodeKind::Leaf;
    if (node.kind == TgsNodeKind::NewRoot) node.kind = TgsNodeKind::Branch;
    ntx::Put16(&p[ntx::kCountAt], static_cast<uint32_t>(count));
    file_->WriteBlock(page, p.data(), ntx::kPageSize);
}
