#pragma once
// The run-time errors of the language's run-time library: range, conversion, arithmetic
// and I/O errors, each a class of ours, and the routine that raises the one for a
// run-time error number.

#include "engine/Exception.h"

class ERunError : public Exception {
public:
    ERunError(int code, std::string message) : Exception(std::move(message)), code_(code) {}
    int Code() const { return code_; }

private:
    int code_;
};

#define XB_RUN_ERROR(Name)                                                  \
    class Name : public ERunError {                                         \
    public:                                                                 \
        using ERunError::ERunError;                                         \
    }

XB_RUN_ERROR(EInOutError);
XB_RUN_ERROR(EOutOfMemory);
XB_RUN_ERROR(EInvalidPointer);
XB_RUN_ERROR(EDivByZero);
XB_RUN_ERROR(ERangeError);
XB_RUN_ERROR(EIntOverflow);
XB_RUN_ERROR(EStackOverflow);
XB_RUN_ERROR(EOverflow);
XB_RUN_ERROR(EUnderflow);
XB_RUN_ERROR(EInvalidOp);
XB_RUN_ERROR(EZeroDivide);
XB_RUN_ERROR(EAccessViolation);
XB_RUN_ERROR(EInvalidCast);
XB_RUN_ERROR(EConvertError);
#undef XB_RUN_ERROR

// Raises the run-time error for `code` (0 to 255): the arithmetic, range and memory
// errors by their own classes, I/O codes as EInOutError. A code above 255 (or below 0)
// is itself out of range and raises ERangeError.
[[noreturn]] void RaiseRunError(int code);
