#include "index/sort/SortTrie.h"

#include <cassert>
#include <cstring>

namespace {
constexpr size_t kNextAt = 0;
constexpr size_t kChildAt = 4;
constexpr size_t kFlagAt = 8;
constexpr size_t kByteAt = 9;
}  // namespace

TgsSortTrie::TgsSortTrie(size_t maxPages) : maxPages_(maxPages < 1 ? 1 : maxPages) {}

uint32_t TgsSortTrie::Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void TgsSortTrie::Put32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

uint8_t* TgsSortTrie::Node(Ref r) const {
    assert(r != 0 && r <= used_);
    size_t i = r - 1;
    return pages_[i / kNodesPerPage].get() + (i % kNodesPerPage) * kNodeBytes;
}

bool TgsSortTrie::Fits(size_t length) const {
    // A string needs at most one node per byte plus one for splitting an inline tail.
    return used_ + length + 1 <= maxPages_ * kNodesPerPage;
}

TgsSortTrie::Ref TgsSortTrie::Allocate() {
    assert(used_ < maxPages_ * kNodesPerPage);
    if (used_ == pages_.size() * kNodesPerPage)
        pages_.push_back(std::make_unique<uint8_t[]>(kNodePageBytes));
    ++used_;
    std::memset(Node(static_cast<Ref>(used_)), 0, kNodeBytes);
    return static_cast<Ref>(used_);
}

TgsSortTrie::Ref TgsSortTrie::MakeChain(const uint8_t* bytes, size_t length, uint8_t type) {
    assert(length >= 1);
    Ref first = Allocate();
    Ref cur = first;
    size_t i = 0;
    for (;;) {
        uint8_t* n = Node(cur);
        n[kByteAt] = bytes[i];
        size_t rest = length - i - 1;
        if (rest <= kMaxInline) {
            std::memcpy(n + kChildAt, bytes + i + 1, rest);
            n[kFlagAt] = static_cast<uint8_t>(rest | kEndsHere | (type & 0xF0));
            return first;
        }
        Ref child = Allocate();
        Put32(Node(cur) + kChildAt, child);
        cur = child;
        ++i;
    }
}

void TgsSortTrie::Insert(const uint8_t* bytes, size_t length, uint8_t type) {
    assert(length >= 1 && Fits(length));
    Ref parent = 0;  // 0 stands for the root
    size_t d = 0;
    for (;;) {
        if (d == length) return;  // the string ends at a node that goes on: cannot happen
        Ref head = parent == 0 ? rootChild_ : Get32(Node(parent) + kChildAt);
        Ref prev = 0, cur = head;
        while (cur != 0 && Node(cur)[kByteAt] < bytes[d]) {
            prev = cur;
            cur = Get32(Node(cur) + kNextAt);
        }
        if (cur != 0 && Node(cur)[kByteAt] == bytes[d]) {
            uint8_t* n = Node(cur);
            if (n[kFlagAt] & kEndsHere) {
                size_t count = n[kFlagAt] & kCountMask;
                size_t rest = length - d - 1;
                if (rest == count && std::memcmp(n + kChildAt, bytes + d + 1, rest) == 0) return;
                if (count == 0) return;  // a prefix of a stored string: cannot happen
                uint8_t tail[kMaxInline];
                std::memcpy(tail, n + kChildAt, count);
                uint8_t oldType = n[kFlagAt] & 0xF0;
                Ref moved = MakeChain(tail, count, oldType);
                n = Node(cur);
                n[kFlagAt] = 0;
                Put32(n + kChildAt, moved);
            }
            parent = cur;
            ++d;
            continue;
        }
        Ref fresh = MakeChain(bytes + d, length - d, type);
        Put32(Node(fresh) + kNextAt, cur);
        if (prev != 0) {
            Put32(Node(prev) + kNextAt, fresh);
        } else if (parent == 0) {
            rootChild_ = fresh;
        } else {
            Put32(Node(parent) + kChildAt, fresh);
        }
        return;
    }
}

void TgsSortTrie::Walk(const std::function<void(const std::string&, uint8_t)>& emit) const {
    std::vector<Ref> stack;
    std::string prefix;
    Ref cur = rootChild_;
    for (;;) {
        if (cur != 0) {
            const uint8_t* n = Node(cur);
            prefix.resize(stack.size());
            prefix.push_back(static_cast<char>(n[kByteAt]));
            if (n[kFlagAt] & kEndsHere) {
                std::string whole = prefix;
                whole.append(reinterpret_cast<const char*>(n + kChildAt), n[kFlagAt] & kCountMask);
                emit(whole, n[kFlagAt] & 0xF0);
                cur = Get32(n + kNextAt);
            } else {
                stack.push_back(cur);
                cur = Get32(n + kChildAt);
            }
        } else {
            if (stack.empty()) break;
            cur = Get32(Node(stack.back()) + kNextAt);
            stack.pop_back();
        }
    }
}

void TgsSortTrie::Reset() {
    used_ = 0;
    rootChild_ = 0;
}
