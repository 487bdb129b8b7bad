#pragma once

#include <QString>

#include <stdexcept>

// Errors that reach the application's error box. what() is the UTF-8 text
// shown to the user, exactly as the box shows it.

// A text that does not convert to the number asked for.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    explicit EConvertError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// A file that cannot be read, created or written.
class EInOutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    explicit EInOutError(const QString& message) : std::runtime_error(message.toStdString()) {}
};
