#include "index/expr/ExpMessages.h"

#include "index/expr/ExpKinds.h"

ERidedezExpression ExpMissingParenthesis() {
    return ERidedezExpression("Missing closing parentheses");
}

ERidedezExpression ExpUnknownName(const std::string& name) {
    return ERidedezExpression("Field/variable " + name + " is unknown");
}

ERidedezExpression ExpNoFunction(const std::string& name) {
    return ERidedezExpression("There is no function for " + name);
}

ERidedezExpression ExpCannotEvaluate() {
    return ERidedezExpression("Expression cannot be evaluated");
}

ERidedezExpression ExpTargetMissing(const std::string& op) {
    return ERidedezExpression("Target value missing for " + op + " operation");
}

ERidedezExpression ExpSidesMismatch() {
    return ERidedezExpression("The two sides of an operation do not match");
}

ERidedezExpression ExpValueInvalid(const std::string& what) {
    return ERidedezExpression("A " + what + " value is required but invalid");
}

ERidedezExpression ExpArgumentNeeded(const std::string& kind, int argument,
                                     const std::string& function) {
    return ERidedezExpression(kind + " needed for Argument " + std::to_string(argument) +
                              " of " + function);
}

ERidedezExpression ExpTooLong(const std::string& what, size_t capacity) {
    return ERidedezExpression("Result of " + what + " is longer than " +
                              std::to_string(capacity) + " characters");
}

ERidedezExpression ExpTooDeep() {
    return ERidedezExpression("Expression is nested more than " +
                              std::to_string(kExpMaxDepth) + " levels deep");
}

ERidedezExpression ExpTextTooLong() {
    return ERidedezExpression("Expression text is longer than " +
                              std::to_string(kExpMaxText) + " characters");
}

ERidedezExpression ExpInvalidDate(const std::string& text) {
    return ERidedezExpression("'" + text + "' is not a valid date");
}
