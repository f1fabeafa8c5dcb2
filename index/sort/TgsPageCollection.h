#pragma once
// One sorted run of the sorter: entries written in ascending order into 16,384-byte
// pages, each entry front-compressed against the one before it. An entry is its run type
// (a type byte of 0 ends the page), its total length (2 bytes), the number of new bytes
// (2 bytes) and the new bytes; the first total - new bytes are those of the entry before.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TgsPageCollection {
public:
    static constexpr size_t kPageBytes = 16384;

    // Appends an entry; entries must come in ascending order.
    void Append(const uint8_t* bytes, size_t length, uint8_t type);
    void Append(const std::string& bytes, uint8_t type) {
        Append(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), type);
    }

    // Reading: Rewind, then Next until it gives false.
    void Rewind();
    bool Next();
    const uint8_t* CurrentKey() const { return key_.data(); }
    size_t CurrentLength() const { return keyLength_; }
    // The current entry's first eight bytes, most significant first, zero-padded: equal
    // heads leave the order to the bytes after them, unequal ones decide it.
    uint64_t CurrentHead() const { return head_; }
    uint8_t CurrentType() const { return type_; }
    bool Exhausted() const { return position_ < 0; }

    size_t PageCount() const { return pages_.size(); }

private:
    static constexpr size_t kEntryHead = 5;

    std::vector<std::unique_ptr<uint8_t[]>> pages_;
    size_t fill_ = kPageBytes;  // write position in the last page
    std::string last_;          // the last entry written

    // Entries are copied in whole chunks of this many bytes where the page allows.
    static constexpr size_t kCopyChunk = 16;
    static constexpr size_t kPrefetchAhead = 256;

    std::vector<uint8_t> key_;  // the current entry read, with room for a chunk's overrun
    size_t keyLength_ = 0;
    uint64_t head_ = 0;
    uint8_t type_ = 0;
    int64_t position_ = -1;  // read position in the current page, -1 when exhausted
    size_t page_ = 0;
};
