#include "index/core/IndexCheck.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <unordered_set>

#include "engine/dBaseFld.h"
#include "index/core/GSobjIndexFile.h"
#include "index/core/GSobjIndexKey.h"
#include "index/core/GSobjIndexTag.h"

namespace {

std::string Printable(const TgsVariant& key) {
    std::string out;
    const uint8_t* p = key.Data();
    const bool text = key.Type() == TgsVariantType::Text;
    static const char hex[] = "0123456789ABCDEF";
    for (size_t i = 0; p && i < key.Length() && i < 64; ++i) {
        const uint8_t c = p[i];
        if (text && c >= 0x20 && c != 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    if (key.Length() > 64) out += "...";
    return "\"" + out + "\"";
}

// Date keys stored blank by other writers and "00000000" by ours name the same blank day.
bool BlankDate(const TgsVariant& key) {
    if (key.Type() != TgsVariantType::Text) return false;
    const std::string text = key.AsText();
    return text.find_first_not_of(' ') == std::string::npos || text == "00000000";
}

struct LeafEntry {
    int32_t record;
    GSobjIndexKeyData key;
};

class TagWalker {
public:
    TagWalker(GSobjIndexTag& tag, TgsTagCheck& result) : tag_(tag), result_(result) {}

    void Run(bool againstTable) {
        tag_.CheckHeader(problems_);
        std::unique_ptr<GSobjIndexKey> root;
        try {
            tag_.ReleasePath();
            const int32_t rootPage = tag_.RootPage();
            root = std::make_unique<GSobjIndexKey>(&tag_, nullptr);
            visited_.insert(rootPage);
            root->LoadPage(rootPage);
        } catch (const std::exception& e) {
            Problem(std::string("the root page cannot be read: ") + e.what());
            Finish();
            return;
        }
        Walk(*root, 1);
        for (size_t level = 0; level < levels_.size(); ++level) tag_.CheckLevel(levels_[level], problems_);
        result_.keys = static_cast<int64_t>(leaves_.size());
        result_.depth = static_cast<int>(levels_.size());
        if (againstTable) CompareWithTable();
        Finish();
    }

private:
    void Problem(const std::string& text) { problems_.push_back(text); }
    void Note(const std::string& text) {
        if (result_.notes.size() < TgsIndexCheck::kMaxProblems) result_.notes.push_back(text);
    }

    void Finish() {
        const size_t total = problems_.size();
        if (total > TgsIndexCheck::kMaxProblems) {
            problems_.resize(TgsIndexCheck::kMaxProblems);
            problems_.push_back("and " + std::to_string(total - TgsIndexCheck::kMaxProblems) +
                                " more problems");
        }
        result_.problems = std::move(problems_);
    }

    std::string PageName(const GSobjIndexKey& node) const { return "page " + std::to_string(node.pageNumber); }

    void Walk(GSobjIndexKey& node, int depth) {
        ++result_.pages;
        if (levels_.size() < static_cast<size_t>(depth)) levels_.resize(static_cast<size_t>(depth));
        levels_[static_cast<size_t>(depth - 1)].push_back(node.pageNumber);
        tag_.CheckPage(node, depth == 1, problems_);
        // Only the rightmost leaf may be empty (an NTX build can leave it so).
        if (node.entries.empty() && depth > 1 && !node.IsRightmost()) Problem(PageName(node) + " is empty");
        if (!node.IsBranch()) {
            for (const GSobjIndexKeyData& e : node.entries) AddLeafEntry(node, e);
            return;
        }
        for (size_t i = 0; i < node.entries.size(); ++i) {
            const int32_t link = node.entries[i].link;
            if (!visited_.insert(link).second) {
                Problem(PageName(node) + " links to page " + std::to_string(link) +
                        ", which is reached twice (a cycle or a shared page)");
                continue;
            }
            node.current = static_cast<int>(i);
            std::unique_ptr<GSobjIndexKey> child;
            try {
                child = std::make_unique<GSobjIndexKey>(&tag_, &node);
                child->LoadPage(link);
            } catch (const std::exception& e) {
                Problem(PageName(node) + " links to page " + std::to_string(link) + ", which cannot be read" +
                        (depth + 1 > gsMaxIndexDepth ? " (the tree is deeper than 32 levels)" : "") + ": " +
                        e.what());
                continue;
            }
            CheckSeparators(node, i, *child);
            Walk(*child, depth + 1);
        }
    }

    // The child's keys lie between the separator before it and its own.
    void CheckSeparators(const GSobjIndexKey& parent, size_t i, const GSobjIndexKey& child) {
        if (child.entries.empty()) return;
        const GSobjIndexKeyData& own = parent.entries[i];
        // The last entry of a node on the rightmost path may stand for "above every key"
        // (an NTX branch's last child) and is not a key to compare with.
        // So may a branch's own last entry (an NDX branch's keyless last child): a branch
        // is bounded through its leaves.
        const bool openAbove =
            child.IsBranch() || (static_cast<int>(i) == parent.LastIndex() && parent.IsRightmost());
        if (!openAbove && tag_.CompareKeys(child.entries.back(), own, -1) > 0)
            Problem("page " + std::to_string(child.pageNumber) + " holds " + Printable(child.entries.back()) +
                    ", above its key " + Printable(own) + " in page " + std::to_string(parent.pageNumber));
        if (i > 0 && tag_.CompareKeys(child.entries.front(), parent.entries[i - 1], -1) < 0)
            Problem("page " + std::to_string(child.pageNumber) + " holds " + Printable(child.entries.front()) +
                    ", below the key " + Printable(parent.entries[i - 1]) + " before it in page " +
                    std::to_string(parent.pageNumber));
    }

    void AddLeafEntry(const GSobjIndexKey& node, const GSobjIndexKeyData& e) {
        if (!leaves_.empty()) {
            const LeafEntry& prev = leaves_.back();
            const int c = tag_.CompareKeys(e, prev.key, -1);
            if (c < 0) {
                Problem(PageName(node) + ": key " + Printable(e) + " of record " + std::to_string(e.link) +
                        " is out of order after " + Printable(prev.key) + " of record " +
                        std::to_string(prev.record));
            } else if (c == 0 && tag_.Unique()) {
                Problem(PageName(node) + ": the unique tag holds key " + Printable(e) + " twice (records " +
                        std::to_string(prev.record) + " and " + std::to_string(e.link) + ")");
            } else if (c == 0 && tag_.File()->RecordOrder() && e.link <= prev.record) {
                Problem(PageName(node) + ": equal keys " + Printable(e) + " are not in record order (record " +
                        std::to_string(e.link) + " after " + std::to_string(prev.record) + ")");
            }
        }
        leaves_.push_back({e.link, e});
    }

    // Whether a record other than `record` holds `key`.
    bool HeldByAnother(const GSobjIndexKeyData& key, int32_t record) const {
        if (tag_.KeyType() == 'D' && BlankDate(key)) {
            GSobjIndexKeyData blank(key);
            blank.SetText("");
            if (HeldByAnotherAs(blank, record)) return true;
        }
        return HeldByAnotherAs(key, record);
    }

    bool HeldByAnotherAs(const GSobjIndexKeyData& key, int32_t record) const {
        auto it = std::lower_bound(leaves_.begin(), leaves_.end(), key, [this](const LeafEntry& a, const TgsVariant& k) {
            return tag_.CompareKeys(a.key, k, -1) < 0;
        });
        for (; it != leaves_.end() && tag_.CompareKeys(it->key, key, -1) == 0; ++it)
            if (it->record != record) return true;
        return false;
    }

    void CompareWithTable() {
        GSO_dBaseFld* table = tag_.Table();
        if (!table) return;
        GSobjIndexKeyData probe(gsKeyCapacity);
        bool ok = false;
        try {
            if (!tag_.EvaluateKey(probe, ok)) return;  // no key expression to compare with
        } catch (const std::exception&) {
            // Evaluated on each record below, where a failure is reported.
        }
        const int32_t count = table->RecordCount();
        std::vector<int64_t> at(static_cast<size_t>(count) + 1, -1);
        for (size_t i = 0; i < leaves_.size(); ++i) {
            const int32_t r = leaves_[i].record;
            if (r < 1 || r > count) {
                Problem("a key " + Printable(leaves_[i].key) + " names record " + std::to_string(r) +
                        ", outside the table's " + std::to_string(count) + " records");
            } else if (at[static_cast<size_t>(r)] >= 0) {
                Problem("record " + std::to_string(r) + " is in the index twice");
            } else {
                at[static_cast<size_t>(r)] = static_cast<int64_t>(i);
            }
        }
        const int32_t where = table->RecordNumber();
        for (int32_t r = 1; r <= count; ++r) {
            try {
                table->GoRecord(r);
                const bool included = !tag_.HasFor() || tag_.EvaluateFor();
                GSobjIndexKeyData key(gsKeyCapacity);
                if (!tag_.EvaluateKey(key, ok) || !ok) {
                    Problem("record " + std::to_string(r) + ": its key cannot be computed");
                    continue;
                }
                tag_.PrepareKey(key);
                const int64_t i = at[static_cast<size_t>(r)];
                if (i < 0) {
                    if (!included) continue;
                    if (!tag_.Unique()) {
                        Problem("record " + std::to_string(r) + " (key " + Printable(key) + ") is missing");
                    } else if (!HeldByAnother(key, r)) {
                        Note("record " + std::to_string(r) + " (key " + Printable(key) +
                             ") is not in the unique tag, and no other record holds its key");
                    }
                    continue;
                }
                const GSobjIndexKeyData& stored = leaves_[static_cast<size_t>(i)].key;
                if (!included) {
                    Problem("record " + std::to_string(r) + " is in the index though its FOR condition is false");
                } else if (tag_.CompareKeys(key, stored, -1) != 0 &&
                           !(tag_.KeyType() == 'D' && BlankDate(key) && BlankDate(stored))) {
                    Problem("record " + std::to_string(r) + " is stored with key " + Printable(stored) +
                            " but its key is " + Printable(key));
                }
            } catch (const std::exception& e) {
                Problem("record " + std::to_string(r) + ": " + e.what());
            }
        }
        try {
            if (where >= 1 && where <= count) table->GoRecord(where);
        } catch (const std::exception&) {
        }
    }

    GSobjIndexTag& tag_;
    TgsTagCheck& result_;
    std::vector<std::string> problems_;
    std::unordered_set<int32_t> visited_;
    std::vector<std::vector<int32_t>> levels_;
    std::vector<LeafEntry> leaves_;
};

}  // namespace

TgsTagCheck TgsIndexCheck::CheckTag(GSobjIndexTag& tag, bool againstTable) {
    TgsTagCheck result;
    result.tag = tag.Name();
    TagWalker(tag, result).Run(againstTable);
    return result;
}

std::vector<TgsTagCheck> TgsIndexCheck::CheckFile(GSobjIndexFile& file) {
    std::vector<TgsTagCheck> out;
    if (GSobjIndexTag* directory = file.DirectoryTag()) {
        out.push_back(CheckTag(*directory, false));
        out.back().tag = "(directory)";
    }
    for (size_t i = 0; i < file.TagCount(); ++i) out.push_back(CheckTag(*file.Tag(i)));
    return out;
}
