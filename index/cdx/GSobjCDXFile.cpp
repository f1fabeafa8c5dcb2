#include "index/cdx/GSobjCDXFile.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "engine/ErrorCodes.h"
#include "engine/Exception.h"
#include "engine/platform/Paths.h"
#include "engine/platform/SystemCodes.h"
#include "index/cdx/CdxLayout.h"
#include "index/cdx/GSobjCDXTag.h"

namespace {
std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string TagNameOf(const std::string& name) {
    std::string n = Upper(name);
    while (!n.empty() && n.back() == ' ') n.pop_back();
    if (n.size() > static_cast<size_t>(cdx::kDirectoryKeyLength)) n.resize(cdx::kDirectoryKeyLength);
    return n;
}
}  // namespace

GSobjCDXFile::GSobjCDXFile(GSO_dBaseFld* table, bool overwrite, bool create, bool shared, bool readWrite,
                           const std::string& path)
    : GSobjIndexFile(table, path, ".CDX", overwrite, create, shared, readWrite) {
    recordOrder_ = true;
    if (!opened_) return;
    directory_ = std::make_unique<GSobjCDXTag>(this, Upper(platform::BaseNamePart(name_)), 0, true);
    if (disk_->Existed() && !(create && overwrite) && disk_->FileSize() > cdx::kNodeSize) {
        pageCount_ = -1;
        ReadDirectory();
    } else {
        CreateEmpty();
    }
    // A file named like its table and holding tags is the table's production index.
    if (!tags_.empty()) SetProductionMark(true);
    // Every writer moves the directory's change counter on once its pages are written, so
    // pages read under an unchanged counter may be kept between operations.
    KeepPagesWhileMarkHolds();
}

GSobjCDXFile::~GSobjCDXFile() {
    tags_.clear();
    directory_.reset();
    try {
        BeforeLetGo();
    } catch (...) {
        // Closing cannot report; the pages themselves are written.
    }
}

GSobjIndexTag* GSobjCDXFile::DirectoryTag() const { return directory_.get(); }

int64_t GSobjCDXFile::FileEnd() {
    if (pageCount_ >= 0) return pageCount_;
    return disk_ ? disk_->FileSize() : 0;
}

void GSobjCDXFile::CreateEmpty() {
    pageCount_ = 0;
    changeCounter_ = 0;
    const int32_t headerAt = AllocatePage();
    AllocatePage();
    (void)headerAt;
    directory_->InitTag("", false, true, "");
}

void GSobjCDXFile::ReadDirectory() {
    if (!directory_->ReadTagHeader()) ReportInvalid();
    // The directory's keys name the tags; each key's record is the position of its header.
    std::vector<std::pair<std::string, int32_t>> found;
    const int64_t end = FileEnd();
    // Walked to its end, not to the first record 0: a key naming position 0 is damage.
    for (directory_->MoveTo(-3); !directory_->Eof() && !directory_->Bof(); directory_->MoveTo(-1)) {
        const int32_t at = directory_->CurrentEntry().link;
        // A tag whose header is the directory's, or outside the file, makes the file damaged.
        if (at <= 0 || at % cdx::kNodeSize != 0 || at + int64_t{cdx::kHeaderSize} > end) ReportInvalid();
        found.emplace_back(TagNameOf(directory_->CurrentEntry().AsText()), at);
        if (found.size() > static_cast<size_t>(end / cdx::kHeaderSize)) ReportInvalid();
    }
    directory_->ReleasePath();
    for (const auto& [name, at] : found) {
        auto tag = std::make_unique<GSobjCDXTag>(this, name, at, false);
        if (!tag->ReadTagHeader()) ReportInvalid();
        tags_.push_back(std::move(tag));
    }
}

int32_t GSobjCDXFile::ReadPageCount() {
    const int64_t size = disk_ ? disk_->FileSize() : 0;
    return static_cast<int32_t>((size + cdx::kNodeSize - 1) / cdx::kNodeSize * cdx::kNodeSize);
}

int32_t GSobjCDXFile::AllocatePage() {
    if (pageCount_ < 0) pageCount_ = ReadPageCount();
    if (pageCount_ > gsMaxFileOffset - cdx::kNodeSize) ReportError(platform::kFileTooLarge, gsSub::kWrite, name_);
    const int32_t at = static_cast<int32_t>(pageCount_);
    pageCount_ += cdx::kNodeSize;
    return at;
}

bool GSobjCDXFile::RemoveTag(const std::string& name) {
    for (size_t i = 0; i < tags_.size(); ++i) {
        if (Upper(tags_[i]->Name()) != name) continue;
        const int64_t at = tags_[i]->HeaderPosition();
        for (int32_t r = directory_->MoveTo(-3); r != 0; r = directory_->MoveTo(-1)) {
            if (r == at && TagNameOf(directory_->CurrentEntry().AsText()) == name) {
                directory_->RootNode()->DeleteEntry();
                break;
            }
        }
        directory_->ReleasePath();
        tags_[i]->ReleasePath();
        tags_.erase(tags_.begin() + static_cast<long>(i));
        return true;
    }
    return false;
}

GSobjIndexTag* GSobjCDXFile::CreateTag(const std::string& name, const std::string& keyExpression,
                                       const std::string& forExpression, bool unique, bool ascending) {
    const std::string tagName = TagNameOf(name);
    if (tagName.empty()) throw ERidedezError("A tag of " + name_ + " needs a name");
    // Only a tag of the same name is replaced: a longer name that begins with it is another tag.
    RemoveTag(tagName);
    ForgetPageCount();
    const int32_t headerAt = AllocatePage();
    AllocatePage();
    auto tag = std::make_unique<GSobjCDXTag>(this, tagName, headerAt, false);
    GSobjCDXTag* t = tag.get();
    t->InitTag(keyExpression, unique, ascending, forExpression);
    tags_.push_back(std::move(tag));
    GSobjIndexKeyData entry(gsKeyCapacity);
    entry.SetText(tagName);
    entry.link = entry.compareRecord = headerAt;
    directory_->InsertKey(entry);
    directory_->ReleasePath();
    SetProductionMark(true);
    if (!locked_) BeforeLetGo();
    return t;
}

bool GSobjCDXFile::DeleteTag(const std::string& name) {
    const bool found = RemoveTag(TagNameOf(name));
    if (found && tags_.empty()) {
        Reindex();
        // An empty bag is no longer the table's production index.
        SetProductionMark(false);
    }
    if (!locked_) BeforeLetGo();
    return found;
}

void GSobjCDXFile::RefuseGeneralTags() const {
    for (const auto& tag : tags_) static_cast<const GSobjCDXTag*>(tag.get())->RefuseGeneralUpdate();
}

void GSobjCDXFile::LayOutEmptyTags() {
    directory_->WriteEmptyRoot(AllocatePage());
    for (auto& base : tags_) {
        auto* tag = static_cast<GSobjCDXTag*>(base.get());
        tag->MoveHeader(AllocatePage());
        AllocatePage();
        tag->WriteEmptyRoot();
        tag->MarkHeaderDirty();
        tag->WriteHeader();
        GSobjIndexKeyData entry(gsKeyCapacity);
        entry.SetText(tag->Name());
        entry.link = entry.compareRecord = static_cast<int32_t>(tag->HeaderPosition());
        directory_->InsertKey(entry);
    }
    directory_->ReleasePath();
    // Written last: until here the file's header still names the directory it had.
    directory_->MarkHeaderDirty();
    directory_->WriteHeader();
}

void GSobjCDXFile::Reindex() {
    if (!disk_) return;
    RefuseGeneralTags();
    WithWholeFileInPlaceOfIndexLock([&] {
        for (auto& tag : tags_) tag->ReleasePath();
        directory_->ReleasePath();
        knownEnd_ = -1;
        changeCounter_ = 0;
        // Every tag is listed, with its header and an empty root, before any is built, and
        // the old directory stays the file's until a new one is complete: first behind the
        // old pages, then, once the header names that copy, at the front, after which the
        // file is cut back. A rebuild that fails at any write leaves a bag that opens with
        // every tag, for the next rebuild to fill.
        const int64_t oldEnd =
            (disk_->FileSize() + cdx::kNodeSize - 1) / cdx::kNodeSize * cdx::kNodeSize;
        const int64_t frontEnd =
            cdx::kEmptyFileSize + static_cast<int64_t>(tags_.size()) * (cdx::kHeaderSize + cdx::kNodeSize);
        if (frontEnd <= oldEnd) {
            pageCount_ = oldEnd;
            LayOutEmptyTags();
        }
        pageCount_ = cdx::kHeaderSize;
        LayOutEmptyTags();
        TruncateFile(pageCount_);
        for (auto& base : tags_) static_cast<GSobjCDXTag*>(base.get())->Build();
    });
}

bool GSobjCDXFile::UpdateTagsForRecord(int32_t record, bool isAppend) {
    // Refused before any tag is touched, so that the bag's tags never disagree.
    RefuseGeneralTags();
    if (disk_ && disk_->IsShared()) {
        AdvanceSharedMark();
    } else {
        ++changeCounter_;
        directory_->MarkHeaderDirty();
        directory_->WriteHeader();
    }
    const bool changed = GSobjIndexFile::UpdateTagsForRecord(record, isAppend);
    // Without the index lock nothing else marks the end of this change.
    if (!locked_) BeforeLetGo();
    return changed;
}

bool GSobjCDXFile::ReadChangeMark(uint32_t& mark) {
    uint8_t bytes[4] = {};
    if (!disk_ || disk_->ReadAt(cdx::kChangeCounterAt, bytes, sizeof bytes) != sizeof bytes) return false;
    mark = cdx::Get32(bytes);
    return true;
}

bool GSobjCDXFile::ChangedByOthers() {
    if (!disk_ || !disk_->IsShared()) return false;
    uint32_t mark = 0;
    return ReadChangeMark(mark) && mark != changeCounter_;
}

bool GSobjCDXFile::WriteBlock(int64_t position, const void* buffer, int32_t size) {
    if (disk_ && disk_->IsShared() && !unmarkedWrites_) {
        uint32_t mark = 0;
        markBeforeWrites_ = ReadChangeMark(mark) ? mark : changeCounter_;
        unmarkedWrites_ = true;
    }
    return GSobjIndexFile::WriteBlock(position, buffer, size);
}

void GSobjCDXFile::AdvanceSharedMark() {
    uint32_t onDisk = 0;
    const bool known = ReadChangeMark(onDisk);
    // Past the value the file held before this program's writes, every value they wrote,
    // and the value it holds now.
    uint32_t highest = std::max(changeCounter_, known ? onDisk : 0);
    if (unmarkedWrites_) highest = std::max(highest, markBeforeWrites_);
    const uint32_t before = unmarkedWrites_ ? markBeforeWrites_ : onDisk;
    changeCounter_ = highest + 1;
    uint8_t bytes[4] = {};
    cdx::Put32(bytes, changeCounter_);
    GSobjIndexFile::WriteBlock(cdx::kChangeCounterAt, bytes, sizeof bytes);
    unmarkedWrites_ = false;
    if (known) MarkMovedByUs(before, changeCounter_);
}

void GSobjCDXFile::BeforeLetGo() {
    if (unmarkedWrites_) AdvanceSharedMark();
}
