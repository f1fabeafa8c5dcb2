#include "index/mdx/GSobjMDXFile.h"

#include <cctype>
#include <cstring>
#include <set>

#include "engine/ErrorCodes.h"
#include "engine/Exception.h"
#include "engine/dBaseFld.h"
#include "engine/platform/Clock.h"
#include "engine/platform/Paths.h"
#include "engine/platform/SystemCodes.h"
#include "index/mdx/GSobjMDXTag.h"
#include "index/mdx/MdxLayout.h"

namespace {
constexpr int kRangeError = 201;      // run-time error: a value outside its range
constexpr int kRunErrorSubcode = -1;  // reports a run-time error instead of an engine one

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string TagNameOf(const std::string& name) {
    std::string n = Upper(name);
    while (!n.empty() && n.back() == ' ') n.pop_back();
    if (n.size() > mdx::kTagNameChars) n.resize(mdx::kTagNameChars);
    return n;
}

void PutDate(uint8_t* p) {
    const platform::DateTime now = platform::Now();
    p[0] = static_cast<uint8_t>(now.year % 100);
    p[1] = static_cast<uint8_t>(now.month);
    p[2] = static_cast<uint8_t>(now.day);
}
}  // namespace

GSobjMDXFile::GSobjMDXFile(GSO_dBaseFld* table, bool overwrite, bool create, bool shared, bool readWrite,
                           const std::string& path)
    : GSobjIndexFile(table, path, ".MDX", overwrite, create, shared, readWrite) {
    if (!opened_) return;
    if (disk_->Existed() && !(create && overwrite)) {
        ReadFileHeader();
    } else {
        CreateEmpty();
    }
    // A file named like its table and holding tags is the table's production index.
    if (!tags_.empty()) SetProductionMark(true);
}

GSobjMDXFile::~GSobjMDXFile() {
    try {
        // The paths go back first: writing them may add blocks the header must count.
        for (auto& tag : tags_) tag->ReleasePath();
        if (changed_) WriteFileHeader();
    } catch (...) {
        // Closing cannot report; the tag table was written when it changed.
    }
}

GSobjMDXTag* GSobjMDXFile::MdxTag(size_t i) const { return static_cast<GSobjMDXTag*>(tags_[i].get()); }

size_t GSobjMDXFile::MaxTags() const {
    // Slot 0 is the table's head; every slot must lie inside the header area.
    const size_t bySlots = slotCount_ > 0 ? static_cast<size_t>(slotCount_) - 1 : 0;
    const size_t byArea = (static_cast<size_t>(headerArea_) - mdx::kTagTableAt) / mdx::kSlotSize - 1;
    return std::min(bySlots, byArea);
}

void GSobjMDXFile::CreateEmpty() {
    blockSize_ = mdx::kNewBlockSize;
    unitsPerBlock_ = mdx::kNewUnitsPerBlock;
    headerArea_ = mdx::kNewHeaderArea;
    slotCount_ = mdx::kNewSlotCount;
    std::vector<uint8_t> h(static_cast<size_t>(headerArea_), 0);
    h[mdx::kVersionAt] = mdx::kVersion;
    PutDate(&h[mdx::kDateAt]);
    PutDate(&h[mdx::kDate2At]);
    if (table_) {
        const std::string name = Upper(platform::BaseNamePart(table_->RealPath()));
        std::memcpy(&h[mdx::kTableNameAt], name.data(), std::min(name.size(), mdx::kTableNameChars));
    }
    mdx::Put16(&h[mdx::kUnitsPerBlockAt], static_cast<uint32_t>(unitsPerBlock_));
    mdx::Put16(&h[mdx::kBlockSizeAt], static_cast<uint32_t>(blockSize_));
    h[mdx::kOneAt] = 1;
    h[mdx::kSlotCountAt] = static_cast<uint8_t>(slotCount_);
    h[mdx::kSlotSizeAt] = static_cast<uint8_t>(mdx::kSlotSize);
    pageCount_ = headerArea_ / mdx::kUnitSize;
    mdx::Put32(&h[mdx::kNextFreeAt], static_cast<uint32_t>(pageCount_));
    TruncateFile(0);
    WriteBlock(0, h.data(), headerArea_);
}

void GSobjMDXFile::ReadFileHeader() {
    uint8_t first[mdx::kUnitSize] = {};
    if (!GSobjIndexFile::ReadBlock(0, first, mdx::kUnitSize)) ReportInvalid();
    blockSize_ = mdx::Get16(first + mdx::kBlockSizeAt);
    unitsPerBlock_ = mdx::Get16(first + mdx::kUnitsPerBlockAt);
    slotCount_ = first[mdx::kSlotCountAt];
    const int64_t area = int64_t{unitsPerBlock_} * blockSize_;
    // The block size must be whole units of the size its units-per-block says, large enough
    // for a tag header, and the header area must hold the slots it claims.
    if (unitsPerBlock_ < 1 || blockSize_ != unitsPerBlock_ * mdx::kUnitSize || blockSize_ < mdx::kMinBlockSize ||
        area > mdx::kMaxHeaderArea || first[mdx::kSlotSizeAt] != mdx::kSlotSize || slotCount_ < 1 ||
        !BlockInFile(0, area))
        ReportInvalid();
    headerArea_ = static_cast<int>(area);
    std::vector<uint8_t> h(static_cast<size_t>(headerArea_), 0);
    if (!GSobjIndexFile::ReadBlock(0, h.data(), headerArea_)) ReportInvalid();
    pageCount_ = ReadPageCount();
    const size_t count = mdx::Get16(&h[mdx::kTagCountAt]);
    if (count > MaxTags()) ReportInvalid();
    std::set<uint32_t> seen;
    for (size_t t = 1; t <= count; ++t) {
        const uint8_t* slot = &h[mdx::kTagTableAt + t * mdx::kSlotSize];
        const uint32_t at = mdx::Get32(slot + mdx::kSlotHeaderAt);
        // A header inside the header area, outside the file or shared by two tags is damage.
        if (!BlockPlaceable(at) || !seen.insert(at).second) ReportInvalid();
        const char* name = reinterpret_cast<const char*>(slot + mdx::kSlotNameAt);
        auto tag = std::make_unique<GSobjMDXTag>(this, Upper(std::string(name, strnlen(name, mdx::kTagNameChars))), at);
        if (!tag->ReadTagHeader()) ReportInvalid();
        tags_.push_back(std::move(tag));
    }
}

void GSobjMDXFile::WriteFileHeader() {
    if (!disk_ || !disk_->IsReadWrite()) return;
    uint8_t first[mdx::kUnitSize] = {};
    if (!GSobjIndexFile::ReadBlock(0, first, mdx::kUnitSize)) return;
    PutDate(first + mdx::kDateAt);
    mdx::Put16(first + mdx::kTagCountAt, static_cast<uint32_t>(tags_.size()));
    const int64_t units = pageCount_ >= 0 ? pageCount_ : ReadPageCount();
    mdx::Put32(first + mdx::kNextFreeAt, static_cast<uint32_t>(units));
    GSobjIndexFile::WriteBlock(0, first, mdx::kUnitSize);
    changed_ = false;
}

bool GSobjMDXFile::BlockPlaceable(int64_t position) {
    return position >= headerArea_ / mdx::kUnitSize && BlockInFile(position * mdx::kUnitSize, blockSize_);
}

int32_t GSobjMDXFile::ReadPageCount() {
    const int64_t size = disk_ ? disk_->FileSize() : 0;
    return static_cast<int32_t>((size + mdx::kUnitSize - 1) / mdx::kUnitSize);
}

int32_t GSobjMDXFile::AllocatePage() {
    if (pageCount_ < 0) pageCount_ = ReadPageCount();
    if ((pageCount_ + unitsPerBlock_) * mdx::kUnitSize > gsMaxFileOffset)
        ReportError(platform::kFileTooLarge, gsSub::kWrite, name_);
    const int32_t at = static_cast<int32_t>(pageCount_);
    pageCount_ += unitsPerBlock_;
    // The header's length must follow the file before other programs allocate from it.
    changed_ = true;
    return at;
}

bool GSobjMDXFile::ReadBlock(int64_t position, void* buffer, int32_t size) {
    return GSobjIndexFile::ReadBlock(position * mdx::kUnitSize, buffer, size);
}

bool GSobjMDXFile::WriteBlock(int64_t position, const void* buffer, int32_t size) {
    return GSobjIndexFile::WriteBlock(position * mdx::kUnitSize, buffer, size);
}

void GSobjMDXFile::WriteTagTable() {
    std::vector<uint8_t> h(static_cast<size_t>(headerArea_), 0);
    if (!GSobjIndexFile::ReadBlock(0, h.data(), headerArea_)) ReportInvalid();
    const size_t count = tags_.size();
    mdx::Put16(&h[mdx::kTagCountAt], static_cast<uint32_t>(count));
    uint8_t* head = &h[mdx::kTagTableAt];
    head[mdx::kSlotRightThreadAt] = count > 0 ? 1 : 0;
    const size_t slots = MaxTags();
    for (size_t t = 1; t <= slots; ++t) {
        uint8_t* slot = &h[mdx::kTagTableAt + t * mdx::kSlotSize];
        std::memset(slot, 0, mdx::kSlotSize);
        if (t > count) continue;
        GSobjMDXTag* tag = MdxTag(t - 1);
        mdx::Put32(slot + mdx::kSlotHeaderAt, static_cast<uint32_t>(tag->HeaderPosition()));
        std::memcpy(slot + mdx::kSlotNameAt, tag->Name().data(), std::min(tag->Name().size(), mdx::kTagNameChars));
        slot[mdx::kSlotRightThreadAt] = t < count ? static_cast<uint8_t>(t + 1) : 0;
        slot[mdx::kSlotTwoAt] = mdx::kSlotTwo;
        slot[mdx::kSlotKeyTypeAt] = static_cast<uint8_t>(tag->KeyType());
    }
    GSobjIndexFile::WriteBlock(0, h.data(), headerArea_);
    changed_ = true;
}

GSobjIndexTag* GSobjMDXFile::CreateTag(const std::string& name, const std::string& keyExpression,
                                       const std::string& forExpression, bool unique, bool ascending) {
    const std::string tagName = TagNameOf(name);
    if (tagName.empty()) throw ERidedezError("A tag of " + name_ + " needs a name");
    // A tag of the same name is replaced; its blocks stay unused until the next reindex.
    for (size_t i = 0; i < tags_.size(); ++i) {
        if (tags_[i]->Name() != tagName) continue;
        tags_[i]->ReleasePath();
        tags_.erase(tags_.begin() + static_cast<long>(i));
        break;
    }
    if (tags_.size() >= MaxTags())
        ReportError(kRangeError, kRunErrorSubcode,
                    name_ + ": the tag table holds no more than " + std::to_string(MaxTags()) + " tags");
    ForgetPageCount();
    const int32_t headerAt = AllocatePage();
    auto tag = std::make_unique<GSobjMDXTag>(this, tagName, headerAt);
    GSobjMDXTag* t = tag.get();
    size_t at = 0;
    while (at < tags_.size() && tags_[at]->Name() < tagName) ++at;
    tags_.insert(tags_.begin() + static_cast<long>(at), std::move(tag));
    try {
        t->InitTag(keyExpression, unique, ascending, forExpression);
    } catch (...) {
        // A tag that could not be built is not listed.
        tags_.erase(tags_.begin() + static_cast<long>(at));
        WriteTagTable();
        throw;
    }
    WriteTagTable();
    SetProductionMark(true);
    return t;
}

bool GSobjMDXFile::DeleteTag(const std::string& name) {
    const std::string tagName = TagNameOf(name);
    for (size_t i = 0; i < tags_.size(); ++i) {
        if (tags_[i]->Name() != tagName) continue;
        tags_[i]->ReleasePath();
        tags_.erase(tags_.begin() + static_cast<long>(i));
        WriteTagTable();
        if (tags_.empty()) {
            Reindex();
            SetProductionMark(false);
        }
        return true;
    }
    return false;
}

void GSobjMDXFile::Reindex() {
    if (!disk_) return;
    WithWholeFileInPlaceOfIndexLock([&] {
        for (auto& tag : tags_) tag->ReleasePath();
        TruncateFile(headerArea_);
        pageCount_ = headerArea_ / mdx::kUnitSize;
        for (size_t i = 0; i < tags_.size(); ++i) {
            GSobjMDXTag* tag = MdxTag(i);
            tag->MoveHeader(AllocatePage());
            tag->Build();
        }
        WriteTagTable();
        WriteFileHeader();
    });
}

bool GSobjMDXFile::RenameFile(const std::string& newTableName) {
    if (!GSobjIndexFile::RenameFile(newTableName)) return false;
    uint8_t first[mdx::kUnitSize] = {};
    if (!GSobjIndexFile::ReadBlock(0, first, mdx::kUnitSize)) ReportInvalid();
    std::memset(first + mdx::kTableNameAt, 0, mdx::kTableNameSize);
    const std::string base = Upper(platform::BaseNamePart(name_));
    std::memcpy(first + mdx::kTableNameAt, base.data(), std::min(base.size(), mdx::kTableNameChars));
    GSobjIndexFile::WriteBlock(0, first, mdx::kUnitSize);
    return true;
}
