#include "engine/ErrorHandler.h"

#include <atomic>
#include <cstring>

#include "engine/ErrorCodes.h"
#include "engine/Exception.h"
#include "engine/RunErrors.h"

namespace {

struct StatusRow {
    int code;
    const char* text;  // at most 43 characters with the " - " that follows it
};

constexpr StatusRow kStatusTable[] = {
    {2, "File not found"},
    {3, "Path not found"},
    {4, "Too many open files"},
    {5, "File access denied"},
    {12, "Invalid file access code"},
    {15, "Invalid drive number"},
    {32, "File access denied"},
    {33, "Record locked by another user"},
    {100, "Disk read error"},
    {101, "Disk write error"},
    {102, "File not assigned"},
    {103, "File not open"},
    {104, "File not open for input"},
    {105, "File not open for output"},
    {106, "Invalid numeric format"},
    {150, "Disk is write-protected"},
    {152, "Drive not ready"},
    {162, "Hardware failure"},
    {183, "File already exists"},
    {1001, "dBase DBF file header invalid"},
    {1002, "dBase record request beyond EOF"},
    {1003, "dBase field name is invalid"},
    {1004, "dBase field is of incorrect type"},
    {1005, "dBase memo record has format error"},
    {1006, "Formula expression cannot be translated"},
    {1011, "Number too large to fit in field"},
};

[[noreturn]] void StandardHandler(int code, int subcode, const std::string& detail) {
    if (subcode < 0 && subcode != gsSub::kNone) RaiseRunError(code);
    throw ERidedezError(BuildErrorMessage(code, subcode, detail));
}

std::atomic<TgsErrorHandlerProc> gHandler{nullptr};

}  // namespace

const char* StatusText(int code) {
    for (const StatusRow& row : kStatusTable) {
        if (row.code == code) return row.text;
    }
    return nullptr;
}

std::string BuildErrorMessage(int code, int subcode, const std::string& detail) {
    if (const char* text = StatusText(code)) {
        std::string msg(text);
        msg += " - ";
        if (msg.size() > 43) msg.resize(43);
        return msg + detail;
    }
    std::string msg = "Ridedez Error " + std::to_string(code);
    if (subcode != gsSub::kNone) msg += ", SubCode " + std::to_string(subcode);
    msg += ".\r";
    if (!detail.empty()) msg += " " + detail;
    return msg;
}

void ReportEngineError(int code, int subcode, const std::string& detail) {
    if (TgsErrorHandlerProc h = gHandler.load()) h(code, subcode, detail);
    StandardHandler(code, subcode, detail);
}

TgsErrorHandlerProc SetErrorHandler(TgsErrorHandlerProc handler) {
    return gHandler.exchange(handler);
}
