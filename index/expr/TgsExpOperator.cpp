#include "index/expr/TgsExpOperator.h"

#include <cmath>
#include <cstring>

#include "engine/RunErrors.h"
#include "index/expr/ExpMessages.h"

namespace expop {

uint8_t Precedence(uint8_t code) {
    switch (code) {
        case Power: return 2;
        case Times: case Divide: case And: return 3;
        case Plus: case Minus: case Or: return 4;
        case Not: return 6;
        default: return code >= Equal && code <= ExactlyEqual ? 5 : 0;
    }
}

const char* Text(uint8_t code) {
    switch (code) {
        case Equal: return "=";
        case NotEqual: return "#";
        case Greater: return ">";
        case Less: return "<";
        case GreaterEqual: return ">=";
        case LessEqual: return "<=";
        case InString: return "in string";
        case ExactlyEqual: return "exactly equal";
        case Plus: return "+";
        case Minus: return "-";
        case Times: return "*";
        case Divide: return "/";
        case Power: return "^";
        case And: return ".AND.";
        case Or: return ".OR.";
        case Not: return ".NOT.";
        default: return "";
    }
}

}  // namespace expop

namespace {

// Raises the run-time error of a floating-point result that left the range of doubles.
double Checked(double result, double l, double r) {
    if (std::isinf(result) && std::isfinite(l) && std::isfinite(r)) RaiseRunError(205);
    return result;
}

// x to the whole power n. For n of 0 or less: x^0 = 1, x^-n = 1 / x^n (0^-n is a
// division by zero).
double Power(double x, double n) {
    if (n == 0) return 1;
    double k = std::fabs(n);
    double result;
    if (k <= 64) {
        result = x;
        for (int i = 1; i < static_cast<int>(k); ++i) result *= x;
    } else if (k < 9.2e18) {
        result = 1;
        double base = x;
        for (uint64_t e = static_cast<uint64_t>(k); e; e >>= 1) {
            if (e & 1) result *= base;
            base *= base;
        }
    } else {
        result = std::pow(x, k);
    }
    if (n > 0) return result;
    if (result == 0) RaiseRunError(208);
    return 1 / result;
}

}  // namespace

TgsExpOperator::TgsExpOperator(uint8_t code, uint8_t precedence, const TgsExpCompareFlags& flags,
                               std::string keyword)
    : TgsExpBaseObject(expnode::Operator, expkind::None),
      code_(code),
      precedence_(precedence),
      flags_(flags),
      keyword_(std::move(keyword)) {}

std::string TgsExpOperator::OwnText() const {
    return keyword_.empty() ? std::string(expop::Text(code_)) : keyword_;
}

bool TgsExpOperator::IsComparison() const {
    return (code_ >= expop::Equal && code_ <= expop::ExactlyEqual) ||
           (code_ >= expop::And && code_ <= expop::Not);
}

void TgsExpOperator::Evaluate(TgsExpBuffer buffer, TgsExpKind& kind) {
    const bool unary = code_ == expop::Not;
    if (!right_ || (!unary && !left_)) throw ExpTargetMissing(OwnText());
    TgsExpBuffer l{leftValue_.data(), leftValue_.size()};
    TgsExpBuffer r{rightValue_.data(), rightValue_.size()};
    TgsExpKind lk = expkind::None, rk = expkind::None;
    if (left_) left_->Evaluate(l, lk);
    right_->Evaluate(r, rk);
    if (unary) {
        if (rk != expkind::Logical) throw ExpValueInvalid("boolean");
    } else if (lk != rk && !(expkind::IsNumeric(lk) && expkind::IsNumeric(rk))) {
        throw ExpSidesMismatch();
    }
    if (rk == expkind::Logical) {
        EvaluateLogical(!unary && l.Logical(), r.Logical(), buffer);
    } else if (expkind::IsNumeric(rk)) {
        EvaluateNumber(l.Number(), r.Number(), buffer);
    } else if (rk == expkind::Text) {
        EvaluateText(l.Text(), r.Text(), buffer);
    } else if (IsComparison()) {
        // Nothing compares values of other kinds.
        buffer.SetLogical(false);
    } else {
        // Nothing is computed: the right operand's value stands.
        std::memcpy(buffer.data, r.data, buffer.size < r.size ? buffer.size : r.size);
    }
    kind = IsComparison() ? expkind::Logical : rk;
    valueKind_ = kind;
}

void TgsExpOperator::EvaluateLogical(bool l, bool r, TgsExpBuffer out) {
    switch (code_) {
        case expop::Equal: out.SetLogical(l == r); break;
        case expop::NotEqual: out.SetLogical(l != r); break;
        case expop::And: out.SetLogical(l && r); break;
        case expop::Or: out.SetLogical(l || r); break;
        case expop::Not: out.SetLogical(!r); break;
        case expop::Plus: case expop::Minus: case expop::Times: case expop::Divide:
        case expop::Power: throw ExpValueInvalid("number");
        default: throw ExpValueInvalid("assigned");
    }
}

void TgsExpOperator::EvaluateNumber(double l, double r, TgsExpBuffer out) {
    double d = l - r;
    switch (code_) {
        case expop::Equal: out.SetLogical(d == 0); break;
        case expop::NotEqual: out.SetLogical(d != 0); break;
        case expop::Greater: out.SetLogical(d > 0); break;
        case expop::Less: out.SetLogical(d < 0); break;
        case expop::GreaterEqual: out.SetLogical(d >= 0); break;
        case expop::LessEqual: out.SetLogical(d <= 0); break;
        case expop::Plus: out.SetNumber(Checked(l + r, l, r)); break;
        case expop::Minus: out.SetNumber(Checked(d, l, r)); break;
        case expop::Times: out.SetNumber(Checked(l * r, l, r)); break;
        case expop::Divide:
            if (r == 0) RaiseRunError(l == 0 || std::isnan(l) ? 207 : 208);
            out.SetNumber(Checked(l / r, l, r));
            break;
        case expop::Power: out.SetNumber(Checked(Power(l, std::trunc(r)), l, r)); break;
        default: throw ExpValueInvalid("assigned");
    }
}

void TgsExpOperator::EvaluateText(const char* l, const char* r, TgsExpBuffer out) {
    switch (code_) {
        case expop::Equal: out.SetLogical(ExpTextCompare(l, r, flags_) == 0); return;
        case expop::NotEqual: out.SetLogical(ExpTextCompare(l, r, flags_) != 0); return;
        case expop::Greater: out.SetLogical(ExpTextCompare(l, r, flags_) > 0); return;
        case expop::Less: out.SetLogical(ExpTextCompare(l, r, flags_) < 0); return;
        case expop::GreaterEqual: out.SetLogical(ExpTextCompare(l, r, flags_) >= 0); return;
        case expop::LessEqual: out.SetLogical(ExpTextCompare(l, r, flags_) <= 0); return;
        case expop::Plus:
        case expop::Minus: break;
        default: throw ExpValueInvalid("assigned");
    }
    size_t ll = std::strlen(l), rl = std::strlen(r);
    if (ll + rl > out.TextCapacity()) throw ExpTooLong(OwnText(), out.TextCapacity());
    size_t keep = ll, blanks = 0;
    if (code_ == expop::Minus) {
        // The left text's trailing blanks move behind the right text; its first
        // character always stays.
        while (keep > 1 && l[keep - 1] == ' ') --keep;
        blanks = ll - keep;
    }
    std::memcpy(out.data, l, keep);
    std::memcpy(out.data + keep, r, rl);
    std::memset(out.data + keep + rl, ' ', blanks);
    out.data[ll + rl] = 0;
}
