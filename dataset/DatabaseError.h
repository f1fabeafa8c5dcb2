#pragma once
// The dataset's own failures: every error the dataset raises (as opposed to the engine's
// errors, which pass through unchanged) is an EDatabaseError with its finished message.

#include "engine/Exception.h"

class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};

// Replaces the first "%s" of `format` with `arg`.
std::string FormatMessage(const std::string& format, const std::string& arg);
[[noreturn]] void DatabaseError(const std::string& message);
[[noreturn]] void DatabaseErrorFmt(const std::string& format, const std::string& arg);
