#pragma once
// The expression language's messages, each built with its words filled in.

#include <string>

#include "engine/Exception.h"

// "Missing closing parentheses"
ERidedezExpression ExpMissingParenthesis();
// "Field/variable NAME is unknown"
ERidedezExpression ExpUnknownName(const std::string& name);
// "There is no function for NAME"
ERidedezExpression ExpNoFunction(const std::string& name);
// "Expression cannot be evaluated"
ERidedezExpression ExpCannotEvaluate();
// "Target value missing for OP operation"
ERidedezExpression ExpTargetMissing(const std::string& op);
// "The two sides of an operation do not match"
ERidedezExpression ExpSidesMismatch();
// "A WHAT value is required but invalid"; WHAT is boolean, number, assigned, Byte, Char.
ERidedezExpression ExpValueInvalid(const std::string& what);
// "KIND needed for Argument N of FUNCTION"
ERidedezExpression ExpArgumentNeeded(const std::string& kind, int argument,
                                     const std::string& function);

// The bounds of this implementation.
// "Result of WHAT is longer than N characters"
ERidedezExpression ExpTooLong(const std::string& what, size_t capacity);
// "Expression is nested more than N levels deep"
ERidedezExpression ExpTooDeep();
// "Expression text is longer than N characters"
ERidedezExpression ExpTextTooLong();
// "'TEXT' is not a valid date"
ERidedezExpression ExpInvalidDate(const std::string& text);
