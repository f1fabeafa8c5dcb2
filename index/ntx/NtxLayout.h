#pragma once
// The on-disk layout of NTX index files. All integers are little-endian; page "numbers"
// are byte offsets; pages are 1,024 bytes and the header is the page at offset 0.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace ntx {

constexpr int32_t kPageSize = 1024;

// Header.
constexpr size_t kSignatureAt = 0;       // 2: 6, or 7 with a FOR condition (bit 0)
constexpr size_t kChangeCounterAt = 2;   // 2
constexpr size_t kRootAt = 4;            // 4: byte offset of the root page
constexpr size_t kItemSizeAt = 12;       // 2: key length + 8
constexpr size_t kKeyLengthAt = 14;      // 2
constexpr size_t kDecimalsAt = 16;       // 2
constexpr size_t kMaxItemsAt = 18;       // 2
constexpr size_t kHalfItemsAt = 20;      // 2
constexpr size_t kKeyExpressionAt = 22;  // 256, zero-terminated
constexpr size_t kKeyExpressionSize = 256;
constexpr size_t kUniqueAt = 278;        // 1 (bit 0)
// Byte 279 is left zero: some writers set it for descending tags whose keys they still
// store ascending, so it is not read. Files whose keys are stored in descending order
// (Harbour's, and ours) say so in byte 280.
constexpr size_t kDescendingAt = 280;    // 1 (bit 0)
constexpr size_t kForExpressionAt = 282; // up to 742, zero-terminated
constexpr size_t kForExpressionSize = kPageSize - kForExpressionAt;

constexpr uint16_t kSignature = 6;
constexpr uint16_t kSignatureFor = 7;
constexpr uint16_t kHasForBit = 1;

// The change counter runs 1 to 32767.
constexpr uint16_t kChangeCounterMax = 32767;

// Page.
constexpr size_t kCountAt = 0;           // 2
constexpr size_t kOffsetTableAt = 2;     // 2 x (maximum + 1)

// Item.
constexpr size_t kItemChildAt = 0;       // 4
constexpr size_t kItemRecordAt = 4;      // 4
constexpr size_t kItemKeyAt = 8;         // key length
constexpr int kItemOverhead = 8;

constexpr int kMaxKeyLength = 239;
constexpr int kMaxDepth = 32;

// Items per page for a key length (always even).
constexpr int MaxItems(int keyLength) { return 2 * ((1020 / (keyLength + 10) - 1) / 2); }

inline uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline void Put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

// The length of a stored key without its trailing blanks, eight bytes at a time while it can.
inline size_t TrimmedKeyLength(const uint8_t* key, size_t n) {
    constexpr uint64_t kBlanks = 0x2020202020202020ull;
    while (n >= sizeof(uint64_t)) {
        uint64_t word;
        std::memcpy(&word, key + n - sizeof word, sizeof word);
        if (word != kBlanks) break;
        n -= sizeof word;
    }
    while (n > 0 && key[n - 1] == ' ') --n;
    return n;
}

// Asks for every memory line of a page held in memory at once: a search through the page
// jumps about it, and lines fetched one after another as it reaches them wait in turn.
inline void FetchPageLines(const uint8_t* page) {
    constexpr int32_t kMemoryLine = 64;  // the processor's cache line
    for (int32_t at = 0; at < kPageSize; at += kMemoryLine) __builtin_prefetch(page + at);
}

}  // namespace ntx
