#pragma once
// GSobjNTXFile: an NTX index file, holding one tag named after the file.

#include "index/core/GSobjIndexFile.h"

class GSobjNTXTag;

class GSobjNTXFile : public GSobjIndexFile {
public:
    // An existing file gets its tag from the header at once (a header that is not
    // accepted raises error 2112); a created one starts empty.
    GSobjNTXFile(GSO_dBaseFld* table, bool overwrite, bool create, bool shared, bool readWrite,
                 const std::string& path);
    // The tag writes back its path here, while this file still places and allocates
    // its pages: from the base class's destructor it would reach the base's byte-addressed
    // blocks and write pages over the header.
    ~GSobjNTXFile() override;

    GSobjIndexTag* CreateTag(const std::string& name, const std::string& keyExpression,
                             const std::string& forExpression, bool unique, bool ascending) override;
    int32_t AllocatePage() override;
    int32_t ReadPageCount() override;
    void Reindex() override;
    bool UpdateTagsForRecord(int32_t record, bool isAppend) override;
    bool ChangedByOthers() override;
    void ResetFile() override;
    void WriteHeldHeader() override;

    GSobjNTXTag* NtxTag() const;
    uint16_t ChangeCounter() const { return changeCounter_; }
    void SetChangeCounter(uint16_t c) { changeCounter_ = c; }
    // Advances the change counter (32767 wraps to 1).
    void AdvanceChangeCounter();
    // The tag wrote the header, and with it the change counter held.
    void CounterWritten() { counterHeld_ = false; }
    // The file size, for checking offsets read from pages.
    int64_t FileEnd();

private:
    uint16_t changeCounter_ = 1;
    // On a file opened exclusively the counter moves on in memory at every update and
    // reaches the file with the next header write, at the latest at a flush or the close:
    // no other program has the file open to watch it between.
    bool counterHeld_ = false;
};
