#pragma once
// The sorter's in-memory character trie. Nodes are 10 bytes, handed out from node pages
// of 40,960 bytes: the next sibling (4 bytes), the first child or up to four inline
// trailing bytes of a key (4 bytes), a flag byte (count of inline bytes in bits 0-2, bit 3
// set when a key ends in this node, the key's run type in the upper four bits) and the
// node's own byte. Siblings are kept in ascending byte order, so walking the trie gives
// the keys in order. The byte strings stored must be prefix-free (see SortKeyCodec).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TgsSortTrie {
public:
    static constexpr size_t kNodeBytes = 10;
    static constexpr size_t kNodePageBytes = 40960;
    static constexpr size_t kNodesPerPage = kNodePageBytes / kNodeBytes;
    static constexpr size_t kMaxInline = 4;

    explicit TgsSortTrie(size_t maxPages);

    // Whether a string of `length` bytes surely fits in the nodes left.
    bool Fits(size_t length) const;
    // Stores a string; an exact duplicate is stored once.
    void Insert(const uint8_t* bytes, size_t length, uint8_t type);
    bool Empty() const { return rootChild_ == 0; }
    // Hands every stored string to `emit` in ascending byte order.
    void Walk(const std::function<void(const std::string&, uint8_t)>& emit) const;
    // Forgets every string; the node pages stay for reuse.
    void Reset();

    size_t PagesInUse() const { return pages_.size(); }
    size_t NodesInUse() const { return used_; }

private:
    using Ref = uint32_t;  // node index + 1; 0 is none
    static constexpr uint8_t kCountMask = 0x07;
    static constexpr uint8_t kEndsHere = 0x08;

    uint8_t* Node(Ref r) const;
    Ref Allocate();
    // A chain of nodes holding `bytes`, the last keeping up to four inline bytes.
    Ref MakeChain(const uint8_t* bytes, size_t length, uint8_t type);

    static uint32_t Get32(const uint8_t* p);
    static void Put32(uint8_t* p, uint32_t v);

    size_t maxPages_;
    std::vector<std::unique_ptr<uint8_t[]>> pages_;
    size_t used_ = 0;
    Ref rootChild_ = 0;
};
