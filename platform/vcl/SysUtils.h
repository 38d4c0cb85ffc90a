// The failure types of the program. Every failure the program raises derives from
// Exception, which carries only its message text; callers that must survive any failure
// catch Exception.
#pragma once

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string Message) : FMessage(std::move(Message)) {}
    const std::string& Message() const { return FMessage; }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};

// A floating-point value too large for the type it is stored in.
class EOverflow : public Exception {
    using Exception::Exception;
};

// A floating-point value that has no integer counterpart of the required size.
class EInvalidOp : public Exception {
    using Exception::Exception;
};

// An integer value outside the range of its type.
class ERangeError : public Exception {
    using Exception::Exception;
};
