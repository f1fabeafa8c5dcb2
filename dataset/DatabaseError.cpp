#include "dataset/DatabaseError.h"

std::string FormatMessage(const std::string& format, const std::string& arg) {
    std::string out = format;
    size_t at = out.find("%s");
    if (at != std::string::npos) out.replace(at, 2, arg);
    return out;
}

void DatabaseError(const std::string& message) { throw EDatabaseError(message); }

void DatabaseErrorFmt(const std::string& format, const std::string& arg) {
    throw EDatabaseError(FormatMessage(format, arg));
}
