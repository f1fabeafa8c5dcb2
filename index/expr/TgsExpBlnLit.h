#pragma once
// A logical constant: .T. or .F.

#include <string>

#include "index/expr/TgsExpBaseObject.h"

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
