// What the index checker asks of NTX tags beyond the tree: the header's fields against the
// key expression, and each page's offset table (every item inside the page, none shared).

#include <algorithm>
#include <exception>
#include <vector>

#include "index/core/GSobjIndexFile.h"
#include "index/core/GSobjIndexKey.h"
#include "index/expr/TgsVariant.h"
#include "index/ntx/GSobjNTXTag.h"
#include "index/ntx/NtxLayout.h"

void GSobjNTXTag::CheckHeader(std::vector<std::string>& problems) {
    uint8_t h[ntx::kPageSize];
    if (!file_->ReadBlock(headerPosition_, h, sizeof h)) {
        problems.push_back("the header cannot be read");
        return;
    }
    const uint16_t signature = ntx::Get16(h + ntx::kSignatureAt);
    if (signature != ntx::kSignature && signature != ntx::kSignatureFor)
        problems.push_back("the signature is " + std::to_string(signature) + ", not 6 or 7");
    if (keyExpression_.empty()) problems.push_back("the tag has no key expression");
    if (!Table()) return;
    try {
        TgsVariant probe(gsKeyCapacity);
        bool ok = false;
        if (!EvaluateKey(probe, ok) || !ok) return;
        int expected = -1;
        switch (probe.Type()) {
            case TgsVariantType::Date: expected = 8; break;
            case TgsVariantType::Logical: expected = 1; break;
            case TgsVariantType::Text: expected = static_cast<int>(probe.Length()); break;
            default: break;  // numbers take the width the writer chose
        }
        if (expected > 0 && expected <= ntx::kMaxKeyLength && expected != keyLength_)
            problems.push_back("the key length is " + std::to_string(keyLength_) + " but the key expression gives " +
                               std::to_string(expected) + " bytes");
    } catch (const std::exception& e) {
        problems.push_back(std::string("the key expression cannot be evaluated: ") + e.what());
    }
}

void GSobjNTXTag::CheckPage(const GSobjIndexKey& node, bool, std::vector<std::string>& problems) {
    const std::string name = "page " + std::to_string(node.pageNumber);
    uint8_t p[ntx::kPageSize];
    if (!file_->ReadBlock(node.pageNumber, p, sizeof p)) {
        problems.push_back(name + " cannot be read");
        return;
    }
    const int count = ntx::Get16(p + ntx::kCountAt);
    if (count == 0 && ntx::Get16(p + ntx::kOffsetTableAt) == 0) return;  // an all-zero empty page
    // The items in use and the one after them (a branch's last child) lie apart.
    std::vector<size_t> offsets;
    for (int slot = 0; slot <= count && slot <= maxKeys_; ++slot)
        offsets.push_back(ntx::Get16(p + ntx::kOffsetTableAt + 2 * static_cast<size_t>(slot)));
    std::sort(offsets.begin(), offsets.end());
    for (size_t i = 0; i + 1 < offsets.size(); ++i) {
        if (offsets[i] + static_cast<size_t>(entrySize_) > offsets[i + 1]) {
            problems.push_back(name + ": items at " + std::to_string(offsets[i]) + " and " +
                               std::to_string(offsets[i + 1]) + " overlap");
            break;
        }
    }
    const size_t tableEnd = ntx::kOffsetTableAt + 2 * static_cast<size_t>(maxKeys_ + 1);
    if (!offsets.empty() && offsets.front() < tableEnd)
        problems.push_back(name + ": an item lies inside the offset table");
}
