#include "index/expr/TgsVariant.h"

#include <cmath>
#include <cstring>

#include "engine/Exception.h"
#include "engine/RunErrors.h"
#include "engine/platform/Locale.h"
#include "index/expr/ExpDates.h"
#include "index/expr/ExpNumbers.h"

TgsVariant::TgsVariant(size_t capacity) {
    if (capacity > 0) {
        data_ = std::make_unique<uint8_t[]>(capacity);
        capacity_ = capacity;
    }
}

TgsVariant& TgsVariant::operator=(const TgsVariant& other) {
    if (this != &other) Assign(&other);
    return *this;
}

TgsVariant::TgsVariant(TgsVariant&& other) noexcept
    : data_(std::move(other.data_)), capacity_(other.capacity_), length_(other.length_), type_(other.type_) {
    other.capacity_ = other.length_ = 0;
    other.type_ = TgsVariantType::Empty;
}

TgsVariant& TgsVariant::operator=(TgsVariant&& other) noexcept {
    if (this != &other) {
        data_ = std::move(other.data_);
        capacity_ = other.capacity_;
        length_ = other.length_;
        type_ = other.type_;
        other.capacity_ = other.length_ = 0;
        other.type_ = TgsVariantType::Empty;
    }
    return *this;
}

void TgsVariant::Clear() {
    data_.reset();
    capacity_ = length_ = 0;
    type_ = TgsVariantType::Empty;
}

void TgsVariant::SetSize(size_t n) {
    if (n > capacity_) {
        auto grown = std::make_unique<uint8_t[]>(n);
        if (length_ > 0) std::memcpy(grown.get(), data_.get(), length_);
        data_ = std::move(grown);
        capacity_ = n;
    }
    length_ = n;
}

bool TgsVariant::Assign(const TgsVariant* other) {
    if (!other) return false;
    if (other == this) return true;
    if (data_ && capacity_ >= other->capacity_) {
        // The block held is large enough: no new one.
        if (other->length_ > 0) std::memcpy(data_.get(), other->data_.get(), other->length_);
    } else {
        data_.reset();
        capacity_ = other->capacity_;
        if (capacity_ > 0) {
            data_ = std::make_unique<uint8_t[]>(capacity_);
            if (other->length_ > 0) std::memcpy(data_.get(), other->data_.get(), other->length_);
        }
    }
    length_ = other->length_;
    type_ = other->type_;
    return true;
}

void TgsVariant::Store(const void* bytes, size_t length, TgsVariantType type) {
    length_ = 0;
    SetSize(length);
    if (length > 0) std::memmove(data_.get(), bytes, length);
    type_ = type;
}

void TgsVariant::SetText(const char* text) { SetText(text, text ? std::strlen(text) : 0); }
void TgsVariant::SetText(const char* text, size_t length) { Store(text, length, TgsVariantType::Text); }
void TgsVariant::SetNumber(double value) { Store(&value, sizeof value, TgsVariantType::Number); }
void TgsVariant::SetDate(int32_t day) { Store(&day, sizeof day, TgsVariantType::Date); }

void TgsVariant::SetLogical(bool value) {
    uint8_t b = value ? 1 : 0;
    Store(&b, 1, TgsVariantType::Logical);
}

void TgsVariant::SetBytes(const void* bytes, size_t length) {
    Store(bytes, length, TgsVariantType::Bytes);
}

void TgsVariant::AppendBytes(const void* bytes, size_t length) {
    if (type_ != TgsVariantType::Empty && type_ != TgsVariantType::Text &&
        type_ != TgsVariantType::Bytes)
        throw ERidedezError("Variant type is not valid for append");
    // The bytes may lie in this value's own block, which growing frees.
    std::string copy(static_cast<const char*>(bytes), length);
    size_t old = length_;
    SetSize(old + length);
    if (length > 0) std::memcpy(data_.get() + old, copy.data(), length);
    type_ = TgsVariantType::Bytes;
}

std::string TgsVariant::AsText() const {
    if (IsEmpty()) return std::string();
    switch (type_) {
        case TgsVariantType::Text:
        case TgsVariantType::Bytes:
            return std::string(reinterpret_cast<const char*>(data_.get()), length_);
        case TgsVariantType::Number:
            return expnum::FormatGeneral(AsNumber(), platform::CurrentLocale().decimalSeparator);
        case TgsVariantType::Date: return expdate::JulianToDisplay(AsDate());
        case TgsVariantType::Logical: return data_[0] ? "T" : "F";
        default: return std::string();
    }
}

double TgsVariant::AsNumber() const {
    if (IsEmpty()) return 0;
    switch (type_) {
        case TgsVariantType::Text: {
            std::string text(reinterpret_cast<const char*>(data_.get()), length_);
            double v;
            if (!expnum::ParseDecimal(text, platform::CurrentLocale().decimalSeparator, v))
                throw EConvertError(0, "'" + text + "' is not a valid floating point value");
            return v;
        }
        case TgsVariantType::Number:
        case TgsVariantType::Bytes: {
            double v = 0;
            std::memcpy(&v, data_.get(), length_ < sizeof v ? length_ : sizeof v);
            return v;
        }
        case TgsVariantType::Date: return AsDate();
        case TgsVariantType::Logical: return data_[0] ? 1 : 0;
        default: return 0;
    }
}

int32_t TgsVariant::AsDate() const {
    if (IsEmpty()) return 0;
    switch (type_) {
        case TgsVariantType::Text: {
            int64_t day = expdate::JulianFromText(
                std::string(reinterpret_cast<const char*>(data_.get()), length_));
            return static_cast<int32_t>(day);
        }
        case TgsVariantType::Number: {
            double v = std::trunc(AsNumber());
            // A number is a yyyymmdd date; anything beyond a 32-bit count is none.
            if (!(std::fabs(v) < 2147483648.0)) return 0;
            return static_cast<int32_t>(
                expdate::JulianFromText(std::to_string(static_cast<int32_t>(v))));
        }
        case TgsVariantType::Date:
        case TgsVariantType::Bytes: {
            int32_t d = 0;
            std::memcpy(&d, data_.get(), length_ < sizeof d ? length_ : sizeof d);
            return d;
        }
        default: return 0;
    }
}

bool TgsVariant::AsLogical() const {
    if (IsEmpty()) return false;
    switch (type_) {
        case TgsVariantType::Text: return std::strchr("TtYyJj", data_[0]) != nullptr && data_[0];
        case TgsVariantType::Number: return std::trunc(AsNumber()) != 0;
        case TgsVariantType::Logical:
        case TgsVariantType::Bytes: return data_[0] != 0;
        default: return false;
    }
}

size_t TgsVariant::CopyTo(void* buffer, size_t max) const {
    size_t n = length_ < max ? length_ : max;
    if (n > 0) std::memcpy(buffer, data_.get(), n);
    return n;
}

void TgsVariant::UpperText() {
    if (type_ != TgsVariantType::Text) return;
    const platform::Locale& loc = platform::CurrentLocale();
    for (size_t i = 0; i < length_; ++i) data_[i] = loc.Upper(data_[i]);
}

void TgsVariant::PadText(size_t n) {
    if (type_ != TgsVariantType::Text || n <= length_) return;
    size_t old = length_;
    SetSize(n);
    std::memset(data_.get() + old, ' ', n - old);
}

void TgsVariant::TrimText() {
    if (type_ != TgsVariantType::Text) return;
    while (length_ > 0 && data_[length_ - 1] == ' ') --length_;
}

int TgsVariant::Compare(const TgsVariant* other, int& matched, int prefixResult) const {
    matched = 0;
    if (!other) return 1;
    TgsVariantType mine = type_ == TgsVariantType::Bytes ? other->type_ : type_;
    TgsVariantType theirs = other->type_ == TgsVariantType::Bytes ? type_ : other->type_;
    if (mine != theirs) throw ERidedezError("Variant types mismatch for compare");
    bool meEmpty = IsEmpty(), otherEmpty = other->IsEmpty();
    if (meEmpty || otherEmpty) return meEmpty && otherEmpty ? 0 : meEmpty ? -1 : 1;
    switch (mine) {
        case TgsVariantType::Text:
        case TgsVariantType::Bytes: {
            size_t n = length_ < other->length_ ? length_ : other->length_;
            for (size_t i = 0; i < n; ++i) {
                if (data_[i] != other->data_[i]) {
                    matched = static_cast<int>(i + 1);
                    return data_[i] < other->data_[i] ? -1 : 1;
                }
            }
            matched = static_cast<int>(n + 1);
            if (length_ == other->length_) return 0;
            if (length_ < other->length_) {
                // A proper prefix of the other: the caller decides for texts.
                if (mine == TgsVariantType::Text) return prefixResult < 0 ? -1 : prefixResult > 0;
                return -1;
            }
            return 1;
        }
        case TgsVariantType::Number: {
            double a = AsNumber(), b = other->AsNumber();
            return a < b ? -1 : a > b ? 1 : 0;
        }
        case TgsVariantType::Date: {
            int32_t a = AsDate(), b = other->AsDate();
            return a < b ? -1 : a > b ? 1 : 0;
        }
        case TgsVariantType::Logical:
            if (data_[0] == other->data_[0]) return 0;
            return data_[0] != 0 ? 1 : -1;
        default: return 0;
    }
}
