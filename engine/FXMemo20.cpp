#include "engine/FXMemo20.h"

#include <cstring>

#include "engine/platform/Paths.h"

namespace {
constexpr int32_t kBlockHeaderSize = 8;
constexpr uint32_t kTypePicture = 0;
constexpr uint32_t kTypeText = 1;
std::string Num(int64_t v) { return std::to_string(v); }
}  // namespace

GSobjFXMemo20::GSobjFXMemo20(GSO_DiskFile* owner, const std::string& memoPath, uint8_t version,
                             bool readWrite, bool shared)
    : GSobjMemo(owner, memoPath, version, readWrite, shared) {}

void GSobjFXMemo20::MemoReadFileHeader() {
    uint8_t h[32] = {};
    const int32_t got = ReadSome(0, h, sizeof h);
    if (got < 8) FormatError("the file header is cut off (" + Num(got) + " bytes)");
    const uint16_t size = gsBytes::Get16BE(h + 6);
    if (size == 0) FormatError("the block size is 0");
    blockSize_ = size;
    firstBlock_ = (kFileHeaderSize + size - 1) / size;
    std::memcpy(header_, h, sizeof h);
}

int32_t GSobjFXMemo20::MemoHeaderSize() const { return kBlockHeaderSize; }

int32_t GSobjFXMemo20::MemoEndMarker(uint8_t*, int32_t) { return 0; }

int32_t GSobjFXMemo20::MemoHeaderLength() {
    const uint32_t type = gsBytes::Get32BE(header_);
    if (type != kTypeText && type != kTypePicture) {
        FormatError("block " + Num(headerBlock_) + " holds a block of type " + Num(type) +
                    ", not a text or picture memo");
    }
    const uint32_t length = gsBytes::Get32BE(header_ + 4);
    if (length > 0x7FFFFFFFu) {
        FormatError("block " + Num(headerBlock_) + " gives the absurd length " + Num(length));
    }
    return static_cast<int32_t>(length);
}

void GSobjFXMemo20::MemoPlace(int32_t count) {
    const int64_t needed = (static_cast<int64_t>(count) + kBlockHeaderSize) / blockSize_ + 1;
    SetBlockCount(needed);
    bool inPlace = false;
    if (currentBlock_ > 0) {
        const int64_t length = MemoLength(currentBlock_);
        const int64_t old = (kBlockHeaderSize + length + blockSize_ - 1) / blockSize_;
        inPlace = old >= needed;
    }
    if (!inPlace) {
        uint8_t word[4] = {};
        if (ReadSome(0, word, 4) < 4) FormatError("the file header is cut off");
        const int64_t start = SafeNextFree(gsBytes::Get32BE(word), firstBlock_);
        CheckRoom(start, needed);
        gsBytes::Put32BE(word, static_cast<uint32_t>(start + needed));
        WriteAt(0, word, 4);
        currentBlock_ = static_cast<int32_t>(start);
    }
    std::memset(header_, 0, sizeof header_);
    gsBytes::Put32BE(header_, kTypeText);
    gsBytes::Put32BE(header_ + 4, static_cast<uint32_t>(count));
}

void GSobjFXMemo20::MemoRename(const std::string& newTablePath) {
    std::string table = newTablePath;
    while (!table.empty() && table.back() == ' ') table.pop_back();
    while (!table.empty() && table.front() == ' ') table.erase(table.begin());
    Rename(platform::ChangeExtension(table, platform::ExtensionPart(RealPath())));
}
