#pragma once
// A text constant: its own copy of the text; width is its length.

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
