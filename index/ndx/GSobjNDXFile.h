#pragma once
// GSobjNDXFile: an NDX index file, holding one tag named after the file.

#include "index/core/GSobjIndexFile.h"

class GSobjNDXTag;

class GSobjNDXFile : public GSobjIndexFile {
public:
    // An existing file gets its tag from the header at once (a header that is not
    // accepted raises error 2112); a created one starts empty.
    GSobjNDXFile(GSO_dBaseFld* table, bool overwrite, bool create, bool shared, bool readWrite,
                 const std::string& path);
    // The tag writes back its path here, while this file still places and allocates
    // its pages: from the base class's destructor it would reach the base's byte-addressed
    // blocks and write pages over the header.
    ~GSobjNDXFile() override;

    GSobjIndexTag* CreateTag(const std::string& name, const std::string& keyExpression,
                             const std::string& forExpression, bool unique, bool ascending) override;
    int32_t AllocatePage() override;
    int32_t ReadPageCount() override;
    bool ReadBlock(int64_t page, void* buffer, int32_t size) override;
    bool WriteBlock(int64_t page, const void* buffer, int32_t size) override;
    void Reindex() override;
    void ResetFile() override;

    GSobjNDXTag* NdxTag() const;
};
