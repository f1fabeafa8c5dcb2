#pragma once
// DBFObject: the table object a TRidedezDataSet owns while it is open. It answers the
// table object's three hooks through its dataset: progress reports go to OnStatus,
// formula requests to OnFormula and the visibility test to OnFilterRecord.

#include <string>

#include "engine/dBHandler.h"

class TRidedezDataSet;

class DBFObject : public GSO_dBHandler {
public:
    DBFObject(TRidedezDataSet* owner, const std::string& path, bool readWrite, bool shared);
    ~DBFObject() override;

    // A move to a record by number also puts the selected tag on that record, while the
    // buffer the record was read into is still the current one: the dataset reads the
    // next record into another buffer, from which the tag could not find its place.
    void GoRecord(int32_t n) override;
    void StatusReport(int stat1, int stat2, int stat3) override;
    bool RecordVisible() override;
    // The formula hook in its text form: 0 when the dataset's handler dealt with the
    // request, -1 otherwise.
    int FormulaHook(const std::string& who, const std::string& st, std::string& rsl, char& typ, bool& chg);
    using GSO_dBHandler::FormulaHook;

    // Makes the current record buffer the saved copy (the record "as it was").
    void SaveCurrentAsCopy() { SaveBuffer(); }
    TRidedezDataSet* Owner() const { return owner_; }

private:
    TRidedezDataSet* owner_;
};

// Points a table object at a record buffer for the lifetime of the object and then back
// at the buffer it used before.
class TRecordPointer {
public:
    TRecordPointer(GSO_dBaseDBF& table, uint8_t* buffer) : table_(table), saved_(table.CurrentBuffer()) {
        table.SetCurrentBuffer(buffer);
    }
    ~TRecordPointer() { table_.SetCurrentBuffer(saved_); }
    TRecordPointer(const TRecordPointer&) = delete;
    TRecordPointer& operator=(const TRecordPointer&) = delete;

private:
    GSO_dBaseDBF& table_;
    uint8_t* saved_;
};
