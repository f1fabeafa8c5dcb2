// The text comparison of the comparison operators.

#include <cstring>

#include "engine/platform/Locale.h"
#include "index/expr/TgsExpOperator.h"

namespace {

size_t TrimmedLength(const char* s) {
    size_t n = std::strlen(s);
    while (n > 0 && s[n - 1] == ' ') --n;
    return n;
}

int Bytewise(const unsigned char* a, size_t al, const unsigned char* b, size_t bl) {
    size_t n = al < bl ? al : bl;
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return al < bl ? -1 : al > bl ? 1 : 0;
}

bool Contains(const unsigned char* hay, size_t hl, const unsigned char* needle, size_t nl) {
    if (nl == 0) return true;
    for (size_t i = 0; i + nl <= hl; ++i)
        if (std::memcmp(hay + i, needle, nl) == 0) return true;
    return false;
}

int WildcardCompare(const char* left, size_t ll, const char* right, size_t rl,
                    const TgsExpCompareFlags& flags) {
    if (rl == 1) return 0;  // the wildcard alone matches everything
    // Texts come from operand buffers, so they fit these copies.
    unsigned char l[kExpOperandBuffer], r[kExpOperandBuffer];
    if (ll >= sizeof l) ll = sizeof l - 1;
    if (rl >= sizeof r) rl = sizeof r - 1;
    const platform::Locale& loc = platform::CurrentLocale();
    for (size_t i = 0; i < ll; ++i) {
        unsigned char c = static_cast<unsigned char>(left[i]);
        l[i] = flags.caseInsensitive ? loc.Upper(c) : c;
    }
    for (size_t i = 0; i < rl; ++i) {
        unsigned char c = static_cast<unsigned char>(right[i]);
        r[i] = flags.caseInsensitive ? loc.Upper(c) : c;
    }
    const unsigned char many = static_cast<unsigned char>(flags.manyWildcard);
    const unsigned char* core = r;
    size_t cl = rl;
    bool leading = false, trailing = false;
    if (cl > 0 && core[0] == many) {
        leading = true;
        ++core;
        --cl;
    }
    if (cl > 0 && core[cl - 1] == many) {
        trailing = true;
        --cl;
    }
    int result = Bytewise(l, ll, core, cl);
    if (result == 0) return 0;
    if (leading && trailing) return Contains(l, ll, core, cl) ? 0 : result;
    if (trailing) return ll >= cl && std::memcmp(l, core, cl) == 0 ? 0 : result;
    return ll >= cl && std::memcmp(l + ll - cl, core, cl) == 0 ? 0 : result;
}

}  // namespace

int ExpTextCompare(const char* left, const char* right, const TgsExpCompareFlags& flags) {
    size_t ll = TrimmedLength(left), rl = TrimmedLength(right);
    if (flags.wildcard && rl > 0 &&
        (right[0] == flags.manyWildcard || right[rl - 1] == flags.manyWildcard))
        return WildcardCompare(left, ll, right, rl, flags);
    const unsigned char* a = reinterpret_cast<const unsigned char*>(left);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(right);
    size_t n = ll < rl ? ll : rl;
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = a[i], y = b[i];
        if (flags.caseInsensitive) {
            if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
            if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
        }
        if (x != y) return x < y ? -1 : 1;
    }
    return ll < rl ? -1 : ll > rl ? 1 : 0;
}
