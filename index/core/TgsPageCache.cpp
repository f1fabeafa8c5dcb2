#include "index/core/TgsPageCache.h"

#include <algorithm>
#include <cassert>
#include <cstring>

TgsPageCache::TgsPageCache(size_t maxLines) : maxLines_(maxLines < 1 ? 1 : maxLines) {}

size_t TgsPageCache::Victim() {
    if (lines_.size() < maxLines_) {
        lines_.emplace_back();
        lines_.back().bytes = std::make_unique<uint8_t[]>(static_cast<size_t>(kLineBytes));
        return lines_.size() - 1;
    }
    for (;;) {
        Line& line = lines_[hand_];
        const size_t at = hand_;
        hand_ = (hand_ + 1) % lines_.size();
        if (line.number < 0) return at;
        if (line.used) {
            line.used = false;
            continue;
        }
        index_.erase(line.number);
        line.number = -1;
        return at;
    }
}

TgsPageCache::Line& TgsPageCache::Load(int64_t number, const Reader& read) {
    auto found = index_.find(number);
    if (found != index_.end()) {
        Line& line = lines_[found->second];
        line.used = true;
        return line;
    }
    const size_t at = Victim();
    Line& line = lines_[at];
    const int32_t got = read(number * kLineBytes, line.bytes.get(), static_cast<int32_t>(kLineBytes));
    line.valid = std::clamp<int32_t>(got, 0, static_cast<int32_t>(kLineBytes));
    line.number = number;
    line.used = true;
    index_[number] = at;
    return line;
}

bool TgsPageCache::Read(int64_t position, void* buffer, int32_t size, const Reader& read) {
    if (position < 0 || size < 0) return false;
    auto* out = static_cast<uint8_t*>(buffer);
    int64_t at = position;
    int64_t left = size;
    while (left > 0) {
        const int64_t number = at / kLineBytes;
        const int64_t offset = at % kLineBytes;
        const int64_t take = std::min(left, kLineBytes - offset);
        const Line& line = Load(number, read);
        if (offset + take > line.valid) {
            // The file ends inside this line: a later read may find it grown.
            const size_t slot = index_[number];
            index_.erase(number);
            lines_[slot].number = -1;
            return false;
        }
        std::memcpy(out, line.bytes.get() + offset, static_cast<size_t>(take));
        out += take;
        at += take;
        left -= take;
    }
    return true;
}

void TgsPageCache::Forget(int64_t position, int64_t size) {
    if (size <= 0 || index_.empty()) return;
    const int64_t first = position / kLineBytes;
    const int64_t last = (position + size - 1) / kLineBytes;
    for (int64_t n = first; n <= last; ++n) {
        auto found = index_.find(n);
        if (found == index_.end()) continue;
        lines_[found->second].number = -1;
        index_.erase(found);
    }
}

void TgsPageCache::Clear() {
    index_.clear();
    for (Line& line : lines_) line.number = -1;
}
