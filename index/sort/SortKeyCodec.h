#pragma once
// The byte strings the sorter orders: a key turned into bytes whose unsigned order is the
// key's order, followed by the record number, and back again.
//
// Text and raw keys are escaped (00h -> 01h 01h, 01h -> 01h 02h) and closed by one 00h,
// so that no encoded key is a prefix of another and a shorter key sorts before every key
// it begins. Numbers are the eight bytes of the double, most significant first, with the
// sign bit set for non-negative values and every bit inverted for negative ones. Dates are
// the day number with its sign bit flipped, most significant byte first. The record
// number follows as four bytes, most significant first.

#include <cstdint>
#include <string>

#include "index/expr/TgsVariant.h"

namespace sortcodec {

// The type codes a sorted run stores with each entry.
constexpr uint8_t kTypeEnd = 0;
constexpr uint8_t kTypeBytes = 16;
constexpr uint8_t kTypeText = 32;
constexpr uint8_t kTypeNumber = 48;
constexpr uint8_t kTypeDate = 64;

constexpr size_t kRecordBytes = 4;

// The run type of a key, or kTypeEnd when the key's type cannot be sorted.
uint8_t TypeOf(const TgsVariant& key);

// The most bytes the encoding of a key of `keyLength` bytes (text or raw) takes with its
// record number; numbers and dates take fewer.
constexpr size_t MaxEncodedLength(size_t keyLength) { return 2 * keyLength + 1 + kRecordBytes; }

// Writes the encoding of `key` (of run type `type`) and of `record` to `out`, which holds
// MaxEncodedLength(key length) bytes at least; answers the bytes written.
size_t Encode(const TgsVariant& key, uint8_t type, int32_t record, uint8_t* out);

// Decodes an encoded string of run type `type` into the key and its record number.
// False when the bytes are not a valid encoding.
bool Decode(const uint8_t* bytes, size_t length, uint8_t type, TgsVariant& key, int32_t& record);

// The length of the key part (without the record number) of an encoded string.
inline size_t KeyPartLength(size_t encodedLength) {
    return encodedLength >= kRecordBytes ? encodedLength - kRecordBytes : 0;
}

}  // namespace sortcodec
