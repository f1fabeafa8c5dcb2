#pragma once
// GSO_dBHandler: the table as programs use it. It decides which records are visible
// (deleted records, the filter, the RecordVisible hook), skips over visible records,
// keeps a read-ahead cache for sequential passes and packs the table. The index order,
// key seeks and the filter plug in here.

#include <string>
#include <vector>

#include "engine/dBaseFld.h"

class TgsExpUserLink;

class GSO_dBHandler : public GSO_dBaseFld {
public:
    // Opens the table (raises ERidedezError when it cannot be used).
    static std::unique_ptr<GSO_dBHandler> Open(const std::string& path, bool readWrite, bool shared);

    GSO_dBHandler(const std::string& path, bool readWrite, bool shared);
    ~GSO_dBHandler() override;

    void CloseTable() override;

    int32_t ReadAt(int64_t offset, void* buffer, int32_t length) override;              // 6
    bool Rename(const std::string& newPath) override;                                   // 7
    void WriteAt(int64_t offset, const void* buffer, int32_t length) override;          // 13
    void AddRecord() override;                                                          // 14
    bool Notify(int code, int32_t argument) override;                                   // 15
    void GoRecord(int32_t n) override;                                                  // 16
    void PutRecord(int32_t n) override;                                                 // 22
    void SetLockProtocol(int protocol) override;                                        // 23
    bool HasIndexFiles() override;                                                      // 24
    virtual bool SeekKey(const std::string& key);                                       // 55
    virtual bool SeekKeyInTag(const std::string& tag, const std::string& key);          // 56
    virtual void SkipRecords(int32_t count);                                            // 57
    virtual bool RecordVisible();                                                       // 58
    virtual bool LockIndexFiles();                                                      // 59

    // Removes the records marked deleted (exclusive use only) and releases their memos.
    virtual void PackTable();

    // The read-ahead cache: allowed (default) or not; on or off (default off).
    void AllowReadAhead(bool allowed);
    void SetReadAhead(bool on);
    bool ReadAheadActive() const { return cacheActive_; }
    bool ReadAheadAllowed() const { return cacheAllowed_; }

    // The table's expression variables: one per field, and the table functions; made
    // when the table opens, gone when it closes.
    TgsExpUserLink* UserLink() const override { return userLink_.get(); }

protected:
    void AfterOpen() override;
    void FlushCompanions() override;
    // Index upkeep; no index files are open in this layer.
    virtual void UnlockIndexFiles() {}
    virtual bool TagSelected() const { return false; }
    virtual bool FilterActive() const { return false; }

private:
    bool Visible();
    // A write whose index files could not be locked: error 33, nothing written.
    void RefuseUnlockedWrite();

    bool cacheAllowed_ = true;
    bool cacheActive_ = false;
    std::vector<uint8_t> cache_;
    int32_t cacheRecords_ = 0;
    int64_t cacheStart_ = -1;  // file offset of the first cached byte, -1 when empty
    int64_t cacheEnd_ = -1;    // offset just past the last valid cached byte
    std::unique_ptr<TgsExpUserLink> userLink_;
};
