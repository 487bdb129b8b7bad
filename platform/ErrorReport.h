#pragma once

#include <exception>
#include <functional>

// How a command's error is reported: the windows show it in an error box
// (widgets/ErrorBoxApplication), a program without a display writes it to
// standard error, the tests put their own in.
using ErrorReport = std::function<void(const std::exception& error)>;

// Runs a command; an exception it throws is given to `report` and goes no
// further (one that is no std::exception as "未知错误", unknown error).
void RunShowingErrors(const std::function<void()>& command, const ErrorReport& report);
