#pragma once
// The one base class of every exception this system raises: it carries the finished
// message text and nothing more.

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }

private:
    std::string message_;
};

// All errors of the table engine, disk files, memo files, indexes, sorting and values.
class ERidedezError : public Exception {
public:
    using Exception::Exception;
};

// Errors in parsing or evaluating an xBase expression.
class ERidedezExpression : public Exception {
public:
    using Exception::Exception;
};
