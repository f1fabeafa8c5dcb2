#pragma once
// Where errors go that cannot be raised to a caller (a memo stream that fails to write
// while it is being destroyed): the application's exception handler. The program installs
// one that shows the error; until then the text goes to standard error.

#include <exception>
#include <functional>

using TApplicationExceptionHandler = std::function<void(const std::exception&)>;

// Installs a handler (null: the standard one) and returns the previous.
TApplicationExceptionHandler SetApplicationExceptionHandler(TApplicationExceptionHandler handler);
void HandleApplicationException(const std::exception& e);
