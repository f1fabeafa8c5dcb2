// Reading a TRidedezDataSet's data fields straight from the record images in its buffers,
// through the engine's field codec: the values are the table object's, and a field the
// codec cannot read (a number that is not one) is handed to the table object, which
// raises its error. Each field is bound at open to the reader of its text, so AsString
// costs one direct call per field.
#include <cmath>
#include <cstring>

#include "dataset/DateTime.h"
#include "dataset/RidedezDataSet.h"
#include "engine/DBFDate.h"
#include "engine/FieldCodec.h"
#include "engine/RunErrors.h"
#include "engine/platform/Locale.h"

// The text readers a field is bound to at open. Each answers the text it makes, so that
// it is built in place in the caller's string.
struct TRidedezDataSet::FieldReaders {
    static const char* At(const FieldSlot& slot, const uint8_t* record) {
        return reinterpret_cast<const char*>(record) + slot.position;
    }

    static std::string String(TRidedezDataSet&, const FieldSlot& slot, uint8_t* record) {
        const char* p = At(slot, record);
        return std::string(p, fieldcodec::TrimmedLength(p, slot.length));
    }

    static std::string Integer(TRidedezDataSet& ds, const FieldSlot& slot, uint8_t* record) {
        char digits[fieldcodec::kDecimalTextSize];
        if (const size_t n = fieldcodec::IntegerText(At(slot, record), slot.length, digits)) {
            return std::string(digits, n);
        }
        return std::to_string(ds.IntegerAt(slot, record));
    }

    static std::string BinaryInteger(TRidedezDataSet& ds, const FieldSlot& slot, uint8_t* record) {
        return std::to_string(ds.IntegerAt(slot, record));
    }

    static std::string Float(TRidedezDataSet& ds, const FieldSlot& slot, uint8_t* record) {
        char digits[fieldcodec::kDecimalTextSize];
        const size_t n = fieldcodec::DecimalText(At(slot, record), slot.length, digits);
        if (n == 0) return FloatToText(ds.NumberAt(slot, record));
        const char separator = platform::CurrentLocale().decimalSeparator;
        if (separator != '.') {
            for (size_t i = 0; i < n; ++i) digits[i] = digits[i] == '.' ? separator : digits[i];
        }
        return std::string(digits, n);
    }

    static std::string BinaryFloat(TRidedezDataSet& ds, const FieldSlot& slot, uint8_t* record) {
        return FloatToText(ds.NumberAt(slot, record));
    }

    static std::string Boolean(TRidedezDataSet&, const FieldSlot& slot, uint8_t* record) {
        if (fieldcodec::Logical(At(slot, record), slot.length)) return std::string("True", 4);
        return std::string("False", 5);
    }

    static std::string Date(TRidedezDataSet&, const FieldSlot& slot, uint8_t* record) {
        int y, m, d;
        const char* p = At(slot, record);
        if (!fieldcodec::CalendarDate(p, slot.length, y, m, d)) return std::string();
        char out[TgsDBFDate::kDisplaySize];
        return std::string(out, TgsDBFDate::Instance().DigitsToDisplay(p, out));
    }
};

void TRidedezDataSet::BindFieldSlots() {
    DBFObject& t = *table_;
    const bool fox = t.Version() == 0x30;
    slots_.assign(static_cast<size_t>(t.FieldCount()) + 1, FieldSlot{});
    slotCount_ = static_cast<unsigned>(t.FieldCount());
    for (const TFieldDef& def : MutableFieldDefs()) {
        const int n = def.fieldNo;
        FieldSlot& slot = slots_[static_cast<size_t>(n)];
        slot.position = static_cast<uint32_t>(t.FieldOffset(n));
        slot.length = static_cast<uint32_t>(t.FieldLength(n));
        slot.type = t.FieldType(n);
        slot.binary = fox && fieldcodec::IsBinaryType(slot.type);
        slot.kind = def.type;
        switch (def.type) {
            case TFieldType::ftString: slot.text = &FieldReaders::String; break;
            case TFieldType::ftSmallint:
            case TFieldType::ftInteger:
                slot.text = slot.binary ? &FieldReaders::BinaryInteger : &FieldReaders::Integer;
                break;
            case TFieldType::ftFloat: slot.text = slot.binary ? &FieldReaders::BinaryFloat : &FieldReaders::Float; break;
            case TFieldType::ftBoolean: slot.text = &FieldReaders::Boolean; break;
            case TFieldType::ftDate: slot.text = &FieldReaders::Date; break;
            default: slot.text = nullptr;  // the framework formats the value
        }
    }
}

double TRidedezDataSet::NumberAt(const FieldSlot& slot, uint8_t* buffer) {
    const uint8_t* p = buffer + slot.position;
    if (slot.binary) return fieldcodec::BinaryNumber(slot.type, p, slot.length);
    double v = 0;
    if (fieldcodec::TextNumber(reinterpret_cast<const char*>(p), slot.length, v)) return v;
    // Not a number: the table object raises its error, naming the table and the field.
    TRecordPointer at(*table_, buffer);
    return table_->GetNumber(FieldNumberOf(slot));
}

int64_t TRidedezDataSet::IntegerAt(const FieldSlot& slot, uint8_t* buffer) {
    const double r = RoundHalfEven(NumberAt(slot, buffer));
    if (!(r >= INT32_MIN && r <= INT32_MAX)) throw ERangeError(201, "Range check error");
    const int32_t v = static_cast<int32_t>(r);
    return slot.kind == TFieldType::ftSmallint ? static_cast<int16_t>(v) : v;
}

int TRidedezDataSet::FieldNumberOf(const FieldSlot& slot) const {
    return static_cast<int>(&slot - slots_.data());
}

const TRidedezDataSet::FieldSlot* TRidedezDataSet::SlotOf(const TField& field) const {
    const unsigned n = static_cast<unsigned>(field.FieldNo());  // calculated fields: 0
    return n - 1 < slotCount_ ? &slots_[n] : nullptr;
}

bool TRidedezDataSet::ReadDataField(const TField& field, uint8_t* buffer, TFieldValue& value) {
    const FieldSlot* slot = SlotOf(field);
    if (!slot) return false;
    const char* p = reinterpret_cast<const char*>(buffer) + slot->position;
    switch (field.DataType()) {
        case TFieldType::ftString: {
            const size_t length = fieldcodec::TrimmedLength(p, slot->length);
            if (length == 0) return false;
            value.emplace<std::string>(p, length);
            return true;
        }
        case TFieldType::ftSmallint:
        case TFieldType::ftInteger: value = IntegerAt(*slot, buffer); return true;
        case TFieldType::ftBoolean: value = fieldcodec::Logical(p, slot->length); return true;
        case TFieldType::ftFloat: value = NumberAt(*slot, buffer); return true;
        case TFieldType::ftDateTime: value = TDateTimeValue{MillisecondsToDateTime(NumberAt(*slot, buffer))}; return true;
        case TFieldType::ftDate: {
            int y, m, d;
            if (!fieldcodec::CalendarDate(p, slot->length, y, m, d)) return false;
            value = TDateValue{EncodeDate(y, m, d)};
            return true;
        }
        case TFieldType::ftMemo:
        case TFieldType::ftBlob: {
            if (const std::string* pending = PendingMemo(field.FieldNo(), buffer)) {
                if (pending->empty()) return false;
            } else if (std::round(NumberAt(*slot, buffer)) == 0) {
                return false;
            }
            value = std::string();  // the contents come through the blob stream
            return true;
        }
        case TFieldType::ftUnknown: break;
    }
    return false;
}

std::string TRidedezDataSet::ReadFieldText(const TField& field) {
    // Fields are bound by number to slots of their own kind (a persistent field of
    // another kind is refused at open).
    const FieldSlot* slot = SlotOf(field);
    uint8_t* buffer = slot && slot->text ? FieldBuffer() : nullptr;
    // Each path answers a fresh text, so that it is built straight in the caller's.
    if (!buffer) return TDataSet::ReadFieldText(field);
    if (field.transliterate && translateASCII_) return TranslatedText(*slot, buffer);
    return slot->text(*this, *slot, buffer);
}

std::string TRidedezDataSet::TranslatedText(const FieldSlot& slot, uint8_t* buffer) {
    std::string text = slot.text(*this, slot, buffer);
    TranslateInPlace(text, false);
    return text;
}
