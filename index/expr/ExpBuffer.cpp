#include <cstring>

#include "index/expr/ExpKinds.h"
#include "index/expr/ExpMessages.h"

double TgsExpBuffer::Number() const {
    double v;
    std::memcpy(&v, data, sizeof v);
    return v;
}

void TgsExpBuffer::SetNumber(double value) { std::memcpy(data, &value, sizeof value); }

size_t TgsExpBuffer::TextLength() const {
    const void* end = std::memchr(data, 0, size);
    return end ? static_cast<size_t>(static_cast<const char*>(end) - data) : size - 1;
}

void TgsExpBuffer::SetText(const char* text, size_t length, const std::string& what) {
    if (length > TextCapacity()) throw ExpTooLong(what, TextCapacity());
    std::memmove(data, text, length);
    data[length] = 0;
}

void TgsExpBuffer::SetTextClamped(const char* text, size_t length) {
    if (length > TextCapacity()) length = TextCapacity();
    std::memmove(data, text, length);
    data[length] = 0;
}

TgsExpFieldRef TgsExpBuffer::FieldRef() const {
    TgsExpFieldRef ref;
    std::memcpy(&ref, data, sizeof ref);
    return ref;
}

void TgsExpBuffer::SetFieldRef(const TgsExpFieldRef& ref) { std::memcpy(data, &ref, sizeof ref); }

int32_t TruncToInt(double value) {
    if (!(value == value)) return 0;
    if (value >= 2147483647.0) return 2147483647;
    if (value <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int32_t>(value);
}
