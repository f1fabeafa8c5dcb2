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

bool TgsSortBuffer::Before(const Slot& a, const Slot& b, const uint8_t* arena) {
    if (a.head != b.head) return a.head < b.head;
    const size_t la = a.length, lb = b.length;
    const int c = std::memcmp(arena + a.offset + kRecordHead, arena + b.offset + kRecordHead, std::min(la, lb));
    return c != 0 ? c < 0 : la < lb;
}

namespace {
// Groups this small are sorted by comparing; larger ones are first distributed by one byte
// of their heads.
constexpr ptrdiff_t kDistributeAbove = 48;
constexpr int kHeadBytes = 8;
constexpr int kByteValues = 256;
constexpr ptrdiff_t kPrefetchAhead = 8;
}  // namespace

// Distributes the slots in place by the head's byte `byte` (most significant first), then
// orders each group of one byte value by the next byte; slots whose whole heads agree, and
// small groups, are ordered by comparison.
void TgsSortBuffer::SortSlots(Slot* first, Slot* last, int byte, const uint8_t* arena) {
    auto before = [arena](const Slot& a, const Slot& b) { return Before(a, b, arena); };
    if (last - first <= kDistributeAbove || byte == kHeadBytes) {
        std::sort(first, last, before);
        return;
    }
    const int shift = 8 * (kHeadBytes - 1 - byte);
    auto digit = [shift](const Slot& s) { return static_cast<size_t>((s.head >> shift) & 0xFF); };
    size_t count[kByteValues] = {};
    for (const Slot* s = first; s != last; ++s) ++count[digit(*s)];
    if (count[digit(*first)] == static_cast<size_t>(last - first)) {
        SortSlots(first, last, byte + 1, arena);  // all share this byte
        return;
    }
    size_t start[kByteValues];
    size_t next[kByteValues];
    size_t sum = 0;
    for (int v = 0; v < kByteValues; ++v) {
        start[v] = next[v] = sum;
        sum += count[v];
    }
    for (size_t v = 0; v < static_cast<size_t>(kByteValues); ++v) {
        const size_t end = start[v] + count[v];
        while (next[v] < end) {
            // Carry the slot found here to its group, and the one displaced there on, until
            // one belongs here.
            Slot moving = first[next[v]];
            for (size_t d = digit(moving); d != v; d = digit(moving)) std::swap(moving, first[next[d]++]);
            first[next[v]++] = moving;
        }
    }
    for (int v = 0; v < kByteValues; ++v)
        if (count[v] > 1) SortSlots(first + start[v], first + start[v] + count[v], byte + 1, arena);
}

void TgsSortBuffer::Walk(const std::function<void(const uint8_t*, size_t, uint8_t)>& emit) {
    Slot* first = Slots();
    Slot* last = first + count_;
    const uint8_t* arena = memory_;
    SortSlots(first, last, 0, arena);
    const Slot* previous = nullptr;
    for (Slot* s = first; s != last; ++s) {
        // The strings are visited in sorted order, all over the arena: ask for one a few
        // slots ahead while this one is handed out.
        if (last - s > kPrefetchAhead) __builtin_prefetch(arena + s[kPrefetchAhead].offset);
        if (previous && !Before(*previous, *s, arena)) continue;  // the same string again
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
