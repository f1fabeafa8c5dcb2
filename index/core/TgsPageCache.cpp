#include "index/core/TgsPageCache.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <iterator>
#include <map>
#include <mutex>

TgsPageCache::TgsPageCache(size_t maxLines) : maxLines_(maxLines < 1 ? 1 : maxLines) {}

namespace {
std::mutex registryLock;
std::map<std::string, std::weak_ptr<TgsPageCache>>& Registry() {
    static std::map<std::string, std::weak_ptr<TgsPageCache>> registry;
    return registry;
}
}  // namespace

std::shared_ptr<TgsPageCache> TgsPageCache::ForFile(const std::string& identity) {
    std::lock_guard<std::mutex> guard(registryLock);
    auto& registry = Registry();
    for (auto it = registry.begin(); it != registry.end();) it = it->second.expired() ? registry.erase(it) : std::next(it);
    if (auto held = registry[identity].lock()) return held;
    auto made = std::make_shared<TgsPageCache>();
    registry[identity] = made;
    return made;
}

void TgsPageCache::Drop(size_t slot) {
    Line& line = lines_[slot];
    if (line.number < 0) return;
    where_[static_cast<size_t>(line.number)] = kNotHeld;
    line.number = -1;
    --held_;
}

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
        if (line.number >= 0 && line.used) {
            line.used = false;
            continue;
        }
        Drop(at);
        return at;
    }
}

TgsPageCache::Line& TgsPageCache::Load(int64_t number, const Reader& read) {
    assert(number >= 0 && number < kIndexedLines);
    const size_t n = static_cast<size_t>(number);
    if (n < where_.size() && where_[n] != kNotHeld) {
        Line& line = lines_[where_[n] - 1];
        line.used = true;
        return line;
    }
    const size_t at = Victim();
    Line& line = lines_[at];
    const int32_t got = read(number * kLineBytes, line.bytes.get(), static_cast<int32_t>(kLineBytes));
    line.valid = std::clamp<int32_t>(got, 0, static_cast<int32_t>(kLineBytes));
    line.number = number;
    line.used = true;
    if (n >= where_.size())
        where_.resize(std::min(std::max(n + 1, where_.size() * 2), static_cast<size_t>(kIndexedLines)), kNotHeld);
    where_[n] = static_cast<uint32_t>(at + 1);
    ++held_;
    return line;
}

bool TgsPageCache::Read(int64_t position, void* buffer, int32_t size, const Reader& read) {
    if (position < 0 || size < 0) return false;
    if (position + size > kIndexedLines * kLineBytes) return read(position, buffer, size) == size;
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
            Drop(where_[static_cast<size_t>(number)] - 1);
            return false;
        }
        std::memcpy(out, line.bytes.get() + offset, static_cast<size_t>(take));
        out += take;
        at += take;
        left -= take;
    }
    return true;
}

const uint8_t* TgsPageCache::View(int64_t position, int32_t size, const Reader& read) {
    if (position < 0 || size <= 0 || position + size > kIndexedLines * kLineBytes) return nullptr;
    const int64_t number = position / kLineBytes;
    const int64_t offset = position % kLineBytes;
    if (offset + size > kLineBytes) return nullptr;
    const Line& line = Load(number, read);
    if (offset + size > line.valid) {
        Drop(where_[static_cast<size_t>(number)] - 1);
        return nullptr;
    }
    return line.bytes.get() + offset;
}

void TgsPageCache::Forget(int64_t position, int64_t size) {
    ++changes_;
    if (size <= 0 || held_ == 0 || position < 0) return;
    const int64_t first = position / kLineBytes;
    const int64_t last = std::min<int64_t>((position + size - 1) / kLineBytes, static_cast<int64_t>(where_.size()) - 1);
    for (int64_t n = first; n <= last; ++n)
        if (where_[static_cast<size_t>(n)] != kNotHeld) Drop(where_[static_cast<size_t>(n)] - 1);
}

void TgsPageCache::Wrote(int64_t position, const void* buffer, int32_t size) {
    ++changes_;
    if (size <= 0 || held_ == 0 || position < 0) return;
    const auto* in = static_cast<const uint8_t*>(buffer);
    const int64_t end = position + size;
    const int64_t last = std::min<int64_t>((end - 1) / kLineBytes, static_cast<int64_t>(where_.size()) - 1);
    for (int64_t n = position / kLineBytes; n <= last; ++n) {
        const uint32_t slot = where_[static_cast<size_t>(n)];
        if (slot == kNotHeld) continue;
        Line& line = lines_[slot - 1];
        const int64_t lineStart = n * kLineBytes;
        const int64_t from = std::max(position, lineStart) - lineStart;
        const int64_t to = std::min(end, lineStart + kLineBytes) - lineStart;
        if (from > line.valid) {
            // A gap the line does not know: read it afresh when it is needed.
            Drop(slot - 1);
            continue;
        }
        std::memcpy(line.bytes.get() + from, in + (lineStart + from - position), static_cast<size_t>(to - from));
        line.valid = std::max<int32_t>(line.valid, static_cast<int32_t>(to));
    }
}

void TgsPageCache::Clear() {
    ++changes_;
    for (size_t i = 0; i < lines_.size(); ++i) Drop(i);
}
