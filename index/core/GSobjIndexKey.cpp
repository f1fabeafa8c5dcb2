#include "index/core/GSobjIndexKey.h"

#include <cassert>

#include "index/core/GSobjIndexFile.h"
#include "index/core/GSobjIndexTag.h"

GSobjIndexKey::GSobjIndexKey(GSobjIndexTag* tag, GSobjIndexKey* parent)
    : tag_(tag), parent_(parent), depth_(parent ? parent->depth_ + 1 : 1) {
    if (depth_ > gsMaxIndexDepth) tag_->ReportInvalid();
}

// Freeing never writes: Release does, and may raise. A path freed without Release (after
// an error) drops its changes, as a failed operation leaves them.
GSobjIndexKey::~GSobjIndexKey() {
    ownedRoot_.reset();
    child_.reset();
    tag_->KeepEntryList(entries);
}

void GSobjIndexKey::LoadPage(int32_t page) {
    // The format sizes the list to the page's entries and overwrites every one of them;
    // entries kept from an earlier page keep their key blocks.
    if (entries.empty()) tag_->TakeEntryList(entries);
    current = 0;
    dirty = false;
    pageNumber = page;
    // A page that is one of its own ancestors makes the tree a cycle.
    for (GSobjIndexKey* p = parent_; p; p = p->parent_)
        if (p->pageNumber == page) tag_->ReportInvalid();
    tag_->ReadPage(page, *this);
}

void GSobjIndexKey::SavePage() {
    if (pageNumber == gsNoPage) pageNumber = tag_->File()->AllocatePage();
    tag_->WritePage(pageNumber, *this);
}

void GSobjIndexKey::Release() {
    FreeChild();
    if (dirty) {
        dirty = false;
        try {
            SavePage();
        } catch (...) {
            dirty = true;
            throw;
        }
    }
    if (ownedRoot_) {
        // A new root whose write fails is kept for the next write-back: the tag's header
        // already names its page, which must not be left unwritten.
        std::unique_ptr<GSobjIndexKey> root = std::move(ownedRoot_);
        try {
            root->Release();
        } catch (...) {
            ownedRoot_ = std::move(root);
            throw;
        }
    }
}

bool GSobjIndexKey::WriteBackInPlace() {
    if (child_ && !child_->WriteBackInPlace()) return false;
    if (ownedRoot_ || kind == TgsNodeKind::NewRoot) return false;
    if (!dirty) return true;
    const size_t held = entries.size();
    dirty = false;
    try {
        SavePage();
    } catch (...) {
        dirty = true;
        throw;
    }
    return entries.size() == held && !ownedRoot_ && kind != TgsNodeKind::NewRoot;
}

void GSobjIndexKey::FreeChild() {
    if (!child_) return;
    child_->Release();
    child_.reset();
}

GSobjIndexKey* GSobjIndexKey::LoadChild() {
    FreeChild();
    if (!IsBranch() || current < 0 || current > LastIndex()) return nullptr;
    auto child = std::make_unique<GSobjIndexKey>(tag_, this);
    child_ = std::move(child);
    try {
        child_->LoadPage(entries[static_cast<size_t>(current)].link);
    } catch (...) {
        child_.reset();
        throw;
    }
    return child_.get();
}

GSobjIndexKey* GSobjIndexKey::Deepest() {
    GSobjIndexKey* n = this;
    while (n->child_) n = n->child_.get();
    return n;
}

int GSobjIndexKey::FindLink(int32_t page) const {
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].link == page) return static_cast<int>(i);
    return -1;
}

bool GSobjIndexKey::IsRightmost() const {
    const GSobjIndexKey* n = this;
    while (n->parent_) {
        const GSobjIndexKey* p = n->parent_;
        if (p->entries.empty() || p->entries.back().link != n->pageNumber) return false;
        n = p;
    }
    return true;
}

void GSobjIndexKey::MakeNewRoot() {
    assert(!parent_);
    auto root = std::make_unique<GSobjIndexKey>(tag_, nullptr);
    root->kind = TgsNodeKind::NewRoot;
    root->pageNumber = tag_->File()->AllocatePage();
    GSobjIndexKeyData top;
    if (!entries.empty()) top = entries.back();
    top.link = pageNumber;
    root->entries.push_back(top);
    root->dirty = true;
    tag_->SetRootPage(root->pageNumber);
    // The nodes below count their depth from the new root.
    parent_ = root.get();
    for (GSobjIndexKey* n = this; n; n = n->child_.get()) n->depth_ = n->parent_->depth_ + 1;
    ownedRoot_ = std::move(root);
}

void GSobjIndexKey::PushSeparator(const GSobjIndexKeyData& separator) {
    if (!parent_) MakeNewRoot();
    GSobjIndexKey* p = parent_;
    int at = p->FindLink(pageNumber);
    if (at < 0) tag_->ReportInvalid();
    p->entries.insert(p->entries.begin() + at, separator);
    if (p->current >= at) ++p->current;
    p->dirty = true;
    pushed = true;
}

void GSobjIndexKey::UpdateParentKey() {
    if (!parent_ || entries.empty()) return;
    GSobjIndexKey* p = parent_;
    GSobjIndexKeyData separator = entries.back();
    separator.link = pageNumber;
    int at = p->FindLink(pageNumber);
    p->dirty = true;
    if (at < 0) {
        p->entries.push_back(separator);
        p->UpdateParentKey();
        return;
    }
    p->entries[static_cast<size_t>(at)] = separator;
    if (at == p->LastIndex()) p->UpdateParentKey();
}
