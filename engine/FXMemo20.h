#pragma once
// GSobjFXMemo20: the FoxPro memo file (".FPT"), every number big-endian. The block size
// is in the file header; each memo starts with an 8-byte block header (type 1 for text,
// text length). A rewritten memo stays in its blocks when it fits them, otherwise it
// goes to the next free block; space is not reclaimed before a pack.

#include "engine/Memo.h"

class GSobjFXMemo20 : public GSobjMemo {
public:
    GSobjFXMemo20(GSO_DiskFile* owner, const std::string& memoPath, uint8_t version, bool readWrite,
                  bool shared);

    void MemoPlace(int32_t count) override;
    int32_t MemoEndMarker(uint8_t* buffer, int32_t size) override;
    int32_t MemoHeaderLength() override;
    int32_t MemoHeaderSize() const override;
    void MemoRename(const std::string& newTablePath) override;
    void MemoReadFileHeader() override;

    // The part of the file that belongs to the header: no memo starts inside it.
    static constexpr int32_t kFileHeaderSize = 512;
};
