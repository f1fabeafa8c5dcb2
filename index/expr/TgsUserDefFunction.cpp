#include "index/expr/TgsUserDefFunction.h"

#include "index/expr/ExpMessages.h"
#include "index/expr/TgsExpFunction.h"

bool TgsUserDefFunction::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    (void)call;
    (void)buffer;
    kind = expkind::NoResult;
    return false;
}

void TgsUserDefFunction::FetchArgument(TgsExpFunction& call, int index, TgsExpBuffer buffer,
                                       TgsExpKind wanted, TgsExpKind& kind) {
    kind = expkind::None;
    if (index >= 0 && static_cast<size_t>(index) < call.ArgumentCount())
        call.Argument(static_cast<size_t>(index)).Evaluate(buffer, kind);
    if (wanted == expkind::Any || wanted == kind ||
        (expkind::IsNumeric(wanted) && expkind::IsNumeric(kind)))
        return;
    const char* name = wanted == expkind::Text      ? "Text"
                       : wanted == expkind::Number  ? "Number"
                       : wanted == expkind::Date    ? "Date"
                       : wanted == expkind::Logical ? "Boolean"
                                                    : "Unknown Value";
    throw ExpArgumentNeeded(name, index + 1,
                            call.Function() ? call.Function()->FunctionName() : std::string());
}
