#pragma once
// GSobjIndexTag: one index order inside an index file. The base keeps the expressions,
// the cached path, the current entry, BOF/EOF and the range, and implements seeking,
// stepping, key insertion and the upkeep after a record write; each format supplies its
// header and page codec and its key preparation.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "index/core/GSobjIndexKey.h"
#include "index/core/GSobjIndexKeyData.h"

class GSobjIndexFile;
class GSO_dBaseFld;
class TgsExpHandler;
class TgsSort;

// Reload modes.
constexpr int gsReloadFirst = 0;
constexpr int gsReloadCurrentRecord = 1;
constexpr int gsReloadRootOnly = 2;

// Operation codes the index build reports to the table's status routine.
constexpr int gsStatusIndexKeys = 31;   // phase 1: one report per record read
constexpr int gsStatusIndexPages = 32;  // phase 2: one report per key written

// Capacity of key values built for searches and the current entry.
constexpr size_t gsKeyCapacity = 256;

// SearchPages' answer when the format cannot search its pages for the key.
constexpr int gsNoPageSearch = 2;

class GSobjIndexTag {
public:
    GSobjIndexTag(GSobjIndexFile* file, const std::string& name, int64_t headerPosition);
    virtual ~GSobjIndexTag();
    GSobjIndexTag(const GSobjIndexTag&) = delete;
    GSobjIndexTag& operator=(const GSobjIndexTag&) = delete;

    // The operations, in their slot order.
    virtual void PrepareKey(TgsVariant& key);                                         // 1
    virtual void InitTag(const std::string& keyExpression, bool unique, bool ascending,
                         const std::string& forExpression);                           // 2
    virtual bool InsertKey(const GSobjIndexKeyData& key);                             // 3
    virtual int32_t RootPage() = 0;                                                   // 4
    virtual void ReadPage(int32_t page, GSobjIndexKey& node) = 0;                     // 5
    virtual void WritePage(int32_t page, GSobjIndexKey& node) = 0;                    // 6
    virtual void ReadHeader() = 0;                                                    // 7
    virtual void WriteHeader() = 0;                                                   // 8
    virtual void CompileKeyExpression();                                              // 9
    virtual void CompileForExpression();                                              // 10
    virtual bool EvaluateKey(TgsVariant& key, bool& ok);                              // 11
    virtual bool EvaluateFor();                                                       // 12

    // Navigation.
    void Reload(int mode);
    int32_t MoveTo(int32_t code);
    int32_t CurrentRecord();
    int32_t Seek(const TgsVariant& key);
    int32_t FindKey(const TgsVariant& key);
    void SetRange(const TgsVariant* low, bool lowInclusive, bool highInclusive, const TgsVariant* high);
    void ClearRange();
    void ReleasePath();
    // Key upkeep after record `record` was written; true when the index changed.
    bool UpdateForRecord(int32_t record, bool isAppend);

    // Compares a search key with an entry the tag's way (descending tags negate).
    int CompareKeys(const TgsVariant& key, const TgsVariant& entry, int prefixResult) const;
    // Raises the file's "index invalid" error (2112) naming the file.
    [[noreturn]] void ReportInvalid() const;
    // Called by a root split: the tag's root moves to `page`.
    void SetRootPage(int32_t page);
    // Called when an emptied node leaves the tree, before it is freed; formats that chain
    // their nodes unlink it here.
    virtual void PageDropped(GSobjIndexKey& node);

    // A seek's search straight through the pages' bytes, from `rootPage` down, holding no
    // nodes: the answer the path's Search(gsSearchAnyRecord, key, prefixResult) gives,
    // with the entry it stopped at in `found` (for -1 and 0); gsNoPageSearch when the
    // format has none (the base) or cannot compare `key` so.
    virtual int SearchPages(int32_t rootPage, const TgsVariant& key, int prefixResult, GSobjIndexKeyData& found);
    // Seeks use SearchPages where the format has it (the default); off, they search the
    // path's nodes. Both give the same answers: the tests hold them side by side.
    void SetPageSearch(bool on) { pageSearchOn_ = on; }

    // The format's own checks for the index checker; each adds what it finds wrong to
    // `problems` and never raises. The header against the tag's expressions and the file:
    virtual void CheckHeader(std::vector<std::string>& problems);
    // One page just read (its raw bytes are the format's to read again):
    virtual void CheckPage(const GSobjIndexKey& node, bool isRoot, std::vector<std::string>& problems);
    // The pages of one tree level, left to right (sibling chains):
    virtual void CheckLevel(const std::vector<int32_t>& pages, std::vector<std::string>& problems);

    // The entry lists of freed nodes, kept with their key blocks so that the next page
    // read fills them instead of allocating one block per key. Take answers an empty
    // list or one with entries to be overwritten; Keep takes over a list's contents.
    void TakeEntryList(std::vector<GSobjIndexKeyData>& into);
    void KeepEntryList(std::vector<GSobjIndexKeyData>& from) noexcept;

    // State.
    const std::string& Name() const { return name_; }
    const std::string& KeyExpression() const { return keyExpression_; }
    const std::string& ForExpression() const { return forExpression_; }
    std::string KeyExpressionText() const;
    std::string ForExpressionText() const;
    GSobjIndexFile* File() const { return file_; }
    GSO_dBaseFld* Table() const;
    int64_t HeaderPosition() const { return headerPosition_; }
    bool Bof() const { return bof_; }
    bool Eof() const { return eof_; }
    const GSobjIndexKeyData& CurrentEntry() const { return currentEntry_; }
    // The key the last Seek searched for, as PrepareKey made it (FindKey leaves it).
    const GSobjIndexKeyData& SoughtKey() const { return searchKey_; }
    bool Unique() const { return unique_; }
    bool Ascending() const { return ascending_; }
    bool Descending() const { return descending_; }
    bool HasFor() const { return hasFor_; }
    char KeyType() const { return keyType_; }
    int KeyLength() const { return keyLength_; }
    int MaxKeys() const { return maxKeys_; }
    int EntrySize() const { return entrySize_; }
    bool Changed() const { return changed_; }
    GSobjIndexKey* RootNode() const { return root_.get(); }
    bool HeaderDirty() const { return headerDirty_; }
    void MarkHeaderDirty() { headerDirty_ = true; }
    // Whether key insertions may take the format's direct way (on unless turned off); with
    // it off every insertion loads the path, as tests that compare the two ways need.
    void SetDirectInserts(bool on) { directInserts_ = on; }

    // The class marker: 03h and three letters naming the format.
    char classMarker[4] = {3, ' ', ' ', ' '};

protected:
    // Reads every record of the table in physical order into `sort` (keys prepared,
    // records whose FOR condition is false skipped when `useFor`), reporting progress.
    void CollectKeys(TgsSort& sort, bool useFor);
    // Clears the header-dirty flag after a format wrote the header.
    void HeaderWritten() { headerDirty_ = false; }
    // Called by the constructors of formats that implement SearchPages.
    void OfferPageSearch() { hasPageSearch_ = true; }
    // A format's direct way of inserting a prepared key into a tag that is not unique and
    // orders equal keys by arrival: the key goes straight into the page bytes of its leaf
    // when that leaf has room, without loading the path into entry lists. The format
    // writes back and frees the path first. False, with nothing written, leaves the
    // insertion to the general way (a split, or pages it does not take as they are);
    // true sets `first` and `last` when the new entry is the first or last of the order.
    virtual bool InsertDirect(const GSobjIndexKeyData& prepared, bool& first, bool& last);

    std::string name_;
    std::string keyExpression_;
    int keyLength_ = 0;
    int formatWord_ = 0;
    int entrySize_ = 0;
    int maxKeys_ = 0;
    int formatWord2_ = 0;
    std::string forExpression_;
    GSobjIndexKeyData rangeLow_;
    GSobjIndexKeyData rangeHigh_;
    bool rangeLowInclusive_ = true;
    bool rangeHighInclusive_ = true;
    GSobjIndexFile* file_;
    int64_t headerPosition_;
    bool headerDirty_ = false;
    int32_t rootPage_ = 0;
    // Declared before the path: the nodes give their lists back when they are freed.
    std::vector<std::vector<GSobjIndexKeyData>> spareEntryLists_;
    std::unique_ptr<GSobjIndexKey> root_;
    uint64_t rootReadAt_ = 0;  // the file's page changes when the root was read
    bool ascending_ = true;
    bool unique_ = false;
    bool hasFor_ = false;
    char keyType_ = 'C';
    GSobjIndexKeyData currentEntry_;
    bool bof_ = false;
    bool eof_ = false;
    bool changed_ = false;
    bool descending_ = false;
    bool reverseTraversal_ = false;
    bool updating_ = false;
    bool directInserts_ = true;
    std::unique_ptr<TgsExpHandler> keyHandler_;
    std::unique_ptr<TgsExpHandler> forHandler_;

private:
    // After a seek through the pages no path is held, only where it would stand.
    enum class UnbuiltPath : uint8_t { None, AtCurrentEntry, PastEnd };
    bool hasPageSearch_ = false;
    bool pageSearchOn_ = true;
    UnbuiltPath unbuiltPath_ = UnbuiltPath::None;
    GSobjIndexKeyData searchKey_;  // the last Seek's prepared key

    bool HasRange() const { return !rangeLow_.IsEmpty() || !rangeHigh_.IsEmpty(); }
    // -1 below the range, 0 inside, 1 above.
    int RangeTest(const TgsVariant& key) const;
    // Sets BOF/EOF from the deepest node's entry, as each movement does at its end.
    void ReadCurrentOrFlags();
    void PositionOnTableRecord();
    // Reload's shortcut: frees the path below the root and keeps the root when it is
    // still the file's; false when it must be read afresh.
    bool KeepRoot();
    // Searches for `key`, prepared into `search`.
    int32_t SeekWith(const TgsVariant& key, int prefixResult, GSobjIndexKeyData& search);
    // The forward search of a seek from the root, through the pages or the path; fills
    // the current entry unless it ran past the end (1).
    int SearchFromRoot(const TgsVariant& key, int prefixResult);
    // Loads the path a page search left unbuilt, standing where that search stopped.
    void BuildUnbuiltPath();
    // SeekWith for tags walked backwards.
    int32_t SeekBackward(const GSobjIndexKeyData& search, int prefixResult);
};
