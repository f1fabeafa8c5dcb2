// Reading and writing MDX key blocks into and out of the framework's nodes. A branch block
// holds one entry more than its count: the last one has a child and no significant key,
// and is held in memory with the high sentinel key. Every block a split or a new root
// adds joins the tag's back chain (the header, made dirty by it, is written when the
// path is released).

#include <algorithm>
#include <cstring>
#include <vector>

#include "index/core/GSobjIndexFile.h"
#include "index/mdx/GSobjMDXFile.h"
#include "index/mdx/GSobjMDXTag.h"
#include "index/mdx/MdxLayout.h"

void GSobjMDXTag::ReadPage(int32_t page, GSobjIndexKey& node) {
    const size_t blockSize = static_cast<size_t>(BlockSize());
    if (!BlockPlaceable(page)) ReportInvalid();
    std::vector<uint8_t> b(blockSize);
    if (!file_->ReadBlock(page, b.data(), static_cast<int32_t>(blockSize))) ReportInvalid();
    const uint64_t count = mdx::Get32(&b[mdx::kCountAt]);
    node.formatWord1 = static_cast<int32_t>(mdx::Get32(&b[mdx::kBackChainAt]));
    const size_t entrySize = static_cast<size_t>(entrySize_);
    const size_t room = (blockSize - mdx::kEntriesAt) / entrySize;
    // No block holds more keys than the tag header allows (its header was checked to fit
    // that many, and a branch's extra entry, in a block).
    if (count > static_cast<uint64_t>(maxKeys_) || count > room) ReportInvalid();
    auto entry = [&](size_t i) { return &b[mdx::kEntriesAt + i * entrySize]; };
    // The entry after the counted ones names a child only in a branch block (a full leaf
    // may have no room for it).
    const bool branch = count < room && mdx::Get32(entry(count) + mdx::kEntryLinkAt) != 0;
    const size_t held = branch ? count + 1 : count;
    node.kind = branch ? TgsNodeKind::Branch : TgsNodeKind::Leaf;
    node.entries.resize(held);
    for (size_t i = 0; i < held; ++i) {
        const uint8_t* e = entry(i);
        GSobjIndexKeyData& d = node.entries[i];
        d.link = static_cast<int32_t>(mdx::Get32(e + mdx::kEntryLinkAt));
        d.compareRecord = 0;
        if (branch && d.link == 0) ReportInvalid();
        if (branch && i == count) {
            if (NumberKeys()) {
                const uint8_t high = mdx::kMarkerHigh;
                d.SetBytes(&high, 1);
            } else if (DateKeys()) {
                d.SetNumber(mdx::kHighDate);
            } else {
                d.SetText("\xFF");
            }
        } else {
            HeldKey(e + mdx::kEntryKeyAt, d);
        }
    }
}

void GSobjMDXTag::WritePage(int32_t page, GSobjIndexKey& node) {
    const bool branch = node.IsBranch();
    const size_t blockSize = static_cast<size_t>(BlockSize());
    const size_t entrySize = static_cast<size_t>(entrySize_);
    // A root made by a split is a new block of the tag.
    if (node.kind == TgsNodeKind::NewRoot) node.formatWord1 = ChainBlock(page);
    std::vector<uint8_t> b(blockSize);
    // Fills the block with `count` entries from `from`; a branch's last one keeps no key.
    auto fill = [&](size_t from, size_t count, int32_t backChain) {
        std::fill(b.begin(), b.end(), 0);
        for (size_t i = 0; i < count; ++i) {
            const GSobjIndexKeyData& d = node.entries[from + i];
            uint8_t* e = &b[mdx::kEntriesAt + i * entrySize];
            mdx::Put32(e + mdx::kEntryLinkAt, static_cast<uint32_t>(d.link));
            if (!(branch && i + 1 == count)) StoredKey(d, e + mdx::kEntryKeyAt);
        }
        const size_t counted = branch && count > 0 ? count - 1 : count;
        mdx::Put32(&b[mdx::kCountAt], static_cast<uint32_t>(counted));
        mdx::Put32(&b[mdx::kBackChainAt], static_cast<uint32_t>(backChain));
    };
    size_t from = 0;
    // Split while the rest does not fit: the first part (the larger half, at most a full
    // block) goes to a new block and its last key becomes the separator in the parent.
    while (node.entries.size() - from > static_cast<size_t>(maxKeys_)) {
        const size_t rest = node.entries.size() - from;
        const size_t first = std::min(rest - rest / 2, static_cast<size_t>(maxKeys_));
        const int32_t at = file_->AllocatePage();
        fill(from, first, ChainBlock(at));
        GSobjIndexKeyData separator = node.entries[from + first - 1];
        separator.link = at;
        separator.compareRecord = 0;
        file_->WriteBlock(at, b.data(), static_cast<int32_t>(blockSize));
        from += first;
        node.PushSeparator(separator);
        if (node.kind == TgsNodeKind::NewRoot) node.kind = TgsNodeKind::Branch;
    }
    if (from > 0) node.entries.erase(node.entries.begin(), node.entries.begin() + static_cast<long>(from));
    if (node.current >= static_cast<int>(node.entries.size())) node.current = std::max(0, node.LastIndex());
    if (node.entries.empty() && branch) node.kind = TgsNodeKind::Leaf;
    if (node.kind == TgsNodeKind::NewRoot) node.kind = TgsNodeKind::Branch;
    fill(0, node.entries.size(), node.formatWord1);
    file_->WriteBlock(page, b.data(), static_cast<int32_t>(blockSize));
}
