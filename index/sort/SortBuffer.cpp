#include "index/sort/SortBuffer.h"

#include <algorithm>
#include <cassert>
#include <cstring>

TgsSortBuffer::TgsSortBuffer(size_t maxPages)
    : budget_((maxPages < 1 ? 1 : maxPages) * kNodePageBytes),
      slots_(std::make_unique<Slot[]>(budget_ / sizeof(Slot))),
      memory_(reinterpret_cast<uint8_t*>(slots_.get())) {
    static_assert(kNodePageBytes % sizeof(Slot) == 0, "the budget holds whole slots");
}

// The slots grow downwards from the end of the budget: slot i is the i-th from the end.
TgsSortBuffer::Slot* TgsSortBuffer::Slots() const {
    return slots_.get() + budget_ / sizeof(Slot) - count_;
}

bool TgsSortBuffer::Fits(size_t length) const {
    return fill_ + kRecordHead + length + (count_ + 1) * sizeof(Slot) <= budget_;
}

void TgsSortBuffer::Insert(const uint8_t* bytes, size_t length, uint8_t type) {
    assert(length >= 1 && length <= 0xFFFF && Fits(length));
    uint8_t* record = memory_ + fill_;
    record[0] = static_cast<uint8_t>(length);
    record[1] = static_cast<uint8_t>(length >> 8);
    record[2] = type;
    std::memcpy(record + kRecordHead, bytes, length);
    uint64_t head = 0;
    for (size_t i = 0; i < 8; ++i) head = (head << 8) | (i < length ? bytes[i] : 0);
    ++count_;
    Slot* slot = Slots();
    slot->head = head;
    slot->offset = static_cast<uint32_t>(fill_);
    slot->length = static_cast<uint32_t>(length);
    fill_ += kRecordHead + length;
}

void TgsSortBuffer::Walk(const std::function<void(const uint8_t*, size_t, uint8_t)>& emit) {
    Slot* first = Slots();
    Slot* last = first + count_;
    const uint8_t* arena = memory_;
    auto before = [&](const Slot& a, const Slot& b) {
        if (a.head != b.head) return a.head < b.head;
        const size_t la = a.length, lb = b.length;
        const int c = std::memcmp(arena + a.offset + kRecordHead, arena + b.offset + kRecordHead, std::min(la, lb));
        return c != 0 ? c < 0 : la < lb;
    };
    std::sort(first, last, before);
    const Slot* previous = nullptr;
    for (Slot* s = first; s != last; ++s) {
        if (previous && !before(*previous, *s)) continue;  // the same string again
        const uint8_t* record = arena + s->offset;
        emit(record + kRecordHead, s->length, record[2]);
        previous = s;
    }
}

void TgsSortBuffer::Reset() {
    fill_ = 0;
    count_ = 0;
}

size_t TgsSortBuffer::PagesInUse() const {
    const size_t used = fill_ + count_ * sizeof(Slot);
    return (used + kNodePageBytes - 1) / kNodePageBytes;
}
