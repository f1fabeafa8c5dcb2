#include "index/expr/UdfText.h"

#include <cstring>

#include "engine/platform/Locale.h"
#include "index/expr/ExpMessages.h"
#include "index/expr/TgsExpFunction.h"

namespace {

// The truncated number of argument `index`, read into the call's scratch buffer.
double NumberArg(TgsExpFunction& call, int index) {
    TgsExpBuffer s = call.Scratch();
    TgsExpKind k;
    TgsUserDefFunction::FetchArgument(call, index, s, expkind::Number, k);
    return s.Number();
}

// The text argument 0 read into `buffer`; returns its length.
size_t TextArg(TgsExpFunction& call, TgsExpBuffer buffer) {
    TgsExpKind k;
    TgsUserDefFunction::FetchArgument(call, 0, buffer, expkind::Text, k);
    return buffer.TextLength();
}

void Keep(TgsExpBuffer buffer, size_t from, size_t count) {
    std::memmove(buffer.data, buffer.data + from, count);
    buffer.data[count] = 0;
}

}  // namespace

bool TgsUDFAllTrim::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    size_t n = TextArg(call, buffer), b = 0;
    while (b < n && buffer.data[b] == ' ') ++b;
    while (n > b && buffer.data[n - 1] == ' ') --n;
    Keep(buffer, b, n - b);
    kind = expkind::Text;
    return true;
}

bool TgsUDFLTrim::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    size_t n = TextArg(call, buffer), b = 0;
    while (b < n && buffer.data[b] == ' ') ++b;
    Keep(buffer, b, n - b);
    kind = expkind::Text;
    return true;
}

bool TgsUDFTrim::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    size_t n = TextArg(call, buffer);
    while (n > 0 && buffer.data[n - 1] == ' ') --n;
    buffer.Truncate(n);
    kind = expkind::Text;
    return true;
}

bool TgsUDFUpper::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    size_t n = TextArg(call, buffer);
    const platform::Locale& loc = platform::CurrentLocale();
    for (size_t i = 0; i < n; ++i)
        buffer.data[i] = static_cast<char>(loc.Upper(static_cast<unsigned char>(buffer.data[i])));
    kind = expkind::Text;
    return true;
}

bool TgsUDFLower::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    size_t n = TextArg(call, buffer);
    const platform::Locale& loc = platform::CurrentLocale();
    for (size_t i = 0; i < n; ++i)
        buffer.data[i] = static_cast<char>(loc.Lower(static_cast<unsigned char>(buffer.data[i])));
    kind = expkind::Text;
    return true;
}

bool TgsUDFLeft::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    size_t n = TextArg(call, buffer);
    double count = NumberArg(call, 1);
    int32_t c = count <= 0.01 ? 0 : TruncToInt(count);
    if (static_cast<size_t>(c) < n) buffer.Truncate(static_cast<size_t>(c));
    kind = expkind::Text;
    return true;
}

bool TgsUDFRight::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    size_t n = TextArg(call, buffer);
    int32_t c = TruncToInt(NumberArg(call, 1));
    if (c <= 0) buffer.Truncate(0);
    else if (static_cast<size_t>(c) < n) Keep(buffer, n - static_cast<size_t>(c), static_cast<size_t>(c));
    kind = expkind::Text;
    return true;
}

bool TgsUDFSubStr::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    size_t n = TextArg(call, buffer);
    int32_t start = TruncToInt(NumberArg(call, 1));
    TgsExpBuffer s = call.Scratch();
    TgsExpKind k;
    FetchArgument(call, 2, s, expkind::Any, k);
    kind = expkind::Text;
    // Starts of 0 or less, or beyond the text, and counts of 0 or less give nothing.
    if (start <= 0 || static_cast<size_t>(start) > n) {
        buffer.Truncate(0);
        return true;
    }
    size_t rest = n - static_cast<size_t>(start) + 1;
    size_t count = rest;
    if (expkind::IsNumeric(k)) {
        int32_t c = TruncToInt(s.Number());
        count = c <= 0 ? 0 : static_cast<size_t>(c) < rest ? static_cast<size_t>(c) : rest;
    }
    Keep(buffer, static_cast<size_t>(start) - 1, count);
    return true;
}

bool TgsUDFAsc::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    TextArg(call, buffer);
    buffer.SetNumber(static_cast<unsigned char>(buffer.data[0]));
    kind = expkind::Number;
    return true;
}

bool TgsUDFChr::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    TgsExpKind k;
    FetchArgument(call, 0, buffer, expkind::Number, k);
    double v = buffer.Number();
    if (!(v > -1 && v < 256)) throw ExpValueInvalid("Byte");
    buffer.data[0] = static_cast<char>(static_cast<int>(v));
    buffer.data[1] = 0;
    kind = expkind::Text;
    return true;
}

bool TgsUDFSoundex::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    size_t n = TextArg(call, buffer);
    const platform::Locale& loc = platform::CurrentLocale();
    // Digits of A to Z; a blank for letters that have none.
    static const char kCodes[] = "01230120022455012623010202";
    char code[5] = {'0', '0', '0', '0', 0};
    if (n > 0) {
        size_t len = 0;
        char last = static_cast<char>(loc.Upper(static_cast<unsigned char>(buffer.data[0])));
        code[len++] = last;
        for (size_t i = 1; i < n && len < 4; ++i) {
            unsigned char c = loc.Upper(static_cast<unsigned char>(buffer.data[i]));
            char d = c >= 'A' && c <= 'Z' ? kCodes[c - 'A'] : ' ';
            if (d == '0') d = ' ';
            if (d != ' ' && d != last) code[len++] = d;
            if (d != ' ') last = d;
        }
    }
    buffer.SetText(code, 4, "SOUNDEX");
    kind = expkind::Text;
    return true;
}
