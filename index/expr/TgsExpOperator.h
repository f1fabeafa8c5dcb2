#pragma once
// An operator node: its code and precedence byte, the handler's comparison flags as they
// were when it was made, and the two operand buffers it evaluates into (made with the
// node, so that evaluation allocates nothing).

#include <array>
#include <string>

#include "index/expr/TgsExpBaseObject.h"

namespace expop {
constexpr uint8_t Equal = 129;         // =
constexpr uint8_t NotEqual = 130;      // # <> !=
constexpr uint8_t Greater = 131;       // >
constexpr uint8_t Less = 132;          // <
constexpr uint8_t GreaterEqual = 133;  // >= =>
constexpr uint8_t LessEqual = 134;     // <= =<
constexpr uint8_t InString = 135;      // never produced
constexpr uint8_t ExactlyEqual = 136;  // ==
constexpr uint8_t Plus = 137;
constexpr uint8_t Minus = 138;
constexpr uint8_t Times = 139;
constexpr uint8_t Divide = 140;
constexpr uint8_t Power = 141;         // ^ **
constexpr uint8_t And = 144;
constexpr uint8_t Or = 145;
constexpr uint8_t Not = 146;           // !
constexpr uint8_t Keyword = 0;         // LIKE and POS: no code of their own

// The precedence byte of a code (0 for codes that have none).
uint8_t Precedence(uint8_t code);
// The code's own text ("=", ".AND.", "exactly equal", ...); empty for unknown codes.
const char* Text(uint8_t code);
}  // namespace expop

struct TgsExpCompareFlags {
    bool caseInsensitive = false;
    bool wildcard = true;
    char manyWildcard = '*';
    char singleWildcard = '?';
};

class TgsExpOperator : public TgsExpBaseObject {
public:
    // `keyword` names an operator without a code (LIKE, POS).
    TgsExpOperator(uint8_t code, uint8_t precedence, const TgsExpCompareFlags& flags,
                   std::string keyword = std::string());

    std::string OwnText() const override;
    void Evaluate(TgsExpBuffer buffer, TgsExpKind& kind) override;

    uint8_t Code() const { return code_; }
    uint8_t Precedence() const { return precedence_; }
    const TgsExpCompareFlags& Flags() const { return flags_; }
    bool IsBound() const { return nodeKind_ == expnode::BoundOperator; }
    void MarkBound() { nodeKind_ = expnode::BoundOperator; }

private:
    bool IsComparison() const;
    void EvaluateLogical(bool l, bool r, TgsExpBuffer out);
    void EvaluateNumber(double l, double r, TgsExpBuffer out);
    void EvaluateText(const char* l, const char* r, TgsExpBuffer out);

    uint8_t code_;
    uint8_t precedence_;
    TgsExpCompareFlags flags_;
    std::string keyword_;
    std::array<char, kExpOperandBuffer> leftValue_{};
    std::array<char, kExpOperandBuffer> rightValue_{};
};

// Compares two texts as the comparison operators do: trailing blanks ignored, the
// many-characters wildcard at either end of `right` when `flags.wildcard` is on.
int ExpTextCompare(const char* left, const char* right, const TgsExpCompareFlags& flags);
