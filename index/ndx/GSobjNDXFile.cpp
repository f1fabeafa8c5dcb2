#include "index/ndx/GSobjNDXFile.h"

#include <cctype>
#include <vector>

#include "engine/ErrorCodes.h"
#include "engine/platform/Paths.h"
#include "engine/platform/SystemCodes.h"
#include "index/ndx/GSobjNDXTag.h"
#include "index/ndx/NdxLayout.h"

GSobjNDXFile::GSobjNDXFile(GSO_dBaseFld* table, bool overwrite, bool create, bool shared,
                           bool readWrite, const std::string& path)
    : GSobjIndexFile(table, path, ".NDX", overwrite, create, shared, readWrite) {
    if (!opened_) return;
    if (disk_->Existed() && !(create && overwrite)) {
        pageCount_ = ReadPageCount();
        auto tag = std::make_unique<GSobjNDXTag>(this, TagNameOfFile(name_), 0);
        tag->ReadHeader();
        tags_.push_back(std::move(tag));
    } else {
        pageCount_ = 0;
    }
}

GSobjNDXFile::~GSobjNDXFile() { tags_.clear(); }

GSobjNDXTag* GSobjNDXFile::NdxTag() const {
    return tags_.empty() ? nullptr : static_cast<GSobjNDXTag*>(tags_.front().get());
}

GSobjIndexTag* GSobjNDXFile::CreateTag(const std::string& name, const std::string& keyExpression,
                                       const std::string& forExpression, bool unique, bool ascending) {
    tags_.clear();
    pageCount_ = 0;
    const int32_t headerAt = AllocatePage();
    auto tag = std::make_unique<GSobjNDXTag>(this, name.empty() ? TagNameOfFile(name_) : name, headerAt);
    GSobjNDXTag* t = tag.get();
    tags_.push_back(std::move(tag));
    t->InitTag(keyExpression, unique, ascending, forExpression);
    return t;
}

int32_t GSobjNDXFile::ReadPageCount() {
    // A partial last page is never reused: the next page starts after it.
    int64_t size = disk_ ? disk_->FileSize() : 0;
    return static_cast<int32_t>((size + ndx::kPageSize - 1) / ndx::kPageSize);
}

int32_t GSobjNDXFile::AllocatePage() {
    if (pageCount_ < 0) pageCount_ = ReadPageCount();
    if (pageCount_ >= gsMaxFileOffset / ndx::kPageSize) ReportError(platform::kFileTooLarge, gsSub::kWrite, name_);
    return static_cast<int32_t>(pageCount_++);
}

bool GSobjNDXFile::ReadBlock(int64_t page, void* buffer, int32_t size) {
    return GSobjIndexFile::ReadBlock(page * ndx::kPageSize, buffer, size);
}

bool GSobjNDXFile::WriteBlock(int64_t page, const void* buffer, int32_t size) {
    return GSobjIndexFile::WriteBlock(page * ndx::kPageSize, buffer, size);
}

void GSobjNDXFile::ResetFile() {
    GSobjNDXTag* tag = NdxTag();
    if (!disk_ || !tag) return;
    WithWholeFileInPlaceOfIndexLock([&] {
        tag->ReleasePath();
        TruncateFile(2 * ndx::kPageSize);
        knownEnd_ = -1;
        tag->SetRootPage(1);
        pageCount_ = 2;
        tag->WriteHeader();
        std::vector<uint8_t> empty(ndx::kPageSize, 0);
        WriteBlock(1, empty.data(), ndx::kPageSize);
    });
}

void GSobjNDXFile::Reindex() {
    GSobjNDXTag* tag = NdxTag();
    if (!tag) return;
    ResetFile();
    WithWholeFileInPlaceOfIndexLock([&] {
        // The build starts again at page 1, over the empty root.
        pageCount_ = 1;
        tag->Build();
    });
}
