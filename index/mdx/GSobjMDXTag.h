#pragma once
// GSobjMDXTag: one order of an MDX file: its header block, its key blocks with their back
// chain, and its key bytes. Text keys are held without trailing blanks, dates as the day
// number (a blank date 1.0E+100), numbers in their 12-byte comparable form. A descending
// tag stores its keys in descending order and negates every comparison.

#include "index/core/GSobjIndexTag.h"

class GSobjMDXFile;

class GSobjMDXTag : public GSobjIndexTag {
public:
    GSobjMDXTag(GSobjMDXFile* file, const std::string& name, int64_t headerPosition);
    // Writes back the path while the block codec still exists (the base class can no
    // longer reach it); a failed write-back drops the changes.
    ~GSobjMDXTag() override;

    void PrepareKey(TgsVariant& key) override;
    void InitTag(const std::string& keyExpression, bool unique, bool ascending,
                 const std::string& forExpression) override;
    bool InsertKey(const GSobjIndexKeyData& key) override;
    int32_t RootPage() override;
    void ReadPage(int32_t page, GSobjIndexKey& node) override;
    void WritePage(int32_t page, GSobjIndexKey& node) override;
    // Reads and checks the header block; false when it is not accepted.
    bool ReadTagHeader();
    void ReadHeader() override;
    void WriteHeader() override;

    // Builds the tag from the table into newly allocated blocks (an empty table gets one
    // empty root block) and writes the header.
    void Build();
    // The stored bytes of a key (key length bytes).
    void StoredKey(const TgsVariant& key, uint8_t* out) const;
    // The key held in memory for stored key bytes.
    void HeldKey(const uint8_t* stored, TgsVariant& out) const;
    // A newly written block joins the tag's back chain: returns the block written before
    // it, and it becomes the last (and, for the first one, the first) block.
    int32_t ChainBlock(int32_t position);
    // Reindexing gives the tag a fresh header block and a new chain.
    void MoveHeader(int64_t at);

    bool NumberKeys() const { return keyType_ == 'N'; }
    bool DateKeys() const { return keyType_ == 'D'; }
    int32_t FirstBlock() const { return firstBlock_; }
    int32_t LastBlock() const { return lastBlock_; }
    int BlockSize() const;

private:
    GSobjMDXFile* MdxFile() const;
    void SetSizes();
    // Whether a block position lies in the file, after the header area.
    bool BlockPlaceable(int64_t position) const;

    int32_t firstBlock_ = 0;
    int32_t lastBlock_ = 0;
};
