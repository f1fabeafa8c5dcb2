#pragma once
// The sorter's in-memory stage: encoded byte strings collected in a fixed budget of node
// pages (40,960 bytes each, 32 by default) and handed out in ascending unsigned byte
// order when the budget is used up or the adding ends. Each string is kept once with its
// length and run type in an arena, and a 16-byte slot per string holds its first eight
// bytes (most significant first, zero-padded), its arena offset and its length; the slots
// fill the budget from its far end, so arena and slots together never exceed it. Sorting
// distributes the slots in place by their leading bytes one at a time, then compares the
// eight leading bytes as one number and only strings that share them byte by byte, which
// orders by unsigned bytes and then by length (a proper prefix first).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

class TgsSortBuffer {
public:
    static constexpr size_t kNodePageBytes = 40960;

    explicit TgsSortBuffer(size_t maxPages);

    // Whether a string of `length` bytes fits in what is left.
    bool Fits(size_t length) const;
    // Stores a string (1 to 65,535 bytes); `Fits` must have said so.
    void Insert(const uint8_t* bytes, size_t length, uint8_t type);
    bool Empty() const { return count_ == 0; }
    // Hands every stored string to `emit` in ascending order; an exact duplicate of the
    // string before it is handed out once.
    void Walk(const std::function<void(const uint8_t*, size_t, uint8_t)>& emit);
    // Forgets every string; the memory stays for reuse.
    void Reset();

    // The node pages the strings held so far occupy.
    size_t PagesInUse() const;
    size_t Count() const { return count_; }

private:
    struct Slot {
        uint64_t head;    // the first eight bytes, big-endian, zero-padded
        uint32_t offset;  // of the string's record in the arena
        uint32_t length;  // of the string
    };
    static constexpr size_t kRecordHead = 3;  // length (2 bytes) and run type

    size_t budget_;
    std::unique_ptr<Slot[]> slots_;  // the whole budget; the arena is its bytes from the front
    uint8_t* memory_;
    size_t fill_ = 0;   // arena bytes used from the front
    size_t count_ = 0;  // slots used from the back
    Slot* Slots() const;
    // Whether a's string comes before b's.
    static bool Before(const Slot& a, const Slot& b, const uint8_t* arena);
    static void SortSlots(Slot* first, Slot* last, int byte, const uint8_t* arena);
};
