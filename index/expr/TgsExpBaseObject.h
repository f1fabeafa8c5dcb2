#pragma once
// The base of every node of an expression tree. A node owns its left and right
// operands; its depth (the longest path to a leaf) is kept so that no tree grows deeper
// than kExpMaxDepth, which bounds every recursion over it.

#include <cstdint>
#include <memory>
#include <string>

#include "index/expr/ExpKinds.h"

namespace expnode {
constexpr uint8_t Container = 0;
constexpr uint8_t BoundOperator = 2;
constexpr uint8_t Operator = 3;
constexpr uint8_t Function = 4;
constexpr uint8_t Fieldvar = 5;
constexpr uint8_t TextLit = 6;
constexpr uint8_t NumLit = 7;
constexpr uint8_t DateLit = 8;
constexpr uint8_t BlnLit = 9;
}  // namespace expnode

class TgsExpBaseObject {
public:
    TgsExpBaseObject(uint8_t nodeKind, TgsExpKind valueKind)
        : nodeKind_(nodeKind), valueKind_(valueKind) {}
    virtual ~TgsExpBaseObject() = default;
    TgsExpBaseObject(const TgsExpBaseObject&) = delete;
    TgsExpBaseObject& operator=(const TgsExpBaseObject&) = delete;

    // The node's own token as text; empty for the base.
    virtual std::string OwnText() const { return std::string(); }
    // Left operand's text, own text, right operand's text.
    virtual std::string SubtreeText() const;
    // Writes the value into `buffer` and reports its kind; the base writes nothing.
    virtual void Evaluate(TgsExpBuffer buffer, TgsExpKind& kind) { (void)buffer; kind = expkind::NoResult; }

    uint8_t NodeKind() const { return nodeKind_; }
    TgsExpKind ValueKind() const { return valueKind_; }
    int32_t Width() const { return width_; }
    int32_t Decimals() const { return decimals_; }
    const TgsExpBaseObject* Left() const { return left_.get(); }
    const TgsExpBaseObject* Right() const { return right_.get(); }
    int Depth() const { return depth_; }

    // Attach an operand; raises ERidedezExpression when the tree would grow too deep.
    void SetLeft(std::unique_ptr<TgsExpBaseObject> node);
    void SetRight(std::unique_ptr<TgsExpBaseObject> node);

protected:
    // Raises the depth to one above `child`.
    void NoteChild(const TgsExpBaseObject& child);

    uint8_t nodeKind_;
    TgsExpKind valueKind_;
    uint8_t spare_ = 0;
    int32_t width_ = 0;
    int32_t decimals_ = 0;
    std::unique_ptr<TgsExpBaseObject> left_;
    std::unique_ptr<TgsExpBaseObject> right_;

private:
    int depth_ = 1;
};
