#include "index/mdx/GSobjMDXTag.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/DBFDate.h"
#include "engine/Exception.h"
#include "engine/dBaseFld.h"
#include "index/mdx/GSobjMDXFile.h"
#include "index/mdx/GSobjSortMDX.h"
#include "index/mdx/MdxLayout.h"
#include "index/sort/TgsSort.h"

namespace {
std::string TrimRight(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

std::string CString(const uint8_t* p, size_t max) {
    return std::string(reinterpret_cast<const char*>(p), strnlen(reinterpret_cast<const char*>(p), max));
}
}  // namespace

GSobjMDXTag::GSobjMDXTag(GSobjMDXFile* file, const std::string& name, int64_t headerPosition)
    : GSobjIndexTag(file, name, headerPosition) {
    classMarker[1] = 'M';
    classMarker[2] = 'D';
    classMarker[3] = 'X';
}

GSobjMDXTag::~GSobjMDXTag() {
    try {
        ReleasePath();
    } catch (...) {
        root_.reset();
    }
    HeaderWritten();
}

GSobjMDXFile* GSobjMDXTag::MdxFile() const { return static_cast<GSobjMDXFile*>(file_); }

int GSobjMDXTag::BlockSize() const { return MdxFile()->BlockSize(); }

bool GSobjMDXTag::BlockPlaceable(int64_t position) const { return MdxFile()->BlockPlaceable(position); }

void GSobjMDXTag::SetSizes() {
    entrySize_ = mdx::EntrySize(keyLength_);
    maxKeys_ = mdx::MaxEntries(BlockSize(), entrySize_);
}

// ---- keys ----------------------------------------------------------------------------------

void GSobjMDXTag::PrepareKey(TgsVariant& key) {
    if (NumberKeys()) {
        double value = 0;
        switch (key.Type()) {
            case TgsVariantType::Number: value = key.AsNumber(); break;
            case TgsVariantType::Date: value = key.AsDate(); break;
            case TgsVariantType::Bytes:
                if (key.Length() == static_cast<size_t>(mdx::kNumberKeyLength)) return;  // already a key
                [[fallthrough]];
            case TgsVariantType::Text: value = std::strtod(TrimRight(key.AsText()).c_str(), nullptr); break;
            default: break;
        }
        const std::string k = mdx::ComparableFromNumber(value);
        key.SetBytes(k.data(), k.size());
        return;
    }
    if (DateKeys()) {
        double value = 0;
        switch (key.Type()) {
            case TgsVariantType::Number: value = key.AsNumber(); break;
            case TgsVariantType::Date: value = key.AsDate(); break;
            case TgsVariantType::Text:
            case TgsVariantType::Bytes: {
                const std::string text = TrimRight(key.AsText());
                try {
                    value = text.empty() ? 0 : TgsDBFDate::Instance().JulianFromText(text);
                } catch (const Exception&) {
                    value = 0;
                }
                break;
            }
            default: break;
        }
        if (value < 0.1) value = mdx::kBlankDate;
        key.SetNumber(value);
        return;
    }
    if (key.Type() == TgsVariantType::Logical) {
        key.SetText(key.AsLogical() ? "T" : "F");
        return;
    }
    std::string text = TrimRight(key.AsText());
    if (keyLength_ > 0 && text.size() > static_cast<size_t>(keyLength_)) text.resize(static_cast<size_t>(keyLength_));
    key.SetText(text);
}

void GSobjMDXTag::StoredKey(const TgsVariant& key, uint8_t* out) const {
    const size_t length = static_cast<size_t>(keyLength_);
    if (NumberKeys()) {
        mdx::StoredFromComparable(key.Data(), key.Type() == TgsVariantType::Bytes ? key.Length() : 0, out);
        return;
    }
    if (DateKeys()) {
        std::memset(out, 0, length);
        const double v = key.Type() == TgsVariantType::Number ? key.AsNumber() : mdx::kBlankDate;
        std::memcpy(out, &v, sizeof v);
        return;
    }
    std::memset(out, ' ', length);
    const size_t n = std::min(key.Length(), length);
    if (n > 0) std::memcpy(out, key.Data(), n);
}

void GSobjMDXTag::HeldKey(const uint8_t* stored, TgsVariant& out) const {
    if (NumberKeys()) {
        const std::string k = mdx::ComparableFromStored(stored);
        out.SetBytes(k.data(), k.size());
        return;
    }
    if (DateKeys()) {
        double v;
        std::memcpy(&v, stored, sizeof v);
        out.SetNumber(v);
        return;
    }
    size_t n = static_cast<size_t>(keyLength_);
    while (n > 0 && stored[n - 1] == ' ') --n;
    out.SetText(reinterpret_cast<const char*>(stored), n);
}

bool GSobjMDXTag::InsertKey(const GSobjIndexKeyData& key) {
    GSobjIndexKeyData entry(key);
    entry.compareRecord = 0;
    return GSobjIndexTag::InsertKey(entry);
}

// ---- header ----------------------------------------------------------------------------------

int32_t GSobjMDXTag::RootPage() {
    uint8_t head[4] = {};
    if (!file_->ReadBlock(headerPosition_, head, sizeof head)) ReportInvalid();
    const int64_t root = mdx::Get32(head + mdx::kRootAt);
    if (!BlockPlaceable(root)) ReportInvalid();
    rootPage_ = static_cast<int32_t>(root);
    return rootPage_;
}

bool GSobjMDXTag::ReadTagHeader() {
    const int blockSize = BlockSize();
    std::vector<uint8_t> h(static_cast<size_t>(blockSize), 0);
    if (!BlockPlaceable(headerPosition_) || !file_->ReadBlock(headerPosition_, h.data(), blockSize)) return false;
    const int64_t root = mdx::Get32(&h[mdx::kRootAt]);
    const int keyLength = mdx::Get16(&h[mdx::kKeyLengthAt]);
    const int maxEntries = mdx::Get16(&h[mdx::kMaxEntriesAt]);
    const int entrySize = mdx::Get16(&h[mdx::kEntrySizeAt]);
    const char type = static_cast<char>(h[mdx::kKeyTypeAt]);
    if (!BlockPlaceable(root)) return false;
    if (keyLength < 1 || keyLength > mdx::kMaxKeyLength) return false;
    // Every entry of a full block, with the branch's extra one, must lie inside the block.
    if (entrySize < keyLength + mdx::kEntryOverhead || maxEntries < 2 ||
        mdx::kEntriesAt + (static_cast<size_t>(maxEntries) + 1) * static_cast<size_t>(entrySize) >
            static_cast<size_t>(blockSize))
        return false;
    switch (type) {
        case 'C': break;
        case 'N':
        case 'F':
            if (keyLength != mdx::kNumberKeyLength) return false;
            break;
        case 'D':
            if (keyLength != mdx::kDateKeyLength) return false;
            break;
        default: return false;
    }
    rootPage_ = static_cast<int32_t>(root);
    keyLength_ = keyLength;
    maxKeys_ = maxEntries;
    entrySize_ = entrySize;
    keyType_ = type == 'F' ? 'N' : type;
    firstBlock_ = static_cast<int32_t>(mdx::Get32(&h[mdx::kFirstBlockAt]));
    lastBlock_ = static_cast<int32_t>(mdx::Get32(&h[mdx::kLastBlockAt]));
    unique_ = h[mdx::kUniqueAt] != 0;
    ascending_ = (h[mdx::kKeyFormatAt] & mdx::kKeyFormatDescending) == 0;
    descending_ = !ascending_;
    reverseTraversal_ = false;
    keyExpression_ = CString(&h[mdx::kKeyExpressionAt], mdx::kKeyExpressionSize);
    hasFor_ = h[mdx::kHasForAt] != 0;
    forExpression_ = hasFor_ ? CString(&h[mdx::kForExpressionAt], h.size() - mdx::kForExpressionAt) : "";
    if (forExpression_.empty()) hasFor_ = false;
    CompileKeyExpression();
    CompileForExpression();
    HeaderWritten();
    return true;
}

void GSobjMDXTag::ReadHeader() {
    if (!ReadTagHeader()) ReportInvalid();
}

void GSobjMDXTag::WriteHeader() {
    if (!headerDirty_) return;
    std::vector<uint8_t> h(static_cast<size_t>(BlockSize()), 0);
    mdx::Put32(&h[mdx::kRootAt], static_cast<uint32_t>(rootPage_));
    uint8_t format = mdx::kKeyFormatBase;
    if (unique_) format |= mdx::kKeyFormatUnique;
    if (descending_) format |= mdx::kKeyFormatDescending;
    h[mdx::kKeyFormatAt] = format;
    h[mdx::kKeyTypeAt] = static_cast<uint8_t>(keyType_);
    mdx::Put16(&h[mdx::kKeyLengthAt], static_cast<uint32_t>(keyLength_));
    mdx::Put16(&h[mdx::kMaxEntriesAt], static_cast<uint32_t>(maxKeys_));
    mdx::Put16(&h[mdx::kEntrySizeAt], static_cast<uint32_t>(entrySize_));
    h[mdx::kUniqueAt] = unique_ ? mdx::kUniqueFlag : 0;
    std::memcpy(&h[mdx::kKeyExpressionAt], keyExpression_.data(),
                std::min(keyExpression_.size(), mdx::kKeyExpressionSize - 1));
    h[mdx::kHeaderOneAt] = 1;
    if (hasFor_) {
        h[mdx::kHasForAt] = 1;
        std::memcpy(&h[mdx::kForExpressionAt], forExpression_.data(),
                    std::min(forExpression_.size(), h.size() - mdx::kForExpressionAt - 1));
    }
    mdx::Put32(&h[mdx::kFirstBlockAt], static_cast<uint32_t>(firstBlock_));
    mdx::Put32(&h[mdx::kLastBlockAt], static_cast<uint32_t>(lastBlock_));
    file_->WriteBlock(headerPosition_, h.data(), BlockSize());
    HeaderWritten();
}

int32_t GSobjMDXTag::ChainBlock(int32_t position) {
    if (!headerDirty_) {
        // Another program sharing the file may have added blocks since the header was read.
        std::vector<uint8_t> h(mdx::kLastBlockAt + 4);
        if (file_->ReadBlock(headerPosition_, h.data(), static_cast<int32_t>(h.size()))) {
            firstBlock_ = static_cast<int32_t>(mdx::Get32(&h[mdx::kFirstBlockAt]));
            lastBlock_ = static_cast<int32_t>(mdx::Get32(&h[mdx::kLastBlockAt]));
        }
    }
    const int32_t before = lastBlock_;
    lastBlock_ = position;
    if (firstBlock_ == 0) firstBlock_ = position;
    headerDirty_ = true;
    return before;
}

void GSobjMDXTag::MoveHeader(int64_t at) {
    headerPosition_ = at;
    firstBlock_ = lastBlock_ = 0;
}

// ---- creating -------------------------------------------------------------------------------

void GSobjMDXTag::InitTag(const std::string& keyExpression, bool unique, bool ascending,
                          const std::string& forExpression) {
    if (keyExpression.size() >= mdx::kKeyExpressionSize)
        throw ERidedezError("Key expression of tag " + name_ + " is longer than " +
                            std::to_string(mdx::kKeyExpressionSize - 1) + " characters");
    GSobjIndexTag::InitTag(keyExpression, unique, ascending, forExpression);
    descending_ = !ascending;
    reverseTraversal_ = false;
    keyType_ = 'C';
    keyLength_ = 0;
    TgsVariant probe(gsKeyCapacity);
    bool ok = false;
    if (EvaluateKey(probe, ok) && ok) {
        switch (probe.Type()) {
            case TgsVariantType::Number: keyType_ = 'N'; keyLength_ = mdx::kNumberKeyLength; break;
            case TgsVariantType::Date: keyType_ = 'D'; keyLength_ = mdx::kDateKeyLength; break;
            case TgsVariantType::Logical: keyLength_ = 1; break;
            default: keyLength_ = static_cast<int>(probe.Length()); break;
        }
    }
    if (keyLength_ > mdx::kMaxKeyLength) {
        // The sorter refuses keys it cannot hold, with its own message.
        TgsSort refuse(keyLength_ + 1, false);
        throw ERidedezError("Sort key length greater than 240 bytes");
    }
    if (keyLength_ < 1) ReportInvalid();
    SetSizes();
    firstBlock_ = lastBlock_ = 0;
    Build();
}

void GSobjMDXTag::Build() {
    GSO_dBaseFld* table = Table();
    const int32_t where = table ? table->RecordNumber() : 0;
    std::vector<uint8_t> zero(static_cast<size_t>(BlockSize()), 0);
    file_->WriteBlock(headerPosition_, zero.data(), BlockSize());
    firstBlock_ = lastBlock_ = 0;
    if (!table || table->RecordCount() == 0) {
        rootPage_ = file_->AllocatePage();
        file_->WriteBlock(rootPage_, zero.data(), BlockSize());
        firstBlock_ = lastBlock_ = rootPage_;
    } else {
        GSobjSortMDX sort(*this);
        CollectKeys(sort, true);
        rootPage_ = sort.WritePages();
    }
    headerDirty_ = true;
    WriteHeader();
    if (table && where >= 1 && where <= table->RecordCount()) table->GoRecord(where);
}
