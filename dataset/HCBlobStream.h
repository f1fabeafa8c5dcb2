#pragma once
// THCBlobStream: the contents of one memo or blob field of the active record, held in
// memory. Reading loads the memo (translated OEM to ANSI for memo fields of a translating
// dataset); writing replaces everything from the position on. A stream that was written
// hands its contents to the dataset when it is committed or destroyed, if the dataset is
// still editing that record: the memo file sees them only when the record is posted
// (new memo, then record, then the old memo's blocks released), and Cancel drops them.

#include <string>
#include <vector>

#include "dataset/BlobStream.h"
#include "dataset/FieldTypes.h"

class TField;
class TRidedezDataSet;

class THCBlobStream : public TBlobStream {
public:
    THCBlobStream(TRidedezDataSet& dataset, TField& field, TBlobStreamMode mode);
    // Commits a pending write; a failure goes to the application's exception handler.
    ~THCBlobStream() override;
    THCBlobStream(const THCBlobStream&) = delete;
    THCBlobStream& operator=(const THCBlobStream&) = delete;

    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int32_t Seek(int32_t offset, TSeekOrigin origin) override;
    int32_t Size() const override { return size_; }
    int32_t Position() const { return position_; }
    bool Modified() const { return modified_; }
    // Stores the written contents now, raising any error; afterwards nothing is pending.
    void Commit();

private:
    void ReadMemo();

    TRidedezDataSet& dataset_;
    TField& field_;
    int fieldNo_;
    uint8_t* buffer_ = nullptr;   // the record buffer the stream belongs to
    std::vector<char> contents_;  // size + 1 bytes, the last a zero byte; empty: none
    int32_t size_ = 0;
    int32_t position_ = 0;
    bool modified_ = false;
};
