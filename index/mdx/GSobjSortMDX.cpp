#include "index/mdx/GSobjSortMDX.h"

#include <cstring>

#include "engine/dBaseFld.h"
#include "index/core/GSobjIndexFile.h"
#include "index/mdx/GSobjMDXTag.h"
#include "index/mdx/MdxLayout.h"

GSobjSortMDX::GSobjSortMDX(GSobjMDXTag& tag)
    : TgsSort(SortKeyLength(tag), tag.Unique()),
      tag_(tag),
      reversed_(tag.Descending()),
      writer_(*tag.File(), mdx::kUnitSize) {}

int GSobjSortMDX::SortKeyLength(const GSobjMDXTag& tag) {
    if (tag.KeyType() == 'C' && tag.Descending()) return tag.KeyLength() + 1;
    return tag.KeyLength();
}

// Text: every byte inverted, padded with FFh to the key length, then the number of bytes
// short of the key length (so that a key sorts after every longer key it begins). Numbers'
// comparable bytes: inverted. Dates: negated.
void GSobjSortMDX::Reverse(const TgsVariant& key, TgsVariant& out) const {
    if (tag_.DateKeys()) {
        out.SetNumber(-key.AsNumber());
        return;
    }
    const size_t length = tag_.NumberKeys() ? key.Length() : static_cast<size_t>(tag_.KeyLength());
    std::vector<uint8_t> bytes(length + (tag_.NumberKeys() ? 0 : 1), 0xFF);
    const size_t n = std::min(key.Length(), length);
    for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(~key.Data()[i]);
    if (!tag_.NumberKeys()) bytes[length] = static_cast<uint8_t>(length - n);
    out.SetBytes(bytes.data(), bytes.size());
}

void GSobjSortMDX::Unreverse(const TgsVariant& key, TgsVariant& out) const {
    if (tag_.DateKeys()) {
        out.SetNumber(-key.AsNumber());
        return;
    }
    std::vector<uint8_t> bytes(key.Data(), key.Data() + key.Length());
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(~b);
    if (tag_.NumberKeys()) {
        out.SetBytes(bytes.data(), bytes.size());
        return;
    }
    const size_t length = static_cast<size_t>(tag_.KeyLength());
    const size_t shortBy = bytes.size() > length ? static_cast<uint8_t>(~bytes[length]) : 0;
    out.SetText(reinterpret_cast<const char*>(bytes.data()), shortBy <= length ? length - shortBy : 0);
}

void GSobjSortMDX::AddKey(const TgsVariant& key, int32_t record) {
    if (!reversed_) {
        TgsSort::AddKey(key, record);
        return;
    }
    TgsVariant reversed(gsKeyCapacity);
    Reverse(key, reversed);
    TgsSort::AddKey(reversed, record);
}

void GSobjSortMDX::Add(size_t index, int32_t link, const uint8_t* key) {
    if (index >= static_cast<size_t>(gsMaxIndexDepth)) tag_.ReportInvalid();
    if (index >= levels_.size()) levels_.push_back({std::vector<uint8_t>(static_cast<size_t>(tag_.BlockSize()), 0), 0});
    Level& level = levels_[index];
    uint8_t* e = &level.block[mdx::kEntriesAt + static_cast<size_t>(level.count) * static_cast<size_t>(tag_.EntrySize())];
    mdx::Put32(e + mdx::kEntryLinkAt, static_cast<uint32_t>(link));
    std::memcpy(e + mdx::kEntryKeyAt, key, static_cast<size_t>(tag_.KeyLength()));
    ++level.count;
    if (level.count >= tag_.MaxKeys()) Flush(index, true);
}

int32_t GSobjSortMDX::Flush(size_t index, bool push) {
    Level& level = levels_[index];
    const size_t entrySize = static_cast<size_t>(tag_.EntrySize());
    const size_t keyLength = static_cast<size_t>(tag_.KeyLength());
    std::vector<uint8_t> lastKey(keyLength, 0);
    if (level.count > 0) {
        uint8_t* last = &level.block[mdx::kEntriesAt + static_cast<size_t>(level.count - 1) * entrySize + mdx::kEntryKeyAt];
        std::memcpy(lastKey.data(), last, keyLength);
        // A branch block's last entry keeps no key.
        if (index > 0) std::memset(last, 0, keyLength);
    }
    const int count = index > 0 && level.count > 0 ? level.count - 1 : level.count;
    mdx::Put32(&level.block[mdx::kCountAt], static_cast<uint32_t>(count));
    const int32_t at = tag_.File()->AllocatePage();
    mdx::Put32(&level.block[mdx::kBackChainAt], static_cast<uint32_t>(tag_.ChainBlock(at)));
    writer_.Write(at, level.block.data(), static_cast<size_t>(tag_.BlockSize()));
    std::fill(level.block.begin(), level.block.end(), 0);
    level.count = 0;
    if (push) Add(index + 1, at, lastKey.data());
    return at;
}

int32_t GSobjSortMDX::WritePages() {
    GSO_dBaseFld* table = tag_.Table();
    if (table) table->StatusReport(-1, gsStatusIndexPages, KeysAdded());
    std::vector<uint8_t> key(static_cast<size_t>(tag_.KeyLength()));
    TgsVariant value(gsKeyCapacity);
    TgsVariant plain(gsKeyCapacity);
    int32_t record = 0;
    int32_t written = 0;
    while (NextKey(value, record)) {
        if (reversed_) {
            Unreverse(value, plain);
            tag_.StoredKey(plain, key.data());
        } else {
            tag_.StoredKey(value, key.data());
        }
        Add(0, record, key.data());
        if (table) table->StatusReport(gsStatusIndexPages, ++written, 0);
    }
    if (levels_.empty()) levels_.push_back({std::vector<uint8_t>(static_cast<size_t>(tag_.BlockSize()), 0), 0});
    int32_t root = 0;
    for (size_t i = 0; i < levels_.size(); ++i) {
        const bool higher = i + 1 < levels_.size();
        // A level emptied by its last flush already pushed its block up.
        if (levels_[i].count == 0 && higher) continue;
        root = Flush(i, higher);
    }
    writer_.Flush();
    if (table) table->StatusReport(0, 0, 0);
    return root;
}
