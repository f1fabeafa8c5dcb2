#include "index/expr/TgsExpFunction.h"

std::string TgsExpFunction::SubtreeText() const {
    std::string text = OwnText() + "(";
    for (size_t i = 0; i < arguments_.size(); ++i) {
        if (i > 0) text += ",";
        text += arguments_[i]->SubtreeText();
    }
    return text + ")";
}

void TgsExpFunction::Evaluate(TgsExpBuffer buffer, TgsExpKind& kind) {
    kind = expkind::NoResult;
    if (!function_ || !function_->Execute(*this, buffer, kind)) kind = expkind::NoResult;
    valueKind_ = kind;
}

void TgsExpFunction::AddArgument(std::unique_ptr<TgsExpBaseObject> argument) {
    NoteChild(*argument);
    arguments_.push_back(std::move(argument));
}
