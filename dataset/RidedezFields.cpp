// Field values in the record buffers of a TRidedezDataSet: calculated fields, the
// state-dependent choice of buffer, and writing data fields through the table object.
#include <cmath>
#include <cstring>

#include "dataset/DateTime.h"
#include "dataset/Messages.h"
#include "dataset/RidedezDataSet.h"
#include "engine/DBFDate.h"
#include "engine/RunErrors.h"

namespace {

// Calculated values: a presence byte, then the value in the field's calculated size.
void EncodeCalc(const TField& f, uint8_t* at, const TFieldValue& v) {
    std::memset(at, 0, 1 + f.CalcValueSize());
    if (IsNullValue(v)) return;
    at[0] = 1;
    uint8_t* p = at + 1;
    switch (f.DataType()) {
        case TFieldType::ftString: {
            const std::string& s = std::get<std::string>(v);
            std::memcpy(p, s.data(), std::min(s.size(), static_cast<size_t>(f.Size())));
            break;
        }
        case TFieldType::ftSmallint: {
            int16_t x = static_cast<int16_t>(std::get<int64_t>(v));
            std::memcpy(p, &x, 2);
            break;
        }
        case TFieldType::ftInteger: {
            int32_t x = static_cast<int32_t>(std::get<int64_t>(v));
            std::memcpy(p, &x, 4);
            break;
        }
        case TFieldType::ftBoolean: p[0] = std::get<bool>(v) ? 1 : 0; break;
        case TFieldType::ftFloat: {
            double d = std::get<double>(v);
            std::memcpy(p, &d, 8);
            break;
        }
        case TFieldType::ftDate: std::memcpy(p, &std::get<TDateValue>(v).value, 8); break;
        case TFieldType::ftDateTime: std::memcpy(p, &std::get<TDateTimeValue>(v).value, 8); break;
        default: at[0] = 0;
    }
}

bool DecodeCalc(const TField& f, const uint8_t* at, TFieldValue& v) {
    if (!at[0]) return false;
    const uint8_t* p = at + 1;
    switch (f.DataType()) {
        case TFieldType::ftString: {
            const char* c = reinterpret_cast<const char*>(p);
            v = std::string(c, strnlen(c, static_cast<size_t>(f.Size())));
            return true;
        }
        case TFieldType::ftSmallint: {
            int16_t x;
            std::memcpy(&x, p, 2);
            v = static_cast<int64_t>(x);
            return true;
        }
        case TFieldType::ftInteger: {
            int32_t x;
            std::memcpy(&x, p, 4);
            v = static_cast<int64_t>(x);
            return true;
        }
        case TFieldType::ftBoolean: v = p[0] != 0; return true;
        case TFieldType::ftFloat:
        case TFieldType::ftDate:
        case TFieldType::ftDateTime: {
            double d;
            std::memcpy(&d, p, 8);
            if (f.DataType() == TFieldType::ftFloat) v = d;
            else if (f.DataType() == TFieldType::ftDate) v = TDateValue{d};
            else v = TDateTimeValue{d};
            return true;
        }
        default: return false;
    }
}

}  // namespace

void TRidedezDataSet::ClearCalcFields(uint8_t* buffer) { std::memset(buffer + calcOffset_, 0, CalcFieldsSize()); }

bool TRidedezDataSet::GetFieldData(const TField& field, TFieldValue& value) {
    uint8_t* buf = FieldBuffer();
    if (!buf) return false;
    if (field.Calculated()) {
        const TDataSetState s = State();
        if (s != TDataSetState::dsBrowse && s != TDataSetState::dsEdit && s != TDataSetState::dsInsert &&
            s != TDataSetState::dsCalcFields) {
            return false;
        }
        return DecodeCalc(field, buf + calcOffset_ + field.calcOffset, value);
    }
    OpenTable();
    return ReadDataField(field, buf, value);
}

void TRidedezDataSet::SetFieldData(TField& field, const TFieldValue& value) {
    const TDataSetState s = State();
    switch (s) {
        case TDataSetState::dsEdit:
        case TDataSetState::dsInsert:
        case TDataSetState::dsSetKey:
        case TDataSetState::dsCalcFields:
        case TDataSetState::dsFilter:
        case TDataSetState::dsNewValue:
        case TDataSetState::dsInternalCalc: break;
        default: DatabaseError(dsmsg::kNotEditing);
    }
    // No field is an index field until index files are open.
    if (s == TDataSetState::dsSetKey) DatabaseErrorFmt(dsmsg::kNotIndexField, field.DisplayName());
    uint8_t* buf = ActiveRecordBuffer();
    if (!buf) DatabaseError(dsmsg::kNotEditing);
    if (field.Calculated()) {
        EncodeCalc(field, buf + calcOffset_ + field.calcOffset, value);
    } else {
        if (s == TDataSetState::dsCalcFields) DatabaseError(dsmsg::kNotEditing);
        if (field.readOnly && s != TDataSetState::dsFilter) DatabaseErrorFmt(dsmsg::kFieldReadOnly, field.DisplayName());
        if (field.onValidate) field.onValidate(field);
        if (field.FieldKind() == TFieldKind::fkInternalCalc) return;
        if (s == TDataSetState::dsFilter) {
            WriteDataField(field, value);
        } else {
            TRecordPointer at(OpenTable(), buf);
            WriteDataField(field, value);
        }
    }
    if (s != TDataSetState::dsCalcFields && s != TDataSetState::dsFilter && s != TDataSetState::dsNewValue) {
        FieldChanged(field);
    }
}

void TRidedezDataSet::WriteDataField(TField& field, const TFieldValue& value) {
    DBFObject& t = OpenTable();
    const int n = field.FieldNo();
    const bool null = IsNullValue(value);
    switch (field.DataType()) {
        case TFieldType::ftString: t.PutText(n, null ? std::string() : std::get<std::string>(value)); break;
        case TFieldType::ftSmallint:
        case TFieldType::ftInteger: t.PutNumber(n, null ? 0.0 : static_cast<double>(std::get<int64_t>(value))); break;
        case TFieldType::ftFloat: t.PutNumber(n, null ? 0.0 : std::get<double>(value)); break;
        case TFieldType::ftDateTime:
            t.PutNumber(n, null ? 0.0 : DateTimeToMilliseconds(std::get<TDateTimeValue>(value).value));
            break;
        case TFieldType::ftBoolean: t.PutLogical(n, null ? false : std::get<bool>(value)); break;
        case TFieldType::ftDate: {
            int32_t day = 0;
            if (!null) {
                const double v = std::get<TDateValue>(value).value;
                if (std::isfinite(v) && v > -2415019.0 && v < 2958466.0) day = DateTimeToJulian(v);
            }
            t.PutDate(n, day);
            break;
        }
        case TFieldType::ftMemo:
        case TFieldType::ftBlob:
        case TFieldType::ftUnknown: break;
    }
}
