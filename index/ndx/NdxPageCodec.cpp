// Reading and writing NDX pages into and out of the framework's nodes. A branch page holds
// one entry more than its count: the last one has a child and no significant key, and is
// held in memory with the high sentinel key.

#include <algorithm>
#include <cstring>
#include <vector>

#include "index/core/GSobjIndexFile.h"
#include "index/ndx/GSobjNDXFile.h"
#include "index/ndx/GSobjNDXTag.h"
#include "index/ndx/NdxLayout.h"

void GSobjNDXTag::ReadPage(int32_t page, GSobjIndexKey& node) {
    if (page < 1 || !file_->BlockInFile(int64_t{page} * ndx::kPageSize, ndx::kPageSize)) ReportInvalid();
    std::vector<uint8_t> p(ndx::kPageSize);
    if (!file_->ReadBlock(page, p.data(), ndx::kPageSize)) ReportInvalid();
    const int count = ndx::Get16(&p[ndx::kCountAt]);
    auto entry = [&](int i) { return &p[ndx::kEntriesAt + static_cast<size_t>(i) * static_cast<size_t>(entrySize_)]; };
    const bool branch = ndx::Get32(entry(0) + ndx::kEntryChildAt) != 0;
    const int held = branch ? count + 1 : count;
    if (held > maxKeys_) ReportInvalid();
    node.kind = branch ? TgsNodeKind::Branch : TgsNodeKind::Leaf;
    node.entries.resize(static_cast<size_t>(held));
    for (int i = 0; i < held; ++i) {
        const uint8_t* e = entry(i);
        GSobjIndexKeyData& d = node.entries[static_cast<size_t>(i)];
        const int32_t child = static_cast<int32_t>(ndx::Get32(e + ndx::kEntryChildAt));
        const int32_t record = static_cast<int32_t>(ndx::Get32(e + ndx::kEntryRecordAt));
        d.link = branch ? child : record;
        d.compareRecord = record;
        if (branch && child == 0) ReportInvalid();
        const uint8_t* key = e + ndx::kEntryKeyAt;
        if (branch && i == count) {
            if (NumberKeys()) {
                d.SetNumber(ndx::kHighNumber);
            } else {
                d.SetText("\xFF");
            }
        } else if (NumberKeys()) {
            double v;
            std::memcpy(&v, key, sizeof v);
            d.SetNumber(v);
        } else {
            size_t n = static_cast<size_t>(keyLength_);
            while (n > 0 && key[n - 1] == ' ') --n;
            d.SetText(reinterpret_cast<const char*>(key), n);
        }
    }
}

void GSobjNDXTag::WritePage(int32_t page, GSobjIndexKey& node) {
    const bool branch = node.IsBranch();
    std::vector<uint8_t> p(ndx::kPageSize);
    auto place = [&](size_t slot, const GSobjIndexKeyData& d) {
        uint8_t* e = &p[ndx::kEntriesAt + slot * static_cast<size_t>(entrySize_)];
        ndx::Put32(e + ndx::kEntryChildAt, branch ? static_cast<uint32_t>(d.link) : 0u);
        ndx::Put32(e + ndx::kEntryRecordAt, branch ? 0u : static_cast<uint32_t>(d.link));
        KeyBytes(d, e + ndx::kEntryKeyAt);
    };
    size_t from = 0;
    // Split while the rest does not fit: the first part (the larger half, at most a full
    // page) goes to a new page and its last key becomes the separator in the parent.
    while (node.entries.size() - from > static_cast<size_t>(maxKeys_)) {
        const size_t rest = node.entries.size() - from;
        const size_t first = std::min(rest - rest / 2, static_cast<size_t>(maxKeys_));
        std::fill(p.begin(), p.end(), 0);
        for (size_t i = 0; i < first; ++i) place(i, node.entries[from + i]);
        ndx::Put16(&p[ndx::kCountAt], static_cast<uint32_t>(branch ? first - 1 : first));
        const int32_t at = file_->AllocatePage();
        GSobjIndexKeyData separator = node.entries[from + first - 1];
        separator.link = at;
        file_->WriteBlock(at, p.data(), ndx::kPageSize);
        from += first;
        node.PushSeparator(separator);
        if (node.kind == TgsNodeKind::NewRoot) node.kind = TgsNodeKind::Branch;
    }
    if (from > 0) node.entries.erase(node.entries.begin(), node.entries.begin() + static_cast<long>(from));
    if (node.current >= static_cast<int>(node.entries.size())) node.current = std::max(0, node.LastIndex());
    std::fill(p.begin(), p.end(), 0);
    for (size_t i = 0; i < node.entries.size(); ++i) place(i, node.entries[i]);
    int count = static_cast<int>(node.entries.size()) - (branch ? 1 : 0);
    if (count < 0) count = 0;
    if (node.entries.empty() && branch) node.kind = TgsNodeKind::Leaf;
    if (node.kind == TgsNodeKind::NewRoot) node.kind = TgsNodeKind::Branch;
    ndx::Put16(&p[ndx::kCountAt], static_cast<uint32_t>(count));
    file_->WriteBlock(page, p.data(), ndx::kPageSize);
}
