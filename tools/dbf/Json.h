#pragma once
// A small JSON writer for the tool's output. Text is written as given bytes: valid UTF-8
// passes through, any other byte above 0x7F is written as the code point of that byte.

#include <cstdint>
#include <string>

namespace dbftool {

std::string JsonString(const std::string& bytes);
std::string JsonNumber(double value);

// Builds one JSON object, key by key, in insertion order.
class JsonObject {
public:
    JsonObject& Raw(const std::string& key, const std::string& json);
    JsonObject& Text(const std::string& key, const std::string& value) {
        return Raw(key, JsonString(value));
    }
    JsonObject& Int(const std::string& key, int64_t value) {
        return Raw(key, std::to_string(value));
    }
    JsonObject& Bool(const std::string& key, bool value) { return Raw(key, value ? "true" : "false"); }
    std::string Str() const { return body_ + "}"; }

private:
    std::string body_ = "{";
};

}  // namespace dbftool
