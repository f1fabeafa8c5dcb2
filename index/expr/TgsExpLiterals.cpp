#include "index/expr/TgsExpBlnLit.h"
#include "index/expr/TgsExpDateLit.h"
#include "index/expr/TgsExpNumLit.h"
#include "index/expr/TgsExpTextLit.h"

#include "index/expr/ExpDates.h"
#include "index/expr/ExpNumbers.h"

TgsExpTextLit::TgsExpTextLit(std::string text)
    : TgsExpBaseObject(expnode::TextLit, expkind::Text), text_(std::move(text)) {
    width_ = static_cast<int32_t>(text_.size());
}

std::string TgsExpTextLit::OwnText() const {
    if (text_.find('"') == std::string::npos) return "\"" + text_ + "\"";
    if (text_.find('\'') == std::string::npos) return "'" + text_ + "'";
    return "[" + text_ + "]";
}

void TgsExpTextLit::Evaluate(TgsExpBuffer buffer, TgsExpKind& kind) {
    buffer.SetText(text_, "a text constant");
    kind = expkind::Text;
}

TgsExpNumLit::TgsExpNumLit(double value, int32_t width, int32_t decimals)
    : TgsExpBaseObject(expnode::NumLit, expkind::Number), value_(value) {
    width_ = width;
    decimals_ = decimals;
}

std::string TgsExpNumLit::OwnText() const {
    std::string text;
    expnum::FormatFixed(value_, decimals_, text);
    return text;
}

void TgsExpNumLit::Evaluate(TgsExpBuffer buffer, TgsExpKind& kind) {
    buffer.SetNumber(value_);
    kind = expkind::Number;
}

TgsExpDateLit::TgsExpDateLit(double day)
    : TgsExpBaseObject(expnode::DateLit, expkind::Date), value_(day) {}

std::string TgsExpDateLit::OwnText() const {
    return "{" + (value_ == kEmptyDate ? std::string()
                                       : expdate::JulianToDisplay(expdate::DayOf(value_))) +
           "}";
}

void TgsExpDateLit::Evaluate(TgsExpBuffer buffer, TgsExpKind& kind) {
    buffer.SetNumber(value_);
    kind = expkind::Date;
}
