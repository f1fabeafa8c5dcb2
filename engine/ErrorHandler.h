#pragma once
// The process-wide error handler: it turns an error report (code, subcode, detail) into
// an ERidedezError with the engine's message, and never returns.

#include <string>

using TgsErrorHandlerProc = void (*)(int code, int subcode, const std::string& detail);

// The text of a status-table row, or null when the code has none.
const char* StatusText(int code);

// The message for a report: "<row text> - <detail>" for codes in the status table,
// otherwise "Ridedez Error <code>[, SubCode <subcode>].\r[ <detail>]".
std::string BuildErrorMessage(int code, int subcode, const std::string& detail);

// Hands a report to the installed handler. A negative subcode other than -7 means a
// run-time error of the code instead of an engine message.
[[noreturn]] void ReportEngineError(int code, int subcode, const std::string& detail);

// Installs a handler (null: the standard one) and returns the previous. A handler that
// returns is followed by the standard one, so a report always ends in an exception.
TgsErrorHandlerProc SetErrorHandler(TgsErrorHandlerProc handler);
