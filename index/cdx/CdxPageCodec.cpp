// Reading and writing CDX nodes into and out of the framework's nodes. A branch entry's
// key is the highest key of its child, as the framework holds it; a leaf is unpacked into
// whole keys and packed again, with a fresh bit layout, when written. The sibling chain
// is kept intact through splits: the first part of a split node goes to a new node that
// takes its place after the old left sibling.

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/Exception.h"
#include "index/cdx/CdxLayout.h"
#include "index/cdx/GSobjCDXFile.h"
#include "index/cdx/GSobjCDXTag.h"

void GSobjCDXTag::ReadPage(int32_t page, GSobjIndexKey& node) {
    if (page <= 0 || page % cdx::kNodeSize != 0 || !file_->BlockInFile(page, cdx::kNodeSize)) ReportInvalid();
    uint8_t p[cdx::kNodeSize];
    if (!file_->ReadBlock(page, p, cdx::kNodeSize)) ReportInvalid();
    const uint16_t attributes = cdx::Get16(p + cdx::kAttributesAt);
    const int count = cdx::Get16(p + cdx::kCountAt);
    node.formatWord1 = static_cast<int32_t>(cdx::Get32(p + cdx::kLeftAt));
    node.formatWord2 = static_cast<int32_t>(cdx::Get32(p + cdx::kRightAt));
    const size_t length = static_cast<size_t>(keyLength_);
    if (attributes > (cdx::kAttrLeaf | cdx::kAttrRoot)) ReportInvalid();
    if (attributes < cdx::kAttrLeaf) {
        if (count < 1 || count > maxKeys_) ReportInvalid();
        node.kind = TgsNodeKind::Branch;
        node.entries.resize(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            const uint8_t* e = p + cdx::kBranchEntriesAt + static_cast<size_t>(i) * static_cast<size_t>(entrySize_);
            GSobjIndexKeyData& d = node.entries[static_cast<size_t>(i)];
            if (NumberKeys()) {
                d.SetBytes(e, length);
            } else {
                size_t n = length;
                while (n > 0 && e[n - 1] == ' ') --n;
                d.SetText(reinterpret_cast<const char*>(e), n);
            }
            d.compareRecord = static_cast<int32_t>(cdx::Get32BE(e + length));
            d.link = static_cast<int32_t>(cdx::Get32BE(e + length + 4));
            if (d.link <= 0 || d.link % cdx::kNodeSize != 0) ReportInvalid();
        }
        return;
    }
    node.kind = TgsNodeKind::Leaf;
    const int B = p[cdx::kEntryBytesAt];
    const int dupBits = p[cdx::kDupBitsAt];
    const int trailBits = p[cdx::kTrailBitsAt];
    const uint32_t recordMask = cdx::Get32(p + cdx::kRecordMaskAt);
    const uint32_t dupMask = p[cdx::kDupMaskAt];
    const uint32_t trailMask = p[cdx::kTrailMaskAt];
    if (count > 0 && (B < 3 || B > 8 || dupBits + trailBits > 16 || count * B > cdx::kLeafSpace)) ReportInvalid();
    const size_t entriesEnd = cdx::kLeafEntriesAt + static_cast<size_t>(count) * static_cast<size_t>(B);
    std::vector<uint8_t> key(length, ' ');
    size_t keyEnd = cdx::kNodeSize;
    node.entries.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const uint8_t* e = p + cdx::kLeafEntriesAt + static_cast<size_t>(i) * static_cast<size_t>(B);
        const uint32_t record = cdx::Get32(e) & recordMask;
        const uint32_t word = cdx::Get16(e + B - 2);
        const size_t trail = (word >> (16 - trailBits)) & trailMask;
        const size_t dup = (word >> (16 - trailBits - dupBits)) & dupMask;
        if (dup + trail > length) ReportInvalid();
        const size_t fresh = length - dup - trail;
        if (keyEnd < entriesEnd + fresh) ReportInvalid();
        keyEnd -= fresh;
        std::memcpy(key.data() + dup, p + keyEnd, fresh);
        const size_t kept = length - trail;
        GSobjIndexKeyData& d = node.entries[static_cast<size_t>(i)];
        if (NumberKeys()) {
            std::fill(key.begin() + static_cast<long>(kept), key.end(), uint8_t{0});
            d.SetBytes(key.data(), length);
        } else {
            std::fill(key.begin() + static_cast<long>(kept), key.end(), ' ');
            size_t n = kept;
            while (n > 0 && key[n - 1] == ' ') --n;
            d.SetText(reinterpret_cast<const char*>(key.data()), n);
        }
        d.link = static_cast<int32_t>(record);
        d.compareRecord = d.link;
    }
}

void GSobjCDXTag::SetSibling(int32_t at, size_t which, int32_t sibling) {
    if (at <= 0 || at % cdx::kNodeSize != 0 || !file_->BlockInFile(at, cdx::kNodeSize)) ReportInvalid();
    uint8_t p[cdx::kNodeSize];
    if (!file_->ReadBlock(at, p, cdx::kNodeSize)) ReportInvalid();
    cdx::Put32(p + which, static_cast<uint32_t>(sibling));
    file_->WriteBlock(at, p, cdx::kNodeSize);
}

void GSobjCDXTag::PageDropped(GSobjIndexKey& node) {
    RefuseGeneralUpdate();
    if (node.pageNumber == gsNoPage) return;
    const int32_t left = node.formatWord1;
    const int32_t right = node.formatWord2;
    if (left != cdx::kNoSibling) SetSibling(left, cdx::kRightAt, right);
    if (right != cdx::kNoSibling) SetSibling(right, cdx::kLeftAt, left);
}

void GSobjCDXTag::WriteLeaf(int32_t at, GSobjIndexKey& node, size_t from, size_t count,
                            const cdx::LeafLayout& layout, int32_t left, int32_t right, bool root) {
    const size_t length = static_cast<size_t>(keyLength_);
    std::vector<uint8_t> keys(std::max<size_t>(count, 1) * length);
    std::vector<cdx::PackedEntry> packed(count);
    for (size_t i = 0; i < count; ++i) {
        const GSobjIndexKeyData& d = node.entries[from + i];
        FullKey(d, &keys[i * length], packed[i].trail);
        packed[i].key = &keys[i * length];
        packed[i].record = static_cast<uint32_t>(d.link);
    }
    uint8_t p[cdx::kNodeSize] = {};
    cdx::Put16(p + cdx::kAttributesAt, root ? cdx::kAttrLeaf | cdx::kAttrRoot : cdx::kAttrLeaf);
    cdx::Put16(p + cdx::kCountAt, static_cast<uint32_t>(count));
    cdx::Put32(p + cdx::kLeftAt, static_cast<uint32_t>(left));
    cdx::Put32(p + cdx::kRightAt, static_cast<uint32_t>(right));
    if (!cdx::PackLeaf(layout, keyLength_, packed.data(), count, p)) ReportInvalid();
    file_->WriteBlock(at, p, cdx::kNodeSize);
}

void GSobjCDXTag::WriteBranch(int32_t at, GSobjIndexKey& node, size_t from, size_t count, int32_t left,
                              int32_t right, bool root) {
    const size_t length = static_cast<size_t>(keyLength_);
    uint8_t p[cdx::kNodeSize] = {};
    cdx::Put16(p + cdx::kAttributesAt, root ? cdx::kAttrBranch | cdx::kAttrRoot : cdx::kAttrBranch);
    cdx::Put16(p + cdx::kCountAt, static_cast<uint32_t>(count));
    cdx::Put32(p + cdx::kLeftAt, static_cast<uint32_t>(left));
    cdx::Put32(p + cdx::kRightAt, static_cast<uint32_t>(right));
    for (size_t i = 0; i < count; ++i) {
        const GSobjIndexKeyData& d = node.entries[from + i];
        uint8_t* e = p + cdx::kBranchEntriesAt + i * static_cast<size_t>(entrySize_);
        int trail = 0;
        FullKey(d, e, trail);
        cdx::Put32BE(e + length, static_cast<uint32_t>(d.compareRecord));
        cdx::Put32BE(e + length + 4, static_cast<uint32_t>(d.link));
    }
    file_->WriteBlock(at, p, cdx::kNodeSize);
}

void GSobjCDXTag::WritePage(int32_t page, GSobjIndexKey& node) {
    RefuseGeneralUpdate();
    if (node.kind == TgsNodeKind::NewRoot || !node.Parent()) {
        // A root has no siblings; a new root never had any.
        if (node.kind == TgsNodeKind::NewRoot) node.formatWord1 = node.formatWord2 = cdx::kNoSibling;
    }
    if (node.entries.empty() && node.IsBranch()) node.kind = TgsNodeKind::Leaf;
    const bool branch = node.IsBranch();
    const size_t length = static_cast<size_t>(keyLength_);
    const cdx::LeafLayout layout = cdx::ComputeLayout(keyLength_, LargestRecord());

    // How many leading entries from `from` go to a new node; 0 when the rest fits.
    std::vector<uint8_t> keys;
    std::vector<cdx::PackedEntry> packed;
    if (!branch) {
        keys.resize(std::max<size_t>(node.entries.size(), 1) * length);
        packed.resize(node.entries.size());
        for (size_t i = 0; i < node.entries.size(); ++i) {
            FullKey(node.entries[i], &keys[i * length], packed[i].trail);
            packed[i].key = &keys[i * length];
            packed[i].record = static_cast<uint32_t>(node.entries[i].link);
        }
    }
    auto splitSize = [&](size_t from) -> size_t {
        const size_t rest = node.entries.size() - from;
        if (branch) {
            if (rest <= static_cast<size_t>(maxKeys_)) return 0;
            return std::min(rest - rest / 2, static_cast<size_t>(maxKeys_));
        }
        if (cdx::LeafBytes(layout, keyLength_, packed.data() + from, rest) <= cdx::kLeafSpace) return 0;
        size_t first = 0;
        while (first + 1 < rest &&
               cdx::LeafBytes(layout, keyLength_, packed.data() + from, first + 1) < cdx::kLeafSplitBytes)
            ++first;
        return std::max<size_t>(first, 1);
    };

    size_t from = 0;
    for (size_t first = splitSize(from); first > 0; first = splitSize(from)) {
        const int32_t at = file_->AllocatePage();
        const int32_t oldLeft = node.formatWord1;
        if (branch) {
            WriteBranch(at, node, from, first, oldLeft, page, false);
        } else {
            WriteLeaf(at, node, from, first, layout, oldLeft, page, false);
        }
        if (oldLeft != cdx::kNoSibling) SetSibling(oldLeft, cdx::kRightAt, at);
        node.formatWord1 = at;
        if (node.kind == TgsNodeKind::NewRoot || !node.Parent()) node.formatWord2 = cdx::kNoSibling;
        GSobjIndexKeyData separator = node.entries[from + first - 1];
        if (!branch) separator.compareRecord = separator.link;
        separator.link = at;
        from += first;
        node.PushSeparator(separator);
        if (node.kind == TgsNodeKind::NewRoot) node.kind = TgsNodeKind::Branch;
    }
    if (from > 0) node.entries.erase(node.entries.begin(), node.entries.begin() + static_cast<long>(from));
    if (node.current >= static_cast<int>(node.entries.size())) node.current = std::max(0, node.LastIndex());
    const bool root = !node.Parent();
    if (root) node.formatWord1 = node.formatWord2 = cdx::kNoSibling;
    if (node.kind == TgsNodeKind::NewRoot) node.kind = TgsNodeKind::Branch;
    if (branch) {
        WriteBranch(page, node, 0, node.entries.size(), node.formatWord1, node.formatWord2, root);
    } else {
        WriteLeaf(page, node, 0, node.entries.size(), layout, node.formatWord1, node.formatWord2, root);
    }
}
