#include "index/cdx/GSobjSortCDX.h"

#include <algorithm>
#include <cstring>

#include "engine/dBaseFld.h"
#include "index/cdx/GSobjCDXTag.h"
#include "index/core/GSobjIndexFile.h"

GSobjSortCDX::GSobjSortCDX(GSobjCDXTag& tag, int maxKeyLength)
    : TgsSort(maxKeyLength, tag.Unique()),
      tag_(tag),
      layout_(cdx::ComputeLayout(tag.KeyLength(), tag.LargestRecord())),
      keyLength_(static_cast<size_t>(tag.KeyLength())),
      writer_(*tag.File(), 1) {}

int32_t GSobjSortCDX::WriteEmptyRoot(int32_t at) {
    if (at == gsNoPage) at = tag_.File()->AllocatePage();
    uint8_t p[cdx::kNodeSize] = {};
    cdx::Put16(p + cdx::kAttributesAt, cdx::kAttrLeaf | cdx::kAttrRoot);
    cdx::Put32(p + cdx::kLeftAt, static_cast<uint32_t>(cdx::kNoSibling));
    cdx::Put32(p + cdx::kRightAt, static_cast<uint32_t>(cdx::kNoSibling));
    cdx::PackLeaf(layout_, tag_.KeyLength(), nullptr, 0, p);
    tag_.File()->WriteBlock(at, p, cdx::kNodeSize);
    return at;
}

void GSobjSortCDX::Add(size_t index, const uint8_t* key, int trail, uint32_t record, int32_t child) {
    if (index >= static_cast<size_t>(cdx::kMaxDepth)) tag_.ReportInvalid();
    if (index >= levels_.size()) {
        levels_.emplace_back();
        levels_.back().position = tag_.File()->AllocatePage();
    }
    // The bytes a leaf entry takes: its record word and what its key does not share with
    // the key before it in the same leaf. A leaf is closed only when the next one does not fit.
    auto leafBytes = [&](const Level& level) {
        const int limit = static_cast<int>(keyLength_) - trail;
        int dup = 0;
        if (!level.records.empty()) {
            const uint8_t* previous = &level.keys[(level.records.size() - 1) * keyLength_];
            while (dup < limit && previous[dup] == key[dup]) ++dup;
        }
        return layout_.bytes + limit - dup;
    };
    if (index == 0 && !levels_[0].records.empty() && levels_[0].used + leafBytes(levels_[0]) > cdx::kLeafSpace)
        levels_[0].full = true;
    if (levels_[index].full) {
        const int32_t next = tag_.File()->AllocatePage();
        Close(index, next, false);
        Level& level = levels_[index];
        level.left = level.position;
        level.position = next;
        level.keys.clear();
        level.trails.clear();
        level.records.clear();
        level.children.clear();
        level.used = 0;
        level.full = false;
    }
    Level& level = levels_[index];
    const size_t n = level.records.size();
    if (index == 0) {
        level.used += leafBytes(level);
    } else {
        level.full = static_cast<int>(n + 1) >= tag_.MaxKeys();
    }
    level.keys.insert(level.keys.end(), key, key + keyLength_);
    level.trails.push_back(trail);
    level.records.push_back(record);
    level.children.push_back(child);
}

void GSobjSortCDX::Close(size_t index, int32_t right, bool root) {
    Level& level = levels_[index];
    const size_t n = level.records.size();
    uint8_t p[cdx::kNodeSize] = {};
    const uint16_t kind = index == 0 ? cdx::kAttrLeaf : cdx::kAttrBranch;
    cdx::Put16(p + cdx::kAttributesAt, root ? kind | cdx::kAttrRoot : kind);
    cdx::Put16(p + cdx::kCountAt, static_cast<uint32_t>(n));
    cdx::Put32(p + cdx::kLeftAt, static_cast<uint32_t>(level.left));
    cdx::Put32(p + cdx::kRightAt, static_cast<uint32_t>(right));
    if (index == 0) {
        std::vector<cdx::PackedEntry> packed(n);
        for (size_t i = 0; i < n; ++i) packed[i] = {&level.keys[i * keyLength_], level.records[i], level.trails[i]};
        if (!cdx::PackLeaf(layout_, tag_.KeyLength(), packed.data(), n, p)) tag_.ReportInvalid();
    } else {
        const size_t entrySize = keyLength_ + cdx::kBranchOverhead;
        for (size_t i = 0; i < n; ++i) {
            uint8_t* e = p + cdx::kBranchEntriesAt + i * entrySize;
            std::memcpy(e, &level.keys[i * keyLength_], keyLength_);
            cdx::Put32BE(e + keyLength_, level.records[i]);
            cdx::Put32BE(e + keyLength_ + 4, static_cast<uint32_t>(level.children[i]));
        }
    }
    writer_.Write(level.position, p, cdx::kNodeSize);
    if (root || n == 0) return;
    // Copies: the level above may grow the level list.
    std::vector<uint8_t> last(&level.keys[(n - 1) * keyLength_], &level.keys[n * keyLength_]);
    const int trail = level.trails[n - 1];
    const uint32_t record = level.records[n - 1];
    const int32_t position = level.position;
    Add(index + 1, last.data(), trail, record, position);
}

int32_t GSobjSortCDX::WritePages() {
    GSO_dBaseFld* table = tag_.Table();
    if (table) table->StatusReport(-1, gsStatusIndexPages, KeysAdded());
    std::vector<uint8_t> key(keyLength_);
    TgsVariant value;
    int32_t record = 0;
    int32_t written = 0;
    while (NextKey(value, record)) {
        int trail = 0;
        tag_.FullKey(value, key.data(), trail);
        Add(0, key.data(), trail, static_cast<uint32_t>(record), 0);
        if (table) table->StatusReport(gsStatusIndexPages, ++written, 0);
    }
    int32_t root = gsNoPage;
    if (levels_.empty()) {
        root = WriteEmptyRoot(gsNoPage);
    } else {
        for (size_t i = 0; i < levels_.size(); ++i) {
            const bool top = i + 1 == levels_.size();
            Close(i, cdx::kNoSibling, top);
            if (top) root = levels_[i].position;
        }
    }
    writer_.Flush();
    if (table) table->StatusReport(0, 0, 0);
    return root;
}
