#pragma once
// Stores one JSON value of an input line into a field of the table's record buffer,
// through the table object's typed puts, after checking that it fits the field.

#include <string>

#include "tools/dbf/CodePage.h"
#include "tools/dbf/JsonReader.h"

class GSO_dBHandler;

namespace dbftool {

// A value that does not fit its field: what is wrong, for the line's report.
struct FieldMismatch {
    std::string message;
};

class FieldPut {
public:
    FieldPut(GSO_dBHandler& table, const CodePage& codePage) : table_(table), codePage_(codePage) {}

    // Stores `value` into field n. Memo texts are not written here: they come back in
    // `memo` (with `hasMemo` set) so that the caller writes them once every other field
    // of the line has been accepted. Raises FieldMismatch, or the engine's error.
    void Put(int n, const JsonValue& value, bool& hasMemo, std::string& memo);

private:
    [[noreturn]] void Mismatch(int n, const std::string& what) const;
    [[noreturn]] void WrongType(int n, const JsonValue& value, const char* wanted) const;
    std::string Encoded(int n, const std::string& utf8) const;
    int32_t DateValue(int n, const std::string& text, size_t& used) const;
    double DateTimeValue(int n, const std::string& text) const;

    GSO_dBHandler& table_;
    CodePage codePage_;
};

}  // namespace dbftool
