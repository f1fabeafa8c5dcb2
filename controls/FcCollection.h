#pragma once
// A thin owning collection of items that know their collection and their index.

#include <functional>
#include <memory>
#include <vector>

class TfcCollectionItem {
public:
    virtual ~TfcCollectionItem() = default;
    int Index() const { return index_; }
    // Called after a property of the item changed.
    std::function<void(TfcCollectionItem*)> OnChange;

protected:
    void NotifyChange() {
        if (OnChange) OnChange(this);
    }

private:
    template <class> friend class TfcCollection;
    int index_ = -1;
};

template <class Item> class TfcCollection {
public:
    virtual ~TfcCollection() = default;
    int Count() const { return int(items_.size()); }
    Item* Items(int i) const { return i >= 0 && i < Count() ? items_[size_t(i)].get() : nullptr; }
    Item* operator[](int i) const { return Items(i); }
    void Delete(int i) {
        if (i < 0 || i >= Count()) return;
        items_.erase(items_.begin() + i);
        renumber();
        Changed();
    }
    void Clear() {
        if (items_.empty()) return;
        items_.clear();
        Changed();
    }

protected:
    Item* AddItem(std::unique_ptr<Item> item) {
        items_.push_back(std::move(item));
        renumber();
        Changed();
        return items_.back().get();
    }
    // The list of items changed (added, removed).
    virtual void Changed() {}

private:
    void renumber() {
        for (size_t i = 0; i < items_.size(); ++i) items_[i]->index_ = int(i);
    }
    std::vector<std::unique_ptr<Item>> items_;
};
