#pragma once
// GSO_dBaseDBF: one open table file. It holds the header copy, the field list and one
// record buffer; it moves between records, appends and rewrites them, takes the record,
// header and table locks of its lock protocol, and keeps the header up to date for other
// programs that share the file.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/DbfLayout.h"
#include "engine/DiskFile.h"
#include "engine/LockProtocol.h"
#include "engine/TableEvents.h"

// Movement codes accepted in place of a record number.
constexpr int32_t gsMoveNext = -1;
constexpr int32_t gsMovePrior = -2;
constexpr int32_t gsMoveTop = -3;
constexpr int32_t gsMoveBottom = -4;
constexpr int32_t gsMoveReread = -5;

// Modes of record movement.
constexpr int gsModeNormal = 1;
constexpr int gsModeBulk = 4;

class GSO_dBaseDBF : public GSO_DiskFile {
public:
    // Records the table's path (a missing extension becomes ".DBF"); OpenTable opens it.
    GSO_dBaseDBF(const std::string& path, bool readWrite, bool shared);
    ~GSO_dBaseDBF() override;

    // Opens the file, validates the header and reads the descriptors. Raises
    // ERidedezError when the file cannot be opened or is not a usable table.
    void OpenTable();
    // Writes a pending header, frees what the table owns and closes the file.
    virtual void CloseTable();
    bool IsOpen() const { return opened_; }

    // The operations added by this layer, in their slot order.
    void Flush() override;                                              // 3
    bool Rename(const std::string& newPath) override;                   // 7
    void StatusReport(int stat1, int stat2, int stat3) override;        // 10
    virtual void AddRecord();                                           // 14
    virtual bool Notify(int code, int32_t argument);                    // 15
    virtual void GoRecord(int32_t n);                                   // 16
    virtual bool LockHeader();                                          // 17
    virtual bool LockTable();                                           // 18
    virtual bool LockTableFromStart();                                  // 19
    virtual bool Unlock();                                              // 20
    virtual bool LockRecord();                                          // 21
    virtual void PutRecord(int32_t n);                                  // 22
    virtual void SetLockProtocol(int protocol);                         // 23
    virtual bool HasIndexFiles();                                       // 24

    void RefreshHeader();
    void WriteHeader();
    // Sets or clears the production-index bit of the header's table flags and writes the
    // header when the bit changed (a table opened read-only keeps it in memory only).
    void SetProductionIndex(bool on);
    bool HasProductionIndex() const { return (flagBits_ & gsFlagProductionIndex) != 0; }

    // State.
    const TgsDBFHeader& Header() const { return layout_.header; }
    uint8_t Version() const { return layout_.header.Version(); }
    uint16_t HeaderLength() const { return layout_.header.HeaderLength(); }
    uint16_t RecordLength() const { return layout_.header.RecordLength(); }
    uint8_t FlagBits() const { return flagBits_; }
    int32_t RecordCount() const { return layout_.recordCount; }
    int32_t RecordNumber() const { return recNo_; }
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    bool IsDeleted() const {
        ReadIfUnread();
        return curBuf_[0] == '*';
    }
    bool HeaderDirty() const { return headerDirty_; }
    bool TableLocked() const { return tableLocked_; }
    int LockProtocol() const { return protocol_; }
    const TgsLockConstants& LockConstants() const { return lockConst_; }
    int Mode() const { return mode_; }
    void SetMode(int mode) { mode_ = mode; }
    bool UseDeleted() const { return useDeleted_; }
    void SetUseDeleted(bool on) { useDeleted_ = on; }
    bool ExactMatch() const { return exactMatch_; }
    void SetExactMatch(bool on) { exactMatch_ = on; }
    uint32_t UserID() const { return userId_; }
    void SetUserID(uint32_t id) { userId_ = id; }
    // The table name for messages: the file name without directory and extension.
    std::string TableName() const;

    // The record buffer every record and field operation works on: the table's own
    // buffer unless pointed at one of the caller's (at least RecordLength() bytes;
    // null points it back). Take it afresh after each movement: on a file opened
    // exclusively, moving into the table's own buffer reads the record at its first use.
    uint8_t* CurrentBuffer() {
        ReadIfUnread();
        return curBuf_;
    }
    const uint8_t* CurrentBuffer() const {
        ReadIfUnread();
        return curBuf_;
    }
    void SetCurrentBuffer(uint8_t* buffer);
    // The record as it was last read or written.
    const uint8_t* SavedCopy() const {
        ReadIfUnread();
        return saved_.data();
    }
    // Whether movement on a file opened exclusively may leave the record's read to its
    // first use (on by default; shared files and callers' buffers always read at once).
    void SetDeferredReads(bool on);
    bool DeferredReads() const { return deferReads_; }

    const std::vector<TgsDBFField>& Fields() const { return layout_.fields; }
    int FieldCount() const { return static_cast<int>(layout_.fields.size()); }

protected:
    // Called at the end of OpenTable, once the header and fields are known; each layer
    // adds its own set-up and calls the layer below first.
    virtual void AfterOpen();
    // Flushing and renaming carry the table's companion files (memo, indexes) along.
    virtual void FlushCompanions() {}
    virtual void RenameCompanions(const std::string& oldPath) { (void)oldPath; }
    // Plain physical movement: the record-number rules without visibility.
    void PlainGoRecord(int32_t n);
    // Plain rewrite of record n from the buffer (append when n is 0 or beyond the end).
    void PlainPutRecord(int32_t n);
    // Plain append of the buffer as a new last record.
    void PlainAddRecord();
    void SetEof(bool on) { eof_ = on; }
    void SetBof(bool on) { bof_ = on; }
    void SetRecordNumber(int32_t n) {
        ReadIfUnread();
        recNo_ = n;
    }
    void SetRecordCount(int32_t n) {
        if (unread_ > n) ReadIfUnread();
        layout_.recordCount = n;
    }
    void MarkHeaderDirty() { headerDirty_ = true; }
    void SaveBuffer();
    int64_t RecordOffset(int32_t n) const { return layout_.RecordOffset(n); }
    // Reads record n into the current buffer (subcode 1207 for failures).
    void ReadRecordInto(int32_t n);
    // Reads the record movement left unread, if any, into the table's own buffer.
    void ReadIfUnread() const {
        if (unread_ != 0) ReadUnread();
    }

private:
    bool LockRegionNoWait(uint32_t offset, uint32_t length);
    // Takes the header lock for an append, waiting with the engine's retry settings.
    bool AcquireAppendLock(bool& systemLockHeld);
    void ReleaseAppendLock(bool systemLockHeld);
    void ReadUnread() const;

    TgsDBFLayout layout_;
    uint8_t flagBits_ = 0;
    uint32_t userId_ = 0;
    std::vector<uint8_t> ownBuffer_;
    uint8_t* curBuf_ = nullptr;
    std::vector<uint8_t> saved_;
    int32_t recNo_ = 0;
    // The record the own buffer stands for but does not hold yet (0: none). It is only
    // ever recNo_, on a file no other program may change, with the own buffer current.
    mutable int32_t unread_ = 0;
    bool deferReads_ = true;
    bool eof_ = false;
    bool bof_ = true;
    bool headerDirty_ = false;
    bool tableLocked_ = false;
    bool useDeleted_ = true;
    bool exactMatch_ = false;
    bool opened_ = false;
    int mode_ = gsModeNormal;
    int protocol_ = 0;
    TgsLockConstants lockConst_;
};
