#pragma once

#include <stdexcept>
#include <string>

// The error of the socket component: what() is the UTF-8 message that the
// program shows in its error box.
class ESocketException : public std::runtime_error {
public:
    explicit ESocketException(const std::string& message) : std::runtime_error(message) {}
};
