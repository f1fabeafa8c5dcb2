// Decoding a TRidedezDataSet's data fields straight from the record images in its
// buffers. The results are the table object's: what it reads a field as, or the error it
// raises. Anything out of the ordinary (binary FoxPro fields, over-long or damaged
// numbers, odd logical fields) is handed to the table object itself.
#include <cmath>
#include <cstring>

#include "dataset/DateTime.h"
#include "dataset/RidedezDataSet.h"
#include "engine/DBFDate.h"
#include "engine/FieldText.h"
#include "engine/RunErrors.h"

namespace {

// The bytes of a text field up to its first NUL, trailing blanks dropped. The blanks go
// first: they hold no NUL, and what is left to search is shorter.
size_t TextLength(const char* p, size_t length) {
    // Text fields are mostly blank-padded: eight blanks at a time, then one by one.
    static constexpr uint64_t kEightBlanks = 0x2020202020202020ull;
    for (uint64_t word; length >= 8; length -= 8) {
        std::memcpy(&word, p + length - 8, 8);
        if (word != kEightBlanks) break;
    }
    while (length > 0 && p[length - 1] == ' ') --length;
    if (const void* nul = std::memchr(p, 0, length)) {
        length = static_cast<size_t>(static_cast<const char*>(nul) - p);
        while (length > 0 && p[length - 1] == ' ') --length;
    }
    return length;
}

// A date field's calendar date: "yyyymmdd" of a real day; false for blanks, "00000000"
// and anything else (which the dataset shows as null).
bool DateAt(const char* p, size_t length, int& year, int& month, int& day) {
    if (length < 8) return false;
    unsigned digit[8];
    for (int i = 0; i < 8; ++i) {
        digit[i] = static_cast<unsigned>(static_cast<unsigned char>(p[i])) - '0';
        if (digit[i] > 9) return false;
    }
    // Eight digits; a longer field must hold nothing more.
    if (length > 8 && TextLength(p, length) != 8) return false;
    year = static_cast<int>(digit[0] * 1000 + digit[1] * 100 + digit[2] * 10 + digit[3]);
    month = static_cast<int>(digit[4] * 10 + digit[5]);
    day = static_cast<int>(digit[6] * 10 + digit[7]);
    return TgsDBFDate::ValidDate(year, month, day);
}

}  // namespace

double TRidedezDataSet::NumberAt(int n, uint8_t* buffer) {
    const FieldSlot& slot = slots_[static_cast<size_t>(n)];
    if (!slot.binary) {
        // The table object cuts the text at 31 characters and raises its error for text
        // that is not a number; such fields go to it below.
        const char* p = reinterpret_cast<const char*>(buffer) + slot.position;
        const size_t length = TextLength(p, slot.length);
        if (length == 0) return 0;
        double v = 0;
        if (length <= 31 && ParseFieldNumber(p, length, v)) return v;
    }
    if (buffer == table_->CurrentBuffer()) return table_->GetNumber(n);
    TRecordPointer at(*table_, buffer);
    return table_->GetNumber(n);
}

bool TRidedezDataSet::LogicalAt(int n, uint8_t* buffer) {
    const FieldSlot& slot = slots_[static_cast<size_t>(n)];
    if (slot.length == 1) {
        // T, t, Y, y and the German J, j are true; anything else is false.
        const char c = static_cast<char>(buffer[slot.position]);
        return c != '\0' && std::strchr("TtYyJj", c) != nullptr;
    }
    TRecordPointer at(*table_, buffer);
    return table_->GetLogical(n);
}

int64_t TRidedezDataSet::IntegerAt(const TField& field, uint8_t* buffer) {
    const double r = RoundHalfEven(NumberAt(field.FieldNo(), buffer));
    if (!(r >= INT32_MIN && r <= INT32_MAX)) throw ERangeError(201, "Range check error");
    const int32_t v = static_cast<int32_t>(r);
    return field.DataType() == TFieldType::ftSmallint ? static_cast<int16_t>(v) : v;
}

bool TRidedezDataSet::ReadDataField(const TField& field, uint8_t* buffer, TFieldValue& value) {
    const int n = field.FieldNo();
    if (n < 1 || static_cast<size_t>(n) >= slots_.size()) return false;
    const FieldSlot& slot = slots_[static_cast<size_t>(n)];
    const char* p = reinterpret_cast<const char*>(buffer) + slot.position;
    switch (field.DataType()) {
        case TFieldType::ftString: {
            const size_t length = TextLength(p, slot.length);
            if (length == 0) return false;
            value.emplace<std::string>(p, length);
            return true;
        }
        case TFieldType::ftSmallint:
        case TFieldType::ftInteger: value = IntegerAt(field, buffer); return true;
        case TFieldType::ftBoolean: value = LogicalAt(n, buffer); return true;
        case TFieldType::ftFloat: value = NumberAt(n, buffer); return true;
        case TFieldType::ftDateTime: value = TDateTimeValue{MillisecondsToDateTime(NumberAt(n, buffer))}; return true;
        case TFieldType::ftDate: {
            int y, m, d;
            if (!DateAt(p, slot.length, y, m, d)) return false;
            value = TDateValue{EncodeDate(y, m, d)};
            return true;
        }
        case TFieldType::ftMemo:
        case TFieldType::ftBlob: {
            if (const std::string* pending = PendingMemo(n, buffer)) {
                if (pending->empty()) return false;
            } else if (std::round(NumberAt(n, buffer)) == 0) {
                return false;
            }
            value = std::string();  // the contents come through the blob stream
            return true;
        }
        case TFieldType::ftUnknown: break;
    }
    return false;
}

// The same decoding as ReadDataField, written as text without building the value first:
// a grid or a loop over AsString reads every field of every record this way.
bool TRidedezDataSet::GetFieldText(const TField& field, std::string& text) {
    uint8_t* buf = FieldBuffer();
    const int n = field.FieldNo();
    if (!buf || !table_ || n < 1 || static_cast<size_t>(n) >= slots_.size()) return false;
    const FieldSlot& slot = slots_[static_cast<size_t>(n)];
    const char* p = reinterpret_cast<const char*>(buf) + slot.position;
    switch (field.DataType()) {
        case TFieldType::ftString: text.assign(p, TextLength(p, slot.length)); return true;
        case TFieldType::ftSmallint:
        case TFieldType::ftInteger: text = std::to_string(IntegerAt(field, buf)); return true;
        case TFieldType::ftBoolean: text = LogicalAt(n, buf) ? "True" : "False"; return true;
        case TFieldType::ftFloat: text = FloatToText(NumberAt(n, buf)); return true;
        case TFieldType::ftDate: {
            int y, m, d;
            if (DateAt(p, slot.length, y, m, d)) text = TgsDBFDate::Instance().DateToDisplay(y, m, d);
            return true;
        }
        default: return false;
    }
}
