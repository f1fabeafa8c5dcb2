#pragma once
// A function call: the function object (not owned), its argument nodes (owned) and a
// scratch buffer for the arguments a function reads besides the one it writes over.

#include <array>
#include <memory>
#include <vector>

#include "index/expr/TgsExpBaseObject.h"
#include "index/expr/TgsUserDefFunction.h"

class TgsExpHandler;

class TgsExpFunction : public TgsExpBaseObject {
public:
    TgsExpFunction(TgsExpHandler* handler, TgsUserDefFunction* function)
        : TgsExpBaseObject(expnode::Function, expkind::None),
          handler_(handler),
          function_(function) {}

    // The name as the function gives it.
    std::string OwnText() const override { return function_ ? function_->FunctionName() : ""; }
    // NAME(arg,arg,...)
    std::string SubtreeText() const override;
    void Evaluate(TgsExpBuffer buffer, TgsExpKind& kind) override;

    // Raises ERidedezExpression when the tree would grow too deep.
    void AddArgument(std::unique_ptr<TgsExpBaseObject> argument);
    size_t ArgumentCount() const { return arguments_.size(); }
    TgsExpBaseObject& Argument(size_t i) const { return *arguments_[i]; }

    TgsExpHandler* Handler() const { return handler_; }
    TgsUserDefFunction* Function() const { return function_; }
    // A buffer of this call's own for arguments that must not overwrite the result.
    TgsExpBuffer Scratch() { return {scratch_.data(), scratch_.size()}; }

private:
    TgsExpHandler* handler_;
    TgsUserDefFunction* function_;
    std::vector<std::unique_ptr<TgsExpBaseObject>> arguments_;
    std::array<char, kExpOperandBuffer> scratch_{};
};
