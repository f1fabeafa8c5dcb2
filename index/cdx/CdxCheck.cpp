// What the index checker asks of CDX tags beyond the tree: header fields, the packing of
// each leaf (its bit layout, its free-byte count), the root marks and both sibling chains.

#include <cstring>
#include <exception>
#include <vector>

#include "index/cdx/CdxLayout.h"
#include "index/cdx/GSobjCDXFile.h"
#include "index/cdx/GSobjCDXTag.h"
#include "index/core/GSobjIndexKey.h"

namespace {
uint32_t MaskOf(int bits) { return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1; }
}  // namespace

void GSobjCDXTag::CheckHeader(std::vector<std::string>& problems) {
    uint8_t h[cdx::kHeaderSize];
    if (!file_->BlockInFile(headerPosition_, cdx::kHeaderSize) || !file_->ReadBlock(headerPosition_, h, sizeof h)) {
        problems.push_back("the tag header at " + std::to_string(headerPosition_) + " cannot be read");
        return;
    }
    const uint16_t descending = cdx::Get16(h + cdx::kDescendingAt);
    if (descending > 1) problems.push_back("the descending flag is " + std::to_string(descending) + ", not 0 or 1");
    if (directory_) return;
    const char* text = reinterpret_cast<const char*>(h + cdx::kExpressionsAt);
    const size_t room = cdx::kHeaderSize - cdx::kExpressionsAt;
    const size_t keyText = strnlen(text, room);
    if (keyText == 0) problems.push_back("the tag has no key expression");
    const size_t forText = keyText + 1 < room ? strnlen(text + keyText + 1, room - keyText - 1) : 0;
    if (hasFor_ && forText == 0) problems.push_back("the tag is marked as having a FOR condition but has none");
    if (!hasFor_ && forText > 0) problems.push_back("the tag has a FOR condition but is not marked as having one");
    // The key's length against what the expression gives.
    if (!Table()) return;
    try {
        TgsVariant probe(gsKeyCapacity);
        bool ok = false;
        if (!EvaluateKey(probe, ok) || !ok) return;
        int expected = -1;
        switch (probe.Type()) {
            case TgsVariantType::Number:
            case TgsVariantType::Date: expected = cdx::kNumberKeyLength; break;
            case TgsVariantType::Logical: expected = 1; break;
            case TgsVariantType::Text: expected = static_cast<int>(probe.Length()); break;
            default: break;
        }
        if (expected > 0 && expected <= cdx::kMaxKeyLength && expected != keyLength_)
            problems.push_back("the key length is " + std::to_string(keyLength_) + " but the key expression gives " +
                               std::to_string(expected) + " bytes");
    } catch (const std::exception& e) {
        problems.push_back(std::string("the key expression cannot be evaluated: ") + e.what());
    }
}

void GSobjCDXTag::CheckPage(const GSobjIndexKey& node, bool isRoot, std::vector<std::string>& problems) {
    const int32_t page = node.pageNumber;
    const std::string name = "page " + std::to_string(page);
    uint8_t p[cdx::kNodeSize];
    if (!file_->ReadBlock(page, p, cdx::kNodeSize)) {
        problems.push_back(name + " cannot be read");
        return;
    }
    const uint16_t attributes = cdx::Get16(p + cdx::kAttributesAt);
    if (((attributes & cdx::kAttrRoot) != 0) != isRoot)
        problems.push_back(name + (isRoot ? " is the root but not marked as one" : " is marked as a root but is not one"));
    if (isRoot && (static_cast<int32_t>(cdx::Get32(p + cdx::kLeftAt)) != cdx::kNoSibling ||
                   static_cast<int32_t>(cdx::Get32(p + cdx::kRightAt)) != cdx::kNoSibling))
        problems.push_back(name + " is the root but has siblings");
    if (node.IsBranch()) return;
    const int count = cdx::Get16(p + cdx::kCountAt);
    const int B = p[cdx::kEntryBytesAt];
    const int recordBits = p[cdx::kRecordBitsAt];
    const int dupBits = p[cdx::kDupBitsAt];
    const int trailBits = p[cdx::kTrailBitsAt];
    const uint32_t recordMask = cdx::Get32(p + cdx::kRecordMaskAt);
    const int dupMask = p[cdx::kDupMaskAt];
    const int trailMask = p[cdx::kTrailMaskAt];
    if (count == 0 && B == 0) return;  // an empty leaf may leave its layout unset
    if (B < 3 || B > 8 || recordBits + dupBits + trailBits != 8 * B || dupBits + trailBits > 16) {
        problems.push_back(name + ": the bit layout (" + std::to_string(recordBits) + ", " + std::to_string(dupBits) +
                           ", " + std::to_string(trailBits) + " bits) does not fill its " + std::to_string(B) +
                           "-byte entries");
        return;
    }
    if (recordMask != MaskOf(recordBits) || static_cast<uint32_t>(dupMask) != MaskOf(dupBits) ||
        static_cast<uint32_t>(trailMask) != MaskOf(trailBits))
        problems.push_back(name + ": the masks do not match the bit counts");
    if (dupBits < 1 || trailBits < 1 || MaskOf(dupBits) < static_cast<uint32_t>(keyLength_) ||
        MaskOf(trailBits) < static_cast<uint32_t>(keyLength_))
        problems.push_back(name + ": the duplicate and trailing counts cannot hold a key length of " +
                           std::to_string(keyLength_));
    // The free bytes: what the entries and their new key bytes leave of the body.
    int used = 0;
    for (int i = 0; i < count && cdx::kLeafEntriesAt + static_cast<size_t>(i + 1) * static_cast<size_t>(B) <= cdx::kNodeSize; ++i) {
        const uint8_t* e = p + cdx::kLeafEntriesAt + static_cast<size_t>(i) * static_cast<size_t>(B);
        const uint32_t word = cdx::Get16(e + B - 2);
        const int trail = static_cast<int>((word >> (16 - trailBits)) & static_cast<uint32_t>(trailMask));
        const int dup = static_cast<int>((word >> (16 - trailBits - dupBits)) & static_cast<uint32_t>(dupMask));
        if (i == 0 && dup != 0) problems.push_back(name + ": the first entry repeats bytes of a key before it");
        used += B + keyLength_ - dup - trail;
    }
    const int free = cdx::Get16(p + cdx::kFreeBytesAt);
    if (free != cdx::kLeafSpace - used)
        problems.push_back(name + ": " + std::to_string(free) + " free bytes recorded, " +
                           std::to_string(cdx::kLeafSpace - used) + " found");
}

void GSobjCDXTag::CheckLevel(const std::vector<int32_t>& pages, std::vector<std::string>& problems) {
    for (size_t i = 0; i < pages.size(); ++i) {
        uint8_t p[cdx::kLeafEntriesAt];
        if (!file_->ReadBlock(pages[i], p, sizeof p)) continue;  // reported by the walk
        const int32_t left = static_cast<int32_t>(cdx::Get32(p + cdx::kLeftAt));
        const int32_t right = static_cast<int32_t>(cdx::Get32(p + cdx::kRightAt));
        const int32_t wantLeft = i == 0 ? cdx::kNoSibling : pages[i - 1];
        const int32_t wantRight = i + 1 == pages.size() ? cdx::kNoSibling : pages[i + 1];
        const std::string name = "page " + std::to_string(pages[i]);
        if (left != wantLeft)
            problems.push_back(name + ": left sibling " + std::to_string(left) + ", expected " + std::to_string(wantLeft));
        if (right != wantRight)
            problems.push_back(name + ": right sibling " + std::to_string(right) + ", expected " +
                               std::to_string(wantRight));
    }
}
