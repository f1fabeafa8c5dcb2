#pragma once
// The base of every function an expression can call: built-in, table or user-made.

#include <string>

#include "index/expr/ExpKinds.h"

class TgsExpFunction;

class TgsUserDefFunction {
public:
    virtual ~TgsUserDefFunction() = default;
    // The upper-case name; empty in the base.
    virtual std::string FunctionName() const { return std::string(); }
    // Reads the arguments of `call`, writes the result over `buffer` and reports its
    // kind; true on success (the base does nothing and returns false).
    virtual bool Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind);

    // Evaluates argument `index` (0-based) of `call` into `buffer`. A missing argument
    // writes nothing and reports kind 1. The kind is then checked against `wanted`
    // (Any takes everything; numbers and dates mix) and a mismatch raises
    // "<Text|Number|Date|Boolean|Unknown Value> needed for Argument <n> of <name>".
    static void FetchArgument(TgsExpFunction& call, int index, TgsExpBuffer buffer,
                              TgsExpKind wanted, TgsExpKind& kind);
};
