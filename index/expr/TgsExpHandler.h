#pragma once
// One expression: its text turned into a tree once, evaluated on demand into a caller's
// buffer or into a TgsVariant. Names are resolved when the tree is built: built-in
// functions first, then the user link's functions and field variables.

#include <array>
#include <memory>
#include <string>

#include "index/expr/ExpKinds.h"
#include "index/expr/TgsExpBaseObject.h"
#include "index/expr/TgsExpOperator.h"

class TgsExpUserLink;
class TgsVariant;

class TgsExpHandler {
public:
    // With a non-empty text the tree is built and evaluated once, against the record
    // current at that moment, to learn the result kind. Errors propagate.
    explicit TgsExpHandler(TgsExpUserLink* link = nullptr, bool sqlWildcards = false,
                           const std::string& text = std::string());
    virtual ~TgsExpHandler();
    TgsExpHandler(const TgsExpHandler&) = delete;
    TgsExpHandler& operator=(const TgsExpHandler&) = delete;

    // Frees the tree, resets the counters and builds the new one as at construction.
    // When building fails the handler has no tree; when only the trial evaluation
    // fails the tree stays and the result kind is 0.
    void SetExpression(const std::string& text);

    // The canonical text of the tree; empty without one.
    virtual std::string ExpressionText() const;
    // Evaluates into `buffer` (at least kExpMinBuffer bytes) and returns it; null, with
    // result kind 0, when there is no tree.
    virtual char* Evaluate(char* buffer, size_t size);
    // Evaluates into a 256-byte buffer of the handler's own and stores text, number,
    // date (whole day; the empty date as 0) or logical into `variant`; any other kind
    // gives result kind 0 and null.
    virtual TgsVariant* EvaluateToVariant(TgsVariant& variant);

    // The kind of the last evaluation.
    TgsExpKind ResultType() const { return resultKind_; }
    TgsExpUserLink* UserLink() const { return link_; }
    const TgsExpBaseObject* Root() const { return root_.get(); }
    int32_t LargestWidth() const { return largestWidth_; }
    int32_t LargestDecimals() const { return largestDecimals_; }
    int32_t OperandCount() const { return operandCount_; }
    // The flags as new operators will take them.
    TgsExpCompareFlags CompareFlags() const {
        return {caseInsensitive, wildcard, manyWildcard, singleWildcard};
    }
    // Counts an operand; `sized` ones (field variables, numbers) raise the largest
    // width and decimals.
    void NoteOperand(bool sized, int32_t width, int32_t decimals);

    // Read when operators are made: set them before SetExpression.
    bool caseInsensitive = false;
    bool wildcard = true;
    char manyWildcard = '*';
    char singleWildcard = '?';

private:
    TgsExpUserLink* link_;
    TgsExpKind resultKind_ = expkind::NoResult;
    bool scratchFlag_ = false;
    int32_t largestWidth_ = 0;
    int32_t largestDecimals_ = 0;
    std::unique_ptr<TgsExpBaseObject> root_;
    int32_t operandCount_ = 0;
    std::array<char, kExpOperandBuffer> trialBuffer_{};
    std::array<char, kExpVariantBuffer> variantBuffer_{};
};
