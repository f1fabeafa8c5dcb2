#include "index/expr/UdfDate.h"

#include <cmath>

#include "engine/RunErrors.h"
#include "index/expr/ExpDates.h"
#include "index/expr/TgsExpFunction.h"

namespace {

// The date argument 0 as a text: empty for the empty date.
bool DateText(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind, bool storage) {
    TgsExpBuffer s = call.Scratch();
    TgsUserDefFunction::FetchArgument(call, 0, s, expkind::Date, kind);
    const double value = s.Number();
    if (!storage) {
        TgsExpKind k;
        TgsUserDefFunction::FetchArgument(call, 1, s, expkind::Any, k);
        storage = expkind::IsNumeric(k) && std::trunc(s.Number()) == 1;
    }
    kind = expkind::Text;
    if (value == kEmptyDate) {
        buffer.Truncate(0);
        return true;
    }
    const int64_t day = expdate::DayOf(value);
    buffer.SetText(storage ? expdate::JulianToStorage(day) : expdate::JulianToDisplay(day),
                   call.Function()->FunctionName());
    return true;
}

}  // namespace

bool TgsUDFCtoD::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    FetchArgument(call, 0, buffer, expkind::Text, kind);
    int64_t day = 0;
    if (buffer.TextLength() > 0) {
        // A blank text is the empty date; a text that is no date raises the conversion
        // error (an impossible date must not compare equal to every blank one).
        day = expdate::JulianFromText(std::string(buffer.Text(), buffer.TextLength()));
    }
    buffer.SetNumber(day > 0 ? static_cast<double>(day) : kEmptyDate);
    kind = expkind::Date;
    return true;
}

bool TgsUDFDate::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    (void)call;
    buffer.SetNumber(static_cast<double>(expdate::JulianToday()));
    kind = expkind::Date;
    return true;
}

bool TgsUDFDtoC::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    return DateText(call, buffer, kind, false);
}

bool TgsUDFDtoS::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    return DateText(call, buffer, kind, true);
}
