#pragma once
// GSobjMemo4: the dBase IV memo file (".DBT"). The block size comes from the file header;
// each memo starts with an 8-byte block header (FF FF, 8, text length + 8). Freed memos
// go to a chain of free runs whose head is in the file header, and new memos take the
// first run large enough (first fit), else the end of the file.

#include "engine/Memo.h"

class GSobjMemo4 : public GSobjMemo {
public:
    GSobjMemo4(GSO_DiskFile* owner, const std::string& memoPath, uint8_t version, bool readWrite,
               bool shared);

    void MemoPlace(int32_t count) override;
    void MemoFree(int32_t block) override;
    int32_t MemoEndMarker(uint8_t* buffer, int32_t size) override;
    int32_t MemoHeaderLength() override;
    int32_t MemoHeaderSize() const override;
    void MemoReadFileHeader() override;

    // The smallest and largest block sizes a file header may give.
    static constexpr int32_t kMinBlockSize = 32;
    static constexpr int32_t kMaxBlockSize = 65536;

private:
    // The block number that ends the free chain: the file's length in blocks (counting
    // a begun last block). `alsoEnd` is the length in whole blocks, which other writers
    // may have used as the end mark of a file that does not end on a block boundary.
    int64_t ChainEnd(int64_t& alsoEnd);
    // Reads the chain node at `current` (the `steps`-th of the walk) into node[0..7] and
    // answers its run length, after checking that the chain stays inside the file.
    int64_t ReadNode(int64_t current, int64_t steps, int64_t end, uint8_t* node);
    // The first word of the file header (the head of the free chain).
    int64_t ReadChainHead();
};
