#pragma once
// GSobjNTXTag: the one order of an NTX file: its header, its pages and its key bytes.
// Keys are always text: numbers become sortable digit strings, dates "yyyymmdd".

#include "index/core/GSobjIndexTag.h"
#include "index/ntx/NtxLayout.h"

class GSobjNTXFile;

class GSobjNTXTag : public GSobjIndexTag {
public:
    GSobjNTXTag(GSobjNTXFile* file, const std::string& name, int64_t headerPosition);
    // Writes back the path while the page codec still exists (the base class can no
    // longer reach it); a failed write-back drops the changes.
    ~GSobjNTXTag() override;

    void PrepareKey(TgsVariant& key) override;
    void InitTag(const std::string& keyExpression, bool unique, bool ascending,
                 const std::string& forExpression) override;
    int32_t RootPage() override;
    void ReadPage(int32_t page, GSobjIndexKey& node) override;
    // Seeks search the pages where they lie (NtxPageSearch.cpp).
    int SearchPages(int32_t rootPage, const TgsVariant& key, int prefixResult, GSobjIndexKeyData& found) override;
    void WritePage(int32_t page, GSobjIndexKey& node) override;
    void ReadHeader() override;
    void WriteHeader() override;
    // The header fields other programs change (the root and the change counter) as the
    // file holds them now: a shared file's writer takes them before it writes the header,
    // or it would put back a root another program has since replaced.
    void RereadChangingFields();
    // Checks of the index checker (NtxCheck.cpp): the header's fields against the key
    // expression, and each page's offset table.
    void CheckHeader(std::vector<std::string>& problems) override;
    void CheckPage(const GSobjIndexKey& node, bool isRoot, std::vector<std::string>& problems) override;

    int Decimals() const { return decimals_; }
    int HalfKeys() const { return half_; }
    // Builds the tag from the table into an emptied file (root at the first new page).
    void Build();

    // The digit string of a number key of `length` characters and `decimals`.
    static std::string NumberKey(double value, int length, int decimals);

protected:
    // Straight into the leaf's page bytes when it has room (NtxDirectInsert.cpp).
    bool InsertDirect(const GSobjIndexKeyData& key, bool& first, bool& last) override;

private:
    // The header's first bytes: signature, change counter and root.
    static constexpr size_t kHeaderStart = ntx::kRootAt + 4;
    // Reads them; answers the root, refusing one that is not a page of the file.
    int32_t ReadHeaderStart(uint8_t (&head)[kHeaderStart]);
    GSobjNTXFile* NtxFile() const;
    void SetSizes();
    // Writes the header bytes that differ from the file's.
    void WriteChangedBytes(const uint8_t* header);
    void WriteItem(uint8_t* page, int slot, int32_t child, int32_t record, const TgsVariant& key) const;
    // The direct way's split of the full leaf at `leafPage` (its bytes given) that takes
    // `key` at `slot`, when its parent has room; false, with nothing written, otherwise.
    bool SplitLeafDirect(const GSobjIndexKeyData& key, int32_t leafPage, const uint8_t* leafBytes, int count,
                         int slot, int32_t parentPage, int parentSlot);

    // The page search (NtxPageSearch.cpp).
    struct PageSearch;
    struct Separator;
    // Searches one page as Search searches its node; `separator` is the item the node would
    // be held with as its last entry (none at the root), `rightmost` whether it lies on the
    // rightmost path.
    int SearchPage(PageSearch& search, int32_t page, int depth, const Separator* separator, bool rightmost);
    // The page's bytes (checked as ReadPage checks them), in the cache or in `buffer`.
    const uint8_t* ViewPage(int32_t page, uint8_t* buffer);
    // Where the item in `slot` lies on the page; a slot outside the page is damage.
    const uint8_t* PageItem(const uint8_t* page, int slot) const;
    // CompareKeys of the search key against a stored key (its trailing blanks trimmed).
    int CompareStored(const PageSearch& search, const uint8_t* stored) const;

    int decimals_ = 0;
    int half_ = 0;
};
