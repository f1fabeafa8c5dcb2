#pragma once
// The kinds of the dataset's fields, their definitions, and the framework's enumerations.

#include <string>
#include <vector>

enum class TFieldType { ftUnknown, ftString, ftSmallint, ftInteger, ftFloat, ftDate, ftBoolean, ftMemo, ftBlob, ftDateTime };

enum class TFieldKind { fkData, fkCalculated, fkInternalCalc };

enum class TDataSetState {
    dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter, dsNewValue, dsOldValue, dsInternalCalc
};

enum class TGetMode { gmCurrent, gmNext, gmPrior };
enum class TGetResult { grOK, grBOF, grEOF, grError };
enum class TBookmarkFlag : unsigned char { bfCurrent, bfBOF, bfEOF, bfInserted };
// What an error event asks for: raise the error, end silently, or try again.
enum class TDataAction { daFail, daAbort, daRetry };
enum class TBlobStreamMode { bmRead, bmWrite, bmReadWrite };

// A field of the table as the dataset sees it: the name as stored, its kind and size
// (the length of a text field, 0 otherwise), and its number in the table (from 1).
struct TFieldDef {
    std::string name;
    TFieldType type = TFieldType::ftUnknown;
    int size = 0;
    int fieldNo = 0;
    bool required = false;
};

using TFieldDefs = std::vector<TFieldDef>;

const char* FieldTypeName(TFieldType type);
inline bool IsBlobType(TFieldType type) { return type == TFieldType::ftMemo || type == TFieldType::ftBlob; }
