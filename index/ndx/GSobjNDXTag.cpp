#include "index/ndx/GSobjNDXTag.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/DBFDate.h"
#include "engine/Exception.h"
#include "engine/dBaseFld.h"
#include "index/ndx/GSobjNDXFile.h"
#include "index/ndx/GSobjSortNdx.h"
#include "index/ndx/NdxLayout.h"
#include "index/sort/TgsSort.h"

namespace {
std::string TrimRight(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

std::string CString(const uint8_t* p, size_t max) {
    size_t n = 0;
    while (n < max && p[n] != 0) ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}
}  // namespace

GSobjNDXTag::GSobjNDXTag(GSobjNDXFile* file, const std::string& name, int64_t headerPosition)
    : GSobjIndexTag(file, name, headerPosition) {
    classMarker[1] = 'N';
    classMarker[2] = 'D';
    classMarker[3] = 'X';
    formatWord_ = 1;
}

GSobjNDXTag::~GSobjNDXTag() {
    try {
        ReleasePath();
    } catch (...) {
        root_.reset();
    }
    // A header that could not be written stays as the file holds it; the base class's
    // destructor must not try again (its header writer is gone by then).
    HeaderWritten();
}

GSobjNDXFile* GSobjNDXTag::NdxFile() const { return static_cast<GSobjNDXFile*>(file_); }

// ---- keys ----------------------------------------------------------------------------------

void GSobjNDXTag::PrepareKey(TgsVariant& key) {
    if (!NumberKeys()) {
        if (key.Type() == TgsVariantType::Logical) {
            key.SetText(key.AsLogical() ? "T" : "F");
        } else if (key.Type() == TgsVariantType::Text || key.Type() == TgsVariantType::Bytes) {
            key.SetText(TrimRight(key.AsText()));
        } else {
            key.SetText(TrimRight(key.AsText()));
        }
        return;
    }
    double value = 0;
    switch (key.Type()) {
        case TgsVariantType::Number: value = key.AsNumber(); break;
        case TgsVariantType::Date: value = key.AsDate(); break;
        case TgsVariantType::Text:
        case TgsVariantType::Bytes: {
            std::string text = TrimRight(key.AsText());
            if (keyType_ == 'D') {
                try {
                    value = TgsDBFDate::Instance().JulianFromText(text);
                } catch (const Exception&) {
                    value = 0;
                }
            } else {
                value = std::strtod(text.c_str(), nullptr);
            }
            break;
        }
        default: break;
    }
    if (keyType_ == 'D' && value < 0.1) value = ndx::kBlankDate;
    key.SetNumber(value);
}

void GSobjNDXTag::KeyBytes(const TgsVariant& key, uint8_t* out) const {
    if (NumberKeys()) {
        double v = key.Type() == TgsVariantType::Number ? key.AsNumber() : 0;
        std::memcpy(out, &v, sizeof v);
        return;
    }
    std::memset(out, ' ', static_cast<size_t>(keyLength_));
    const size_t n = std::min(key.Length(), static_cast<size_t>(keyLength_));
    if (n > 0) std::memcpy(out, key.Data(), n);
}

bool GSobjNDXTag::InsertKey(const GSobjIndexKeyData& key) {
    GSobjIndexKeyData entry(key);
    entry.compareRecord = 0;
    return GSobjIndexTag::InsertKey(entry);
}

// ---- header ----------------------------------------------------------------------------------

int32_t GSobjNDXTag::RootPage() {
    uint8_t head[4] = {};
    if (!file_->ReadBlock(headerPosition_, head, sizeof head)) ReportInvalid();
    const int64_t root = ndx::Get32(head + ndx::kRootAt);
    if (root < 1 || !file_->BlockInFile(root * ndx::kPageSize, ndx::kPageSize)) ReportInvalid();
    return static_cast<int32_t>(root);
}

void GSobjNDXTag::ReadHeader() {
    std::vector<uint8_t> h(ndx::kPageSize, 0);
    if (!file_->ReadBlock(headerPosition_, h.data(), ndx::kPageSize)) ReportInvalid();
    const int keyLength = ndx::Get16(&h[ndx::kKeyLengthAt]);
    const int maxEntries = ndx::Get16(&h[ndx::kMaxEntriesAt]);
    const int entrySize = ndx::Get16(&h[ndx::kEntrySizeAt]);
    // The entries of a full page must fit it, each with its key.
    if (keyLength < 1 || keyLength > ndx::kMaxKeyLength || entrySize < keyLength + ndx::kEntryOverhead ||
        maxEntries < 2 || static_cast<size_t>(ndx::kEntriesAt) + static_cast<size_t>(maxEntries) * entrySize >
                              static_cast<size_t>(ndx::kPageSize))
        ReportInvalid();
    const int64_t root = ndx::Get32(&h[ndx::kRootAt]);
    if (root < 1 || !file_->BlockInFile(root * ndx::kPageSize, ndx::kPageSize)) ReportInvalid();
    rootPage_ = static_cast<int32_t>(root);
    keyLength_ = keyLength;
    maxKeys_ = maxEntries;
    entrySize_ = entrySize;
    unique_ = (h[ndx::kUniqueAt] & 1) != 0;
    keyExpression_ = CString(&h[ndx::kKeyExpressionAt], ndx::kKeyExpressionSize);
    hasFor_ = false;
    CompileKeyExpression();
    keyType_ = 'C';
    if (keyHandler_) {
        TgsVariant probe(gsKeyCapacity);
        bool ok = false;
        if (EvaluateKey(probe, ok) && ok) {
            if (probe.Type() == TgsVariantType::Number) keyType_ = 'N';
            if (probe.Type() == TgsVariantType::Date) keyType_ = 'D';
        }
    }
    if (NumberKeys() && keyLength_ != ndx::kNumberKeyLength) ReportInvalid();
    HeaderWritten();
}

void GSobjNDXTag::WriteHeader() {
    if (!headerDirty_) return;
    std::vector<uint8_t> h(ndx::kPageSize, 0);
    ndx::Put32(&h[ndx::kRootAt], static_cast<uint32_t>(rootPage_));
    ndx::Put32(&h[ndx::kPageCountAt], static_cast<uint32_t>(file_->PageCount() < 0 ? NdxFile()->ReadPageCount()
                                                                                     : file_->PageCount()));
    ndx::Put16(&h[ndx::kKeyLengthAt], static_cast<uint32_t>(NumberKeys() ? ndx::kNumberKeyLength : keyLength_));
    ndx::Put16(&h[ndx::kMaxEntriesAt], static_cast<uint32_t>(maxKeys_));
    ndx::Put16(&h[ndx::kKeyTypeAt], NumberKeys() ? ndx::kKeyTypeNumber : ndx::kKeyTypeText);
    ndx::Put16(&h[ndx::kEntrySizeAt], static_cast<uint32_t>(entrySize_));
    h[ndx::kUniqueAt] = unique_ ? 1 : 0;
    std::memcpy(&h[ndx::kKeyExpressionAt], keyExpression_.data(),
                std::min(keyExpression_.size(), ndx::kKeyExpressionSize - 1));
    file_->WriteBlock(headerPosition_, h.data(), ndx::kPageSize);
    HeaderWritten();
}

// ---- creating -------------------------------------------------------------------------------

void GSobjNDXTag::InitTag(const std::string& keyExpression, bool unique, bool ascending,
                          const std::string& forExpression) {
    GSobjIndexTag::InitTag(keyExpression, unique, ascending, forExpression);
    // NDX files have neither a FOR condition nor a descending order.
    hasFor_ = false;
    descending_ = false;
    ascending_ = true;
    TgsVariant probe(gsKeyCapacity);
    bool ok = false;
    keyType_ = 'C';
    keyLength_ = 0;
    int sizing = 0;
    if (EvaluateKey(probe, ok) && ok) {
        switch (probe.Type()) {
            case TgsVariantType::Number:
                keyType_ = 'N';
                keyLength_ = ndx::kNumberKeyLength;
                sizing = ndx::kNumberSizingLength;
                break;
            case TgsVariantType::Date:
                keyType_ = 'D';
                keyLength_ = sizing = ndx::kNumberKeyLength;
                break;
            case TgsVariantType::Logical: keyLength_ = sizing = 1; break;
            default: keyLength_ = sizing = static_cast<int>(probe.Length()); break;
        }
    }
    if (keyLength_ > ndx::kMaxKeyLength) {
        // The sorter refuses keys it cannot hold, with its own message.
        TgsSort refuse(keyLength_ + 1, false);
        throw ERidedezError("Sort key length greater than 240 bytes");
    }
    if (keyLength_ < 1) ReportInvalid();
    entrySize_ = ndx::EntrySize(sizing);
    maxKeys_ = ndx::MaxEntries(entrySize_);
    std::vector<uint8_t> zero(ndx::kPageSize, 0);
    file_->WriteBlock(headerPosition_, zero.data(), ndx::kPageSize);
    GSO_dBaseFld* table = Table();
    if (!table || table->RecordCount() == 0) {
        rootPage_ = file_->AllocatePage();
        file_->WriteBlock(rootPage_, zero.data(), ndx::kPageSize);
        headerDirty_ = true;
        WriteHeader();
        return;
    }
    Build();
}

void GSobjNDXTag::Build() {
    GSO_dBaseFld* table = Table();
    const int32_t where = table ? table->RecordNumber() : 0;
    GSobjSortNdx sort(*this, keyLength_ + 1);
    CollectKeys(sort, false);
    rootPage_ = sort.WritePages();
    headerDirty_ = true;
    WriteHeader();
    if (table && where >= 1 && where <= table->RecordCount()) table->GoRecord(where);
}
