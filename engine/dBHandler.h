#pragma once
// GSO_dBHandler: the table as programs use it. It decides which records are visible
// (deleted records, the filter, the RecordVisible hook), skips over visible records,
// keeps a read-ahead cache for sequential passes and packs the table. It owns up to 63
// open index files, one of whose tags may give the table its order (key seeks and ranges
// on it), the filter (an expression and a bit per record) and the value search. The
// order lives in handler/TableOrder.cpp, the filter in handler/TableFilter.cpp and the
// value search in handler/ValueSearch.cpp.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/dBaseFld.h"

class TgsExpUserLink;
class TgsExpHandler;
class TgsHugeSet;
class GSobjIndexFile;
class GSobjIndexTag;

// Options of opening a table.
enum TgsOpenOptions : unsigned {
    gsOpenDefault = 0,
    // Open the table without its production index (the .CDX or .MDX file its header
    // names) even when the header says it has one; its keys are then not kept up to date.
    gsOpenNoProductionIndex = 1,
};

// Bits of the value search's options word.
namespace gsSearch {
constexpr uint16_t kCaseInsensitive = 1;   // compare in upper case
constexpr uint16_t kWholeValue = 2;        // the field must not continue after the value
constexpr uint16_t kWildcard = 4;          // "*" and "?" in the pattern
constexpr uint16_t kNormalMode = 8;        // stay in normal mode (visibility rules apply)
constexpr uint16_t kKeepTag = 16;          // search in the selected tag's order
constexpr uint16_t kNotInMiddle = 32;      // the value must stand at the start of the field
}  // namespace gsSearch

// Results of opening index files.
constexpr int gsIndexOpened = 0;
constexpr int gsIndexNothingOpened = 1;
constexpr int gsMaxIndexFiles = 63;

class GSO_dBHandler : public GSO_dBaseFld {
public:
    // Opens the table (raises ERidedezError when it cannot be used).
    // Unless `options` says otherwise, a table whose header names a production index is
    // opened with it in slot 1 (error 2 naming the index file when it is missing).
    static std::unique_ptr<GSO_dBHandler> Open(const std::string& path, bool readWrite, bool shared,
                                               unsigned options = gsOpenDefault);

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
    // Seeks `key` in the selected tag; true when found (see Found and SoftSeek).
    virtual bool SeekKey(const std::string& key);                                       // 55
    // The record of the first key equal to `key` in the tag named `tag` (0: none; -1:
    // no such tag); the table does not move.
    virtual int32_t SeekKeyInTag(const std::string& tag, const std::string& key);       // 56
    virtual void SkipRecords(int32_t count);                                            // 57
    virtual bool RecordVisible();                                                       // 58
    virtual bool LockIndexFiles();                                                      // 59

    // Removes the records marked deleted (exclusive use only) and releases their memos;
    // rebuilds the index files when records were removed.
    virtual void PackTable();

    // ---- index files and the order (handler/TableOrder.cpp) ----
    // Whether OpenTable opens the production index (default true); set before OpenTable.
    void SetOpenProductionIndex(bool on) { openProduction_ = on; }
    // Opens an index file into the first free slot: 0 when opened, 1 when the path is
    // empty or already open. Missing or unknown files report error 2, damaged ones 2112.
    int OpenIndexFile(const std::string& path);
    // Closes every index file, opens the listed ones (blanks, commas and semicolons
    // separate names, double quotes keep them together) and selects `tag`: 0 when all
    // opened, otherwise the first result other than 0 (no tag is selected then).
    int OpenIndexList(const std::string& list, const std::string& tag);
    // Closes every index file; the order becomes physical.
    void CloseIndexFiles();
    // Selects a tag by name (empty: physical order): the slot of its file, 0 for the
    // physical order, -1 when no open file has the tag (nothing changes then).
    int SelectTag(const std::string& name, bool keepPosition);
    // The n-th tag counting through the open files in slot order (1-based), or null.
    GSobjIndexTag* TagByNumber(int n) const;
    // The slot (1..63) holding the index file at `path`, 0 when it is not open.
    int IndexFileSlot(const std::string& path) const;
    // The index file in slot 1..63, or null.
    GSobjIndexFile* IndexFile(int slot) const;
    int IndexFileCount() const;
    // Rebuilds every open index file and goes to the top.
    void Reindex();
    // The selected tag (null in physical order) and its name (upper case).
    GSobjIndexTag* SelectedTag() const { return tag_; }
    const std::string& SelectedTagName() const { return tagName_; }
    // Narrows the selected tag to keys from `low` to `high` (inclusive; a key that begins
    // with a bound counts as equal to it; an empty bound leaves that side open) and goes
    // to the top.
    void SetRange(const std::string& low, const std::string& high, bool lowInclusive = true,
                  bool highInclusive = true);
    void ClearRange();
    // Found flag of the last SeekKey; a failed seek goes to the end of the table unless
    // soft seek is on (then to the record where the key would be).
    bool Found() const { return found_; }
    bool SoftSeek() const { return softSeek_; }
    void SetSoftSeek(bool on) { softSeek_ = on; }
    void UnlockIndexFiles();

    // ---- the filter (handler/TableFilter.cpp) ----
    // Builds the filter from a logical expression (raises "Filter expression must return
    // boolean result" otherwise); `partial` lets "*" in compared texts match any text.
    void SetFilter(const std::string& expression, bool caseInsensitive, bool partial);
    void SetFilterActive(bool wanted);
    bool FilterWanted() const { return filterWanted_; }
    const std::string& FilterText() const { return filterText_; }
    // Whether record n's filter bit is set (false without a filter).
    bool FilterBit(int32_t n) const;

    // ---- the value search (handler/ValueSearch.cpp) ----
    // Looks for `text` in field `field` (0: every field) of the records after `start`
    // (0: from the top) up to `last` (0: to the end). When found, `field` and `start`
    // name the match and the table stands on it; otherwise it stays where it was.
    bool SearchValue(const std::string& text, int& field, int32_t last, int32_t& start);
    uint16_t SearchOptions() const { return searchOptions_; }
    void SetSearchOptions(uint16_t options) { searchOptions_ = options; }

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
    void RenameCompanions(const std::string& oldPath) override;
    bool TagSelected() const { return tag_ != nullptr; }
    bool FilterActive() const;

private:
    bool Visible();
    // The record number the selected tag gives for a movement code (0 at BOF or EOF,
    // whose flags it sets); the filter's bits are honoured.
    int32_t TagMovement(int32_t code, int32_t direction);
    // The record number the filter's bits give for a movement code (0 at BOF or EOF).
    int32_t FilterMovement(int32_t code);
    // Puts the selected tag on the table's current record before a relative movement
    // when it stands elsewhere or its path was let go.
    void SyncTagPosition();
    void OpenProductionIndex();
    // Runs a write of the layer below with every index file locked.
    void WithIndexFilesLocked(void (GSO_dBHandler::*write)(int32_t), int32_t n);
    void AppendBuffer(int32_t);
    void RewriteBuffer(int32_t n);
    // Sets or clears the current record's filter bit after it was written.
    void UpdateFilterBit();
    // Builds the filter's bit for every record.
    void ScanFilter();
    void DeselectTag();
    // Writes back the cached pages of every tag of the shared index files (before their
    // lock is let go) and flushes them when `flush`.
    void WriteBackIndexes(bool shared, bool flush);
    // A write whose index files could not be locked: error 33, nothing written.
    void RefuseUnlockedWrite();

    bool cacheAllowed_ = true;
    bool cacheActive_ = false;
    std::vector<uint8_t> cache_;
    int32_t cacheRecords_ = 0;
    int64_t cacheStart_ = -1;  // file offset of the first cached byte, -1 when empty
    int64_t cacheEnd_ = -1;    // offset just past the last valid cached byte
    std::unique_ptr<TgsExpUserLink> userLink_;

    // The order.
    std::array<std::unique_ptr<GSobjIndexFile>, gsMaxIndexFiles> slots_;
    GSobjIndexTag* tag_ = nullptr;
    std::string tagName_;
    bool found_ = false;
    bool softSeek_ = false;
    bool openProduction_ = true;
    bool packing_ = false;
    // The filter.
    std::string filterText_;
    bool filterCase_ = false;
    bool filterPartial_ = false;
    bool filterWanted_ = false;
    std::unique_ptr<TgsExpHandler> filterHandler_;
    std::unique_ptr<TgsHugeSet> filterBits_;
    // The value search.
    uint16_t searchOptions_ = 0;
};
