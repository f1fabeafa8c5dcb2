// The bit layout and packing of CDX leaves.

#include <cassert>
#include <cstring>

#include "index/cdx/CdxLayout.h"

namespace cdx {

namespace {
int BitsFor(int value) {
    int bits = 0;
    while (value > 0) {
        ++bits;
        value >>= 1;
    }
    return bits;
}

int DupCount(const uint8_t* previous, const uint8_t* key, int limit) {
    int n = 0;
    while (n < limit && previous[n] == key[n]) ++n;
    return n;
}
}  // namespace

LeafLayout ComputeLayout(int keyLength, int64_t largestRecord) {
    assert(keyLength >= 1 && keyLength <= kMaxKeyLength);
    LeafLayout l;
    const int t = BitsFor(keyLength);
    l.dupBits = l.trailBits = t;
    l.dupMask = l.trailMask = static_cast<uint8_t>((1u << t) - 1);
    l.bytes = 3;
    l.recordBits = 24 - 2 * t;
    auto mask = [](int bits) { return bits >= 31 ? 0x7FFFFFFFu : (1u << bits) - 1; };
    l.recordMask = mask(l.recordBits);
    while (static_cast<int64_t>(l.recordMask) < largestRecord && l.recordBits < 31) {
        ++l.bytes;
        l.recordBits += 8;
        if (l.recordBits > 31) l.recordBits = 31;
        l.recordMask = mask(l.recordBits);
    }
    return l;
}

int LeafBytes(const LeafLayout& layout, int keyLength, const PackedEntry* entries, size_t count) {
    int total = 0;
    const uint8_t* previous = nullptr;
    for (size_t i = 0; i < count; ++i) {
        const int limit = keyLength - entries[i].trail;
        const int dup = previous ? DupCount(previous, entries[i].key, limit) : 0;
        total += layout.bytes + limit - dup;
        previous = entries[i].key;
    }
    return total;
}

bool PackLeaf(const LeafLayout& layout, int keyLength, const PackedEntry* entries, size_t count, uint8_t* out) {
    if (LeafBytes(layout, keyLength, entries, count) > kLeafSpace) return false;
    const int B = layout.bytes;
    const int t = layout.trailBits;
    int keyEnd = kNodeSize;  // the next key's new bytes end here
    const uint8_t* previous = nullptr;
    int used = 0;
    for (size_t i = 0; i < count; ++i) {
        const PackedEntry& e = entries[i];
        const int limit = keyLength - e.trail;
        const int dup = previous ? DupCount(previous, e.key, limit) : 0;
        const int fresh = limit - dup;
        keyEnd -= fresh;
        std::memcpy(out + keyEnd, e.key + dup, static_cast<size_t>(fresh));
        uint64_t v = (e.record & layout.recordMask) | static_cast<uint64_t>(dup) << (8 * B - 2 * t) |
                     static_cast<uint64_t>(e.trail) << (8 * B - t);
        uint8_t* at = out + kLeafEntriesAt + i * static_cast<size_t>(B);
        for (int b = 0; b < B; ++b) at[b] = static_cast<uint8_t>(v >> (8 * b));
        used += B + fresh;
        previous = e.key;
    }
    Put16(out + kFreeBytesAt, static_cast<uint32_t>(kLeafSpace - used));
    Put32(out + kRecordMaskAt, layout.recordMask);
    out[kDupMaskAt] = layout.dupMask;
    out[kTrailMaskAt] = layout.trailMask;
    out[kRecordBitsAt] = static_cast<uint8_t>(layout.recordBits);
    out[kDupBitsAt] = static_cast<uint8_t>(layout.dupBits);
    out[kTrailBitsAt] = static_cast<uint8_t>(layout.trailBits);
    out[kEntryBytesAt] = static_cast<uint8_t>(B);
    return true;
}

}  // namespace cdx
