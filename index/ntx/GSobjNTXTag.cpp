#include "index/ntx/GSobjNTXTag.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/DBFDate.h"
#include "engine/Exception.h"
#include "engine/dBaseFld.h"
#include "index/expr/TgsExpHandler.h"
#include "index/ntx/GSobjNTXFile.h"
#include "index/ntx/GSobjSortNTX.h"
#include "index/ntx/NtxLayout.h"

namespace {
constexpr char kNegativeBase = 92;  // a digit c of a negative number becomes 92 - c

std::string CString(const uint8_t* p, size_t max) {
    size_t n = 0;
    while (n < max && p[n] != 0) ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}
}  // namespace

GSobjNTXTag::GSobjNTXTag(GSobjNTXFile* file, const std::string& name, int64_t headerPosition)
    : GSobjIndexTag(file, name, headerPosition) {
    classMarker[1] = 'N';
    classMarker[2] = 'T';
    classMarker[3] = 'X';
    OfferPageSearch();
}

GSobjNTXTag::~GSobjNTXTag() {
    try {
        ReleasePath();
    } catch (...) {
        root_.reset();
    }
    // A header that could not be written stays as the file holds it; the base class's
    // destructor must not try again (its header writer is gone by then).
    HeaderWritten();
}

GSobjNTXFile* GSobjNTXTag::NtxFile() const { return static_cast<GSobjNTXFile*>(file_); }

// ---- keys ----------------------------------------------------------------------------------

namespace {
// printf's "%*.*f" of a non-negative value into `buf` (400 bytes); answers its length.
// Values whose scaled form is an integer well away from a rounding tie are written
// directly: the result is the same digits, without the library's exact arithmetic.
int FormatFixed(double magnitude, int length, int decimals, char* buf) {
    static constexpr double kPowers[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    static constexpr double kDirectBelow = 4e9;  // the product's error stays below 2e-6
    static constexpr double kTieMargin = 1e-4;
    if (decimals <= 9 && length < 64) {
        const double scaled = magnitude * kPowers[decimals];
        if (scaled < kDirectBelow) {
            const double whole = std::floor(scaled);
            const double fraction = scaled - whole;
            if (std::fabs(fraction - 0.5) > kTieMargin) {
                uint64_t r = static_cast<uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
                char digits[32];
                int n = 0;
                for (int i = 0; i < decimals; ++i, r /= 10) digits[n++] = static_cast<char>('0' + r % 10);
                if (decimals > 0) digits[n++] = '.';
                do {
                    digits[n++] = static_cast<char>('0' + r % 10);
                    r /= 10;
                } while (r > 0);
                const int width = n < length ? length : n;
                int at = 0;
                while (at < width - n) buf[at++] = ' ';
                while (n > 0) buf[at++] = digits[--n];
                buf[at] = 0;
                return at;
            }
        }
    }
    return std::snprintf(buf, 400, "%*.*f", length, decimals, magnitude);
}
}  // namespace

std::string GSobjNTXTag::NumberKey(double value, int length, int decimals) {
    if (length <= 0) return std::string();
    if (decimals < 0) decimals = 0;
    if (decimals > 15) decimals = 15;
    char buf[400];
    const double magnitude = std::fabs(value);
    int n = std::isfinite(magnitude) && magnitude < 1e300 ? FormatFixed(magnitude, length, decimals, buf) : -1;
    std::string s;
    if (n < 0 || n > length) {
        s.assign(static_cast<size_t>(length), '*');  // does not fit, as STR() shows it
    } else {
        s.assign(buf, static_cast<size_t>(n));
    }
    for (char& c : s)
        if (c == ' ') c = '0';
    if (value < 0 && magnitude != 0) {
        for (char& c : s)
            if (c >= '0' && c <= '9') c = static_cast<char>(kNegativeBase - c);
    }
    return s;
}

void GSobjNTXTag::PrepareKey(TgsVariant& key) {
    switch (key.Type()) {
        case TgsVariantType::Number:
            key.SetText(NumberKey(key.AsNumber(), keyLength_, decimals_));
            break;
        case TgsVariantType::Date: {
            int32_t day = key.AsDate();
            key.SetText(day > 0 ? TgsDBFDate::Instance().JulianToStorage(day) : std::string("00000000"));
            break;
        }
        case TgsVariantType::Logical: key.SetText(key.AsLogical() ? "T" : "F"); break;
        case TgsVariantType::Text:
        case TgsVariantType::Bytes: {
            size_t n = key.Length();
            while (n > 0 && key.Data()[n - 1] == ' ') --n;
            if (keyType_ != 'N') {
                // Trimmed in place: a text key needs no copy.
                key.SetText(reinterpret_cast<const char*>(key.Data()), n);
                break;
            }
            std::string text(reinterpret_cast<const char*>(key.Data()), n);
            if (!text.empty()) {
                // A number typed as text is sought as that number.
                char* end = nullptr;
                double v = std::strtod(text.c_str(), &end);
                if (end && *end == 0) {
                    key.SetText(NumberKey(v, keyLength_, decimals_));
                    break;
                }
            }
            key.SetText(text);
            break;
        }
        default: key.SetText(""); break;
    }
}

void GSobjNTXTag::SetSizes() {
    entrySize_ = keyLength_ + ntx::kItemOverhead;
    maxKeys_ = ntx::MaxItems(keyLength_);
    half_ = maxKeys_ / 2;
}

// ---- header ----------------------------------------------------------------------------------

int32_t GSobjNTXTag::ReadHeaderStart(uint8_t (&head)[kHeaderStart]) {
    if (!file_->ReadBlock(headerPosition_, head, sizeof head)) ReportInvalid();
    const int64_t root = ntx::Get32(head + ntx::kRootAt);
    if (root < ntx::kPageSize || root % ntx::kPageSize != 0 || !file_->BlockInFile(root, ntx::kPageSize))
        ReportInvalid();
    return static_cast<int32_t>(root);
}

int32_t GSobjNTXTag::RootPage() {
    uint8_t head[kHeaderStart] = {};
    return ReadHeaderStart(head);
}

void GSobjNTXTag::RereadChangingFields() {
    uint8_t head[kHeaderStart] = {};
    rootPage_ = ReadHeaderStart(head);
    NtxFile()->SetChangeCounter(ntx::Get16(head + ntx::kChangeCounterAt));
}

void GSobjNTXTag::ReadHeader() {
    std::vector<uint8_t> h(ntx::kPageSize, 0);
    if (!file_->ReadBlock(headerPosition_, h.data(), ntx::kPageSize)) ReportInvalid();
    const uint16_t signature = ntx::Get16(&h[ntx::kSignatureAt]);
    const int itemSize = ntx::Get16(&h[ntx::kItemSizeAt]);
    const int keyLength = ntx::Get16(&h[ntx::kKeyLengthAt]);
    const int maxItems = ntx::Get16(&h[ntx::kMaxItemsAt]);
    const int half = ntx::Get16(&h[ntx::kHalfItemsAt]);
    // The items of a full page and its offset table must fit the page.
    if (keyLength < 1 || keyLength > ntx::kMaxKeyLength || itemSize != keyLength + ntx::kItemOverhead ||
        maxItems < 2 || half < 1 || half > maxItems ||
        ntx::kOffsetTableAt + 2 * static_cast<size_t>(maxItems + 1) +
                static_cast<size_t>(maxItems + 1) * static_cast<size_t>(itemSize) >
            static_cast<size_t>(ntx::kPageSize))
        ReportInvalid();
    const int64_t root = ntx::Get32(&h[ntx::kRootAt]);
    if (root < ntx::kPageSize || root % ntx::kPageSize != 0 || !file_->BlockInFile(root, ntx::kPageSize))
        ReportInvalid();
    rootPage_ = static_cast<int32_t>(root);
    NtxFile()->SetChangeCounter(ntx::Get16(&h[ntx::kChangeCounterAt]));
    keyLength_ = keyLength;
    maxKeys_ = maxItems;
    half_ = half;
    decimals_ = ntx::Get16(&h[ntx::kDecimalsAt]);
    entrySize_ = itemSize;
    unique_ = (h[ntx::kUniqueAt] & 1) != 0;
    // Files written descending keep their keys in descending order.
    descending_ = (h[ntx::kDescendingAt] & 1) != 0;
    ascending_ = !descending_;
    keyExpression_ = CString(&h[ntx::kKeyExpressionAt], ntx::kKeyExpressionSize);
    hasFor_ = (signature & ntx::kHasForBit) != 0;
    forExpression_ = hasFor_ ? CString(&h[ntx::kForExpressionAt], ntx::kForExpressionSize) : std::string();
    if (hasFor_ && forExpression_.empty()) hasFor_ = false;
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
    HeaderWritten();
}

void GSobjNTXTag::WriteHeader() {
    if (!headerDirty_) return;
    std::array<uint8_t, ntx::kPageSize> h{};
    ntx::Put16(&h[ntx::kSignatureAt], hasFor_ ? ntx::kSignatureFor : ntx::kSignature);
    ntx::Put16(&h[ntx::kChangeCounterAt], NtxFile()->ChangeCounter());
    ntx::Put32(&h[ntx::kRootAt], static_cast<uint32_t>(rootPage_));
    ntx::Put16(&h[ntx::kItemSizeAt], static_cast<uint32_t>(entrySize_));
    ntx::Put16(&h[ntx::kKeyLengthAt], static_cast<uint32_t>(keyLength_));
    ntx::Put16(&h[ntx::kDecimalsAt], static_cast<uint32_t>(decimals_));
    ntx::Put16(&h[ntx::kMaxItemsAt], static_cast<uint32_t>(maxKeys_));
    ntx::Put16(&h[ntx::kHalfItemsAt], static_cast<uint32_t>(half_));
    std::memcpy(&h[ntx::kKeyExpressionAt], keyExpression_.data(),
                std::min(keyExpression_.size(), ntx::kKeyExpressionSize - 1));
    h[ntx::kUniqueAt] = unique_ ? 1 : 0;
    h[ntx::kDescendingAt] = descending_ ? 1 : 0;
    if (hasFor_)
        std::memcpy(&h[ntx::kForExpressionAt], forExpression_.data(),
                    std::min(forExpression_.size(), ntx::kForExpressionSize - 1));
    WriteChangedBytes(h.data());
    NtxFile()->CounterWritten();
    HeaderWritten();
}

void GSobjNTXTag::WriteChangedBytes(const uint8_t* header) {
    // Pages kept in memory show the header as the file holds it: only the bytes that
    // differ (the change counter and the root, as keys are added) need writing.
    uint8_t buffer[ntx::kPageSize];
    const uint8_t* held = file_->KeepsPages() ? file_->ViewBlock(headerPosition_, ntx::kPageSize, buffer) : nullptr;
    if (!held) {
        file_->WriteBlock(headerPosition_, header, ntx::kPageSize);
        return;
    }
    size_t first = 0;
    size_t end = ntx::kPageSize;
    while (first < end && header[first] == held[first]) ++first;
    // The tail (the expressions' zero padding) is mostly unchanged: compared a word at a time.
    while (end >= first + sizeof(uint64_t) &&
           std::memcmp(header + end - sizeof(uint64_t), held + end - sizeof(uint64_t), sizeof(uint64_t)) == 0)
        end -= sizeof(uint64_t);
    while (end > first && header[end - 1] == held[end - 1]) --end;
    if (first < end) file_->WriteBlock(headerPosition_ + static_cast<int64_t>(first), header + first, static_cast<int32_t>(end - first));
}

// ---- creating -------------------------------------------------------------------------------

void GSobjNTXTag::InitTag(const std::string& keyExpression, bool unique, bool ascending,
                          const std::string& forExpression) {
    GSobjIndexTag::InitTag(keyExpression, unique, ascending, forExpression);
    descending_ = !ascending;
    GSO_dBaseFld* table = Table();
    TgsVariant probe(gsKeyCapacity);
    bool ok = false;
    keyType_ = 'C';
    decimals_ = 0;
    keyLength_ = 0;
    if (EvaluateKey(probe, ok) && ok) {
        switch (probe.Type()) {
            case TgsVariantType::Number:
                keyType_ = 'N';
                keyLength_ = keyHandler_->LargestWidth();
                decimals_ = keyHandler_->LargestDecimals();
                if (keyLength_ <= 0) keyLength_ = 10;
                break;
            case TgsVariantType::Date:
                keyType_ = 'D';
                keyLength_ = 8;
                break;
            case TgsVariantType::Logical: keyLength_ = 1; break;
            default: keyLength_ = static_cast<int>(probe.Length()); break;
        }
    }
    if (keyLength_ < 1 || keyLength_ > ntx::kMaxKeyLength) {
        // The sorter refuses keys it cannot hold, with its own message.
        TgsSort refuse(keyLength_ + 1, false);
        throw ERidedezError("Sort key length greater than 240 bytes");
    }
    SetSizes();
    std::vector<uint8_t> zero(ntx::kPageSize, 0);
    // A file being rebuilt keeps its header (naming its emptied root) until the build is
    // done, so that a build that fails part-way leaves a file that opens and is rebuilt
    // again; a new file gets its header's page reserved.
    if (!file_->BlockInFile(headerPosition_, ntx::kPageSize))
        file_->WriteBlock(headerPosition_, zero.data(), ntx::kPageSize);
    if (!table || table->RecordCount() == 0) {
        rootPage_ = file_->AllocatePage();
        file_->WriteBlock(rootPage_, zero.data(), ntx::kPageSize);
        headerDirty_ = true;
        WriteHeader();
        return;
    }
    Build();
    headerDirty_ = true;
    WriteHeader();
}

void GSobjNTXTag::Build() {
    GSO_dBaseFld* table = Table();
    const int32_t where = table ? table->RecordNumber() : 0;
    GSobjSortNTX sort(*this, keyLength_ + 1);
    CollectKeys(sort, true);
    rootPage_ = sort.WritePages();
    if (table && where >= 1 && where <= table->RecordCount()) table->GoRecord(where);
}
