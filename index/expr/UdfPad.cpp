#include "index/expr/UdfPad.h"

#include <cstring>

#include "index/expr/ExpMessages.h"
#include "index/expr/TgsExpFunction.h"

bool TgsUDFPadMain::Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) {
    TgsExpBuffer s = call.Scratch();
    TgsExpKind k;
    FetchArgument(call, 2, s, expkind::Any, k);
    if (k == expkind::None) padChar_ = ' ';
    else if (k == expkind::Text && s.TextLength() == 1) padChar_ = s.data[0];
    else throw ExpValueInvalid("Char");
    FetchArgument(call, 0, buffer, expkind::Text, k);
    text_ = buffer.data;
    size_t length = buffer.TextLength();
    FetchArgument(call, 1, s, expkind::Number, k);
    int32_t n = TruncToInt(s.Number());
    targetLength_ = n < 0 ? 0 : static_cast<size_t>(n);
    if (length < targetLength_) {
        if (targetLength_ > buffer.TextCapacity()) throw ExpTooLong(FunctionName(), buffer.TextCapacity());
        Pad(text_, length);
    }
    text_[targetLength_] = 0;  // padded up to, or cut down to, the length
    kind = expkind::Text;
    return true;
}

void TgsUDFPadL::Pad(char* text, size_t length) {
    size_t gap = targetLength_ - length;
    std::memmove(text + gap, text, length);
    std::memset(text, padChar_, gap);
}

void TgsUDFPadR::Pad(char* text, size_t length) {
    std::memset(text + length, padChar_, targetLength_ - length);
}

void TgsUDFPadC::Pad(char* text, size_t length) {
    size_t left = (targetLength_ - length) / 2;
    std::memmove(text + left, text, length);
    std::memset(text, padChar_, left);
    std::memset(text + left + length, padChar_, targetLength_ - length - left);
}
