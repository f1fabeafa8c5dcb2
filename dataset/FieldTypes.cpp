#include "dataset/FieldTypes.h"

const char* FieldTypeName(TFieldType type) {
    switch (type) {
        case TFieldType::ftString: return "String";
        case TFieldType::ftSmallint: return "Smallint";
        case TFieldType::ftInteger: return "Integer";
        case TFieldType::ftFloat: return "Float";
        case TFieldType::ftDate: return "Date";
        case TFieldType::ftBoolean: return "Boolean";
        case TFieldType::ftMemo: return "Memo";
        case TFieldType::ftBlob: return "Blob";
        case TFieldType::ftDateTime: return "DateTime";
        case TFieldType::ftUnknown: break;
    }
    return "Unknown";
}

