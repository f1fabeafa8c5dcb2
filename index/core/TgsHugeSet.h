#pragma once
// TgsHugeSet: a bit per record number, in 16,384-byte blocks added as higher bits are
// set. Bit n lives in block n / 131,072, byte (n / 8) % 16,384, least significant bit
// first.

#include <cstdint>
#include <memory>
#include <vector>

enum class TgsBitOperation : int { Clear = 0, Set = 1, Toggle = 2 };

class TgsHugeSet {
public:
    static constexpr size_t kBlockBytes = 16384;
    static constexpr int64_t kBitsPerBlock = static_cast<int64_t>(kBlockBytes) * 8;

    void SetBit(int32_t n, TgsBitOperation operation);
    bool TestBit(int32_t n) const;
    void ClearAll();
    int32_t Highest() const { return highest_; }
    size_t BlockCount() const { return blocks_.size(); }

private:
    std::vector<std::unique_ptr<uint8_t[]>> blocks_;
    int32_t highest_ = -1;
};
