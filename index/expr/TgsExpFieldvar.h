#pragma once
// A field variable in a tree: the variable object (not owned) with its width and
// decimals.

#include "index/expr/TgsExpBaseObject.h"
#include "index/expr/TgsUserDefFieldVar.h"

class TgsExpHandler;

class TgsExpFieldvar : public TgsExpBaseObject {
public:
    TgsExpFieldvar(TgsExpHandler* handler, TgsUserDefFieldVar* var)
        : TgsExpBaseObject(expnode::Fieldvar, expkind::None), handler_(handler), var_(var) {
        width_ = var->Width();
        decimals_ = var->Decimals();
    }

    std::string OwnText() const override { return var_->FieldVarName(); }
    void Evaluate(TgsExpBuffer buffer, TgsExpKind& kind) override {
        kind = expkind::NoResult;
        if (!var_->GetValue(buffer, kind)) kind = expkind::NoResult;
        valueKind_ = kind;
    }

    TgsExpHandler* Handler() const { return handler_; }
    TgsUserDefFieldVar* Var() const { return var_; }

private:
    TgsExpHandler* handler_;
    TgsUserDefFieldVar* var_;
};
