#pragma once
// The on-disk layout of MDX index files. All integers are little-endian. Positions are
// counted in 512-byte units (the framework's page numbers); a block is block-size bytes
// and takes block size / 512 units. The file starts with a header area (units per block
// x block size bytes) holding the file header at 0 and the tag table at 512.

#include <cstddef>
#include <cstdint>
#include <string>

namespace mdx {

constexpr int32_t kUnitSize = 512;

// What this engine writes into new files.
constexpr int32_t kNewBlockSize = 1024;
constexpr int32_t kNewUnitsPerBlock = 2;
constexpr int32_t kNewHeaderArea = kNewUnitsPerBlock * kNewBlockSize;  // 2,048
constexpr int kNewSlotCount = 48;

// What is accepted when reading.
constexpr int32_t kMinBlockSize = 1024;  // a tag header's FOR text starts at 762
constexpr int32_t kMaxHeaderArea = 65535;

// File header.
constexpr size_t kVersionAt = 0;         // 1
constexpr uint8_t kVersion = 2;
constexpr size_t kDateAt = 1;            // 3: year mod 100, month, day
constexpr size_t kTableNameAt = 4;       // 16: up to 8 characters, zero-padded
constexpr size_t kTableNameSize = 16;
constexpr size_t kTableNameChars = 8;
constexpr size_t kUnitsPerBlockAt = 20;  // 2
constexpr size_t kBlockSizeAt = 22;      // 2
constexpr size_t kOneAt = 24;            // 1: always 1
constexpr size_t kSlotCountAt = 25;      // 1
constexpr size_t kSlotSizeAt = 26;       // 1
constexpr size_t kTagCountAt = 28;       // 2
constexpr size_t kNextFreeAt = 32;       // 4: the file's length in units
constexpr size_t kDate2At = 44;          // 3

// Tag table: slot 0 at 512 is the table's head, slot t (from 1) describes tag t.
constexpr size_t kTagTableAt = 512;
constexpr size_t kSlotSize = 32;
constexpr size_t kSlotHeaderAt = 0;      // 4: position of the tag's header block
constexpr size_t kSlotNameAt = 4;        // 11: upper case, zero-terminated
constexpr size_t kSlotNameSize = 11;
constexpr size_t kTagNameChars = 10;
// The thread bytes: tags are threaded in name order through the right thread, each slot
// naming the slot of the tag that follows it (slot 0 names the first tag); the left
// thread and the balance byte stay 0.
constexpr size_t kSlotLeftThreadAt = 16;
constexpr size_t kSlotRightThreadAt = 17;
constexpr size_t kSlotBalanceAt = 18;
constexpr size_t kSlotTwoAt = 19;        // 1: always 2
constexpr uint8_t kSlotTwo = 2;
constexpr size_t kSlotKeyTypeAt = 20;    // 1: 'C', 'N' or 'D'

// Tag header block.
constexpr size_t kRootAt = 0;              // 4
constexpr size_t kKeyFormatAt = 8;         // 1
constexpr uint8_t kKeyFormatBase = 0x10;
constexpr uint8_t kKeyFormatUnique = 0x40;
constexpr uint8_t kKeyFormatDescending = 0x08;
constexpr size_t kKeyTypeAt = 9;           // 1
constexpr size_t kKeyLengthAt = 12;        // 2
constexpr size_t kMaxEntriesAt = 14;       // 2
constexpr size_t kEntrySizeAt = 18;        // 2
constexpr size_t kUniqueAt = 23;           // 1
constexpr uint8_t kUniqueFlag = 0x40;
constexpr size_t kKeyExpressionAt = 24;    // 221, zero-terminated
constexpr size_t kKeyExpressionSize = 221;
constexpr size_t kHasForAt = 245;          // 1
constexpr size_t kHeaderOneAt = 246;       // 1: always 1
constexpr size_t kFirstBlockAt = 248;      // 4
constexpr size_t kLastBlockAt = 252;       // 4
constexpr size_t kForExpressionAt = 762;   // to the block's end, zero-terminated

// Key block.
constexpr size_t kCountAt = 0;             // 4
constexpr size_t kBackChainAt = 4;         // 4: the tag's block written before this one
constexpr size_t kEntriesAt = 8;
constexpr size_t kEntryLinkAt = 0;         // 4: record (leaf) or child position (branch)
constexpr size_t kEntryKeyAt = 4;
constexpr int kEntryOverhead = 4;

// Keys.
constexpr int kMaxKeyLength = 239;         // the sorter's limit, less one byte
constexpr int kNumberKeyLength = 12;
constexpr int kDateKeyLength = 8;
constexpr int kNumberDigitBytes = 10;
constexpr int kMaxDigits = 15;
constexpr int kExponentBias = 52;
constexpr uint8_t kNegativeFlag = 0x80;
constexpr uint8_t kDigitCountOne = 1;      // byte 1 is 4 x digits + 1
// Comparable form of a number: a sign marker, the exponent byte, the digit bytes.
constexpr uint8_t kMarkerNegative = 1;
constexpr uint8_t kMarkerNonNegative = 2;
constexpr uint8_t kMarkerHigh = 3;         // the high sentinel of number branch blocks
constexpr double kBlankDate = 1.0E+100;
constexpr double kHighDate = 1.7E+308;

constexpr int EntrySize(int keyLength) { return (keyLength + kEntryOverhead + 3) / 4 * 4; }
constexpr int MaxEntries(int blockSize, int entrySize) { return (blockSize - 8) / entrySize - 1; }

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

// Number keys. The stored form is 12 bytes of binary-coded decimal: the decimal exponent
// plus 52 (the value being 0.d1d2d3... x 10^exponent), then 4 x the digits stored + 1
// (plus 80h when negative), then the digits two to a byte, high nibble first, rounded to
// 15 significant digits. The comparable form orders by unsigned bytes: a sign marker,
// then the exponent and the digits, inverted bit by bit for negative values; zero is
// the marker alone, below every positive value.
std::string ComparableFromNumber(double value);
void StoredFromComparable(const uint8_t* comparable, size_t length, uint8_t* stored);
std::string ComparableFromStored(const uint8_t* stored);
// The value of a comparable form (for showing keys; exact to 15 digits).
double NumberFromComparable(const uint8_t* comparable, size_t length);

}  // namespace mdx
