#pragma once
// GSobjNDXTag: the one order of an NDX file: its header, its pages and its key bytes.
// Text keys are blank-padded; number and date keys are doubles (a blank date 1.0E+100).

#include "index/core/GSobjIndexTag.h"

class GSobjNDXFile;

class GSobjNDXTag : public GSobjIndexTag {
public:
    GSobjNDXTag(GSobjNDXFile* file, const std::string& name, int64_t headerPosition);
    // Writes back the path while the page codec still exists (the base class can no
    // longer reach it); a failed write-back drops the changes.
    ~GSobjNDXTag() override;

    void PrepareKey(TgsVariant& key) override;
    void InitTag(const std::string& keyExpression, bool unique, bool ascending,
                 const std::string& forExpression) override;
    bool InsertKey(const GSobjIndexKeyData& key) override;
    int32_t RootPage() override;
    void ReadPage(int32_t page, GSobjIndexKey& node) override;
    void WritePage(int32_t page, GSobjIndexKey& node) override;
    void ReadHeader() override;
    void WriteHeader() override;

    // Builds the tag from the table into the file's next pages.
    void Build();
    bool NumberKeys() const { return keyType_ == 'N' || keyType_ == 'D' || keyType_ == 'F'; }
    // The bytes of an entry's key area.
    void KeyBytes(const TgsVariant& key, uint8_t* out) const;

private:
    GSobjNDXFile* NdxFile() const;
};
