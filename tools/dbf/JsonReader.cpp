#include "tools/dbf/JsonReader.h"

#include <charconv>
#include <cmath>

#include "engine/text/Utf8.h"

namespace dbftool {

namespace {

class Reader {
public:
    explicit Reader(const std::string& s) : s_(s) {}

    bool Object(std::vector<std::pair<std::string, JsonValue>>& members) {
        Blanks();
        if (!Take('{')) return Fail("expected a JSON object");
        Blanks();
        if (Take('}')) return End();
        for (;;) {
            Blanks();
            std::string key;
            if (Peek() != '"') return Fail("expected a member name");
            if (!String(key)) return false;
            Blanks();
            if (!Take(':')) return Fail("expected ':' after a member name");
            Blanks();
            JsonValue v;
            if (!Value(v)) return false;
            members.emplace_back(std::move(key), std::move(v));
            Blanks();
            if (Take(',')) continue;
            if (Take('}')) return End();
            return Fail("expected ',' or '}'");
        }
    }

    const std::string& Error() const { return error_; }

private:
    char Peek() const { return i_ < s_.size() ? s_[i_] : '\0'; }
    bool Take(char c) {
        if (Peek() != c || i_ >= s_.size()) return false;
        ++i_;
        return true;
    }
    void Blanks() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\r' || s_[i_] == '\n')) ++i_;
    }
    bool Fail(const std::string& what) {
        if (error_.empty()) error_ = what + " at column " + std::to_string(i_ + 1);
        return false;
    }
    bool End() {
        Blanks();
        if (i_ != s_.size()) return Fail("unexpected text after the object");
        return true;
    }
    bool Word(const char* w) {
        size_t n = std::char_traits<char>::length(w);
        if (s_.compare(i_, n, w) != 0) return false;
        i_ += n;
        return true;
    }

    bool Value(JsonValue& v) {
        const char c = Peek();
        if (c == '"') {
            v.kind = JsonValue::Kind::String;
            return String(v.text);
        }
        if (c == '{' || c == '[') return Fail("nested objects and arrays are not field values");
        if (Word("null")) {
            v.kind = JsonValue::Kind::Null;
            return true;
        }
        if (Word("true") || Word("false")) {
            v.kind = JsonValue::Kind::Bool;
            v.boolean = s_[i_ - 1] == 'e' && s_[i_ - 2] == 'u';  // "true", not "false"
            return true;
        }
        if (c == '-' || (c >= '0' && c <= '9')) return Number(v);
        return Fail("expected a value");
    }

    bool Digits() {
        size_t start = i_;
        while (i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9') ++i_;
        return i_ > start;
    }

    bool Number(JsonValue& v) {
        const size_t start = i_;
        Take('-');
        if (Peek() == '0') {
            ++i_;
        } else if (!Digits()) {
            return Fail("bad number");
        }
        if (Take('.') && !Digits()) return Fail("bad number");
        if (Peek() == 'e' || Peek() == 'E') {
            ++i_;
            if (Peek() == '+' || Peek() == '-') ++i_;
            if (!Digits()) return Fail("bad number");
        }
        v.kind = JsonValue::Kind::Number;
        v.text = s_.substr(start, i_ - start);
        auto r = std::from_chars(v.text.data(), v.text.data() + v.text.size(), v.number);
        if (r.ec == std::errc::result_out_of_range) {
            v.number = v.text[0] == '-' ? -HUGE_VAL : HUGE_VAL;
            if (v.text.find("e-") != std::string::npos || v.text.find("E-") != std::string::npos) v.number = 0;
        } else if (r.ec != std::errc()) {
            return Fail("bad number");
        }
        return true;
    }

    bool Hex4(uint32_t& out) {
        if (i_ + 4 > s_.size()) return Fail("bad \\u escape");
        out = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = s_[i_++];
            out <<= 4;
            if (c >= '0' && c <= '9') out |= static_cast<uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f') out |= static_cast<uint32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') out |= static_cast<uint32_t>(c - 'A' + 10);
            else return Fail("bad \\u escape");
        }
        return true;
    }

    bool String(std::string& out) {
        ++i_;  // the opening quote
        out.clear();
        for (;;) {
            if (i_ >= s_.size()) return Fail("unterminated string");
            const unsigned char c = static_cast<unsigned char>(s_[i_]);
            if (c == '"') {
                ++i_;
                return true;
            }
            if (c < 0x20) return Fail("control character in a string");
            if (c >= 0x80) {
                char32_t cp = 0;
                const size_t at = i_;
                if (!xbtext::NextUtf8(s_, i_, cp)) return Fail("malformed UTF-8");
                out.append(s_, at, i_ - at);
                continue;
            }
            ++i_;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            const char e = Peek();
            ++i_;
            switch (e) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '/': out += '/'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    uint32_t cp = 0;
                    if (!Hex4(cp)) return false;
                    if (cp >= 0xD800 && cp <= 0xDBFF) {
                        uint32_t low = 0;
                        if (!Word("\\u") || !Hex4(low) || low < 0xDC00 || low > 0xDFFF) {
                            return Fail("unpaired surrogate");
                        }
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
                        return Fail("unpaired surrogate");
                    }
                    xbtext::AppendUtf8(out, cp);
                    break;
                }
                default: return Fail("bad escape");
            }
        }
    }

    const std::string& s_;
    size_t i_ = 0;
    std::string error_;
};

}  // namespace

const char* JsonKindName(JsonValue::Kind kind) {
    switch (kind) {
        case JsonValue::Kind::Null: return "null";
        case JsonValue::Kind::Bool: return "a logical";
        case JsonValue::Kind::Number: return "a number";
        default: return "a string";
    }
}

bool ParseJsonObject(const std::string& text, std::vector<std::pair<std::string, JsonValue>>& members,
                     std::string& error) {
    members.clear();
    Reader r(text);
    if (r.Object(members)) return true;
    error = r.Error();
    return false;
}

}  // namespace dbftool
