#pragma once
// A small JSON reader for the tool's input lines: one object whose members are scalars
// (null, true, false, numbers, strings). Arrays and nested objects are refused, as no
// table field takes them.

#include <string>
#include <utility>
#include <vector>

namespace dbftool {

struct JsonValue {
    enum class Kind { Null, Bool, Number, String };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string text;  // a string's UTF-8 bytes, or a number as written
};

const char* JsonKindName(JsonValue::Kind kind);

// Parses one JSON object (blanks around it allowed) into its members in order.
// False with a message in `error` when the text is not such an object.
bool ParseJsonObject(const std::string& text, std::vector<std::pair<std::string, JsonValue>>& members,
                     std::string& error);

}  // namespace dbftool
