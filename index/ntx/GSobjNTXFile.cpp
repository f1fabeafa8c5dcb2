#include "index/ntx/GSobjNTXFile.h"

#include <cctype>
#include <vector>

#include "engine/ErrorCodes.h"
#include "engine/Exception.h"
#include "engine/platform/Paths.h"
#include "engine/platform/SystemCodes.h"
#include "index/ntx/GSobjNTXTag.h"
#include "index/ntx/NtxLayout.h"

GSobjNTXFile::GSobjNTXFile(GSO_dBaseFld* table, bool overwrite, bool create, bool shared,
                           bool readWrite, const std::string& path)
    : GSobjIndexFile(table, path, ".NTX", overwrite, create, shared, readWrite) {
    if (!opened_) return;
    if (disk_->Existed() && !(create && overwrite)) {
        pageCount_ = FileEnd();
        auto tag = std::make_unique<GSobjNTXTag>(this, TagNameOfFile(name_), 0);
        tag->ReadHeader();
        tags_.push_back(std::move(tag));
    } else {
        pageCount_ = 0;
        changeCounter_ = 1;
    }
}

GSobjNTXFile::~GSobjNTXFile() {
    // The tag writes its header as it lets its path go.
    if (counterHeld_ && NtxTag()) NtxTag()->MarkHeaderDirty();
    tags_.clear();
}

GSobjNTXTag* GSobjNTXFile::NtxTag() const {
    return tags_.empty() ? nullptr : static_cast<GSobjNTXTag*>(tags_.front().get());
}

int64_t GSobjNTXFile::FileEnd() { return disk_ ? disk_->FileSize() : 0; }

GSobjIndexTag* GSobjNTXFile::CreateTag(const std::string& name, const std::string& keyExpression,
                                       const std::string& forExpression, bool unique, bool ascending) {
    tags_.clear();
    pageCount_ = 0;
    changeCounter_ = 1;
    const int32_t headerAt = AllocatePage();
    auto tag = std::make_unique<GSobjNTXTag>(this, name.empty() ? TagNameOfFile(name_) : name, headerAt);
    GSobjNTXTag* t = tag.get();
    tags_.push_back(std::move(tag));
    t->InitTag(keyExpression, unique, ascending, forExpression);
    return t;
}

int32_t GSobjNTXFile::ReadPageCount() {
    int64_t size = FileEnd();
    // A partial last page is never reused: the next page starts after it.
    return static_cast<int32_t>((size + ntx::kPageSize - 1) / ntx::kPageSize * ntx::kPageSize);
}

int32_t GSobjNTXFile::AllocatePage() {
    if (pageCount_ < 0) pageCount_ = ReadPageCount();
    if (pageCount_ > gsMaxFileOffset - ntx::kPageSize) ReportError(platform::kFileTooLarge, gsSub::kWrite, name_);
    const int32_t page = static_cast<int32_t>(pageCount_);
    pageCount_ += ntx::kPageSize;
    return page;
}

void GSobjNTXFile::ResetFile() {
    GSobjNTXTag* tag = NtxTag();
    if (!disk_ || !tag) return;
    WithWholeFileInPlaceOfIndexLock([&] {
        tag->ReleasePath();
        TruncateFile(2 * ntx::kPageSize);
        knownEnd_ = -1;
        tag->SetRootPage(ntx::kPageSize);
        pageCount_ = 2 * ntx::kPageSize;
        changeCounter_ = 1;
        tag->WriteHeader();
        std::vector<uint8_t> empty(ntx::kPageSize, 0);
        WriteBlock(ntx::kPageSize, empty.data(), ntx::kPageSize);
    });
}

void GSobjNTXFile::Reindex() {
    GSobjNTXTag* tag = NtxTag();
    if (!tag) return;
    ResetFile();
    tag->InitTag(tag->KeyExpression(), tag->Unique(), tag->Ascending(), tag->ForExpression());
}

void GSobjNTXFile::AdvanceChangeCounter() {
    if (changeCounter_ >= ntx::kChangeCounterMax) changeCounter_ = 0;
    ++changeCounter_;
}

bool GSobjNTXFile::UpdateTagsForRecord(int32_t record, bool isAppend) {
    if (GSobjNTXTag* tag = NtxTag()) {
        if (disk_ && disk_->IsShared()) {
            tag->RereadChangingFields();
            AdvanceChangeCounter();
            tag->MarkHeaderDirty();
            tag->WriteHeader();
        } else {
            AdvanceChangeCounter();
            counterHeld_ = true;
        }
    }
    return GSobjIndexFile::UpdateTagsForRecord(record, isAppend);
}

void GSobjNTXFile::WriteHeldHeader() {
    GSobjNTXTag* tag = NtxTag();
    if (!counterHeld_ || !tag) return;
    tag->MarkHeaderDirty();
    tag->WriteHeader();
}

bool GSobjNTXFile::ChangedByOthers() {
    if (!disk_ || !disk_->IsShared()) return false;
    uint8_t head[4] = {};
    if (!ReadBlock(0, head, sizeof head)) return false;
    return ntx::Get16(head + ntx::kChangeCounterAt) != changeCounter_;
}
