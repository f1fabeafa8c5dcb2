#include "dataset/HCBlobStream.h"

#include <cstring>

#include "dataset/ApplicationErrors.h"
#include "dataset/CodePages.h"
#include "dataset/Messages.h"
#include "dataset/RidedezDataSet.h"

THCBlobStream::THCBlobStream(TRidedezDataSet& dataset, TField& field, TBlobStreamMode mode)
    : dataset_(dataset), field_(field), fieldNo_(field.FieldNo()) {
    buffer_ = dataset.ActiveRecordBuffer();
    if (!buffer_) return;
    if (mode != TBlobStreamMode::bmRead) {
        if (field.readOnly) DatabaseErrorFmt(dsmsg::kFieldReadOnly, field.DisplayName());
        if (dataset.State() != TDataSetState::dsEdit && dataset.State() != TDataSetState::dsInsert) {
            DatabaseError(dsmsg::kNotEditing);
        }
    }
    if (mode == TBlobStreamMode::bmWrite) {
        modified_ = true;
        return;
    }
    ReadMemo();
}

void THCBlobStream::ReadMemo() {
    DBFObject& t = *dataset_.Table();
    contents_.clear();
    size_ = 0;
    position_ = 0;
    // A memo written earlier in this edit is read as written, not as the file holds it.
    if (const std::string* pending = dataset_.PendingMemo(fieldNo_, buffer_)) {
        if (pending->empty()) return;
        contents_.assign(pending->begin(), pending->end());
        contents_.push_back('\0');
        size_ = static_cast<int32_t>(pending->size());
    } else {
        uint8_t* target = dataset_.State() == TDataSetState::dsFilter ? t.CurrentBuffer() : buffer_;
        TRecordPointer at(t, target);
        const int32_t size = t.MemoSize(fieldNo_);
        if (size <= 0) return;
        contents_.assign(static_cast<size_t>(size) + 1, '\0');
        const int32_t got = t.MemoRead(fieldNo_, contents_.data(), size);
        size_ = got < size ? (got > 0 ? got : 0) : size;
        contents_[static_cast<size_t>(size_)] = '\0';
    }
    if (field_.transliterate && dataset_.TranslateASCII()) codepage::OemToAnsiBuffer(contents_.data(), static_cast<size_t>(size_));
}

int32_t THCBlobStream::Read(void* buffer, int32_t count) {
    if (contents_.empty() || count <= 0 || position_ < 0 || position_ >= size_) return 0;
    const int32_t n = std::min(count, size_ - position_);
    std::memcpy(buffer, contents_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int32_t THCBlobStream::Write(const void* buffer, int32_t count) {
    if (count <= 0) return 0;
    const int32_t start = position_ < 0 ? 0 : position_;
    std::vector<char> next(static_cast<size_t>(start) + static_cast<size_t>(count) + 1, '\0');
    if (!contents_.empty()) std::memcpy(next.data(), contents_.data(), static_cast<size_t>(std::min(start, size_)));
    std::memcpy(next.data() + start, buffer, static_cast<size_t>(count));
    contents_ = std::move(next);
    size_ = start + count;
    position_ = size_;
    modified_ = true;
    return count;
}

int32_t THCBlobStream::Seek(int32_t offset, TSeekOrigin origin) {
    switch (origin) {
        case TSeekOrigin::soBeginning: position_ = offset; break;
        case TSeekOrigin::soCurrent: position_ += offset; break;
        case TSeekOrigin::soEnd: position_ = size_ + offset; break;
    }
    return position_;
}

void THCBlobStream::Commit() {
    if (!modified_) return;
    modified_ = false;
    const TDataSetState s = dataset_.State();
    if (s != TDataSetState::dsEdit && s != TDataSetState::dsInsert) return;
    if (!dataset_.Table() || !buffer_) return;
    if (buffer_ != dataset_.ActiveRecordBuffer()) DatabaseError(dsmsg::kNotEditing);
    std::string text;
    if (!contents_.empty()) text.assign(contents_.data(), static_cast<size_t>(size_));
    if (field_.transliterate && dataset_.TranslateASCII()) codepage::AnsiToOemBuffer(text.data(), text.size());
    // Held by the dataset until Post writes it (or Cancel drops it).
    dataset_.SetPendingMemo(fieldNo_, std::move(text));
    dataset_.FieldChanged(field_);
}

THCBlobStream::~THCBlobStream() {
    try {
        Commit();
    } catch (const std::exception& e) {
        HandleApplicationException(e);
    }
}
