#include "tools/dbf/Cell.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/DBFDate.h"
#include "engine/FieldText.h"
#include "engine/Memo.h"
#include "engine/MemoFactory.h"
#include "engine/dBHandler.h"
#include "engine/platform/Paths.h"

namespace dbftool {

namespace {

constexpr double kMsPerDay = 86400000.0;

bool AllOf(const std::string& s, char c) {
    return !s.empty() && s.find_first_not_of(c) == std::string::npos;
}

Cell NullCell() { return Cell{}; }

Cell NumberCell(double v) {
    Cell c;
    std::string t = JsonNumberText(v);
    if (t == "null") return c;
    c.kind = Cell::Kind::Number;
    c.text = t;
    return c;
}

Cell BoolCell(bool b) {
    Cell c;
    c.kind = Cell::Kind::Bool;
    c.boolean = b;
    return c;
}

std::string DateText(int32_t day) {
    int y = 0, m = 0, d = 0;
    TgsDBFDate::Instance().JulianSplit(day, y, m, d);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
    return buf;
}

}  // namespace

std::string JsonNumberText(double value) {
    if (!std::isfinite(value)) return "null";
    if (value == 0) return "0";  // also for -0
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

CellReader::CellReader(GSO_dBHandler& table, const CodePage& codePage)
    : table_(table), codePage_(codePage) {}

CellReader::~CellReader() = default;

Cell CellReader::TextCell(const std::string& bytes) const {
    Cell c;
    c.kind = Cell::Kind::Text;
    c.text = codePage_.Decode(bytes);
    return c;
}

std::string CellReader::MemoOf(int n) {
    if (table_.MemoFile(n) != nullptr) return table_.MemoText(n);
    if (table_.Version() != 0x30) return "";
    const int32_t block = table_.MemoBlockNumber(n);
    if (block == 0) return "";
    if (!strayMemoTried_) {
        strayMemoTried_ = true;
        const std::string path = MemoPathFor(table_.RealPath(), 0x30);
        if (platform::FileExists(platform::ResolveCase(path))) {
            strayMemo_ = CreateMemoObject(&table_, table_.RealPath(), 0x30, false, true);
        }
    }
    return strayMemo_ ? strayMemo_->MemoText(block) : std::string();
}

Cell CellReader::Read(int n) {
    const char type = table_.FieldType(n);
    const bool fox = table_.Version() == 0x30;
    const uint8_t* raw = table_.CurrentBuffer() + table_.FieldOffset(n);
    const int length = table_.FieldLength(n);
    if (fox && std::strchr("IYB", type) && type != '\0') return NumberCell(table_.GetNumber(n));
    if (fox && type == 'T') {
        if (length < 8) return NullCell();
        bool empty = true;
        for (int k = 0; k < 8; ++k) empty = empty && (raw[k] == 0 || raw[k] == ' ');
        if (empty) return NullCell();
        const double v = table_.GetNumber(n);
        const double dayPart = std::floor(v / kMsPerDay);
        const double day = dayPart + gsDateTimeJulianOffset;
        if (day <= gsDateTimeJulianOffset || day > 5373484) return NullCell();  // up to 9999-12-31
        const int64_t ms = static_cast<int64_t>(v - dayPart * kMsPerDay);
        char buf[32];
        std::snprintf(buf, sizeof buf, "T%02d:%02d:%02d.%03d", static_cast<int>(ms / 3600000),
                      static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60),
                      static_cast<int>(ms % 1000));
        Cell c;
        c.kind = Cell::Kind::Text;
        c.text = DateText(static_cast<int32_t>(day)) + buf;
        return c;
    }
    if (table_.IsMemoField(n)) {
        Cell c;
        c.kind = Cell::Kind::Text;
        c.text = codePage_.Decode(MemoOf(n));
        return c;
    }
    const std::string text = TrimRightBlanks(table_.GetText(n));
    switch (type) {
        case 'N':
        case 'F': {
            const std::string t = TrimLeftBlanks(text);
            if (t.empty() || AllOf(t, '*')) return NullCell();
            return NumberCell(table_.GetNumber(n));
        }
        case 'D': {
            if (text.empty() || table_.GetText(n) == "00000000") return NullCell();
            const int32_t day = table_.GetDate(n);
            if (day <= 0) return NullCell();
            Cell c;
            c.kind = Cell::Kind::Text;
            c.text = DateText(day);
            return c;
        }
        case 'L':
            if (text.empty() || text == "?") return NullCell();
            return BoolCell(table_.GetLogical(n));
        default: return TextCell(text);
    }
}

}  // namespace dbftool
