#pragma once
// GSobjMDXFile: an MDX index file: a header area with the file header and the tag table,
// and up to (slots - 1) tags kept in name order, each with its header block and B-tree.
// An MDX file named like its table (in the table's folder) and holding tags is the
// table's production index: opening it, or creating a tag in it, marks the table's
// header, and deleting its last tag clears the mark.

#include <cstdint>
#include <string>
#include <vector>

#include "index/core/GSobjIndexFile.h"

class GSobjMDXTag;

class GSobjMDXFile : public GSobjIndexFile {
public:
    // An existing file reads its header area and every tag of its tag table (a header
    // that is not accepted raises error 2112); a new one gets an empty header area.
    GSobjMDXFile(GSO_dBaseFld* table, bool overwrite, bool create, bool shared, bool readWrite,
                 const std::string& path);
    // Rewrites the header's date, tag count and length when the file changed.
    ~GSobjMDXFile() override;

    GSobjIndexTag* CreateTag(const std::string& name, const std::string& keyExpression,
                             const std::string& forExpression, bool unique, bool ascending) override;
    bool DeleteTag(const std::string& name) override;
    int32_t AllocatePage() override;
    int32_t ReadPageCount() override;
    // Positions are in 512-byte units.
    bool ReadBlock(int64_t position, void* buffer, int32_t size) override;
    bool WriteBlock(int64_t position, const void* buffer, int32_t size) override;
    void Reindex() override;
    bool RenameFile(const std::string& newTableName) override;

    int BlockSize() const { return blockSize_; }
    int UnitsPerBlock() const { return unitsPerBlock_; }
    int HeaderAreaSize() const { return headerArea_; }
    int SlotCount() const { return slotCount_; }
    bool ChangedFlag() const { return changed_; }
    // The largest number of tags the tag table holds.
    size_t MaxTags() const;
    // Whether a block at `position` (units) lies after the header area and in the file.
    bool BlockPlaceable(int64_t position);
    // Writes the header's date, tag count and length now (closing does it too).
    void WriteFileHeader();

private:
    void CreateEmpty();
    void ReadFileHeader();
    // Rewrites the tag table from the tag list: slot t for tag t, threaded in name order.
    void WriteTagTable();
    GSobjMDXTag* MdxTag(size_t i) const;

    int blockSize_ = 0;
    int unitsPerBlock_ = 0;
    int headerArea_ = 0;
    int slotCount_ = 0;
    bool changed_ = false;
};
