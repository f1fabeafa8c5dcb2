#pragma once
// GSobjCDXFile: a CDX index file: a tag directory (itself a tag whose keys are the tag
// names and whose record numbers are the positions of the tags' headers) and its tags.
// A bag named like its table (in the table's folder) and holding tags is the table's
// production index: opening it, or creating a tag in it, marks the table's header, and
// deleting its last tag clears the mark.

#include <memory>

#include "index/core/GSobjIndexFile.h"

class GSobjCDXTag;

class GSobjCDXFile : public GSobjIndexFile {
public:
    // An existing file reads its directory and every tag it names (a header that is not
    // accepted raises error 2112); an empty or new one gets an empty directory.
    GSobjCDXFile(GSO_dBaseFld* table, bool overwrite, bool create, bool shared, bool readWrite,
                 const std::string& path);
    ~GSobjCDXFile() override;

    GSobjIndexTag* CreateTag(const std::string& name, const std::string& keyExpression,
                             const std::string& forExpression, bool unique, bool ascending) override;
    bool DeleteTag(const std::string& name) override;
    int32_t AllocatePage() override;
    int32_t ReadPageCount() override;
    void Reindex() override;
    bool UpdateTagsForRecord(int32_t record, bool isAppend) override;
    bool ChangedByOthers() override;
    // Notes, on a shared file, that the change mark must move on before the lock is let go.
    bool WriteBlock(int64_t position, const void* buffer, int32_t size) override;

    GSobjCDXTag* Directory() const { return directory_.get(); }
    GSobjIndexTag* DirectoryTag() const override;
    uint32_t ChangeCounter() const { return changeCounter_; }
    void SetChangeCounter(uint32_t c) { changeCounter_ = c; }
    // The file size as last known (the next free position when it is known).
    int64_t FileEnd();

protected:
    bool ReadChangeMark(uint32_t& mark) override;
    void BeforeLetGo() override;

private:
    // Shared files: moves the change mark on past every value it has held since this
    // program began writing, and writes it (only its four bytes: the rest of the header
    // may be another program's).
    void AdvanceSharedMark();
    // Raises the GENERAL collation's error when any tag names it: such a bag is read only.
    void RefuseGeneralTags() const;
    void CreateEmpty();
    void ReadDirectory();
    // Writes, from the next free page on, a directory listing every tag with its header and
    // an empty root, and then the file's header naming that directory.
    void LayOutEmptyTags();
    // Removes the tag named `name` (upper case) and its directory key; false when none.
    bool RemoveTag(const std::string& name);

    std::unique_ptr<GSobjCDXTag> directory_;
    uint32_t changeCounter_ = 0;
    // Shared files: pages written since the mark last moved, and the mark the file held
    // before the first of them.
    bool unmarkedWrites_ = false;
    uint32_t markBeforeWrites_ = 0;
};
