#include "index/sort/TgsPageCollection.h"

#include <cassert>
#include <cstring>

namespace {
uint64_t LeadingBytes(const uint8_t* key, size_t length) {
    uint64_t head = 0;
    for (size_t i = 0; i < 8; ++i) head = (head << 8) | (i < length ? key[i] : 0u);
    return head;
}
}  // namespace

void TgsPageCollection::Append(const uint8_t* bytes, size_t length, uint8_t type) {
    assert(type != 0 && length <= 0xFFFF);
    size_t shared = 0;
    size_t limit = length < last_.size() ? length : last_.size();
    while (shared < limit && bytes[shared] == static_cast<uint8_t>(last_[shared])) ++shared;
    size_t fresh = length - shared;
    if (fill_ + kEntryHead + fresh > kPageBytes) {
        if (!pages_.empty() && fill_ < kPageBytes) pages_.back()[fill_] = 0;
        pages_.push_back(std::make_unique<uint8_t[]>(kPageBytes));
        fill_ = 0;
        // A page starts afresh so that each page can be read on its own.
        shared = 0;
        fresh = length;
    }
    uint8_t* p = pages_.back().get() + fill_;
    p[0] = type;
    p[1] = static_cast<uint8_t>(length);
    p[2] = static_cast<uint8_t>(length >> 8);
    p[3] = static_cast<uint8_t>(fresh);
    p[4] = static_cast<uint8_t>(fresh >> 8);
    std::memcpy(p + kEntryHead, bytes + shared, fresh);
    fill_ += kEntryHead + fresh;
    last_.assign(reinterpret_cast<const char*>(bytes), length);
}

void TgsPageCollection::Rewind() {
    if (!pages_.empty() && fill_ < kPageBytes) pages_.back()[fill_] = 0;
    page_ = 0;
    position_ = pages_.empty() ? -1 : 0;
    keyLength_ = 0;
    type_ = 0;
}

bool TgsPageCollection::Next() {
    while (position_ >= 0) {
        size_t pos = static_cast<size_t>(position_);
        const uint8_t* page = pages_[page_].get();
        if (pos + kEntryHead > kPageBytes || page[pos] == 0) {
            if (++page_ >= pages_.size()) {
                position_ = -1;
                keyLength_ = 0;
                return false;
            }
            position_ = 0;
            keyLength_ = 0;
            continue;
        }
        const uint8_t* p = page + pos;
        // Runs are read a few entries at a time each, in turn: ask for the bytes ahead.
        if (pos + kPrefetchAhead < kPageBytes) __builtin_prefetch(p + kPrefetchAhead);
        size_t total = p[1] | static_cast<size_t>(p[2]) << 8;
        size_t fresh = p[3] | static_cast<size_t>(p[4]) << 8;
        const size_t kept = total - fresh;
        assert(fresh <= total && kept <= keyLength_ && pos + kEntryHead + fresh <= kPageBytes);
        if (key_.size() < total + kCopyChunk) key_.resize(total + kCopyChunk);
        const uint8_t* from = p + kEntryHead;
        uint8_t* to = key_.data() + kept;
        if (pos + kEntryHead + fresh + kCopyChunk <= kPageBytes) {
            // Whole chunks, past the new bytes into the page and the key's spare room.
            for (size_t i = 0; i < fresh; i += kCopyChunk) std::memcpy(to + i, from + i, kCopyChunk);
        } else {
            std::memcpy(to, from, fresh);
        }
        keyLength_ = total;
        type_ = p[0];
        if (kept < sizeof head_) head_ = LeadingBytes(key_.data(), keyLength_);
        position_ = static_cast<int64_t>(pos + kEntryHead + fresh);
        return true;
    }
    return false;
}
