#include "index/expr/UdfNumber.h"

#include <cmath>
#include <cstring>

#include "engine/platform/Locale.h"
#include "index/expr/ExpMessages.h"
#include "index/expr/ExpNumbers.h"
#include "index/expr/TgsExpFunction.h"
#include "index/expr/TgsExpHandler.h"
#include "index/expr/TgsExpUserLink.h"

namespace {

bool Round(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind, double (*f)(double)) {
    TgsUserDefFunction::FetchArgument(call, 0, buffer, expkind::Number, kind);
    buffer.SetNumber(f(buffer.Number()));
    kind = expkind::Number;
    return true;
}

}  // namespace

// Whole numbers beyond 32 bits keep their value instead of wrapping.
bool TgsUDFCeiling::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    return Round(call, buffer, kind, [](double v) { return std::ceil(v); });
}

bool TgsUDFFloor::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    return Round(call, buffer, kind, [](double v) { return std::floor(v); });
}

bool TgsUDFInt::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    return Round(call, buffer, kind, [](double v) { return std::trunc(v); });
}

bool TgsUDFVal::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    FetchArgument(call, 0, buffer, expkind::Text, kind);
    double v;
    if (!expnum::ParseDecimal(std::string_view(buffer.Text(), buffer.TextLength()),
                              platform::CurrentLocale().decimalSeparator, v))
        v = 0;
    buffer.SetNumber(v);
    kind = expkind::Number;
    return true;
}

bool TgsUDFStr::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    TgsExpBuffer s = call.Scratch();
    TgsExpKind k;
    FetchArgument(call, 0, s, expkind::Number, k);
    const double value = s.Number();
    FetchArgument(call, 1, s, expkind::Any, k);
    const bool hasWidth = expkind::IsNumeric(k);
    const TgsExpUserLink* link = call.Handler() ? call.Handler()->UserLink() : nullptr;
    int32_t width = hasWidth ? TruncToInt(s.Number()) : link ? link->strDefaultWidth : 10;
    FetchArgument(call, 2, s, expkind::Any, k);
    int32_t decimals = hasWidth && expkind::IsNumeric(k) ? TruncToInt(s.Number()) : 0;
    if (decimals < 0) decimals = 0;
    kind = expkind::Text;
    if (width <= 0) {
        buffer.Truncate(0);
        return true;
    }
    if (static_cast<size_t>(width) > buffer.TextCapacity())
        throw ExpTooLong(FunctionName(), buffer.TextCapacity());
    const size_t w = static_cast<size_t>(width);
    // A text of `decimals` places is at least decimals + 2 characters ("0.xx").
    std::string text;
    if (static_cast<int64_t>(decimals) + (decimals > 0 ? 2 : 1) > width || !expnum::FormatFixed(value, decimals, text) ||
        text.size() > w) {
        std::memset(buffer.data, '*', w);
    } else {
        std::memset(buffer.data, ' ', w - text.size());
        std::memcpy(buffer.data + w - text.size(), text.data(), text.size());
    }
    buffer.data[w] = 0;
    return true;
}

bool TgsUDFStrZero::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    TgsUDFStr::Execute(call, buffer, kind);
    for (char* p = buffer.data; *p == ' '; ++p) *p = '0';
    return true;
}
