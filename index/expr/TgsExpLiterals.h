#pragma once
// The four literal nodes: text, number, date and logical constants.

#include <string>

#include "index/expr/TgsExpBaseObject.h"

class TgsExpTextLit : public TgsExpBaseObject {
public:
    explicit TgsExpTextLit(std::string text);
    // Between double quotes, or single quotes or brackets when the text holds a double
    // quote, so that the text reads back as the same constant.
    std::string OwnText() const override;
    void Evaluate(TgsExpBuffer buffer, TgsExpKind& kind) override;
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

class TgsExpNumLit : public TgsExpBaseObject {
public:
    // `width` is the literal's character count, `decimals` its digits after the point.
    TgsExpNumLit(double value, int32_t width, int32_t decimals);
    std::string OwnText() const override;
    void Evaluate(TgsExpBuffer buffer, TgsExpKind& kind) override;
    double Value() const { return value_; }

private:
    double value_;
};

class TgsExpDateLit : public TgsExpBaseObject {
public:
    // A Julian day number, or kEmptyDate.
    explicit TgsExpDateLit(double day);
    std::string OwnText() const override;
    void Evaluate(TgsExpBuffer buffer, TgsExpKind& kind) override;
    double Value() const { return value_; }

private:
    double value_;
};

class TgsExpBlnLit : public TgsExpBaseObject {
public:
    explicit TgsExpBlnLit(bool value)
        : TgsExpBaseObject(expnode::BlnLit, expkind::Logical), value_(value) {}
    std::string OwnText() const override { return value_ ? ".T." : ".F."; }
    void Evaluate(TgsExpBuffer buffer, TgsExpKind& kind) override {
        buffer.SetLogical(value_);
        kind = expkind::Logical;
    }
    bool Value() const { return value_; }

private:
    bool value_;
};
