#pragma once
// The errors the visual controls raise: an operation that the control's state does not
// allow, and a text that should have been an integer.

#include "engine/Exception.h"

class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// A number typed in a control's configuration (a custom point coordinate) that is not an
// integer.
class EFcConvertError : public Exception {
public:
    using Exception::Exception;
};
