#pragma once
// Value kinds of an evaluation, the buffer a node evaluates into, and the limits that
// keep evaluation inside its buffers and its stack.

#include <cstddef>
#include <cstdint>
#include <string>

using TgsExpKind = uint8_t;

namespace expkind {
constexpr TgsExpKind NoResult = 0;  // no tree, or a kind that cannot be stored
constexpr TgsExpKind None = 1;      // nothing usable; also a missing argument
constexpr TgsExpKind Any = 2;       // only asked for, never produced
constexpr TgsExpKind Text = 3;      // zero-terminated 8-bit characters
constexpr TgsExpKind Number = 4;    // a double
constexpr TgsExpKind Number5 = 5;   // number-like, stored like 4
constexpr TgsExpKind Date = 6;      // a Julian day number in a double
constexpr TgsExpKind Number7 = 7;   // number-like, stored like 4
constexpr TgsExpKind Logical = 8;   // one byte, 0 or 1
constexpr TgsExpKind Field = 9;     // a reference to a field with no scalar value

// Kinds 4 to 7 mix freely: dates and numbers are both doubles.
constexpr bool IsNumeric(TgsExpKind k) { return k >= Number && k <= Number7; }
}  // namespace expkind

// The empty date, as the expression language carries it.
constexpr double kEmptyDate = 1.0E+100;

// Operator operands and trial evaluations use 512 bytes; variants and conditions 256.
constexpr size_t kExpOperandBuffer = 512;
constexpr size_t kExpVariantBuffer = 256;
// Every buffer a node is handed holds at least a double and a field reference.
constexpr size_t kExpMinBuffer = 16;
// Deepest tree (operators, groups and calls one inside another) that is built.
constexpr int kExpMaxDepth = 500;
// Longest expression text that is parsed.
constexpr size_t kExpMaxText = 4096;

class GSO_dBaseFld;

// What kind 9 leaves in a buffer.
struct TgsExpFieldRef {
    GSO_dBaseFld* table;
    int32_t field;  // 1-based
};

// A caller's buffer and its size. Every write goes through it, so nothing can be
// written past its end: a text that does not fit raises ERidedezExpression.
struct TgsExpBuffer {
    char* data;
    size_t size;

    // Largest text (without its terminating zero) the buffer holds.
    size_t TextCapacity() const { return size - 1; }

    double Number() const;
    void SetNumber(double value);
    bool Logical() const { return data[0] != 0; }
    void SetLogical(bool value) { data[0] = value ? 1 : 0; }
    const char* Text() const { return data; }
    size_t TextLength() const;
    // Stores a text; `what` names the operation in the message when it is too long.
    void SetText(const char* text, size_t length, const std::string& what);
    void SetText(const std::string& text, const std::string& what) {
        SetText(text.data(), text.size(), what);
    }
    // Stores a text, keeping only what fits (field contents).
    void SetTextClamped(const char* text, size_t length);
    // Shortens the text held to `length` characters.
    void Truncate(size_t length) { data[length] = 0; }
    TgsExpFieldRef FieldRef() const;
    void SetFieldRef(const TgsExpFieldRef& ref);
};

// Truncation toward zero into 32 bits, saturating (NaN gives 0), so that no huge or
// odd double turns into undefined behaviour on its way to a count or a position.
int32_t TruncToInt(double value);
