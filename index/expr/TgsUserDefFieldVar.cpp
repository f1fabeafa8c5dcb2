#include "index/expr/TgsUserDefFieldVar.h"

#include "engine/platform/Locale.h"

TgsUserDefFieldVar::TgsUserDefFieldVar(const std::string& name, int32_t width, int32_t decimals)
    : name_(platform::CurrentLocale().UpperCase(name)), width_(width), decimals_(decimals) {}

bool TgsUserDefFieldVar::GetValue(TgsExpBuffer buffer, TgsExpKind& kind) {
    (void)buffer;
    kind = expkind::NoResult;
    return false;
}
