#pragma once
// GSobjCDXTag: one order of a CDX file (or the file's tag directory): its 1,024-byte
// header, its branch and compressed leaf nodes, and its key bytes. Text keys are held
// without trailing blanks; number and date keys as their eight sortable bytes.

#include <vector>

#include "index/cdx/CdxLayout.h"
#include "index/core/GSobjIndexTag.h"

class GSobjCDXFile;

class GSobjCDXTag : public GSobjIndexTag {
public:
    GSobjCDXTag(GSobjCDXFile* file, const std::string& name, int64_t headerPosition, bool directory);
    // Writes back the path while the node codec still exists (the base class can no
    // longer reach it); a failed write-back drops the changes.
    ~GSobjCDXTag() override;

    void PrepareKey(TgsVariant& key) override;
    void InitTag(const std::string& keyExpression, bool unique, bool ascending,
                 const std::string& forExpression) override;
    bool InsertKey(const GSobjIndexKeyData& key) override;
    int32_t RootPage() override;
    void ReadPage(int32_t page, GSobjIndexKey& node) override;
    void WritePage(int32_t page, GSobjIndexKey& node) override;
    // Joins the dropped node's neighbours to each other.
    void PageDropped(GSobjIndexKey& node) override;
    // Checks of the index checker (CdxCheck.cpp): the header's fields, the leaf bit
    // layouts and free-byte counts, the root marks and both sibling chains.
    void CheckHeader(std::vector<std::string>& problems) override;
    void CheckPage(const GSobjIndexKey& node, bool isRoot, std::vector<std::string>& problems) override;
    void CheckLevel(const std::vector<int32_t>& pages, std::vector<std::string>& problems) override;
    // Reads and checks the header; false when it is not accepted.
    bool ReadTagHeader();
    void ReadHeader() override;
    void WriteHeader() override;

    // The eight sortable bytes of a number: most significant first, the sign bit set for
    // a value that is not negative and every bit inverted for a negative one.
    static std::string NumberKey(double value);
    // Builds the tag from the table into newly allocated nodes and writes the header.
    void Build();
    // Writes an empty root leaf as the tag's root (a new node unless `at` is given).
    void WriteEmptyRoot(int32_t at = gsNoPage);

    bool IsDirectory() const { return directory_; }
    bool DescendingOrder() const { return !ascending_; }
    int Collation() const { return collation_; }
    uint8_t Options() const { return options_; }
    // The largest record number a leaf of this tag must hold now.
    int64_t LargestRecord() const;
    // The full key bytes of an entry (key length; blanks or the number's filler).
    void FullKey(const TgsVariant& key, uint8_t* out, int& trail) const;
    bool NumberKeys() const { return keyType_ == 'N' || keyType_ == 'D'; }
    // Reindexing gives the tag a fresh header position.
    void MoveHeader(int64_t at) { headerPosition_ = at; }
    // Raises a clear engine error when the tag names the GENERAL collation, whose keys
    // this engine cannot build.
    void RefuseGeneralUpdate() const;

private:
    GSobjCDXFile* CdxFile() const;
    void SetSizes();
    void WriteLeaf(int32_t at, GSobjIndexKey& node, size_t from, size_t count, const cdx::LeafLayout& layout,
                   int32_t left, int32_t right, bool root);
    void WriteBranch(int32_t at, GSobjIndexKey& node, size_t from, size_t count, int32_t left, int32_t right,
                     bool root);
    // Rewrites one sibling pointer (cdx::kLeftAt or cdx::kRightAt) of the node at `at`.
    void SetSibling(int32_t at, size_t which, int32_t sibling);

    bool directory_;
    uint8_t options_ = cdx::kOptionTag;
    int collation_ = cdx::kCollationMachine;
};
