#include "engine/Memo.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "engine/ErrorCodes.h"
#include "engine/platform/Assert.h"
#include "engine/platform/LastError.h"
#include "engine/platform/Paths.h"
#include "engine/platform/SystemCodes.h"

namespace {
constexpr int32_t kPiece = 32768;       // the largest single transfer
constexpr int32_t kDbt3Block = 512;
constexpr uint8_t kEndByte = 0x1A;
constexpr int kRangeError = 201;        // run-time error: a value outside its range
constexpr int kRunErrorSubcode = -1;    // reports a run-time error instead of an engine one
constexpr int64_t kMaxBlocksPerMemo = 65535;

std::string Num(int64_t v) { return std::to_string(v); }

std::string Trimmed(const std::string& s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return std::string();
    size_t e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}
}  // namespace

GSobjMemo::GSobjMemo(GSO_DiskFile* owner, const std::string& memoPath, uint8_t version,
                     bool readWrite, bool shared)
    : GSO_DiskFile(memoPath, readWrite, shared), owner_(owner), version_(version) {}

void GSobjMemo::ReportError(int code, int subcode, const std::string& detail) {
    if (owner_ != nullptr) owner_->ReportError(code, subcode, detail);
    GSO_DiskFile::ReportError(code, subcode, detail);
}

void GSobjMemo::FormatError(const std::string& what) {
    GSobjMemo::ReportError(gsErr::kMemoFormat, gsSub::kMemoFormat, RealPath() + ": " + what);
}

void GSobjMemo::OpenMemo() {
    if (!platform::FileExists(RealPath())) {
        platform::SetLastError(platform::kFileNotFound);
        ReportError(platform::kFileNotFound, gsSub::kMemoMissing, RealPath());
    }
    Open();
    blockSize_ = kDbt3Block;
    currentBlock_ = 0;
    blockCount_ = 0;
    try {
        MemoReadFileHeader();
    } catch (...) {
        Close();
        throw;
    }
}

int32_t GSobjMemo::ReadSome(int64_t offset, void* buffer, int32_t length) {
    if (length <= 0) return 0;
    // Nothing lies beyond the 2 GiB limit: a read there finds the end of the file.
    if (offset >= gsMaxFileOffset) return 0;
    length = static_cast<int32_t>(std::min<int64_t>(length, gsMaxFileOffset - offset));
    return ReadAt(offset, buffer, length);
}

int64_t GSobjMemo::BlocksInFile() {
    int64_t size = FileSize();
    return (size + blockSize_ - 1) / blockSize_;
}

int32_t GSobjMemo::ReadBlockHeader(int32_t block) {
    if (block < firstBlock_) {
        FormatError("block " + Num(block) + " is not a memo block (memo blocks start at " +
                    Num(firstBlock_) + ")");
    }
    XB_ASSERT(blockSize_ > 0);
    const int64_t offset = static_cast<int64_t>(block) * blockSize_;
    const int64_t size = FileSize();
    if (offset >= size) {
        FormatError("block " + Num(block) + " lies beyond the end of the file (" + Num(size) +
                    " bytes)");
    }
    std::memset(header_, 0, sizeof header_);
    headerBlock_ = block;
    return ReadSome(offset, header_, sizeof header_);
}

void GSobjMemo::CheckRoom(int64_t block, int64_t blocks) {
    if ((block + blocks) * blockSize_ > gsMaxFileOffset) {
        platform::SetLastError(platform::kFileTooLarge);
        ReportError(platform::kFileTooLarge, gsSub::kWrite, RealPath());
    }
}

void GSobjMemo::SetBlockCount(int64_t blocks) {
    if (blocks > kMaxBlocksPerMemo) {
        ReportError(kRangeError, kRunErrorSubcode,
                    RealPath() + ": a memo of " + Num(blocks) + " blocks is too large");
    }
    blockCount_ = static_cast<uint16_t>(blocks);
}

int64_t GSobjMemo::SafeNextFree(int64_t headerWord, int64_t firstBlock) {
    if (headerWord > gsMaxFileOffset / blockSize_) {
        FormatError("the next free block " + Num(headerWord) + " lies beyond the 2 GiB limit");
    }
    const int64_t inFile = BlocksInFile();
    // Ahead of the data by more than one memo can take: no writer leaves that gap, even
    // one stopped between the header and the text.
    if (headerWord > inFile + kMaxBlocksPerMemo) {
        FormatError("the next free block " + Num(headerWord) + " lies far beyond the end of the file (" +
                    Num(inFile) + " blocks)");
    }
    // A header that lags behind the data (a writer that stopped half-way, a damaged
    // header) must not make a new memo overwrite memos already in the file.
    const int64_t next = std::max({headerWord, firstBlock, inFile});
    XB_ASSERT(next >= firstBlock && next >= inFile);
    return next;
}

int32_t GSobjMemo::ScanLength(int32_t block) {
    // Whole blocks at a time: one block first (most memos are short), then up to the
    // largest transfer.
    const int64_t start = static_cast<int64_t>(block) * blockSize_;
    std::vector<uint8_t> buf(kPiece);
    int32_t want = kDbt3Block;
    int64_t length = 0;
    for (;;) {
        int32_t got = ReadSome(start + length, buf.data(), want);
        const void* hit = std::memchr(buf.data(), kEndByte, static_cast<size_t>(got));
        if (hit != nullptr) {
            return static_cast<int32_t>(length + (static_cast<const uint8_t*>(hit) - buf.data()));
        }
        length += got;
        if (got < want) break;  // the end of the file ends the memo too
        want = kPiece;
    }
    return static_cast<int32_t>(std::min<int64_t>(length, std::numeric_limits<int32_t>::max()));
}

int32_t GSobjMemo::MemoLength(int32_t block) {
    if (block == 0) return 0;
    const int32_t got = ReadBlockHeader(block);
    const int32_t h = MemoHeaderSize();
    if (h == 0) return ScanLength(block);
    if (got < h) FormatError("the header of block " + Num(block) + " is cut off by the end of the file");
    const int32_t length = MemoHeaderLength();
    const int64_t end = static_cast<int64_t>(block) * blockSize_ + h + length;
    const int64_t size = FileSize();
    if (end > size) {
        FormatError("the memo at block " + Num(block) + " claims " + Num(length) +
                    " bytes, past the end of the file (" + Num(size) + " bytes)");
    }
    return length;
}

void GSobjMemo::MemoRead(int32_t block, char* buffer, int32_t& count) {
    if (count <= 0 || buffer == nullptr) {
        count = 0;
        return;
    }
    if (block == 0) {
        count = 0;
        buffer[0] = 0;
        return;
    }
    const int32_t n = std::min(count, MemoLength(block));
    const int64_t at = static_cast<int64_t>(block) * blockSize_ + MemoHeaderSize();
    for (int32_t done = 0; done < n;) {
        const int32_t piece = std::min(kPiece, n - done);
        if (ReadSome(at + done, buffer + done, piece) < piece) {
            FormatError("the memo at block " + Num(block) + " ends before its length");
        }
        done += piece;
    }
    count = n;
}

std::string GSobjMemo::MemoText(int32_t block) {
    int32_t count = MemoLength(block);
    std::string text(static_cast<size_t>(count) + 1, '\0');
    MemoRead(block, text.data(), count);
    text.resize(static_cast<size_t>(count));
    return text;
}

int32_t GSobjMemo::MemoWrite(int32_t oldBlock, const char* text, int32_t count) {
    if (count < 0 || (count > 0 && text == nullptr)) {
        ReportError(kRangeError, kRunErrorSubcode, RealPath() + ": memo length " + Num(count));
    }
    if (count == 0 && oldBlock == 0) return 0;
    if (oldBlock < 0) FormatError("block number " + Num(oldBlock) + " is not valid");
    LockGuard lock(*this);
    currentBlock_ = oldBlock;
    MemoPlace(count);
    const int32_t h = MemoHeaderSize();
    // The memo starts at a memo block and fits the blocks placed for it.
    XB_ASSERT(currentBlock_ >= firstBlock_ && blockCount_ >= 1);
    XB_ASSERT(static_cast<int64_t>(h) + count <= static_cast<int64_t>(blockCount_) * blockSize_);
    const int64_t at = static_cast<int64_t>(currentBlock_) * blockSize_;
    if (h > 0) WriteAt(at, header_, h);
    for (int32_t done = 0; done < count;) {
        const int32_t piece = std::min(kPiece, count - done);
        WriteAt(at + h + done, text + done, piece);
        done += piece;
    }
    WritePadding(at, count);
    return currentBlock_;
}

void GSobjMemo::WritePadding(int64_t start, int32_t count) {
    const int64_t used = MemoHeaderSize() + static_cast<int64_t>(count);
    const int64_t e = used % blockSize_;
    std::vector<uint8_t> pad(static_cast<size_t>(blockSize_), 0);
    int64_t written = start + used;
    if (e > 0) {
        const int32_t rest = blockSize_ - static_cast<int32_t>(e);
        MemoEndMarker(pad.data(), rest);
        WriteAt(written, pad.data(), rest);
        written += rest;
    } else if (MemoEndMarker(pad.data(), blockSize_) > 0) {
        WriteAt(written, pad.data(), blockSize_);
        written += blockSize_;
    }
    // The end marker stays inside the allocation.
    XB_ASSERT(written <= start + static_cast<int64_t>(blockCount_) * blockSize_);
    if (!padAllocation_) return;
    // The rest of the allocation as zeros, so that the file's length in blocks always
    // covers every memo placed in it.
    std::fill(pad.begin(), pad.end(), 0);
    const int64_t allocationEnd = start + static_cast<int64_t>(blockCount_) * blockSize_;
    while (written < allocationEnd) {
        WriteAt(written, pad.data(), blockSize_);
        written += blockSize_;
    }
}

void GSobjMemo::MemoPlace(int32_t count) {
    const int64_t needed = (static_cast<int64_t>(count) + 2 + kDbt3Block - 1) / kDbt3Block;
    SetBlockCount(needed);
    bool inPlace = false;
    if (currentBlock_ > 0) {
        const int64_t old = (static_cast<int64_t>(MemoLength(currentBlock_)) + kDbt3Block - 1) / kDbt3Block;
        inPlace = old >= needed;
    }
    if (!inPlace) {
        uint8_t word[4] = {};
        if (ReadSome(0, word, 4) < 4) FormatError("the file header is cut off");
        const int64_t start = SafeNextFree(gsBytes::Get32LE(word), firstBlock_);
        CheckRoom(start, needed);
        gsBytes::Put32LE(word, static_cast<uint32_t>(start + needed));
        WriteAt(0, word, 4);
        currentBlock_ = static_cast<int32_t>(start);
    }
    std::memset(header_, 0, sizeof header_);
}

void GSobjMemo::MemoFree(int32_t) {}

int32_t GSobjMemo::MemoEndMarker(uint8_t* buffer, int32_t size) {
    static const uint8_t marker[3] = {kEndByte, kEndByte, 0x00};
    std::memcpy(buffer, marker, static_cast<size_t>(std::clamp(size, 0, 3)));
    return 2;
}

int32_t GSobjMemo::MemoHeaderLength() { return 0; }

int32_t GSobjMemo::MemoHeaderSize() const { return 0; }

void GSobjMemo::MemoSetLockProtocol(TgsLokProtocol protocol) {
    switch (protocol) {
        case TgsLokProtocol::Default:
        case TgsLokProtocol::FoxLock:
            memoLockOffset_ = 0x7FFFFFFEu - 1u;
            memoLockLength_ = 1;
            break;
        case TgsLokProtocol::DB4Lock:
            memoLockOffset_ = 0xEFFFFFFFu - 1u;
            memoLockLength_ = 2;
            break;
        case TgsLokProtocol::ClipLock:
            memoLockOffset_ = 1000000000u;
            memoLockLength_ = 1;
            break;
        default:
            return;
    }
    protocol_ = protocol;
}

void GSobjMemo::MemoRename(const std::string& newTablePath) {
    const std::string table = Trimmed(newTablePath);
    Rename(platform::ChangeExtension(table, platform::ExtensionPart(RealPath())));
    WriteNameIntoHeader(table);
}

void GSobjMemo::WriteNameIntoHeader(const std::string& newTablePath) {
    uint8_t name[9] = {};
    const std::string base = platform::IdentityKey(platform::BaseNamePart(newTablePath)).substr(0, 8);
    std::memcpy(name, base.data(), base.size());
    WriteAt(8, name, sizeof name);
}

void GSobjMemo::MemoReadFileHeader() {}

GSobjMemo::LockGuard::LockGuard(GSobjMemo& memo) : memo_(memo) {
    if (!memo.IsShared()) return;
    const bool ok = WaitForLock(
        [&memo] { return memo.LockRegion(memo.memoLockOffset_, memo.memoLockLength_); });
    if (!ok) {
        const int code = memo.LastError() != 0 ? memo.LastError() : platform::kLockViolation;
        platform::SetLastError(code);
        memo.ReportError(code, gsSub::kMemoLock, memo.RealPath());
    }
    held_ = true;
}

GSobjMemo::LockGuard::~LockGuard() {
    if (held_) memo_.UnlockRegion();
}
