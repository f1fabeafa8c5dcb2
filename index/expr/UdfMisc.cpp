#include "index/expr/UdfMisc.h"

#include "index/expr/TgsExpFunction.h"

bool TgsUDFDescend::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    FetchArgument(call, 0, buffer, expkind::Any, kind);
    if (kind == expkind::Date) {
        double v = buffer.Number();
        if (v != kEmptyDate) buffer.SetNumber(5231808 - v);
    } else if (expkind::IsNumeric(kind)) {
        double v = buffer.Number();
        if (v != 0) buffer.SetNumber(-v);
    } else if (kind == expkind::Text) {
        for (char* p = buffer.data; *p; ++p)
            *p = static_cast<char>(256 - static_cast<unsigned char>(*p));
    } else if (kind == expkind::Logical) {
        buffer.SetLogical(!buffer.Logical());
    } else {
        buffer.data[0] = 0;
    }
    return true;
}

bool TgsUDFEmpty::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    TgsExpKind k;
    FetchArgument(call, 0, buffer, expkind::Any, k);
    bool empty = false;
    if (k == expkind::Date) empty = buffer.Number() == kEmptyDate;
    else if (expkind::IsNumeric(k)) empty = buffer.Number() == 0;
    else if (k == expkind::Text) empty = buffer.data[0] == 0;
    else if (k == expkind::Logical) empty = !buffer.Logical();
    buffer.SetLogical(empty);
    kind = expkind::Logical;
    return true;
}

bool TgsUDFIif::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    FetchArgument(call, 0, buffer, expkind::Logical, kind);
    // Only the chosen argument is evaluated.
    FetchArgument(call, buffer.Logical() ? 1 : 2, buffer, expkind::Any, kind);
    return true;
}
