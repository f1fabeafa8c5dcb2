#pragma once
// The on-disk layout of CDX index files. Positions are byte offsets; nodes are 512 bytes
// and tag headers 1,024. Integers are little-endian except the record numbers and child
// positions of branch entries, which are big-endian.

#include <cstddef>
#include <cstdint>

namespace cdx {

constexpr int32_t kNodeSize = 512;
constexpr int32_t kHeaderSize = 1024;
// A new file: the directory's header and its root leaf.
constexpr int32_t kEmptyFileSize = kHeaderSize + kNodeSize;

// Tag header.
constexpr size_t kRootAt = 0;             // 4
constexpr size_t kFreeListAt = 4;         // 4, zero
constexpr size_t kChangeCounterAt = 8;    // 4
constexpr size_t kKeyLengthAt = 12;       // 2
constexpr size_t kOptionsAt = 14;         // 1
constexpr size_t kSignatureAt = 15;       // 1
constexpr size_t kCollationAt = 494;      // 8
constexpr size_t kCollationSize = 8;
constexpr size_t kDescendingAt = 502;     // 2
constexpr size_t kKeyTextLengthAt = 504;  // 2: key expression length + 1
constexpr size_t kForTextLengthAt = 506;  // 2: FOR expression length + 1
constexpr size_t kKeyTextLength2At = 510; // 2: key expression length + 1
constexpr size_t kExpressionsAt = 512;

constexpr uint8_t kOptionUnique = 0x01;
constexpr uint8_t kOptionHasFor = 0x08;
constexpr uint8_t kOptionTag = 0x60;
constexpr uint8_t kOptionDirectory = 0x80;
constexpr uint8_t kSignatureMachine = 1;
constexpr uint8_t kSignatureGeneral = 2;
constexpr char kGeneralName[] = "GENERAL";
constexpr char kMachineName[] = "MACHINE";

// Collations.
constexpr int kCollationNone = 0;
constexpr int kCollationMachine = 1;
constexpr int kCollationGeneral = 2;

// Node header.
constexpr size_t kAttributesAt = 0;  // 2
constexpr size_t kCountAt = 2;       // 2
constexpr size_t kLeftAt = 4;        // 4
constexpr size_t kRightAt = 8;       // 4
constexpr uint16_t kAttrBranch = 0;
constexpr uint16_t kAttrRoot = 1;
constexpr uint16_t kAttrLeaf = 2;
constexpr int32_t kNoSibling = -1;

// Branch body.
constexpr size_t kBranchEntriesAt = 12;
constexpr int kBranchSpace = 500;
constexpr int kBranchOverhead = 8;  // record and child, big-endian

// Leaf body.
constexpr size_t kFreeBytesAt = 12;    // 2
constexpr size_t kRecordMaskAt = 14;   // 4
constexpr size_t kDupMaskAt = 18;      // 1
constexpr size_t kTrailMaskAt = 19;    // 1
constexpr size_t kRecordBitsAt = 20;   // 1
constexpr size_t kDupBitsAt = 21;      // 1
constexpr size_t kTrailBitsAt = 22;    // 1
constexpr size_t kEntryBytesAt = 23;   // 1
constexpr size_t kLeafEntriesAt = 24;
constexpr int kLeafSpace = 488;        // bytes 24 to 511
// A leaf split keeps the leading entries that fit in this many bytes.
constexpr int kLeafSplitBytes = 250;

constexpr int kMaxKeyLength = 240;
constexpr int kDirectoryKeyLength = 10;
constexpr int kNumberKeyLength = 8;
constexpr int kMaxDepth = 32;

constexpr int BranchMax(int keyLength) { return kBranchSpace / (keyLength + kBranchOverhead); }

inline uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline uint32_t Get32BE(const uint8_t* p) {
    return static_cast<uint32_t>(p[3]) | static_cast<uint32_t>(p[2]) << 8 |
           static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[0]) << 24;
}
inline void Put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v);
    Put16(p + 2, v >> 16);
}
inline void Put32BE(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}

// The bit layout of a leaf's entries.
struct LeafLayout {
    int recordBits = 0;
    int dupBits = 0;
    int trailBits = 0;
    int bytes = 0;  // B
    uint32_t recordMask = 0;
    uint8_t dupMask = 0;
    uint8_t trailMask = 0;
};

// The layout for a key length and the largest record number the leaf must hold.
LeafLayout ComputeLayout(int keyLength, int64_t largestRecord);

// One leaf entry as held for packing: the key's full bytes (key length), its record and
// how many of its last bytes are not stored.
struct PackedEntry {
    const uint8_t* key = nullptr;
    uint32_t record = 0;
    int trail = 0;
};

// Packs `entries` into a zeroed 512-byte leaf `out` (body only: the caller writes the
// node header). Returns false, leaving `out` undefined, when they do not fit in 488 bytes.
bool PackLeaf(const LeafLayout& layout, int keyLength, const PackedEntry* entries, size_t count, uint8_t* out);
// The bytes `count` entries take in a leaf: B plus the new bytes of each.
int LeafBytes(const LeafLayout& layout, int keyLength, const PackedEntry* entries, size_t count);

}  // namespace cdx
