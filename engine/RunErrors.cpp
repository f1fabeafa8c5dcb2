#include "engine/RunErrors.h"

#include <string>

void RaiseRunError(int code) {
    if (code < 0 || code > 255) throw ERangeError(201, "Range check error");
    switch (code) {
        case 1:
        case 203: throw EOutOfMemory(code, "Out of memory");
        case 2:
        case 204: throw EInvalidPointer(code, "Invalid pointer operation");
        case 200: throw EDivByZero(code, "Division by zero");
        case 201: throw ERangeError(code, "Range check error");
        case 202: throw EStackOverflow(code, "Stack overflow");
        case 205: throw EOverflow(code, "Floating point overflow");
        case 206: throw EUnderflow(code, "Floating point underflow");
        case 207: throw EInvalidOp(code, "Invalid floating point operation");
        case 208: throw EZeroDivide(code, "Floating point division by zero");
        case 215: throw EIntOverflow(code, "Arithmetic overflow");
        case 216: throw EAccessViolation(code, "Access violation");
        case 219: throw EInvalidCast(code, "Invalid class typecast");
        default: break;
    }
    if (code < 200) throw EInOutError(code, "I/O error " + std::to_string(code));
    throw ERunError(code, "Runtime error " + std::to_string(code));
}
