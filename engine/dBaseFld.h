#pragma once
// GSO_dBaseFld: field lookup and typed field access on the current record buffer, the
// blank record, deleting and recalling, and one memo file object per memo field.

#include <memory>
#include <string>
#include <vector>

#include "engine/dBaseDBF.h"

class GSobjMemo;
class TgsExpUserLink;

class GSO_dBaseFld : public GSO_dBaseDBF {
public:
    GSO_dBaseFld(const std::string& path, bool readWrite, bool shared);
    ~GSO_dBaseFld() override;

    void CloseTable() override;
    void SetLockProtocol(int protocol) override;

    // The field operations, in their slot order (25 to 54).
    virtual const TgsDBFField* FieldDescriptor(const std::string& name);              // 25
    virtual void BlankRecord();                                                        // 26
    virtual int32_t GetDateByName(const std::string& name);                            // 27
    virtual int32_t GetDate(int n);                                                    // 28
    virtual bool PutDateByName(const std::string& name, int32_t day);                  // 29
    virtual bool PutDate(int n, int32_t day);                                          // 30
    virtual void DeleteRecord();                                                       // 31
    virtual std::string GetTextByName(const std::string& name);                        // 32
    virtual std::string GetText(int n);                                                // 33
    virtual bool PutTextByName(const std::string& name, const std::string& text);      // 34
    virtual bool PutText(int n, const std::string& text);                              // 35
    virtual int FieldDecimals(int n);                                                  // 36
    virtual int FieldLength(int n);                                                    // 37
    virtual int FieldOffset(int n);                                                    // 38
    virtual std::string FieldName(int n);                                              // 39
    virtual char FieldType(int n);                                                     // 40
    virtual int FormulaHook(int a, int b, int c, int d, int e);                        // 41
    virtual bool GetLogicalByName(const std::string& name);                            // 42
    virtual bool GetLogical(int n);                                                    // 43
    virtual bool PutLogicalByName(const std::string& name, bool value);                // 44
    virtual bool PutLogical(int n, bool value);                                        // 45
    virtual double GetNumberByName(const std::string& name);                           // 46
    virtual double GetNumber(int n);                                                   // 47
    virtual bool PutNumberByName(const std::string& name, double value);               // 48
    virtual bool PutNumber(int n, double value);                                       // 49
    virtual std::string GetDisplayTextByName(const std::string& name);                 // 50
    virtual std::string GetDisplayText(int n);                                         // 51
    virtual bool PutFromTextByName(const std::string& name, const std::string& text);  // 52
    virtual bool PutFromText(int n, const std::string& text);                          // 53
    virtual void RecallRecord();                                                       // 54

    // The expression link through which key and filter expressions reach this table's
    // fields and functions; the table with expressions supplies it (null here).
    virtual TgsExpUserLink* UserLink() const { return nullptr; }

    // The number of the first field of that name (trailing blanks ignored), or 0.
    int FieldNumber(const std::string& name) const;
    bool HasMemo() const { return hasMemo_; }
    // Whether field n keeps a memo block number (M and G, and B outside 0x30 tables).
    bool IsMemoField(int n) const;

    // Memo access by field number. MemoFile is created on first use (null for fields
    // without memo and tables without memo support).
    GSobjMemo* MemoFile(int n);
    int32_t MemoSize(int n);
    // Reads at most `size` bytes of field n's memo; answers the bytes read.
    int32_t MemoRead(int n, char* buffer, int32_t size);
    std::string MemoText(int n);
    // Writes the memo and stores its block number in the field (in the buffer only).
    bool MemoWrite(int n, const char* buffer, int32_t size);
    // The steps of a memo change that never leaves a record pointing at freed or shared
    // blocks: write the new text into blocks no record refers to yet (MemoWriteNew answers
    // its first block, 0 for an empty text, and changes nothing in the record), store
    // that number (MemoSetBlock), write the record, and only then give the old memo's
    // blocks back (MemoRelease; only dBase IV files reuse them).
    int32_t MemoWriteNew(int n, const char* buffer, int32_t size);
    void MemoSetBlock(int n, int32_t block);
    void MemoRelease(int n, int32_t block);
    // The block number field n holds (truncated); error 1005 when it is outside 32 bits.
    int32_t MemoBlockNumber(int n);

protected:
    void AfterOpen() override;
    void FlushCompanions() override;
    void RenameCompanions(const std::string& oldPath) override;
    // Creates a memo object of the kind the version implies for the given table path
    // (opened), or null for tables without memo support.
    std::unique_ptr<GSobjMemo> MakeMemoObject(const std::string& tablePath);

private:
    const TgsDBFField* FieldAt(int n) const;
    // The memo object of field n; error 1004 when the field or table has none.
    GSobjMemo* WritableMemo(int n);
    // The field of that name whose type is one of `types`; 1003 or 1004 otherwise.
    int TypedField(const std::string& name, const char* types);
    bool BinaryField(const TgsDBFField& f) const;
    [[noreturn]] void InvalidValue(const char* what, const TgsDBFField& f, const std::string& text);
    std::string RawText(const TgsDBFField& f) const;

    bool hasMemo_ = false;
    std::vector<std::unique_ptr<GSobjMemo>> memos_;  // by field index
};
