#pragma once
// The on-disk layout of NDX index files. All integers are little-endian; page n starts at
// byte n x 512 and page 0 is the header.

#include <cstddef>
#include <cstdint>

namespace ndx {

constexpr int32_t kPageSize = 512;

// Header.
constexpr size_t kRootAt = 0;            // 4: root page number
constexpr size_t kPageCountAt = 4;       // 4: pages in the file when the header was written
constexpr size_t kKeyLengthAt = 12;      // 2: text length, or 8 for numbers and dates
constexpr size_t kMaxEntriesAt = 14;     // 2
constexpr size_t kKeyTypeAt = 16;        // 2: 0 text, 1 number or date
constexpr size_t kEntrySizeAt = 18;      // 2
constexpr size_t kUniqueAt = 23;         // 1 (bit 0)
constexpr size_t kKeyExpressionAt = 24;  // up to 488, zero-terminated
constexpr size_t kKeyExpressionSize = kPageSize - kKeyExpressionAt;

constexpr uint16_t kKeyTypeText = 0;
constexpr uint16_t kKeyTypeNumber = 1;

// Page.
constexpr size_t kCountAt = 0;           // 2
constexpr size_t kEntriesAt = 4;

// Entry.
constexpr size_t kEntryChildAt = 0;      // 4
constexpr size_t kEntryRecordAt = 4;     // 4
constexpr size_t kEntryKeyAt = 8;
constexpr int kEntryOverhead = 8;

constexpr int kNumberKeyLength = 8;
// Number entries are sized as if their key were 12 bytes long.
constexpr int kNumberSizingLength = 12;
constexpr int kMaxKeyLength = 239;
constexpr int kMaxDepth = 32;

// A blank date's key, and the high sentinel of number and date branch pages.
constexpr double kBlankDate = 1.0E+100;
constexpr double kHighNumber = 1.7E+308;

constexpr int EntrySize(int keyLength) { return (keyLength + kEntryOverhead + 3) / 4 * 4; }
constexpr int MaxEntries(int entrySize) { return 504 / entrySize; }

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

}  // namespace ndx
