#include "index/expr/TgsExpHandler.h"

#include "index/expr/ExpDates.h"
#include "index/expr/ExpMessages.h"
#include "index/expr/ExpParser.h"
#include "index/expr/ExpTokenizer.h"
#include "index/expr/TgsVariant.h"

TgsExpHandler::TgsExpHandler(TgsExpUserLink* link, bool sqlWildcards, const std::string& text)
    : link_(link) {
    if (sqlWildcards) {
        manyWildcard = '%';
        singleWildcard = '_';
    }
    if (!text.empty()) SetExpression(text);
}

TgsExpHandler::~TgsExpHandler() = default;

void TgsExpHandler::SetExpression(const std::string& text) {
    root_.reset();
    largestWidth_ = largestDecimals_ = operandCount_ = 0;
    resultKind_ = expkind::NoResult;
    if (text.empty()) return;
    std::string tokens = exptok::Tokenize(text);
    root_ = ExpParser(*this).Parse(tokens);
    Evaluate(trialBuffer_.data(), trialBuffer_.size());
}

std::string TgsExpHandler::ExpressionText() const {
    return root_ ? root_->SubtreeText() : std::string();
}

char* TgsExpHandler::Evaluate(char* buffer, size_t size) {
    scratchFlag_ = false;
    resultKind_ = expkind::NoResult;
    if (!root_) return nullptr;
    if (size < kExpMinBuffer) throw ExpTooLong("the expression", size ? size - 1 : 0);
    TgsExpKind kind = expkind::NoResult;
    root_->Evaluate({buffer, size}, kind);
    resultKind_ = kind;
    return buffer;
}

TgsVariant* TgsExpHandler::EvaluateToVariant(TgsVariant& variant) {
    TgsExpBuffer b{variantBuffer_.data(), variantBuffer_.size()};
    if (!Evaluate(b.data, b.size)) return nullptr;
    switch (resultKind_) {
        case expkind::Text: variant.SetText(b.Text(), b.TextLength()); break;
        case expkind::Number:
        case expkind::Number7: variant.SetNumber(b.Number()); break;
        case expkind::Date: {
            int64_t day = expdate::DayOf(b.Number());
            variant.SetDate(day > 0 && day <= 2147483647 ? static_cast<int32_t>(day) : 0);
            break;
        }
        case expkind::Logical: variant.SetLogical(b.Logical()); break;
        default: resultKind_ = expkind::NoResult; return nullptr;
    }
    return &variant;
}

void TgsExpHandler::NoteOperand(bool sized, int32_t width, int32_t decimals) {
    ++operandCount_;
    if (!sized) return;
    if (width > largestWidth_) largestWidth_ = width;
    if (decimals > largestDecimals_) largestDecimals_ = decimals;
}
