#pragma once
// GSobjIndexKey: one page of an index B-tree held in memory as a list of entries, and one
// step of the tag's cached root-to-leaf path: each node keeps at most one loaded child
// (loading another frees the first, writing it back when it changed). In memory the last
// entry of every non-root node carries the key its parent uses as this node's separator;
// each format's page codec maps its pages onto that shape.

#include <cstdint>
#include <memory>
#include <vector>

#include "index/core/GSobjIndexKeyData.h"

class GSobjIndexTag;

enum class TgsNodeKind : uint8_t {
    None = 0,
    NewRoot = 1,  // a root made by a split and not yet written
    Branch = 2,
    Leaf = 3,
};

// The deepest tree the engine follows; deeper files are damaged.
constexpr int gsMaxIndexDepth = 32;
// A page number that was never allocated.
constexpr int32_t gsNoPage = -1;

class GSobjIndexKey {
public:
    GSobjIndexKey(GSobjIndexTag* tag, GSobjIndexKey* parent);
    ~GSobjIndexKey();
    GSobjIndexKey(const GSobjIndexKey&) = delete;
    GSobjIndexKey& operator=(const GSobjIndexKey&) = delete;

    // ---- page cache -------------------------------------------------------------------
    // Lets the tag's format read the page into the entries (it sizes the list to the
    // page and sets every entry).
    void LoadPage(int32_t page);
    // Allocates a page number when the node has none, then lets the format write it.
    void SavePage();
    // Frees the child, writes this node when it changed, then frees a new root it owns.
    void Release();
    // Loads the child named by the current entry (freeing the previous one).
    GSobjIndexKey* LoadChild();
    void FreeChild();
    // Writes the changed nodes of the loaded chain back from the deepest up and keeps them
    // loaded; false when a write split a node, so that the chain no longer mirrors the
    // tree and must be released (which writes the rest) and searched again.
    bool WriteBackInPlace();
    GSobjIndexKey* Child() const { return child_.get(); }
    GSobjIndexKey* Parent() const { return parent_; }
    GSobjIndexKey* Deepest();
    int Depth() const { return depth_; }

    // ---- tree algorithms (IndexTree.cpp) ----------------------------------------------
    // Searches from this node down; -1 stopped at a greater entry, 0 found, 1 ran past
    // the end. Each node on the path keeps the index where its search stopped.
    int Search(int32_t record, const TgsVariant& key, int prefixResult);
    bool GotoFirst();
    bool GotoLast();
    bool GotoNext();
    bool GotoPrior();
    // The deepest node's current entry; false when there is none.
    bool ReadCurrent(GSobjIndexKeyData& entry);
    // Whether every node from here down stands on its first (last) entry.
    bool AtFirst();
    bool AtLast();
    // Inserts into the leaf at the end of the loaded chain, at its current index (plus
    // one when `after`).
    void InsertEntry(const GSobjIndexKeyData& entry, bool after);
    // Removes the current leaf entry at the end of the loaded chain.
    void DeleteEntry();
    // Parent maintenance.
    void UpdateParentKey();
    void PushSeparator(const GSobjIndexKeyData& separator);
    void MakeNewRoot();
    // On the rightmost path: this node and every ancestor reach it by their last entry.
    bool IsRightmost() const;

    // ---- state ------------------------------------------------------------------------
    int32_t pageNumber = gsNoPage;
    int32_t formatWord1 = 0;  // kept for the format (back chain, siblings)
    int32_t formatWord2 = 0;
    TgsNodeKind kind = TgsNodeKind::None;
    int current = 0;
    bool dirty = false;
    bool pushed = false;
    bool atFirst = false;
    bool atLast = false;
    std::vector<GSobjIndexKeyData> entries;

    GSobjIndexTag* Tag() const { return tag_; }
    bool IsBranch() const { return kind == TgsNodeKind::Branch || kind == TgsNodeKind::NewRoot; }
    int LastIndex() const { return static_cast<int>(entries.size()) - 1; }

private:
    // Removes this node's (emptied) page from its parent; frees this node.
    void DropFromParent();
    int FindLink(int32_t page) const;

    GSobjIndexTag* tag_;
    GSobjIndexKey* parent_;
    int depth_;
    std::unique_ptr<GSobjIndexKey> child_;
    std::unique_ptr<GSobjIndexKey> ownedRoot_;
};
