#include "index/cdx/GSobjCDXTag.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/DBFDate.h"
#include "engine/Exception.h"
#include "engine/dBaseFld.h"
#include "index/cdx/GSobjCDXFile.h"
#include "index/cdx/GSobjSortCDX.h"
#include "index/sort/TgsSort.h"

namespace {
std::string TrimRight(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}
}  // namespace

GSobjCDXTag::GSobjCDXTag(GSobjCDXFile* file, const std::string& name, int64_t headerPosition, bool directory)
    : GSobjIndexTag(file, name, headerPosition), directory_(directory) {
    classMarker[1] = 'C';
    classMarker[2] = 'D';
    classMarker[3] = 'X';
    if (directory_) {
        options_ = cdx::kOptionTag | cdx::kOptionDirectory;
        keyLength_ = cdx::kDirectoryKeyLength;
        keyType_ = 'C';
        SetSizes();
    }
}

GSobjCDXTag::~GSobjCDXTag() {
    try {
        ReleasePath();
    } catch (...) {
        root_.reset();
    }
    HeaderWritten();
}

GSobjCDXFile* GSobjCDXTag::CdxFile() const { return static_cast<GSobjCDXFile*>(file_); }

void GSobjCDXTag::SetSizes() {
    entrySize_ = keyLength_ + cdx::kBranchOverhead;
    maxKeys_ = cdx::BranchMax(keyLength_);
}

int64_t GSobjCDXTag::LargestRecord() const {
    if (directory_) return CdxFile()->FileEnd();
    GSO_dBaseFld* table = Table();
    return table ? table->RecordCount() : 0;
}

void GSobjCDXTag::RefuseGeneralUpdate() const {
    if (collation_ == cdx::kCollationGeneral)
        throw ERidedezError("Index tag " + name_ + " of " + file_->Name() +
                            " uses the GENERAL collation and cannot be updated");
}

// ---- keys ----------------------------------------------------------------------------------

std::string GSobjCDXTag::NumberKey(double value) {
    if (value == 0) value = 0;  // -0 sorts as 0
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    if (bits & 0x8000000000000000ull) {
        bits = ~bits;
    } else {
        bits |= 0x8000000000000000ull;
    }
    std::string out(cdx::kNumberKeyLength, '\0');
    for (int i = 0; i < cdx::kNumberKeyLength; ++i) out[static_cast<size_t>(i)] = static_cast<char>(bits >> (56 - 8 * i));
    return out;
}

void GSobjCDXTag::PrepareKey(TgsVariant& key) {
    if (NumberKeys()) {
        double value = 0;
        switch (key.Type()) {
            case TgsVariantType::Number: value = key.AsNumber(); break;
            case TgsVariantType::Date: value = key.AsDate(); break;
            case TgsVariantType::Bytes:
                if (key.Length() == static_cast<size_t>(cdx::kNumberKeyLength)) return;  // already a key
                [[fallthrough]];
            case TgsVariantType::Text: {
                std::string text = TrimRight(key.AsText());
                if (keyType_ == 'D') {
                    try {
                        value = text.empty() ? 0 : TgsDBFDate::Instance().JulianFromText(text);
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
        const std::string k = NumberKey(value);
        key.SetBytes(k.data(), k.size());
        return;
    }
    if (key.Type() == TgsVariantType::Logical) {
        key.SetText(key.AsLogical() ? "T" : "F");
        return;
    }
    if (key.Type() == TgsVariantType::Number || key.Type() == TgsVariantType::Date) {
        key.SetText(TrimRight(key.AsText()));
        return;
    }
    std::string text = TrimRight(key.AsText());
    if (directory_)
        for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (text.size() > static_cast<size_t>(keyLength_)) text.resize(static_cast<size_t>(keyLength_));
    key.SetText(text);
}

void GSobjCDXTag::FullKey(const TgsVariant& key, uint8_t* out, int& trail) const {
    const size_t length = static_cast<size_t>(keyLength_);
    const size_t n = std::min(key.Length(), length);
    if (NumberKeys()) {
        // Only trailing zero bytes of a number key are left out of a leaf: other programs
        // fill the dropped bytes of number keys with zeros whatever the sign, so the FFh
        // bytes that end a negative number are kept.
        const uint8_t filler = 0x00;
        std::memset(out, filler, length);
        if (n > 0) std::memcpy(out, key.Data(), n);
        size_t kept = length;
        while (kept > 0 && out[kept - 1] == filler) --kept;
        trail = static_cast<int>(length - kept);
        return;
    }
    std::memset(out, ' ', length);
    if (n > 0) std::memcpy(out, key.Data(), n);
    size_t kept = length;
    while (kept > 0 && out[kept - 1] == ' ') --kept;
    trail = static_cast<int>(length - kept);
}

bool GSobjCDXTag::InsertKey(const GSobjIndexKeyData& key) {
    RefuseGeneralUpdate();
    GSobjIndexKeyData entry(key);
    entry.compareRecord = entry.link;
    return GSobjIndexTag::InsertKey(entry);
}

// ---- header ----------------------------------------------------------------------------------

int32_t GSobjCDXTag::RootPage() {
    uint8_t head[4] = {};
    if (!file_->ReadBlock(headerPosition_, head, sizeof head)) ReportInvalid();
    const int64_t root = cdx::Get32(head + cdx::kRootAt);
    if (root == 0 || root % cdx::kNodeSize != 0 || !file_->BlockInFile(root, cdx::kNodeSize)) ReportInvalid();
    rootPage_ = static_cast<int32_t>(root);
    return rootPage_;
}

bool GSobjCDXTag::ReadTagHeader() {
    std::vector<uint8_t> h(cdx::kHeaderSize, 0);
    if (headerPosition_ < 0 || headerPosition_ % cdx::kNodeSize != 0 ||
        !file_->BlockInFile(headerPosition_, cdx::kHeaderSize) ||
        !file_->ReadBlock(headerPosition_, h.data(), cdx::kHeaderSize))
        return false;
    const int64_t root = cdx::Get32(&h[cdx::kRootAt]);
    const int keyLength = cdx::Get16(&h[cdx::kKeyLengthAt]);
    if (root == 0 || root % cdx::kNodeSize != 0 || !file_->BlockInFile(root, cdx::kNodeSize)) return false;
    if (keyLength < 1 || keyLength > cdx::kMaxKeyLength) return false;
    rootPage_ = static_cast<int32_t>(root);
    keyLength_ = keyLength;
    SetSizes();
    options_ = h[cdx::kOptionsAt];
    if (directory_) options_ = cdx::kOptionTag | cdx::kOptionDirectory;
    CdxFile()->SetChangeCounter(directory_ ? cdx::Get32(&h[cdx::kChangeCounterAt]) : CdxFile()->ChangeCounter());
    unique_ = (options_ & cdx::kOptionUnique) != 0;
    hasFor_ = (options_ & cdx::kOptionHasFor) != 0;
    ascending_ = cdx::Get16(&h[cdx::kDescendingAt]) == 0;
    // Keys are stored ascending; a descending tag is walked backwards.
    descending_ = false;
    reverseTraversal_ = !ascending_;
    const std::string collation(reinterpret_cast<const char*>(&h[cdx::kCollationAt]),
                                strnlen(reinterpret_cast<const char*>(&h[cdx::kCollationAt]), cdx::kCollationSize));
    collation_ = collation == cdx::kGeneralName   ? cdx::kCollationGeneral
                 : collation == cdx::kMachineName ? cdx::kCollationMachine
                                                  : cdx::kCollationNone;
    // The expressions: the key, a zero byte, the FOR condition, a zero byte.
    const char* text = reinterpret_cast<const char*>(&h[cdx::kExpressionsAt]);
    const size_t room = cdx::kHeaderSize - cdx::kExpressionsAt;
    const size_t keyTextLength = strnlen(text, room);
    keyExpression_.clear();
    forExpression_.clear();
    if (directory_) {
        keyType_ = 'C';
        HeaderWritten();
        return true;
    }
    keyExpression_.assign(text, keyTextLength);
    if (hasFor_ && keyTextLength + 1 < room) {
        const char* forText = text + keyTextLength + 1;
        forExpression_.assign(forText, strnlen(forText, room - keyTextLength - 1));
    }
    if (forExpression_.empty()) hasFor_ = false;
    CompileKeyExpression();
    CompileForExpression();
    keyType_ = 'C';
    if (keyHandler_) {
        TgsVariant probe(gsKeyCapacity);
        bool ok = false;
        if (EvaluateKey(probe, ok) && ok) {
            if (probe.Type() == TgsVariantType::Number) keyType_ = 'N';
            if (probe.Type() == TgsVariantType::Date) keyType_ = 'D';
        }
    }
    if (NumberKeys() && keyLength_ != cdx::kNumberKeyLength) return false;
    HeaderWritten();
    return true;
}

void GSobjCDXTag::ReadHeader() {
    if (!ReadTagHeader()) ReportInvalid();
}

void GSobjCDXTag::WriteHeader() {
    if (!headerDirty_) return;
    std::vector<uint8_t> h(cdx::kHeaderSize, 0);
    uint8_t options = directory_ ? static_cast<uint8_t>(cdx::kOptionTag | cdx::kOptionDirectory) : options_;
    options = static_cast<uint8_t>(options & ~(cdx::kOptionUnique | cdx::kOptionHasFor));
    if (unique_) options |= cdx::kOptionUnique;
    if (hasFor_) options |= cdx::kOptionHasFor;
    options_ = options;
    cdx::Put32(&h[cdx::kRootAt], static_cast<uint32_t>(rootPage_));
    cdx::Put32(&h[cdx::kChangeCounterAt], CdxFile()->ChangeCounter());
    cdx::Put16(&h[cdx::kKeyLengthAt], static_cast<uint32_t>(keyLength_));
    h[cdx::kOptionsAt] = options;
    h[cdx::kSignatureAt] = cdx::kSignatureMachine;
    if (!directory_ && collation_ == cdx::kCollationGeneral) {
        h[cdx::kSignatureAt] = cdx::kSignatureGeneral;
        std::memcpy(&h[cdx::kCollationAt], cdx::kGeneralName, sizeof cdx::kGeneralName - 1);
    }
    cdx::Put16(&h[cdx::kDescendingAt], ascending_ ? 0 : 1);
    const size_t room = cdx::kHeaderSize - cdx::kExpressionsAt;
    const size_t keyText = std::min(keyExpression_.size(), room - 2);
    const size_t forText = hasFor_ ? std::min(forExpression_.size(), room - 2 - keyText) : 0;
    cdx::Put16(&h[cdx::kKeyTextLengthAt], static_cast<uint32_t>(keyText + 1));
    cdx::Put16(&h[cdx::kForTextLengthAt], static_cast<uint32_t>(forText + 1));
    cdx::Put16(&h[cdx::kKeyTextLength2At], static_cast<uint32_t>(keyText + 1));
    std::memcpy(&h[cdx::kExpressionsAt], keyExpression_.data(), keyText);
    if (forText > 0) std::memcpy(&h[cdx::kExpressionsAt + keyText + 1], forExpression_.data(), forText);
    file_->WriteBlock(headerPosition_, h.data(), cdx::kHeaderSize);
    HeaderWritten();
}

// ---- creating -------------------------------------------------------------------------------

void GSobjCDXTag::WriteEmptyRoot(int32_t at) {
    GSobjSortCDX sort(*this, keyLength_ + 1);
    rootPage_ = sort.WriteEmptyRoot(at);
}

void GSobjCDXTag::InitTag(const std::string& keyExpression, bool unique, bool ascending,
                          const std::string& forExpression) {
    if (directory_) {
        // The directory has no expressions: its keys are the tag names.
        keyExpression_.clear();
        forExpression_.clear();
        unique_ = hasFor_ = false;
    } else {
        GSobjIndexTag::InitTag(keyExpression, unique, ascending, forExpression);
    }
    ascending_ = ascending;
    descending_ = false;
    reverseTraversal_ = !ascending;
    collation_ = cdx::kCollationMachine;
    keyType_ = 'C';
    if (directory_) {
        keyLength_ = cdx::kDirectoryKeyLength;
    } else {
        keyLength_ = 0;
        TgsVariant probe(gsKeyCapacity);
        bool ok = false;
        if (EvaluateKey(probe, ok) && ok) {
            switch (probe.Type()) {
                case TgsVariantType::Number: keyType_ = 'N'; keyLength_ = cdx::kNumberKeyLength; break;
                case TgsVariantType::Date: keyType_ = 'D'; keyLength_ = cdx::kNumberKeyLength; break;
                case TgsVariantType::Logical: keyLength_ = 1; break;
                default: keyLength_ = static_cast<int>(probe.Length()); break;
            }
        }
        if (keyLength_ > cdx::kMaxKeyLength) {
            // The sorter refuses keys it cannot hold, with its own message.
            TgsSort refuse(keyLength_ + 1, false);
            throw ERidedezError("Sort key length greater than 240 bytes");
        }
        if (keyLength_ < 1) ReportInvalid();
    }
    SetSizes();
    std::vector<uint8_t> zero(cdx::kHeaderSize, 0);
    file_->WriteBlock(headerPosition_, zero.data(), cdx::kHeaderSize);
    Build();
}

void GSobjCDXTag::Build() {
    GSO_dBaseFld* table = Table();
    const int32_t where = table ? table->RecordNumber() : 0;
    GSobjSortCDX sort(*this, keyLength_ + 1);
    if (!directory_) CollectKeys(sort, true);
    rootPage_ = sort.WritePages();
    headerDirty_ = true;
    WriteHeader();
    if (table && where >= 1 && where <= table->RecordCount()) table->GoRecord(where);
}
