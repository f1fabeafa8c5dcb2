#pragma once
// GSobjIndexFile: one open index file and its tags. The base holds the disk file, the
// table it serves (which may be absent), the page bookkeeping and the lock placement of
// the table's lock protocol; each format derives its file class from it.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/DiskFile.h"
#include "index/core/GSobjIndexTag.h"
#include "index/core/TgsPageCache.h"

class GSO_dBaseFld;

// Where the lock protocols place the index lock region.
struct TgsIndexLockPlace {
    uint32_t offset;
    uint32_t length;
};
TgsIndexLockPlace IndexLockPlace(int protocol);

class GSobjIndexFile {
public:
    // Opens `path` (`defaultExtension` added when it has none) for `table`. A file that
    // does not exist and is not to be created leaves the object without a disk file.
    GSobjIndexFile(GSO_dBaseFld* table, const std::string& path, const std::string& defaultExtension,
                   bool overwrite, bool create, bool shared, bool readWrite);
    virtual ~GSobjIndexFile();
    GSobjIndexFile(const GSobjIndexFile&) = delete;
    GSobjIndexFile& operator=(const GSobjIndexFile&) = delete;

    // The operations, in their slot order.
    virtual GSobjIndexTag* CreateTag(const std::string& name, const std::string& keyExpression,
                                     const std::string& forExpression, bool unique,
                                     bool ascending);                                  // 1
    virtual bool DeleteTag(const std::string& name);                                  // 2
    [[noreturn]] virtual void ReportError(int code, int subcode, const std::string& text);  // 3
    virtual int32_t AllocatePage();                                                   // 4
    virtual int32_t ReadPageCount();                                                  // 5
    virtual bool ReadBlock(int64_t position, void* buffer, int32_t size);             // 6
    virtual bool WriteBlock(int64_t position, const void* buffer, int32_t size);      // 7
    virtual void Reindex();                                                           // 8
    virtual bool RenameFile(const std::string& newTableName);                         // 9
    virtual bool UpdateTagsForRecord(int32_t record, bool isAppend);                  // 10
    virtual bool ChangedByOthers();                                                   // 11
    virtual void SetLockProtocol(int protocol);                                       // 12
    virtual void ResetFile();                                                         // 13

    // Takes the index lock region with retries (shared files only); raises
    // "Error %s in Lock of %s" when every try fails.
    bool LockIndexFile();
    void UnlockIndexFile();

    // The `size` bytes at byte `position`: a view into the lines kept in memory, or
    // `buffer` filled from the file; nullptr when the file does not hold it whole. The
    // view stays valid until the next read or write of this file.
    const uint8_t* ViewBlock(int64_t position, int32_t size, uint8_t* buffer);
    // Whether the file's pages stay in memory (opened exclusively, or shared and checked
    // by the change mark), and the count of its changes through them (and of the times
    // they were forgotten): while it stays the same, a page read before is still true.
    bool KeepsPages() const { return pageCache_ != nullptr; }
    uint64_t PageChanges() const;
    // Called as every operation on a tag of this file begins. A shared file that keeps its
    // pages while its change mark holds reads the mark afresh and forgets every page when
    // the mark moved (another program, or another object of this one, changed the file).
    void CheckKeptPages();

    const std::string& Name() const { return name_; }
    GSO_DiskFile* Disk() const { return disk_.get(); }
    GSO_dBaseFld* Table() const { return table_; }
    bool Opened() const { return opened_; }
    bool HeaderRejected() const { return headerRejected_; }
    bool RecordOrder() const { return recordOrder_; }
    bool ExactMatch() const { return exactMatch_; }
    void SetExactMatch(bool on) { exactMatch_ = on; }
    int64_t PageCount() const { return pageCount_; }
    void ForgetPageCount() { pageCount_ = -1; }
    // Writes what a file opened exclusively holds back from its header between updates
    // (the base holds nothing back); called before the file is flushed.
    virtual void WriteHeldHeader() {}
    size_t TagCount() const { return tags_.size(); }
    GSobjIndexTag* Tag(size_t i) const { return i < tags_.size() ? tags_[i].get() : nullptr; }
    GSobjIndexTag* FindTag(const std::string& name) const;
    // A tag that lists the file's tags (a CDX file's directory), checked with them; null
    // for files without one.
    virtual GSobjIndexTag* DirectoryTag() const { return nullptr; }
    int LockProtocol() const { return protocol_; }
    // Raises error 2112 for this file.
    [[noreturn]] void ReportInvalid();
    // Whether [position, position + size) lies inside the file. The size last seen is
    // kept; a block beyond it makes the file's size be read again (another program may
    // have added pages).
    bool BlockInFile(int64_t position, int64_t size);

protected:
    // Whether this file is its table's production index: it lies in the table's folder
    // and its name without extension is the table's (compared without regard to case).
    bool NamedLikeTable() const;
    // Marks (or clears) the table's production index when this file is the production one.
    void SetProductionMark(bool on);

    // Runs `work` under the whole-file lock, which takes the place of the index lock while
    // the file is cut back or rebuilt; the index lock is taken again afterwards when it was
    // held. A refused whole-file lock is the lock-violation error.
    void WithWholeFileInPlaceOfIndexLock(const std::function<void()>& work);

    // The tag name a single-tag file takes from its own name: the base name in upper case.
    static std::string TagNameOfFile(const std::string& fileName);

    // Cuts the file back to `size` bytes, forgetting the pages held in memory.
    void TruncateFile(int64_t size);

    // Lets a file opened shared keep the pages it reads between operations, in lines of
    // this object's own, trusted only while the format's change mark (ReadChangeMark) reads
    // as it did when they were read. The format must move the mark on after every change
    // of its own is written and before the lock is let go (BeforeLetGo), so that a page
    // read while another program was writing is never trusted afterwards.
    void KeepPagesWhileMarkHolds();
    // The change mark as the file holds it now, read from the disk; false when it cannot
    // be read (the base has none).
    virtual bool ReadChangeMark(uint32_t& mark);
    // Runs with the index lock or the whole-file lock still held, just before it is let go.
    virtual void BeforeLetGo() {}
    // After this object moved the mark on itself, under its lock, from `before` to `after`:
    // the kept pages stay trusted when they were read under `before` (every change since
    // was written through them).
    void MarkMovedByUs(uint32_t before, uint32_t after);

    std::string name_;  // without path, upper case
    std::vector<std::unique_ptr<GSobjIndexTag>> tags_;
    GSO_dBaseFld* table_;
    std::unique_ptr<GSO_DiskFile> disk_;
    bool recordOrder_ = false;
    int64_t pageCount_ = -1;
    bool exactMatch_ = true;
    bool opened_ = false;
    bool headerRejected_ = false;
    int protocol_ = 0;
    uint32_t lockOffset_ = 0;
    uint32_t lockLength_ = 1;
    bool locked_ = false;
    int64_t knownEnd_ = -1;  // the file size last read or reached by a write
    std::shared_ptr<TgsPageCache> pageCache_;  // exclusive files, and shared ones checked by their mark
    bool checksMark_ = false;   // pageCache_ is trusted only while the change mark holds
    bool pagesMarkKnown_ = false;
    uint32_t pagesMark_ = 0;    // the change mark the kept pages were read under
};
