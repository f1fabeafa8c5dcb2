#include "index/core/TgsHugeSet.h"

#include <cstring>

void TgsHugeSet::SetBit(int32_t n, TgsBitOperation operation) {
    if (n < 0) return;
    const size_t block = static_cast<size_t>(n / kBitsPerBlock);
    while (blocks_.size() <= block) {
        blocks_.push_back(std::make_unique<uint8_t[]>(kBlockBytes));
        std::memset(blocks_.back().get(), 0, kBlockBytes);
    }
    uint8_t& byte = blocks_[block][static_cast<size_t>((n / 8) % static_cast<int32_t>(kBlockBytes))];
    const uint8_t mask = static_cast<uint8_t>(1u << (n % 8));
    switch (operation) {
        case TgsBitOperation::Clear: byte &= static_cast<uint8_t>(~mask); break;
        case TgsBitOperation::Set: byte |= mask; break;
        case TgsBitOperation::Toggle: byte ^= mask; break;
    }
    if (n > highest_) highest_ = n;
}

bool TgsHugeSet::TestBit(int32_t n) const {
    if (n < 0 || n > highest_) return false;
    const size_t block = static_cast<size_t>(n / kBitsPerBlock);
    if (block >= blocks_.size()) return false;
    return (blocks_[block][static_cast<size_t>((n / 8) % static_cast<int32_t>(kBlockBytes))] >> (n % 8)) & 1;
}

void TgsHugeSet::ClearAll() {
    for (auto& b : blocks_) std::memset(b.get(), 0, kBlockBytes);
    highest_ = -1;
}
