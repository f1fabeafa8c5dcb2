#pragma once
// A parenthesised group: its inner tree is held as the right operand.

#include "index/expr/TgsExpBaseObject.h"

class TgsExpContainer : public TgsExpBaseObject {
public:
    explicit TgsExpContainer(std::unique_ptr<TgsExpBaseObject> inner)
        : TgsExpBaseObject(expnode::Container, expkind::None) {
        SetRight(std::move(inner));
    }
    std::string SubtreeText() const override {
        return "(" + (right_ ? right_->SubtreeText() : std::string()) + ")";
    }
    void Evaluate(TgsExpBuffer buffer, TgsExpKind& kind) override {
        kind = expkind::NoResult;
        if (right_) right_->Evaluate(buffer, kind);
        valueKind_ = kind;
    }
};
