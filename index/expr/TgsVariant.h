#pragma once
// The self-describing value of expression results, index keys and sort keys: an owned
// byte block with its capacity, the bytes in use and a type.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

enum class TgsVariantType : uint8_t {
    Empty = 0,
    Text = 1,     // the bytes of the text
    Number = 2,   // a double
    Date = 3,     // a 32-bit Julian day number
    Logical = 4,  // one byte
    Bytes = 5,    // raw bytes
};

class TgsVariant {
public:
    TgsVariant() = default;
    // Allocates `capacity` bytes at once (index code uses 256).
    explicit TgsVariant(size_t capacity);
    TgsVariant(const TgsVariant& other) { Assign(&other); }
    TgsVariant& operator=(const TgsVariant& other);
    // Moving hands the block over and leaves the source empty.
    TgsVariant(TgsVariant&& other) noexcept;
    TgsVariant& operator=(TgsVariant&& other) noexcept;

    void Clear();
    // Sets the length; grows the block (keeping its bytes) when it exceeds the capacity.
    void SetSize(size_t n);
    // Deep copy; false (and nothing copied) when `other` is null.
    bool Assign(const TgsVariant* other);

    void SetText(const char* text);
    void SetText(const char* text, size_t length);
    void SetText(const std::string& text) { SetText(text.data(), text.size()); }
    void SetNumber(double value);
    void SetDate(int32_t day);
    void SetLogical(bool value);
    void SetBytes(const void* bytes, size_t length);
    // Appends bytes and makes the value raw bytes; only an empty, text or raw value
    // takes them ("Variant type is not valid for append" otherwise).
    void AppendBytes(const void* bytes, size_t length);

    std::string AsText() const;
    double AsNumber() const;
    int32_t AsDate() const;
    bool AsLogical() const;
    // Copies at most `max` bytes; returns how many.
    size_t CopyTo(void* buffer, size_t max) const;

    // Text values only.
    void UpperText();
    void PadText(size_t n);
    void TrimText();

    // -1, 0 or 1; `matched` counts the bytes compared (see the .cpp); a text that is a
    // proper prefix of `other` gives `prefixResult`.
    int Compare(const TgsVariant* other, int& matched, int prefixResult) const;

    const uint8_t* Data() const { return data_.get(); }
    uint8_t* Data() { return data_.get(); }
    size_t Capacity() const { return capacity_; }
    size_t Length() const { return length_; }
    TgsVariantType Type() const { return type_; }
    bool IsEmpty() const { return !data_ || length_ == 0; }

private:
    void Store(const void* bytes, size_t length, TgsVariantType type);

    std::unique_ptr<uint8_t[]> data_;
    size_t capacity_ = 0;
    size_t length_ = 0;
    TgsVariantType type_ = TgsVariantType::Empty;
};
