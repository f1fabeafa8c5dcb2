#include "engine/Memo4.h"

#include <cstring>

#include "engine/platform/Assert.h"

namespace {
constexpr int32_t kBlockHeaderSize = 8;
std::string Num(int64_t v) { return std::to_string(v); }
}  // namespace

GSobjMemo4::GSobjMemo4(GSO_DiskFile* owner, const std::string& memoPath, uint8_t version,
                       bool readWrite, bool shared)
    : GSobjMemo(owner, memoPath, version, readWrite, shared) {
    padAllocation_ = true;
}

void GSobjMemo4::MemoReadFileHeader() {
    uint8_t h[32] = {};
    const int32_t got = ReadSome(0, h, sizeof h);
    if (got < 24) FormatError("the file header is cut off (" + Num(got) + " bytes)");
    const uint32_t size = gsBytes::Get32LE(h + 20);
    if (size < static_cast<uint32_t>(kMinBlockSize) || size > static_cast<uint32_t>(kMaxBlockSize)) {
        FormatError("the block size " + Num(size) + " is not usable");
    }
    blockSize_ = static_cast<int32_t>(size);
    std::memcpy(header_, h, sizeof h);
    if (IsReadWrite() && HandleWritable()) {
        const int64_t fileSize = FileSize();
        if (fileSize < blockSize_) {
            std::string zeros(static_cast<size_t>(blockSize_ - fileSize), '\0');
            WriteAt(fileSize, zeros.data(), static_cast<int32_t>(zeros.size()));
        }
    }
}

int32_t GSobjMemo4::MemoHeaderSize() const { return kBlockHeaderSize; }

int32_t GSobjMemo4::MemoEndMarker(uint8_t*, int32_t) { return 0; }

int32_t GSobjMemo4::MemoHeaderLength() {
    if (header_[0] != 0xFF || header_[1] != 0xFF) {
        FormatError("block " + Num(headerBlock_) + " does not start a memo (no FF FF)");
    }
    const uint32_t word = gsBytes::Get32LE(header_ + 4);
    if (word < static_cast<uint32_t>(kBlockHeaderSize)) {
        FormatError("block " + Num(headerBlock_) + " gives the length " + Num(word) +
                    ", less than its own header");
    }
    if (word - kBlockHeaderSize > 0x7FFFFFFFu) {
        FormatError("block " + Num(headerBlock_) + " gives the absurd length " + Num(word));
    }
    return static_cast<int32_t>(word - kBlockHeaderSize);
}

int64_t GSobjMemo4::ChainEnd(int64_t& alsoEnd) {
    const int64_t size = FileSize();
    alsoEnd = size / blockSize_;
    const int64_t end = (size + blockSize_ - 1) / blockSize_;
    if (end == 0) FormatError("the file is empty");
    return end;
}

int64_t GSobjMemo4::ReadChainHead() {
    uint8_t word[4] = {};
    if (ReadSome(0, word, 4) < 4) FormatError("the file header is cut off");
    return gsBytes::Get32LE(word);
}

int64_t GSobjMemo4::ReadNode(int64_t current, int64_t steps, int64_t end, uint8_t* node) {
    if (current < 1 || current > end) {
        FormatError("the free chain points to block " + Num(current) + ", outside the file (" +
                    Num(end) + " blocks)");
    }
    if (steps >= end) FormatError("the free chain runs in a circle");
    if (ReadSome(current * blockSize_, node, 8) < 8) {
        FormatError("the free run at block " + Num(current) + " is cut off by the end of the file");
    }
    const int64_t run = gsBytes::Get32LE(node + 4);
    if (run < 1 || current + run > end) {
        FormatError("the free run at block " + Num(current) + " of " + Num(run) +
                    " blocks does not fit the file (" + Num(end) + " blocks)");
    }
    return run;
}

void GSobjMemo4::MemoPlace(int32_t count) {
    const int64_t needed = (static_cast<int64_t>(count) + kBlockHeaderSize) / blockSize_ + 1;
    SetBlockCount(needed);
    int64_t alsoEnd = 0;
    const int64_t end = ChainEnd(alsoEnd);
    if (currentBlock_ > 0) {
        // Whatever would make the placement fail must be found before the old memo is
        // given up: a damaged chain, a damaged old memo, no room below 2 GiB.
        bool fits = false;
        int64_t current = ReadChainHead();
        if (current == 0) current = end;
        for (int64_t steps = 0; current != end && current != alsoEnd; ++steps) {
            uint8_t node[8] = {};
            fits = ReadNode(current, steps, end, node) >= needed || fits;
            current = gsBytes::Get32LE(node);
        }
        const int64_t oldLength = MemoLength(currentBlock_);
        if (!fits && (oldLength + kBlockHeaderSize + blockSize_ - 1) / blockSize_ < needed) {
            CheckRoom(end, needed);
        }
        MemoFree(currentBlock_);
    }
    int64_t current = ReadChainHead();
    if (current == 0) current = end;  // a header that keeps no chain at all
    int64_t previous = 0;
    int64_t place = -1;
    int64_t link = 0;
    for (int64_t steps = 0; current != end && current != alsoEnd; ++steps) {
        uint8_t node[8] = {};
        const int64_t run = ReadNode(current, steps, end, node);
        const int64_t next = gsBytes::Get32LE(node);
        if (run >= needed) {
            place = current;
            if (run == needed) {
                link = next;
            } else {
                link = current + needed;
                gsBytes::Put32LE(node + 4, static_cast<uint32_t>(run - needed));
                WriteAt(link * blockSize_, node, sizeof node);
            }
            break;
        }
        previous = current;
        current = next;
    }
    if (place < 0) {
        place = end;
        CheckRoom(end, needed);
        link = end + needed;
    }
    uint8_t word[4];
    gsBytes::Put32LE(word, static_cast<uint32_t>(link));
    WriteAt(previous * blockSize_, word, sizeof word);

    // The memo goes to a block after the file header, never into the chain it leaves.
    XB_ASSERT(place >= 1 && place != link);
    currentBlock_ = static_cast<int32_t>(place);
    std::memset(header_, 0, sizeof header_);
    header_[0] = 0xFF;
    header_[1] = 0xFF;
    header_[2] = kBlockHeaderSize;
    gsBytes::Put32LE(header_ + 4, static_cast<uint32_t>(count) + kBlockHeaderSize);
}

void GSobjMemo4::MemoFree(int32_t block) {
    if (block == 0) return;
    LockGuard lock(*this);
    int64_t alsoEnd = 0;
    const int64_t end = ChainEnd(alsoEnd);
    if (ReadBlockHeader(block) < kBlockHeaderSize) {
        FormatError("the header of block " + Num(block) + " is cut off by the end of the file");
    }
    const uint8_t* head = header_;
    const int64_t at = static_cast<int64_t>(block) * blockSize_;
    if (head[0] != 0xFF || head[1] != 0xFF) {
        FormatError("block " + Num(block) + " to be freed is not a memo in use (already free or damaged)");
    }
    const int64_t word = gsBytes::Get32LE(head + 4);
    const int64_t run = (word + blockSize_ - 1) / blockSize_;
    if (word < kBlockHeaderSize || block + run > end) {
        FormatError("the memo at block " + Num(block) + " to be freed gives the length " + Num(word) +
                    ", which does not fit the file");
    }
    int64_t chain = ReadChainHead();
    if (chain == 0) chain = end;
    uint8_t node[8];
    gsBytes::Put32LE(node, static_cast<uint32_t>(chain));
    gsBytes::Put32LE(node + 4, static_cast<uint32_t>(run));
    WriteAt(at, node, sizeof node);
    uint8_t fileHead[8] = {};
    gsBytes::Put32LE(fileHead, static_cast<uint32_t>(block));
    WriteAt(0, fileHead, sizeof fileHead);
}
