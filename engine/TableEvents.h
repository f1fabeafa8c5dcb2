#pragma once
// What the table object tells its own layers (Notify) and its owner (StatusReport).

// The codes of Notify(code, argument); the argument is a record number unless noted.
namespace gsNotify {
enum Code : int {
    kBlankRecord = 0,    // a blank record was made (argument 0)
    kFieldStored = 1,    // a field was stored (argument: the field number)
    kOpened = 2,         // the table was opened (argument 0)
    kBeforeRead = 4,     // a record is about to be read (argument: number or movement code)
    kBeforeWrite = 5,    // a record is about to be written (0: appended)
    kRecordRead = 6,     // a record was read
    kRecordWritten = 7,  // a record was written (0: appended)
    kFlushed = 8,        // the table was flushed (argument: the current record)
};
}  // namespace gsNotify

// StatusReport(stat1, stat2, stat3) during a pass over the records: once
// (kStart, pass, record count) before it, (pass, counter, 0) after each record, and
// (kDone, counter or 0, 0) at its end.
namespace gsStatus {
enum Code : int {
    kStart = -1,
    kDone = 0,
    kPack = 11,    // packing the table
    kSearch = 21,  // searching the records for a value
};
}  // namespace gsStatus
