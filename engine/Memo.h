#pragma once
// GSobjMemo: the memo file beside a table, in the dBase III form (".DBT", 512-byte
// blocks, each memo ended by 1A 1A), and the base of the dBase IV and FoxPro forms.
// A memo field keeps only the number of its memo's first block; the text lives here.
// The table object asks for lengths, reads into its own buffers, writes (getting the
// block number to store back into the record) and, when packing, frees memos.
//
// Every error is reported to the owning table object, so that it carries the table's
// context. Damaged files give error 1005 with a detail that says what is wrong.

#include <cstdint>
#include <string>

#include "engine/ByteOrder.h"
#include "engine/DiskFile.h"
#include "engine/LockProtocol.h"

// Subcodes of memo reports.
namespace gsSub {
constexpr int kMemoMissing = 6101;
constexpr int kMemoFormat = 6199;
}  // namespace gsSub

class GSobjMemo : public GSO_DiskFile {
public:
    // `owner` receives every error report (may be null: the standard handler).
    GSobjMemo(GSO_DiskFile* owner, const std::string& memoPath, uint8_t version, bool readWrite,
              bool shared);

    // Opens the memo file and reads what its header says. A missing file is error 2
    // with subcode 6101.
    void OpenMemo();

    // Length in bytes of the memo that starts at `block`; 0 for block 0.
    int32_t MemoLength(int32_t block);
    // Copies min(count, length) bytes of the memo at `block` into `buffer` and sets
    // `count` to the number copied. Block 0 gives count 0 and a zero byte in the
    // buffer. A count of 0 (or less) reads nothing. No zero byte follows the text.
    void MemoRead(int32_t block, char* buffer, int32_t& count);
    // The whole memo at `block` as bytes.
    std::string MemoText(int32_t block);
    // Writes `count` bytes of `text` as the memo that replaces the one at `oldBlock`
    // (0: none) and answers the block where it now starts (0 when nothing is written:
    // an empty text for a field without a memo). The table object stores that number.
    int32_t MemoWrite(int32_t oldBlock, const char* text, int32_t count);

    // The operations of the memo kinds, in their slot order after those of the disk file.
    // Chooses the blocks for a memo of `count` bytes (current block and block count) and
    // fills the block header.
    virtual void MemoPlace(int32_t count);                                  // 14
    // Frees the memo at `block` (packing); only dBase IV keeps its blocks for reuse.
    virtual void MemoFree(int32_t block);                                   // 15
    // Writes the end marker at the start of `buffer` (of `size` bytes, zeros after the
    // text); answers how many marker bytes the kind uses.
    virtual int32_t MemoEndMarker(uint8_t* buffer, int32_t size);           // 16
    // The text length from the block header just read into the header buffer; 0 where
    // the length is found by scanning.
    virtual int32_t MemoHeaderLength();                                     // 17
    // Size of the header in front of each memo's text.
    virtual int32_t MemoHeaderSize() const;                                 // 18
    // Chooses the memo lock region of a protocol; a value outside the four keeps the last.
    virtual void MemoSetLockProtocol(TgsLokProtocol protocol);              // 19
    // Renames the memo file together with its table (new table path) and writes the
    // new name into the header.
    virtual void MemoRename(const std::string& newTablePath);               // 20
    // Reads the file header when the file is opened (block size and the like).
    virtual void MemoReadFileHeader();                                      // 21

    [[noreturn]] void ReportError(int code, int subcode, const std::string& detail) override;

    GSO_DiskFile* Owner() const { return owner_; }
    uint8_t Version() const { return version_; }
    int32_t BlockSize() const { return blockSize_; }
    int32_t CurrentBlock() const { return currentBlock_; }
    uint16_t BlockCount() const { return blockCount_; }
    TgsLokProtocol LockProtocol() const { return protocol_; }
    uint32_t MemoLockOffset() const { return memoLockOffset_; }
    uint32_t MemoLockLength() const { return memoLockLength_; }

protected:
    // Error 1005 with subcode 6199 and "<path>: <what>".
    [[noreturn]] void FormatError(const std::string& what);
    // Reads `length` bytes at `offset` into `buffer`; answers the bytes read (the rest
    // of the buffer is left as it was). Read failures are reported.
    int32_t ReadSome(int64_t offset, void* buffer, int32_t length);
    // Reads the first 32 bytes of `block` into the header buffer (zeros past the end of
    // the file) after checking that the block lies inside the file; answers the bytes read.
    int32_t ReadBlockHeader(int32_t block);
    // The file's length in whole and begun blocks.
    int64_t BlocksInFile();
    // Refuses an allocation of `blocks` blocks at `block` that would reach past 2 GiB.
    void CheckRoom(int64_t block, int64_t blocks);
    // Sets the block count, refusing more than 65,535 blocks with a range error.
    void SetBlockCount(int64_t blocks);
    // The next-free word of the file header, made safe: never below `firstBlock` and never
    // inside the data already in the file.
    int64_t SafeNextFree(int64_t headerWord, int64_t firstBlock);
    // Writes the table's base name (8 characters, upper case) at header offset 8.
    void WriteNameIntoHeader(const std::string& newTablePath);

    uint8_t header_[32] = {};
    int32_t headerBlock_ = 0;     // the block whose header is in header_
    int32_t firstBlock_ = 1;      // the first block that may hold a memo
    bool padAllocation_ = false;  // write zeros up to the end of every allocation
    int32_t blockSize_ = 512;
    int32_t currentBlock_ = 0;
    uint16_t blockCount_ = 0;

    // Holds the memo lock (shared files only) for its lifetime; nests.
    class LockGuard {
    public:
        explicit LockGuard(GSobjMemo& memo);
        ~LockGuard();
        LockGuard(const LockGuard&) = delete;
        LockGuard& operator=(const LockGuard&) = delete;

    private:
        GSobjMemo& memo_;
        bool held_ = false;
    };

private:
    // The scan of a dBase III memo: bytes before the first 1A (or the end of the file).
    int32_t ScanLength(int32_t block);
    void WritePadding(int64_t textEnd, int32_t count);

    GSO_DiskFile* owner_;
    uint8_t version_;
    TgsLokProtocol protocol_ = TgsLokProtocol::Default;
    uint32_t memoLockOffset_ = 0x7FFFFFFDu;
    uint32_t memoLockLength_ = 1;
};

