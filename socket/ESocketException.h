#pragma once

#include "socket/WSocketErrors.h"

#include <stdexcept>
#include <string>

// The error of the socket component: what() is the UTF-8 message that the
// program shows in its error box; ErrorCode() is the socket error number
// that message reports (WSAEADDRINUSE for "Error 10048 in function Bind",
// WSAHOST_NOT_FOUND for a host name that cannot be found, ...), 0 when the
// message reports none. Callers test the number, never the text.
class ESocketException : public std::runtime_error {
public:
    ESocketException(const std::string& message, int errorCode)
        : std::runtime_error(message)
        , errorCode_(errorCode)
    {
    }

    [[nodiscard]] int ErrorCode() const noexcept { return errorCode_; }

private:
    int errorCode_;
};
